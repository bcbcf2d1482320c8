// Tables of contents of five pressed discs with their published CDDB and MusicBrainz ids: a first
// track after a pregap, an enhanced disc (data track last) and a mixed-mode disc (data track
// first) among them. Each disc is written as a cue sheet over a sparse .bin of the disc's length,
// so that libcdio reads its table of contents as it reads a real disc's.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "cd/Drive.h"
#include "cd/TrackList.h"
#include "cddb/CddbDriveToc.h"
#include "cddb/MusicBrainzToc.h"
#include "settings/DiscInfoStore.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

constexpr qint32 kLeadInFrames = 150;

QString Msf(qint32 frames) {
  return QStringLiteral("%1:%2:%3")
      .arg(frames / 4500, 2, 10, QLatin1Char('0'))
      .arg(frames / 75 % 60, 2, 10, QLatin1Char('0'))
      .arg(frames % 75, 2, 10, QLatin1Char('0'));
}

// The cue sheet and its sparse .bin in folder; returns the cue's path.
QString WriteDiscImage(const QString& folder, const QJsonObject& disc) {
  const QJsonArray offsets = disc["offsets"].toArray();
  const QJsonArray dataTracks = disc["data_tracks"].toArray();
  QByteArray cue = "FILE \"disc.bin\" BINARY\n";
  for (qsizetype i = 0; i < offsets.size(); ++i) {
    const int number = int(i) + 1;
    const qint32 start = offsets[i].toInt() - kLeadInFrames;
    cue += QStringLiteral("  TRACK %1 %2\n")
               .arg(number, 2, 10, QLatin1Char('0'))
               .arg(dataTracks.contains(number) ? "MODE1/2352" : "AUDIO")
               .toLatin1();
    if (i == 0 && start > 0) cue += "    INDEX 00 00:00:00\n";
    cue += "    INDEX 01 " + Msf(start).toLatin1() + "\n";
  }
  QFile bin(folder + "/disc.bin");
  const qint64 frames = disc["leadout"].toInt() - kLeadInFrames;
  if (!bin.open(QIODevice::WriteOnly) || !bin.resize(frames * kCDSectorBytes)) return {};
  const QString cuePath = folder + "/disc.cue";
  return test::WriteBytes(cuePath, cue) ? cuePath : QString();
}

TEST(PublishedDiscIdTest, TrackListAndQueryFormThePublishedIds) {
  const QByteArray json = test::ReadBytes(test::TestDataDir() + "/published-disc-ids.json");
  const QJsonArray discs = QJsonDocument::fromJson(json)["discs"].toArray();
  ASSERT_EQ(discs.size(), 5);
  for (const QJsonValue& value : discs) {
    const QJsonObject disc = value.toObject();
    const std::string album = disc["album"].toString().toStdString();
    const QString publishedId = disc["cddb_id"].toString();
    QTemporaryDir folder;
    const QString cue = WriteDiscImage(folder.path(), disc);
    ASSERT_FALSE(cue.isEmpty()) << album;
    ClearDiscImages();
    AddDiscImage(cue);

    TrackList list;
    list.Show(0);
    ASSERT_NE(list.Drive, nullptr) << album << ": " << list.Status.toStdString();
    EXPECT_EQ(list.DiscIdentifier, DiscIdText(publishedId.toUInt(nullptr, 16))) << album;

    const std::optional<DiscToc> toc = list.Drive->ReadToc();
    ASSERT_TRUE(toc) << album;
    const QStringList words = CddbQueryWords(CddbTocFromToc(*toc));
    ASSERT_FALSE(words.isEmpty()) << album;
    EXPECT_EQ(words.first(), publishedId) << album;
    EXPECT_EQ(MusicBrainzTocFromToc(*toc).discId, disc["musicbrainz_id"].toString()) << album;
    const QJsonArray offsets = disc["offsets"].toArray();
    ASSERT_EQ(qsizetype(toc->tracks.size()), offsets.size()) << album;
    for (qsizetype i = 0; i < offsets.size(); ++i) {
      EXPECT_EQ(toc->tracks[size_t(i)].FramesFromLeadIn(), offsets[i].toInt()) << album << " track " << i + 1;
      const bool data = toc->tracks[size_t(i)].IsData();
      EXPECT_EQ(data, disc["data_tracks"].toArray().contains(int(i) + 1)) << album << " track " << i + 1;
    }
    list.Drive->Close();  // not the list's Close(): nothing goes into the title cache
  }
  ClearDiscImages();
}

}  // namespace
}  // namespace trackmill
