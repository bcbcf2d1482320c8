// Reads arbitrary bytes as an INI file, updates it, and checks that what is written reads back
// the same: no crash, no out-of-bounds access, no value lost or invented by a rewrite.
#include <cstddef>
#include <cstdint>

#include "settings/IniFile.h"

using trackmill::IniFile;

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  IniFile ini = IniFile::Parse(bytes);
  const QStringList sections = ini.SectionNames();
  for (const QString& section : sections) {
    for (const QString& key : ini.KeyNames(section)) {
      ini.ReadInteger(section, key, 0);
      Require(ini.HasKey(section, key));
    }
  }
  const IniFile reread = IniFile::Parse(ini.Serialize());
  Require(reread.SectionNames() == sections);
  for (const QString& section : sections) {
    Require(reread.KeyNames(section) == ini.KeyNames(section));
    for (const QString& key : ini.KeyNames(section)) {
      Require(reread.ReadString(section, key, {}) == ini.ReadString(section, key, {}));
    }
  }

  // A value made of the input's own text goes in and comes back unchanged (line breaks aside).
  QString value = QString::fromUtf8(bytes.first(std::min<qsizetype>(bytes.size(), 64)));
  value.replace(u'\n', u' ').replace(u'\r', u' ').replace(u'\0', u' ');
  const QString section = sections.isEmpty() ? QStringLiteral("New") : sections.front();
  ini.WriteString(section, QStringLiteral("FuzzKey"), value);
  ini.WriteInteger(QStringLiteral("Numbers"), QStringLiteral("n"), qint32(size));
  const IniFile updated = IniFile::Parse(ini.Serialize());
  Require(updated.ReadString(section, QStringLiteral("FuzzKey"), {}) == value);
  Require(updated.ReadInteger(QStringLiteral("Numbers"), QStringLiteral("n"), -1) == qint32(size));
  return 0;
}
