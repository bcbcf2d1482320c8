#include "cd/CDDrive.h"
#include "cd/Drive.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <atomic>
#include <cstring>
#include <thread>

#include "tests/cd/TestDisc.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

using test::TestDisc;

// A Nero image of two audio tracks (2 and 3 sectors) with the chunks given; listStart < 0
// puts the chunk list right after the audio.
QByteArray BigEndian32(quint32 value) {
  QByteArray bytes(4, '\0');
  qToBigEndian(value, bytes.data());
  return bytes;
}
QByteArray Chunk(const char* name, const QByteArray& body) { return name + BigEndian32(quint32(body.size())) + body; }
QByteArray CueEntry(char track, int index, qint32 lba) {  // track in BCD
  return QByteArray(1, '\x01') + track + char(index) + '\0' + BigEndian32(quint32(lba));
}
QByteArray DaoChunk(int first, int last) {
  QByteArray body = BigEndian32(0) + QByteArray(14 + 2, '\0') + char(first) + char(last);
  for (quint64 track = 0, at = 0; track < 2; ++track) {
    QByteArray entry = QByteArray(12, '\0') + QByteArray("\x09\x30\x07\x00\x00\x01", 6) + QByteArray(24, '\0');
    const quint64 end = at + (track + 2) * 2352;
    for (int i = 0; i < 2; ++i) qToBigEndian(at, entry.data() + 18 + 8 * i);
    qToBigEndian(end, entry.data() + 34);
    body += entry;
    at = end;
  }
  return body;
}
// CD-Text packs: title and performer of the disc and its two tracks, then the three packs
// of block information (character set, tracks, pack counts, last sequence number, language).
QByteArray CdTextPacks() {
  const QByteArray strings[] = {QByteArray("Nero Album\0Song One\0Song Two\0", 29),
                                QByteArray("Nero Band\0Band\0Guest\0", 22)};
  QByteArray packs;
  QByteArray info(36, '\0');
  info[1] = 1;
  info[2] = 2;
  int sequence = 0;
  for (int type = 0; type < 2; ++type) {
    for (qsizetype at = 0; at < strings[type].size(); at += 12, ++info[4 + type]) {
      const int track = int(strings[type].left(at).count('\0'));
      const int charPos = int(at - (strings[type].left(at).lastIndexOf('\0') + 1));
      packs += char(0x80 + type) + QByteArray(1, char(track)) + char(sequence++) + char(std::min(charPos, 15)) +
               strings[type].mid(at, 12).leftJustified(12, '\0') + QByteArray(2, '\0');
    }
  }
  info[4 + 15] = 3;
  info[20] = char(sequence + 2);
  info[28] = 0x09;  // English
  for (int k = 0; k < 3; ++k)
    packs += QByteArray("\x8f", 1) + char(k) + char(sequence++) + '\0' + info.mid(12 * k, 12) + QByteArray(2, '\0');
  return packs;
}
QByteArray NeroImage(const QByteArray& chunks, qint64 listStart = -1) {
  const QByteArray audio = QByteArray(2 * 2352, '\x21') + QByteArray(3 * 2352, '\x42');
  QByteArray start(8, '\0');
  qToBigEndian(quint64(listStart < 0 ? audio.size() : listStart), start.data());
  return audio + chunks + "NER5" + start;
}
QByteArray NeroChunks(const QByteArray& dao, const QByteArray& cdText = CdTextPacks()) {
  const QByteArray cue = CueEntry(0, 0, -150) + CueEntry(1, 0, -150) + CueEntry(1, 1, 0) + CueEntry(2, 0, 2) +
                         CueEntry(2, 1, 2) + CueEntry('\xAA', 1, 5);
  return Chunk("CUEX", cue) + Chunk("CDTX", cdText) + Chunk("DAOX", dao) + Chunk("SINF", BigEndian32(2));
}

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

