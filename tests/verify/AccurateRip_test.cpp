// Disc ids, checksums, the database lookup and the read offset, end to end where it matters:
// the real trackmill against a loopback database, and the peer checksum tool.
#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QtEndian>

#include "CddbTestServer.h"
#include "verify/AccurateRipSum.h"
#include "cd/Drive.h"
#include "cd/DiscLayout.h"
#include "verify/DbarReader.h"
#include "tests/cd/TestDisc.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

using test::RunProgram;
using test::TestDisc;

TEST(AccurateRipIdTest, PublishedDiscsGetTheirPublishedIds) {
  const QJsonArray discs =
      QJsonDocument::fromJson(test::ReadBytes(test::TestDataDir() + "/published-disc-ids.json"))["discs"]
          .toArray();
  ASSERT_EQ(discs.size(), 5);
  for (const QJsonValue& value : discs) {
    const QJsonObject disc = value.toObject();
    std::vector<qint32> starts;
    for (const QJsonValue& start : disc["offsets"].toArray()) starts.push_back(start.toInt());
    std::vector<int> data;
    for (const QJsonValue& track : disc["data_tracks"].toArray()) data.push_back(track.toInt());
    const DiscLayout layout = DiscLayout::FromStarts(starts, disc["leadout"].toInt(), data);
    ASSERT_EQ(layout.tracks.size(), starts.size());
    const AccurateRipDiscId id = AccurateRipDiscId::Of(layout);
    EXPECT_EQ(id.Text(), disc["accuraterip_id"].toString()) << disc["album"].toString().toStdString();
    // An enhanced CD's last audio track stops at the session gap before the data track; a
    // mixed-mode disc's first audio track is its second.
    if (!data.empty() && data.back() == int(starts.size())) {
      EXPECT_EQ(layout.tracks[starts.size() - 2].endFrame, starts.back() - kSessionGapFrames);
    }
    EXPECT_TRUE(layout.IsFirstAudio(data.empty() || data.front() != 1 ? 0 : 1));
    EXPECT_TRUE(layout.IsLastAudio(int(starts.size()) - (data.empty() || data.back() == 1 ? 1 : 2)));
  }
  const AccurateRipDiscId id{11, 0x001f27c4, 0x010ea9c1, 0xbb12a00c};
  EXPECT_EQ(id.DatabasePath(), "4/c/7/dBAR-011-001f27c4-010ea9c1-bb12a00c.bin");
}

// A three-track image long enough for the sector-450 checksum, and the rip command over it.
class AccurateRipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(disc_.Ok()) << disc_.Error().toStdString();
    for (int track = 1; track <= 3; ++track) {
      const QByteArray pcm = disc_.ExpectedTrack(track);
      AccurateRipSum sum(pcm.size() / 4, track == 1, track == 3);
      sum.Add(reinterpret_cast<const uint8_t*>(pcm.constData()), size_t(pcm.size()));
      sums_.push_back(sum.Result());
    }
    AddDiscImage(disc_.CuePath());
    DriveInfo image;
    image.kind = DriveInfo::Kind::Image;
    image.position = int(DiscImages().indexOf(disc_.CuePath()));
    const std::shared_ptr<CdDrive> drive = CdDrive::Open(image);
    ASSERT_TRUE(drive);
    const std::optional<DiscToc> toc = drive->ReadToc();
    ASSERT_TRUE(toc);
    drive->Close();
    ClearDiscImages();
    id_ = AccurateRipDiscId::Of(DiscLayout::FromToc(*toc));
  }
  test::ProcessResult Rip(const QString& image, const QStringList& extra) {
    return RunProgram(test::TrackmillProgram(), QStringList{"rip", "--no-ctdb", "--disc-image", image, "--format", "wav",
                                                            "--output", out_.path(), "--yes"} +
                                                    extra);
  }
  // One database block: the disc's header and, per track, confidence and checksums.
  QByteArray Block(const std::vector<std::pair<quint8, quint32>>& entries, quint32 id1Change = 0) const {
    QByteArray block(1, char(entries.size()));
    for (quint32 word : {id_.id1 + id1Change, id_.id2, id_.cddbId}) block += Le32(word);
    for (size_t t = 0; t < entries.size(); ++t)
      block += char(entries[t].first) + Le32(entries[t].second) + Le32(sums_[t].frame450);
    return block;
  }
  static QByteArray Le32(quint32 word) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(word, bytes.data());
    return bytes;
  }

  TestDisc disc_{{"8s", "7s:75", "8s:30"}};
  QTemporaryDir out_;
  std::vector<AccurateRipChecksums> sums_;
  AccurateRipDiscId id_;
};

