// The pages of the options dialog and their controls, as they are before the settings fill them.
#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "jobs/EncoderCommands.h"
#include "jobs/FileNamePattern.h"
#include "settings/Settings.h"
#include "settings/translate/FormTexts.h"
#include "tags/Id3Genres.h"
#include "ui/FormParts.h"
#include "ui/OptionSetForm.h"

namespace trackmill {
namespace {

// The WMA encoder settings by position; the same positions select the encoder's setting.
constexpr const char* kWmaSettings[kWmaSettingCount] = {
    "48.000 kHz, 192 kbit/s, Stereo", "48.000 kHz, 160 kbit/s, Stereo", "48.000 kHz, 128 kbit/s, Stereo",
    "44.100 kHz, 192 kbit/s, Stereo", "44.100 kHz, 160 kbit/s, Stereo", "44.100 kHz, 128 kbit/s, Stereo",
    "44.100 kHz,  96 kbit/s, Stereo", "44.100 kHz,  80 kbit/s, Stereo", "44.100 kHz,  64 kbit/s, Stereo",
    "44.100 kHz,  48 kbit/s, Stereo", "44.100 kHz,  32 kbit/s, Stereo", "44.100 kHz,  48 kbit/s, Mono",
    "44.100 kHz,  32 kbit/s, Mono",   "32.000 kHz,  48 kbit/s, Stereo", "32.000 kHz,  40 kbit/s, Stereo",
    "32.000 kHz,  32 kbit/s, Stereo", "32.000 kHz,  20 kbit/s, Mono",   "22.050 kHz,  32 kbit/s, Stereo",
    "22.050 kHz,  22 kbit/s, Stereo", "22.050 kHz,  20 kbit/s, Stereo", "22.050 kHz,  20 kbit/s, Mono",
    "22.050 kHz,  16 kbit/s, Mono",   "16.000 kHz,  20 kbit/s, Stereo", "16.000 kHz,  16 kbit/s, Stereo",
    "16.000 kHz,  16 kbit/s, Mono",   "16.000 kHz,  12 kbit/s, Mono",   "16.000 kHz,  10 kbit/s, Mono",
    "11.025 kHz,  10 kbit/s, Mono",   "11.025 kHz,   8 kbit/s, Mono",   " 8.000 kHz,  12 kbit/s, Stereo",
    " 8.000 kHz,   8 kbit/s, Mono",   " 8.000 kHz,   6 kbit/s, Mono",   " 8.000 kHz,   5 kbit/s, Mono",
};
constexpr int kOggBitRateCount = 15;

QCheckBox* Check(const char* name, const char* text) { return Named(new QCheckBox(QLatin1String(text)), name); }

QComboBox* Combo(const char* name, const QStringList& items, bool fixedItems) {
  auto* combo = Named(new QComboBox, name);
  combo->addItems(items);
  combo->setProperty(kFixedItemsProperty, fixedItems);
  return combo;
}

QLineEdit* Edit(const char* name) { return Named(new QLineEdit, name); }

// A row of a form layout whose label moves the focus to its control.
void AddRow(QFormLayout* form, const char* labelName, const char* text, QWidget* control) {
  auto* label = Named(new QLabel(QLatin1String(text)), labelName);
  label->setBuddy(control);
  form->addRow(label, control);
}

QStringList Mp3BitRateItems() {
  QStringList items;
  for (const int kbps : kMp3BitRates) items << BitRateText(kbps);
  return items;
}

QStringList NumberItems(int count) {
  QStringList items;
  for (int i = 0; i < count; ++i) items << QString::number(i);
  return items;
}

// A button alone at the right of its row.
QLayout* RightAligned(QPushButton* button) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(button);
  return row;
}

QWidget* Page(const char* name, QLayout* content) {
  auto* page = Named(new QWidget, name);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(content);
  layout->addStretch();
  return page;
}

}  // namespace

