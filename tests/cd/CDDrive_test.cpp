#include "cd/CDDrive.h"

#include <gtest/gtest.h>

#include <QFile>
#include <atomic>
#include <cstring>
#include <thread>

#include "tests/cd/TestDisc.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

using test::TestDisc;

class CDDriveTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (TCDHandle h : open_) CloseCDHandle(h);
    ClearDiscImages();
  }
  // Offers the image as the only named drive and opens it.
  TCDHandle Open(const QString& image) {
    ClearDiscImages();
    AddDiscImage(image);
    TCDList list{};
    list.max = kMaxDrives;
    if (GetCDList(list) < 1) return 0;
    TGetCDHandle request;
    request.ha = list.cd[0].ha;
    request.tgt = list.cd[0].tgt;
    request.lun = list.cd[0].lun;
    const TCDHandle h = GetCDHandle(request);
    if (h) open_.push_back(h);
    return h;
  }
  std::vector<TCDHandle> open_;
};

TEST_F(CDDriveTest, ImagesAreListedFirstLikeDrives) {
  TestDisc disc({"100"});
  ASSERT_TRUE(disc.Ok()) << disc.Error().toStdString();
  AddDiscImage(disc.CuePath());
  AddDiscImage("/nonexistent/other.cue");
  TCDList list{};
  list.max = 1;  // capacity is honoured
  EXPECT_EQ(GetCDList(list), 1);
  list.max = kMaxDrives;
  ASSERT_GE(GetCDList(list), 2);
  EXPECT_STREQ(list.cd[0].vendor, "Image ");
  EXPECT_STREQ(list.cd[0].prodId, "disc.cue");
  EXPECT_STREQ(list.cd[1].prodId, "other.cue");
  EXPECT_EQ(list.cd[1].tgt, 1);
  EXPECT_EQ(std::string(list.cd[0].id), disc.CuePath().toStdString());
}

TEST_F(CDDriveTest, MissingOrUnreadableImageGivesNoHandle) {
  EXPECT_EQ(Open("/nonexistent/disc.cue"), 0u);
  QTemporaryDir dir;
  const QString garbage = dir.filePath("garbage.cue");
  // The data file beside the second sheet lets libcdio parse it up to its broken lines.
  ASSERT_TRUE(test::WriteBytes(dir.filePath("garbage.bin"), QByteArray(2352 * 4, '\0')));
  const QByteArray sheets[] = {"this is no cue sheet\n\x01\x02\xff",
                               "FILE \"garbage.bin\" BINARY'  TRILE \"x\" BINAR\xbc\xb4 01 4\n"};
  for (const QByteArray& sheet : sheets) {
    ASSERT_TRUE(test::WriteBytes(garbage, sheet));
    const TCDHandle h = Open(garbage);
    TTOC toc;
    if (h) {
      EXPECT_EQ(ReadTOC(h, toc), 0);  // opened or not, no table of contents
    }
  }
}

// libcdio writes past its track arrays when a sheet has more track statements than a disc.
TEST_F(CDDriveTest, SheetsWithMoreTracksThanADiscHoldAreNotOpened) {
  QTemporaryDir dir;
  ASSERT_TRUE(test::WriteBytes(dir.filePath("disc.bin"), QByteArray(2352 * 120, '\0')));
  auto cueSheet = [](int tracks, int first = 1) {
    QByteArray text = "FILE \"disc.bin\" BINARY\n";
    for (int i = first; i < first + tracks; ++i)
      text += QString::asprintf("  TRACK %02d AUDIO\n    INDEX 01 00:01:%02d\n", std::min(i, 99), i % 75).toLatin1();
    return text;
  };
  ASSERT_TRUE(test::WriteBytes(dir.filePath("disc.cue"), cueSheet(99)));
  TTOC toc;
  const TCDHandle full = Open(dir.filePath("disc.cue"));
  ASSERT_NE(full, 0u);
  ASSERT_EQ(ReadTOC(full, toc), 1);
  EXPECT_EQ(toc.lastTrack, 99);

  ASSERT_TRUE(test::WriteBytes(dir.filePath("disc.cue"), cueSheet(34, 66)));
  EXPECT_NE(Open(dir.filePath("disc.cue")), 0u) << "tracks 66 to 99";
  ASSERT_TRUE(test::WriteBytes(dir.filePath("disc.cue"), cueSheet(35, 66)));
  EXPECT_EQ(Open(dir.filePath("disc.cue")), 0u);
  ASSERT_TRUE(test::WriteBytes(dir.filePath("disc.cue"), cueSheet(1, 67)));
  EXPECT_EQ(Open(dir.filePath("disc.cue")), 0u);
  ASSERT_TRUE(test::WriteBytes(dir.filePath("disc.cue"), cueSheet(101)));
  EXPECT_EQ(Open(dir.filePath("disc.cue")), 0u);
  EXPECT_FALSE(ImageFitsReader(dir.filePath("disc.bin"))) << "the sheet beside the data counts";
  QByteArray table = "CD_DA\n";
  for (int i = 0; i < 101; ++i) table += "TRACK AUDIO\nFILE \"disc.bin\" 0 00:00:01\n";
  ASSERT_TRUE(test::WriteBytes(dir.filePath("disc.toc"), table));
  EXPECT_EQ(Open(dir.filePath("disc.toc")), 0u);
}

