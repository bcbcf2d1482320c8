#include "jobs/EncodeProcess.h"

#include <QFileInfo>
#include <algorithm>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

#include "common/FileUtils.h"
#include "common/JobEvents.h"
#include "settings/LangString.h"
#include "settings/Settings.h"

namespace trackmill {
namespace {

// How long a killed child may take to be reaped before the runner gives up waiting.
constexpr int kReapTimeoutMs = 5000;

// A file argument that starts with "-" would be read as a switch by the encoder.
QString SafeFileArgument(const QString& path) {
  return path.startsWith('-') ? QStringLiteral("./") + path : path;
}

}  // namespace

TEncodeProcess::TEncodeProcess(EncoderOutputKind outputKind, qint32 completionPercent,
                               QObject* parent)
    : QObject(parent), completionPercent_(completionPercent), parser_(outputKind) {
  connect(&stallTimer_, &QTimer::timeout, this, &TEncodeProcess::CheckForStall);
}

TEncodeProcess::~TEncodeProcess() { StopEncoder(0); }

qint64 TEncodeProcess::ChildPid() const { return process_ ? process_->processId() : 0; }

void TEncodeProcess::StartEncoder() {
  ReleaseProcess();
  command_.reset();
  if (QFileInfo::exists(OutputFile) && AsksBeforeOverwrite()) {
    const QString question =
        OutputFile + LangString("RES_File_Exist");
    if (!OverwriteQuestion || !OverwriteQuestion->ConfirmOverwrite(OutputFile, question)) {
      Complete(encoder_result::kDeclined);
      return;
    }
    if (IsFileInUse(OutputFile)) {
      Complete(encoder_result::kInUse);
      return;
    }
  }
  command_ = BuildCommand();
  if (!command_) return;
  for (QString& argument : command_->arguments)
    if (argument == InputFile || argument == OutputFile) argument = SafeFileArgument(argument);

  parser_.Reset();
  process_ = std::make_unique<QProcess>();
  process_->setProgram(command_->program);
  process_->setArguments(command_->arguments);
  process_->setStandardInputFile(QProcess::nullDevice());
  process_->setChildProcessModifier([] {
    // The child ends with us (no orphan encoder if the program dies), and a Ctrl+C on the
    // terminal reaches only us: the job decides how its encoder is stopped.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    ::setpgid(0, 0);
  });
  connect(process_.get(), &QProcess::readyReadStandardOutput, this, &TEncodeProcess::ReadOutput);
  connect(process_.get(), &QProcess::readyReadStandardError, this, &TEncodeProcess::ReadOutput);
  connect(process_.get(), &QProcess::finished, this, &TEncodeProcess::ProcessEnded);
  process_->start();
  if (!process_->waitForStarted(-1)) {
    const QString reason = process_->errorString();
    process_.reset();
    throw EEncoderError(LangString("RES_CreateProcess_Error") +
                        ' ' + command_->program + ": " + reason);
  }
  startTime_.start();
  const qint64 minutes = Settings().EncoderStallMinutes;
  stallLimitMs_ = StallLimitMs > 0 ? StallLimitMs : minutes * 60000;
  if (stallLimitMs_ > 0) {
    sinceSignOfLife_.start();
    lastOutputSize_ = -1;
    stallTimer_.start(int(std::clamp<qint64>(stallLimitMs_ / 4, 50, 5000)));
  }
}

void TEncodeProcess::CheckForStall() {
  if (!process_) return;
  // Some encoders print nothing until they end: a growing output file is a sign of life too.
  const qint64 size = QFileInfo(OutputFile).size();
  if (size != lastOutputSize_) {
    lastOutputSize_ = size;
    sinceSignOfLife_.restart();
    return;
  }
  if (sinceSignOfLife_.elapsed() < stallLimitMs_) return;
  const qint64 seconds = std::max<qint64>(1, stallLimitMs_ / 1000);
  ReleaseProcess();
  Complete(encoder_result::kFailed,
           LangString("RES_Encoder_Stalled")
               .arg(seconds));
}

void TEncodeProcess::StopEncoder(int /*exitCode*/) {
  if (!Running) return;
  Running = false;
  ReleaseProcess();
}

void TEncodeProcess::ReleaseProcess() {
  stallTimer_.stop();
  if (!process_) return;
  process_->disconnect(this);
  if (process_->state() != QProcess::NotRunning) {
    process_->kill();
    process_->waitForFinished(kReapTimeoutMs);
  }
  // This may run inside one of the process's own signals; let the event loop delete it.
  process_.release()->deleteLater();
}

void TEncodeProcess::ReadOutput() {
  if (!process_) return;
  QByteArray chunk = process_->readAllStandardOutput();
  chunk += process_->readAllStandardError();
  if (chunk.isEmpty()) return;
  sinceSignOfLife_.restart();
  for (auto& record : parser_.Feed(chunk, startTime_.elapsed()))
    PostJobProgress(ReportTo, std::move(record));
  // An error line ends the encode at once: such an encoder may well hang after it.
  if (parser_.ErrorLine() && process_->state() != QProcess::NotRunning) {
    ReleaseProcess();
    Complete(encoder_result::kErrorLine, *parser_.ErrorLine());
  }
}

void TEncodeProcess::ProcessEnded(int exitCode, QProcess::ExitStatus status) {
  ReadOutput();
  for (auto& record : parser_.Flush(startTime_.elapsed()))
    PostJobProgress(ReportTo, std::move(record));
  ReleaseProcess();
  if (parser_.ErrorLine()) {
    Complete(encoder_result::kErrorLine, *parser_.ErrorLine());
    return;
  }
  QString reason;
  if (status == QProcess::CrashExit)
    reason = LangString("RES_Encoder_Crashed");
  else if (exitCode != 0)
    reason = LangString("RES_Encoder_Exit")
                 .arg(exitCode);
  else if (QFileInfo(OutputFile).size() <= 0)
    reason = LangString("RES_Encoder_NoOutput");
  if (reason.isEmpty()) {
    Complete(encoder_result::kEnded);
    return;
  }
  if (!parser_.LastMessageLine().isEmpty()) reason += ' ' + parser_.LastMessageLine();
  Complete(encoder_result::kFailed, reason);
}

void TEncodeProcess::Complete(qint32 errorCode, const QString& reason) {
  auto info = MakeStatus(completionPercent_, errorCode);
  info->TimeElapsed = reason;
  DeliverCompletion(std::move(info));
}

}  // namespace trackmill
