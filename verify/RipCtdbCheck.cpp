#include "verify/RipCtdbCheck.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>

#include "cd/DriveTypes.h"
#include "verify/RipRecord.h"

namespace trackmill {
namespace {

using namespace ctdb;

// The offset and size of a WAV file's data chunk when it holds 16-bit stereo PCM at 44.1 kHz.
bool FindCdAudio(QFile& file, qint64& dataBytes) {
  const QByteArray riff = file.read(12);
  if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE") return false;
  bool formatOk = false;
  for (int chunks = 0; chunks < 64; ++chunks) {
    const QByteArray head = file.read(8);
    if (head.size() != 8) return false;
    const quint32 size = qFromLittleEndian<quint32>(head.constData() + 4);
    if (head.startsWith("fmt ")) {
      const QByteArray format = file.read(qint64(size) + (size & 1));
      if (format.size() < 16) return false;
      formatOk = qFromLittleEndian<quint16>(format.constData()) == 1 &&
                 qFromLittleEndian<quint16>(format.constData() + 2) == 2 &&
                 qFromLittleEndian<quint32>(format.constData() + 4) == 44100 &&
                 qFromLittleEndian<quint16>(format.constData() + 14) == 16;
    } else if (head.startsWith("data")) {
      dataBytes = size;
      return formatOk;
    } else if (!file.seek(file.pos() + qint64(size) + (size & 1))) {
      return false;
    }
  }
  return false;
}

QString Signed(int value) { return (value > 0 ? QStringLiteral("+") : QString()) + QString::number(value); }

}  // namespace

CtdbToc CtdbTocOf(const DiscLayout& disc) {
  std::vector<CtdbTrack> tracks;
  for (const DiscTrack& track : disc.tracks) tracks.push_back({track.startFrame - kLeadInSectors, track.data});
  return CtdbToc(std::move(tracks), disc.leadOutFrame - kLeadInSectors);
}

RipCtdbCheck CheckRipWithCtdb(const RipRecord& record, const CtdbServer& server, bool repair) {
  RipCtdbCheck check;
  check.wanted = true;
  const CtdbToc toc = CtdbTocOf(record.disc);
  if (!toc.Valid()) {
    check.notChecked = QStringLiteral("the disc's layout has no audio to check");
    return check;
  }
  // The rip's files in disc order, one for every audio track.
  std::vector<const RippedTrack*> files;
  for (const DiscTrack& track : record.disc.tracks) {
    if (track.data) continue;
    const RippedTrack* ripped = nullptr;
    for (const RippedTrack& candidate : record.tracks)
      if (candidate.number == track.number) ripped = &candidate;
    if (!ripped || ripped->result != JobItemResult::Done || !ripped->sums.valid) {
      check.notChecked = QStringLiteral("not every audio track was ripped whole");
      return check;
    }
    files.push_back(ripped);
  }
  for (const RippedTrack* ripped : files)
    if (!ripped->file.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive)) {
      // Read back only what holds the rip's PCM as it is; other formats are not opened at all.
      check.notChecked = QStringLiteral("the tracks are not WAV files");
      return check;
    }
  CtdbStreamSums sums(toc);
  if (!sums.Checkable()) {
    check.notChecked = QStringLiteral("the disc is too short to check");
    return check;
  }
  std::vector<uint8_t> buffer(size_t(1) << 20, 0);
  for (qint64 left = 4 * toc.PregapSamples(); left > 0; left -= qint64(buffer.size()))
    sums.Add(buffer.data(), size_t(std::min<qint64>(left, qint64(buffer.size()))));
  for (size_t k = 0; k < files.size(); ++k) {
    QFile file(files[k]->file);
    qint64 dataBytes = 0;
    const qint64 expected = 4 * (toc.TrackEndSample(int(k)) - toc.TrackBeginSample(int(k)));
    if (!file.open(QIODevice::ReadOnly) || !FindCdAudio(file, dataBytes)) {
      check.notChecked = QStringLiteral("%1 is not a CD audio WAV file").arg(files[k]->file);
      return check;
    }
    if (dataBytes != expected) {
      check.notChecked = QStringLiteral("%1 does not hold the track's length").arg(files[k]->file);
      return check;
    }
    for (qint64 left = dataBytes; left > 0;) {
      const qint64 got = file.read(reinterpret_cast<char*>(buffer.data()), std::min<qint64>(left, qint64(buffer.size())));
      if (got <= 0) {
        check.notChecked = QStringLiteral("%1 could not be read").arg(files[k]->file);
        return check;
      }
      sums.Add(buffer.data(), size_t(got));
      left -= got;
    }
  }
  if (!sums.Finish()) {
    check.notChecked = QStringLiteral("the rip does not hold the disc's length");
    return check;
  }
  check.checked = true;
  check.verdict = VerifyWithCtdb(toc, sums, LookUpCtdb(toc, server), repair, server);
  return check;
}

