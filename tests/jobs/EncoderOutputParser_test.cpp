#include "jobs/EncoderOutputParser.h"

#include <gtest/gtest.h>

#include "tests/jobs/JobTestSupport.h"

namespace trackmill {
namespace {

std::vector<qint32> Percents(const std::vector<StepProgress>& records) {
  std::vector<qint32> out;
  for (const auto& r : records) out.push_back(r.percent);
  return out;
}

// Feeds the text in chunks of the given size and collects every record.
std::vector<qint32> FeedInChunks(TEncoderOutputParser& parser, const QByteArray& text,
                                 qsizetype chunk) {
  std::vector<qint32> out;
  for (qsizetype at = 0; at < text.size(); at += chunk)
    for (qint32 p : Percents(parser.Feed(text.mid(at, chunk), 5000))) out.push_back(p);
  for (qint32 p : Percents(parser.Flush(5000))) out.push_back(p);
  return out;
}

TEST(EncoderOutputParser, LameEncodeOutputGivesRisingPercentagesUpTo100) {
  const QByteArray text = test::ReadJobTestData("lame_encode.txt");
  ASSERT_FALSE(text.isEmpty());
  TEncoderOutputParser parser(EncoderOutputKind::Mp3Encode);
  const auto records = parser.Feed(text, 0);
  ASSERT_GT(records.size(), 50u);
  EXPECT_EQ(parser.ProgressColumn(), 15);
  EXPECT_EQ(records.front().percent, 1);
  EXPECT_EQ(records.back().percent, 100);
  for (size_t i = 1; i < records.size(); ++i)
    EXPECT_GE(records[i].percent, records[i - 1].percent);
  EXPECT_EQ(records.back().elapsed, "0:02");
  EXPECT_EQ(records.back().estimated, "0:02");
}

TEST(EncoderOutputParser, ChunkBoundariesDoNotChangeTheRecords) {
  for (const auto& [file, kind] :
       {std::pair{"lame_encode.txt", EncoderOutputKind::Mp3Encode},
        std::pair{"lame_decode.txt", EncoderOutputKind::Mp3Decode},
        std::pair{"wma_encode.txt", EncoderOutputKind::WmaEncode}}) {
    const QByteArray text = test::ReadJobTestData(file);
    TEncoderOutputParser whole(kind);
    const auto expected = FeedInChunks(whole, text, text.size());
    ASSERT_FALSE(expected.empty()) << file;
    for (qsizetype chunk : {1, 2, 7, 64, 1000}) {
      TEncoderOutputParser parser(kind);
      EXPECT_EQ(FeedInChunks(parser, text, chunk), expected) << file << " chunk " << chunk;
    }
  }
}

TEST(EncoderOutputParser, LameDecodeOutputCountsFrames) {
  TEncoderOutputParser parser(EncoderOutputKind::Mp3Decode);
  const auto records = parser.Feed(test::ReadJobTestData("lame_decode.txt"), 10000);
  EXPECT_EQ(parser.ProgressColumn(), 7);
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.back().percent, 100);
  EXPECT_EQ(records.back().elapsed, "00:10");
  EXPECT_EQ(records.back().estimated, "00:10");
}

TEST(EncoderOutputParser, DecoderLinesWithoutATotalAreSkipped) {
  TEncoderOutputParser parser(EncoderOutputKind::Mp3Decode);
  const QByteArray text =
      "\rinput:  a#b.mp3  (44.1 kHz, 2 channels, MPEG-1 Layer III)\n"
      "\rFrame#     2/0        128 kbps  L  R           \b\b\b\b"
      "\rFrame#    50/100      128 kbps  L  R           \b\b\b\b"
      "\rFrame#     x/100      128 kbps\r";
  EXPECT_EQ(Percents(parser.Feed(text, 4000)), std::vector<qint32>({50}));
  EXPECT_EQ(parser.ProgressColumn(), 7);  // not taught by the "#" in the file name
}

TEST(EncoderOutputParser, EncodePercentageFieldForms) {
  TEncoderOutputParser parser(EncoderOutputKind::Mp3Encode);
  // The file name line holds a "%" of its own and must not set the column.
  const QByteArray text =
      "Encoding 100% live.wav to 100% live.mp3\n"
      "\r     0/       ( 0%)|    0:00/     :  |\n"
      "   kbps      %     %\x1b[K\n"
      "\r    39/767    ( 5%)|    0:01/    0:20|    0:01/    0:20|   1.0x|    0:19 \n"
      "\r   767/767   (100%)|    0:20/    0:20|    0:20/    0:20|   1.0x|    0:00 \n";
  const auto records = parser.Feed(text, 0);
  EXPECT_EQ(Percents(records), std::vector<qint32>({5, 100}));
  EXPECT_EQ(records.front().elapsed, "0:01");
  EXPECT_EQ(records.front().estimated, "0:20");
}

TEST(EncoderOutputParser, WmaOutput) {
  TEncoderOutputParser parser(EncoderOutputKind::WmaEncode);
  EXPECT_EQ(Percents(parser.Feed(test::ReadJobTestData("wma_encode.txt"), 200)),
            std::vector<qint32>({100}));
  EXPECT_FALSE(parser.ErrorLine());

  parser.Reset();
  const auto records = parser.Feed(test::ReadJobTestData("wma_error.txt"), 200);
  EXPECT_TRUE(records.empty());
  ASSERT_TRUE(parser.ErrorLine());
  EXPECT_TRUE(parser.ErrorLine()->startsWith("ERROR"));

  // A line with both patterns is an error, and nothing after an error counts.
  parser.Reset();
  EXPECT_TRUE(parser.Feed(" ERROR at 100%\nEncoding: 100%\n", 200).empty());
  EXPECT_EQ(*parser.ErrorLine(), " ERROR at 100%");
}

TEST(EncoderOutputParser, LastMessageLineIsTheEncodersComplaint) {
  TEncoderOutputParser parser(EncoderOutputKind::Mp3Encode);
  parser.Feed("LAME 3.100\nCan't init outfile '/x/y.mp3'\n", 0);
  EXPECT_EQ(parser.LastMessageLine(), "Can't init outfile '/x/y.mp3'");
}

}  // namespace
}  // namespace trackmill
