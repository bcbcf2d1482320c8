#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <numbers>
#include <vector>

#include "audio/core/AuException.h"
#include "audio/codecs/VorbisIn.h"
#include "audio/codecs/VorbisOut.h"
#include "tests/audio/PcmMemoryInput.h"
#include "tests/audio/RunOutput.h"
#include "tags/CommonTags.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

using test::DrainInput;
using test::HaveProgram;
using test::Pcm16;
using test::PcmMemoryInput;
using test::RunOutputToEnd;
using test::RunProgram;

QByteArray Tone(int frames, int rate) {
  std::vector<std::int16_t> s;
  for (int i = 0; i < frames; ++i) {
    s.push_back(std::int16_t(9000 * std::sin(2 * std::numbers::pi * 440 * i / rate)));
    s.push_back(std::int16_t(6000 * std::sin(2 * std::numbers::pi * 660 * i / rate)));
  }
  return Pcm16(s);
}

class VorbisFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveProgram("ogginfo") || !HaveProgram("vorbiscomment") || !HaveProgram("oggenc") ||
        !HaveProgram("oggdec") || !HaveProgram("sox"))
      GTEST_SKIP() << "vorbis-tools and sox are needed";
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }

  // Encodes frames of the test tone with the output's current settings.
  QString Encode(TVorbisOut& out, const QString& name, int frames) {
    PcmMemoryInput input(Tone(frames, 44100), 16, 2, 44100);
    out.SetInput(&input);
    out.SetFileName(Path(name));
    const QString failure = RunOutputToEnd(out);
    out.SetInput(nullptr);
    return failure;
  }

  // ogginfo's verdict: empty when it accepts the file without warnings.
  static QString OgginfoComplaints(const QString& path) {
    const test::ProcessResult r = RunProgram("ogginfo", {path});
    const QString text = QString::fromUtf8(r.out + r.err);
    if (r.exitCode != 0 || text.contains("WARNING", Qt::CaseInsensitive) || text.contains("error", Qt::CaseInsensitive))
      return text.isEmpty() ? QStringLiteral("exit %1").arg(r.exitCode) : text;
    return {};
  }

  QTemporaryDir dir_;
};

TEST_F(VorbisFiles, WrittenFilePassesOgginfoAndCarriesTheComments) {
  TVorbisOut out;
  out.Comments().SetArtist(QStringLiteral("Zoë & Ñandú"));
  out.Comments().SetTitle(QStringLiteral("Song = One"));
  out.Comments().SetAlbum(QString());  // empty values are not written
  ASSERT_EQ(Encode(out, "tone.ogg", 44100 * 2), QString());
  EXPECT_EQ(OgginfoComplaints(Path("tone.ogg")).toStdString(), "");

  const test::ProcessResult listed = RunProgram("vorbiscomment", {"-l", Path("tone.ogg")});
  const QString comments = QString::fromUtf8(listed.out);
  EXPECT_TRUE(comments.contains(QStringLiteral("artist=Zoë & Ñandú"))) << comments.toStdString();
  EXPECT_TRUE(comments.contains(QStringLiteral("title=Song = One"))) << comments.toStdString();
  EXPECT_FALSE(comments.contains(QStringLiteral("album="))) << comments.toStdString();
  // Comments belong to one run.
  EXPECT_TRUE(out.Comments().Artist().isEmpty());

  TVorbisIn in;
  in.SetFileName(Path("tone.ogg"));
  EXPECT_EQ(in.Comments().Artist(), QStringLiteral("Zoë & Ñandú"));
  EXPECT_EQ(in.Comments().Title(), QStringLiteral("Song = One"));
  EXPECT_EQ(in.CommonTags().Artist(), QStringLiteral("Zoë & Ñandú"));
  EXPECT_EQ(in.GetChannels(), 2);
  EXPECT_EQ(in.GetSampleRate(), 44100);
  EXPECT_EQ(in.GetBitsPerSample(), 16);
  EXPECT_EQ(DrainInput(in).size(), 44100 * 2 * 4);  // every frame comes back
}

TEST_F(VorbisFiles, ManagedBitRatesReachTheStreamHeader) {
  TVorbisOut out;
  out.SetDesiredNominalBitrate(TVorbisBitRate::bitrate128);
  out.SetDesiredMaximumBitrate(TVorbisBitRate::brAutoSelect);
  ASSERT_EQ(Encode(out, "managed.ogg", 44100), QString());
  EXPECT_EQ(OgginfoComplaints(Path("managed.ogg")).toStdString(), "");
  TVorbisIn in;
  in.SetFileName(Path("managed.ogg"));
  ASSERT_TRUE(in.Valid());
  EXPECT_EQ(in.BitRateNominal(), 128000);
  EXPECT_EQ(in.BitRateLower(), 128000);
  EXPECT_EQ(in.BitRateUpper(), -1);
}

TEST_F(VorbisFiles, ImpossibleBitRateFailsTheRunWithTheLibraryMessage) {
  TVorbisOut out;
  out.SetDesiredNominalBitrate(TVorbisBitRate::bitrate499);
  out.SetMinimumBitrate(TVorbisBitRate::bitrate499);
  PcmMemoryInput input(Tone(1000, 8000), 16, 1, 8000);  // far too much for 8 kHz mono
  out.SetInput(&input);
  out.SetFileName(Path("refused.ogg"));
  EXPECT_EQ(RunOutputToEnd(out),
            QStringLiteral("Vorbis codec setup with the requested bitrate failed. Try a lower bitrate."));
  EXPECT_FALSE(out.Busy());
}