CtdbRepairOutcome RepairRipFiles(const RipRecord& record, const RipCtdbCheck& check) {
  CtdbRepairOutcome outcome;
  const CtdbEntryVerdict* best = check.verdict.BestRepair();
  if (!check.checked || !best) return outcome;
  for (const CtdbEntryVerdict& entry : check.verdict.entries)
    if (entry.kind == CtdbEntryVerdict::Kind::Verified) return outcome;
  const CtdbToc toc = CtdbTocOf(record.disc);
  const std::vector<WordCorrection>& corrections = best->repair.corrections;
  int audioIndex = 0;
  for (const DiscTrack& track : record.disc.tracks) {
    if (track.data) continue;
    const int k = audioIndex++;
    const qint64 beginWord = 2 * toc.TrackBeginSample(k), endWord = 2 * toc.TrackEndSample(k);
    const qsizetype inTrack = std::count_if(corrections.begin(), corrections.end(), [&](const WordCorrection& c) {
      return c.streamWord >= beginWord && c.streamWord < endWord;
    });
    if (inTrack == 0) continue;
    const RippedTrack* ripped = nullptr;
    for (const RippedTrack& candidate : record.tracks)
      if (candidate.number == track.number) ripped = &candidate;
    if (!ripped) continue;
    QFile original(ripped->file);
    qint64 dataBytes = 0;
    if (!original.open(QIODevice::ReadOnly) || !FindCdAudio(original, dataBytes)) {
      outcome.failure = QStringLiteral("%1 could not be read again").arg(ripped->file);
      return outcome;
    }
    const qint64 dataStart = original.pos();
    original.seek(0);
    QByteArray bytes = original.readAll();
    original.close();
    if (bytes.size() != dataStart + dataBytes) {
      outcome.failure = QStringLiteral("%1 changed since the rip").arg(ripped->file);
      return outcome;
    }
    ApplyCorrections(corrections, 2 * beginWord, reinterpret_cast<uint8_t*>(bytes.data()) + dataStart,
                     size_t(dataBytes));
    QSaveFile repaired(ripped->file);
    if (!repaired.open(QIODevice::WriteOnly) || repaired.write(bytes) != bytes.size() || !repaired.commit()) {
      outcome.failure = QStringLiteral("%1 could not be rewritten").arg(ripped->file);
      return outcome;
    }
    outcome.repaired.push_back({track.number, inTrack});
  }
  return outcome;
}

QStringList RipCtdbCheck::LogLines() const {
  QStringList lines;
  if (!wanted) return lines;
  if (!checked) return {QStringLiteral("CTDB: not checked: ") + notChecked};
  lines << QStringLiteral("CTDB TOC id: ") + verdict.tocId << QStringLiteral("CTDB: ") + LookupText(verdict);
  for (const CtdbEntryVerdict& entry : verdict.entries)
    lines << QStringLiteral("  CTDB entry %1, CRC %2, offset %3: %4")
                 .arg(entry.entry.id)
                 .arg(entry.entry.crc, 8, 16, QLatin1Char('0'))
                 .arg(Signed(entry.offsetSamples), EntryText(entry));
  return lines;
}

QString RipCtdbCheck::TrackText(int audioIndex) const {
  if (!checked || verdict.lookup != CtdbLookup::Outcome::Found || audioIndex < 0 ||
      audioIndex >= int(verdict.trackConfidence.size()))
    return {};
  return QStringLiteral("CTDB: confidence %1 of %2")
      .arg(verdict.trackConfidence[size_t(audioIndex)])
      .arg(verdict.totalConfidence);
}

QString RipCtdbCheck::Summary() const {
  if (!wanted) return {};
  if (!checked) return QStringLiteral("CTDB: not checked: ") + notChecked;
  if (verdict.lookup != CtdbLookup::Outcome::Found) return QStringLiteral("CTDB: ") + LookupText(verdict);
  int verified = 0;
  for (const CtdbEntryVerdict& entry : verdict.entries)
    if (entry.kind == CtdbEntryVerdict::Kind::Verified) verified += entry.entry.confidence;
  QString text = QStringLiteral("CTDB: verified (confidence %1 of %2)").arg(verified).arg(verdict.totalConfidence);
  if (verified == 0) text = QStringLiteral("CTDB: not verified (%1 entries)").arg(verdict.entries.size());
  if (const CtdbEntryVerdict* repair = verdict.BestRepair(); repair && verified == 0)
    text += QStringLiteral("; repairable against entry %1 (%2 samples)")
                .arg(repair->entry.id)
                .arg(repair->repair.corrections.size());
  return text;
}

}  // namespace trackmill
