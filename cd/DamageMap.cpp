#include "cd/DamageMap.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

namespace trackmill {
namespace {

constexpr int kSectorBytes = 2352;
constexpr uint32_t kMaxFailingReads = 1000000;
// Longer numbers than this are refused before they could overflow.
constexpr int kMaxDigits = 10;
// What an error quotes of a bad word.
constexpr int kQuotedChars = 40;

QString Quoted(const QByteArray& word) {
  QString text = QString::fromUtf8(word.left(kQuotedChars));
  for (QChar& c : text)
    if (!c.isPrint()) c = QLatin1Char('?');
  return '"' + text + (word.size() > kQuotedChars ? QStringLiteral("...\"") : QStringLiteral("\""));
}

std::optional<uint32_t> Number(const QByteArray& word, uint32_t largest) {
  if (word.isEmpty() || word.size() > kMaxDigits) return std::nullopt;
  uint64_t value = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + uint64_t(c - '0');
  }
  if (value > largest) return std::nullopt;
  return uint32_t(value);
}

std::optional<bool> YesNo(const QByteArray& word) {
  if (word == "yes") return true;
  if (word == "no") return false;
  return std::nullopt;
}

// Parses one line's words into map; an error text without the file and line, or empty.
class LineParser {
 public:
  explicit LineParser(DamageMap& map) : map_(map) {}

  QString Parse(const QList<QByteArray>& words) {
    const QByteArray& keyword = words.front();
    if (keyword == "seed" || keyword == "cache" || keyword == "c2") return Setting(words);
    DamageRange range;
    if (keyword == "random") {
      range.kind = DamageRange::Kind::Random;
    } else if (keyword == "stable") {
      range.kind = DamageRange::Kind::Stable;
    } else if (keyword == "unreadable") {
      range.kind = DamageRange::Kind::Unreadable;
    } else if (keyword == "flaky") {
      range.kind = DamageRange::Kind::Flaky;
    } else {
      return "unknown directive " + Quoted(keyword);
    }
    if (words.size() < 2) return "no sector range after " + Quoted(keyword);
    if (QString error = Range(words[1], range); !error.isEmpty()) return error;
    bool hasBytes = false, hasC2 = false, hasFail = false;
    for (qsizetype i = 2; i < words.size(); ++i) {
      const QByteArray& word = words[i];
      const qsizetype equals = word.indexOf('=');
      const QByteArray name = word.left(equals);
      const QByteArray value = equals < 0 ? QByteArray() : word.mid(equals + 1);
      const bool damagesBytes = range.kind == DamageRange::Kind::Random || range.kind == DamageRange::Kind::Stable;
      if (equals > 0 && name == "bytes" && damagesBytes && !hasBytes) {
        const std::optional<uint32_t> count = Number(value, kSectorBytes);
        if (!count || *count == 0) return QStringLiteral("bytes= takes 1 to %1, not %2").arg(kSectorBytes).arg(Quoted(value));
        range.byteCount = int(*count);
        hasBytes = true;
      } else if (equals > 0 && name == "c2" && range.kind == DamageRange::Kind::Random && !hasC2) {
        range.flaggedByC2 = YesNo(value);
        if (!range.flaggedByC2) return "c2= takes yes or no, not " + Quoted(value);
        hasC2 = true;
      } else if (equals > 0 && name == "fail" && range.kind == DamageRange::Kind::Flaky && !hasFail) {
        const std::optional<uint32_t> count = Number(value, kMaxFailingReads);
        if (!count || *count == 0)
          return QStringLiteral("fail= takes 1 to %1, not %2").arg(kMaxFailingReads).arg(Quoted(value));
        range.failingReads = *count;
        hasFail = true;
      } else {
        return "unexpected " + Quoted(word) + " after " + Quoted(keyword) + " (or given twice)";
      }
    }
    if (range.kind == DamageRange::Kind::Flaky && !hasFail) return QStringLiteral("flaky needs fail=K");
    if (map_.ranges.size() >= size_t(kMaxDamageRanges))
      return QStringLiteral("more than %1 sector ranges").arg(kMaxDamageRanges);
    map_.ranges.push_back(range);
    return {};
  }

