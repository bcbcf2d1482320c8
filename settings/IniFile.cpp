#include "settings/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "common/FileUtils.h"

namespace trackmill {
namespace {

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

QByteArrayView TrimBlanks(QByteArrayView bytes) {
  qsizetype begin = 0;
  qsizetype end = bytes.size();
  while (begin < end && IsBlank(bytes[begin])) ++begin;
  while (end > begin && IsBlank(bytes[end - 1])) --end;
  return bytes.sliced(begin, end - begin);
}

QString DecodeText(QByteArrayView bytes) {
  // A U+FEFF at the start of a value is text like any other, not a byte-order mark to drop.
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
  QString text = decoder.decode(bytes);
  text.remove(QChar(u'\0'));
  return text;
}

QString Unquoted(const QString& value) {
  if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') return value.mid(1, value.size() - 2);
  return value;
}

// One line can never hold a line break: those, and NULs, become blanks.
QString OneLine(const QString& text) {
  QString line = text;
  for (QChar& c : line) {
    if (c == u'\n' || c == u'\r' || c == u'\0') c = u' ';
  }
  return line;
}

bool NeedsQuotes(const QString& value) {
  if (value.isEmpty()) return false;
  auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
  if (blank(value.front()) || blank(value.back())) return true;
  return value.size() >= 2 && value.front() == u'"' && value.back() == u'"';
}

QByteArray KeyLine(const QString& key, const QString& value) {
  QString text = OneLine(value);
  if (NeedsQuotes(text)) text = u'"' + text + u'"';
  return OneLine(key).toUtf8() + '=' + text.toUtf8();
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

IniFile IniFile::Parse(QByteArrayView bytes) {
  IniFile ini;
  ini.loadResult_ = LoadResult::Loaded;
  ini.sections_.push_back(Section{});
  // Editors on other systems like to start UTF-8 files with a byte-order mark.
  ini.byteOrderMark_ = bytes.startsWith(kByteOrderMark);
  qsizetype pos = ini.byteOrderMark_ ? kByteOrderMark.size() : 0;
  const qsizetype size = bytes.size();
  while (pos < size) {
    qsizetype end = pos;
    while (end < size && bytes[end] != '\n' && bytes[end] != '\r') ++end;
    const QByteArrayView raw = bytes.sliced(pos, end - pos);
    pos = end;
    if (pos < size) pos += (bytes[pos] == '\r' && pos + 1 < size && bytes[pos + 1] == '\n') ? 2 : 1;

    const QByteArrayView trimmed = TrimBlanks(raw);
    if (!trimmed.isEmpty() && trimmed.front() == '[') {
      qsizetype close = trimmed.indexOf(']');
      if (close < 0) close = trimmed.size();
      Section section;
      section.name = DecodeText(TrimBlanks(trimmed.sliced(1, close - 1)));
      section.hasHeader = true;
      section.header = raw.toByteArray();
      ini.sections_.push_back(std::move(section));
      continue;
    }
    Line line;
    line.raw = raw.toByteArray();
    const qsizetype equals = trimmed.indexOf('=');
    if (equals > 0) {
      line.key = DecodeText(TrimBlanks(trimmed.first(equals)));
      if (!line.key.isEmpty()) line.value = Unquoted(DecodeText(TrimBlanks(trimmed.sliced(equals + 1))));
    }
    ini.sections_.back().lines.push_back(std::move(line));
  }
  return ini;
}

IniFile IniFile::Load(const QString& path) {
  QFile file(path);
  if (!file.exists()) return IniFile{};
  IniFile ini;
  ini.loadResult_ = LoadResult::Unreadable;
  if (QFileInfo(path).isDir() || file.size() > kMaxFileBytes || !file.open(QIODevice::ReadOnly)) return ini;
  const QByteArray bytes = file.read(kMaxFileBytes + 1);
  if (file.error() != QFileDevice::NoError || bytes.size() > kMaxFileBytes) return ini;
  return Parse(bytes);
}

QByteArray IniFile::Serialize() const {
  QByteArray out;
  if (byteOrderMark_) out += kByteOrderMark;
  for (const Section& section : sections_) {
    if (section.hasHeader) out += section.header + '\n';
    for (const Line& line : section.lines) out += line.raw + '\n';
  }
  return out;
}

bool IniFile::Save(const QString& path) const { return WriteFileAtomically(path, Serialize()); }

const IniFile::Section* IniFile::FindSection(const QString& name) const {
  for (const Section& section : sections_) {
    if (section.hasHeader && SameName(section.name, name)) return &section;
  }
  return nullptr;
}

IniFile::Section* IniFile::FindSection(const QString& name) {
  return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

const IniFile::Line* IniFile::FindKey(const QString& section, const QString& key) const {
  const Section* found = FindSection(section);
  if (!found) return nullptr;
  for (const Line& line : found->lines) {
    if (!line.key.isEmpty() && SameName(line.key, key)) return &line;
  }
  return nullptr;
}

bool IniFile::HasSection(const QString& section) const { return FindSection(section) != nullptr; }

bool IniFile::HasKey(const QString& section, const QString& key) const { return FindKey(section, key) != nullptr; }

QStringList IniFile::SectionNames() const {
  QStringList names;
  for (const Section& section : sections_) {
    if (section.hasHeader) names << section.name;
  }
  return names;
}

QStringList IniFile::KeyNames(const QString& section) const {
  QStringList names;
  if (const Section* found = FindSection(section)) {
    for (const Line& line : found->lines) {
      if (!line.key.isEmpty()) names << line.key;
    }
  }
  return names;
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const {
  const Line* line = FindKey(section, key);
  return line ? line->value : defaultValue;
}

bool IniFile::ParseInteger(const QString& text, qint32* value) {
  bool ok = false;
  const qint32 parsed = text.trimmed().toInt(&ok, 10);
  if (ok) *value = parsed;
  return ok;
}

qint32 IniFile::ReadInteger(const QString& section, const QString& key, qint32 defaultValue) const {
  const Line* line = FindKey(section, key);
  qint32 value = defaultValue;
  if (line) ParseInteger(line->value, &value);
  return value;
}

bool IniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
  const QString cleanKey = OneLine(key).trimmed();
  Section* found = FindSection(section);
  if (!found) {
    if (sections_.empty()) sections_.push_back(Section{});
    Section added;
    added.name = OneLine(section).trimmed();
    added.hasHeader = true;
    added.header = '[' + added.name.toUtf8() + ']';
    sections_.push_back(std::move(added));
    found = &sections_.back();
  }
  Line line{KeyLine(cleanKey, value), cleanKey, OneLine(value)};
  qsizetype lastKey = -1;
  for (qsizetype i = 0; i < qsizetype(found->lines.size()); ++i) {
    Line& existing = found->lines[i];
    if (existing.key.isEmpty()) continue;
    if (SameName(existing.key, cleanKey)) {
      line.key = existing.key;
      line.raw = KeyLine(existing.key, value);
      existing = std::move(line);
      return;
    }
    lastKey = i;
  }
  found->lines.insert(found->lines.begin() + (lastKey + 1), std::move(line));
}

void IniFile::WriteInteger(const QString& section, const QString& key, qint32 value) {
  WriteString(section, key, QString::number(value));
}

void IniFile::WriteBool(const QString& section, const QString& key, bool value) {
  WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace trackmill
