// The pages of the options dialog and their controls, as they are before the settings fill them.
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
  auto* folderGroup = Named(new QGroupBox(QStringLiteral("Output directory(WAV/MP3)")), "GroupBox1");
  editOutputDir = Edit("editOutputDir");
  btBrowser = Named(new QPushButton(QStringLiteral("...")), "btBrowser");
  connect(btBrowser, &QPushButton::clicked, this, &TOptionSetForm::btBrowserClick);
  auto* folderRow = new QHBoxLayout(folderGroup);
  folderRow->addWidget(editOutputDir);
  folderRow->addWidget(btBrowser);
  ckbKeepWav = Check("ckbKeepWav", "Delete WAV file after processing");

  auto* formatGroup = Named(new QGroupBox(QStringLiteral("Output format")), "GroupBox2");
  cbOutputFormat = Combo("cbOutputFormat",
                         {"MP3 file(*.MP3)", "WAV file(*.WAV)", "OGG file(*.OGG)", "WMA file(*.WMA)", "FLAC file(*.FLAC)"},
                         false);
  (new QVBoxLayout(formatGroup))->addWidget(cbOutputFormat);

  ckNormalize = Check("ckNormalize", "Normalize");
  normalizePercent_ = Named(new QSpinBox, "SpinEdit1");
  normalizePercent_->setRange(0, 100);
  normalizePercent_->setValue(95);
  normalizePercent_->findChild<QLineEdit*>()->setReadOnly(true);  // the arrows only
  auto* normalizeRow = new QHBoxLayout;
  normalizeRow->addWidget(ckNormalize);
  normalizeRow->addWidget(normalizePercent_);
  normalizeRow->addWidget(Named(new QLabel(QStringLiteral("%")), "lblPercent"));
  normalizeRow->addStretch();

  ripTimeGroup_ = Named(new QGroupBox, "GroupBox4");
  cbRipTime = Check("cbRipTime", "Enable to set the length to extract");
  eRipTime = Edit("eRipTime");
  eRipTime->setText(QStringLiteral("0"));
  auto* songLength = Named(new QLabel(QStringLiteral("The song length:")), "lblSongLength");
  songLength->setBuddy(eRipTime);
  auto* lengthRow = new QHBoxLayout;
  lengthRow->addWidget(songLength);
  lengthRow->addWidget(eRipTime);
  lengthRow->addWidget(Named(new QLabel(QStringLiteral("Second")), "lblSecond"));
  auto* limit = new QVBoxLayout(ripTimeGroup_);
  limit->addWidget(cbRipTime);
  limit->addLayout(lengthRow);

  ckbWriteRipLog = Check("ckbWriteRipLog", "Write a rip log and a cue sheet beside the tracks");
  auto* more = new QFormLayout;
  cbReplayGain = Combo("cbReplayGain", {"Off", "Track gain", "Track and album gain"}, false);
  AddRow(more, "lblReplayGain", "ReplayGain:", cbReplayGain);
  seEncoderProcesses = Named(new QSpinBox, "seEncoderProcesses");
  seEncoderProcesses->setRange(0, 64);
  AddRow(more, "lblEncoderProcesses", "Encoders at once (0: one per processor):", seEncoderProcesses);

  auto* layout = new QVBoxLayout;
  layout->addWidget(folderGroup);
  layout->addWidget(ckbKeepWav);
  layout->addWidget(formatGroup);
  layout->addLayout(normalizeRow);
  layout->addWidget(ripTimeGroup_);
  layout->addWidget(ckbWriteRipLog);
  layout->addLayout(more);
  return Page("TabSheet1", layout);
}

QWidget* TOptionSetForm::Mp3Page() {
  ckbSelectVBR = Check("ckbSelectVBR", "Enable Variable Bitrate(VBR)");
  ckbVBRHead = Check("ckbVBRHead", "Disable writing of the VBR Tag");
  auto* form = new QFormLayout;
  form->addRow(ckbSelectVBR);
  form->addRow(ckbVBRHead);
  cbBitRate = Combo("cbBitRate", Mp3BitRateItems(), true);
  cbBitRate->setEditable(true);
  AddRow(form, "lblBitRate", "Minimum bitrate:", cbBitRate);
  cbMaxBitRate = Combo("cbMaxBitRate", Mp3BitRateItems(), true);
  cbMaxBitRate->setEditable(true);
  AddRow(form, "lblMaxBitRate", "Maximum bitrate:", cbMaxBitRate);
  cbVBRQuality = Combo("cbVBRQuality", NumberItems(10), true);
  AddRow(form, "lblVBRQuality", "VBR Quality:", cbVBRQuality);
  cbMpegQuality = Combo("cbMpegQuality", {"Default", "Faster encode/Lower quality", "Slower encode/Higher quality"}, false);
  AddRow(form, "lblMpegQuality", "Speed/Quality:", cbMpegQuality);
  cbStereoMode = Combo("cbStereoMode", {"Stereo", "Joint Stereo", "Forced Joint Stereo", "Dual Channels", "Mono"}, false);
  AddRow(form, "lblStereoMode", "Mode:", cbStereoMode);
  bDefault = Named(new QPushButton(QStringLiteral("&Default")), "bDefault");
  connect(bDefault, &QPushButton::clicked, this, &TOptionSetForm::bDefaultClick);
  form->addRow(RightAligned(bDefault));
  return Page("TabSheet2", form);
}

