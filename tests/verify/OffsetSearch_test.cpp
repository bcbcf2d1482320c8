// The read offset search end to end: `trackmill offset` over generated discs read as drives of
// several offsets read them, against database replies and a drive offset list built here and
// served from a loopback server.
#include <gtest/gtest.h>

#include <QDir>
#include <QtEndian>

#include "CddbTestServer.h"
#include "cd/DiscLayout.h"
#include "cd/Drive.h"
#include "tests/cd/TestDisc.h"
#include "tests/support/TestPaths.h"
#include "verify/AccurateRipSum.h"
#include "verify/DriveOffsetList.h"

namespace trackmill {
namespace {

using test::TestDisc;

QByteArray Le32(quint32 word) {
  QByteArray bytes(4, '\0');
  qToLittleEndian(word, bytes.data());
  return bytes;
}

// One record of the drive offset list, laid out field by field.
QByteArray DriveRecord(qint16 offset, const QByteArray& name, quint32 submissions) {
  QByteArray record(2, '\0');
  qToLittleEndian(offset, record.data());
  return record + name.leftJustified(33, '\0', true) + Le32(submissions) + Le32(95) + QByteArray(26, '\0');
}

// A pressing in the database: the disc's audio shifted by shiftSamples, as other drives read it.
struct Pressing {
  quint8 confidence;
  int shiftSamples;
  int wrongTracks = 0;  // the last tracks' checksums match nothing
};

struct Disc {
  std::unique_ptr<TestDisc> image;
  std::vector<qint32> trackLbas;
  AccurateRipDiscId id;
};

class OffsetSearchTest : public ::testing::Test {
 protected:
  static Disc Make(const QStringList& tracks) {
    Disc disc{std::make_unique<TestDisc>(tracks), {}, {}};
    EXPECT_TRUE(disc.image->Ok()) << disc.image->Error().toStdString();
    AddDiscImage(disc.image->CuePath());
    DriveInfo info;
    info.kind = DriveInfo::Kind::Image;
    info.position = int(DiscImages().indexOf(disc.image->CuePath()));
    const std::shared_ptr<CdDrive> drive = CdDrive::Open(info);
    const std::optional<DiscToc> toc = drive ? drive->ReadToc() : std::nullopt;
    EXPECT_TRUE(toc);
    if (drive) drive->Close();
    ClearDiscImages();
    if (!toc) return disc;
    for (const TocTrack& track : toc->tracks) disc.trackLbas.push_back(track.lba);
    disc.id = AccurateRipDiscId::Of(DiscLayout::FromToc(*toc));
    return disc;
  }

  // The disc's audio (from sector 0), optionally silent around every track's sector 450.
  static QByteArray Audio(const Disc& disc, bool silentWindows) {
    QByteArray bin = test::ReadBytes(disc.image->BinPath());
    if (silentWindows)
      for (qint32 lba : disc.trackLbas)
        bin.replace(((lba + kChecksumSector) * kSamplesPerSector - 4000) * 4, (kSamplesPerSector + 8000) * 4,
                    QByteArray((kSamplesPerSector + 8000) * 4, '\0'));
    return bin;
  }

  // A database reply whose pressings hold audio's sector-450 checksums at their shifts.
  static QByteArray Reply(const Disc& disc, const QByteArray& audio, const std::vector<Pressing>& pressings) {
    QByteArray reply;
    const auto* samples = reinterpret_cast<const quint32*>(audio.constData());
    for (const Pressing& pressing : pressings) {
      reply += char(disc.trackLbas.size()) + Le32(disc.id.id1) + Le32(disc.id.id2) + Le32(disc.id.cddbId);
      for (size_t t = 0; t < disc.trackLbas.size(); ++t) {
        const qint64 sector450 = qint64(disc.trackLbas[t] + kChecksumSector) * kSamplesPerSector;
        quint32 checksum = Frame450Checksum(samples + sector450 + pressing.shiftSamples);
        if (t + pressing.wrongTracks >= disc.trackLbas.size()) checksum ^= 0x5A5A5A5A;
        reply += char(pressing.confidence) + Le32(0xC0FFEE00 + quint32(t)) + Le32(checksum);
      }
    }
    return reply;
  }

