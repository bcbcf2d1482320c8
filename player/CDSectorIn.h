#pragma once
#include "audio/core/AuInput.h"
#include "cd/CDRecords.h"
#include "cd/TrackBuf.h"

// TCDSectorIn: a run of a disc's audio sectors as 44100 Hz, 16-bit stereo PCM, read through
// the drive layer's handle (a drive or a disc image). The handle and the range are set on the
// main thread while idle; reading runs on the worker of the output that pulls this input,
// serialised with the main thread's calls on the same handle by the drive layer.
// Errors: EAuException "The Stream is not opened", "Error while reading the disc".
namespace trackmill {

class TCDSectorIn : public TAuInput {
  Q_OBJECT
 public:
  explicit TCDSectorIn(QObject* parent = nullptr);

  // Sectors [firstSector, endSector) as reads address them (absolute frame - 150).
  void SetRange(TCDHandle handle, qint32 firstSector, qint32 endSector);
  qint32 NextSector() const { return nextSector_; }

  int GetBitsPerSample() override { return 16; }
  int GetChannels() override { return 2; }
  int GetSampleRate() override { return 44100; }
  qint64 GetTotalSeconds() override;
  qint64 GetTotalFrames() override;

 protected:
  void OpenInput() override;
  void CloseInput() override;
  void ReadBlock(const char*& data, int& byteCount) override;

 private:
  TCDHandle handle_ = 0;
  qint32 firstSector_ = 0;
  qint32 endSector_ = 0;
  qint32 nextSector_ = 0;
  // One read's sectors, handed out from where the drive layer put them.
  TTrackBuf request_{0, 0};
};

}  // namespace trackmill
