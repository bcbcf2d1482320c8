#pragma once
#include <QString>
#include <utility>
#include <vector>

#include "tags/TagValue.h"

class QIODevice;

namespace trackmill {

// A set of named tag values of one audio stream, the base of the containers of each tagging
// scheme (ID3v1, ID3v2, APEv2, Vorbis comments and the format-neutral common set).
//
// Keys are kept sorted and are matched without regard to case. Each subclass adds its fixed
// key set in its constructor; keys are never removed, so Count() is constant for a container's
// life, and SetValue() of a key outside the set does nothing. Values are owned by the
// container and copied in and out.
//
// File operations take an open QIODevice; nullptr or a closed device stands for "no file" and
// makes them answer false. They never throw.
//
// Threads: no lock; a container is used by one thread at a time (its owner's).
class TAuTags {
 public:
  TAuTags() = default;
  virtual ~TAuTags() = default;
  TAuTags(const TAuTags&) = delete;
  TAuTags& operator=(const TAuTags&) = delete;

  // False for an empty name; otherwise adds the key with the value unless it exists, true.
  bool AddKey(const QString& key, const TagValue& initial = {});
  int Count() const { return static_cast<int>(keys_.size()); }
  // Key at a position of the sorted list; empty outside 0..Count()-1.
  QString KeyAt(int index) const;
  // A copy of the value; unassigned for an unknown key.
  TagValue GetValue(const QString& key) const;
  // Unknown key or a value equal to the stored one: nothing. Otherwise stores the value,
  // clears IsEmpty and sets IsChanged.
  void SetValue(const QString& key, const TagValue& value);

  qint32 AsInteger(const QString& key) const { return GetValue(key).toInteger(); }
  QByteArray AsString(const QString& key) const { return GetValue(key).toAnsi(); }
  QString AsWideString(const QString& key) const { return GetValue(key).toWide(); }

  // Every value becomes unassigned; IsEmpty and IsChanged become true; keys stay.
  void Clear();
  bool IsEmpty() const { return isEmpty_; }
  bool IsChanged() const { return isChanged_; }

  // Clear(), then SetValue() of every key of the source in its key order: only key names
  // both containers have carry over.
  void AssignFrom(const TAuTags& source);
  void AssignTo(TAuTags& target) const { target.AssignFrom(*this); }

  // Base versions: answer whether the device is open; ReadFromHandle also clears first.
  virtual bool HasTagAt(QIODevice* device);
  virtual bool ReadFromHandle(QIODevice* device);
  virtual bool WriteToHandle(QIODevice* device, bool allowUnicode);

 protected:
  static bool IsUsable(const QIODevice* device);

 private:
  // Position of the key in keys_, or of where it would be inserted; found tells which.
  std::size_t Find(const QString& key, bool* found) const;

  std::vector<std::pair<QString, TagValue>> keys_;
  bool isEmpty_ = true;
  bool isChanged_ = false;
};

}  // namespace trackmill
