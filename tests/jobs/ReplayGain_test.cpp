// ReplayGain measurements against ffmpeg's EBU R 128 meter on the same audio.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>

#include "jobs/OutputTagger.h"
#include "jobs/ReplayGainMeter.h"
#include "settings/Settings.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

using test::RunProgram;

// Integrated loudness (LUFS) and sample peak (dBFS) as ffmpeg's ebur128 filter reports them.
std::pair<double, double> FfmpegLoudness(const QString& path) {
  const auto run = RunProgram("ffmpeg", {"-nostats", "-i", path, "-af", "ebur128=peak=sample", "-f", "null", "-"});
  EXPECT_EQ(run.exitCode, 0) << run.err.constData();
  const QString summary = QString::fromUtf8(run.err).section(QStringLiteral("Summary:"), -1);
  const auto value = [&](const char* pattern) {
    return QRegularExpression(QLatin1String(pattern)).match(summary).captured(1).toDouble();
  };
  return {value(R"(I:\s+(-?[\d.]+) LUFS)"), value(R"(Peak:\s+(-?[\d.]+) dBFS)")};
}

class ReplayGainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"sox", "ffmpeg", "metaflac"})
      if (!test::HaveProgram(tool)) GTEST_SKIP() << tool << " is not installed";
  }
  QString Make(const QString& name, const QStringList& format, const QStringList& effects) {
    const QString path = dir_.filePath(name);
    EXPECT_EQ(RunProgram("sox", QStringList{"-n"} + format + QStringList{path, "synth", "8"} + effects).exitCode, 0);
    return path;
  }
  QTemporaryDir dir_;
};

TEST_F(ReplayGainTest, TrackAndAlbumMatchFfmpegWithinATenthOfAnLu) {
  const QStringList cd{"-r", "44100", "-c", "2", "-b", "16"};
  // Within 10 LU of each other, so that the album gating keeps both tracks.
  const QString quiet = Make("quiet.wav", cd, {"pinknoise", "vol", "0.9"});
  const QString loud = Make("loud.wav", cd, {"sine", "300-3000", "vol", "0.3"});
  const QString odd = Make("odd.wav", {"-r", "48000", "-c", "1", "-b", "24"}, {"sine", "1000", "vol", "0.3"});
  const QString bytes = Make("bytes.wav", {"-r", "22050", "-c", "2", "-b", "8"}, {"sine", "440", "vol", "0.5"});

  TReplayGainMeter meter;
  for (const QString& file : {quiet, loud, odd, bytes}) {
    SCOPED_TRACE(file.toStdString());
    const auto gain = meter.MeasureTrack(file);
    ASSERT_TRUE(gain.has_value());
    const auto [lufs, peakDb] = FfmpegLoudness(file);
    EXPECT_NEAR(kReplayGainReferenceLufs - gain->gainDb, lufs, 0.1);
    EXPECT_NEAR(20 * std::log10(gain->peak), peakDb, 0.1);
  }

  meter.Clear();
  ASSERT_TRUE(meter.MeasureTrack(quiet) && meter.MeasureTrack(loud));
  const QString both = dir_.filePath("both.wav");
  ASSERT_EQ(RunProgram("sox", {quiet, loud, both}).exitCode, 0);
  const auto album = meter.Album();
  ASSERT_TRUE(album.has_value());
  EXPECT_NEAR(kReplayGainReferenceLufs - album->gainDb, FfmpegLoudness(both).first, 0.1);
  EXPECT_NEAR(20 * std::log10(album->peak), FfmpegLoudness(both).second, 0.1);
}

TEST_F(ReplayGainTest, SilenceAndUnreadableFilesGetNoGain) {
  TReplayGainMeter meter;
  EXPECT_FALSE(meter.MeasureTrack(Make("silence.wav", {"-r", "44100", "-c", "2", "-b", "16"}, {"sine", "0", "vol", "0"})));
  EXPECT_FALSE(meter.MeasureTrack(dir_.filePath("missing.wav")));
  EXPECT_FALSE(meter.Album());
}

// Measured ahead on the tagger's thread while the encoder runs, or in place: the same tags.
TEST_F(ReplayGainTest, GainMeasuredAheadIsTheGainMeasuredInPlace) {
  const QStringList cd{"-r", "44100", "-c", "2", "-b", "16"};
  const QString sources[] = {Make("a.wav", cd, {"pinknoise", "vol", "0.5"}), Make("b.wav", cd, {"sine", "500", "vol", "0.2"})};
  Settings() = TSettings{};
  Settings().ReplayGainMode = kReplayGainAlbum;
  QStringList tags[2];
  for (const bool ahead : {false, true}) {
    TOutputTagger tagger(Settings(), QString());
    for (int k = 0; k < 2; ++k) {
      const QString flac = dir_.filePath(QStringLiteral("%1%2.flac").arg(ahead).arg(k));
      ASSERT_EQ(RunProgram("sox", {sources[k], flac}).exitCode, 0);
      if (ahead) tagger.MeasureAhead(flac, sources[k]);
    }
    for (int k = 0; k < 2; ++k) {
      JobItem item = JobItem::File(sources[k]);
      item.output = dir_.filePath(QStringLiteral("%1%2.flac").arg(ahead).arg(k));
      EXPECT_EQ(tagger.TagFinishedFile(item, sources[k]), "");
    }
    EXPECT_EQ(tagger.FinishAlbum(), "");
    for (int k = 0; k < 2; ++k)
      tags[ahead] << QString::fromUtf8(RunProgram("metaflac", {"--export-tags-to=-", dir_.filePath(QStringLiteral("%1%2.flac").arg(ahead).arg(k))}).out);
  }
  EXPECT_EQ(tags[1], tags[0]);
  EXPECT_TRUE(tags[1].join("").contains("REPLAYGAIN_ALBUM_GAIN=")) << tags[1].join("").toStdString();
}

}  // namespace
}  // namespace trackmill
