#pragma once
#include <QString>
#include <QStringList>

#include "cd/CDRecords.h"

namespace trackmill::cli {
// `trackmill convert wav2mp3|mp3towav|wav2ogg|wav2wma FILE... [--output DIR] [--yes|--no]`
int RunFileJobCommand(const QString& kind, const QStringList& args);

// Runs a job of the job runner with a progress bar on the terminal, its error messages on
// stderr and a summary line; Ctrl+C stops it. overwrite: "yes", "no" or empty (ask on the
// terminal, refuse without one). Returns the exit code: 0 only when every item succeeded.
int RunJobInTerminal(int jobKind, TCDHandle cdHandle, const QStringList& items,
                     const QString& overwrite, const QString& itemNoun);
}  // namespace trackmill::cli
