// The convert command end to end: the real trackmill, lame, WMA encoder and peer tools.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <signal.h>

#include "tests/jobs/JobTestSupport.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

class ConvertCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = QDir(tmp_.path());
    dir_.mkdir("home");
    dir_.mkdir("out");
    qputenv("TRACKMILL_HOME", Path("home").toUtf8());
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  test::ProcessResult Convert(const QStringList& args) {
    return test::RunProgram(test::TrackmillProgram(), QStringList{"convert"} + args);
  }
  QStringList OutputFiles() const { return QDir(Path("out")).entryList(QDir::Files, QDir::Name); }
  // The files a job writes before they are complete, hidden ones included.
  QStringList PartFiles(const QString& pattern = "*.part") const {
    return QDir(Path("out")).entryList({pattern}, QDir::Files | QDir::Hidden);
  }

  QTemporaryDir tmp_;
  QDir dir_;
};

// Step by step through the shared temporary file, several at once through one file each.
TEST_F(ConvertCommandTest, LowRatesAreResampledThroughATemporaryFile) {
  ASSERT_TRUE(test::MakeWav(Path("low.wav"), 4.0, 22050, 1));
  ASSERT_TRUE(test::MakeWav(Path("cd.wav"), 3.0));
  for (const char* processes : {"1", "2"}) {
    ASSERT_TRUE(test::WriteBytes(Path("home/options.ini"),
                                 QByteArray("[CommonOptions]\nEncoderProcesses=") + processes));
    for (const QString kind : {"mp3", "ogg"}) {
      const QString context = kind + " with processes " + processes;
      const auto result = Convert({"wav2" + kind, Path("low.wav"), Path("cd.wav"), "--output", Path("out"), "--yes"});
      EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
      EXPECT_TRUE(result.err.contains("Resampling(01/02)")) << result.err.toStdString();
      EXPECT_FALSE(result.err.contains("Resampling(02/02)"));
      EXPECT_TRUE(result.out.contains("2 of 2 files done")) << context.toStdString();
      // No temporary file is left.
      EXPECT_EQ(QDir(Path("out")).entryList({"*.wav"}, QDir::Files) + PartFiles(), QStringList());
      for (const auto& [name, seconds] : {std::pair{"low.", 4.0}, std::pair{"cd.", 3.0}}) {
        const QString file = Path(QStringLiteral("out/%1%2").arg(name, kind));
        EXPECT_NEAR(test::ProbeDuration(file), seconds, 0.1) << context.toStdString();
        EXPECT_TRUE(test::ProbeField(file, "stream=sample_rate").contains("44100")) << context.toStdString();
      }
    }
  }
}

TEST_F(ConvertCommandTest, WavToFlacIsLosslessAtAnyRateAndSampleSize) {
  if (!test::HaveProgram("flac")) GTEST_SKIP() << "flac missing";
  struct Input {
    const char* name;
    QStringList soxFormat;
  };
  const Input inputs[] = {{"cd", {"-r", "44100", "-c", "2", "-b", "16"}},
                          {"mono8", {"-r", "22050", "-c", "1", "-b", "8"}},
                          {"hires24", {"-r", "96000", "-c", "2", "-b", "24"}}};
  QStringList files;
  for (const Input& input : inputs) {
    files << Path(QStringLiteral("%1.wav").arg(input.name));
    ASSERT_EQ(test::RunProgram("sox", QStringList{"-n"} + input.soxFormat +
                                          QStringList{files.back(), "synth", "1.5", "sine", "300-3000"})
                  .exitCode,
              0);
  }
  const auto result = Convert(QStringList{"wav2flac"} + files + QStringList{"--output", Path("out")});
  EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
  for (const Input& input : inputs) {
    const QString flac = Path(QStringLiteral("out/%1.flac").arg(input.name));
    EXPECT_EQ(test::RunProgram("flac", {"-t", "-s", flac}).exitCode, 0) << input.name;
    // Both read back by sox as raw signed samples of the source's size.
    const QString wav = Path(QStringLiteral("%1.wav").arg(input.name));
    const QByteArray source = test::RunProgram("sox", {wav, "-t", "raw", "-e", "signed-integer", "-"}).out;
    EXPECT_FALSE(source.isEmpty());
    EXPECT_EQ(test::RunProgram("sox", {flac, "-t", "raw", "-e", "signed-integer", "-"}).out, source)
        << input.name;
  }
}

