#include "app/shell/ExtractCommand.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "cd/Drive.h"
#include "settings/Settings.h"

namespace trackmill {
namespace {

struct RecordingPrompts : TUserPrompts {
  QStringList shown;  // "i:" information, "e:" error, "q:" question
  bool answer = true;
  void Information(const QString& text) override { shown << "i:" + text; }
  void Error(const QString& text) override { shown << "e:" + text; }
  bool AskYesNo(const QString& text) override {
    shown << "q:" + text;
    return answer;
  }
};

// An open drive for the lists: a one-second silent disc image.
std::shared_ptr<CdDrive> SilentDisc() {
  static QTemporaryDir folder;
  QFile bin(folder.filePath("disc.bin")), cue(folder.filePath("disc.cue"));
  if (!bin.open(QIODevice::WriteOnly) || !cue.open(QIODevice::WriteOnly)) return nullptr;
  bin.write(QByteArray(kCDSectorBytes * kSectorsPerSecond, '\0'));
  cue.write("FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
  bin.close();
  cue.close();
  ClearDiscImages();
  AddDiscImage(cue.fileName());
  std::shared_ptr<CdDrive> drive = CdDrive::Open(ListDrives().front());
  ClearDiscImages();
  return drive;
}

TrackList ListOf(std::initializer_list<std::pair<const char*, bool>> rows, bool withDrive = true) {
  TrackList list;
  static const std::shared_ptr<CdDrive> drive = SilentDisc();
  if (withDrive) list.Drive = drive;
  for (const auto& [title, checked] : rows) {
    TrackRow row;
    row.Title = title;
    row.Checked = checked;
    list.Rows.push_back(row);
  }
  return list;
}

TEST(ExtractCommandTest, ChecksInOrderWithTheirMessages) {
  QTemporaryDir dir;
  const QString missing = dir.filePath("out");
  const QString deep = dir.filePath("music/Trackmill");
  const TrackList someChecked = ListOf({{"a", false}, {"b", true}});
  struct Case {
    const char* name;
    TrackList list;
    QString folder;
    bool answer;
    bool fallbackDrive;
    bool zeroRipTime;
    QStringList shown;
    ExtractRoute route;
  };
  const Case cases[] = {
      {"nothing checked", ListOf({{"a", false}}), dir.path(), true, true, false,
       {"i:Please select a track at least!"}, ExtractRoute::None},
      {"empty list", ListOf({}), dir.path(), true, true, false,
       {"i:Please select a track at least!"}, ExtractRoute::None},
      {"folder declined", someChecked, missing, false, true, false,
       {"q:" + missing + ",The output directory does not exist.\ncreates a new directory?"}, ExtractRoute::None},
      {"folder created, parents too", someChecked, deep, true, true, false,
       {"q:" + deep + ",The output directory does not exist.\ncreates a new directory?"}, ExtractRoute::JobWindow},
      {"folder cannot be created", someChecked, "/proc/none/x", true, true, false,
       {"q:/proc/none/x,The output directory does not exist.\ncreates a new directory?",
        "e:Cannot create /proc/none/x"}, ExtractRoute::None},
      {"no drive at all", ListOf({{"a", true}}, false), dir.path(), true, false, false,
       {"i:Please access CD devices rightly above all!"}, ExtractRoute::None},
      {"fallback drive", ListOf({{"a", true}}, false), dir.path(), true, true, false, {}, ExtractRoute::FallbackWindow},
      {"zero seconds", someChecked, dir.path(), true, true, true,
       {"i:You select to extract 0 second, please change it on Options dialog."}, ExtractRoute::None},
  };
  for (const Case& c : cases) {
    Settings() = TSettings{};
    Settings().OutputFolder = c.folder;
    Settings().EnableRipTime = c.zeroRipTime;
    RecordingPrompts prompts;
    prompts.answer = c.answer;
    const ExtractPlan plan = PlanExtract(c.list, [&] { return c.fallbackDrive; }, prompts);
    EXPECT_EQ(prompts.shown, c.shown) << c.name;
    EXPECT_EQ(plan.route, c.route) << c.name;
    EXPECT_EQ(plan.items.empty(), c.route == ExtractRoute::None) << c.name;
  }
  EXPECT_TRUE(QDir(deep).exists());
}

TEST(ExtractCommandTest, ItemsAreListPositionAndTitleAsGiven) {
  QTemporaryDir dir;
  Settings() = TSettings{};
  Settings().OutputFolder = dir.path();
  RecordingPrompts prompts;
  const TrackList list = ListOf({{"one", true}, {"skip", false}, {"AC/DC: Live?", true}, {"*/:<>?\\|", true},
                                 {"say \"hi\"", true}});
  const ExtractPlan plan = PlanExtract(list, [] { return false; }, prompts);
  EXPECT_EQ(plan.items, (JobItems{JobItem::Track(1, "one"), JobItem::Track(3, "AC/DC: Live?"), JobItem::Track(4, "*/:<>?\\|"), JobItem::Track(5, "say \"hi\"")}));
}

TEST(ExtractCommandTest, OutputFolderCheckOfTheFileJobs) {
  QTemporaryDir dir;
  Settings() = TSettings{};
  RecordingPrompts prompts;
  Settings().OutputFolder = dir.path();
  EXPECT_TRUE(CheckOutputFolder(prompts));
  Settings().OutputFolder = dir.filePath("gone");
  EXPECT_FALSE(CheckOutputFolder(prompts));
  EXPECT_EQ(prompts.shown, QStringList({"i:The output directory does not exist.Please check the output directory setting."}));
}

}  // namespace
}  // namespace trackmill
