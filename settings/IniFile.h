#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <vector>

// A text file of sections "[name]" followed by "key=value" lines, read and updated the way
// the classic private-profile functions do it:
//  - a missing file, section or key reads as the caller's default; an integer that does not
//    parse (or does not fit in 32 bits) reads as the default; booleans are integers, true
//    when not 0, and are written "1"/"0";
//  - section and key names compare without regard to case; the first of duplicates wins;
//  - blanks around names and values are dropped; a value in a pair of double quotes loses
//    the quotes (and values whose blanks or quotes would not survive are written quoted);
//  - an update changes the first matching line in place and keeps every other section, key,
//    comment and line order; a new key goes after the last key of its section, a new section
//    at the end of the file.
// The reader accepts any bytes: lines end at LF, CR or CR LF; lines that are neither a
// section header nor a key with "=" are kept verbatim but never read; a leading UTF-8
// byte-order mark is skipped (and kept); NUL bytes inside a name
// or value are dropped; text is UTF-8 (invalid bytes become U+FFFD when read, and lines that
// are not rewritten keep their bytes). Saving replaces the file in one step (temporary file +
// rename), so a failed save leaves the old file as it was.
// A plain value object: not shared between threads, no locking.
namespace trackmill {

class IniFile {
 public:
  enum class LoadResult { Loaded, Missing, Unreadable };
  // Anything larger is not a settings file; Load leaves it alone rather than read it into memory.
  static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

  IniFile() = default;

  static IniFile Parse(QByteArrayView bytes);
  // Reads the file; a file that is missing or cannot be read gives an empty object (see
  // LastLoadResult: callers must not save an Unreadable file back over the original).
  static IniFile Load(const QString& path);

  LoadResult LastLoadResult() const { return loadResult_; }
  QByteArray Serialize() const;
  // False when the file could not be written; the old file is then untouched.
  bool Save(const QString& path) const;

  bool HasSection(const QString& section) const;
  bool HasKey(const QString& section, const QString& key) const;
  QStringList SectionNames() const;
  QStringList KeyNames(const QString& section) const;

  QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
  qint32 ReadInteger(const QString& section, const QString& key, qint32 defaultValue) const;
  bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;

  void WriteString(const QString& section, const QString& key, const QString& value);
  void WriteInteger(const QString& section, const QString& key, qint32 value);
  void WriteBool(const QString& section, const QString& key, bool value);

  // Parses a decimal 32-bit integer with optional sign and surrounding blanks.
  static bool ParseInteger(const QString& text, qint32* value);

 private:
  struct Line {
    QByteArray raw;  // bytes as read (or as last written), without line end
    QString key;     // empty when the line is not a key line
    QString value;
  };
  struct Section {
    QString name;       // empty for the lines before the first header
    bool hasHeader = false;
    QByteArray header;  // header line as read
    std::vector<Line> lines;
  };

  const Section* FindSection(const QString& name) const;
  Section* FindSection(const QString& name);
  const Line* FindKey(const QString& section, const QString& key) const;

  std::vector<Section> sections_;
  bool byteOrderMark_ = false;  // kept on rewrite
  LoadResult loadResult_ = LoadResult::Missing;
};

}  // namespace trackmill
