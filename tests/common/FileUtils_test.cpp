#include "common/FileUtils.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/PermissionsBind.h"

namespace trackmill {
namespace {

TEST(FileUtils, SizeInUseAndSeparator) {
  QTemporaryDir dir;
  const QString path = dir.filePath("a b.wav");
  EXPECT_EQ(FileSizeBySearch(path), -1);
  EXPECT_FALSE(IsFileInUse(path));
  ASSERT_TRUE(WriteFileAtomically(path, QByteArray(1234, 'x')));
  EXPECT_EQ(FileSizeBySearch(path), 1234);
  EXPECT_EQ(FileSizeBySearch(dir.path()), -1);
  EXPECT_FALSE(IsFileInUse(path));

  const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  EXPECT_TRUE(IsFileInUse(path));
  ::close(fd);
  EXPECT_FALSE(IsFileInUse(path));

  QFile::setPermissions(path, QFile::ReadOwner);
  test::RunWherePermissionsBind([&] { EXPECT_TRUE(IsFileInUse(path)); });

  EXPECT_EQ(IncludeTrailingSeparator(""), "");
  EXPECT_EQ(IncludeTrailingSeparator("/music"), "/music/");
  EXPECT_EQ(IncludeTrailingSeparator("/music/"), "/music/");
}

TEST(FileUtils, AtomicWriteKeepsOldContentWhenFolderIsMissing) {
  QTemporaryDir dir;
  const QString path = dir.filePath("options.ini");
  ASSERT_TRUE(WriteFileAtomically(path, "old"));
  ASSERT_TRUE(WriteFileAtomically(path, "new"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "new");
  EXPECT_FALSE(WriteFileAtomically(dir.filePath("missing/x.ini"), "data"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"options.ini"});
}

}  // namespace
}  // namespace trackmill