TEST_F(CDDriveTest, NeroImageGivesTracksAndCdText) {
  QTemporaryDir dir;
  const QString path = dir.filePath("disc.nrg");
  ASSERT_TRUE(test::WriteBytes(path, NeroImage(NeroChunks(DaoChunk(1, 2)) + Chunk("END!", {}))));
  const TCDHandle h = Open(path);
  ASSERT_NE(h, 0u);
  TTOC toc;
  ASSERT_EQ(ReadTOC(h, toc), 1);
  EXPECT_EQ(toc.lastTrack, 2);
  qint32 lba[2];
  std::memcpy(&lba[0], toc.tracks[1].addr, 4);
  std::memcpy(&lba[1], toc.tracks[2].addr, 4);
  EXPECT_EQ(lba[0], 150 + 2);
  EXPECT_EQ(lba[1], 150 + 5);
  TCDText text;
  ASSERT_EQ(ReadCDText(h, text), 1);
  EXPECT_EQ(text.disc.title, "Nero Album");
  ASSERT_EQ(text.tracks.size(), 2u);
  EXPECT_EQ(text.tracks[1].title, "Song Two");
  EXPECT_EQ(text.tracks[1].performer, "Guest");
}

// libcdio 2.1 reads past its buffers or track table, or frees memory twice, on each of these.
TEST_F(CDDriveTest, NeroImagesLibcdioMisreadsAreNotOpened) {
  const QByteArray end = Chunk("END!", {});
  const QByteArray good = NeroChunks(DaoChunk(1, 2));
  const struct {
    const char* defect;
    QByteArray image;
  } cases[] = {
      {"list past the end", NeroImage(good + end, 1 << 20)},
      {"chunk past the list", NeroImage(good + Chunk("MTYP", BigEndian32(1)).chopped(2) + end)},
      {"no end mark", NeroImage(good)},
      {"track 100", NeroImage(NeroChunks(DaoChunk(99, 100)) + end)},
      {"track range upside down", NeroImage(NeroChunks(DaoChunk(2, 1)) + end)},
      {"track entries cut short", NeroImage(NeroChunks(DaoChunk(1, 2).chopped(1)) + end)},
      {"100 track extents", NeroImage(Chunk("ETN2", QByteArray(100 * 32, '\0')) + end)},
      {"120 track extents in two sessions", NeroImage(Chunk("ETN2", QByteArray(60 * 32, '\0')).repeated(2) + end)},
      {"60 tracks in cue entries, 60 in extents", NeroImage(Chunk("CUEX", QByteArray(122 * 8, '\x01')) +
                                                             Chunk("ETN2", QByteArray(60 * 32, '\0')) + end)},
      {"CD-Text packs that do not parse", NeroImage(NeroChunks(DaoChunk(1, 2), QByteArray(54, '!')) + end)},
  };
  QTemporaryDir dir;
  const QString path = dir.filePath("disc.nrg");
  for (const auto& c : cases) {
    ASSERT_TRUE(test::WriteBytes(path, c.image));
    EXPECT_FALSE(ImageFitsReader(path)) << c.defect;
    EXPECT_EQ(Open(path), 0u) << c.defect;
  }
}

// Laid out as cdrdao writes it: the language map over several lines, data file names
// relative to the table's folder (which is not the working folder).
TEST_F(CDDriveTest, CdrdaoTableGivesTracksAndCdText) {
  TestDisc disc({"100", "50"});
  ASSERT_TRUE(disc.Ok());
  const QByteArray table =
      "CD_DA\n\nCD_TEXT {\n  LANGUAGE_MAP {\n    0 : EN\n  }\n  LANGUAGE 0 {\n"
      "    TITLE \"Toc Album\"\n    PERFORMER \"Toc Artist\"\n  }\n}\n\n"
      "TRACK AUDIO\nCD_TEXT {\n  LANGUAGE 0 {\n    TITLE \"First\"\n  }\n}\nFILE \"disc.bin\" 0 00:01:25\n\n"
      "TRACK AUDIO\nCD_TEXT {\n  LANGUAGE 0 {\n    TITLE \"Second\"\n    PERFORMER \"Guest\"\n  }\n}\n"
      "FILE \"disc.bin\" 00:01:25 00:00:50\n";
  const QString path = disc.Folder() + "/disc.toc";
  ASSERT_TRUE(test::WriteBytes(path, table));
  ASSERT_NE(QDir::currentPath(), disc.Folder());
  const TCDHandle h = Open(path);
  ASSERT_NE(h, 0u);
  EXPECT_TRUE(MediaPresent(h));
  TTOC toc;
  ASSERT_EQ(ReadTOC(h, toc), 1);
  EXPECT_EQ(toc.lastTrack, 2);
  TCDText text;
  ASSERT_EQ(ReadCDText(h, text), 1);
  EXPECT_EQ(text.disc.title, "Toc Album");
  EXPECT_EQ(text.disc.performer, "Toc Artist");
  ASSERT_EQ(text.tracks.size(), 2u);
  EXPECT_EQ(text.tracks[0].title, "First");
  EXPECT_EQ(text.tracks[1].performer, "Guest");
  TTrackBuf read(100, 50);
  ASSERT_EQ(ReadCDAudioLBA(h, read), 1);
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(read.Data()), 50 * 2352), disc.ExpectedTrack(2));
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

