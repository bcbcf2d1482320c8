#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>

#include "CoreTestSupport.h"
#include "audio/wav/WaveIn.h"
#include "audio/wav/WaveOut.h"
#include "support/TestPaths.h"
#include "tests/support/TestPaths.h"
#include "tests/audio/PcmMemoryInput.h"

namespace trackmill {
namespace {

using test::TMemoryIn;

quint32 U32At(const QByteArray& b, int offset) { return qFromLittleEndian<quint32>(b.constData() + offset); }
quint16 U16At(const QByteArray& b, int offset) { return qFromLittleEndian<quint16>(b.constData() + offset); }

class WaveOutTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Path(const QString& name) const { return dir_.filePath(name); }

  // Writes the input to a file; returns the worker's failure message (empty on success).
  QString Write(TAuInput& in, const QString& path, const std::function<void(TWaveOut&)>& configure = {}) {
    TWaveOut out;
    out.SetFileName(path);
    out.SetInput(&in);
    if (configure) configure(out);
    EXPECT_TRUE(test::RunUntilDone(out));
    return out.ExceptionMessage();
  }
  QTemporaryDir dir_;
};

QString Probe(const QString& path) {
  return QString::fromUtf8(test::ToolOutput(
      "ffprobe", {"-v", "error", "-show_entries", "stream=codec_name,channels,sample_rate", "-of", "csv=p=0", path})).trimmed();
}
qint64 SoxFrames(const QString& path) { return test::ToolOutput("sox", {"--i", "-s", path}).trimmed().toLongLong(); }
QByteArray SoxRaw(const QString& path, const QStringList& encoding = {}) {
  return test::ToolOutput("sox", QStringList{path, "-t", "raw"} + encoding + QStringList{"-"});
}

TEST_F(WaveOutTest, MonoThousandFramesGiveThe2044ByteFile) {
  TMemoryIn in(test::Tones16(1000, 1), 16, 1, 44100);
  const QString path = Path("mono.wav");
  ASSERT_EQ(Write(in, path), "");
  const QByteArray file = test::ReadBytes(path);
  ASSERT_EQ(file.size(), 2044);
  const QByteArray expected = QByteArray("RIFF") + QByteArray::fromHex("f4070000") + "WAVEfmt " +
                              QByteArray::fromHex("10000000" "0100" "0100" "44ac0000" "88580100" "0200" "1000") +
                              "data" + QByteArray::fromHex("d0070000");
  EXPECT_EQ(file.left(44).toHex(), expected.toHex());
  EXPECT_EQ(file.mid(44), test::Tones16(1000, 1));
  if (test::HaveProgram("sox")) { EXPECT_EQ(SoxFrames(path), 1000); }
}

TEST_F(WaveOutTest, ImaAdpcmHeaderNumbers) {
  TMemoryIn in(test::Tones16(1000, 1), 16, 1, 44100);
  const QString path = Path("ima.wav");
  ASSERT_EQ(Write(in, path, [](TWaveOut& out) { out.SetWavType(TWavType::wtDVIADPCM); }), "");
  const QByteArray file = test::ReadBytes(path);
  ASSERT_EQ(file.size(), 60 + 512);
  EXPECT_EQ(U32At(file, 4), 52u + 512u);
  EXPECT_EQ(U32At(file, 16), 20u);
  EXPECT_EQ(U16At(file, 20), 0x11);
  EXPECT_EQ(U32At(file, 28), 22016u);
  EXPECT_EQ(U16At(file, 32), 512);
  EXPECT_EQ(U16At(file, 34), 4);
  EXPECT_EQ(U16At(file, 38), 1017);
  EXPECT_EQ(file.mid(40, 8), QByteArray("fact\x04\0\0\0", 8));
  EXPECT_EQ(U32At(file, 48), 1000u);
  EXPECT_EQ(file.mid(52, 4), "data");
  EXPECT_EQ(U32At(file, 56), 512u);
}

TEST_F(WaveOutTest, StereoImaAdpcmBlocksHold505Frames) {
  TMemoryIn in(test::Tones16(2000, 2), 16, 2, 22050);
  const QString path = Path("ima2.wav");
  ASSERT_EQ(Write(in, path, [](TWaveOut& out) { out.SetWavType(TWavType::wtDVIADPCM); }), "");
  const QByteArray file = test::ReadBytes(path);
  EXPECT_EQ(U16At(file, 38), 505);
  EXPECT_EQ(U32At(file, 48), 2000u);
  EXPECT_EQ(U32At(file, 56), 4u * 512u);  // 2000 / 505 needs four blocks
  EXPECT_EQ(file.size(), 60 + 4 * 512);
}

TEST_F(WaveOutTest, PropertiesOutsideTheirRulesAreIgnored) {
  TWaveOut out;
  out.SetBlockSize(510);
  EXPECT_EQ(out.BlockSize(), 512);
  out.SetBlockSize(0);
  EXPECT_EQ(out.BlockSize(), 512);
  out.SetBlockSize(1024);
  EXPECT_EQ(out.BlockSize(), 1024);
  out.SetWavType(TWavType::wtMSADPCM);
  EXPECT_EQ(out.WavType(), TWavType::wtPCM);
}

// ---- read back by the peer tools ----------------------------------------------------------

struct PeerCase {
  const char* name;
  int channels;
  int bits;
  bool adpcm;
  bool extensible;
  const char* codec;  // as ffprobe names it
};

class WaveOutPeer : public WaveOutTest, public ::testing::WithParamInterface<PeerCase> {};

QByteArray Convert16To(const QByteArray& pcm16, int bits) {
  QByteArray out;
  for (qsizetype i = 0; i + 1 < pcm16.size(); i += 2) {
    const qint16 s = qFromLittleEndian<qint16>(pcm16.constData() + i);
    if (bits == 8) out.append(char(quint8((s >> 8) + 128)));
    if (bits == 24) out.append(char(0)).append(char(s & 0xFF)).append(char((s >> 8) & 0xFF));
    if (bits == 32) out.append(char(0)).append(char(0)).append(char(s & 0xFF)).append(char((s >> 8) & 0xFF));
    if (bits == 16) out.append(pcm16.constData() + i, 2);
  }
  return out;
}

TEST_P(WaveOutPeer, SoxAndFfprobeReadTheFile) {
  if (!test::HaveProgram("sox") || !test::HaveProgram("ffprobe")) GTEST_SKIP() << "sox or ffprobe missing";
  const PeerCase& c = GetParam();
  const int frames = 30011;
  const QByteArray pcm = Convert16To(test::Tones16(frames, c.channels), c.bits);
  TMemoryIn in(pcm, c.bits, c.channels, 32000);
  const QString path = Path(QString(c.name) + ".wav");
  ASSERT_EQ(Write(in, path, [&](TWaveOut& out) {
              if (c.adpcm) out.SetWavType(TWavType::wtDVIADPCM);
              out.SetCreateNonMsHeaders(!c.extensible);
            }),
            "");
  const QByteArray file = test::ReadBytes(path);
  EXPECT_EQ(U16At(file, 20), c.adpcm ? 0x11 : (c.extensible ? 0xFFFE : 1));
  EXPECT_EQ(Probe(path), QString("%1,32000,%2").arg(c.codec).arg(c.channels));
  if (c.adpcm) {
    // sox decodes whole blocks; the frames we announced match our own reading, and sox's
    // decoding of them matches ours.
    TWaveIn back;
    back.SetFileName(path);
    const QByteArray ours = test::DrainInput(back);
    ASSERT_EQ(ours.size(), pcm.size());
    const QByteArray theirs = SoxRaw(path, {"-e", "signed", "-b", "16"});
    ASSERT_GE(theirs.size(), ours.size());
    EXPECT_EQ(theirs.left(ours.size()), ours);
    // And it is close to what went in (ADPCM is lossy).
    double error = 0, signal = 0;
    for (qsizetype i = 0; i + 1 < pcm.size(); i += 2) {
      const double a = qFromLittleEndian<qint16>(pcm.constData() + i);
      const double b = qFromLittleEndian<qint16>(ours.constData() + i);
      signal += a * a;
      error += (a - b) * (a - b);
    }
    EXPECT_GT(10 * std::log10(signal / error), 20.0);
  } else {
    EXPECT_EQ(SoxFrames(path), frames);
    EXPECT_EQ(SoxRaw(path), pcm);
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, WaveOutPeer,
                         ::testing::Values(PeerCase{"pcm8", 1, 8, false, false, "pcm_u8"},
                                           PeerCase{"pcm16", 2, 16, false, false, "pcm_s16le"},
                                           PeerCase{"pcm24", 2, 24, false, false, "pcm_s24le"},
                                           PeerCase{"ext24", 2, 24, false, true, "pcm_s24le"},
                                           PeerCase{"ext6ch", 6, 16, false, true, "pcm_s16le"},
                                           PeerCase{"ext32", 3, 32, false, true, "pcm_s32le"},
                                           PeerCase{"imamono", 1, 16, true, false, "adpcm_ima_wav"},
                                           PeerCase{"imastereo", 2, 16, true, false, "adpcm_ima_wav"}),
                         [](const ::testing::TestParamInfo<PeerCase>& info) { return std::string(info.param.name); });

// ---- header correction ---------------------------------------------------------------------

TEST_F(WaveOutTest, UnknownSizeIsCorrectedOnFinish) {
  for (const bool adpcm : {false, true}) {
    TMemoryIn in(test::Tones16(5000, 2), 16, 2, 44100);
    in.announceSize = false;
    const QString path = Path(adpcm ? "unknown-ima.wav" : "unknown.wav");
    ASSERT_EQ(Write(in, path, [adpcm](TWaveOut& out) { if (adpcm) out.SetWavType(TWavType::wtDVIADPCM); }), "");
    const QByteArray file = test::ReadBytes(path);
    EXPECT_EQ(U32At(file, 4), quint32(file.size() - 8));
    if (adpcm) {
      EXPECT_EQ(U32At(file, 56), quint32(file.size() - 60));
      EXPECT_EQ(U32At(file, 48), 5000u);
    } else {
      EXPECT_EQ(U32At(file, 40), 20000u);
      EXPECT_EQ(file.size(), 20044);
    }
  }
}

TEST_F(WaveOutTest, ShortInputIsPaddedToTheAnnouncedSize) {
  TMemoryIn in(test::Tones16(1000, 1), 16, 1, 44100);
  in.announcedBytes = 3000;
  const QString path = Path("padded.wav");
  ASSERT_EQ(Write(in, path), "");
  const QByteArray file = test::ReadBytes(path);
  ASSERT_EQ(file.size(), 3044);
  EXPECT_EQ(U32At(file, 40), 3000u);
  EXPECT_EQ(file.mid(2044), QByteArray(1000, '\0'));
}

TEST_F(WaveOutTest, EarlyStopLeavesTheRealLengthInTheHeader) {
  TMemoryIn in(test::Tones16(200000, 2), 16, 2, 44100);
  in.pieceBytes = 1000;
  const QString path = Path("stopped.wav");
  TWaveOut out;
  out.SetFileName(path);
  out.SetInput(&in);
  out.SetDelay(10);
  bool done = false;
  out.SetOnDone([&](TAuOutput*) { done = true; });
  out.SetOnProgress([](TAuOutput* sender) {
    if (sender->Progress() >= 1) sender->Stop(false);
  });
  out.Run();
  ASSERT_TRUE(test::WaitFor([&] { return !out.Busy(); }));
  EXPECT_FALSE(done);
  const QByteArray file = test::ReadBytes(path);
  ASSERT_GT(file.size(), 44);
  EXPECT_LT(file.size(), 800044);
  EXPECT_EQ(U32At(file, 40), quint32(file.size() - 44));
  EXPECT_EQ(U32At(file, 4), quint32(file.size() - 8));
  if (test::HaveProgram("sox")) { EXPECT_EQ(SoxFrames(path), (file.size() - 44) / 4); }
}

// ---- append --------------------------------------------------------------------------------

TEST_F(WaveOutTest, AppendingTheSameFormatAddsAtTheEnd) {
  const QString path = Path("append.wav");
  TMemoryIn first(test::Tones16(3000, 2), 16, 2, 44100);
  ASSERT_EQ(Write(first, path), "");
  const QByteArray before = test::ReadBytes(path);
  TMemoryIn second(test::Tones16(1000, 2), 16, 2, 44100);
  ASSERT_EQ(Write(second, path, [](TWaveOut& out) { out.SetFileMode(TFileOutputMode::foAppend); }), "");
  const QByteArray after = test::ReadBytes(path);
  ASSERT_EQ(after.size(), before.size() + 4000);
  EXPECT_EQ(U32At(after, 40), 16000u);
  EXPECT_EQ(U32At(after, 4), quint32(after.size() - 8));
  // Only the two size fields changed in the old part.
  QByteArray oldPart = after.left(before.size());
  oldPart.replace(4, 4, before.mid(4, 4)).replace(40, 4, before.mid(40, 4));
  EXPECT_EQ(oldPart, before);
  EXPECT_EQ(after.mid(before.size()), test::Tones16(1000, 2));
  if (test::HaveProgram("sox")) { EXPECT_EQ(SoxFrames(path), 4000); }
}

TEST_F(WaveOutTest, AppendingImaAdpcmKeepsTheFrameCountRight) {
  const QString path = Path("append-ima.wav");
  const auto adpcm = [](TWaveOut& out) {
    out.SetWavType(TWavType::wtDVIADPCM);
    out.SetFileMode(TFileOutputMode::foAppend);
  };
  TMemoryIn first(test::Tones16(1500, 1), 16, 1, 22050);
  ASSERT_EQ(Write(first, path, adpcm), "");
  TMemoryIn second(test::Tones16(700, 1), 16, 1, 22050);
  ASSERT_EQ(Write(second, path, adpcm), "");
  const QByteArray file = test::ReadBytes(path);
  ASSERT_EQ(file.size(), 60 + 3 * 512);
  EXPECT_EQ(U32At(file, 56), 3u * 512u);
  // The first part's padded block counts whole; the appended frames count exactly.
  EXPECT_EQ(U32At(file, 48), 2u * 1017u + 700u);
  if (test::HaveProgram("ffprobe")) { EXPECT_EQ(Probe(path), "adpcm_ima_wav,22050,1"); }
}

struct RefusedAppend {
  const char* name;
  std::function<void(const QString& path)> makeExisting;
  int bits, channels, rate;
  const char* message;
  TFileOutputMode mode = TFileOutputMode::foAppend;
};

class WaveOutRefusedAppend : public WaveOutTest, public ::testing::WithParamInterface<RefusedAppend> {};

TEST_P(WaveOutRefusedAppend, FailsAndLeavesTheFileAsItWas) {
  const RefusedAppend& c = GetParam();
  const QString path = Path("existing.wav");
  c.makeExisting(path);
  const QByteArray before = test::ReadBytes(path);
  ASSERT_FALSE(before.isEmpty());
  QByteArray pcm = test::Tones16(500, c.channels);
  if (c.bits == 8) pcm.truncate(pcm.size() / 2);
  TMemoryIn in(pcm, c.bits, c.channels, c.rate);
  const QString failure = Write(in, path, [&c](TWaveOut& out) {
    out.SetWavType(TWavType::wtDVIADPCM);
    out.SetFileMode(c.mode);
  });
  EXPECT_EQ(failure, c.message);
  EXPECT_EQ(test::ReadBytes(path), before);
  EXPECT_FALSE(in.Busy());
}

void WritePcm(const QString& path, int rate) {
  TMemoryIn in(test::Tones16(800, 1), 16, 1, rate);
  TWaveOut out;
  out.SetFileName(path);
  out.SetInput(&in);
  test::RunUntilDone(out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WaveOutRefusedAppend,
    ::testing::Values(
        RefusedAppend{"OtherRate", [](const QString& p) { WritePcm(p, 44100); }, 16, 1, 22050,
                      "Cannot append data in different audio format."},
        RefusedAppend{"OtherChannels", [](const QString& p) { WritePcm(p, 44100); }, 16, 2, 44100,
                      "Cannot append data in different audio format."},
        RefusedAppend{"ExtensibleFile",
                      [](const QString& p) {
                        test::RunTool("sox", {"-n", "-r", "44100", "-c", "3", "-b", "24", p, "synth", "0.1", "sine", "440"});
                      },
                      16, 3, 44100, "Cannot append data to this .wav file."},
        RefusedAppend{"NotAWavFile",
                      [](const QString& p) {
                        QFile f(p);
                        f.open(QIODevice::WriteOnly);
                        f.write(QByteArray(10000, 'z'));
                      },
                      16, 1, 44100, "Cannot append data to this .wav file."},
        RefusedAppend{"EightBitIntoAdpcm",
                      [](const QString& p) {
                        QFile f(p);
                        f.open(QIODevice::WriteOnly);
                        f.write("keep me");
                      },
                      8, 1, 44100, "Cannot encode 8 bit sound into ADPCM.", TFileOutputMode::foRewrite}),
    [](const ::testing::TestParamInfo<RefusedAppend>& info) { return std::string(info.param.name); });

TEST_F(WaveOutTest, MissingFileNameFailsInTheRun) {
  TMemoryIn in(test::Tones16(10, 1), 16, 1, 8000);
  EXPECT_EQ(Write(in, QString()), "File name is not assigned.");
}

}  // namespace
}  // namespace trackmill
