#include <gtest/gtest.h>

#include <QRegularExpression>

#include "CtdbTestDisc.h"
#include "WebTestServer.h"
#include "verify/ctdb/CtdbVerification.h"
#include "verify/ctdb/ReedSolomon.h"

using namespace trackmill::ctdb;
using namespace trackmill::ctdb_test;
using trackmill::test::WebAnswer;
using trackmill::test::WebRequest;
using trackmill::test::WebTestServer;

namespace {

QByteArray Base64Words(const uint16_t* words, int count) {
  QByteArray bytes;
  for (int i = 0; i < count; ++i) bytes += char(words[i] & 0xFF), bytes += char(words[i] >> 8);
  return bytes.toBase64();
}

QByteArray ParityFile(const Reference& reference) {
  QByteArray file;
  for (uint16_t word : reference.parity) file += char(word & 0xFF), file += char(word >> 8);
  return file;
}

QByteArray EntryXml(int id, const Reference& reference, const CtdbToc& toc, int confidence,
                    const QByteArray& parity, const CtdbStreamSums& sums) {
  QByteArray trackCrcs;
  for (int k = 0; k < toc.AudioTrackCount(); ++k)
    trackCrcs += (k ? " " : "") + QByteArray::number(sums.TrackCrc(k), 16).rightJustified(8, '0');
  return "<entry id=\"" + QByteArray::number(id) + "\" crc32=\"" +
         QByteArray::number(reference.crc, 16).rightJustified(8, '0') + "\" confidence=\"" +
         QByteArray::number(confidence) + "\" npar=\"16\" stride=\"5880\"" +
         (parity.isEmpty() ? QByteArray() : " hasparity=\"" + parity + "\"") + " syndrome=\"" +
         Base64Words(reference.column0.data(), 16) + "\" trackcrcs=\"" + trackCrcs + "\" toc=\"" +
         toc.Text().toLatin1() + "\"/>";
}

QByteArray Reply(const QByteArray& entries) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ctdb xmlns=\"http://db.example/ns/mmd-1.0#\">" +
         entries + "<metadata source=\"x\" artist=\"a\"><track name=\"t\"/></metadata></ctdb>";
}

// Serves the lookup and parity files from a table of path -> body, answering ranges unless
// told to send whole files; records the ranges asked for.
struct ParityServer {
  enum class Ranges { Honoured, WholeFile, Short };
  QByteArray lookup;
  int lookupStatus = 200;
  std::map<QString, QByteArray> files;
  Ranges ranges = Ranges::Honoured;
  WebTestServer server{[this](const WebRequest& request) { return Answer(request); }};

  WebAnswer Answer(const WebRequest& request) {
    if (request.target.startsWith(QLatin1String("/lookup2.php"))) return {lookupStatus, lookup, "text/xml"};
    const auto file = files.find(request.target);
    if (file == files.end()) return {404, "Not Found", "text/plain"};
    const QRegularExpressionMatch range =
        QRegularExpression(QStringLiteral("^bytes=(\\d+)-(\\d+)$")).match(QString::fromLatin1(request.range));
    if (ranges == Ranges::WholeFile || !range.hasMatch()) return {200, file->second, "application/octet-stream"};
    const qsizetype first = range.captured(1).toLongLong(), last = range.captured(2).toLongLong();
    QByteArray part = file->second.mid(first, last - first + 1);
    if (ranges == Ranges::Short) part.chop(2);
    return {206, part, "application/octet-stream"};
  }
  CtdbServer Server() const {
    CtdbServer ours;
    ours.hostPort = server.BaseUrl().mid(7);
    return ours;
  }
  std::vector<QByteArray> RangesAsked() const {
    std::vector<QByteArray> asked;
    for (const WebRequest& request : server.Requests())
      if (!request.range.isEmpty()) asked.push_back(request.range);
    return asked;
  }
};

}  // namespace

