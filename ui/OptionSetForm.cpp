#include "ui/OptionSetForm.h"

#include <algorithm>

#include <QCheckBox>
#include <QLabel>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "jobs/FileNamePattern.h"
#include "cd/Drive.h"
#include "cd/TrackList.h"
#include "common/DataFolder.h"
#include "common/JobCodes.h"
#include "jobs/EncoderCommands.h"
#include "settings/LangString.h"
#include "settings/Settings.h"
#include "settings/translate/TranslateForm.h"
#include "tags/Id3Genres.h"
#include "ui/FormParts.h"
#include "ui/MainForm.h"
#include "ui/MessageBox.h"

namespace trackmill {
namespace {

constexpr int kDefaultBitRatePosition = 8;      // 128 kbit/s
constexpr int kDefaultMaxBitRatePosition = 13;  // 320 kbit/s
constexpr int kDefaultVbrQuality = 4;
constexpr int kDefaultStereoMode = 1;           // joint stereo

// A stored position the list does not have shows no selection, and then stays as it was.
void ShowPosition(QComboBox* combo, qint32 position) {
  combo->setCurrentIndex(position >= 0 && position < combo->count() ? position : -1);
}
void TakePosition(const QComboBox* combo, qint32& field) {
  if (combo->currentIndex() >= 0) field = combo->currentIndex();
}

void ShowBitRate(QComboBox* combo, qint32 kbps) {
  const QString text = BitRateText(kbps);
  const int position = combo->findText(text);
  if (position >= 0)
    combo->setCurrentIndex(position);
  else
    combo->setEditText(text);
}

}  // namespace

TOptionSetForm::TOptionSetForm(TMainForm* main, QWidget* parent) : QDialog(parent), main_(main) {
  setObjectName(QStringLiteral("OptionSetForm"));
  setWindowTitle(QStringLiteral("Options"));

  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  outputPage_ = OutputPage();
  mp3Page_ = Mp3Page();
  pages_->addTab(outputPage_, QStringLiteral("Output"));
  pages_->addTab(mp3Page_, QStringLiteral("MP3"));
  pages_->addTab(OggPage(), QStringLiteral("OGG"));
  pages_->addTab(WmaPage(), QStringLiteral("WMA"));
  pages_->addTab(FlacPage(), QStringLiteral("FLAC"));
  pages_->addTab(Id3Page(), QStringLiteral("ID3 Tag"));
  cdRomPage_ = CdRomPage();
  pages_->addTab(cdRomPage_, QStringLiteral("CD-ROM"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  const DialogButtons buttons = AddOkCancelButtons(layout, this, "btOk", QStringLiteral("OK"), QStringLiteral("Cancel"));
  okButton_ = buttons.ok;
  cancelButton_ = buttons.cancel;

  connect(pages_, &QTabWidget::currentChanged, this, [this] {
    if (pages_->currentWidget() == cdRomPage_) FillDriveList();
  });
  for (QCheckBox* box : {normalize_, limitLength_, useVbr_, verifyAccurateRip_})
    connect(box, &QCheckBox::toggled, this, &TOptionSetForm::UpdateControls);
  connect(outputFormat_, &QComboBox::currentIndexChanged, this, &TOptionSetForm::UpdateControls);
  UpdateControls();
  TranslateWhenFirstShown(this);  // before showEvent fills the controls
}

bool TOptionSetForm::fallbackDrive() const { return main_ && !main_->Drive(); }

OptionState TOptionSetForm::CurrentState() const {
  OptionState state;
  state.outputFormat = outputFormat_->currentIndex();
  state.normalize = normalize_->isChecked();
  state.ripTimeLimit = limitLength_->isChecked();
  state.vbr = useVbr_->isChecked();
  state.accurateRip = verifyAccurateRip_->isChecked();
  state.fallbackDrive = fallbackDrive();
  return state;
}

void TOptionSetForm::UpdateControls() {
  const OptionState state = CurrentState();
  const std::pair<OptionControl, QWidget*> controls[] = {
      {OptionControl::KeepWav, deleteWav_},       {OptionControl::Normalize, normalize_},
      {OptionControl::NormalizePercent, normalizePercent_}, {OptionControl::RipTimeGroup, ripTimeGroup_},
      {OptionControl::RipTime, lengthSeconds_},         {OptionControl::VbrTag, writeVbrHeader_},
      {OptionControl::MaxBitRate, mp3MaxBitRate_},  {OptionControl::VbrQuality, vbrQuality_},
      {OptionControl::AccurateRipServer, accurateRipServer_},
  };
  for (const auto& [control, widget] : controls) {
    widget->setEnabled(IsOptionEnabled(control, state));
    widget->setHidden(!IsOptionVisible(control, state));
  }
}

void TOptionSetForm::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FillFromSettings();
  QDialog::showEvent(event);
}

void TOptionSetForm::FillFromSettings() {
  const TSettings& s = Settings();
  outputFolder_->setText(s.OutputFolder);
  deleteWav_->setChecked(!s.IsKeepWav);
  openFolderAfterRip_->setChecked(s.OpenFolderAfterRip);
  ShowPosition(outputFormat_, s.OutputFormat);
  normalize_->setChecked(s.IsNormalize);
  normalizePercent_->setValue(s.NormalizePercent);
  limitLength_->setChecked(s.EnableRipTime);
  lengthSeconds_->setText(QString::number(s.RipTime));
  writeRipLog_->setChecked(s.WriteRipLog);
  ShowPosition(replayGain_, s.ReplayGainMode);
  encoderProcesses_->setValue(s.EncoderProcesses);
  namePattern_->setText(s.FileNamePattern);

  useVbr_->setChecked(s.IsSelectVBR);
  writeVbrHeader_->setChecked(s.IsVBRHead);
  ShowBitRate(mp3BitRate_, s.BitRate);
  ShowBitRate(mp3MaxBitRate_, s.MaxBitRate);
  ShowPosition(vbrQuality_, s.VBRQuality);
  ShowPosition(mpegQuality_, s.MpegQuality);
  ShowPosition(stereoMode_, s.StereoMode);

  oggUseQuality_->setChecked(s.IsUseCompress);
  oggQuality_->setValue(s.CompressPosition);
  ShowPosition(oggNominalBitRate_, s.OggNominalBitRate);
  ShowPosition(oggMaxBitRate_, s.OggMaxBitRate);
  ShowPosition(oggMinBitRate_, s.OggMinBitRate);
  ShowPosition(wmaBitRate_, s.WmaSetting);
  flacLevel_->setValue(s.FlacCompressionLevel);

  // The disc as it is now: a lookup since the last show has changed it.
  useTags_->setChecked(s.UseID3);
  tagArtist_->setText(s.Disc.Artist);
  tagAlbum_->setText(s.Disc.Album);
  tagYear_->setText(s.Disc.Year);
  ShowPosition(tagGenre_, s.Disc.Genre);
  tagComment_->setText(s.Disc.Comment);
  fetchCoverArt_->setChecked(s.UseCoverArt);
  musicBrainzServer_->setText(s.MusicBrainzServer);
  coverArtServer_->setText(s.CoverArtServer);
  musicBrainzContact_->setText(s.MusicBrainzContact);

  useCddb_->setChecked(s.CDDb);
  verifyAccurateRip_->setChecked(s.UseAccurateRip);
  accurateRipServer_->setText(s.AccurateRipServer);
  rememberedDrive_ = std::max(main_ ? main_->DriveIndex() : s.Index, 0);
  driveListFilled_ = false;
  if (pages_->currentWidget() == cdRomPage_) FillDriveList();
  UpdateControls();
}

void TOptionSetForm::FillDriveList() {
  if (driveListFilled_) return;
  driveListFilled_ = true;
  driveList_->clear();
  driveList_->addItems(DriveDescriptions());
  ShowPosition(driveList_, rememberedDrive_);
}

void TOptionSetForm::accept() {
  if (!CheckTypedValues()) return;
  CopyIntoSettings();
  ChangeDriveWhenChosen();
  if (main_) main_->Tracks().SavedStatus = main_->StatusText();
  QDialog::accept();
}

void TOptionSetForm::RejectValue(const QString& text, QWidget* control) {
  if (!text.isEmpty()) ShowMessageBox(this, text, QMessageBox::Critical);
  ShowRefusedControl(control);
}

void TOptionSetForm::ShowRefusedControl(QWidget* control) {
  for (int page = 0; page < pages_->count(); ++page)
    if (pages_->widget(page)->isAncestorOf(control)) pages_->setCurrentIndex(page);
  control->setFocus();
}

bool TOptionSetForm::MakeOutputFolder(const QString& folder) {
  if (QFileInfo(folder).isDir()) return true;
  const QString missing = folder + "," + LangString("RES_Directory_Not_Exist");
  if (folder.trimmed().isEmpty()) {
    RejectValue(missing, outputFolder_);
    return false;
  }
  // The default folder lies in a music folder that a new account may lack: it is made without
  // asking. A typed one is offered as Extract offers it.
  const bool isDefault = QDir::cleanPath(folder) == QDir::cleanPath(DefaultOutputFolder());
  if (!isDefault) {
    ShowRefusedControl(outputFolder_);
    const QString question = missing + "\n" + LangString("RES_Create_Directory");
    if (ShowMessageBox(this, question, QMessageBox::Information, QMessageBox::Yes | QMessageBox::No) !=
        QMessageBox::Yes) {
      RejectValue({}, outputFolder_);
      return false;
    }
  }
  if (!QDir().mkpath(folder)) {
    RejectValue(LangString("RES_Normalize_Create").arg(folder), outputFolder_);
    return false;
  }
  return true;
}

bool TOptionSetForm::CheckTypedValues() {
  if (!ParseRipTime(lengthSeconds_->text())) {
    RejectValue(LangString("RES_Rip_Time_Error"), lengthSeconds_);
    return false;
  }
  for (QComboBox* bitRate : {mp3BitRate_, mp3MaxBitRate_}) {
    if (!ParseBitRateText(bitRate->currentText())) {
      RejectValue(LangString("RES_BitRate_Error").arg(bitRate->currentText()), bitRate);
      return false;
    }
  }
  // Last: a folder is made only once every other value is right.
  return MakeOutputFolder(outputFolder_->text());
}

void TOptionSetForm::CopyIntoSettings() {
  TSettings& s = Settings();
  s.OutputFolder = outputFolder_->text();
  s.IsKeepWav = !deleteWav_->isChecked();
  s.OpenFolderAfterRip = openFolderAfterRip_->isChecked();
  TakePosition(outputFormat_, s.OutputFormat);
  s.IsNormalize = normalize_->isChecked();
  s.NormalizePercent = normalizePercent_->value();
  s.EnableRipTime = limitLength_->isChecked();
  s.RipTime = *ParseRipTime(lengthSeconds_->text());
  s.WriteRipLog = writeRipLog_->isChecked();
  TakePosition(replayGain_, s.ReplayGainMode);
  s.EncoderProcesses = encoderProcesses_->value();
  s.FileNamePattern = namePattern_->text().isEmpty() ? QString(kFileNamePresets[0]) : namePattern_->text();

  s.IsSelectVBR = useVbr_->isChecked();
  s.IsVBRHead = writeVbrHeader_->isChecked();
  s.BitRate = *ParseBitRateText(mp3BitRate_->currentText());
  s.MaxBitRate = *ParseBitRateText(mp3MaxBitRate_->currentText());
  TakePosition(vbrQuality_, s.VBRQuality);
  TakePosition(mpegQuality_, s.MpegQuality);
  TakePosition(stereoMode_, s.StereoMode);

  s.IsUseCompress = oggUseQuality_->isChecked();
  s.CompressPosition = oggQuality_->value();
  TakePosition(oggNominalBitRate_, s.OggNominalBitRate);
  TakePosition(oggMaxBitRate_, s.OggMaxBitRate);
  TakePosition(oggMinBitRate_, s.OggMinBitRate);
  TakePosition(wmaBitRate_, s.WmaSetting);
  s.FlacCompressionLevel = flacLevel_->value();

  s.UseID3 = useTags_->isChecked();
  s.Disc.Artist = tagArtist_->text();
  s.Disc.Album = tagAlbum_->text();
  s.Disc.Year = tagYear_->text();
  TakePosition(tagGenre_, s.Disc.Genre);
  s.Disc.Comment = tagComment_->text();
  s.UseCoverArt = fetchCoverArt_->isChecked();
  s.MusicBrainzServer = musicBrainzServer_->text().trimmed();
  s.CoverArtServer = coverArtServer_->text().trimmed();
  s.MusicBrainzContact = musicBrainzContact_->text().trimmed();

  s.CDDb = useCddb_->isChecked();
  s.UseAccurateRip = verifyAccurateRip_->isChecked();
  s.AccurateRipServer = accurateRipServer_->text().trimmed();
}

void TOptionSetForm::ChangeDriveWhenChosen() {
  const int chosen = driveList_->currentIndex();
  if (!driveListFilled_ || chosen < 0 || chosen == rememberedDrive_) return;
  // Disc images lead the list but come back at the next start only as the image opened
  // last, and only while no drive is chosen; a physical drive is stored by its place among
  // the physical drives, which is its place in the list at the next start.
  const QStringList images = DiscImages();
  if (chosen < images.size()) {
    Settings().Index = -1;
    if (main_) main_->OpenDiscImage(images[chosen]);
  } else {
    Settings().Index = chosen - int(images.size());
    if (main_) main_->OpenDrive(chosen);
  }
}

void TOptionSetForm::BrowseOutputFolder() {
  const QString typed = outputFolder_->text();
  const QString start = QFileInfo(typed).isDir() ? typed : QDir::homePath();
  const QString chosen = QFileDialog::getExistingDirectory(this, LangString("RES_Select_Directory"), start);
  if (!chosen.isEmpty()) outputFolder_->setText(QDir::toNativeSeparators(chosen));
}

void TOptionSetForm::RestoreMp3Defaults() {
  useVbr_->setChecked(false);
  writeVbrHeader_->setChecked(false);
  mp3BitRate_->setCurrentIndex(kDefaultBitRatePosition);
  mp3MaxBitRate_->setCurrentIndex(kDefaultMaxBitRatePosition);
  vbrQuality_->setCurrentIndex(kDefaultVbrQuality);
  mpegQuality_->setCurrentIndex(0);
  stereoMode_->setCurrentIndex(kDefaultStereoMode);
}

void TOptionSetForm::RestoreWmaDefaults() { wmaBitRate_->setCurrentIndex(kDefaultWmaSetting); }

}  // namespace trackmill
