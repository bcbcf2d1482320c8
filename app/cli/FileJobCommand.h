#pragma once
#include <QString>
#include <QStringList>

namespace trackmill::cli {
// `trackmill convert wav2mp3|mp3towav|wav2ogg|wav2wma FILE... [--output DIR] [--yes|--no]`
int RunFileJobCommand(const QString& kind, const QStringList& args);
}  // namespace trackmill::cli