// Replies the parser must refuse or take apart: no XML, cut short, another document, old
// entries with check words instead of syndromes, entries without TOC or with a bad CRC.
TEST(CtdbReply, ReadsEntriesAndRefusesWhatIsNotAReply) {
  for (const QByteArray& bad : {QByteArray("Not Found"), QByteArray("<ctdb><entry id=\"1\""),
                                QByteArray("<html><body/></html>"), QByteArray(kMaxReplyBytes + 1, ' ')})
    EXPECT_FALSE(ParseCtdbReply(bad).readable) << bad.left(40).toStdString();

  const GaloisField& field = GaloisField::Audio();
  const std::vector<uint32_t> data{1, 2, 3, 40000, 5};
  std::vector<uint16_t> checks;
  for (uint32_t check : CheckSymbols(field, data, 8)) checks.push_back(uint16_t(check));
  const CtdbReply reply = ParseCtdbReply(
      "<ctdb><entry id=\"7\" crc32=\"0000beef\" confidence=\"3\" parity=\"" +
      Base64Words(checks.data(), 8) + "\" hasparity=\"/parity/7\" trackcrcs=\"00000001 ffffffff\" toc=\"0:300:600\"/>"
      "<entry id=\"8\" crc32=\"0000beef\" confidence=\"3\"/>"
      "<entry id=\"9\" crc32=\"beef\" confidence=\"3\" toc=\"0:300\"/></ctdb>");
  ASSERT_TRUE(reply.readable);
  ASSERT_EQ(reply.entries.size(), 1u);
  EXPECT_EQ(reply.skippedEntries, 2);
  const CtdbEntry& entry = reply.entries[0];
  EXPECT_EQ(entry.id, 7);
  EXPECT_EQ(entry.crc, 0xbeefu);
  EXPECT_EQ(entry.trackCrcs, (std::vector<uint32_t>{1, 0xffffffff}));
  EXPECT_TRUE(entry.parityUrl.isEmpty());  // old entries are matched, never repaired
  const std::vector<uint32_t> syndromes = Syndromes(field, data, 8);
  EXPECT_EQ(std::vector<uint32_t>(entry.syndromes.begin(), entry.syndromes.end()), syndromes);

  EXPECT_EQ(ParityFileUrl(QStringLiteral("/parity/7"), QStringLiteral("h:81")), QByteArray("http://h:81/parity/7"));
  EXPECT_EQ(ParityFileUrl(QStringLiteral("http://p.example/7"), QStringLiteral("h")), QByteArray("http://p.example/7"));
  for (const char* refused : {"https://p.example/7", "file:///etc/passwd", "//p.example/7", "parity/7", ""})
    EXPECT_FALSE(ParityFileUrl(QString::fromLatin1(refused), QStringLiteral("h"))) << refused;
}

struct LookupCase {
  const char* name;
  int damagedWords;  // flipped from the middle of track 2 on
  ParityServer::Ranges ranges;
  const char* parityPath;
  CtdbEntryVerdict::Kind expected;
  const char* textStart;
};