  // An image of audio as a drive with this read offset reads it: the audio comes that many
  // samples late.
  static QString ReadAs(const Disc& disc, const QByteArray& audio, int driveOffset, const QString& name) {
    const qsizetype shiftBytes = qsizetype(std::abs(driveOffset)) * 4;
    const QByteArray read = driveOffset >= 0 ? (QByteArray(shiftBytes, '\0') + audio).left(audio.size())
                                             : audio.mid(shiftBytes) + QByteArray(shiftBytes, '\0');
    const QDir folder(disc.image->Folder());
    EXPECT_TRUE(test::WriteBytes(folder.filePath(name + ".bin"), read));
    const QByteArray cue = test::ReadBytes(disc.image->CuePath()).replace("disc.bin", (name + ".bin").toUtf8());
    EXPECT_TRUE(test::WriteBytes(folder.filePath(name + ".cue"), cue));
    return folder.filePath(name + ".cue");
  }
};

TEST_F(OffsetSearchTest, AnOffsetIsGivenOnlyWhenTheWeighedEvidenceLeavesNoDoubt) {
  const Disc fourTracks = Make({"7s", "7s:40", "7s", "8s"});
  const Disc oneTrack = Make({"8s"});
  struct Case {
    const char* name;
    const Disc& disc;
    int driveOffset;
    std::vector<Pressing> pressings;
    bool silentWindows;
    int exitCode;
    const char* says;
    const char* driveListSays = "does not know this drive (Image - ";
  };
  const Case cases[] = {
      // The pressing most people own decides, not the offset nearer to zero.
      {"two pressings", fourTracks, 667, {{20, 0}, {3, -600}}, false, 0,
       "read offset: 667 samples (weight 80 from 4 tracks)", "gives +667 for this drive (42 submissions): confirmed"},
      {"far", fourTracks, -2900, {{6, 0}}, false, 0, "read offset: -2900 samples",
       "gives +6 for this drive (7 submissions): differs"},
      {"beyond the search", fourTracks, 3000, {{6, 0}}, false, 1, "no offset found"},
      {"tie", fourTracks, 30, {{5, 0}, {5, 100}}, false, 1,
       "tie: the read offsets +30 samples (weight 20 from 4 tracks) and +130 samples (weight 20 from 4 tracks)",
       "gives -1 for this drive (3 submissions): this disc can neither confirm nor contradict it"},
      {"near-tie", fourTracks, 30, {{10, 0}, {8, -250}}, false, 1,
       "near-tie: the read offsets +30 samples (weight 40 from 4 tracks) and -220 samples (weight 32 from 4 tracks)"},
      // A silent window gives a zero checksum at every offset, as do entries without a value.
      {"zero checksums", fourTracks, 0, {{9, 0}}, true, 1, "no offset found"},
      {"single track", oneTrack, -48, {{4, 0}}, false, 0, "read offset: -48 samples (weight 4 from 1 track)"},
      {"two tracks of four", fourTracks, 100, {{9, 0, 2}}, false, 1,
       "on 3 tracks (the closest: +100 samples (weight 18 from 2 tracks))"},
  };
  // The drive list names the images by file name (the second record twice, the most submitted
  // counts); names compare without regard to case or runs of spaces.
  const QByteArray driveList = DriveRecord(-6, "OTHER - DRIVE", 900) + DriveRecord(667, "IMAGE  -  Case0.CUE", 42) +
                               DriveRecord(5, "Image - case1.cue", 2) + DriveRecord(6, "Image - case1.cue", 7) +
                               DriveRecord(-1, "Image - case3.cue", 3) + DriveRecord(1, "Image - case4.cue", 1).left(68);
  const QString options = QDir(qEnvironmentVariable("TRACKMILL_HOME")).filePath("options.ini");
  int number = 0;
  for (const Case& c : cases) {
    const QString name = QStringLiteral("case%1").arg(number++);
    const QByteArray audio = Audio(c.disc, c.silentWindows);
    const QByteArray reply = Reply(c.disc, audio, c.pressings);
    test::CddbTestServer server([&](const QString& target) {
      return target.endsWith("/accuraterip/DriveOffsets.bin") ? driveList : reply;
    });
    const auto result = test::RunProgram(test::TrackmillProgram(),
                                         {"offset", "--disc-image", ReadAs(c.disc, audio, c.driveOffset, name),
                                          "--accuraterip-server", server.HostPort(), "--save"});
    const std::string said = std::string(c.name) + "\n" + result.out.toStdString() + result.err.toStdString();
    EXPECT_EQ(result.exitCode, c.exitCode) << said;
    EXPECT_TRUE((result.out + result.err).contains(c.says)) << said;
    EXPECT_TRUE(result.out.contains(QByteArray("the drive offset list ") + c.driveListSays)) << said;
    const QByteArray saved = name.toUtf8() + ".cue=";
    EXPECT_EQ(test::ReadBytes(options).contains(saved + QByteArray::number(c.driveOffset)), c.exitCode == 0)
        << c.name;
    if (c.exitCode != 0) {
      EXPECT_FALSE(test::ReadBytes(options).contains(saved)) << c.name;
    }
  }
}

TEST(DriveOffsetListTest, RecordsAreReadWithinTheirBoundsAndNamesArePrintable) {
  const QByteArray list = DriveRecord(-1164, "ACME\x1b[2J - X\x07", 5) +
                          DriveRecord(32767, QByteArray(40, 'N'), 0xFFFFFFFF) +
                          DriveRecord(12, "CUT - SHORT", 3).left(68);
  const std::vector<DriveOffsetEntry> read = ReadDriveOffsetList(list);
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].offsetSamples, -1164);
  EXPECT_EQ(read[0].name, "ACME?[2J - X?");
  EXPECT_EQ(read[0].submissions, 5u);
  // A name that fills its field has no NUL: it ends with the field.
  EXPECT_EQ(read[1].name, QString(33, 'N'));
  EXPECT_EQ(read[1].submissions, 0xFFFFFFFFu);
}

}  // namespace
}  // namespace trackmill