QWidget* TOptionSetForm::OutputPage() {
  auto* folderGroup = Named(new QGroupBox(QStringLiteral("Output folder")), "GroupBox1");
  outputFolder_ = Edit("editOutputDir");
  browseButton_ = Named(new QPushButton(QStringLiteral("...")), "btBrowser");
  connect(browseButton_, &QPushButton::clicked, this, &TOptionSetForm::BrowseOutputFolder);
  auto* folderRow = new QHBoxLayout(folderGroup);
  folderRow->addWidget(outputFolder_);
  folderRow->addWidget(browseButton_);
  deleteWav_ = Check("ckbKeepWav", "Delete WAV file after processing");
  openFolderAfterRip_ = Check("cbOpenFolderAfterRip", "Open the output folder when a rip has finished");

  auto* formatGroup = Named(new QGroupBox(QStringLiteral("Output format")), "GroupBox2");
  outputFormat_ = Combo("cbOutputFormat",
                         {"MP3 file(*.MP3)", "WAV file(*.WAV)", "OGG file(*.OGG)", "WMA file(*.WMA)", "FLAC file(*.FLAC)"},
                         false);
  (new QVBoxLayout(formatGroup))->addWidget(outputFormat_);

  normalize_ = Check("ckNormalize", "Normalize");
  normalizePercent_ = Named(new QSpinBox, "SpinEdit1");
  normalizePercent_->setRange(0, 100);
  normalizePercent_->setValue(95);
  normalizePercent_->findChild<QLineEdit*>()->setReadOnly(true);  // the arrows only
  auto* normalizeRow = new QHBoxLayout;
  normalizeRow->addWidget(normalize_);
  normalizeRow->addWidget(normalizePercent_);
  normalizeRow->addWidget(Named(new QLabel(QStringLiteral("%")), "lblPercent"));
  normalizeRow->addStretch();

  ripTimeGroup_ = Named(new QGroupBox, "GroupBox4");
  limitLength_ = Check("cbRipTime", "Enable to set the length to extract");
  lengthSeconds_ = Edit("eRipTime");
  lengthSeconds_->setText(QStringLiteral("0"));
  auto* songLength = Named(new QLabel(QStringLiteral("The song length:")), "lblSongLength");
  songLength->setBuddy(lengthSeconds_);
  auto* lengthRow = new QHBoxLayout;
  lengthRow->addWidget(songLength);
  lengthRow->addWidget(lengthSeconds_);
  lengthRow->addWidget(Named(new QLabel(QStringLiteral("Second")), "lblSecond"));
  auto* limit = new QVBoxLayout(ripTimeGroup_);
  limit->addWidget(limitLength_);
  limit->addLayout(lengthRow);

  writeRipLog_ = Check("ckbWriteRipLog", "Write a rip log and a cue sheet beside the tracks");
  auto* more = new QFormLayout;
  replayGain_ = Combo("cbReplayGain", {"Off", "Track gain", "Track and album gain"}, false);
  AddRow(more, "lblReplayGain", "ReplayGain:", replayGain_);
  encoderProcesses_ = Named(new QSpinBox, "seEncoderProcesses");
  encoderProcesses_->setRange(0, 64);
  AddRow(more, "lblEncoderProcesses", "Encoders at once (0: one per processor):", encoderProcesses_);
  namePreset_ = Combo("cbNamePreset",
                      {"Title", "NN - Title", "Artist/Album/NN - Title", "Album artist/Album (Year)/Disc N/NN - Title",
                       "Own pattern"},
                      false);
  AddRow(more, "lblNamePreset", "File names:", namePreset_);
  namePattern_ = Edit("editNamePattern");
  namePattern_->setToolTip(QStringLiteral("%t title, %n number, %N total, %a track artist, %A album artist, "
                                          "%l album, %y year, %g genre, %d disc, %D discs, %f format, / folder"));
  AddRow(more, "lblNamePattern", "Pattern:", namePattern_);
  nameExample_ = Named(new QLabel, "lblNameExample");
  nameExample_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  more->addRow(QString(), nameExample_);
  // A preset fills the pattern; a pattern typed by hand shows its preset, or "Own pattern".
  connect(namePreset_, &QComboBox::activated, this, [this](int preset) {
    if (preset >= 0 && preset < int(kFileNamePresets.size())) namePattern_->setText(kFileNamePresets[size_t(preset)]);
  });
  const auto showPattern = [this] {
    const auto known = std::find(kFileNamePresets.begin(), kFileNamePresets.end(), namePattern_->text().toStdString());
    namePreset_->setCurrentIndex(int(known - kFileNamePresets.begin()));
    const qint32 format = outputFormat_->currentIndex();
    nameExample_->setText(FileNameExample(
        namePattern_->text(), QLatin1String(output_format::kExtensions[size_t(output_format::IsKnown(format) ? format : 0)])));
  };
  connect(namePattern_, &QLineEdit::textChanged, this, showPattern);
  connect(outputFormat_, &QComboBox::currentIndexChanged, this, showPattern);

  auto* layout = new QVBoxLayout;
  layout->addWidget(folderGroup);
  layout->addWidget(deleteWav_);
  layout->addWidget(openFolderAfterRip_);
  layout->addWidget(formatGroup);
  layout->addLayout(normalizeRow);
  layout->addWidget(ripTimeGroup_);
  layout->addWidget(writeRipLog_);
  layout->addLayout(more);
  return Page("TabSheet1", layout);
}

