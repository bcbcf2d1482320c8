#include "ui/RipResults.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QThread>
#include <QUrl>
#include <memory>

#include "app/shell/DesktopNotification.h"
#include "common/ThreadHandOver.h"
#include "jobs/JobPlan.h"
#include "jobs/JobRunner.h"
#include "jobs/OverwriteQuestion.h"
#include "settings/LangString.h"
#include "settings/Settings.h"
#include "ui/MessageBox.h"
#include "ui/RipSummaryForm.h"
#include "verify/RipSummary.h"
#include "verify/RipVerification.h"

namespace trackmill {
namespace {

class TBoxOverwriteQuestion : public TOverwriteQuestion {
 public:
  explicit TBoxOverwriteQuestion(QWidget* parent) : parent_(parent) {}
  bool ConfirmOverwrite(const QString&, const QString& question) override {
    return ConfirmDefaultNo(parent_, question);
  }

 private:
  QWidget* parent_;
};

// The summary of an earlier rip makes way for the new one.
void CloseEarlierSummaries(QWidget* parent) {
  for (RipSummaryForm* earlier : parent->findChildren<RipSummaryForm*>(QString(), Qt::FindDirectChildrenOnly)) {
    earlier->hide();
    earlier->deleteLater();
  }
}

// Once the lookup is over (or at once when it is off).
void Finish(QWidget* parent, const RipVerification& verification, const QString& folder) {
  TBoxOverwriteQuestion question(parent);
  const QString logError = WriteRipLogIfWanted(verification, question);
  const RipSummary summary = SummarizeRip(verification, folder, logError);
  const bool userAway = !parent->isActiveWindow();  // asked before the summary takes the focus
  CloseEarlierSummaries(parent);
  auto* form = new RipSummaryForm(parent);
  form->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(form, &QDialog::finished, form, &QObject::deleteLater);  // Escape hides it only
  form->ShowSummary(summary);
  form->show();
  if (userAway) NotifyDesktop(LangStringOrEnglish(QStringLiteral("RES_Summary_Finished")), summary.OverallText());
  if (Settings().OpenFolderAfterRip && QFileInfo(folder).isDir())
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
  if (summary.NeedsAttention()) ShowMessageBox(form, summary.AttentionText(), QMessageBox::Warning);
}

// Owns the worker thread; a child of the window so that closing the window waits for it.
class TLookupThread : public QThread {
 public:
  TLookupThread(QWidget* parent, std::shared_ptr<RipVerification> verification, QString server)
      : QThread(parent), verification_(std::move(verification)), server_(std::move(server)) {}
  ~TLookupThread() override { JoinThread(*this); }

 protected:
  void run() override {
    const ThreadEndMark end(this);
    LookUpAndJudge(*verification_, server_);
  }

 private:
  std::shared_ptr<RipVerification> verification_;
  QString server_;
};

}  // namespace

void StartRipResults(QWidget* parent, const TJobRunner& job, const CdDrive* drive, const QStringList& errors) {
  auto verification = std::make_shared<RipVerification>();
  if (!drive || !CollectRipRecord(job, *drive, errors, Settings().UseAccurateRip, *verification)) {
    if (job.WasStopped()) return;
    ShowMessageBox(parent, QStringLiteral("The table of contents could not be read again: no AccurateRip check, no rip log."),
                   QMessageBox::Warning);
    return;
  }
  // Where the file-name pattern put the disc's tracks.
  QStringList outputs;
  for (int item = 0; item < job.ItemCount(); ++item) outputs << job.ResultFile(item);
  const QString folder = outputs.isEmpty() ? job.JobSettings().OutputFolder : CommonFolder(outputs);
  if (!verification->record.lookedUp) return Finish(parent, *verification, folder);
  auto* thread = new TLookupThread(parent, verification, Settings().AccurateRipServer);
  QObject::connect(thread, &QThread::finished, parent, [parent, thread, verification, folder] {
    thread->deleteLater();
    Finish(parent, *verification, folder);
  });
  thread->start();
}

}  // namespace trackmill
