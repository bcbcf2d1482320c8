#pragma once
#include <QString>
#include <memory>
#include <vector>

#include "audio/core/AuInput.h"

typedef struct cdrom_drive_s cdrom_drive_t;
typedef struct cdrom_paranoia_s cdrom_paranoia_t;

// TCDIn: the CD input of the pipeline over libcdio-paranoia, used when the drive layer gives
// no handle. Delivers the audio of the tracks StartTrack..EndTrack of the selected drive as
// 44100 Hz, 16-bit, 2-channel PCM. The drives are those of the drive list (ListDrives).
//
// Published settings, mapped to paranoia modes when a range is opened:
//   EnableJitterCorrection false        -> plain reads, no verification;
//   true and Paranoid                   -> full paranoia, skipping unreadable spots;
//   true, not Paranoid, ParanoiaMode 0  -> overlapped reads (jitter correction only);
//                       ParanoiaMode 1  -> overlapped reads with verification;
//                       ParanoiaMode 2+ -> full paranoia, never skipping;
//   MultiReadCount > 0                  -> attempts per sector (default 20);
//   LockTray                            -> the tray of a physical drive is locked while a
//                                          range is open.
//
// Threads: the track queries run on the user-interface thread; reading runs on the worker
// of the output that pulls this input. Both go through the data lock of TAuInput.
// Errors: EAuException with the fixed texts "Track out of range.", "The component is busy",
// "The drive is not ready", "The start track out of range", "Trying to rip a data track",
// "The end track out of range", "The Stream is not opened", "Error while reading the disc".
namespace trackmill {

class TCDIn : public TAuInput {
  Q_OBJECT

 public:
  explicit TCDIn(QObject* parent = nullptr);
  ~TCDIn() override;

  bool EnableJitterCorrection = false;
  qint32 MultiReadCount = 0;
  bool Paranoid = false;
  qint32 ParanoiaMode = 0;
  bool LockTray = false;

  int DriveCount();
  int CurrentDrive() const { return drive_; }
  // Accepted for 0 <= n < DriveCount(); raises "The component is busy" while a range is open.
  void SelectDrive(int n);
  QString DriveName();
  // Number of tracks, -1 when the table of contents cannot be read.
  int TrackCount();
  struct TrackTime {
    int minutes = 0, seconds = 0, frames = 0;
  };
  // Length of track n (1..TrackCount()); raises "Track out of range." otherwise.
  TrackTime TrackLength(int n);
  bool IsDataTrack(int n);
  // Start sector (sector number as reads address it) of each track, then of the lead-out;
  // empty when there is no readable disc.
  std::vector<qint32> TocStartSectors();

  int StartTrack() const { return startTrack_; }
  int EndTrack() const { return endTrack_; }
  void SetStartTrack(int track);
  void SetEndTrack(int track);

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
  struct Toc {
    std::vector<qint32> starts;  // tracks, then the lead-out
    std::vector<bool> data;
  };
  bool OpenDrive();  // caller holds the data lock
  void CloseDrive();
  bool ReadToc(Toc& toc);
  qint64 RangeBytes(const Toc& toc) const;
  void RefillChunk();

  int drive_ = 0;
  int startTrack_ = 1;
  int endTrack_ = 1;
  cdrom_drive_t* cdda_ = nullptr;       // with its CdIo, owned
  cdrom_paranoia_t* paranoia_ = nullptr;
  bool isImage_ = false;
  bool trayLocked_ = false;
  qint32 nextSector_ = 0;  // next sector to read of the open range
  qint32 endSector_ = 0;   // first sector after the open range
  std::vector<char> chunk_;
};

}  // namespace trackmill