QWidget* TOptionSetForm::Mp3Page() {
  useVbr_ = Check("ckbSelectVBR", "Enable Variable Bitrate(VBR)");
  writeVbrHeader_ = Check("ckbVBRHead", "Disable writing of the VBR Tag");
  auto* form = new QFormLayout;
  form->addRow(useVbr_);
  form->addRow(writeVbrHeader_);
  mp3BitRate_ = Combo("cbBitRate", Mp3BitRateItems(), true);
  mp3BitRate_->setEditable(true);
  AddRow(form, "lblBitRate", "Minimum bitrate:", mp3BitRate_);
  mp3MaxBitRate_ = Combo("cbMaxBitRate", Mp3BitRateItems(), true);
  mp3MaxBitRate_->setEditable(true);
  AddRow(form, "lblMaxBitRate", "Maximum bitrate:", mp3MaxBitRate_);
  vbrQuality_ = Combo("cbVBRQuality", NumberItems(10), true);
  AddRow(form, "lblVBRQuality", "VBR Quality:", vbrQuality_);
  mpegQuality_ = Combo("cbMpegQuality", {"Default", "Faster encode/Lower quality", "Slower encode/Higher quality"}, false);
  AddRow(form, "lblMpegQuality", "Speed/Quality:", mpegQuality_);
  stereoMode_ = Combo("cbStereoMode", {"Stereo", "Joint Stereo", "Forced Joint Stereo", "Dual Channels", "Mono"}, false);
  AddRow(form, "lblStereoMode", "Mode:", stereoMode_);
  mp3DefaultsButton_ = Named(new QPushButton(QStringLiteral("&Default")), "bDefault");
  connect(mp3DefaultsButton_, &QPushButton::clicked, this, &TOptionSetForm::RestoreMp3Defaults);
  form->addRow(RightAligned(mp3DefaultsButton_));
  return Page("TabSheet2", form);
}

QWidget* TOptionSetForm::OggPage() {
  oggUseQuality_ = Check("cbUseCompress", "Use Quality setting");
  oggQuality_ = Named(new QSlider(Qt::Horizontal), "tbCompression");
  oggQuality_->setRange(30, 100);
  oggQuality_->setValue(30);
  auto* quality = new QHBoxLayout;
  quality->addWidget(oggQuality_);
  quality->addWidget(Named(new QLabel(QStringLiteral("-> Highest quality")), "lblHighest"));

  auto* bitrateManagerGroup = Named(new QGroupBox(QStringLiteral("Use Bitrate manager")), "GroupBox5");
  QStringList rates;
  for (int i = 0; i < kOggBitRateCount; ++i) rates << OggBitRateText(i);
  auto* manager = new QFormLayout(bitrateManagerGroup);
  oggNominalBitRate_ = Combo("cbOggNomBit", rates, true);
  AddRow(manager, "lblOggNomBit", "Nominal bitrate:", oggNominalBitRate_);
  oggMaxBitRate_ = Combo("cbOggMaxBit", rates, true);
  AddRow(manager, "lblOggMaxBit", "Maximum bitrate:", oggMaxBitRate_);
  oggMinBitRate_ = Combo("cbOggMinBit", rates, true);
  AddRow(manager, "lblOggMinBit", "Minimum bitrate:", oggMinBitRate_);

  auto* layout = new QVBoxLayout;
  layout->addWidget(oggUseQuality_);
  layout->addLayout(quality);
  layout->addWidget(bitrateManagerGroup);
  return Page("TabSheet4", layout);
}

