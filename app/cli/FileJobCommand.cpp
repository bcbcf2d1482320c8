#include "app/cli/FileJobCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

#include "app/cli/CommandLine.h"
#include "app/cli/StopSignal.h"
#include "app/cli/TerminalProgress.h"
#include "common/JobCodes.h"
#include "jobs/JobRunner.h"
#include "jobs/JobTexts.h"
#include "jobs/Mp3EncodeProcess.h"
#include "jobs/OverwriteQuestion.h"
#include "jobs/WMAEncodeProcess.h"
#include "settings/Settings.h"

namespace trackmill::cli {
namespace {

// Asks on the terminal; refuses when there is none to ask on.
class TerminalOverwriteQuestion : public TOverwriteQuestion {
 public:
  explicit TerminalOverwriteQuestion(TerminalProgress& progress) : progress_(progress) {}
  bool ConfirmOverwrite(const QString& path, const QString& question) override {
    progress_.Break();
    if (::isatty(STDIN_FILENO) != 1) {
      Err() << "trackmill: " << path << " exists; not replaced (use --yes to replace it)"
            << Qt::endl;
      return false;
    }
    Err() << question << " [y/N] ";
    Err().flush();
    QTextStream in(stdin);
    const QString answer = in.readLine().trimmed().toLower();
    return answer == "y" || answer == "yes";
  }

 private:
  TerminalProgress& progress_;
};

int KindOfConversion(const QString& conversion) {
  if (conversion == "wav2mp3") return job_kind::kWavToMp3;
  if (conversion == "mp3towav") return job_kind::kMp3ToWav;
  if (conversion == "wav2ogg") return job_kind::kWavToOgg;
  if (conversion == "wav2wma") return job_kind::kWavToWma;
  if (conversion == "wav2flac") return job_kind::kWavToFlac;
  return 0;
}

}  // namespace

int RunJobInTerminal(int jobKind, std::shared_ptr<CdDrive> cdDrive, const JobItems& items, const QString& overwrite,
                     const QString& itemNoun, const AfterJob& afterJob) {
  TerminalProgress progress;
  std::unique_ptr<TOverwriteQuestion> question;
  if (overwrite.isEmpty())
    question = std::make_unique<TerminalOverwriteQuestion>(progress);
  else
    question = std::make_unique<TFixedOverwriteAnswer>(overwrite == "yes");

  TMp3EncodeProcess mp3Runner;
  TWMAEncodeProcess wmaRunner;
  TJobRunner job(jobKind, std::move(cdDrive), items, &mp3Runner, &wmaRunner, question.get());
  QEventLoop loop;
  bool stopRequested = false;

  // A step changes caption and phase one after the other: show the state once both are set.
  bool updateQueued = false;
  QObject::connect(&job, &TJobRunner::Changed, [&] {
    if (updateQueued) return;
    updateQueued = true;
    QTimer::singleShot(0, &job, [&] {
      updateQueued = false;
      if (!job.IsFinished() && !job.Caption().isEmpty())
        progress.Show(job.Caption(), job.Phase(), job.GaugePercent(), job.ElapsedText(),
                      job.EstimatedText());
    });
  });
  QStringList errors;
  auto printMessage = [&](const QString& text) {
    progress.Break();
    Err() << "trackmill: " << QString(text).replace("\r\n", "\n") << Qt::endl;
  };
  QObject::connect(&job, &TJobRunner::ErrorMessage, [&](const QString& text) {
    errors << text;
    printMessage(text);
  });
  QObject::connect(&job, &TJobRunner::InformationMessage, printMessage);
  QObject::connect(&job, &TJobRunner::Finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);

  {
    // Ctrl+C stops the job from the main thread, like the Stop button.
    TStopSignal stopSignal([&] {
      if (stopRequested) return;
      stopRequested = true;
      progress.Break();
      Err() << "trackmill: stopping..." << Qt::endl;
      job.Stop();
    });
    job.Start();
    if (!job.IsFinished()) loop.exec();
  }
  progress.Break();

  const auto& results = job.ItemResults();
  for (int item = 0; item < job.ItemCount(); ++item)
    Out() << JobItemResultWord(results[item]) << ": " << job.ResultFile(item) << '\n';
  // A stopped rip still leaves its log, which says so.
  const int afterCode = afterJob ? afterJob(job, errors, *question) : 0;
  Out() << job.DoneCount() << " of " << job.ItemCount() << ' ' << itemNoun << " done"
        << (stopRequested ? " (stopped)" : "") << Qt::endl;
  if (stopRequested) return 130;
  return job.DoneCount() == job.ItemCount() ? afterCode : 1;
}

int RunFileJobCommand(const QString& kind, const QStringList& arguments) {
  const int jobKind = KindOfConversion(kind);
  if (jobKind == 0) return Fail(QStringLiteral("unknown conversion \"%1\"").arg(kind), 2);
  QStringList args = arguments;
  bool ok = true;
  const QString output = TakeOption(args, "--output", &ok);
  if (!ok) return Fail("--output needs a folder", 2);
  const bool yes = TakeFlag(args, "--yes");
  const bool no = TakeFlag(args, "--no");
  if (yes && no) return Fail("--yes and --no exclude each other", 2);
  QString unknown;
  const QStringList files = Operands(args, &unknown);
  if (!unknown.isEmpty()) return Fail(QStringLiteral("unknown option \"%1\"").arg(unknown), 2);
  if (files.isEmpty()) return Fail("convert " + kind + " needs at least one file", 2);

  LoadSettingsOrWarn();
  // Options given here hold for this run only; the settings file is not written.
  if (!output.isEmpty()) Settings().OutputFolder = QFileInfo(output).absoluteFilePath();
  if (Settings().OutputFolder.isEmpty()) return Fail("no output folder is set (use --output)");
  if (!QDir().mkpath(Settings().OutputFolder))
    return Fail(QStringLiteral("cannot create the output folder %1").arg(Settings().OutputFolder));

  JobItems items;
  for (const QString& file : files) items.push_back(JobItem::File(QFileInfo(file).absoluteFilePath()));
  return RunJobInTerminal(jobKind, nullptr, items, yes ? "yes" : (no ? "no" : ""),
                          QStringLiteral("files"));
}

}  // namespace trackmill::cli
