#include "common/TextForms.h"

#include <gtest/gtest.h>

namespace trackmill {
namespace {

TEST(TextForms, TwoDigitPadsOnlySingleDigits) {
  EXPECT_EQ(TwoDigit(0), "00");
  EXPECT_EQ(TwoDigit(7), "07");
  EXPECT_EQ(TwoDigit(12), "12");
  EXPECT_EQ(TwoDigit(100), "100");
  EXPECT_EQ(DurationText(0), "00:00");
  EXPECT_EQ(DurationText(245), "04:05");
  EXPECT_EQ(DurationText(6000), "100:00");
}

TEST(TextForms, CleanFileNameDropsForbiddenCharactersOnly) {
  EXPECT_EQ(CleanFileName("a*b/c:d<e>f?g\\h|i"), "abcdefghi");
  EXPECT_EQ(CleanFileName("Café \"Live\" - $x; `y`"), "Café \"Live\" - $x; `y`");
}

TEST(TextForms, CleanFileNameMakesOneSafeNameOrNothing) {
  const QString loneHigh(QChar(0xD83D));
  const struct {
    QString title;
    QString name;
  } cases[] = {
      {"/etc/passwd", "etcpasswd"},
      {"..", ""},
      {".", ""},
      {"", ""},
      {"../../x", "x"},
      {"...hidden. name.", "hidden. name."},
      {QString::fromUtf8("a\x01" "b\tc\x7f" "\xc2\x85" "d\ne"), "abcde"},
      {"Song " + loneHigh + "x", QString::fromUtf8("Song \xef\xbf\xbdx")},
      {QString::fromUtf8("Bj\xc3\xb6rk \xf0\x9f\x8e\xb5 \xff"), QString::fromUtf8("Bj\xc3\xb6rk \xf0\x9f\x8e\xb5 \xef\xbf\xbd")},
  };
  for (const auto& c : cases) EXPECT_EQ(CleanFileName(c.title), c.name) << c.title.toStdString();
}

TEST(TextForms, FitFileNameCutsTheStemAtWholeCharacters) {
  const QString stars = QString(100, QChar(0x2605));  // 3 bytes each in UTF-8
  const QString accents = QString::fromUtf8("e\xcc\x81").repeated(100);  // e + combining acute: 3 bytes
  const QString emoji = QString::fromUtf8("\xf0\x9f\x8e\xb5").repeated(70);  // 4 bytes, a surrogate pair each
  const struct {
    QString stem;
    QString extension;
    int maxBytes;
    QString name;
  } cases[] = {
      {"Short", ".flac", 255, "Short.flac"},
      {QString(300, u'a'), ".flac", 255, QString(250, u'a') + ".flac"},
      {stars, ".ogg", 255, stars.left(83) + ".ogg"},  // 83 * 3 + 4 = 253
      {accents, ".wav", 255, accents.left(2 * 83) + ".wav"},
      {emoji, " (2).mp3", 255, emoji.left(2 * 61) + " (2).mp3"},  // 61 * 4 + 8 = 252
      {"abc", ".flac", 4, ".flac"},
  };
  for (const auto& c : cases) {
    const QString name = FitFileName(c.stem, c.extension, c.maxBytes);
    EXPECT_EQ(name, c.name) << c.stem.toStdString();
    EXPECT_EQ(QString::fromUtf8(name.toUtf8()), name);
  }
}

}  // namespace
}  // namespace trackmill
