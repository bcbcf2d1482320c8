#include "verify/RipRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

#include "common/AppInfo.h"
#include "common/TextForms.h"
#include "jobs/JobPlan.h"
#include "jobs/JobTexts.h"
#include "jobs/OverwriteQuestion.h"

namespace trackmill {
namespace {

QString Hex8(quint32 value) { return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')); }

// The line by which a log or cue sheet tells which disc it belongs to.
QString DiscLine(const RipRecord& record) { return "REM DISCID " + Hex8(record.discId.cddbId).toUpper(); }
QString LogDiscLine(const RipRecord& record) { return "Disc id: " + record.discId.Text(); }

// Cue sheets have no escapes: a double quote would end the field.
QString CueText(const QString& text) { return QString(text).replace(QLatin1Char('"'), QLatin1Char('\'')); }

QString CueTime(qint64 frames) {
  return QStringLiteral("%1:%2:%3")
      .arg(frames / (60 * kSectorsPerSecond), 2, 10, QLatin1Char('0'))
      .arg(frames / kSectorsPerSecond % 60, 2, 10, QLatin1Char('0'))
      .arg(frames % kSectorsPerSecond, 2, 10, QLatin1Char('0'));
}

// Replaces path with text atomically; asks first when it holds another disc's record.
QString WriteRecordFile(const QString& path, const QByteArray& text, const QString& ownLine,
                        TOverwriteQuestion* question, bool* declined) {
  QFile existing(path);
  if (existing.exists()) {
    const bool ours = existing.open(QIODevice::ReadOnly) && existing.readAll().contains(ownLine.toUtf8());
    if (!ours && !(question && question->ConfirmOverwrite(path, path + " exists. Replace it?"))) {
      *declined = true;
      return {};
    }
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
    return path + ": " + file.errorString();
  return {};
}

}  // namespace

QString RipFilesBaseName(const DiscInfo& info) {
  const QString artist =
      info.Artist.trimmed().isEmpty() ? QStringLiteral("Unknown Artist") : info.Artist.trimmed();
  const QString album =
      info.Album.trimmed().isEmpty() ? QStringLiteral("Unknown Album") : info.Album.trimmed();
  // Room for ".log" and ".cue" within a file name's 255 bytes.
  return FitFileName(CleanFileName(artist + " - " + album), QStringLiteral(".log")).chopped(4);
}

QString RipLogText(const RipRecord& record) {
  QStringList lines;
  lines << QStringLiteral("%1 %2 rip log").arg(kAppTitle, kAppVersion) << QString()
        << "Drive: " + record.drive << QStringLiteral("Read offset: %1 samples").arg(record.readOffset)
        << "Artist: " + record.info.Artist << "Album: " + record.info.Album << LogDiscLine(record)
        << "CDDB id: " + Hex8(record.discId.cddbId) << "Output format: " + record.outputFormat;
  for (const QString& setting : record.settings) lines << setting;
  if (!record.damageMap.isEmpty()) lines << record.damageMap;
  lines << QString();
  if (record.stopped)
    lines << QStringLiteral("Rip stopped by the user: tracks not done were not written") << QString();
  if (!record.lookedUp)
    lines << QStringLiteral("AccurateRip: not looked up");
  else if (record.outcome == AccurateRipLookup::Outcome::Unreachable)
    lines << "AccurateRip database not reachable: " + record.lookupDetail;
  else if (record.outcome == AccurateRipLookup::Outcome::Unreadable)
    lines << "AccurateRip reply unreadable: " + record.lookupDetail;
  lines << record.ctdbLines;
  for (const RippedTrack& track : record.tracks) {
    lines << QString() << QStringLiteral("Track %1").arg(track.number, 2, 10, QLatin1Char('0'))
          << "  File: " + track.file << "  Result: " + JobItemResultWord(track.result);
    if (!track.sums.valid) continue;
    if (track.copy.secure) {
      lines << "  " + track.copy.Verdict()
            << QStringLiteral("  Re-reads: %1").arg(track.copy.rereads)
            << QStringLiteral("  Peak level: %1 %").arg(track.copy.peak * 100.0 / 32768, 0, 'f', 1)
            << QStringLiteral("  Test CRC: %1, copy CRC: %2")
                   .arg(Hex8(track.copy.testCrc).toUpper(), Hex8(track.copy.copyCrc).toUpper());
    }
    lines << "  CRC32: " + Hex8(track.sums.crc32).toUpper()
          << QStringLiteral("  AccurateRip checksums: v1 %1, v2 %2")
                 .arg(Hex8(track.sums.v1), Hex8(track.sums.v2));
    if (record.lookedUp) lines << "  AccurateRip: " + VerdictText(track.verdict, record.outcome);
    if (!track.ctdbText.isEmpty()) lines << "  " + track.ctdbText;
  }
  lines << QString();
  if (record.errors.isEmpty()) lines << QStringLiteral("No errors");
  for (const QString& error : record.errors) lines << "Error: " + error;
  return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString CueSheetText(const RipRecord& record) {
  QStringList lines;
  lines << DiscLine(record);
  if (!record.info.Year.isEmpty()) lines << "REM DATE " + CueText(record.info.Year);
  if (!record.info.Artist.isEmpty()) lines << "PERFORMER \"" + CueText(record.info.Artist) + "\"";
  if (!record.info.Album.isEmpty()) lines << "TITLE \"" + CueText(record.info.Album) + "\"";
  auto openTrack = [&](const RippedTrack& track) {
    lines << QStringLiteral("  TRACK %1 AUDIO").arg(track.number, 2, 10, QLatin1Char('0'));
    if (!track.title.isEmpty()) lines << "    TITLE \"" + CueText(track.title) + "\"";
    if (!track.performer.isEmpty()) lines << "    PERFORMER \"" + CueText(track.performer) + "\"";
  };
  // The cue sheet lies in the folder the tracks share; a track's FILE is relative to it.
  QStringList files;
  for (const RippedTrack& track : record.tracks) files << track.file;
  const QDir cueFolder(CommonFolder(files));
  bool opened = false;  // the track began in the previous file, with its pregap
  for (size_t k = 0; k < record.tracks.size(); ++k) {
    const RippedTrack& track = record.tracks[k];
    lines << "FILE \"" + CueText(cueFolder.relativeFilePath(track.file)) + "\" WAVE";
    if (!opened) openTrack(track);
    lines << QStringLiteral("    INDEX 01 00:00:00");
    opened = false;
    // The next track's pregap lies at the end of this file, when the next track was ripped.
    const int index = record.disc.IndexOf(track.number);
    if (index < 0 || k + 1 >= record.tracks.size() || record.tracks[k + 1].number != track.number + 1)
      continue;
    const size_t next = size_t(index) + 1;
    const int pregap = next < record.pregapFrames.size() ? record.pregapFrames[next] : 0;
    const qint32 frames = record.disc.tracks[size_t(index)].Frames();
    if (pregap <= 0 || pregap >= frames) continue;
    openTrack(record.tracks[k + 1]);
    lines << "    INDEX 00 " + CueTime(frames - pregap);
    opened = true;
  }
  return lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n");
}

QString WriteRipLogAndCue(const RipRecord& record, const QString& folder, TOverwriteQuestion* question) {
  // The log and cue sheet of an earlier rip stay good for the files that rip left.
  const bool wroteTrack = std::any_of(record.tracks.begin(), record.tracks.end(),
                                      [](const RippedTrack& track) { return track.result == JobItemResult::Done; });
  if (!wroteTrack) return {};
  const QString base = QDir(folder).filePath(RipFilesBaseName(record.info));
  bool declined = false;
  QString error =
      WriteRecordFile(base + ".log", RipLogText(record).toUtf8(), LogDiscLine(record), question, &declined);
  if (error.isEmpty() && !declined)
    error =
        WriteRecordFile(base + ".cue", CueSheetText(record).toUtf8(), DiscLine(record), question, &declined);
  return error;
}

}  // namespace trackmill