TEST_F(ConvertCommandTest, FloatWavToFlacKeepsTheSound) {
  if (!test::HaveProgram("flac")) GTEST_SKIP() << "flac missing";
  const QString wav = Path("float.wav");
  ASSERT_EQ(test::RunProgram("sox", {"-n", "-r", "48000", "-c", "2", "-e", "floating-point", "-b", "32", wav, "synth",
                                     "1", "sine", "300-3000", "vol", "0.8"})
                .exitCode,
            0);
  const auto result = Convert({"wav2flac", wav, "--output", Path("out")});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  const QString flac = Path("out/float.flac");
  EXPECT_EQ(test::RunProgram("flac", {"-t", "-s", flac}).exitCode, 0);
  // Both read as 16-bit samples without dither: the same sound, to the last bit's rounding.
  const auto samples = [](const QString& file) {
    const QByteArray raw = test::RunProgram("sox", {"-D", file, "-t", "raw", "-e", "signed-integer", "-b", "16", "-"}).out;
    return std::vector<qint16>(reinterpret_cast<const qint16*>(raw.constData()),
                               reinterpret_cast<const qint16*>(raw.constData()) + raw.size() / 2);
  };
  const std::vector<qint16> source = samples(wav), encoded = samples(flac);
  ASSERT_EQ(encoded.size(), source.size());
  ASSERT_FALSE(source.empty());
  int worst = 0;
  for (size_t i = 0; i < source.size(); ++i) worst = std::max(worst, std::abs(source[i] - encoded[i]));
  EXPECT_LE(worst, 1);
}

TEST_F(ConvertCommandTest, FloatWavToMp3SoundsAsLoudAsItsPcmTwin) {
  if (!test::HaveProgram("lame")) GTEST_SKIP() << "lame missing";
  for (const char* encoding : {"floating-point", "signed-integer"})
    ASSERT_EQ(test::RunProgram("sox", {"-n", "-r", "48000", "-c", "2", "-e", encoding, "-b", "32",
                                       Path(QStringLiteral("%1.wav").arg(encoding)), "synth", "1", "sine", "440", "vol", "0.5"})
                  .exitCode,
              0);
  const auto result = Convert({"wav2mp3", Path("floating-point.wav"), Path("signed-integer.wav"), "--output", Path("out")});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  const auto rms = [](const QString& file) {
    const QString stat = QString::fromUtf8(test::RunProgram("sox", {file, "-n", "stat"}).err);
    return stat.section("RMS     amplitude:", 1).trimmed().section('\n', 0, 0).toDouble();
  };
  const double pcm = rms(Path("out/signed-integer.mp3"));
  EXPECT_GT(pcm, 0.3);
  EXPECT_NEAR(rms(Path("out/floating-point.mp3")), pcm, 0.01);
  EXPECT_EQ(test::RunProgram("soxi", {"-r", Path("out/floating-point.mp3")}).out.trimmed(), "48000");
}

TEST_F(ConvertCommandTest, SurroundWavToOggKeepsEveryChannelWhereTheReferenceEncoderPutsIt) {
  if (!test::HaveProgram("oggenc")) GTEST_SKIP() << "oggenc missing";
  constexpr int kChannels = 6;  // 5.1: a tone of its own on each channel
  const QString wav = Path("surround.wav");
  QStringList synth{"-n", "-r", "44100", "-c", QString::number(kChannels), "-b", "16", wav, "synth", "1"};
  for (int c = 0; c < kChannels; ++c) synth << "sine" << QString::number(200 + 100 * c);
  ASSERT_EQ(test::RunProgram("sox", synth).exitCode, 0);
  ASSERT_EQ(Convert({"wav2ogg", wav, "--output", Path("out")}).exitCode, 0);
  ASSERT_EQ(test::RunProgram("oggenc", {"-Q", "-o", Path("reference.ogg"), wav}).exitCode, 0);
  // Zero crossings per channel tell the tones apart, whatever the decoder's channel order.
  const auto crossings = [](const QString& ogg) {
    const QByteArray raw = test::RunProgram("sox", {ogg, "-t", "raw", "-e", "signed-integer", "-b", "16", "-"}).out;
    const auto* samples = reinterpret_cast<const qint16*>(raw.constData());
    std::vector<int> counts(kChannels);
    for (qsizetype i = kChannels; i < raw.size() / 2; ++i)
      if ((samples[i] < 0) != (samples[i - kChannels] < 0)) ++counts[size_t(i % kChannels)];
    return counts;
  };
  const std::vector<int> ours = crossings(Path("out/surround.ogg")), reference = crossings(Path("reference.ogg"));
  for (int c = 0; c < kChannels; ++c) EXPECT_NEAR(ours[size_t(c)], reference[size_t(c)], 20) << "channel " << c;
}

