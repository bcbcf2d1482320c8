#include "jobs/FileNamePattern.h"

#include <gtest/gtest.h>

#include "common/JobCodes.h"
#include "jobs/JobPlan.h"
#include "settings/Settings.h"

namespace trackmill {
namespace {

TEST(FileNamePattern, ExpandsTokensIntoSafeFoldersAndAName) {
  TrackNameFields f;
  f.title = "AC/DC: Live?";
  f.albumArtist = "The Band";
  f.album = "Best Of";
  f.year = "1999";
  f.genre = "Rock";
  f.format = "flac";
  f.track = 3;
  f.trackTotal = 12;
  TrackNameFields guest = f;
  guest.trackArtist = "A Guest";
  TrackNameFields unknown;
  unknown.title = "\x01..";
  unknown.track = 5;
  TrackNameFields set = f;
  set.disc = 2;
  set.discTotal = 2;
  TrackNameFields hostile = f;
  hostile.albumArtist = "..";
  hostile.album = "../../etc";
  hostile.title = "-rf\ttitle";
  TrackNameFields longName = f;
  longName.album = QString(300, QChar(u'é'));
  const struct {
    QString pattern;
    TrackNameFields fields;
    QStringList path;
  } cases[] = {
      {"%t", f, {"ACDC Live"}},
      {"%n - %t", f, {"03 - ACDC Live"}},
      {"%n of %N %f %g %y", f, {"03 of 12 flac Rock 1999"}},
      {"%a/%t", f, {"The Band", "ACDC Live"}},
      {"%a/%A/%t", guest, {"A Guest", "The Band", "ACDC Live"}},
      {"%A/%l/%n - %t", unknown, {"Unknown Artist", "Unknown Album", "05 - "}},
      {"%t", unknown, {"Track05"}},  // nothing left of the title
      {"%A/%l (%y)/Disc %d/%n - %t", f, {"The Band", "Best Of (1999)", "03 - ACDC Live"}},
      {"%A/%l (%y)/Disc %d/%n - %t", set, {"The Band", "Best Of (1999)", "Disc 2", "03 - ACDC Live"}},
      {"%l/CD %d of %D/%t", set, {"Best Of", "CD 2 of 2", "ACDC Live"}},
      {"%A/%l/%t", hostile, {"etc", "-rftitle"}},  // no value climbs out or makes a folder
      {"../%t", f, {"ACDC Live"}},
      {"100%% %x %", f, {"100% %x %"}},
      {"", f, {"Track03"}},
      {"//%t", f, {"ACDC Live"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ExpandFileNamePattern(c.pattern, c.fields).join('|').toStdString(), c.path.join('|').toStdString())
        << c.pattern.toStdString();
  const QStringList fitted = ExpandFileNamePattern("%l/%t", longName);
  EXPECT_EQ(fitted.first().toUtf8().size(), 254);  // whole characters of two bytes within 255
}

TEST(FileNamePattern, PlannedTracksGetFoldersAndStayDistinctInEach) {
  TSettings settings;
  settings.OutputFolder = "/music";
  settings.OutputFormat = output_format::kFlac;
  settings.FileNamePattern = "%A/%t";
  settings.Disc.Artist = "Band";
  settings.Disc.TrackNumber = 3;
  JobItems items = {JobItem::Track(1, "Same"), JobItem::Track(2, "Same"), JobItem::Track(3, "Other")};
  PlanOutputs(items, job_kind::kRipCd, settings);
  EXPECT_EQ(items[0].output, "/music/Band/Same.flac");
  EXPECT_EQ(items[1].output, "/music/Band/Same (2).flac");
  EXPECT_TRUE(items[2].wav.startsWith("/music/Band/.Other.wav."));
  EXPECT_EQ(CommonFolder({items[0].output, "/music/Band/CD 2/x.flac"}), "/music/Band");
  EXPECT_EQ(CommonFolder({"/music/Band/a.flac", "/music/Bandit/b.flac"}), "/music");
}

}  // namespace
}  // namespace trackmill
