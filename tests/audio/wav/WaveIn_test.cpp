#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <cstring>

#include "CoreTestSupport.h"
#include "audio/core/AuException.h"
#include "audio/wav/WaveIn.h"
#include "support/TestPaths.h"
#include "tests/support/TestPaths.h"
#include "tests/audio/PcmMemoryInput.h"

namespace trackmill {
namespace {

// ---- files made by sox and ffmpeg ----------------------------------------------------------

enum class Compare { Exact, ExactForSourceLength, WithinOne, Float32, Float64 };

struct PeerCase {
  const char* name;
  QStringList soxArgs;     // how sox makes the file from the 16-bit stereo source
  QStringList decodeArgs;  // how sox decodes it to raw for the reference
  Compare compare;
  TWavType type;
  int channels;
  int bits;  // what TWaveIn delivers
};

class WaveInPeer : public ::testing::TestWithParam<PeerCase> {
 protected:
  void SetUp() override {
    if (!test::HaveProgram("sox")) GTEST_SKIP() << "sox is not installed";
    ASSERT_TRUE(dir_.isValid());
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QTemporaryDir dir_;
};

QVector<qint64> Samples(const QByteArray& raw, int bits) {
  QVector<qint64> out;
  const int width = bits / 8;
  for (qsizetype i = 0; i + width <= raw.size(); i += width) {
    const auto* p = reinterpret_cast<const uchar*>(raw.constData() + i);
    switch (bits) {
      case 8: out.push_back(p[0]); break;
      case 16: out.push_back(qFromLittleEndian<qint16>(p)); break;
      case 24: out.push_back(qint32(quint32(p[0]) << 8 | quint32(p[1]) << 16 | quint32(p[2]) << 24) >> 8); break;
      default: out.push_back(qFromLittleEndian<qint32>(p)); break;
    }
  }
  return out;
}

// The documented float rule, applied to the values sox reads from the file.
qint64 FloatRule(double x) {
  if (x >= 1.0) return 2147483647;
  if (x <= -1.0) return -2147483648LL;
  return static_cast<qint64>(std::floor(x * 2147483647.0));
}

TEST_P(WaveInPeer, ReadsWhatSoxDecodes) {
  const PeerCase& c = GetParam();
  const QString source = Path("source.wav");
  // 1.3 s: not a whole number of ADPCM blocks.
  ASSERT_TRUE(test::RunTool("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16", source, "synth", "1.3", "sine",
                                    "440", "sine", "1234", "gain", "-3"}));
  const QString file = Path(QString(c.name) + ".wav");
  QStringList make = c.soxArgs;
  make.replaceInStrings("SRC", source);
  make << file;
  ASSERT_TRUE(test::RunTool("sox", make)) << c.name;
  const QString raw = Path(QString(c.name) + ".raw");
  ASSERT_TRUE(test::RunTool("sox", QStringList{file, "-t", "raw"} + c.decodeArgs + QStringList{raw}));

  TWaveIn in;
  in.SetFileName(file);
  EXPECT_EQ(in.GetChannels(), c.channels);
  EXPECT_EQ(in.GetBitsPerSample(), c.bits);
  EXPECT_EQ(in.WavType(), c.type);
  const QByteArray ours = test::DrainInput(in);
  const QByteArray reference = test::ReadBytes(raw);
  ASSERT_FALSE(ours.isEmpty());

