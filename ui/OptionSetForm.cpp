#include "ui/OptionSetForm.h"

#include <algorithm>

#include <QCheckBox>
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

#include "cd/Drive.h"
#include "cd/TrackList.h"
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
  btOk = buttons.ok;
  btCancel = buttons.cancel;

  connect(pages_, &QTabWidget::currentChanged, this, [this] {
    if (pages_->currentWidget() == cdRomPage_) FillDriveList();
  });
  for (QCheckBox* box : {ckNormalize, cbRipTime, ckbSelectVBR, ckbAccurateRip})
    connect(box, &QCheckBox::toggled, this, &TOptionSetForm::UpdateControls);
  connect(cbOutputFormat, &QComboBox::currentIndexChanged, this, &TOptionSetForm::UpdateControls);
  UpdateControls();
  TranslateWhenFirstShown(this);  // before showEvent fills the controls
}

bool TOptionSetForm::fallbackDrive() const { return main_ && !main_->Drive(); }

OptionState TOptionSetForm::CurrentState() const {
  OptionState state;
  state.outputFormat = cbOutputFormat->currentIndex();
  state.normalize = ckNormalize->isChecked();
  state.ripTimeLimit = cbRipTime->isChecked();
  state.vbr = ckbSelectVBR->isChecked();
  state.accurateRip = ckbAccurateRip->isChecked();
  state.fallbackDrive = fallbackDrive();
  return state;
}

void TOptionSetForm::UpdateControls() {
  const OptionState state = CurrentState();
  const std::pair<OptionControl, QWidget*> controls[] = {
      {OptionControl::KeepWav, ckbKeepWav},       {OptionControl::Normalize, ckNormalize},
      {OptionControl::NormalizePercent, normalizePercent_}, {OptionControl::RipTimeGroup, ripTimeGroup_},
      {OptionControl::RipTime, eRipTime},         {OptionControl::VbrTag, ckbVBRHead},
      {OptionControl::MaxBitRate, cbMaxBitRate},  {OptionControl::VbrQuality, cbVBRQuality},
      {OptionControl::AccurateRipServer, eAccurateRipServer},
  };
  for (const auto& [control, widget] : controls) {
    widget->setEnabled(IsOptionEnabled(control, state));
    widget->setHidden(!IsOptionVisible(control, state));
  }
}

void TOptionSetForm::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void TOptionSetForm::FormShow() {
  const TSettings& s = Settings();
  editOutputDir->setText(s.OutputFolder);
  ckbKeepWav->setChecked(!s.IsKeepWav);
  ShowPosition(cbOutputFormat, s.OutputFormat);
  ckNormalize->setChecked(s.IsNormalize);
  normalizePercent_->setValue(s.NormalizePercent);
  cbRipTime->setChecked(s.EnableRipTime);
  eRipTime->setText(QString::number(s.RipTime));
  ckbWriteRipLog->setChecked(s.WriteRipLog);
  ShowPosition(cbReplayGain, s.ReplayGainMode);
  seEncoderProcesses->setValue(s.EncoderProcesses);

  ckbSelectVBR->setChecked(s.IsSelectVBR);
  ckbVBRHead->setChecked(s.IsVBRHead);
  ShowBitRate(cbBitRate, s.BitRate);
  ShowBitRate(cbMaxBitRate, s.MaxBitRate);
  ShowPosition(cbVBRQuality, s.VBRQuality);
  ShowPosition(cbMpegQuality, s.MpegQuality);
  ShowPosition(cbStereoMode, s.StereoMode);

  cbUseCompress->setChecked(s.IsUseCompress);
  tbCompression->setValue(s.CompressPosition);
  ShowPosition(cbOggNomBit, s.OggNominalBitRate);
  ShowPosition(cbOggMaxBit, s.OggMaxBitRate);
  ShowPosition(cbOggMinBit, s.OggMinBitRate);
  ShowPosition(cbWMABitrate, s.WmaSetting);
  seFlacLevel->setValue(s.FlacCompressionLevel);

  // The disc as it is now: a lookup since the last show has changed it.
  cbUseID3->setChecked(s.UseID3);
  ID3artist->setText(s.Disc.Artist);
  ID3album->setText(s.Disc.Album);
  ID3year->setText(s.Disc.Year);
  ShowPosition(ID3genre, s.Disc.Genre);
  ID3comment->setText(s.Disc.Comment);
  ckbCoverArt->setChecked(s.UseCoverArt);
  eMusicBrainzServer->setText(s.MusicBrainzServer);
  eCoverArtServer->setText(s.CoverArtServer);
  eMusicBrainzContact->setText(s.MusicBrainzContact);

  ckbCDDb->setChecked(s.CDDb);
  ckbAccurateRip->setChecked(s.UseAccurateRip);
  eAccurateRipServer->setText(s.AccurateRipServer);
  rememberedDrive_ = std::max(main_ ? main_->DriveIndex() : s.Index, 0);
  driveListFilled_ = false;
  if (pages_->currentWidget() == cdRomPage_) FillDriveList();
  UpdateControls();
}

