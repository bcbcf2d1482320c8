#include "app/cli/TerminalProgress.h"

#include <unistd.h>

#include <algorithm>

#include "app/cli/CommandLine.h"

namespace trackmill::cli {

namespace {
constexpr int kBarWidth = 30;
}

TerminalProgress::TerminalProgress() : isTerminal_(::isatty(STDERR_FILENO) == 1) {}

TerminalProgress::~TerminalProgress() { Break(); }

void TerminalProgress::Show(const QString& caption, const QString& phase, int percent,
                            const QString& elapsed, const QString& estimated) {
  percent = std::clamp(percent, 0, 100);
  if (!isTerminal_) {
    if (caption != lastCaption_ || phase != lastPhase_) {
      Err() << caption << ": " << phase << Qt::endl;
      lastCaption_ = caption;
      lastPhase_ = phase;
    }
    return;
  }
  const int filled = percent * kBarWidth / 100;
  QString line = QStringLiteral("\r\x1b[2K%1  %2 [%3%4] %5%")
                     .arg(caption, phase, QString(filled, '#'), QString(kBarWidth - filled, '-'))
                     .arg(percent, 3);
  if (!elapsed.isEmpty()) line += QStringLiteral("  %1 / %2").arg(elapsed, estimated);
  Err() << line;
  Err().flush();
  lineOpen_ = true;
}

void TerminalProgress::Break() {
  if (lineOpen_) {
    Err() << Qt::endl;
    lineOpen_ = false;
  }
}

}  // namespace trackmill::cli
