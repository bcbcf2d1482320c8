#pragma once
#include <QString>

#include "common/JobReports.h"

// What the end of a step means for its item: how the item stands and what the user is told.
// The one place where step outcomes are read; the step-by-step job, the encoder pool and the
// fallback rip all judge their steps' ends here. Pure; main thread only (message texts come
// from the current language).
namespace trackmill {

enum class JobItemResult { Pending, Done, Failed, Declined, Stopped };

struct StepContext {
  QString itemName;           // a track's title or a file's path, as captions show it
  QString output;             // the step's output file (the track's WAV for an extraction)
  bool progressSeen = false;  // the step reported progress before it ended
};

struct StepVerdict {
  // Pending: the item goes on to its next step (an extraction that an encode follows).
  JobItemResult result = JobItemResult::Pending;
  QString message;  // empty: nothing to tell (the step said it itself, or all went well)
  // The step's failure leaves no further track readable: the job ends.
  bool endsJob = false;
};

StepVerdict JudgeStepEnd(const StepEnded& end, const StepContext& context);

}  // namespace trackmill
