#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "cd/Drive.h"
#include "common/JobItem.h"

namespace trackmill {
class TJobRunner;
class TOverwriteQuestion;
}  // namespace trackmill

namespace trackmill::cli {
// `trackmill convert wav2mp3|mp3towav|wav2ogg|wav2wma|wav2flac FILE... [--output DIR] [--yes|--no]`
int RunFileJobCommand(const QString& kind, const QStringList& args);

// Runs a job of the job runner with a progress bar on the terminal, its error messages on
// stderr and a summary line; Ctrl+C stops it. overwrite: "yes", "no" or empty (ask on the
// terminal, refuse without one). Returns the exit code: 0 only when every item succeeded.
// afterJob runs once the job has ended (after a stop too), before the summary line, with the
// error messages the job showed; a non-zero result becomes the exit code of a job whose items
// all succeeded.
using AfterJob =
    std::function<int(const TJobRunner& job, const QStringList& errors, TOverwriteQuestion& question)>;
int RunJobInTerminal(int jobKind, std::shared_ptr<CdDrive> cdDrive, const JobItems& items, const QString& overwrite,
                     const QString& itemNoun, const AfterJob& afterJob = {});
}  // namespace trackmill::cli