  const QVector<qint64> got = Samples(ours, c.bits);
  switch (c.compare) {
    case Compare::Exact:
      EXPECT_EQ(got, Samples(reference, c.bits));
      break;
    case Compare::ExactForSourceLength:
    case Compare::WithinOne: {
      // sox pads the last block; ours ends at the frame count the "fact" chunk names.
      const QVector<qint64> want = Samples(reference, 16);
      EXPECT_EQ(got.size(), qsizetype(57330) * c.channels);
      ASSERT_LE(got.size(), want.size());
      const int tolerance = c.compare == Compare::WithinOne ? 1 : 0;
      for (qsizetype i = 0; i < got.size(); ++i) ASSERT_NEAR(got[i], want[i], tolerance) << "sample " << i;
      break;
    }
    case Compare::Float32:
    case Compare::Float64: {
      const int width = c.compare == Compare::Float32 ? 4 : 8;
      ASSERT_EQ(got.size(), reference.size() / width);
      for (qsizetype i = 0; i < got.size(); ++i) {
        double x;
        if (width == 4) {
          float f;
          std::memcpy(&f, reference.constData() + 4 * i, 4);
          x = f;
        } else {
          std::memcpy(&x, reference.constData() + 8 * i, 8);
        }
        ASSERT_EQ(got[i], FloatRule(x)) << "sample " << i;
      }
      break;
    }
  }
}

const QStringList kRaw16 = {"-e", "signed", "-b", "16"};

INSTANTIATE_TEST_SUITE_P(
    Formats, WaveInPeer,
    ::testing::Values(
        PeerCase{"pcm8", {"SRC", "-e", "unsigned", "-b", "8"}, {}, Compare::Exact, TWavType::wtPCM, 2, 8},
        PeerCase{"pcm16", {"SRC", "-b", "16"}, {}, Compare::Exact, TWavType::wtPCM, 2, 16},
        PeerCase{"pcm24", {"SRC", "-b", "24"}, {}, Compare::Exact, TWavType::wtExtPCM, 2, 24},
        PeerCase{"pcm32", {"SRC", "-e", "signed", "-b", "32"}, {}, Compare::Exact, TWavType::wtExtPCM, 2, 32},
        PeerCase{"float32", {"SRC", "-e", "floating-point", "-b", "32"}, {"-e", "floating-point", "-b", "32"},
                 Compare::Float32, TWavType::wtIEEEFloat, 2, 32},
        PeerCase{"float64", {"SRC", "-e", "floating-point", "-b", "64"}, {"-e", "floating-point", "-b", "64"},
                 Compare::Float64, TWavType::wtIEEEFloat, 2, 32},
        PeerCase{"ima", {"SRC", "-e", "ima-adpcm"}, kRaw16, Compare::WithinOne, TWavType::wtDVIADPCM, 2, 16},
        PeerCase{"imamono", {"SRC", "-e", "ima-adpcm", "-c", "1"}, kRaw16, Compare::WithinOne, TWavType::wtDVIADPCM, 1, 16},
        PeerCase{"msadpcm", {"SRC", "-e", "ms-adpcm"}, kRaw16, Compare::ExactForSourceLength, TWavType::wtMSADPCM, 2, 16},
        PeerCase{"msadpcmmono", {"SRC", "-e", "ms-adpcm", "-c", "1"}, kRaw16, Compare::ExactForSourceLength, TWavType::wtMSADPCM, 1, 16},
        PeerCase{"ext6ch24", {"SRC", "-b", "24", "-c", "6"}, {}, Compare::Exact, TWavType::wtExtPCM, 6, 24},
        PeerCase{"float4ch", {"SRC", "-e", "floating-point", "-b", "32", "-c", "4"},
                 {"-e", "floating-point", "-b", "32"}, Compare::Float32, TWavType::wtIEEEFloat, 4, 32}),
    [](const ::testing::TestParamInfo<PeerCase>& info) { return std::string(info.param.name); });

// ffmpeg writes extensible headers for float data of more than two channels.
TEST(WaveInExtensibleFloat, ReadsWhatSoxDecodes) {
  if (!test::HaveProgram("sox") || !test::HaveProgram("ffmpeg")) GTEST_SKIP() << "sox or ffmpeg missing";
  QTemporaryDir dir;
  const QString source = dir.filePath("source.wav");
  const QString file = dir.filePath("extfloat.wav");
  const QString raw = dir.filePath("extfloat.raw");
  ASSERT_TRUE(test::RunTool("sox", {"-n", "-r", "48000", "-c", "4", "-b", "16", source, "synth", "0.7", "sine", "300",
                                    "sine", "500", "sine", "700", "sine", "900"}));
  ASSERT_TRUE(test::RunTool("ffmpeg", {"-v", "error", "-y", "-i", source, "-c:a", "pcm_f32le", file}));
  ASSERT_TRUE(test::RunTool("sox", {file, "-t", "raw", "-e", "floating-point", "-b", "32", raw}));
  TWaveIn in;
  in.SetFileName(file);
  EXPECT_EQ(in.WavType(), TWavType::wtExtIEEEFloat);
  EXPECT_EQ(in.GetChannels(), 4);
  const QVector<qint64> got = Samples(test::DrainInput(in), 32);
  const QByteArray reference = test::ReadBytes(raw);
  ASSERT_EQ(got.size(), reference.size() / 4);
  for (qsizetype i = 0; i < got.size(); ++i) {
    float f;
    std::memcpy(&f, reference.constData() + 4 * i, 4);
    ASSERT_EQ(got[i], FloatRule(f)) << "sample " << i;
  }
}

// MPEG Layer-3 inside WAV, made by ffmpeg: same length as ffmpeg's own decoding of it and
// closely following the source.
TEST(WaveInMpegLayer3, DecodesTheWholeFileToSixteenBitPcm) {
  if (!test::HaveProgram("sox") || !test::HaveProgram("ffmpeg")) GTEST_SKIP() << "sox or ffmpeg missing";
  QTemporaryDir dir;
  const QString source = dir.filePath("source.wav");
  const QString mp3 = dir.filePath("mp3.wav");
  ASSERT_TRUE(test::RunTool("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16", source, "synth", "2", "sine", "440",
                                    "sine", "660", "gain", "-6"}));
  ASSERT_TRUE(test::RunTool("ffmpeg", {"-v", "error", "-y", "-i", source, "-c:a", "libmp3lame", "-b:a", "192k", "-f",
                                       "wav", mp3}));
  const QByteArray peer = test::ToolOutput("ffmpeg", {"-v", "error", "-i", mp3, "-f", "s16le", "-"});

  TWaveIn in;
  in.SetFileName(mp3);
  ASSERT_TRUE(in.Valid());
  EXPECT_EQ(in.WavType(), TWavType::wtACM);
  EXPECT_EQ(in.GetChannels(), 2);
  EXPECT_EQ(in.GetSampleRate(), 44100);
  EXPECT_EQ(in.GetBitsPerSample(), 16);
  const QByteArray ours = test::DrainInput(in);
  const QVector<qint64> a = Samples(ours, 16);
  const QVector<qint64> b = Samples(peer, 16);
  // Decoders differ by the encoder delay they trim; allow one MPEG frame of difference and
  // correlate at the best lag within it.
  ASSERT_NEAR(double(a.size()), double(b.size()), 2 * 1152 * 2 + 2);
  double best = 0;
  for (int lag = -2400; lag <= 2400; lag += 2) {
    double ab = 0, aa = 0, bb = 0;
    for (qsizetype i = 20000; i < 120000; ++i) {
      const qsizetype j = i + lag;
      if (j < 0 || j >= b.size() || i >= a.size()) continue;
      ab += double(a[i]) * double(b[j]);
      aa += double(a[i]) * double(a[i]);
      bb += double(b[j]) * double(b[j]);
    }
    if (aa > 0 && bb > 0) best = std::max(best, ab / std::sqrt(aa * bb));
  }
  EXPECT_GT(best, 0.99);
}

}  // namespace
}  // namespace trackmill
