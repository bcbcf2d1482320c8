#include "tags/Id3Genres.h"

#include <gtest/gtest.h>

#include <set>

namespace trackmill {
namespace {

TEST(Id3Genres, DisplayListCoversEveryGenreOnce) {
  const QStringList& list = GenreDisplayList();
  ASSERT_EQ(list.size(), 149);
  EXPECT_EQ(list[0], "");
  std::set<int> genres;
  for (int i = 1; i < list.size(); ++i) {
    const int genre = ListIndexToGenre(i);
    ASSERT_LT(genre, 148) << list[i].toStdString();
    genres.insert(genre);
    EXPECT_EQ(GenreToListIndex(genre), i) << list[i].toStdString();
  }
  EXPECT_EQ(genres.size(), 148u);
}

TEST(Id3Genres, Conversions) {
  struct Case {
    const char* entry;
    int genre;
  };
  const Case cases[] = {{"Blues", 0},        {"Other", 12},          {"Rock", 17},
                        {"Synthpop", 147},   {"A Cappella", 123},    {"Alt. Rock", 40},
                        {"Chamber Music", 104}, {"Christian Gangsta", 136}, {"Death Metal", 22},
                        {"Drum & Base", 127}, {"Fast-Fusion", 84},   {"Folk/Rock", 81},
                        {"Gangsta Rap", 59}, {"Instrumental Pop", 46}, {"Instrumental Rock", 47},
                        {"Rhythmic Soul", 118}};
  for (const Case& c : cases) {
    const int index = GenreDisplayIndexOf(c.entry);
    ASSERT_GT(index, 0) << c.entry;
    EXPECT_EQ(ListIndexToGenre(index), c.genre) << c.entry;
  }
  EXPECT_EQ(GenreDisplayIndexOf("Blues"), 18);
  EXPECT_EQ(GenreDisplayIndexOf("blues"), -1);
  EXPECT_EQ(GenreDisplayIndexOf(""), 0);

  for (int genre : {148, 200, 254, 255, -1}) EXPECT_EQ(GenreToListIndex(genre), 0) << genre;
  for (int index : {0, 149, 255, 1000, -5}) EXPECT_EQ(ListIndexToGenre(index), 255) << index;
  EXPECT_EQ(ListIndexToGenre(quint8(-1)), 255) << "no selection passed as an 8-bit value";

  EXPECT_EQ(GenreName(0), "Blues");
  EXPECT_EQ(GenreName(147), "Synthpop");
  EXPECT_EQ(GenreName(148), "");
  EXPECT_EQ(GenreByName("  hip-hop "), 7);
  EXPECT_EQ(GenreByName("Gangsta"), 59);
  EXPECT_EQ(GenreByName("nothing"), -1);
}

}  // namespace
}  // namespace trackmill