TEST_F(CDDriveTest, TableOfContentsInBothAddressForms) {
  // Hidden audio of 300 sectors before track 1; track 2 has a 20-sector pregap.
  TestDisc disc({"375:300", "13:20", "30"});
  ASSERT_TRUE(disc.Ok());
  const TCDHandle h = Open(disc.CuePath());
  ASSERT_NE(h, 0u);
  TTOC toc;
  ASSERT_EQ(ReadTOC(h, toc), 1);  // LBA form by default
  EXPECT_EQ(toc.firstTrack, 1);
  EXPECT_EQ(toc.lastTrack, 3);
  EXPECT_EQ(toc.tocLen, 2 + 8 * 4);
  uint32_t lba;
  std::memcpy(&lba, toc.tracks[0].addr, 4);
  EXPECT_EQ(lba, 450u);

  ASSERT_EQ(ModifyCDParms(h, kCDParmMsfAddresses, 1), 1);
  ASSERT_EQ(ReadTOC(h, toc), 1);
  const int expected[] = {450, 450 + 375 + 20, 450 + 375 + 20 + 13, 450 + 375 + 20 + 13 + 30};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(MsfSectors(toc.tracks[k]), expected[k]) << k;
    EXPECT_EQ(toc.tracks[k].addr[0], 0);
  }
  EXPECT_EQ(toc.tracks[0].addr[1], 0);
  EXPECT_EQ(toc.tracks[0].addr[2], 6);
  EXPECT_EQ(toc.tracks[3].trackNumber, kLeadOutTrackNumber);
  EXPECT_TRUE(HasAudioTrack(toc));
  EXPECT_EQ(ModifyCDParms(h, 99, 1), 0);
  EXPECT_EQ(ModifyCDParms(h + 1000, kCDParmMsfAddresses, 1), 0);
}

TEST_F(CDDriveTest, ReadsSectorsAndRefusesBadRequests) {
  TestDisc disc({"40", "25"}, {"--bin-sectors", "52"});
  ASSERT_TRUE(disc.Ok());
  const TCDHandle h = Open(disc.CuePath());
  ASSERT_NE(h, 0u);
  const QByteArray track2 = disc.ExpectedTrack(2);

  TTrackBuf read(40, 10);
  ASSERT_EQ(ReadCDAudioLBA(h, read), 1);
  EXPECT_EQ(read.AudioBytes(), 10u * kCDSectorBytes);
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(read.Audio()), int(read.AudioBytes())),
            track2.left(10 * kCDSectorBytes));

  TTrackBuf beyondBin(50, 5);  // the .bin ends at sector 52
  EXPECT_EQ(ReadCDAudioLBA(h, beyondBin), 0);
  EXPECT_EQ(beyondBin.AudioBytes(), 0u);

  TTrackBuf none(0, 0);
  EXPECT_EQ(ReadCDAudioLBA(h, none), 0);
  TTrackBuf overlong(0, 2);
  overlong.header.numFrames = 3;  // more than its data area holds
  EXPECT_EQ(ReadCDAudioLBA(h, overlong), 0);
  overlong.header.numFrames = 2;
  overlong.header.maxLen = 1u << 30;  // a capacity it does not have
  EXPECT_EQ(ReadCDAudioLBA(h, overlong), 0);
}

TEST_F(CDDriveTest, CloseWhileAnotherThreadReads) {
  TestDisc disc({"2000"});
  ASSERT_TRUE(disc.Ok());
  const TCDHandle h = Open(disc.CuePath());
  ASSERT_NE(h, 0u);
  std::atomic<int> failures{0};
  std::thread reader([&] {
    for (uint32_t s = 0; s < 2000; s += 10) {
      TTrackBuf buf(s, 10);
      if (ReadCDAudioLBA(h, buf) != 1) ++failures;
    }
  });
  EXPECT_EQ(CloseCDHandle(h), 1);
  reader.join();
  EXPECT_EQ(CloseCDHandle(h), 0);  // already closed
  open_.clear();
  TTOC toc;
  EXPECT_EQ(ReadTOC(h, toc), 0);
}

}  // namespace
}  // namespace trackmill
