#pragma once
#include <QString>
#include <QStringList>
#include <vector>

#include "cd/CDRecords.h"
#include "cd/DriveTypes.h"
#include "cd/TrackBuf.h"

// The CD drive layer: drive list, drive handles, address format, table of contents and raw
// audio sector reads, over libcdio.
//
// Drives are the disc images the user named (AddDiscImage; host adapter 1, listed first, in
// the order named) followed by the physical drives libcdio finds (host adapter 0). An image
// is listed even when it cannot be opened; asking for its handle then fails, as it does for
// an image whose damage map (DamageMap.h) is malformed. An image's handle reads through its
// damage map, so every caller meets the damage as it would meet a scratched disc.
//
// Results follow the library convention the callers rely on: non-zero (1) for success, 0 for
// failure; handles are non-zero. Every function is thread-safe. Calls on one handle are
// serialised by that handle's lock, so the extraction thread may read sectors while the main
// thread reads the table of contents. Closing a handle while a read on it runs lets the read
// finish; the drive is released after it.
namespace trackmill {

// Fills list.cd with up to list.max (at most 8) drives; sets and returns list.num.
int GetCDList(TCDList& list);
// Opens the drive with the request's host adapter and target; 0 when it cannot be opened.
TCDHandle GetCDHandle(const TGetCDHandle& request);
int CloseCDHandle(TCDHandle handle);
// kCDParmMsfAddresses with value 1 (MSF) or 0 (LBA); other parameters are refused.
int ModifyCDParms(TCDHandle handle, int parameter, int value);
// 1 and a filled table when the disc's table of contents can be read, else 0.
int ReadTOC(TCDHandle handle, TTOC& toc);
// Reads request.header.numFrames sectors from sector request.header.startFrame (address in
// sectors - 150) into the data area. 1 on success with len and startOffset set; 0 on a read
// error, a request that does not fit its data area, or a count of 0.
int ReadCDAudioLBA(TCDHandle handle, TTrackBuf& request);
// The same with the options of a secure read (DriveTypes.h); options.c2, when given, must
// hold kC2BytesPerSector for each sector. An image's damage map acts on every read.
int ReadCDAudioLBA(TCDHandle handle, TTrackBuf& request, const ReadOptions& options);
// Whether a failed read asked for sectors the medium does not hold (an image cut short, or a
// request no drive takes): no re-read gives them.
bool ReadRanPastMedium(const TTrackBufHeader& header);

// Whether a readable disc is in the drive of the handle now: a fresh look at the device or
// image file, so a disc changed since the handle was opened is noticed. False for a closed
// handle. May block while a physical drive spins up: call it off the user-interface thread.
bool MediaPresent(TCDHandle handle);

// Opens or closes the tray of the handle's drive.
TrayResult EjectTray(TCDHandle handle);
TrayResult CloseTray(TCDHandle handle);

// 1 and the text when the disc carries any CD-Text (its first language block), else 0.
int ReadCDText(TCDHandle handle, TCDText& text);


// What names the drive of an open handle in the settings (its read offset): the image's
// absolute path, or the drive's vendor and model; "=" becomes "_". Empty for a closed handle.
QString DriveIdentity(TCDHandle handle);
// Frames of the pregap (index 0) before a track, by its number on the disc; 0 when the drive
// or image does not say.
int TrackPregapFrames(TCDHandle handle, int trackNumber);
// Whether reads of the handle fill ReadOptions::c2 with the drive's C2 pointers: a physical
// drive that says it reports them, an image whose damage map says "c2 yes".
bool HandleReportsC2(TCDHandle handle);
// "Damage map: FILE (N directives)" for an image read through a damage map, else empty.
QString DamageMapLine(TCDHandle handle);
// True when the handle reads a disc image (reads may then be as large as the caller likes).
bool IsDiscImageHandle(TCDHandle handle);

// True when the table of contents lists at least one audio track.
bool HasAudioTrack(const TTOC& toc);
// Number of table entries (tracks + lead-out) that a successfully read table holds.
int TocEntryCount(const TTOC& toc);

}  // namespace trackmill
