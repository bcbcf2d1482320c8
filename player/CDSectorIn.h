#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/core/AuInput.h"
#include "cd/Drive.h"

// TCDSectorIn: a run of a disc's audio sectors as 44100 Hz, 16-bit stereo PCM, read through
// an open drive (a drive or a disc image), of which it holds a share. The drive and the range
// are set on the main thread while idle; reading runs on the worker of the output that pulls
// this input, serialised with the main thread's calls on the same drive by the drive's lock.
// Errors: EAuException "The Stream is not opened", "Error while reading the disc".
namespace trackmill {

class TCDSectorIn : public TAuInput {
  Q_OBJECT
 public:
  explicit TCDSectorIn(QObject* parent = nullptr);

  // Sectors [firstSector, endSector) as reads address them (absolute frame - 150).
  void SetRange(std::shared_ptr<CdDrive> drive, qint32 firstSector, qint32 endSector);
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
  std::shared_ptr<CdDrive> drive_;
  qint32 firstSector_ = 0;
  qint32 endSector_ = 0;
  qint32 nextSector_ = 0;
  // One read's sectors, handed out from where the drive put them.
  std::vector<uint8_t> sectors_;
};

}  // namespace trackmill
