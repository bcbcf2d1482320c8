#include "jobs/EncoderCommands.h"

#include <gtest/gtest.h>

namespace trackmill {
namespace {

TEST(EncoderCommands, DefaultMp3EncodeIsBitRateAndJointStereo) {
  const TSettings settings;
  const auto command = Mp3EncodeCommand(settings, "lame", "/music/in.wav", "/music/out.mp3");
  EXPECT_EQ(command.DisplayText(), R"(lame -b 128 -m j "/music/in.wav" "/music/out.mp3")");
  EXPECT_EQ(command.arguments,
            QStringList({"-b", "128", "-m", "j", "/music/in.wav", "/music/out.mp3"}));
}

TEST(EncoderCommands, Mp3SwitchesFollowTheSettingsInOrder) {
  TSettings settings;
  settings.StereoMode = 4;
  settings.MpegQuality = 2;
  settings.IsSelectVBR = true;
  settings.VBRQuality = 2;
  settings.MaxBitRate = 256;
  settings.IsVBRHead = true;
  EXPECT_EQ(Mp3EncodeCommand(settings, "lame", "a", "b").arguments,
            QStringList({"-b", "128", "-m", "m", "-h", "-V", "2", "-B", "256", "-t", "a", "b"}));

  settings.IsSelectVBR = false;  // the VBR tag switch alone adds nothing
  settings.MpegQuality = 1;
  settings.StereoMode = 7;       // unknown modes add nothing either
  EXPECT_EQ(Mp3EncodeCommand(settings, "lame", "a", "b").arguments,
            QStringList({"-b", "128", "-f", "a", "b"}));
}

TEST(EncoderCommands, DecodeTakesInputAndOutputOnly) {
  const auto command = Mp3DecodeCommand("lame", "/x/a b.mp3", "/x/a b.wav");
  EXPECT_EQ(command.DisplayText(), R"(lame --decode "/x/a b.mp3" "/x/a b.wav")");
}

TEST(EncoderCommands, WmaSettingOutOfRangeFallsBackToTheDefault) {
  TSettings settings;
  settings.WmaSetting = 40;
  NormalizeWmaSetting(settings);
  EXPECT_EQ(settings.WmaSetting, 8);
  EXPECT_EQ(WmaEncodeCommand(settings, "/bin/enc", "i.wav", "o.wma").DisplayText(),
            R"(/bin/enc -input "i.wav" -output "o.wma" -a_setting 64_44_2)");
  EXPECT_EQ(WmaSettingText(0), "192_48_2");
  EXPECT_EQ(WmaSettingText(32), "5_8_1");
  EXPECT_EQ(WmaSettingText(-1), "64_44_2");
  EXPECT_EQ(WmaSizeDivisor(0), 7315);
  EXPECT_EQ(WmaSizeDivisor(32), 261485);
  EXPECT_EQ(WmaSizeDivisor(99), WmaSizeDivisor(8));
}

TEST(EncoderCommands, WmaArtistAndCommentAreSingleArgumentsOnlyWithId3) {
  TSettings settings;
  settings.Disc.Artist = "-The \"Band\" $HOME";
  settings.Disc.Comment = "live; `date`";
  EXPECT_FALSE(WmaEncodeCommand(settings, "enc", "i", "o").arguments.contains("-author"));

  settings.UseID3 = true;
  auto args = WmaEncodeCommand(settings, "enc", "i", "o").arguments;
  ASSERT_EQ(args.size(), 10);
  EXPECT_EQ(args.mid(6), QStringList({"-author", "-The \"Band\" $HOME", "-description",
                                      "live; `date`"}));

  settings.Disc.Artist.clear();
  args = WmaEncodeCommand(settings, "enc", "i", "o").arguments;
  EXPECT_FALSE(args.contains("-author"));
  EXPECT_TRUE(args.contains("-description"));
}

}  // namespace
}  // namespace trackmill
