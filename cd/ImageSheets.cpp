#include "cd/ImageSheets.h"

#include "cd/DriveTypes.h"
#include "cd/NeroImage.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cctype>

namespace trackmill {

bool SheetFitsReader(const QByteArray& text, bool cueSheet) {
  constexpr int kMaxTracks = 99;
  constexpr int kMaxFirstTrack = 66;
  constexpr qsizetype kShortLine = 80;
  auto separator = [](char c) { return c == '\0' || std::isspace(static_cast<unsigned char>(c)); };
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  int tracks = 0;
  int firstNumber = 1;
  bool firstSeen = !cueSheet;
  for (qsizetype at = text.indexOf("TRACK"); at >= 0; at = text.indexOf("TRACK", at + 1)) {
    qsizetype end = at + 5;
    if ((at > 0 && !separator(text[at - 1])) || (end < text.size() && !separator(text[end]))) continue;
    ++tracks;
    if (firstSeen) continue;
    while (end < text.size() && blank(text[end])) ++end;
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) ++end;
    int number = 0;
    for (; end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) && number <= kMaxTracks; ++end)
      number = number * 10 + (text[end] - '0');
    firstNumber = std::max(firstNumber, number);
    qsizetype lineStart = at;
    while (lineStart > 0 && blank(text[lineStart - 1])) --lineStart;
    firstSeen = (lineStart == 0 || text[lineStart - 1] == '\n' || text[lineStart - 1] == '\r') &&
                text.indexOf('\n', at) - lineStart <= kShortLine && text.indexOf('\n', at) >= 0;
  }
  return firstNumber <= kMaxFirstTrack && firstNumber + tracks - 1 <= kMaxTracks;
}

namespace {

bool StartsWithWord(const QByteArray& trimmed, const QByteArray& word) {
  return trimmed.startsWith(word) &&
         (trimmed.size() == word.size() || std::isspace(static_cast<unsigned char>(trimmed[word.size()])) ||
          trimmed[word.size()] == '{');
}

// A FILE, AUDIOFILE or DATAFILE statement's quoted name made absolute against folder.
QByteArray WithAbsoluteName(const QByteArray& line, const QByteArray& folder) {
  const QByteArray trimmed = line.trimmed();
  if (!StartsWithWord(trimmed, "FILE") && !StartsWithWord(trimmed, "AUDIOFILE") &&
      !StartsWithWord(trimmed, "DATAFILE"))
    return line;
  const qsizetype open = line.indexOf('"');
  const qsizetype close = open < 0 ? -1 : line.indexOf('"', open + 1);
  if (close < 0) return line;
  const QByteArray name = line.mid(open + 1, close - open - 1);
  if (name.isEmpty() || name.startsWith('/') || name.contains('\\')) return line;
  return line.left(open + 1) + folder + '/' + name + line.mid(close);
}

}  // namespace

QByteArray TocForReader(const QByteArray& table, const QString& folder) {
  const QByteArray absolute = QFile::encodeName(QDir(folder).absolutePath());
  const bool folderQuotable = !absolute.contains('"') && !absolute.contains('\\');
  const QByteArrayList lines = table.split('\n');
  QByteArrayList out;
  for (qsizetype k = 0; k < lines.size(); ++k) {
    const QByteArray trimmed = lines[k].trimmed();
    if (StartsWithWord(trimmed, "LANGUAGE_MAP") && trimmed.contains('{') && !trimmed.contains('}')) {
      QByteArray joined = lines[k];
      while (joined.endsWith('\r')) joined.chop(1);
      while (++k < lines.size()) {
        joined += ' ' + lines[k].trimmed();
        if (lines[k].contains('}')) break;
      }
      out << joined;
      continue;
    }
    out << (folderQuotable ? WithAbsoluteName(lines[k], absolute) : lines[k]);
  }
  return out.join('\n');
}

driver_id_t ImageDriver(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == "cue" || suffix == "bin") return DRIVER_BINCUE;
  if (suffix == "toc") return DRIVER_CDRDAO;
  if (suffix == "nrg") return DRIVER_NRG;
  return DRIVER_UNKNOWN;
}

CdIo_t* OpenDiscImage(const QString& path) {
  const driver_id_t driver = ImageDriver(path);
  if (driver != DRIVER_CDRDAO) return cdio_open(QFile::encodeName(path).constData(), driver);
  QFile table(path);
  if (!table.open(QIODevice::ReadOnly)) return nullptr;
  const QByteArray text = TocForReader(table.read(kMaxSheetBytes), QFileInfo(path).absolutePath());
  QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/trackmill-XXXXXX.toc"));
  if (!SheetFitsReader(text, false) || !copy.open() || copy.write(text) != text.size() || !copy.flush())
    return nullptr;
  return cdio_open(QFile::encodeName(copy.fileName()).constData(), driver);
}

bool ImageFitsReader(const QString& path) {
  const driver_id_t driver = ImageDriver(path);
  if (driver == DRIVER_NRG) {
    QFile image(path);
    return !image.open(QIODevice::ReadOnly) || NeroImageFitsReader(image);
  }
  if (driver != DRIVER_BINCUE && driver != DRIVER_CDRDAO) return true;
  QFileInfo sheet(path);
  // Given the .bin, libcdio reads the .cue of the same name.
  if (sheet.suffix().compare("bin", Qt::CaseInsensitive) == 0)
    sheet.setFile(sheet.path() + '/' + sheet.completeBaseName() + ".cue");
  QFile file(sheet.filePath());
  if (!file.exists()) return true;  // libcdio fails to open it on its own
  if (file.size() > kMaxSheetBytes || !file.open(QIODevice::ReadOnly)) return false;
  return SheetFitsReader(file.read(kMaxSheetBytes), driver == DRIVER_BINCUE);
}

}  // namespace trackmill