namespace trackmill {
namespace {

// An image in a folder whose path is longer than any fixed-width drive record field.
QString CopyToDeepFolder(const test::TestDisc& disc, const QTemporaryDir& dir) {
  const QString folder = dir.filePath(QString(80, 'd'));
  QDir().mkpath(folder);
  QFile::copy(disc.CuePath(), folder + "/disc.cue");
  QFile::copy(disc.BinPath(), folder + "/disc.bin");
  return folder + "/disc.cue";
}

TEST(CdDriveObject, OpensListsAndReadsByLbaAndClosesUnderAReader) {
  test::TestDisc disc({"300:150", "200"});
  ASSERT_TRUE(disc.Ok()) << disc.Error().toStdString();
  QTemporaryDir dir;
  const QString cue = CopyToDeepFolder(disc, dir);
  ClearDiscImages();
  AddDiscImage(cue);
  const std::vector<DriveInfo> drives = ListDrives();
  ASSERT_GE(drives.size(), 1u);
  EXPECT_EQ(drives[0].kind, DriveInfo::Kind::Image);
  EXPECT_EQ(drives[0].path, cue);
  EXPECT_EQ(drives[0].Description(), "Image disc.cue");

  // Two opens of one image are independent; closing one leaves the other readable.
  auto drive = CdDrive::Open(drives[0]);
  auto other = CdDrive::Open(drives[0]);
  ASSERT_TRUE(drive && other);
  EXPECT_TRUE(drive->IsImage());
  EXPECT_EQ(drive->Identity(), cue);
  const std::optional<DiscToc> toc = drive->ReadToc();
  ASSERT_TRUE(toc);
  ASSERT_EQ(toc->tracks.size(), 2u);
  EXPECT_EQ(toc->tracks[0].lba, 150);  // after its pregap
  EXPECT_EQ(toc->tracks[1].lba, 450);
  EXPECT_EQ(toc->leadOut.lba, 650);
  EXPECT_EQ(toc->tracks[1].FramesFromLeadIn(), 600);
  EXPECT_TRUE(toc->HasAudioTrack());
  std::vector<uint8_t> buffer(2 * kCDSectorBytes);
  EXPECT_FALSE(drive->ReadSectors(450, 3, buffer.data(), buffer.size()).ok);  // does not fit
  EXPECT_FALSE(drive->ReadSectors(649, 2, buffer.data(), buffer.size()).ok);  // past the end
  const SectorRead read = drive->ReadSectors(450, 2, buffer.data(), buffer.size());
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.bytes, buffer.size());
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(buffer.data()), int(buffer.size())),
            disc.ExpectedTrack(2).left(int(buffer.size())));

  // Closed while another thread reads: the reads end cleanly, later calls fail.
  std::thread reader([&] {
    std::vector<uint8_t> sectors(10 * kCDSectorBytes);
    for (int i = 0; i < 1000; ++i) {
      if (!drive->ReadSectors(i % 600, 10, sectors.data(), sectors.size()).ok) return;
    }
  });
  EXPECT_TRUE(drive->Close());
  reader.join();
  EXPECT_FALSE(drive->Close());
  EXPECT_FALSE(drive->ReadToc());
  EXPECT_TRUE(drive->Identity().isEmpty());
  EXPECT_TRUE(other->ReadSectors(450, 2, buffer.data(), buffer.size()).ok);
  ClearDiscImages();
}

}  // namespace
}  // namespace trackmill
