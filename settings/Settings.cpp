#include "settings/Settings.h"

#include <QFileInfo>
#include <QHash>
#include <array>
#include <optional>
#include <variant>

#include "common/DataFolder.h"
#include "settings/IniFile.h"
#include "settings/IniFileUpdate.h"

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
constexpr char kCtdb[] = "CTDB";
constexpr char kReadOffsets[] = "ReadOffsets";
constexpr char kExtraction[] = "Extraction";

const std::array<SettingKey, 54> kSettingKeys{{
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
    {kCommonOptions, "FileNamePattern", &TSettings::FileNamePattern},
    {kCommonOptions, "OpenFolderAfterRip", &TSettings::OpenFolderAfterRip},
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
    {kExtraction, "Mode", &TSettings::ExtractionMode},
    {kExtraction, "MaxRetries", &TSettings::MaxRetries},
    {kExtraction, "DefeatCache", &TSettings::DefeatCache},
    {kExtraction, "UseC2", &TSettings::UseC2},
    {kAccurateRip, "Use", &TSettings::UseAccurateRip},
    {kAccurateRip, "Server", &TSettings::AccurateRipServer},
    {kCtdb, "Use", &TSettings::UseCtdb},
    {kCtdb, "Server", &TSettings::CtdbServer},
    {kCtdb, "Repair", &TSettings::CtdbRepair},
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
    {kMusicBrainz, "CoverMaxEdge", &TSettings::CoverMaxEdge},
    {kMusicBrainz, "CoverPlacement", &TSettings::CoverPlacement},
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
// The text a value is stored as, so that a save can tell which values this process changed.
QString ValueText(const QString& value) { return value; }
QString ValueText(qint32 value) { return QString::number(value); }
QString ValueText(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }

QString FieldName(const QString& section, const QString& key) { return (section + u'/' + key).toLower(); }

// What the file held when this process last loaded (or saved) it, as each key's text; a key
// the file lacked holds the text of the value the process took instead. Unset until a load:
// a save then writes every key, as a process that knows nothing of the file must.
std::optional<QHash<QString, QString>>& LoadedTexts() {
  static std::optional<QHash<QString, QString>> texts;
  return texts;
}

QString LoadedText(const QString& section, const QString& key) {
  const auto& texts = LoadedTexts();
  return texts ? texts->value(FieldName(section, key)) : QString();
}

// Writes a key when this process changed its value since loading, or when the file lacks it;
// a value another process saved in the meantime stays unless this one changed it too.
void WriteIfChanged(IniFile& ini, const QString& section, const QString& key, const QString& text) {
  const bool changed = !LoadedTexts() || !LoadedTexts()->contains(FieldName(section, key)) ||
                       LoadedText(section, key) != text;
  if (changed || !ini.HasKey(section, key)) ini.WriteString(section, key, text);
}

QString UnreadableText(const QString& path) {
  const QFileInfo info(path);
  const QString why = info.isDir()                            ? QStringLiteral("it is a folder")
                      : info.size() > IniFile::kMaxFileBytes ? QStringLiteral("it is larger than %1 MiB, too large for a settings file")
                                                                   .arg(IniFile::kMaxFileBytes / (1024 * 1024))
                                                             : QStringLiteral("it cannot be read");
  return QStringLiteral("the settings file %1 was not read (%2): the defaults hold, and it is not saved over")
      .arg(path, why);
}

}  // namespace

TSettings& Settings() {
  static TSettings settings = DefaultSettings();
  return settings;
}

QString SettingsFilePath() { return DataFile(QStringLiteral("options.ini")); }

QString LoadSettings() {
  const QString path = SettingsFilePath();
  const IniFile ini = IniFile::Load(path);
  const TSettings defaults = DefaultSettings();
  TSettings& settings = Settings();
  QHash<QString, QString> loaded;
  for (const SettingKey& entry : kSettingKeys) {
    const QString section = QLatin1String(entry.section);
    const QString key = QLatin1String(entry.key);
    std::visit([&](auto field) { settings.*field = ReadValue(ini, section, key, defaults.*field); },
               entry.field);
    loaded.insert(FieldName(section, key),
                  ini.HasKey(section, key) ? ini.ReadString(section, key, {})
                                           : std::visit([&](auto field) { return ValueText(defaults.*field); },
                                                        entry.field));
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
    loaded.insert(FieldName(QLatin1String(kReadOffsets), drive), ini.ReadString(QLatin1String(kReadOffsets), drive, {}));
  }
  LoadedTexts() = std::move(loaded);
  return ini.LastLoadResult() == IniFile::LoadResult::Unreadable ? UnreadableText(path) : QString();
}

bool SaveSettings() {
  const TSettings& settings = Settings();
  QHash<QString, QString> saved;
  const auto write = [&](IniFile& ini, const QString& section, const QString& key, const QString& text) {
    WriteIfChanged(ini, section, key, text);
    saved.insert(FieldName(section, key), text);
  };
  // Under the file's lock, so that keys another process saves at the same moment stay.
  const bool written = UpdateIniFile(SettingsFilePath(), [&](IniFile& ini) {
    for (const SettingKey& entry : kSettingKeys) {
      const QString section = QLatin1String(entry.section);
      const QString key = QLatin1String(entry.key);
      std::visit([&](auto field) { write(ini, section, key, ValueText(settings.*field)); }, entry.field);
    }
    for (auto it = settings.ReadOffsets.cbegin(); it != settings.ReadOffsets.cend(); ++it)
      write(ini, QLatin1String(kReadOffsets), it.key(), ValueText(it.value()));
  });
  // The next save writes only what changes after this one.
  if (written) {
    if (LoadedTexts()) LoadedTexts()->insert(saved);
    else LoadedTexts() = std::move(saved);
  }
  return written;
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
