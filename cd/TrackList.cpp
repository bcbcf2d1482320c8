#include "cd/TrackList.h"

#include <QDir>
#include <cmath>
#include <cstring>

#include "cd/Drive.h"
#include "common/TextForms.h"
#include "settings/DiscInfoStore.h"
#include "settings/LangString.h"
#include "settings/Settings.h"

namespace trackmill {
namespace {

constexpr double kBytesPerSecond = 176400;
constexpr double kBytesPerMegabyte = 1048576;

QString NoDeviceText() { return LangString("RES_NotFound_CDRom"); }
QString NoAudioText() { return LangString("RES_Check_CDRom"); }

}  // namespace

TrackLength LengthBetween(int fromMinute, int fromSecond, int toMinute, int toSecond) {
  TrackLength length{toMinute - fromMinute, toSecond - fromSecond};
  if (length.seconds < 0) {
    length.seconds += 60;
    length.minutes -= 1;
  }
  return length;
}

QString TrackLengthText(const TrackLength& length) {
  return TwoDigit(length.minutes) + ':' + TwoDigit(length.seconds);
}

QString TrackSizeText(const TrackLength& length) {
  const double bytes = (double(length.minutes) * 60 + length.seconds) * kBytesPerSecond;
  // nearbyint: halves to even under the default rounding mode.
  const auto hundredths = qint64(std::nearbyint(bytes / kBytesPerMegabyte * 100));
  return TwoDigit(hundredths / 100) + '.' + TwoDigit(hundredths % 100);
}

QString TitleForTrack(int trackNumber) {
  if (trackNumber < 1 || trackNumber > kDiscTitleSlots) return "Track" + TwoDigit(trackNumber);
  QString& slot = Settings().Disc.Titles[size_t(trackNumber - 1)];
  if (slot.isEmpty()) slot = "Track" + TwoDigit(trackNumber);
  return slot;
}

TrackRow MakeTrackRow(int trackNumber, const TrackLength& length) {
  TrackRow row;
  row.Caption = QString::number(trackNumber);
  row.Title = TitleForTrack(trackNumber);
  row.Length = TrackLengthText(length);
  row.Size = TrackSizeText(length);
  return row;
}

QStringList DriveDescriptions() {
  QStringList names;
  for (const DriveInfo& drive : ListDrives()) names << drive.Description().trimmed();
  return names;
}

std::shared_ptr<CdDrive> TrackList::OpenDrive(int driveIndex) {
  ImageProblem.clear();
  if (driveIndex < 0) driveIndex = 0;
  const std::vector<DriveInfo> drives = ListDrives();
  if (driveIndex >= int(drives.size())) driveIndex = 0;
  if (drives.empty() || !UseDriveLayer) {
    Status = NoDeviceText();
    return nullptr;
  }
  const DriveInfo& drive = drives[size_t(driveIndex)];
  DriveDescription = drive.Description();
  Status = DriveDescription;
  // Open drives are not a scarce resource here: a drive that cannot be opened is not helped
  // by closing one that others (a running extraction) still read.
  std::shared_ptr<CdDrive> opened = CdDrive::Open(drive);
  if (!opened && drive.kind == DriveInfo::Kind::Image) {
    // Which image and why, rather than that no drive exists.
    const QString problem = DiscImageProblem(drive.path);
    Status = ImageProblem = drive.path + ": " + (problem.isEmpty() ? QStringLiteral("cannot be opened") : problem);
  } else if (!opened) {
    Status = NoDeviceText();
  }
  return opened;
}

bool TrackList::IsAudioCDPresent() const {
  if (!Drive) return false;
  const std::optional<DiscToc> toc = Drive->ReadToc();
  return toc && toc->HasAudioTrack();
}

bool TrackList::IsDiscPresent() const { return Drive && Drive->ReadToc().has_value(); }

bool TrackList::LoadDiscRecord(const std::vector<qint32>& startFrames, qint32 leadOutFrame) {
  DiscIdentifier = startFrames.empty() ? QString() : DiscIdText(CddbDiscId(startFrames, leadOutFrame));
  return LoadDiscInfo(DiscIdentifier);
}

void TrackList::ApplyCDText() {
  const std::optional<TCDText> cdText = Drive ? Drive->CdText() : std::nullopt;
  if (!cdText) return;
  const TCDText& text = *cdText;
  DiscInfo& disc = Settings().Disc;
  if (disc.Artist.isEmpty()) disc.Artist = text.disc.performer;
  if (disc.Album.isEmpty()) disc.Album = text.disc.title;
  for (TrackRow& row : Rows) {
    const int track = row.Caption.toInt();
    if (track < 1 || track > int(text.tracks.size()) || track > kDiscTitleSlots) continue;
    const TCDTextEntry& entry = text.tracks[size_t(track - 1)];
    QString& title = disc.Titles[size_t(track - 1)];
    if (entry.title.isEmpty() || row.Title != "Track" + TwoDigit(track)) continue;
    title = row.Title = entry.title;
    if (!entry.performer.isEmpty() && entry.performer != disc.Artist)
      disc.TrackArtists[size_t(track - 1)] = entry.performer;
  }
}

void TrackList::ReadTrackListFromTOC() {
  if (!Drive) return;
  ForgetDisc();
  const std::optional<DiscToc> toc = Drive->ReadToc();
  if (!toc) {
    Status = LangString("RES_NotRead_Cd");
    return;
  }
  std::vector<qint32> starts;
  for (const TocTrack& track : toc->tracks) starts.push_back(track.FramesFromLeadIn());
  const bool known = LoadDiscRecord(starts, toc->tracks.empty() ? 0 : toc->leadOut.FramesFromLeadIn());

  // Lengths from the minutes and seconds of the tracks' minute/second/frame addresses.
  const auto length = [](const TocTrack& from, const TocTrack& to) {
    const int fromFrames = from.FramesFromLeadIn(), toFrames = to.FramesFromLeadIn();
    return LengthBetween(fromFrames / kSectorsPerMinute, fromFrames / kSectorsPerSecond % 60,
                         toFrames / kSectorsPerMinute, toFrames / kSectorsPerSecond % 60);
  };
  for (size_t k = 0; k < toc->tracks.size(); ++k) {
    const TocTrack& next = k + 1 < toc->tracks.size() ? toc->tracks[k + 1] : toc->leadOut;
    Rows.push_back(MakeTrackRow(toc->firstTrack + int(k), length(toc->tracks[k], next)));
  }
  if (!known) ApplyCDText();
  Status = DriveDescription;
}

void TrackList::Show() { Show(Settings().Index); }

void TrackList::Show(int driveIndex) {
  Drive = OpenDrive(driveIndex);
  if (Drive) {
    if (IsAudioCDPresent())
      ReadTrackListFromTOC();
    else
      NoAudioCD = true;
    SavedStatus = Status;
  }
}

void TrackList::Activate() {
  if (NoAudioCD) Status = ImageProblem.isEmpty() ? NoAudioText() : ImageProblem;
}

void TrackList::Refresh() {
  NoAudioCD = !IsAudioCDPresent();
  if (!NoAudioCD) {
    ReadTrackListFromTOC();
    if (Status == NoAudioText()) Status = DriveDescription;
  } else {
    ForgetDisc();
    Status = NoAudioText();
  }
}

void TrackList::ForgetDisc() {
  Rows.clear();
  DiscIdentifier.clear();
}

JobItems TrackList::ExtractItems() const {
  JobItems items;
  for (size_t i = 0; i < Rows.size(); ++i)
    if (Rows[i].Checked) items.push_back(JobItem::Track(int(i) + 1, Rows[i].Title));
  return items;
}

bool TrackList::SaveTitles() {
  DiscInfo& disc = Settings().Disc;
  disc.TrackNumber = qint32(Rows.size());
  for (size_t i = 0; i < Rows.size() && i < size_t(kDiscTitleSlots); ++i) disc.Titles[i] = Rows[i].Title;
  return SaveDiscInfo(DiscIdentifier);
}

QString TrackList::Close() {
  QStringList errors;
  if (!SaveTitles())
    errors << LangString("RES_SaveDiscInfoError").arg(QDir::toNativeSeparators(DiscInfoFilePath()));
  if (Drive && !Drive->Close()) errors << LangString("RES_Close_CD_Error");
  Drive.reset();
  return errors.join('\n');
}

}  // namespace trackmill
