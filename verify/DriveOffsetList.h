#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

// The checksum database's list of drives with their read offsets (DriveOffsets.bin on the
// database's server), read as fixed-size records.
//
// ReadDriveOffsetList never reads outside the data whatever it holds: a last record cut short
// is ignored, a name ends at its first NUL or at the end of its field, and a byte outside
// printable ASCII in a name becomes '?', so nothing the server sends reaches a terminal as
// a control code. Pure functions; any thread.
namespace trackmill {

// The record layout is the one the public description of the list gives:
//   2 bytes   the drive's read offset in samples, signed 16-bit little-endian
//   33 bytes  the drive's name, "VENDOR - MODEL", NUL-padded
//   4 bytes   the number of submissions behind the offset, 32-bit little-endian
//   30 bytes  a 32-bit agreement percentage and reserved bytes, not used here
inline constexpr int kDriveOffsetBytes = 2;
inline constexpr int kDriveNameBytes = 33;
inline constexpr int kDriveSubmissionBytes = 4;
inline constexpr int kDriveRecordRestBytes = 30;
inline constexpr int kDriveOffsetRecordBytes =
    kDriveOffsetBytes + kDriveNameBytes + kDriveSubmissionBytes + kDriveRecordRestBytes;  // 69

struct DriveOffsetEntry {
  QString name;  // as listed: "VENDOR - MODEL", printable ASCII
  int offsetSamples = 0;
  quint32 submissions = 0;
};

std::vector<DriveOffsetEntry> ReadDriveOffsetList(const QByteArray& data);

// The list's name for a drive whose inquiry data gives vendor and model.
QString DriveOffsetListName(const QString& vendor, const QString& model);
// The entry for that drive: names compare without regard to case or to runs of spaces; of
// several entries for one drive, the one with the most submissions.
std::optional<DriveOffsetEntry> FindDriveOffset(const std::vector<DriveOffsetEntry>& list, const QString& vendor,
                                                const QString& model);

}  // namespace trackmill
