#include "verify/RipSummary.h"

#include <gtest/gtest.h>

#include "verify/RipVerification.h"

namespace trackmill {
namespace {

using Kind = AccurateRipVerdict::Kind;
using Outcome = AccurateRipLookup::Outcome;

struct TrackCase {
  JobItemResult result;
  Kind verdict;
};

RipVerification Rip(bool lookedUp, Outcome outcome, const std::vector<TrackCase>& tracks) {
  RipVerification v;
  v.record.lookedUp = lookedUp;
  v.lookup.outcome = outcome;
  v.lookup.detail = outcome == Outcome::Unreachable ? QStringLiteral("Could not resolve host: db.example") : QString();
  for (size_t i = 0; i < tracks.size(); ++i) {
    RippedTrack track;
    track.number = int(i) + 1;
    track.file = QStringLiteral("/music/out/Track0%1.flac").arg(i + 1);
    track.result = tracks[i].result;
    track.verdict.kind = tracks[i].verdict;
    track.verdict.confidence = 7;
    v.accurate += tracks[i].verdict == Kind::Accurate;
    v.record.tracks.push_back(track);
  }
  return v;
}

TEST(RipSummaryTest, OnlyAFailedOrContradictedTrackNeedsTheUser) {
  constexpr auto Done = JobItemResult::Done;
  constexpr auto Declined = JobItemResult::Declined;
  struct Case {
    const char* name;
    RipVerification rip;
    QString written;
    QString verification;  // its start
    QStringList trackVerdicts;
    QString attention;     // empty: no message box
  };
  const Case cases[] = {
      {"all accurate", Rip(true, Outcome::Found, {{Done, Kind::Accurate}, {Done, Kind::Accurate}}),
       "2 of 2 tracks written.", "AccurateRip: 2 of 2 tracks accurately ripped.",
       {"accurately ripped (confidence 7)", "accurately ripped (confidence 7)"}, ""},
      {"unreachable", Rip(true, Outcome::Unreachable, {{Done, Kind::NoAnswer}, {Done, Kind::NoAnswer}}),
       "2 of 2 tracks written.",
       "The AccurateRip database could not be reached, so the tracks were not checked against it.\n"
       "(Could not resolve host: db.example)",
       {"not checked", "not checked"}, ""},
      {"unknown disc", Rip(true, Outcome::NotInDatabase, {{Done, Kind::NotInDatabase}}), "1 of 1 tracks written.",
       "AccurateRip: this disc is not in the database", {"not in the database"}, ""},
      {"lookup off", Rip(false, Outcome::Unreachable, {{Done, Kind::NoAnswer}}), "1 of 1 tracks written.", "", {""},
       ""},
      {"every file kept", Rip(true, Outcome::Found, {{Declined, Kind::NotChecked}, {Declined, Kind::NotChecked}}),
       "No track was written: the file of every track was already there and was kept.", "",
       {"not checked", "not checked"}, ""},
      {"a failed track", Rip(true, Outcome::Found, {{Done, Kind::Accurate}, {JobItemResult::Failed, Kind::NotChecked}}),
       "1 of 2 tracks written.", "AccurateRip: 1 of 2", {"accurately ripped (confidence 7)", "not checked"},
       "These tracks need your attention:\nTrack 02: failed"},
      {"a mismatch", Rip(true, Outcome::Found, {{Done, Kind::NotAccurate}, {Done, Kind::Accurate}}),
       "2 of 2 tracks written.", "AccurateRip: 1 of 2", {"not accurately ripped", "accurately ripped (confidence 7)"},
       "These tracks need your attention:\nTrack 01: not accurately ripped"},
  };
  for (const Case& c : cases) {
    const RipSummary summary = SummarizeRip(c.rip, "/music/out", "");
    EXPECT_EQ(summary.written, c.written) << c.name;
    EXPECT_TRUE(c.verification.isEmpty() ? summary.verification.isEmpty()
                                         : summary.verification.startsWith(c.verification))
        << c.name << ": " << summary.verification.toStdString();
    QStringList verdicts;
    for (const RipSummaryRow& row : summary.rows) {
      verdicts << row.verification;
      EXPECT_EQ(row.folder, "/music/out") << c.name;
      EXPECT_EQ(row.fileName, QStringLiteral("Track0%1.flac").arg(row.number)) << c.name;
    }
    EXPECT_EQ(verdicts, c.trackVerdicts) << c.name;
    EXPECT_EQ(summary.NeedsAttention(), !c.attention.isEmpty()) << c.name;
    if (summary.NeedsAttention()) {
      EXPECT_EQ(summary.AttentionText(), c.attention) << c.name;
    }
    EXPECT_TRUE(summary.OverallText().startsWith(c.written + (c.verification.isEmpty() ? "" : "\n" + c.verification)))
        << c.name;
  }
}

TEST(RipSummaryTest, AFailedLogIsShownAndJoinsTheBoxOfAFailedTrack) {
  const RipSummary summary = SummarizeRip(
      Rip(false, Outcome::Unreachable, {{JobItemResult::Failed, Kind::NoAnswer}}), "/music/out", "log not written");
  EXPECT_EQ(summary.rows.at(0).resultText, "failed");
  EXPECT_TRUE(summary.OverallText().endsWith("\nlog not written"));
  EXPECT_EQ(summary.AttentionText(), "These tracks need your attention:\nTrack 01: failed\nlog not written");
}

}  // namespace
}  // namespace trackmill
