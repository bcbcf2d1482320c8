#include "tags/AuTags.h"

#include <QIODevice>
#include <algorithm>

namespace trackmill {

std::size_t TAuTags::Find(const QString& key, bool* found) const {
  const auto it = std::lower_bound(keys_.begin(), keys_.end(), key, [](const auto& entry, const QString& k) {
    return QString::compare(entry.first, k, Qt::CaseInsensitive) < 0;
  });
  *found = it != keys_.end() && QString::compare(it->first, key, Qt::CaseInsensitive) == 0;
  return static_cast<std::size_t>(it - keys_.begin());
}

bool TAuTags::AddKey(const QString& key, const TagValue& initial) {
  if (key.isEmpty()) return false;
  bool found = false;
  const std::size_t at = Find(key, &found);
  if (!found) keys_.insert(keys_.begin() + static_cast<std::ptrdiff_t>(at), {key, initial});
  return true;
}

QString TAuTags::KeyAt(int index) const {
  if (index < 0 || index >= Count()) return {};
  return keys_[static_cast<std::size_t>(index)].first;
}

TagValue TAuTags::GetValue(const QString& key) const {
  bool found = false;
  const std::size_t at = Find(key, &found);
  return found ? keys_[at].second : TagValue();
}

void TAuTags::SetValue(const QString& key, const TagValue& value) {
  bool found = false;
  const std::size_t at = Find(key, &found);
  if (!found || keys_[at].second == value) return;
  keys_[at].second = value;
  isEmpty_ = false;
  isChanged_ = true;
}

void TAuTags::Clear() {
  for (auto& entry : keys_) entry.second = TagValue();
  isEmpty_ = true;
  isChanged_ = true;
}

void TAuTags::AssignFrom(const TAuTags& source) {
  if (&source == this) return;
  Clear();
  for (const auto& entry : source.keys_) SetValue(entry.first, entry.second);
}

bool TAuTags::IsUsable(const QIODevice* device) { return device != nullptr && device->isOpen(); }

bool TAuTags::HasTagAt(QIODevice* device) { return IsUsable(device); }

bool TAuTags::ReadFromHandle(QIODevice* device) {
  if (!IsUsable(device)) return false;
  Clear();
  return true;
}

bool TAuTags::WriteToHandle(QIODevice* device, bool) { return IsUsable(device); }

}  // namespace trackmill