// A rip checked against a loopback database serving the undamaged disc's entry and parity.
TEST(CtdbVerification, EntriesOfALoopbackDatabase) {
  const GeneratedDisc disc(kHiddenTrackDisc);
  const CtdbStreamSums clean = Sum(disc.toc, disc.Stream(0));
  const Reference reference = ReferenceOf(clean);
  const std::vector<LookupCase> cases = {
      {"verified", 0, ParityServer::Ranges::Honoured, "/parity/1", CtdbEntryVerdict::Kind::Verified, "verified (confidence 8)"},
      {"repaired with 4 rows", 2, ParityServer::Ranges::Honoured, "/parity/1", CtdbEntryVerdict::Kind::Repairable, "differs in 2 samples (confidence 8), repairable"},
      {"repaired with 16 rows", 6 * kStrideWords, ParityServer::Ranges::Honoured, "/parity/1", CtdbEntryVerdict::Kind::Repairable, "differs in 70560 samples"},
      {"whole file sent", 6 * kStrideWords, ParityServer::Ranges::WholeFile, "/parity/1", CtdbEntryVerdict::Kind::Repairable, "differs in 70560"},
      {"parity file too short", 2, ParityServer::Ranges::Short, "/parity/1", CtdbEntryVerdict::Kind::CouldNotVerify, "could not be verified: parity file of the wrong length"},
      {"parity missing", 2, ParityServer::Ranges::Honoured, "/parity/2", CtdbEntryVerdict::Kind::CouldNotVerify, "could not be verified: HTTP status 404"},
      {"no parity", 2, ParityServer::Ranges::Honoured, "", CtdbEntryVerdict::Kind::NotRepairable, "differs (confidence 8), not repairable: no parity"},
      {"parity elsewhere refused", 2, ParityServer::Ranges::Honoured, "ftp://x/1", CtdbEntryVerdict::Kind::NotRepairable, "differs (confidence 8), not repairable: parity address refused"},
  };
  for (const LookupCase& test : cases) {
    SCOPED_TRACE(test.name);
    ParityServer database;
    database.ranges = test.ranges;
    database.files[QStringLiteral("/parity/1")] = ParityFile(reference);
    database.lookup = Reply(EntryXml(1, reference, disc.toc, 8, test.parityPath, clean));
    std::vector<uint16_t> ours = disc.Stream(0);
    const qint64 start = 2 * disc.toc.TrackBeginSample(1) + 100000;
    for (qint64 w = start; w < start + test.damagedWords; ++w) ours[size_t(w)] ^= 0x0101;
    const CtdbStreamSums sums = Sum(disc.toc, ours);

    const CtdbLookup lookup = LookUpCtdb(disc.toc, database.Server());
    ASSERT_EQ(lookup.outcome, CtdbLookup::Outcome::Found) << lookup.detail.toStdString();
    const CtdbVerdict verdict = VerifyWithCtdb(disc.toc, sums, lookup, true, database.Server());
    ASSERT_EQ(verdict.entries.size(), 1u);
    EXPECT_EQ(verdict.entries[0].kind, test.expected);
    EXPECT_TRUE(EntryText(verdict.entries[0]).startsWith(QLatin1String(test.textStart)))
        << EntryText(verdict.entries[0]).toStdString();
    EXPECT_EQ(verdict.discConfidence, test.damagedWords == 0 ? 8 : 0);
    // Damage in track 2 only: tracks 1 and 3 keep the entry's confidence when it repairs or
    // when their CRCs agree.
    EXPECT_EQ(verdict.trackConfidence, (std::vector<int>{8, test.damagedWords == 0 ? 8 : 0, 8}));
    if (test.expected == CtdbEntryVerdict::Kind::Repairable && test.ranges == ParityServer::Ranges::Honoured) {
      EXPECT_EQ(database.RangesAsked().back(),
                test.damagedWords > 4 ? QByteArray("bytes=188160-376319") : QByteArray("bytes=0-94079"));
    }
  }
}

