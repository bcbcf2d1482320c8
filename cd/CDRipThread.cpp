#include "cd/CDRipThread.h"

#include <QFile>
#include <QtEndian>
#include <optional>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>

#include "cd/DiscLayout.h"
#include "cd/DiscSamples.h"
#include "cd/NormalizeFile.h"
#include "cd/WavHeader.h"
#include "common/JobReports.h"
#include "common/ThreadHandOver.h"
#include "settings/Settings.h"

namespace trackmill {
namespace {

constexpr qint64 kSectorsPerRead = 10;
// An image has no drive cache to respect; larger reads cost fewer calls per second of audio.
constexpr qint64 kImageSectorsPerRead = 75;
// Secure reads of a drive run long enough for the test pass to outrun the drive's cache.
constexpr qint64 kSecureSectorsPerRead = kCacheDefeatSectors + 1200;
constexpr qint64 kSecureImageSectorsPerRead = 270;

int PeakOf(const QByteArray& samples) {
  int peak = 0;
  const auto* values = reinterpret_cast<const uchar*>(samples.constData());
  for (qsizetype i = 0; i + 1 < samples.size(); i += 2)
    peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(values + i))));
  return peak;
}

quint32 Crc32(quint32 crc, const QByteArray& bytes) {
  return quint32(crc32(crc, reinterpret_cast<const Bytef*>(bytes.constData()), uInt(bytes.size())));
}

}  // namespace

RipOptions RipOptions::FromSettings(const TSettings& s) {
  RipOptions o;
  o.EnableRipTime = s.EnableRipTime;
  o.RipTime = s.RipTime;
  o.IsNormalize = s.IsNormalize;
  o.NormalizePercent = s.NormalizePercent;
  o.Secure = s.ExtractionMode == kExtractionSecure;
  o.SecureRead = {std::max(0, s.MaxRetries), s.DefeatCache, s.UseC2};
  return o;
}

qint32 ReadOffsetOf(const CdDrive* drive, const TSettings& settings) {
  return drive ? settings.ReadOffsets.value(drive->Identity(), 0) : 0;
}

TCDRipThread::TCDRipThread(int trackNo, const QString& wavPath, std::shared_ptr<const DiscLayout> disc)
    : TrackNo(trackNo), Options(RipOptions::FromSettings(Settings())), wavPath_(wavPath), disc_(std::move(disc)) {}

TCDRipThread::~TCDRipThread() { JoinThread(*this); }

QString TCDRipThread::NormalizeError() const {
  // Only read once the final record arrived or the thread ended.
  return normalizeError_;
}

void TCDRipThread::End(StepOutcome outcome) { PostJobReport(ReportTo, StepEnded{JobStep::Extract, outcome, {}}); }

void TCDRipThread::run() {
  const ThreadEndMark end(this);
  if (!Drive || !Drive->IsOpen()) {
    End(StepOutcome::DriveRefused);
    return;
  }
  if (!disc_) {
    End(StepOutcome::TocUnreadable);
    return;
  }
  const DiscLayout& disc = *disc_;
  const int index = TrackNo - 1;
  if (index < 0 || index >= int(disc.tracks.size())) {
    End(StepOutcome::ReadError);
    return;
  }
  const DiscTrack& track = disc.tracks[size_t(index)];
  // A track that starts at or past the lead-out has no audio to read: not an empty success.
  if (track.startFrame >= disc.leadOutFrame) {
    End(StepOutcome::ReadError);
    return;
  }
  const qint64 trackSamples = qint64(track.Frames()) * kSamplesPerSector;
  qint64 sampleCount = trackSamples;
  if (Options.EnableRipTime)
    sampleCount = std::min(sampleCount, qint64(Options.RipTime) * kSectorsPerSecond * kSamplesPerSector);
  AccurateRipSum sum(trackSamples, disc.IsFirstAudio(index), disc.IsLastAudio(index));
  // Each track is read from its own address: sector numbers are MSF addresses less the lead-in.
  const qint64 firstSample =
      qint64(track.startFrame - kLeadInSectors) * kSamplesPerSector + Options.ReadOffset;
  // Only what the read offset shifts past the end of the audio is silence: the lead-out, or on
  // an enhanced CD the session gap before the data track, which the last audio track's end
  // leaves out. A track that the table of contents runs past the lead-out is read, and fails,
  // as it is.
  const bool sessionGapFollows = disc.IsLastAudio(index) && index + 1 < int(disc.tracks.size());
  const qint64 discEnd =
      (sessionGapFollows ? track.endFrame : std::max(disc.leadOutFrame, track.endFrame)) - kLeadInSectors;
  const qint64 discSamples = discEnd * kSamplesPerSector;
  RipTrack(FileName(), firstSample, std::max<qint64>(sampleCount, 0), discSamples, sum,
           track.startFrame - kLeadInSectors);
}

