#include "cd/CDRipThread.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>

#include "cd/CDDrive.h"
#include "cd/NormalizeFile.h"
#include "cd/WavHeader.h"
#include "common/FileUtils.h"
#include "common/JobEvents.h"
#include "common/ProcessInfo.h"
#include "settings/Settings.h"

namespace trackmill {
namespace {

constexpr qint64 kSectorsPerRead = 10;

}  // namespace

RipOptions RipOptions::FromSettings() {
  const TSettings& s = Settings();
  RipOptions o;
  o.OutputFolder = s.OutputFolder;
  o.EnableRipTime = s.EnableRipTime;
  o.RipTime = s.RipTime;
  o.IsNormalize = s.IsNormalize;
  o.NormalizePercent = s.NormalizePercent;
  return o;
}

TCDRipThread::TCDRipThread(int trackNo, const QString& trackName)
    : TrackNo(trackNo), TrackName(trackName), Options(RipOptions::FromSettings()) {}

TCDRipThread::~TCDRipThread() { wait(); }

QString TCDRipThread::FileName() const {
  return IncludeTrailingSeparator(Options.OutputFolder) + TrackName + ".wav";
}

QString TCDRipThread::NormalizeError() const {
  // Only read once the final record arrived or the thread ended.
  return normalizeError_;
}

void TCDRipThread::run() {
  if (ModifyCDParms(CDHandle, kCDParmMsfAddresses, 1) == 0) {
    PostRipFailed(NotifyWnd, kRipFailedAddressFormat);
    return;
  }
  TTOC toc;
  if (ReadTOC(CDHandle, toc) != 1) {
    PostRipFailed(NotifyWnd, kRipFailedReadToc);
    return;
  }
  // Entry TrackNo - 1 is the track, entry TrackNo the next track or the lead-out.
  if (TrackNo < 1 || TrackNo >= TocEntryCount(toc)) {
    PostJobProgress(NotifyWnd, MakeStatus(status::kExtractionEnded, kRipReadError));
    return;
  }
  const qint64 first = MsfSectors(toc.tracks[TrackNo - 1]);
  // Each track is read from its own address: sector numbers are MSF addresses less the lead-in.
  const qint64 start = first - kLeadInSectors;
  qint64 length = MsfSectors(toc.tracks[TrackNo]) - first;
  if (Options.EnableRipTime) length = std::min<qint64>(length, qint64(Options.RipTime) * kSectorsPerSecond);
  RipTrack(FileName(), std::max<qint64>(length, 0), start);
}

void TCDRipThread::RipTrack(const QString& fileName, qint64 length, qint64 start) {
  QFile file(fileName);
  // Unbuffered: a failing write (full disk, size limit) shows at once, not at close.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
    PostJobProgress(NotifyWnd, MakeStatus(status::kExtractionEnded, kRipCannotCreate));
    return;
  }
  const QByteArray header = CdWavHeader(0);
  if (file.write(header) != header.size()) {
    file.close();
    PostJobProgress(NotifyWnd, MakeStatus(status::kExtractionEnded, kRipWriteError));
    return;
  }
  ProgressClock clock;
  bool readFailed = false;
  bool writeFailed = false;
  qint64 done = 0;
  while (done < length && !Stopped) {
    const qint64 count = std::min(kSectorsPerRead, length - done);
    TTrackBuf request(quint32(start + done), quint32(count));
    if (ReadCDAudioLBA(CDHandle, request) == 1) {
      const qint64 bytes = request.AudioBytes();
      if (file.write(reinterpret_cast<const char*>(request.Audio()), bytes) != bytes) writeFailed = true;
    } else {
      readFailed = true;
    }
    done += count;
    PostJobProgress(NotifyWnd, clock.Make(done, length));
    if (readFailed || writeFailed) break;
  }
  if (readFailed || writeFailed) {
    // The partial file stays, with data size 0 in its header.
    file.close();
    PostJobProgress(NotifyWnd, MakeStatus(status::kExtractionEnded, readFailed ? kRipReadError : kRipWriteError));
    return;
  }
  const QByteArray finalHeader = CdWavHeader(quint32(file.size() - kCdWavHeaderBytes));
  const bool patched = file.seek(0) && file.write(finalHeader) == finalHeader.size();
  file.close();
  if (Stopped) return;
  if (!patched) {
    PostJobProgress(NotifyWnd, MakeStatus(status::kExtractionEnded, kRipWriteError));
    return;
  }
  if (Options.IsNormalize) normalizeError_ = NormalizeFile(NotifyWnd, Options.NormalizePercent, fileName);
  PostJobProgress(NotifyWnd, MakeStatus(status::kExtractionEnded, kRipDone));
}

}  // namespace trackmill
