// The command handlers of the main window: Extract and the file jobs, the list commands, the
// drive commands, the language switch and the media changes.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QTreeWidget>
#include <QUrl>

#include "app/shell/ExtractCommand.h"
#include "cd/CDIn.h"
#include "common/JobCodes.h"
#include "cd/MediaWatcher.h"
#include "settings/LanguageFile.h"
#include "settings/LanguageMenu.h"
#include "settings/LangString.h"
#include "settings/Settings.h"
#include "settings/translate/TranslateForm.h"
#include "ui/CDRipForm.h"
#include "ui/MainForm.h"
#include "ui/MessageBox.h"
#include "ui/RipForm.h"
#include "ui/RipResults.h"

namespace trackmill {

void TMainForm::ExtractCheckedTracks() {
  if (!actionExtract_->isEnabled()) return;
  CommitOpenEdit();
  const ExtractPlan plan = PlanExtract(list_, [this] { return fallbackInput_->DriveCount() > 0; }, *prompts_);
  if (plan.route != ExtractRoute::None) StopPlayback();
  switch (plan.route) {
    case ExtractRoute::JobWindow:
      RunJobWindow(job_kind::kRipCd, list_.Drive, plan.items);
      break;
    case ExtractRoute::FallbackWindow:
      RunFallbackWindow(plan.items);
      break;
    case ExtractRoute::None:
      break;
  }
}

void TMainForm::RunJobWindow(int jobKind, const std::shared_ptr<CdDrive>& drive, const JobItems& items) {
  // Nothing may change the drive under the job while it reads it.
  mediaWatcher_->SetPaused(true);
  {
    TRipForm job(this, jobKind, drive, items, mp3Runner_.get(), wmaRunner_.get());
    job.exec();
    if (jobKind == job_kind::kRipCd)
      StartRipResults(this, job.Runner(), drive.get(), job.Errors());
  }
  mediaWatcher_->SetPaused(false);
}

void TMainForm::RunFallbackWindow(const JobItems& items) {
  TfrmCDRip rip(this, *fallbackInput_, items, mp3Runner_.get(), wmaRunner_.get());
  rip.exec();
}

void TMainForm::FileJob(int jobKind) {
  const QStringList files = QFileDialog::getOpenFileNames(this, QString(), QString(), FileJobFilter(jobKind));
  if (files.isEmpty() || !CheckOutputFolder(*prompts_)) return;
  RunJobWindow(jobKind, 0, FileItems(files));
}

void TMainForm::ConvertWavToMp3() { FileJob(job_kind::kWavToMp3); }
void TMainForm::ConvertMp3ToWav() { FileJob(job_kind::kMp3ToWav); }
void TMainForm::ConvertWavToOgg() { FileJob(job_kind::kWavToOgg); }
void TMainForm::ConvertWavToWma() { FileJob(job_kind::kWavToWma); }

namespace {

void CheckEveryRow(QTreeWidget* list, Qt::CheckState state) {
  for (int i = 0; i < list->topLevelItemCount(); ++i) list->topLevelItem(i)->setCheckState(0, state);
}

}  // namespace

void TMainForm::CheckAllTracks() { CheckEveryRow(trackList_, Qt::Checked); }
void TMainForm::UncheckAllTracks() { CheckEveryRow(trackList_, Qt::Unchecked); }

void TMainForm::TrackRowChanged(QTreeWidgetItem* item, int column) {
  const int row = trackList_->indexOfTopLevelItem(item);
  if (fillingRows_ || row < 0 || row >= int(list_.Rows.size())) return;
  if (column == kTitleColumn) return TitleCellEdited(item, size_t(row));
  if (column == kArtistColumn) return ArtistCellEdited(item, size_t(row));
  if (column != 0) return;
  list_.Rows[size_t(row)].Checked = item->checkState(0) == Qt::Checked;
  UpdateActions();
}

void TMainForm::TrackClicked(QTreeWidgetItem* item) {
  // Ctrl+click toggles the row's check box (and leaves the row selected). On the check box
  // itself the list has toggled it already.
  if (!item || !(pressModifiers_ & Qt::ControlModifier)) return;
  if (item == pressedItem_ && item->checkState(0) != pressedCheckState_) {
    trackList_->setCurrentItem(item);
    item->setSelected(true);
    return;
  }
  ToggleTrack(item);
}

void TMainForm::ToggleTrack(QTreeWidgetItem* item) {
  item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
  trackList_->setCurrentItem(item);
  item->setSelected(true);
}

void TMainForm::TrackDoubleClicked(QTreeWidgetItem* item) {
  if (item && item->isSelected()) RenameTrack();
}

void TMainForm::OpenOutputFolder() {
  const QString folder = Settings().OutputFolder;
  if (!QFileInfo(folder).isDir()) {
    prompts_->Error(folder + "," + LangString("RES_Directory_Not_Exist"));
    return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void TMainForm::SwitchLanguage(QAction* item) {
  const QString language = LanguageOfMenuItem(item->objectName());
  if (FindLanguageFile(language).isEmpty()) {
    // The menu keeps showing the language in use.
    for (QAction* other : languageGroup_->actions())
      other->setChecked(LanguageOfMenuItem(other->objectName()).compare(Settings().Lan, Qt::CaseInsensitive) == 0);
    QString text = LanguageFilePath(language) + LangStringOrEnglish("RES_Language_Not_Found");
    // The English file ships with the program, not in the per-user folder the new file goes to.
    const QString english = FindLanguageFile(QStringLiteral("English"));
    if (item->objectName() == "miOther" && !english.isEmpty())
      text += "\n\n" + LangStringOrEnglish("RES_Language_How_To_Add").arg(english, LanguageFilePath(language));
    ShowMessageBox(this, text, QMessageBox::NoIcon);
    return;
  }
  Settings().Lan = language;
  item->setChecked(true);
  TranslateForm(this, language);
}

}  // namespace trackmill
