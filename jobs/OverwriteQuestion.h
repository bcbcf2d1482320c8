#pragma once
#include <QString>

// Asks the user whether an existing output file may be replaced. The job window answers with
// a Yes/No message box; the command line answers from --yes/--no or asks on its terminal.
// Called on the main thread while an encoder is being started.
namespace trackmill {

class TOverwriteQuestion {
 public:
  virtual ~TOverwriteQuestion() = default;
  // question is the full text to show (the file name followed by the "exists" text).
  virtual bool ConfirmOverwrite(const QString& path, const QString& question) = 0;
};

// Answers every question the same way (the command line's --yes / --no).
class TFixedOverwriteAnswer : public TOverwriteQuestion {
 public:
  explicit TFixedOverwriteAnswer(bool answer) : answer_(answer) {}
  bool ConfirmOverwrite(const QString&, const QString&) override { return answer_; }

 private:
  bool answer_;
};

}  // namespace trackmill
