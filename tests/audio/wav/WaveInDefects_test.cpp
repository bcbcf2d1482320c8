#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstring>
#include <functional>

#include "CoreTestSupport.h"
#include "audio/core/AuConverter.h"
#include "audio/core/AuException.h"
#include "audio/wav/WaveIn.h"
#include "tests/audio/PcmMemoryInput.h"

// WAV files built byte by byte: the defects and oddities a reader meets, read through a
// supplied in-memory stream.
namespace trackmill {
namespace {

QByteArray Le16(int v) {
  QByteArray b(2, '\0');
  qToLittleEndian<quint16>(quint16(v), b.data());
  return b;
}
QByteArray Le32(quint32 v) {
  QByteArray b(4, '\0');
  qToLittleEndian<quint32>(v, b.data());
  return b;
}
QByteArray Chunk(const char* id, const QByteArray& body) { return QByteArray(id, 4) + Le32(quint32(body.size())) + body; }
QByteArray Fmt(int tag, int channels, quint32 rate, int blockAlign, int bits, const QByteArray& extra = {}) {
  return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * blockAlign) + Le16(blockAlign) + Le16(bits) + extra;
}
QByteArray Riff(const QByteArray& chunks) { return "RIFF" + Le32(quint32(chunks.size() + 4)) + "WAVE" + chunks; }

// Microsoft ADPCM "fmt " extension: samples per block and coefficient pairs.
QByteArray MsExtra(int samplesPerBlock, int pairs) {
  QByteArray extra = Le16(4 + 4 * pairs) + Le16(samplesPerBlock) + Le16(pairs);
  static const int kStandard[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
  for (int i = 0; i < pairs; ++i) extra += Le16(kStandard[i % 7][0]) + Le16(kStandard[i % 7][1]);
  return extra;
}

struct Opened {
  QByteArray bytes;
  QBuffer buffer;
  TWaveIn in;
  explicit Opened(QByteArray file) : bytes(std::move(file)), buffer(&bytes) {
    buffer.open(QIODevice::ReadOnly);
    in.SetStream(&buffer);
  }
};

QByteArray Pcm16(std::initializer_list<int> samples) {
  QByteArray pcm;
  for (int s : samples) pcm += Le16(s);
  return pcm;
}

TEST(WaveInTolerance, JunkBeforeRiffListChunkAndLowerCaseIdsAreRead) {
  const QByteArray data = Pcm16({1, -2, 3, -4});
  QByteArray chunks = Chunk("FMT ", Fmt(1, 2, 8000, 4, 16)) + Chunk("LIST", "INFOISFT\4\0\0\0abcd") + Chunk("Data", data);
  Opened f("garbage!" + Riff(chunks).replace(8, 4, "wave"));
  EXPECT_TRUE(f.in.Valid());
  EXPECT_EQ(test::DrainInput(f.in), data);
}

TEST(WaveInTolerance, DataSizeBeyondTheFileIsCutToTheFile) {
  const QByteArray data = Pcm16({5, 6, 7, 8});
  QByteArray file = Riff(Chunk("fmt ", Fmt(1, 1, 8000, 2, 16)) + "data" + Le32(0xFFFFFFF0) + data);
  Opened f(file);
  f.in.Init();
  EXPECT_EQ(f.in.Size(), data.size());
  f.in.Flush();
}

// Headers the reader refuses: the input is invalid and delivers nothing, without raising.
struct InvalidCase {
  const char* name;
  std::function<QByteArray()> file;
};

class WaveInInvalid : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(WaveInInvalid, IsInvalidAndDeliversNothing) {
  Opened f(GetParam().file());
  EXPECT_FALSE(f.in.Valid());
  EXPECT_TRUE(test::DrainInput(f.in).isEmpty());
  EXPECT_EQ(f.in.GetSampleRate(), 8000);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, WaveInInvalid,
    ::testing::Values(
        InvalidCase{"ImaWithEightBits",
                    [] { return Riff(Chunk("fmt ", Fmt(0x11, 1, 8000, 256, 8, Le16(2) + Le16(505))) + Chunk("fact", Le32(10)) + Chunk("data", QByteArray(256, 0))); }},
        InvalidCase{"MsAdpcmFactAfterData",
                    [] { return Riff(Chunk("fmt ", Fmt(2, 1, 8000, 256, 4, MsExtra(500, 7))) + Chunk("data", QByteArray(256, 0)) + Chunk("fact", Le32(500))); }},
        InvalidCase{"MsAdpcmWithMoreThan32Pairs",
                    [] { return Riff(Chunk("fmt ", Fmt(2, 1, 8000, 256, 4, MsExtra(500, 40))) + Chunk("fact", Le32(500)) + Chunk("data", QByteArray(256, 0))); }},
        InvalidCase{"MsAdpcmPairsBeyondTheChunk",
                    [] { QByteArray extra = MsExtra(500, 7); extra.truncate(10); return Riff(Chunk("fmt ", Fmt(2, 1, 8000, 256, 4, extra)) + Chunk("fact", Le32(500)) + Chunk("data", QByteArray(256, 0))); }},
        InvalidCase{"HugeChunkBeforeData",
                    [] { return Riff(Chunk("fmt ", Fmt(1, 1, 8000, 2, 16)) + "LIST" + Le32(0xFFFFFFF0) + Chunk("data", Pcm16({1, 2}))); }},
        InvalidCase{"HeaderAreaOverTheLimit",
                    [] { return Riff(Chunk("fmt ", Fmt(1, 1, 8000, 2, 16)) + Chunk("JUNK", QByteArray(70000, 'j')) + Chunk("data", Pcm16({1, 2}))); }},
        InvalidCase{"ShortFmtChunk", [] { return Riff(Chunk("fmt ", Le16(1) + Le16(1)) + Chunk("data", Pcm16({1, 2}))); }},
        InvalidCase{"ZeroChannels", [] { return Riff(Chunk("fmt ", Fmt(1, 0, 8000, 2, 16)) + Chunk("data", Pcm16({1, 2}))); }},
        InvalidCase{"MsAdpcmZeroChannelsZeroBlock",
                    [] { return Riff(Chunk("fmt ", Fmt(2, 0, 8000, 0, 4, MsExtra(500, 7))) + Chunk("fact", Le32(500)) + Chunk("data", QByteArray(256, 0))); }},
        InvalidCase{"TwelveBitPcm", [] { return Riff(Chunk("fmt ", Fmt(1, 1, 8000, 2, 12)) + Chunk("data", Pcm16({1, 2}))); }},
        InvalidCase{"UnknownExtensibleSubformat",
                    [] { return Riff(Chunk("fmt ", Fmt(0xFFFE, 2, 8000, 4, 16, Le16(22) + Le16(16) + Le32(3) + QByteArray(16, 7))) + Chunk("data", Pcm16({1, 2}))); }},
        InvalidCase{"NoWaveAtAll", [] { return QByteArray(5000, 'x'); }},
        InvalidCase{"EmptyFile", [] { return QByteArray(); }}),
    [](const ::testing::TestParamInfo<InvalidCase>& info) { return std::string(info.param.name); });

TEST(WaveInAdpcm, PredictorIndexBeyondTheTableRaisesOnRead) {
  QByteArray block(256, '\0');
  block[0] = char(9);  // only 7 pairs
  Opened f(Riff(Chunk("fmt ", Fmt(2, 1, 8000, 256, 4, MsExtra(500, 7))) + Chunk("fact", Le32(500)) + Chunk("data", block)));
  ASSERT_TRUE(f.in.Valid());
  EXPECT_THROW(test::DrainInput(f.in), EAuException);
}

TEST(WaveInAdpcm, ImaStepIndexOutOfRangeAndShortLastBlockAreSafe) {
  QByteArray block(256, char(0x77));
  block[0] = char(0x00);
  block[1] = char(0x40);
  block[2] = char(200);  // step index far beyond the table
  block[3] = 0;
  QByteArray data = block + block.left(100);  // a short last block
  Opened f(Riff(Chunk("fmt ", Fmt(0x11, 1, 8000, 256, 4, Le16(2) + Le16(505))) + Chunk("fact", Le32(900)) + Chunk("data", data)));
  ASSERT_TRUE(f.in.Valid());
  const QByteArray pcm = test::DrainInput(f.in);
  // 505 frames of the first block, then the whole groups of the short one: 1 + 24 × 8.
  EXPECT_EQ(pcm.size(), (505 + 193) * 2);
}

TEST(WaveInAdpcm, DeliversExactlyTheFactFrames) {
  QByteArray block(256, char(0x12));
  std::memset(block.data(), 0, 4);
  Opened f(Riff(Chunk("fmt ", Fmt(0x11, 1, 8000, 256, 4, Le16(2) + Le16(505))) + Chunk("fact", Le32(700)) + Chunk("data", block + block)));
  EXPECT_EQ(test::DrainInput(f.in).size(), 700 * 2);
}

// The float rule: x >= 1 is the largest value, x <= -1 the smallest, else floor(x × (2^31 - 1)).
TEST(WaveInFloat, ValuesMapByTheFloatRule) {
  QByteArray data;
  for (float x : {0.5f, 1.0f, 2.0f, -1.0f, -3.0f, 0.0f}) {
    char bytes[4];
    std::memcpy(bytes, &x, 4);
    data.append(bytes, 4);
  }
  Opened f(Riff(Chunk("fmt ", Fmt(3, 1, 8000, 4, 32)) + Chunk("data", data)));
  const QByteArray pcm = test::DrainInput(f.in);
  ASSERT_EQ(pcm.size(), 24);
  const qint32* v = reinterpret_cast<const qint32*>(pcm.constData());
  EXPECT_EQ(v[0], 1073741823);
  EXPECT_EQ(v[1], 2147483647);
  EXPECT_EQ(v[2], 2147483647);
  EXPECT_EQ(v[3], -2147483647 - 1);
  EXPECT_EQ(v[4], -2147483647 - 1);
  EXPECT_EQ(v[5], 0);
}

TEST(WaveInFloat, SixtyFourBitDataReadsAsHalfTheBytes) {
  QByteArray data;
  for (int i = 0; i < 3000; ++i) {
    const double x = (i % 200 - 100) / 100.0;
    char bytes[8];
    std::memcpy(bytes, &x, 8);
    data.append(bytes, 8);
  }
  Opened f(Riff(Chunk("fmt ", Fmt(3, 2, 8000, 16, 64)) + Chunk("data", data)));
  f.in.Init();
  EXPECT_EQ(f.in.Size(), data.size() / 2);
  f.in.Flush();
  EXPECT_EQ(test::DrainInput(f.in).size(), data.size() / 2);
  EXPECT_FALSE(f.in.SeekTo(0));
}

// ---- run range, loop and seeking ----------------------------------------------------------

QByteArray HundredFrames() {
  QByteArray pcm;
  for (int i = 0; i < 100; ++i) pcm += Le16(i);
  return Riff(Chunk("fmt ", Fmt(1, 1, 8000, 2, 16)) + Chunk("data", pcm));
}

TEST(WaveInRange, StartAndEndSampleSelectFramesAndResetAfterTheRun) {
  Opened f(HundredFrames());
  f.in.SetStartSample(10);
  f.in.SetEndSample(19);
  f.in.Init();
  EXPECT_EQ(f.in.Size(), 20);
  f.in.Flush();
  EXPECT_EQ(f.in.StartSample(), 0);
  EXPECT_EQ(f.in.EndSample(), -1);

  f.in.SetStartSample(10);
  f.in.SetEndSample(19);
  const QByteArray pcm = test::DrainInput(f.in);
  ASSERT_EQ(pcm.size(), 20);
  EXPECT_EQ(qFromLittleEndian<qint16>(pcm.constData()), 10);
  EXPECT_EQ(qFromLittleEndian<qint16>(pcm.constData() + 18), 19);
}

TEST(WaveInRange, StartSampleAloneRunsToTheLastFrame) {
  Opened f(HundredFrames());
  f.in.SetStartSample(90);
  const QByteArray pcm = test::DrainInput(f.in);
  ASSERT_EQ(pcm.size(), 20);
  EXPECT_EQ(qFromLittleEndian<qint16>(pcm.constData() + 18), 99);
}

TEST(WaveInRange, LoopDeliversTheDataAgainWithoutEnd) {
  Opened f(HundredFrames());
  f.in.SetLoop(true);
  f.in.Init();
  QByteArray got;
  while (got.size() < 600) {
    const char* data = nullptr;
    int count = 64;
    f.in.GetData(data, count);
    ASSERT_GT(count, 0);
    got.append(data, count);
  }
  f.in.Flush();
  for (int i = 0; i < 300; ++i) ASSERT_EQ(qFromLittleEndian<qint16>(got.constData() + 2 * i), i % 100) << i;
}

TEST(WaveInRange, SeekWhileOpenMovesToTheFrame) {
  Opened f(HundredFrames());
  f.in.Init();
  ASSERT_TRUE(f.in.Seek(40));
  const char* data = nullptr;
  int count = 2;
  f.in.GetData(data, count);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(qFromLittleEndian<qint16>(data), 40);
  EXPECT_FALSE(f.in.Seek(1000));
  f.in.Flush();
}

// A converter that hands its input's data through unchanged.
class TPassThrough : public TAuConverter {
 protected:
  void OpenInput() override { input_->Init(); size_ = input_->Size(); busy_ = true; }
  void CloseInput() override { input_->Flush(); busy_ = false; }
  void ReadBlock(const char*& data, int& byteCount) override { input_->GetData(data, byteCount); }
};

TEST(WaveInRange, JumpReachesTheFileThroughConverters) {
  Opened f(HundredFrames());
  TPassThrough first, second;
  first.SetInput(&f.in);
  second.SetInput(&first);
  second.Init();
  ASSERT_TRUE(JumpThroughChain(&second, 500));
  const char* data = nullptr;
  int count = 2;
  second.GetData(data, count);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(qFromLittleEndian<qint16>(data), 50);
  // Back to the start: the converters' counts follow, so the whole file comes again.
  ASSERT_TRUE(JumpThroughChain(&second, -600));
  EXPECT_EQ(second.Position(), 0);
  int delivered = 0;
  do {
    count = 2;
    second.GetData(data, count);
    delivered += count;
  } while (count > 0);
  EXPECT_EQ(delivered, int(second.Size()));
  second.Flush();
  EXPECT_FALSE(JumpThroughChain(nullptr, 10));
}

TEST(WaveInErrors, ReadingAClosedInputAndMissingFilesFail) {
  TWaveIn in;
  EXPECT_THROW(in.Init(), EAuException);  // no file name
  in.SetFileName("/nonexistent/folder/file.wav");
  EXPECT_THROW(in.GetChannels(), EAuException);
}

}  // namespace
}  // namespace trackmill
