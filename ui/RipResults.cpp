#include "ui/RipResults.h"

#include <QThread>
#include <memory>

#include "common/ThreadHandOver.h"
#include "jobs/OverwriteQuestion.h"
#include "verify/RipVerification.h"
#include "settings/Settings.h"
#include "ui/MessageBox.h"

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

// Shown once the lookup is over (or at once when it is off).
void Finish(QWidget* parent, const RipVerification& verification) {
  TBoxOverwriteQuestion question(parent);
  const QString logError = WriteRipLogIfWanted(verification, question);
  QStringList lines = verification.TrackLines();
  const QString summary = verification.Summary();
  if (!summary.isEmpty()) lines << summary;
  if (!logError.isEmpty()) lines << logError;
  if (lines.isEmpty()) return;
  const bool fine = logError.isEmpty() && verification.AllAccurate();
  ShowMessageBox(parent, lines.join('\n'), fine ? QMessageBox::Information : QMessageBox::Warning);
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
  if (!verification->record.lookedUp) return Finish(parent, *verification);
  auto* thread = new TLookupThread(parent, verification, Settings().AccurateRipServer);
  QObject::connect(thread, &QThread::finished, parent, [parent, thread, verification] {
    thread->deleteLater();
    Finish(parent, *verification);
  });
  thread->start();
}

}  // namespace trackmill