QWidget* TOptionSetForm::WmaPage() {
  QStringList settings;
  for (const char* text : kWmaSettings) settings << QLatin1String(text);
  wmaBitRate_ = Combo("cbWMABitrate", settings, true);
  wmaBitRate_->setCurrentIndex(kDefaultWmaSetting);
  auto* form = new QFormLayout;
  AddRow(form, "lblWMABitrate", "Audio Bitrate:", wmaBitRate_);
  wmaDefaultsButton_ = Named(new QPushButton(QStringLiteral("&Default")), "bWMADefault");
  connect(wmaDefaultsButton_, &QPushButton::clicked, this, &TOptionSetForm::RestoreWmaDefaults);
  form->addRow(RightAligned(wmaDefaultsButton_));
  return Page("TabSheet5", form);
}

QWidget* TOptionSetForm::FlacPage() {
  flacLevel_ = Named(new QSpinBox, "seFlacLevel");
  flacLevel_->setRange(0, 8);
  flacLevel_->setValue(5);
  auto* form = new QFormLayout;
  AddRow(form, "lblFlacLevel", "Compression level (0 fastest, 8 smallest):", flacLevel_);
  return Page("TabSheet7", form);
}

QWidget* TOptionSetForm::Id3Page() {
  useTags_ = Check("cbUseID3", "Use ID3 tag");
  auto* form = new QFormLayout;
  form->addRow(useTags_);
  // The disc's texts go whole into ID3v2, Vorbis and FLAC tags (the ID3v1 writer cuts them
  // itself), so the fields take texts longer than ID3v1's 30 characters.
  tagArtist_ = Edit("ID3artist");
  AddRow(form, "lblArtist", "Artist:", tagArtist_);
  tagAlbum_ = Edit("ID3album");
  AddRow(form, "lblAlbum", "Album:", tagAlbum_);
  tagYear_ = Edit("ID3year");
  tagYear_->setMaxLength(4);
  AddRow(form, "lblYear", "Year:", tagYear_);
  tagGenre_ = Combo("ID3genre", GenreDisplayList(), true);
  AddRow(form, "lblGenre", "Genre:", tagGenre_);
  tagComment_ = Edit("ID3comment");
  AddRow(form, "lblComment", "Comment:", tagComment_);

  auto* musicBrainzGroup = Named(new QGroupBox(QStringLiteral("MusicBrainz")), "GroupBoxMusicBrainz");
  auto* lookup = new QFormLayout(musicBrainzGroup);
  fetchCoverArt_ = Check("ckbCoverArt", "Fetch the front cover and embed it");
  lookup->addRow(fetchCoverArt_);
  musicBrainzServer_ = Edit("eMusicBrainzServer");
  AddRow(lookup, "lblMusicBrainzServer", "Server:", musicBrainzServer_);
  coverArtServer_ = Edit("eCoverArtServer");
  AddRow(lookup, "lblCoverArtServer", "Cover server:", coverArtServer_);
  musicBrainzContact_ = Edit("eMusicBrainzContact");
  AddRow(lookup, "lblMusicBrainzContact", "Contact e-mail:", musicBrainzContact_);

  auto* layout = new QVBoxLayout;
  layout->addLayout(form);
  layout->addWidget(musicBrainzGroup);
  return Page("TabSheet6", layout);
}

QWidget* TOptionSetForm::CdRomPage() {
  driveList_ = Combo("cbCDList", {}, true);
  auto* form = new QFormLayout;
  AddRow(form, "lblDevice", "Device", driveList_);
  useCddb_ = Check("ckbCDDb", "Get CD information from CD DB");
  useCddb_->setVisible(false);
  form->addRow(useCddb_);

  auto* accurateRipGroup = Named(new QGroupBox(QStringLiteral("AccurateRip")), "GroupBoxAccurateRip");
  auto* verify = new QFormLayout(accurateRipGroup);
  verifyAccurateRip_ = Check("ckbAccurateRip", "Check every rip against the AccurateRip database");
  verify->addRow(verifyAccurateRip_);
  accurateRipServer_ = Edit("eAccurateRipServer");
  AddRow(verify, "lblAccurateRipServer", "Server (HOST[:PORT]):", accurateRipServer_);

  auto* layout = new QVBoxLayout;
  layout->addLayout(form);
  layout->addWidget(accurateRipGroup);
  return Page("TabSheet3", layout);
}

}  // namespace trackmill