 private:
  QString Range(const QByteArray& word, DamageRange& range) {
    const qsizetype dash = word.indexOf('-');
    const std::optional<uint32_t> first = Number(dash < 0 ? word : word.left(dash), uint32_t(kLastAddressableSector));
    const std::optional<uint32_t> last =
        dash < 0 ? first : Number(word.mid(dash + 1), uint32_t(kLastAddressableSector));
    if (!first || !last)
      return QStringLiteral("bad sector range %1 (A-B, sectors 0 to %2)").arg(Quoted(word)).arg(kLastAddressableSector);
    if (*last < *first) return "sector range " + Quoted(word) + " ends before it starts";
    range.firstSector = int32_t(*first);
    range.lastSector = int32_t(*last);
    return {};
  }

  QString Setting(const QList<QByteArray>& words) {
    const QByteArray& keyword = words.front();
    if (words.size() != 2) return Quoted(keyword) + " takes one value";
    bool& seen = keyword == "seed" ? seenSeed_ : keyword == "cache" ? seenCache_ : seenC2_;
    if (seen) return Quoted(keyword) + " given twice";
    seen = true;
    if (keyword == "c2") {
      const std::optional<bool> reports = YesNo(words[1]);
      if (!reports) return "c2 takes yes or no, not " + Quoted(words[1]);
      map_.driveReportsC2 = *reports;
    } else if (keyword == "seed") {
      const std::optional<uint32_t> seed = Number(words[1], UINT32_MAX);
      if (!seed) return QStringLiteral("seed takes 0 to %1, not %2").arg(UINT32_MAX).arg(Quoted(words[1]));
      map_.seed = *seed;
    } else {
      const std::optional<uint32_t> sectors = Number(words[1], kMaxCacheSectors);
      if (!sectors) return QStringLiteral("cache takes 0 to %1 sectors, not %2").arg(kMaxCacheSectors).arg(Quoted(words[1]));
      map_.cacheSectors = *sectors;
    }
    return {};
  }

  DamageMap& map_;
  bool seenSeed_ = false, seenCache_ = false, seenC2_ = false;
};

}  // namespace

DamageMapResult ParseDamageMap(const QByteArray& text, const QString& fileName) {
  DamageMap map;
  LineParser parser(map);
  const QList<QByteArray> lines = text.split('\n');
  for (qsizetype index = 0; index < lines.size(); ++index) {
    QByteArray line = lines[index];
    if (const qsizetype hash = line.indexOf('#'); hash >= 0) line.truncate(hash);
    const QList<QByteArray> words = line.simplified().split(' ');
    if (words.front().isEmpty()) continue;
    if (const QString error = parser.Parse(words); !error.isEmpty())
      return {std::nullopt, QStringLiteral("%1, line %2: %3").arg(fileName).arg(index + 1).arg(error)};
    ++map.directiveCount;
  }
  return {std::move(map), {}};
}

QString DamageMapPath(const QString& imagePath) { return imagePath + QStringLiteral(".damage"); }

DamageMapResult ReadDamageMap(const QString& imagePath) {
  const QString path = DamageMapPath(imagePath);
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return {};
  QFile file(path);
  if (!info.isFile() || !file.open(QIODevice::ReadOnly)) return {std::nullopt, path + ": cannot be read"};
  const QByteArray text = file.read(kMaxDamageMapBytes + 1);
  if (text.size() > kMaxDamageMapBytes) return {std::nullopt, path + ": larger than 1 MiB"};
  return ParseDamageMap(text, path);
}

QString DamageMapLine(const QString& imagePath, const DamageMap& map) {
  return QStringLiteral("Damage map: %1 (%2 %3)")
      .arg(DamageMapPath(imagePath))
      .arg(map.directiveCount)
      .arg(map.directiveCount == 1 ? QStringLiteral("directive") : QStringLiteral("directives"));
}

}  // namespace trackmill
