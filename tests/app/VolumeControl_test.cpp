#include "app/shell/VolumeControl.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace trackmill {
namespace {

// PATH holds only a folder with the named programs (empty files marked executable).
class ProgramsOnPath {
 public:
  explicit ProgramsOnPath(const QStringList& names) : saved_(qgetenv("PATH")) {
    for (const QString& name : names) {
      QFile file(dir_.filePath(name));
      file.open(QIODevice::WriteOnly);
      file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    qputenv("PATH", dir_.path().toUtf8());
  }
  ~ProgramsOnPath() { qputenv("PATH", saved_); }
  QString Path(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
  QByteArray saved_;
};

TEST(VolumeControl, PrefersPavucontrolThenAlsamixerInATerminalElseNamesThePackage) {
  {
    ProgramsOnPath path({"pavucontrol", "alsamixer", "xterm"});
    EXPECT_EQ(FindMixer(true).program, path.Path("pavucontrol"));
    EXPECT_EQ(FindMixer(true).arguments, QStringList({"--tab=2"}));
    EXPECT_EQ(FindMixer(false).arguments, QStringList({"--tab=1"}));
  }
  {
    ProgramsOnPath path({"alsamixer", "xterm"});
    const MixerCommand recording = FindMixer(true);
    EXPECT_EQ(recording.program, path.Path("xterm"));
    EXPECT_EQ(recording.arguments, QStringList({"-e", path.Path("alsamixer"), "-V", "capture"}));
    EXPECT_EQ(FindMixer(false).arguments, QStringList({"-e", path.Path("alsamixer")}));
  }
  ProgramsOnPath path({"alsamixer"});
  const MixerCommand none = FindMixer(false);
  EXPECT_TRUE(none.program.isEmpty());
  EXPECT_TRUE(none.missing.contains("pavucontrol"));
  QString error;
  EXPECT_FALSE(StartMixer(false, error));
  EXPECT_EQ(error, none.missing);
}

}  // namespace
}  // namespace trackmill
