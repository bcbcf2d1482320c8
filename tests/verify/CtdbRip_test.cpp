// The rip command with the parity database: a generated disc image ripped to WAV and checked
// against a loopback database that knows its pressing and a slightly different one.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "CtdbTestDisc.h"
#include "WebTestServer.h"
#include "tests/support/TestPaths.h"
#include "verify/ctdb/CtdbLookup.h"

using namespace trackmill;
using namespace trackmill::ctdb;
using namespace trackmill::ctdb_test;

namespace {

QByteArray EntryOf(int id, const CtdbStreamSums& sums, const CtdbToc& toc, int confidence) {
  QByteArray syndromes;
  for (uint16_t s : sums.Syndromes(0)) syndromes += char(s & 0xFF), syndromes += char(s >> 8);
  QByteArray crcs;
  for (int k = 0; k < toc.AudioTrackCount(); ++k)
    crcs += (k ? " " : "") + QByteArray::number(sums.TrackCrc(k), 16).rightJustified(8, '0');
  return "<entry id=\"" + QByteArray::number(id) + "\" crc32=\"" +
         QByteArray::number(sums.DiscCrc(0), 16).rightJustified(8, '0') + "\" confidence=\"" +
         QByteArray::number(confidence) + "\" npar=\"16\" stride=\"5880\" hasparity=\"/parity/" +
         QByteArray::number(id) + "\" syndrome=\"" + syndromes.toBase64() + "\" trackcrcs=\"" + crcs +
         "\" toc=\"" + toc.Text().toLatin1() + "\"/>";
}

QByteArray ParityOf(const CtdbStreamSums& sums) {
  QByteArray file;
  for (int i = 0; i < kMaxSyndromes; ++i)
    for (int c = 0; c < kStrideWords; ++c)
      file += char(sums.Syndromes(c)[i] & 0xFF), file += char(sums.Syndromes(c)[i] >> 8);
  return file;
}

}  // namespace

// A rip of every track is verified by its own pressing and found repairable against one that
// differs in three samples; the log names the TOC id and every entry; --no-ctdb asks nothing.
TEST(CtdbRip, TheRipIsCheckedBesideAccurateRip) {
  QTemporaryDir dir;
  qputenv("TRACKMILL_HOME", dir.filePath("home").toUtf8());
  QDir(dir.path()).mkdir("home");
  ASSERT_EQ(test::RunProgram(test::ToolProgram("discimage"),
                             {"--music", "--out", dir.filePath("disc"), "--track", "3s", "--track", "2s:75",
                              "--track", "4s"})
                .exitCode,
            0);
  const CtdbToc toc({{0, false}, {300, false}, {450, false}}, 750);
  const QByteArray audio = test::ReadBytes(dir.filePath("disc.bin"));
  ASSERT_EQ(audio.size(), toc.StreamSamples() * 4);
  const auto* bytes = reinterpret_cast<const uint8_t*>(audio.constData());
  CtdbStreamSums pressing(toc), other(toc);
  pressing.Add(bytes, size_t(audio.size()));
  QByteArray changed = audio;
  for (int i = 0; i < 3; ++i) changed[400 * 2352 + 4 * i] = char(changed[400 * 2352 + 4 * i] ^ 0x40);
  other.Add(reinterpret_cast<const uint8_t*>(changed.constData()), size_t(changed.size()));
  ASSERT_TRUE(pressing.Finish() && other.Finish());

  QByteArray reply = "<ctdb>" + EntryOf(11, pressing, toc, 5) + EntryOf(12, other, toc, 4) + "</ctdb>";
  const QByteArray parity = ParityOf(other);
  test::WebTestServer database([&](const QString& target) {
    if (target.startsWith(QLatin1String("/lookup2.php"))) return test::WebAnswer(200, reply, "text/xml");
    if (target == QLatin1String("/parity/12")) return test::WebAnswer(200, parity, "application/octet-stream");
    return test::WebAnswer(404, "Not Found", "text/plain");
  });
  const QString host = database.BaseUrl().mid(7);
  const auto rip = [&](const QString& out, const QStringList& extra) {
    return test::RunProgram(test::TrackmillProgram(),
                            QStringList{"rip", "--disc-image", dir.filePath("disc.cue"), "--format", "wav",
                                        "--output", dir.filePath(out), "--no-accuraterip", "--yes"} + extra);
  };
  QDir(dir.path()).mkdir("out");
  // Without AccurateRip, the parity database's confidence in every track makes the rip verified.
  const auto result = rip("out", {"--ctdb-server", host, "--require-accurate"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_TRUE(result.out.contains("CTDB: found 2 entries")) << result.out.toStdString();
  EXPECT_TRUE(result.out.contains("CTDB entry 11, CRC " + QByteArray::number(pressing.DiscCrc(0), 16).rightJustified(8, '0') +
                                  ", offset 0: verified (confidence 5)"));
  EXPECT_TRUE(result.out.contains("CTDB entry 12")) << result.out.toStdString();
  EXPECT_TRUE(result.out.contains("differs in 3 samples (confidence 4), repairable"));

  const QStringList logs = QDir(dir.filePath("out")).entryList({"*.log"});
  ASSERT_EQ(logs.size(), 1);
  const QString log = QString::fromUtf8(test::ReadBytes(dir.filePath("out/" + logs[0])));
  EXPECT_TRUE(log.contains("CTDB TOC id: " + toc.Id()));
  EXPECT_TRUE(log.contains("  CTDB: confidence 9 of 9"));  // tracks 1 and 3
  EXPECT_TRUE(log.contains("  CTDB: confidence 5 of 9"));  // track 2, where entry 12 differs
  EXPECT_LT(log.indexOf("CTDB TOC id"), log.indexOf("CRC32:"));

  const size_t asked = database.Requests().size();
  QDir(dir.path()).mkdir("quiet");
  const auto quiet = rip("quiet", {"--ctdb-server", host, "--no-ctdb", "--require-accurate"});
  ASSERT_EQ(quiet.exitCode, 3);
  EXPECT_FALSE(quiet.out.contains("CTDB"));
  EXPECT_EQ(database.Requests().size(), asked);

  // Only the other pressing known: the rip's WAV files become its audio.
  reply = "<ctdb>" + EntryOf(12, other, toc, 4) + "</ctdb>";
  QDir(dir.path()).mkdir("repaired");
  const auto repaired = rip("repaired", {"--ctdb-server", host, "--require-accurate"});
  ASSERT_EQ(repaired.exitCode, 0) << repaired.err.toStdString();
  EXPECT_TRUE(repaired.out.contains("Track 02: CTDB: repaired 3 samples against entry 12")) << repaired.out.toStdString();
  QByteArray ripped;
  const QStringList wavs = QDir(dir.filePath("repaired")).entryList({"*.wav"}, QDir::Files, QDir::Name);
  for (const QString& wav : wavs) ripped += test::ReadBytes(dir.filePath("repaired/" + wav)).mid(44);
  EXPECT_TRUE(ripped == changed);
}
