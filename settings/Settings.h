#pragma once
#include <QMap>
#include <QString>
#include <array>

#include "common/JobCodes.h"

// The one process-wide settings record. Loaded from options.ini in the per-user data folder
// when the program starts, changed in memory, written back at exit (SaveSettings): only the
// keys this process changed, so that other processes' changes saved meanwhile stay.
// Only the main (user-interface) thread changes it; workers read it while no window edits it.
namespace trackmill {

inline constexpr int kDiscTitleSlots = 100;

// Titles and album facts of the disc in the drive; stored per disc in cdinfo.dat.
struct DiscInfo {
  QString Artist;
  QString Album;
  QString Year;
  qint32 Genre = -1;  // position in the genre display list; -1 = not set
  QString Comment;
  qint32 TrackNumber = kDiscTitleSlots;
  std::array<QString, kDiscTitleSlots> Titles;  // slot n is Titles[n - 1]
  // Artist of slot n when it differs from the disc's (a guest, a compilation); else empty.
  std::array<QString, kDiscTitleSlots> TrackArtists;
  QString MusicBrainzRelease;  // id of the release the titles came from; empty when none
  qint32 DiscNumber = 0;  // of a set of discs; 0: not known
  qint32 DiscTotal = 0;
  QString Identifier;  // the disc identifier the record was loaded for (not stored in it)
};

inline constexpr qint32 kCoverEmbeddedAndFile = 0;  // in every file, and cover.jpg beside them
inline constexpr qint32 kCoverEmbedded = 1;
inline constexpr qint32 kCoverFile = 2;

inline constexpr qint32 kExtractionFast = 0;    // every sector read once
inline constexpr qint32 kExtractionSecure = 1;  // every sector proven by reads that agree

inline constexpr qint32 kReplayGainOff = 0;
inline constexpr qint32 kReplayGainTrack = 1;
inline constexpr qint32 kReplayGainAlbum = 2;  // track and album gain

struct TSettings {
  // [CommonOptions]
  QString OutputFolder;  // default: DefaultOutputFolder()
  qint32 OutputFormat = output_format::kMp3;  // output_format::k*; 4 FLAC
  bool IsKeepWav = false;
  bool IsNormalize = false;
  qint32 NormalizePercent = 95;
  bool EnableRipTime = false;
  qint32 RipTime = 0;  // seconds
  // An encoder that neither prints nor grows its output this long is stopped; 0 or less: never.
  qint32 EncoderStallMinutes = 10;
  // Encoders that run at once; 0: one per processor; 1: one item after another.
  qint32 EncoderProcesses = 0;
  bool WriteRipLog = true;  // a log and a cue sheet beside the ripped tracks
  QString FileNamePattern = QStringLiteral("%t");  // see jobs/FileNamePattern.h
  bool OpenFolderAfterRip = false;  // the output folder opens in the file manager after a rip
  // [Mp3Options]
  bool IsSelectVBR = false;
  bool IsVBRHead = false;
  qint32 BitRate = 128;
  qint32 MaxBitRate = 320;
  qint32 MpegQuality = 0;
  qint32 VBRQuality = 4;
  qint32 StereoMode = 1;
  // [OggOptions]
  bool IsUseCompress = true;
  qint32 CompressPosition = 30;
  qint32 OggMaxBitRate = 0;  // positions in the Ogg bit-rate list
  qint32 OggNominalBitRate = 0;
  qint32 OggMinBitRate = 0;
  // [WMAOptions]
  qint32 WmaSetting = 8;  // position in the WMA setting table
  // [FlacOptions]
  qint32 FlacCompressionLevel = 5;  // 0 fastest .. 8 smallest
  // [CDOptions]
  qint32 Index = -1;  // position in the drive list; -1 = none chosen
  bool CDDb = false;
  QString DiscImage;  // the image last opened in the window; reopened when no drive is chosen
  // [Extraction]
  qint32 ExtractionMode = kExtractionSecure;  // kExtractionFast or kExtractionSecure
  qint32 MaxRetries = 20;  // re-reads of a block of sectors whose reads disagree
  bool DefeatCache = true;  // re-reads come from the disc, not the drive's cache
  bool UseC2 = true;        // re-read what the drive's C2 pointers flag, where it reports them
  // [ReadOffsets]: samples by drive (CdDrive::Identity); a drive not listed reads with offset 0.
  QMap<QString, qint32> ReadOffsets;
  // [AccurateRip]
  bool UseAccurateRip = true;  // look the rip up after extracting
  QString AccurateRipServer = QStringLiteral("www.accuraterip.com");  // HOST[:PORT], plain HTTP
  // [CTDB]: the parity database, beside AccurateRip
  bool UseCtdb = true;  // look the rip up after extracting
  QString CtdbServer = QStringLiteral("db.cuetools.net");  // HOST[:PORT], plain HTTP
  bool CtdbRepair = true;  // fetch parity for a rip that differs and repair what it can
  // [RecordOptions]
  bool SaveMp3 = false;
  // cdinfo.dat
  DiscInfo Disc;
  // [QueryCDDB]
  QString Server = QStringLiteral("gnudb.gnudb.org");
  QString Script = QStringLiteral("/~cddb/cddb.cgi");
  bool UseProxy = false;
  QString ProxyAddress;
  QString Port = QStringLiteral("80");
  QString Email;  // CDDB servers refuse clients without a real address
  // [ID3]
  bool UseID3 = false;
  // [MusicBrainz]
  QString MusicBrainzServer = QStringLiteral("https://musicbrainz.org");
  QString CoverArtServer = QStringLiteral("https://coverartarchive.org");
  QString MusicBrainzContact;  // the service asks for a contact address; empty: [QueryCDDB] Email
  bool UseCoverArt = true;     // fetch the front cover and embed it in every output file
  qint32 CoverMaxEdge = 1200;  // pixels of the cover's longer edge in files; 0: as fetched
  qint32 CoverPlacement = 0;   // kCoverEmbeddedAndFile, kCoverEmbedded or kCoverFile
  // [ReplayGain]
  qint32 ReplayGainMode = 0;  // kReplayGainOff, kReplayGainTrack or kReplayGainAlbum
  // [Options]
  QString Lan = QStringLiteral("English");
};

// The process-wide record.
TSettings& Settings();

// Path of options.ini in the per-user data folder.
QString SettingsFilePath();
// Reads every key into Settings() (defaults for anything missing or unparsable), then
// clamps CompressPosition to 30..100. Never fails: a file that exists but cannot be read (a
// folder, no permission, larger than IniFile::kMaxFileBytes) gives the defaults, and the
// returned text says so for the user; it is empty when the file was read or does not exist.
QString LoadSettings();
// Writes, under the file's lock, the keys whose values differ from what the last load read (every
// key before any load) and the keys the file lacks, new ones in table order; other sections and
// keys of the file, and values other processes saved meanwhile, stay. False when the changes are
// lost: the file cannot be written or locked in time (the old file stays intact), or it exists
// but cannot be read, since replacing it would lose what it holds.
bool SaveSettings();
// "MP3", "WAV", "OGG", "WMA", "FLAC" for OutputFormat 0..4, empty otherwise.
QString OutputFormatName(qint32 outputFormat);
// Text of an Ogg bit-rate list position (" Default", " 45 kbit/s", ...), empty when out of range.
QString OggBitRateText(qint32 position);
// kbit/s of an Ogg bit-rate list position, 0 for " Default" or out of range.
qint32 OggBitRateKbps(qint32 position);

}  // namespace trackmill