void TOptionSetForm::FillDriveList() {
  if (driveListFilled_) return;
  driveListFilled_ = true;
  cbCDList->clear();
  cbCDList->addItems(DriveDescriptions());
  ShowPosition(cbCDList, rememberedDrive_);
}

void TOptionSetForm::accept() {
  if (!CheckTypedValues()) return;
  CopyIntoSettings();
  ChangeDriveWhenChosen();
  if (main_) main_->Tracks().SavedStatus = main_->StatusText();
  QDialog::accept();
}

void TOptionSetForm::RejectValue(const QString& text, QWidget* control) {
  ShowMessageBox(this, text, QMessageBox::Critical);
  if (pages_->currentWidget()->isAncestorOf(control)) control->setFocus();
}

bool TOptionSetForm::CheckTypedValues() {
  const QString folder = editOutputDir->text();
  if (!QFileInfo(folder).isDir()) {
    RejectValue(folder + "," + LangString("RES_Directory_Not_Exist"), editOutputDir);
    return false;
  }
  if (!ParseRipTime(eRipTime->text())) {
    RejectValue(LangString("RES_Rip_Time_Error"), eRipTime);
    return false;
  }
  for (QComboBox* bitRate : {cbBitRate, cbMaxBitRate}) {
    if (!ParseBitRateText(bitRate->currentText())) {
      RejectValue(LangString("RES_BitRate_Error").arg(bitRate->currentText()), bitRate);
      return false;
    }
  }
  return true;
}

void TOptionSetForm::CopyIntoSettings() {
  TSettings& s = Settings();
  s.OutputFolder = editOutputDir->text();
  s.IsKeepWav = !ckbKeepWav->isChecked();
  TakePosition(cbOutputFormat, s.OutputFormat);
  s.IsNormalize = ckNormalize->isChecked();
  s.NormalizePercent = normalizePercent_->value();
  s.EnableRipTime = cbRipTime->isChecked();
  s.RipTime = *ParseRipTime(eRipTime->text());
  s.WriteRipLog = ckbWriteRipLog->isChecked();
  TakePosition(cbReplayGain, s.ReplayGainMode);
  s.EncoderProcesses = seEncoderProcesses->value();

  s.IsSelectVBR = ckbSelectVBR->isChecked();
  s.IsVBRHead = ckbVBRHead->isChecked();
  s.BitRate = *ParseBitRateText(cbBitRate->currentText());
  s.MaxBitRate = *ParseBitRateText(cbMaxBitRate->currentText());
  TakePosition(cbVBRQuality, s.VBRQuality);
  TakePosition(cbMpegQuality, s.MpegQuality);
  TakePosition(cbStereoMode, s.StereoMode);

  s.IsUseCompress = cbUseCompress->isChecked();
  s.CompressPosition = tbCompression->value();
  TakePosition(cbOggNomBit, s.OggNominalBitRate);
  TakePosition(cbOggMaxBit, s.OggMaxBitRate);
  TakePosition(cbOggMinBit, s.OggMinBitRate);
  TakePosition(cbWMABitrate, s.WmaSetting);
  s.FlacCompressionLevel = seFlacLevel->value();

  s.UseID3 = cbUseID3->isChecked();
  s.Disc.Artist = ID3artist->text();
  s.Disc.Album = ID3album->text();
  s.Disc.Year = ID3year->text();
  TakePosition(ID3genre, s.Disc.Genre);
  s.Disc.Comment = ID3comment->text();
  s.UseCoverArt = ckbCoverArt->isChecked();
  s.MusicBrainzServer = eMusicBrainzServer->text().trimmed();
  s.CoverArtServer = eCoverArtServer->text().trimmed();
  s.MusicBrainzContact = eMusicBrainzContact->text().trimmed();

  s.CDDb = ckbCDDb->isChecked();
  s.UseAccurateRip = ckbAccurateRip->isChecked();
  s.AccurateRipServer = eAccurateRipServer->text().trimmed();
}

void TOptionSetForm::ChangeDriveWhenChosen() {
  const int chosen = cbCDList->currentIndex();
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

void TOptionSetForm::btBrowserClick() {
  const QString typed = editOutputDir->text();
  const QString start = QFileInfo(typed).isDir() ? typed : QDir::homePath();
  const QString chosen = QFileDialog::getExistingDirectory(this, LangString("RES_Select_Directory"), start);
  if (!chosen.isEmpty()) editOutputDir->setText(QDir::toNativeSeparators(chosen));
}

void TOptionSetForm::bDefaultClick() {
  ckbSelectVBR->setChecked(false);
  ckbVBRHead->setChecked(false);
  cbBitRate->setCurrentIndex(kDefaultBitRatePosition);
  cbMaxBitRate->setCurrentIndex(kDefaultMaxBitRatePosition);
  cbVBRQuality->setCurrentIndex(kDefaultVbrQuality);
  cbMpegQuality->setCurrentIndex(0);
  cbStereoMode->setCurrentIndex(kDefaultStereoMode);
}

void TOptionSetForm::bWMADefaultClick() { cbWMABitrate->setCurrentIndex(kDefaultWmaSetting); }

}  // namespace trackmill
