#include "settings/Settings.h"

#include <array>
#include <variant>

#include "common/DataFolder.h"
#include "settings/IniFile.h"

namespace trackmill {
namespace {

// Every key of options.ini, in the order a new file receives them.
struct SettingKey {
  const char* section;
  const char* key;
  std::variant<QString TSettings::*, qint32 TSettings::*, bool TSettings::*> field;
};

constexpr char kCommonOptions[] = "CommonOptions";
constexpr char kMp3Options[] = "Mp3Options";
constexpr char kOggOptions[] = "OggOptions";
constexpr char kWmaOptions[] = "WMAOptions";
constexpr char kFlacOptions[] = "FlacOptions";
constexpr char kCdOptions[] = "CDOptions";
constexpr char kRecordOptions[] = "RecordOptions";
constexpr char kQueryCddb[] = "QueryCDDB";
constexpr char kId3[] = "ID3";
constexpr char kOptions[] = "Options";
constexpr char kMusicBrainz[] = "MusicBrainz";
constexpr char kReplayGain[] = "ReplayGain";
constexpr char kAccurateRip[] = "AccurateRip";
constexpr char kReadOffsets[] = "ReadOffsets";

const std::array<SettingKey, 43> kSettingKeys{{
    {kCommonOptions, "OutputFolder", &TSettings::OutputFolder},
    {kCommonOptions, "OutputFormat", &TSettings::OutputFormat},
    {kCommonOptions, "IsKeepWav", &TSettings::IsKeepWav},
    {kCommonOptions, "IsNormalize", &TSettings::IsNormalize},
    {kCommonOptions, "NormalizePercent", &TSettings::NormalizePercent},
    {kCommonOptions, "EnableRipTime", &TSettings::EnableRipTime},
    {kCommonOptions, "RipTime", &TSettings::RipTime},
    {kCommonOptions, "EncoderStallMinutes", &TSettings::EncoderStallMinutes},
    {kCommonOptions, "EncoderProcesses", &TSettings::EncoderProcesses},
    {kCommonOptions, "WriteRipLog", &TSettings::WriteRipLog},
    {kMp3Options, "IsSelectVBR", &TSettings::IsSelectVBR},
    {kMp3Options, "IsVBRHead", &TSettings::IsVBRHead},
    {kMp3Options, "BitRate", &TSettings::BitRate},
    {kMp3Options, "MaxBitRate", &TSettings::MaxBitRate},
    {kMp3Options, "MpegQuality", &TSettings::MpegQuality},
    {kMp3Options, "VBRQuality", &TSettings::VBRQuality},
    {kMp3Options, "StereoMode", &TSettings::StereoMode},
    {kOggOptions, "IsUseCompress", &TSettings::IsUseCompress},
    {kOggOptions, "CompressPosition", &TSettings::CompressPosition},
    {kOggOptions, "MaxBitRate", &TSettings::OggMaxBitRate},
    {kOggOptions, "NomalBitRate", &TSettings::OggNominalBitRate},  // the stored name, misspelt
    {kOggOptions, "MinBitRate", &TSettings::OggMinBitRate},
    {kWmaOptions, "BitRate", &TSettings::WmaSetting},
    {kFlacOptions, "CompressionLevel", &TSettings::FlacCompressionLevel},
    {kCdOptions, "Index", &TSettings::Index},
    {kCdOptions, "CDDb", &TSettings::CDDb},
    {kCdOptions, "DiscImage", &TSettings::DiscImage},
    {kAccurateRip, "Use", &TSettings::UseAccurateRip},
    {kAccurateRip, "Server", &TSettings::AccurateRipServer},
    {kRecordOptions, "SaveMp3", &TSettings::SaveMp3},
    {kQueryCddb, "Server", &TSettings::Server},
    {kQueryCddb, "Script", &TSettings::Script},
    {kQueryCddb, "UseProxy", &TSettings::UseProxy},
    {kQueryCddb, "ProxyAddress", &TSettings::ProxyAddress},
    {kQueryCddb, "Port", &TSettings::Port},
    {kQueryCddb, "Email", &TSettings::Email},
    {kId3, "Use", &TSettings::UseID3},
    {kOptions, "Lan", &TSettings::Lan},
    {kMusicBrainz, "Server", &TSettings::MusicBrainzServer},
    {kMusicBrainz, "CoverArtServer", &TSettings::CoverArtServer},
    {kMusicBrainz, "Contact", &TSettings::MusicBrainzContact},
    {kMusicBrainz, "CoverArt", &TSettings::UseCoverArt},
    {kReplayGain, "Mode", &TSettings::ReplayGainMode},
}};

constexpr qint32 kMinCompressPosition = 30;
constexpr qint32 kMaxCompressPosition = 100;

const std::array<const char*, 15> kOggBitRates{
    " Default",   " 45 kbit/s", " 48 kbit/s", " 56 kbit/s", " 64 kbit/s",
    " 80 kbit/s", " 96 kbit/s", "112 kbit/s", "128 kbit/s", "144 kbit/s",
    "160 kbit/s", "192 kbit/s", "224 kbit/s", "256 kbit/s", "320 kbit/s"};

TSettings DefaultSettings() {
  TSettings defaults;
  defaults.OutputFolder = DefaultOutputFolder();
  return defaults;
}

// One name per value type, so that the key table drives loading and saving alike.
QString ReadValue(const IniFile& ini, const QString& section, const QString& key, const QString& fallback) {
  return ini.ReadString(section, key, fallback);
}
qint32 ReadValue(const IniFile& ini, const QString& section, const QString& key, qint32 fallback) {
  return ini.ReadInteger(section, key, fallback);
}
bool ReadValue(const IniFile& ini, const QString& section, const QString& key, bool fallback) {
  return ini.ReadBool(section, key, fallback);
}
void WriteValue(IniFile& ini, const QString& section, const QString& key, const QString& value) {
  ini.WriteString(section, key, value);
}
void WriteValue(IniFile& ini, const QString& section, const QString& key, qint32 value) {
  ini.WriteInteger(section, key, value);
}
void WriteValue(IniFile& ini, const QString& section, const QString& key, bool value) {
  ini.WriteBool(section, key, value);
}

}  // namespace

TSettings& Settings() {
  static TSettings settings = DefaultSettings();
  return settings;
}

QString SettingsFilePath() { return DataFile(QStringLiteral("options.ini")); }

void LoadSettings() {
  const IniFile ini = IniFile::Load(SettingsFilePath());
  const TSettings defaults = DefaultSettings();
  TSettings& settings = Settings();
  for (const SettingKey& entry : kSettingKeys) {
    const QString section = QLatin1String(entry.section);
    const QString key = QLatin1String(entry.key);
    std::visit([&](auto field) { settings.*field = ReadValue(ini, section, key, defaults.*field); },
               entry.field);
  }
  settings.CompressPosition = std::clamp(settings.CompressPosition, kMinCompressPosition, kMaxCompressPosition);
  if (settings.ReplayGainMode < kReplayGainOff || settings.ReplayGainMode > kReplayGainAlbum)
    settings.ReplayGainMode = kReplayGainOff;
  settings.FlacCompressionLevel = std::clamp(settings.FlacCompressionLevel, 0, 8);
  settings.ReadOffsets.clear();
  for (const QString& drive : ini.KeyNames(QLatin1String(kReadOffsets))) {
    qint32 offset = 0;
    if (IniFile::ParseInteger(ini.ReadString(QLatin1String(kReadOffsets), drive, {}), &offset))
      settings.ReadOffsets.insert(drive, offset);
  }
}

bool SaveSettings() {
  const QString path = SettingsFilePath();
  IniFile ini = IniFile::Load(path);
  // A file that exists but cannot be read would lose its other sections if replaced.
  if (ini.LastLoadResult() == IniFile::LoadResult::Unreadable) return false;
  const TSettings& settings = Settings();
  for (const SettingKey& entry : kSettingKeys) {
    const QString section = QLatin1String(entry.section);
    const QString key = QLatin1String(entry.key);
    std::visit([&](auto field) { WriteValue(ini, section, key, settings.*field); }, entry.field);
  }
  for (auto it = settings.ReadOffsets.cbegin(); it != settings.ReadOffsets.cend(); ++it)
    ini.WriteInteger(QLatin1String(kReadOffsets), it.key(), it.value());
  return ini.Save(path);  // a failed write leaves the old file as it was
}

QString OutputFormatName(qint32 outputFormat) {
  if (!output_format::IsKnown(outputFormat)) return {};
  return QString::fromLatin1(output_format::kExtensions[outputFormat]).toUpper();
}

QString OggBitRateText(qint32 position) {
  if (position < 0 || position >= qint32(kOggBitRates.size())) return {};
  return QLatin1String(kOggBitRates[position]);
}

qint32 OggBitRateKbps(qint32 position) {
  if (position <= 0 || position >= qint32(kOggBitRates.size())) return 0;
  return QString::fromLatin1(kOggBitRates[position]).section(u' ', 0, 0, QString::SectionSkipEmpty).toInt();
}

}  // namespace trackmill