// Not in the database, unreachable and unreadable stay apart; several entries are judged
// each on its own, another pressing by its offset, another disc by its length; a correction
// at the end of the first track after a hidden track is charged to that track.
TEST(CtdbVerification, LookupOutcomesAndSeveralEntries) {
  const GeneratedDisc disc(kHiddenTrackDisc);
  const CtdbStreamSums clean = Sum(disc.toc, disc.Stream(0));
  const Reference reference = ReferenceOf(clean);

  ParityServer database;
  database.lookupStatus = 404;
  EXPECT_EQ(LookUpCtdb(disc.toc, database.Server()).outcome, CtdbLookup::Outcome::NotInDatabase);
  database.lookupStatus = 200;
  database.lookup = "<html>";
  EXPECT_EQ(LookUpCtdb(disc.toc, database.Server()).outcome, CtdbLookup::Outcome::Unreadable);
  database.lookup = QByteArray(kMaxReplyBytes + 10, ' ');
  EXPECT_EQ(LookUpCtdb(disc.toc, database.Server()).outcome, CtdbLookup::Outcome::Unreadable);
  database.lookup = Reply("");
  EXPECT_EQ(LookUpCtdb(disc.toc, database.Server()).outcome, CtdbLookup::Outcome::NotInDatabase);
  CtdbServer dead;
  dead.hostPort = trackmill::test::DeadServerUrl().mid(7);
  EXPECT_EQ(LookUpCtdb(disc.toc, dead).outcome, CtdbLookup::Outcome::Unreachable);
  EXPECT_EQ(database.server.Requests().front().target,
            QStringLiteral("/lookup2.php?version=3&ctdb=1&fuzzy=1&metadata=none&toc=40:300:700:1043"));
  EXPECT_TRUE(database.server.Requests().front().userAgent.startsWith("trackmill/"));

  // The same audio on an enhanced CD (another TOC string, same length) and a pressing read
  // 1234 samples later; a disc of another length.
  const CtdbToc enhanced({{40, false}, {300, false}, {700, false}, {12443, true}}, 20000);
  const CtdbStreamSums shiftedSums = Sum(disc.toc, disc.Stream(-1234));
  const Reference shifted = ReferenceOf(shiftedSums);
  // A pressing 100 samples off whose column 0 is beyond recognition: found track by track.
  const CtdbStreamSums nearSums = Sum(disc.toc, disc.Stream(-100));
  Reference unmatched = ReferenceOf(nearSums);
  for (size_t i = 0; i < unmatched.column0.size(); ++i) unmatched.column0[i] ^= uint16_t(0x9E37 * (i + 1));
  const GeneratedDisc other(CtdbToc({{0, false}}, 900));
  const CtdbStreamSums otherSums = Sum(other.toc, other.Stream(0));
  database.files[QStringLiteral("/parity/1")] = ParityFile(reference);
  database.lookup = Reply(EntryXml(1, reference, enhanced, 5, "/parity/1", clean) +
                          EntryXml(2, shifted, disc.toc, 3, "", shiftedSums) +
                          EntryXml(3, ReferenceOf(otherSums), other.toc, 2, "", otherSums) +
                          EntryXml(4, unmatched, disc.toc, 1, "", nearSums));
  std::vector<uint16_t> ours = disc.Stream(0);
  ours[size_t(2 * disc.toc.TrackEndSample(0) - 3)] ^= 0x8000;  // the first track's last sample
  const CtdbLookup lookup = LookUpCtdb(disc.toc, database.Server());
  const CtdbVerdict verdict = VerifyWithCtdb(disc.toc, Sum(disc.toc, ours), lookup, true, database.Server());
  ASSERT_EQ(verdict.entries.size(), 4u);
  EXPECT_EQ(verdict.entries[0].kind, CtdbEntryVerdict::Kind::Repairable);
  EXPECT_EQ(verdict.entries[0].repair.corrections.size(), 1u);
  EXPECT_EQ(verdict.entries[1].kind, CtdbEntryVerdict::Kind::NotRepairable);
  EXPECT_EQ(verdict.entries[1].offsetSamples, 1234);
  EXPECT_EQ(verdict.entries[2].kind, CtdbEntryVerdict::Kind::DifferentLength);
  EXPECT_EQ(verdict.entries[3].kind, CtdbEntryVerdict::Kind::NoMatch);
  EXPECT_EQ(verdict.totalConfidence, 11);
  EXPECT_EQ(verdict.discConfidence, 0);
  // Read 1234 and 100 samples later, the damaged last sample of track 1 belongs to track 2.
  EXPECT_EQ(verdict.trackConfidence, (std::vector<int>{3 + 1, 5, 5 + 3 + 1}));
  EXPECT_EQ(verdict.BestRepair(), &verdict.entries[0]);
}