TEST_F(VorbisFiles, EmptyInputGivesAValidEmptyStream) {
  TVorbisOut out;
  ASSERT_EQ(Encode(out, "empty.ogg", 0), QString());
  // The stream is complete (headers, then the last page); like the reference encoder's empty
  // stream, its only audio page has granule position 0, which ogginfo remarks on.
  const QByteArray info = RunProgram("ogginfo", {Path("empty.ogg")}).out;
  EXPECT_TRUE(info.contains("Logical stream 1 ended")) << info.toStdString();
  EXPECT_FALSE(info.contains("WARNING")) << info.toStdString();
  TVorbisIn in;
  in.SetFileName(Path("empty.ogg"));
  EXPECT_TRUE(in.Valid());
  EXPECT_TRUE(DrainInput(in).isEmpty());
}

TEST_F(VorbisFiles, AppendAddsASecondLogicalStream) {
  TVorbisOut out;
  out.SetSerial(1);
  ASSERT_EQ(Encode(out, "chain.ogg", 22050), QString());
  out.SetFileMode(TFileOutputMode::foAppend);
  out.SetSerial(2);
  ASSERT_EQ(Encode(out, "chain.ogg", 11025), QString());
  EXPECT_EQ(OgginfoComplaints(Path("chain.ogg")).toStdString(), "");
  TVorbisIn in;
  in.SetFileName(Path("chain.ogg"));
  // Both links come back, the first one too.
  EXPECT_EQ(DrainInput(in).size(), (22050 + 11025) * 4);
}

TEST_F(VorbisFiles, DecodesLikeTheReferenceDecoderAndSeeks) {
  const QString wav = Path("ref.wav"), ogg = Path("ref.ogg"), raw = Path("ref.raw");
  ASSERT_EQ(RunProgram("sox", {"-r", "44100", "-c", "2", "-n", "-b", "16", wav, "synth", "1000000s", "sine",
                               "440", "sine", "1250", "vol", "0.5"}).exitCode, 0);
  ASSERT_EQ(RunProgram("oggenc", {"-Q", "-q", "2", "-o", ogg, wav}).exitCode, 0);
  ASSERT_EQ(RunProgram("oggdec", {"-Q", "-R", "-o", raw, ogg}).exitCode, 0);
  const QByteArray reference = test::ReadBytes(raw);
  ASSERT_EQ(reference.size(), 4000000);

  TVorbisIn in;
  in.SetFileName(ogg);
  in.Init();
  EXPECT_EQ(in.Size(), 4000000);
  in.Flush();
  EXPECT_TRUE(DrainInput(in) == reference);

  in.SetStartSample(500000);
  in.SetEndSample(500999);
  const QByteArray range = DrainInput(in);
  EXPECT_TRUE(range == reference.mid(500000 * 4, 1000 * 4));
  EXPECT_EQ(in.StartSample(), 0);
  EXPECT_EQ(in.EndSample(), -1);
}

TEST_F(VorbisFiles, FilesThatAreNotOggVorbisAreInvalid) {
  TVorbisIn in;
  in.SetFileName(Path("missing.ogg"));
  EXPECT_FALSE(in.Valid());
  EXPECT_THROW(in.Init(), EAuException);
  in.Reset();

  QFile junk(Path("junk.ogg"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write(QByteArray(5000, 'x'));
  junk.close();
  in.SetFileName(junk.fileName());
  EXPECT_FALSE(in.Valid());
  try {
    in.Init();
    ADD_FAILURE() << "opened a file of junk";
  } catch (const EAuException& e) {
    EXPECT_TRUE(e.Message().startsWith("Failed to open an ogg file: ")) << e.what();
  }
}

// 3 KB of a 20 s file overwritten in the middle: the pages around it decode, the damage is
// counted, and an intact file counts none.
TEST_F(VorbisFiles, DecodingSkipsDamagedPagesAndCountsThem) {
  TVorbisOut out;
  const int frames = 44100 * 20;
  ASSERT_EQ(Encode(out, "long.ogg", frames), QString());
  QByteArray bytes = test::ReadBytes(Path("long.ogg"));
  TVorbisIn intact;
  intact.SetFileName(Path("long.ogg"));
  ASSERT_EQ(DrainInput(intact).size(), qsizetype(frames) * 4);
  EXPECT_EQ(intact.DamagedSpots(), 0);

  for (qsizetype i = bytes.size() / 2; i < bytes.size() / 2 + 3000; ++i) bytes[i] = char(i * 131 + 7);
  ASSERT_TRUE(test::WriteBytes(Path("damaged.oga"), bytes));
  TVorbisIn damaged;
  damaged.SetFileName(Path("damaged.oga"));
  ASSERT_TRUE(damaged.Valid());
  const qsizetype decoded = DrainInput(damaged).size() / 4;
  // As much as the reference decoder makes of it, give or take a page.
  ASSERT_EQ(RunProgram("oggdec", {"-Q", "-R", "-o", Path("reference.raw"), Path("damaged.oga")}).exitCode, 0);
  const qsizetype reference = test::ReadBytes(Path("reference.raw")).size() / 4;
  EXPECT_GT(reference, frames * 8 / 10);
  EXPECT_NEAR(double(decoded), double(reference), 44100 * 0.5);
  EXPECT_LT(decoded, frames);
  EXPECT_GT(damaged.DamagedSpots(), 0);
}

}  // namespace
}  // namespace trackmill