TEST_F(ConvertCommandTest, WavToOggAndBackThroughMp3AndToWma) {
  if (!test::HaveProgram("ogginfo")) GTEST_SKIP() << "ogginfo missing";
  ASSERT_TRUE(test::MakeWav(Path("a.wav"), 3.0, 32000, 1));
  auto result = Convert({"wav2ogg", Path("a.wav"), "--output", Path("out")});
  EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_TRUE(result.err.contains("Resampling(01/01)"));
  EXPECT_EQ(OutputFiles(), QStringList({"a.ogg"}));
  EXPECT_EQ(test::RunProgram("ogginfo", {Path("out/a.ogg")}).exitCode, 0);
  EXPECT_NEAR(test::ProbeDuration(Path("out/a.ogg")), 3.0, 0.1);

  ASSERT_TRUE(test::MakeWav(Path("b.wav"), 5.0));
  result = Convert({"wav2mp3", Path("b.wav"), "--output", Path("out")});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  // Decoded by several lame processes at once (one per processor by default), reported in order.
  ASSERT_TRUE(test::WriteBytes(Path("bad.mp3"), "not an MP3 file"));
  ASSERT_TRUE(QFile::copy(Path("out/b.mp3"), Path("c.mp3")));
  result = Convert({"mp3towav", Path("out/b.mp3"), Path("bad.mp3"), Path("c.mp3"), "--output", Path("dec")});
  EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
  EXPECT_TRUE(result.out.contains("done: " + Path("dec/b.wav").toUtf8() + "\nfailed: " + Path("dec/bad.wav").toUtf8() +
                                  "\ndone: " + Path("dec/c.wav").toUtf8()))
      << result.out.toStdString();
  EXPECT_EQ(QDir(Path("dec")).entryList(QDir::Files), QStringList({"b.wav", "c.wav"}));
  for (const char* wav : {"dec/b.wav", "dec/c.wav"}) {
    const auto sox = test::RunProgram("sox", {"--i", "-D", Path(wav)});
    EXPECT_NEAR(QString::fromUtf8(sox.out).trimmed().toDouble(), 5.0, 0.1) << wav;
  }

  // Step by step and several at once, WMA results take ReplayGain like the others.
  for (const char* processes : {"1", "2"}) {
    ASSERT_TRUE(test::WriteBytes(Path("home/options.ini"),
                                 QByteArray("[ReplayGain]\nMode=1\n[CommonOptions]\nEncoderProcesses=") + processes));
    result = Convert({"wav2wma", Path("b.wav"), "--output", Path("out"), "--yes"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(test::ProbeField(Path("out/b.wma"), "stream=codec_name").contains("wmav2"));
    EXPECT_NEAR(test::ProbeDuration(Path("out/b.wma")), 5.0, 0.1);
    EXPECT_TRUE(test::ProbeField(Path("out/b.wma"), "format_tags=REPLAYGAIN_TRACK_GAIN").contains(" dB")) << processes;
  }
}

TEST_F(ConvertCommandTest, ExistingOutputsFollowYesAndNo) {
  ASSERT_TRUE(test::MakeWav(Path("a.wav"), 1.0));
  for (const QString kind : {"mp3", "flac", "ogg"}) {
    const QString existing = Path("out/a." + kind);
    ASSERT_TRUE(test::WriteBytes(existing, "keep me"));
    auto result = Convert({"wav2" + kind, Path("a.wav"), "--output", Path("out"), "--no"});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_TRUE(result.out.contains("0 of 1 files done"));
    EXPECT_EQ(QFileInfo(existing).size(), 7) << kind.toStdString();
    // Without a terminal to ask on, nothing is replaced either.
    result = Convert({"wav2" + kind, Path("a.wav"), "--output", Path("out")});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_EQ(QFileInfo(existing).size(), 7) << kind.toStdString();
    result = Convert({"wav2" + kind, Path("a.wav"), "--output", Path("out"), "--yes"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_GT(QFileInfo(existing).size(), 7);
  }
}

// A source that is not there is named as missing, not as a file of the wrong kind.
TEST_F(ConvertCommandTest, AMissingSourceIsReportedAsMissing) {
  for (const char* kind : {"wav2mp3", "wav2flac"}) {
    const auto result = Convert({kind, Path("gone.wav"), "--output", Path("out")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(Path("gone.wav").toUtf8() + ": no such file")) << result.err.toStdString();
  }
}

// Sources of one base name from different folders get results of their own.
TEST_F(ConvertCommandTest, SourcesOfOneNameGetResultsOfTheirOwn) {
  ASSERT_TRUE(dir_.mkpath("x") && dir_.mkpath("y"));
  ASSERT_TRUE(test::MakeWav(Path("x/a.wav"), 1.0) && test::MakeWav(Path("y/a.wav"), 2.0));
  const auto result = Convert({"wav2flac", Path("x/a.wav"), Path("y/a.wav"), "--output", Path("out")});
  EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_NEAR(test::ProbeDuration(Path("out/a.flac")), 1.0, 0.05);
  EXPECT_NEAR(test::ProbeDuration(Path("out/a (2).flac")), 2.0, 0.05);
}

TEST_F(ConvertCommandTest, FailuresEndTheirItemAndTheJobGoesOn) {
  ASSERT_TRUE(test::MakeWav(Path("a.wav"), 1.0));
  ASSERT_TRUE(test::MakeWav(Path("b.wav"), 1.0));
  // a.mp3 cannot be written (a folder has the name; a read-only folder would not stop root).
  ASSERT_TRUE(dir_.mkpath("out/a.mp3"));
  QFile notWav(Path("c.wav"));
  ASSERT_TRUE(notWav.open(QIODevice::WriteOnly));
  notWav.write("not a wave file at all");
  notWav.close();
  const auto result = Convert({"wav2mp3", Path("a.wav"), Path("c.wav"), Path("b.wav"),
                               "--output", Path("out"), "--yes"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(result.out.contains("failed: " + Path("out/a.mp3").toUtf8()));
  EXPECT_TRUE(result.out.contains("failed: " + Path("out/c.mp3").toUtf8()));
  EXPECT_TRUE(result.out.contains("done: " + Path("out/b.mp3").toUtf8()));
  EXPECT_TRUE(result.out.contains("1 of 3 files done"));
  EXPECT_TRUE(result.err.contains("not a WAV file")) << result.err.toStdString();
}

TEST_F(ConvertCommandTest, MissingLameIsReportedForEveryItem) {
  ASSERT_TRUE(test::MakeWav(Path("a.wav"), 1.0));
  ASSERT_TRUE(test::MakeWav(Path("b.wav"), 1.0));
  const QByteArray oldPath = qgetenv("PATH");
  qputenv("PATH", Path("home").toUtf8());
  const auto result = Convert({"wav2mp3", Path("a.wav"), Path("b.wav"), "--output", Path("out")});
  qputenv("PATH", oldPath);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err.count("Can not find the MP3 encoder \"lame\""), 2) << result.err.toStdString();
  EXPECT_TRUE(result.out.contains("0 of 2 files done"));
}

TEST_F(ConvertCommandTest, AwkwardFileNamesReachTheEncoderIntact) {
  const QStringList names = {"-Don't \"quote\" me.wav", "$HOME `id`; rm -rf x.wav",
                             "Ünïcödé – ñame.wav", "-b.wav"};
  QStringList args = {"wav2wma"};
  for (const QString& name : names) {
    ASSERT_TRUE(test::MakeWav(Path(name), 1.0));
    args << Path(name);
  }
  args << "--output" << Path("out");
  auto result = Convert(args);
  EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
  args[0] = "wav2mp3";
  result = Convert(args);
  EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
  QStringList expected;
  for (QString name : names) {
    name.chop(4);
    expected << name + ".mp3" << name + ".wma";
  }
  expected.sort();
  EXPECT_EQ(OutputFiles(), expected);
}

// Processes whose command line mentions the folder (encoders left behind would).
int ProcessesMentioning(const QString& text) {
  int count = 0;
  for (const QString& entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile cmdline("/proc/" + entry + "/cmdline");
    if (entry.toLongLong() > 0 && cmdline.open(QIODevice::ReadOnly) &&
        cmdline.readAll().contains(text.toUtf8()) && test::ProcessAlive(entry.toLongLong()))
      ++count;
  }
  return count;
}

TEST_F(ConvertCommandTest, InterruptStopsTheJobAndLeavesNoEncoder) {
  ASSERT_TRUE(test::WriteBytes(Path("home/options.ini"), "[CommonOptions]\nEncoderProcesses=1\n"));
  ASSERT_TRUE(test::MakeWav(Path("long.wav"), 400.0));
  ASSERT_TRUE(test::MakeWav(Path("next.wav"), 1.0));
  QProcess trackmill;
  trackmill.start(test::TrackmillProgram(), {"convert", "wav2mp3", Path("long.wav"),
                                             Path("next.wav"), "--output", Path("out")});
  ASSERT_TRUE(trackmill.waitForStarted());
  ASSERT_TRUE(test::WaitUntil([&] { return !PartFiles(".long.mp3.*.part").isEmpty(); }));
  ::kill(static_cast<pid_t>(trackmill.processId()), SIGINT);
  ASSERT_TRUE(trackmill.waitForFinished(60000));
  EXPECT_EQ(trackmill.exitCode(), 130);
  const QByteArray out = trackmill.readAllStandardOutput();
  EXPECT_TRUE(out.contains("stopped: " + Path("out/long.mp3").toUtf8())) << out.toStdString();
  EXPECT_TRUE(out.contains("0 of 2 files done (stopped)")) << out.toStdString();
  EXPECT_EQ(OutputFiles() + PartFiles(), QStringList());  // nothing half-made, under any name
  EXPECT_EQ(ProcessesMentioning(Path("long.wav")), 0);
}

// Several encoders at once: results in item order, the questions first, and a stop leaves
// no half-written file under a final name.
TEST_F(ConvertCommandTest, ParallelEncodesKeepItemOrderAndNoPartialFiles) {
  ASSERT_TRUE(test::WriteBytes(Path("home/options.ini"), "[CommonOptions]\nEncoderProcesses=3\n"));
  ASSERT_TRUE(test::MakeWav(Path("a.wav"), 6.0));
  ASSERT_TRUE(test::WriteBytes(Path("b.wav"), "not a wave file"));
  ASSERT_TRUE(test::MakeWav(Path("c.wav"), 1.0));
  ASSERT_TRUE(test::WriteBytes(Path("d.wav"), "not one either"));
  const QStringList inputs = {Path("a.wav"), Path("b.wav"), Path("c.wav"), Path("d.wav")};
  auto result = Convert(QStringList{"wav2mp3"} + inputs + QStringList{"--output", Path("out")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(result.out.contains("done: " + Path("out/a.mp3").toUtf8() + "\nfailed: " +
                                  Path("out/b.mp3").toUtf8() + "\ndone: " + Path("out/c.mp3").toUtf8()))
      << result.out.toStdString();
  EXPECT_LT(result.err.indexOf("b.wav"), result.err.indexOf("d.wav")) << result.err.toStdString();
  EXPECT_EQ(OutputFiles(), QStringList({"a.mp3", "c.mp3"}));
  EXPECT_NEAR(test::ProbeDuration(Path("out/a.mp3")), 6.0, 0.1);

  // Declined before anything starts: nothing is encoded again.
  const QDateTime before = QFileInfo(Path("out/a.mp3")).lastModified();
  result = Convert({"wav2mp3", Path("a.wav"), Path("c.wav"), "--output", Path("out"), "--no"});
  EXPECT_TRUE(result.out.contains("0 of 2 files done")) << result.out.toStdString();
  EXPECT_EQ(QFileInfo(Path("out/a.mp3")).lastModified(), before);

  // long2 at a low rate: MP3 is stopped while it is being resampled.
  ASSERT_TRUE(test::MakeWav(Path("long.wav"), 400.0));
  ASSERT_TRUE(test::MakeWav(Path("long2.wav"), 1200.0, 22050, 1));
  for (const char* kind : {"wav2flac", "wav2mp3"}) {
    QProcess trackmill;
    trackmill.start(test::TrackmillProgram(), {"convert", kind, Path("long.wav"), Path("long2.wav"),
                                               Path("c.wav"), "--output", Path("out"), "--yes"});
    ASSERT_TRUE(trackmill.waitForStarted());
    ASSERT_TRUE(test::WaitUntil([&] {
      return !PartFiles(".long2.*.part").isEmpty();
    }));
    ::kill(static_cast<pid_t>(trackmill.processId()), SIGINT);
    ASSERT_TRUE(trackmill.waitForFinished(60000));
    EXPECT_EQ(trackmill.exitCode(), 130) << kind;
    EXPECT_EQ(QDir(Path("out")).entryList({"long*"}, QDir::Files) + PartFiles(), QStringList()) << kind;
    EXPECT_EQ(ProcessesMentioning(Path("long.wav")), 0) << kind;
  }
}

}  // namespace
}  // namespace trackmill
