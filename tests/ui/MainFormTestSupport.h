#pragma once
#include <QAction>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

#include "tests/cd/TestDisc.h"
#include "tests/ui/ModalAnswerer.h"
#include "tests/ui/UrlCatcher.h"
#include "ui/MainForm.h"

// A main window over a fresh per-user folder whose output folder is a temporary folder.
namespace trackmill::test {

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Writes options.ini: the output folder, then the given lines.
  void WriteOptions(const QByteArray& lines = {});
  // A shown, active main window (on image when given; without one and with no drive on the
  // machine the no-device hint comes up).
  std::unique_ptr<TMainForm> Open(const QString& image = {});
  // Makes the window the active one again (after a dialog closed), as a window manager would.
  static void Activate(QWidget& window);
  // A two-track disc image for tests that need some disc.
  QString SomeDisc();
  static QTreeWidget* List(TMainForm& form) { return form.findChild<QTreeWidget*>("ListView1"); }
  static QAction* Action(TMainForm& form, const char* name) { return form.findChild<QAction*>(name); }
  static QToolButton* Button(TMainForm& form, const char* name) { return form.findChild<QToolButton*>(name); }
  static QStringList Column(TMainForm& form, int column);
  // Expects TrackNN.mp3 in the output folder, seconds long, tagged with its title and the
  // artist "Someone", and no TrackNN.wav beside it.
  void ExpectTaggedMp3WithoutWav(int track, double seconds);

  QTemporaryDir out_;
  std::unique_ptr<TestDisc> someDisc_;
  ModalAnswerer answerer_;
};

}  // namespace trackmill::test
