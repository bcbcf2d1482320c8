#pragma once
#include <QEventLoop>
#include <QString>
#include <QTimer>

#include "audio/core/AuOutput.h"

namespace trackmill::test {

// Runs an output to its end on its worker thread while the main loop delivers the events.
// Returns the failure message of the run (empty when it succeeded). A run that never ends
// (a hang) is given up after two minutes and reported as such.
inline QString RunOutputToEnd(TAuOutput& output) {
  QEventLoop loop;
  QString failure;
  bool done = false;
  output.SetOnThreadException([&](TAuOutput* sender) { failure = sender->ExceptionMessage(); });
  output.SetOnDone([&](TAuOutput*) {
    done = true;
    loop.quit();
  });
  output.Run();
  QTimer::singleShot(120000, &loop, &QEventLoop::quit);
  if (!done) loop.exec();
  output.SetOnDone({});
  output.SetOnThreadException({});
  if (!done) return QStringLiteral("the run did not end");
  return failure;
}

}  // namespace trackmill::test
