#pragma once
#include <QString>

// Shows the progress of a headless job on stderr: a redrawn bar when stderr is a terminal,
// otherwise one line per phase (so logs stay readable). Main thread only.
namespace trackmill::cli {

class TerminalProgress {
 public:
  TerminalProgress();
  ~TerminalProgress();
  // caption: item being worked on; phase: what is happening ("Extracting", "Encoding MP3").
  void Show(const QString& caption, const QString& phase, int percent,
            const QString& elapsed = {}, const QString& estimated = {});
  // Ends the current bar line (call before printing anything else).
  void Break();
  bool IsTerminal() const { return isTerminal_; }

 private:
  bool isTerminal_;
  bool lineOpen_ = false;
  QString lastCaption_;
  QString lastPhase_;
};

}  // namespace trackmill::cli
