#include "jobs/StepVerdict.h"

#include <QFileInfo>

#include "jobs/JobTexts.h"

namespace trackmill {
namespace {

StepVerdict Failed(const QString& message = {}) { return {JobItemResult::Failed, message, false}; }

// A file that could not be made: its folder's fault when the folder is gone or closed to us,
// otherwise its name's.
QString CannotCreateText(const QString& path) {
  const QFileInfo folder(QFileInfo(path).path());
  if (!folder.isDir()) return folder.filePath() + ": no such folder";
  if (!folder.isWritable()) return folder.filePath() + ": permission denied";
  return path + JobText("RES_CreateWavFileError");
}

StepVerdict JudgeExtraction(const StepEnded& end, const StepContext& context) {
  switch (end.outcome) {
    case StepOutcome::Done: return {};
    case StepOutcome::ReadError: return Failed(JobText("RES_ReadCDAudioError"));
    case StepOutcome::CannotCreate: return Failed(CannotCreateText(context.output));
    case StepOutcome::DriveRefused: return {JobItemResult::Failed, JobText("RES_ModifyCDParmsError"), true};
    case StepOutcome::TocUnreadable: return {JobItemResult::Failed, JobText("RES_ReadTocError"), true};
    case StepOutcome::Skipped: return Failed(end.error);
    default: return Failed(context.output + JobText("RES_WriteWavFileError"));
  }
}

// lame and the WMA encoder, as child processes.
StepVerdict JudgeEncoderProcess(const StepEnded& end, const StepContext& context) {
  const bool mp3 = end.step == JobStep::EncodeMp3 || end.step == JobStep::DecodeMp3;
  switch (end.outcome) {
    case StepOutcome::InUse:
      return Failed(context.progressSeen ? QString() : context.itemName + JobText("RES_Operate_Fail"));
    case StepOutcome::Declined: return {JobItemResult::Declined, {}, false};
    case StepOutcome::Skipped: return Failed(end.error);
    case StepOutcome::EncoderError: return Failed(end.error);
    default: break;
  }
  // lame that printed no progress at all did not take its options, whatever it returned.
  if (mp3 && !context.progressSeen)
    return Failed(JobText("RES_Check_Mp3Options") + (end.error.isEmpty() ? QString() : "\n" + end.error));
  if (end.outcome == StepOutcome::Done) return {JobItemResult::Done, {}, false};
  return Failed(context.output + ": " + end.error);
}

}  // namespace

StepVerdict JudgeStepEnd(const StepEnded& end, const StepContext& context) {
  switch (end.step) {
    case JobStep::Extract:
    case JobStep::Normalize: return JudgeExtraction(end, context);
    case JobStep::EncodeMp3:
    case JobStep::DecodeMp3:
    case JobStep::EncodeWma: return JudgeEncoderProcess(end, context);
    default: break;  // the audio pipeline's resampling and Ogg Vorbis and FLAC encodes
  }
  if (end.outcome == StepOutcome::Done) return {JobItemResult::Done, {}, false};
  if (end.outcome == StepOutcome::Skipped || end.error.isEmpty()) return Failed(end.error);
  return Failed(context.output + ": " + end.error);
}

}  // namespace trackmill
