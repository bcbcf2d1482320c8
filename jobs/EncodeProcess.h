#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>
#include <stdexcept>

#include "common/ProcessInfo.h"
#include "jobs/EncoderCommands.h"
#include "jobs/EncoderOutputParser.h"
#include "jobs/OverwriteQuestion.h"

// Runs one external encoder as a child process and reports to a job window.
//
// Call order: the caller fills the public fields, sets Running and calls StartEncoder. Then
// either the child runs and WM_JOB_PROGRESS records arrive at ReportTo (progress 1..100
// while it runs, and exactly one completion record when it ends), or a completion record has
// already been delivered (declined or file in use), or EEncoderError was thrown (nothing was
// started and no record follows). StopEncoder ends a running child at once, without a record.
//
// Completion ErrorCode: 0 the user declined to overwrite (or there is no encoder), 1 the
// output file is in use, 2 the child ended and wrote its output, 3 the child failed (exit
// code not 0, crashed or was killed, left no output, or stalled: neither printed anything
// nor grew its output file for the stall limit, and was stopped; the reason is in
// TimeElapsed), 8 (WMA) the encoder printed an error line (the line is in TimeElapsed; the
// child is stopped as soon as the line arrives).
//
// The child is started from an argument vector, never through a shell. Its output is read on
// the main thread through the event loop (QProcess), so every field is touched by the main
// thread only. The runner owns its child; destroying the runner stops it. ReportTo and
// OverwriteQuestion are not owned and must outlive a running encode.
namespace trackmill {

// Completion codes of the encoder runners, and the code the job runner uses for a step it
// skips (the item failed before the encoder could run).
namespace encoder_result {
inline constexpr qint32 kDeclined = 0;
inline constexpr qint32 kInUse = 1;
inline constexpr qint32 kEnded = 2;
inline constexpr qint32 kFailed = 3;
inline constexpr qint32 kSkipped = 4;
inline constexpr qint32 kErrorLine = 8;
}  // namespace encoder_result

class EEncoderError : public std::runtime_error {
 public:
  explicit EEncoderError(const QString& message)
      : std::runtime_error(message.toStdString()), message_(message) {}
  const QString& Message() const { return message_; }

 private:
  QString message_;
};

class TEncodeProcess : public QObject {
  Q_OBJECT
 public:
  ~TEncodeProcess() override;

  bool Running = false;
  QString InputFile;
  QString OutputFile;
  QObject* ReportTo = nullptr;
  int JobKind = 0;
  TOverwriteQuestion* OverwriteQuestion = nullptr;
  // How long the child may show no sign of life; 0: [CommonOptions] EncoderStallMinutes.
  qint64 StallLimitMs = 0;
  // The settings the command is built from (a job's snapshot); Settings() when not set. Not
  // owned; must outlive a running encode.
  const TSettings* CommandSettings = nullptr;

  // Throws EEncoderError when the encoder cannot be found or started.
  void StartEncoder();
  // Ends the child (if Running); exitCode is kept for callers that pass one, the child is
  // killed on Linux whatever it is.
  void StopEncoder(int exitCode = 0);

  // The command of the last start attempt, as shown to the user.
  QString CommandText() const { return command_ ? command_->DisplayText() : QString(); }
  const std::optional<EncoderCommand>& Command() const { return command_; }
  // Process id of the running child, 0 when none.
  qint64 ChildPid() const;

 signals:
  // A message for the user that is not a step failure (e.g. no WMA encoder installed).
  void InformationMessage(const QString& text);

 protected:
  TEncodeProcess(EncoderOutputKind outputKind, qint32 completionPercent, QObject* parent);
  // Whether an existing output file needs the user's consent for this job kind.
  virtual bool AsksBeforeOverwrite() const = 0;
  // The command to run; nothing when the completion has already been delivered instead.
  virtual std::optional<EncoderCommand> BuildCommand() = 0;
  // Hands a completion record to ReportTo (posted or sent, as the runner requires).
  virtual void DeliverCompletion(std::unique_ptr<TProcessInfo> info) = 0;
  void Complete(qint32 errorCode, const QString& reason = {});
  void SetOutputKind(EncoderOutputKind kind) { parser_ = TEncoderOutputParser(kind); }

 private:
  void ReadOutput();
  void ProcessEnded(int exitCode, QProcess::ExitStatus status);
  void ReleaseProcess();
  void CheckForStall();

  qint32 completionPercent_;
  TEncoderOutputParser parser_;
  std::unique_ptr<QProcess> process_;
  std::optional<EncoderCommand> command_;
  QElapsedTimer startTime_;
  QElapsedTimer sinceSignOfLife_;  // output printed or the output file grown
  qint64 stallLimitMs_ = 0;
  qint64 lastOutputSize_ = -1;
  QTimer stallTimer_;
  QString lastMessageLine_;
};

}  // namespace trackmill