void TCDRipThread::RipTrack(const QString& fileName, qint64 firstSample, qint64 sampleCount,
                            qint64 discSamples, AccurateRipSum& sum, int32_t trackSector) {
  QFile file(fileName);
  // Unbuffered: a failing write (full disk, size limit) shows at once, not at close.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
    End(StepOutcome::CannotCreate);
    return;
  }
  const QByteArray header = CdWavHeader(0);
  if (file.write(header) != header.size()) {
    file.close();
    End(StepOutcome::WriteError);
    return;
  }
  const bool image = Drive->IsImage();
  const qint64 sectorsPerRead = Options.Secure ? (image ? kSecureImageSectorsPerRead : kSecureSectorsPerRead)
                                               : (image ? kImageSectorsPerRead : kSectorsPerRead);
  qint64 samplesPerRead = sectorsPerRead * kSamplesPerSector;
  // One sector more than a chunk: a chunk that starts inside a sector spans one more.
  std::vector<uint8_t> sectors(size_t(sectorsPerRead + 1) * kCDSectorBytes);
  std::vector<uint8_t> testSectors(Options.Secure ? sectors.size() : 0);
  std::optional<SecureReader> secure;
  if (Options.Secure) secure.emplace(*Drive, Options.SecureRead, int32_t(discSamples / kSamplesPerSector));
  CopyReport copy;
  copy.secure = Options.Secure;
  QByteArray chunk, testChunk;
  ProgressClock clock;
  bool readFailed = false;
  bool writeFailed = false;
  qint64 done = 0;
  while (done < sampleCount && !Stopped) {
    const qint64 count = std::min(samplesPerRead, sampleCount - done);
    chunk.resize(count * kBytesPerStereoSample);
    if (secure) {
      testChunk.resize(chunk.size());
      readFailed = !ReadDiscSamplesSecurely(*secure, sectors, testSectors, firstSample + done, count, discSamples,
                                            chunk.data(), testChunk.data());
    } else {
      readFailed = !ReadDiscSamples(*Drive, sectors, firstSample + done, count, discSamples, chunk.data());
    }
    if (readFailed && !secure && samplesPerRead > kSectorsPerRead * kSamplesPerSector) {
      // A large read fails as a whole; reads of a drive's size keep what can still be read.
      samplesPerRead = kSectorsPerRead * kSamplesPerSector;
      readFailed = false;
      continue;
    }
    if (!readFailed) {
      sum.Add(reinterpret_cast<const uint8_t*>(chunk.constData()), size_t(chunk.size()));
      copy.peak = std::max(copy.peak, PeakOf(chunk));
      copy.copyCrc = Crc32(copy.copyCrc, chunk);
      copy.testCrc = Crc32(copy.testCrc, secure ? testChunk : chunk);
      if (file.write(chunk) != chunk.size()) writeFailed = true;
    }
    done += count;
    PostJobReport(ReportTo, clock.Make(JobStep::Extract, done, sampleCount));
    if (readFailed || writeFailed) break;
  }
  if (readFailed || writeFailed) {
    // The partial file stays, with data size 0 in its header.
    file.close();
    End(readFailed ? StepOutcome::ReadError : StepOutcome::WriteError);
    return;
  }
  const QByteArray finalHeader = CdWavHeader(quint32(file.size() - kCdWavHeaderBytes));
  const bool patched = file.seek(0) && file.write(finalHeader) == finalHeader.size();
  file.close();
  if (Stopped) return;
  if (!patched) {
    End(StepOutcome::WriteError);
    return;
  }
  checksums_ = sum.Result();
  if (secure) {
    copy.rereads = secure->Totals().rereads;
    copy.suspicious = SectorRuns(secure->Totals().unproven, trackSector);
  }
  copy_ = copy;
  if (Options.IsNormalize) normalizeError_ = NormalizeFile(ReportTo, Options.NormalizePercent, fileName);
  End(StepOutcome::Done);
}

}  // namespace trackmill