TEST_F(AccurateRipTest, ChecksumsAgreeWithThePeerTool) {
  if (!test::HaveProgram("accuraterip-checksum")) GTEST_SKIP() << "accuraterip-checksum missing";
  const auto result = Rip(disc_.CuePath(), {"--no-accuraterip"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  const QString log = QString::fromUtf8(test::ReadBytes(out_.filePath("Unknown Artist - Unknown Album.log")));
  for (int track = 1; track <= 3; ++track) {
    const QString wav = out_.filePath(QStringLiteral("Track%1.wav").arg(track, 2, 10, QLatin1Char('0')));
    const QString number = QString::number(track);
    const QString v1 =
        RunProgram("accuraterip-checksum", {"--accuraterip-v1", wav, number, "3"}).out.trimmed();
    const QString v2 =
        RunProgram("accuraterip-checksum", {"--accuraterip-v2", wav, number, "3"}).out.trimmed();
    EXPECT_EQ(v1.toUInt(nullptr, 16), sums_[size_t(track - 1)].v1) << track;
    EXPECT_EQ(v2.toUInt(nullptr, 16), sums_[size_t(track - 1)].v2) << track;
    // What the rip took on the way, in its own pieces, is the same.
    EXPECT_TRUE(log.contains(QStringLiteral("v1 %1, v2 %2").arg(v1.toLower(), v2.toLower())))
        << log.toStdString();
  }
  // Fed in pieces that split samples, the sums do not change.
  const QByteArray pcm = disc_.ExpectedTrack(2);
  AccurateRipSum pieces(pcm.size() / 4, false, false);
  for (qsizetype at = 0; at < pcm.size(); at += 7)
    pieces.Add(reinterpret_cast<const uint8_t*>(pcm.constData() + at),
               size_t(std::min<qsizetype>(7, pcm.size() - at)));
  EXPECT_EQ(pieces.Result().v2, sums_[1].v2);
  EXPECT_TRUE(pieces.Result().valid);
}

TEST_F(AccurateRipTest, EachDatabaseAnswerGetsAClearReport) {
  const quint32 wrong = 0x12345678;
  struct Case {
    const char* name;
    QByteArray reply;
    const char* line;  // printed for every track
    int exitRequiringAccuracy;
  };
  const QByteArray matchV2 = Block({{7, sums_[0].v2}, {7, sums_[1].v2}, {7, sums_[2].v2}});
  const QByteArray mismatch = Block({{4, wrong}, {4, wrong}, {4, wrong}});
  const Case cases[] = {
      {"v2", matchV2, "accurately ripped (confidence 7, v2)", 0},
      {"v1", Block({{3, sums_[0].v1}, {3, sums_[1].v1}, {3, sums_[2].v1}}),
       "accurately ripped (confidence 3, v1)", 0},
      {"pressings", mismatch + Block({{12, sums_[0].v2}, {12, sums_[1].v2}, {12, sums_[2].v2}}),
       "accurately ripped (confidence 12, v2)", 0},
      {"mismatch", mismatch, "not accurately ripped", 3},
      {"other disc", Block({{7, sums_[0].v2}, {7, sums_[1].v2}, {7, sums_[2].v2}}, 1),
       "AccurateRip reply unreadable", 3},
      {"empty", QByteArray(), "not in database", 3},
      {"404", "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n", "not in database",
       3},
      {"truncated", matchV2.left(30), "AccurateRip reply unreadable", 3},
      {"garbage", QByteArray(5000, '\xA7'), "AccurateRip reply unreadable", 3},
  };
  for (const Case& c : cases) {
    test::CddbTestServer server([&](const QString&) { return c.reply; });
    const auto result =
        Rip(disc_.CuePath(), {"--accuraterip-server", server.HostPort(), "--require-accurate"});
    EXPECT_EQ(result.exitCode, c.exitRequiringAccuracy) << c.name << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(c.line)) << c.name << "\n" << result.out.toStdString();
    EXPECT_TRUE(result.out.contains("3 of 3 tracks done")) << c.name;
    ASSERT_EQ(server.Requests().size(), 1u) << c.name;
    EXPECT_EQ(server.Requests()[0].target, "/accuraterip/" + id_.DatabasePath());
  }
  // Without --require-accurate a rip that only failed verification still succeeds.
  test::CddbTestServer server([&](const QString&) { return mismatch; });
  EXPECT_EQ(Rip(disc_.CuePath(), {"--accuraterip-server", server.HostPort()}).exitCode, 0);
}

TEST_F(AccurateRipTest, UnreachableDatabaseIsNeitherAbsentNorAFailedRip) {
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
  const QString hostPort = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
  closed.close();
  auto result = Rip(disc_.CuePath(), {"--accuraterip-server", hostPort});
  EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_TRUE(result.out.contains("AccurateRip database not reachable")) << result.out.toStdString();
  EXPECT_FALSE(result.out.contains("not in database"));
  EXPECT_TRUE(test::ReadBytes(out_.filePath("Unknown Artist - Unknown Album.log")).contains("not reachable"));
  result = Rip(disc_.CuePath(), {"--accuraterip-server", hostPort, "--require-accurate"});
  EXPECT_EQ(result.exitCode, 3);
}

TEST_F(AccurateRipTest, ReadOffsetIsFoundSavedAndApplied) {
  // The same disc with its audio 123 samples late, as a drive with that offset reads it.
  constexpr int kShift = 123;
  const QString shifted = QDir(disc_.Folder()).filePath("shifted.bin");
  const QByteArray bin = test::ReadBytes(disc_.BinPath());
  ASSERT_TRUE(test::WriteBytes(shifted, (QByteArray(kShift * 4, '\0') + bin).left(bin.size())));
  const QString cue = QDir(disc_.Folder()).filePath("shifted.cue");
  ASSERT_TRUE(test::WriteBytes(cue, test::ReadBytes(disc_.CuePath()).replace("disc.bin", "shifted.bin")));

  test::CddbTestServer server([&](const QString&) {
    return Block({{5, sums_[0].v2}, {5, sums_[1].v2}, {5, sums_[2].v2}});
  });
  const auto found =
      RunProgram(test::TrackmillProgram(),
                 {"offset", "--disc-image", cue, "--accuraterip-server", server.HostPort(), "--save"});
  ASSERT_EQ(found.exitCode, 0) << found.err.toStdString();
  EXPECT_TRUE(found.out.contains("read offset: 123 samples")) << found.out.toStdString();
  EXPECT_TRUE(test::ReadBytes(QDir(qEnvironmentVariable("TRACKMILL_HOME")).filePath("options.ini"))
                  .contains("shifted.cue=123"));

  // The saved offset gives back the disc's own audio, and the database agrees.
  const auto ripped = Rip(cue, {"--accuraterip-server", server.HostPort(), "--require-accurate"});
  EXPECT_EQ(ripped.exitCode, 0) << ripped.out.toStdString() << ripped.err.toStdString();
  EXPECT_EQ(test::ReadBytes(out_.filePath("Track02.wav")).mid(44), disc_.ExpectedTrack(2));
  // Past the end of the disc there is only silence.
  const QByteArray last = test::ReadBytes(out_.filePath("Track03.wav")).mid(44);
  EXPECT_EQ(last.right(kShift * 4), QByteArray(kShift * 4, '\0'));
  EXPECT_EQ(last.chopped(kShift * 4), disc_.ExpectedTrack(3).chopped(kShift * 4));
  // --read-offset overrides the saved one for a run.
  ASSERT_EQ(Rip(cue, {"--no-accuraterip", "--read-offset", "0"}).exitCode, 0);
  EXPECT_EQ(test::ReadBytes(out_.filePath("Track02.wav")).mid(44 + kShift * 4),
            disc_.ExpectedTrack(2).chopped(kShift * 4));
  // Before the start of the disc there is only silence too.
  ASSERT_EQ(Rip(disc_.CuePath(), {"--no-accuraterip", "--read-offset", "-50", "--tracks", "1"}).exitCode, 0);
  const QByteArray first = test::ReadBytes(out_.filePath("Track01.wav")).mid(44);
  EXPECT_EQ(first.left(200), QByteArray(200, '\0'));
  EXPECT_EQ(first.mid(200), disc_.ExpectedTrack(1).chopped(200));
}

// On an enhanced CD the last audio track ends at the session gap before the data track: with
// a positive read offset the samples past its end read as silence, not as what follows.
TEST(ReadOffsetTest, AnEnhancedCdsLastAudioTrackEndsInSilence) {
  constexpr int kShift = 100;
  constexpr qsizetype kAudioBytes = 300 * kCDSectorBytes;  // 156 s less the session gap
  TestDisc disc({"8s", "156s"});
  ASSERT_TRUE(disc.Ok()) << disc.Error().toStdString();
  const QByteArray data(300 * kCDSectorBytes, '\xA5');
  ASSERT_TRUE(test::WriteBytes(disc.BinPath(), test::ReadBytes(disc.BinPath()) + data));
  ASSERT_TRUE(test::WriteBytes(disc.CuePath(),
                               test::ReadBytes(disc.CuePath()) + "  TRACK 03 MODE1/2352\r\n    INDEX 01 02:44:00\r\n"));
  QTemporaryDir out;
  const auto ripped =
      RunProgram(test::TrackmillProgram(), {"rip", "--no-ctdb", "--disc-image", disc.CuePath(), "--tracks", "2", "--format", "wav",
                                            "--output", out.path(), "--yes", "--no-accuraterip", "--read-offset",
                                            QString::number(kShift)});
  ASSERT_EQ(ripped.exitCode, 0) << ripped.err.toStdString();
  const QByteArray audio = test::ReadBytes(out.filePath("Track02.wav")).mid(44);
  ASSERT_EQ(audio.size(), kAudioBytes);
  EXPECT_EQ(audio.right(kShift * 4), QByteArray(kShift * 4, '\0'));
  EXPECT_EQ(audio.chopped(kShift * 4), disc.ExpectedTrack(2).mid(kShift * 4, kAudioBytes - kShift * 4));
}

}  // namespace
}  // namespace trackmill
