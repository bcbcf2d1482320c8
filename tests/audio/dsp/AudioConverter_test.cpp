#include <gtest/gtest.h>

#include <vector>

#include "audio/dsp/AudioConverter.h"
#include "tests/audio/PcmMemoryInput.h"

namespace trackmill {
namespace {

using test::DrainInput;
using test::Pcm16;
using test::PcmMemoryInput;
using test::Samples16;

TEST(AudioConverter, StereoToMonoAveragesAndRoundsToNearest) {
  // (1000 + 3000) / 2 / 32768 * 32767 = 1999.94 -> 2000
  PcmMemoryInput input(Pcm16({1000, 3000, -32768, -32768, 32767, -32768}), 16, 2, 44100);
  TAudioConverter converter;
  converter.SetInput(&input);
  converter.SetOutChannels(1);
  EXPECT_EQ(converter.GetChannels(), 1);
  EXPECT_EQ(Samples16(DrainInput(converter)), (std::vector<std::int16_t>{2000, -32767, 0}));
}

TEST(AudioConverter, SixteenToEightBits) {
  PcmMemoryInput input(Pcm16({0, 32767, -32768, 16384}), 16, 1, 8000);
  TAudioConverter converter;
  converter.SetInput(&input);
  converter.SetOutBitsPerSample(8);
  const QByteArray out = DrainInput(converter);
  ASSERT_EQ(out.size(), 4);
  EXPECT_EQ(quint8(out[0]), 128);
  EXPECT_EQ(quint8(out[1]), 255);
  EXPECT_EQ(quint8(out[2]), 0);
  EXPECT_EQ(quint8(out[3]), 192);
}

TEST(AudioConverter, MonoGoesToBothChannelsWhateverTheMode) {
  PcmMemoryInput input(QByteArray("\x00\x40\xFF\x80", 4), 8, 1, 8000);
  TAudioConverter converter;
  converter.SetInput(&input);
  converter.SetOutChannels(2);
  converter.SetMode(TMSConverterMode::msmMonoToLeft);
  EXPECT_EQ(DrainInput(converter), QByteArray("\x00\x00\x40\x40\xFF\xFF\x80\x80", 8));
}

TEST(AudioConverter, ReportsFormatAndSize) {
  PcmMemoryInput input(QByteArray(1000, '\0'), 16, 2, 44100);
  TAudioConverter converter;
  EXPECT_EQ(converter.GetChannels(), 0);  // no input
  converter.SetInput(&input);
  converter.SetOutChannels(4);  // only mono and stereo are converted
  EXPECT_EQ(converter.GetChannels(), 2);
  converter.SetOutChannels(1);
  converter.SetOutBitsPerSample(8);
  EXPECT_EQ(converter.GetBitsPerSample(), 8);
  EXPECT_EQ(converter.GetSampleRate(), 44100);
  converter.Init();
  EXPECT_EQ(converter.Size(), 250);
  converter.Flush();

  PcmMemoryInput unknown(QByteArray(100, '\0'), 16, 2, 44100, 1 << 30, true);
  converter.SetInput(&unknown);
  converter.Init();
  EXPECT_EQ(converter.Size(), -1);
  converter.Flush();
}

TEST(AudioConverter, KeepsFramesAlignedWhenTheReaderCutsInsideAFrame) {
  std::vector<std::int16_t> stereo;
  for (int i = 0; i < 3000; ++i) {
    stereo.push_back(std::int16_t(i));
    stereo.push_back(std::int16_t(i));
  }
  PcmMemoryInput input(Pcm16(stereo), 16, 2, 44100, 333);
  TAudioConverter converter;
  converter.SetInput(&input);
  converter.SetOutChannels(1);
  const std::vector<std::int16_t> mono = Samples16(DrainInput(converter, 100));
  ASSERT_EQ(mono.size(), 3000u);
  for (int i = 0; i < 3000; ++i) ASSERT_NEAR(mono[std::size_t(i)], i, 1) << i;
}

TEST(AudioConverter, PassesThroughWhenNothingChanges) {
  const QByteArray pcm("\x01\x02\x03\x04\x05\x06", 6);
  PcmMemoryInput input(pcm, 24, 1, 48000);
  TAudioConverter converter;
  converter.SetInput(&input);
  EXPECT_EQ(DrainInput(converter), pcm);
}

}  // namespace
}  // namespace trackmill
