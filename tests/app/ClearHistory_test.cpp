#include "app/shell/ClearHistory.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

TEST(ClearHistory, VlcLosesOnlyItsRecentList) {
  const QString conf =
      "[General]\r\nlist=keep\r\n[RecentsMRL]\r\nlist=file:///a.ogg, \"file:///b, c.mp3\", file:///d.wav\r\n"
      "times=0, 0, 0\r\n[MainWindow]\r\ngeometry=@ByteArray(x)\r\n";
  const ClearedText cleared = WithoutVlcRecents(conf);
  EXPECT_EQ(cleared.removed, 3);
  EXPECT_EQ(cleared.text, "[General]\r\nlist=keep\r\n[RecentsMRL]\r\n[MainWindow]\r\ngeometry=@ByteArray(x)\r\n");
  EXPECT_EQ(WithoutVlcRecents("[RecentsMRL]\nlist=@Invalid()\n").removed, 0);
}

TEST(ClearHistory, RecentFilesLoseTheirAudioBookmarksOnlyAndTheFileIsRewritten) {
  const QString head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xbel version=\"1.0\" "
                       "xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\" "
                       "xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
  auto bookmark = [](const QString& name, const QString& type) {
    return "  <bookmark href=\"file:///home/u/" + name + "\" added=\"2026\">\n    <info>\n      <metadata "
           "owner=\"http://freedesktop.org\">\n        <mime:mime-type type=\"" + type +
           "\"/>\n      </metadata>\n    </info>\n  </bookmark>\n";
  };
  const QString text = head + bookmark("Süße Lieder.mp3", "audio/mpeg") + bookmark("Brief.odt", "application/x") +
                       bookmark("b.ogg", "audio/x-vorbis+ogg") + "</xbel>\n";
  QTemporaryDir dir;
  const QString path = dir.filePath("recently-used.xbel");
  ASSERT_TRUE(test::WriteBytes(path, text.toUtf8()));
  QString error;
  EXPECT_EQ(ClearRecentAudioFiles(path, error), 2);
  EXPECT_EQ(QString::fromUtf8(test::ReadBytes(path)), head + bookmark("Brief.odt", "application/x") + "</xbel>\n");
  EXPECT_EQ(ClearRecentAudioFiles(path, error), 0);
  EXPECT_EQ(ClearRecentAudioFiles(dir.filePath("missing.xbel"), error), 0);
  // A damaged file is not touched.
  EXPECT_EQ(WithoutAudioBookmarks(head + bookmark("a.mp3", "audio/mpeg")).removed, 0);
}

}  // namespace
}  // namespace trackmill