QWidget* TOptionSetForm::OggPage() {
  cbUseCompress = Check("cbUseCompress", "Use Quality setting");
  tbCompression = Named(new QSlider(Qt::Horizontal), "tbCompression");
  tbCompression->setRange(30, 100);
  tbCompression->setValue(30);
  auto* quality = new QHBoxLayout;
  quality->addWidget(tbCompression);
  quality->addWidget(Named(new QLabel(QStringLiteral("-> Highest quality")), "lblHighest"));

  auto* bitrateManagerGroup = Named(new QGroupBox(QStringLiteral("Use Bitrate manager")), "GroupBox5");
  QStringList rates;
  for (int i = 0; i < kOggBitRateCount; ++i) rates << OggBitRateText(i);
  auto* manager = new QFormLayout(bitrateManagerGroup);
  cbOggNomBit = Combo("cbOggNomBit", rates, true);
  AddRow(manager, "lblOggNomBit", "Nominal bitrate:", cbOggNomBit);
  cbOggMaxBit = Combo("cbOggMaxBit", rates, true);
  AddRow(manager, "lblOggMaxBit", "Maximum bitrate:", cbOggMaxBit);
  cbOggMinBit = Combo("cbOggMinBit", rates, true);
  AddRow(manager, "lblOggMinBit", "Minimum bitrate:", cbOggMinBit);

  auto* layout = new QVBoxLayout;
  layout->addWidget(cbUseCompress);
  layout->addLayout(quality);
  layout->addWidget(bitrateManagerGroup);
  return Page("TabSheet4", layout);
}

QWidget* TOptionSetForm::WmaPage() {
  QStringList settings;
  for (const char* text : kWmaSettings) settings << QLatin1String(text);
  cbWMABitrate = Combo("cbWMABitrate", settings, true);
  cbWMABitrate->setCurrentIndex(kDefaultWmaSetting);
  auto* form = new QFormLayout;
  AddRow(form, "lblWMABitrate", "Audio Bitrate:", cbWMABitrate);
  bWMADefault = Named(new QPushButton(QStringLiteral("&Default")), "bWMADefault");
  connect(bWMADefault, &QPushButton::clicked, this, &TOptionSetForm::bWMADefaultClick);
  form->addRow(RightAligned(bWMADefault));
  return Page("TabSheet5", form);
}

QWidget* TOptionSetForm::FlacPage() {
  seFlacLevel = Named(new QSpinBox, "seFlacLevel");
  seFlacLevel->setRange(0, 8);
  seFlacLevel->setValue(5);
  auto* form = new QFormLayout;
  AddRow(form, "lblFlacLevel", "Compression level (0 fastest, 8 smallest):", seFlacLevel);
  return Page("TabSheet7", form);
}

QWidget* TOptionSetForm::Id3Page() {
  cbUseID3 = Check("cbUseID3", "Use ID3 tag");
  auto* form = new QFormLayout;
  form->addRow(cbUseID3);
  // The disc's texts go whole into ID3v2, Vorbis and FLAC tags (the ID3v1 writer cuts them
  // itself), so the fields take texts longer than ID3v1's 30 characters.
  ID3artist = Edit("ID3artist");
  AddRow(form, "lblArtist", "Artist:", ID3artist);
  ID3album = Edit("ID3album");
  AddRow(form, "lblAlbum", "Album:", ID3album);
  ID3year = Edit("ID3year");
  ID3year->setMaxLength(4);
  AddRow(form, "lblYear", "Year:", ID3year);
  ID3genre = Combo("ID3genre", GenreDisplayList(), true);
  AddRow(form, "lblGenre", "Genre:", ID3genre);
  ID3comment = Edit("ID3comment");
  AddRow(form, "lblComment", "Comment:", ID3comment);

  auto* GroupBoxMusicBrainz = Named(new QGroupBox(QStringLiteral("MusicBrainz")), "GroupBoxMusicBrainz");
  auto* lookup = new QFormLayout(GroupBoxMusicBrainz);
  ckbCoverArt = Check("ckbCoverArt", "Fetch the front cover and embed it");
  lookup->addRow(ckbCoverArt);
  eMusicBrainzServer = Edit("eMusicBrainzServer");
  AddRow(lookup, "lblMusicBrainzServer", "Server:", eMusicBrainzServer);
  eCoverArtServer = Edit("eCoverArtServer");
  AddRow(lookup, "lblCoverArtServer", "Cover server:", eCoverArtServer);
  eMusicBrainzContact = Edit("eMusicBrainzContact");
  AddRow(lookup, "lblMusicBrainzContact", "Contact e-mail:", eMusicBrainzContact);

  auto* layout = new QVBoxLayout;
  layout->addLayout(form);
  layout->addWidget(GroupBoxMusicBrainz);
  return Page("TabSheet6", layout);
}

QWidget* TOptionSetForm::CdRomPage() {
  cbCDList = Combo("cbCDList", {}, true);
  auto* form = new QFormLayout;
  AddRow(form, "lblDevice", "Device", cbCDList);
  ckbCDDb = Check("ckbCDDb", "Get CD information from CD DB");
  ckbCDDb->setVisible(false);
  form->addRow(ckbCDDb);

  auto* GroupBoxAccurateRip = Named(new QGroupBox(QStringLiteral("AccurateRip")), "GroupBoxAccurateRip");
  auto* verify = new QFormLayout(GroupBoxAccurateRip);
  ckbAccurateRip = Check("ckbAccurateRip", "Check every rip against the AccurateRip database");
  verify->addRow(ckbAccurateRip);
  eAccurateRipServer = Edit("eAccurateRipServer");
  AddRow(verify, "lblAccurateRipServer", "Server (HOST[:PORT]):", eAccurateRipServer);

  auto* layout = new QVBoxLayout;
  layout->addLayout(form);
  layout->addWidget(GroupBoxAccurateRip);
  return Page("TabSheet3", layout);
}

}  // namespace trackmill
