#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstddef>

#include "tests/support/TestPaths.h"

// Small builders of ID3 test data shared by the tag tests.
namespace trackmill::test {

// A 128-byte ID3v1 block; each text is cut or NUL-padded to its width.
inline QByteArray Id3v1Block(const QByteArray& title, const QByteArray& artist, const QByteArray& album,
                             const QByteArray& year, const QByteArray& comment30, quint8 genre) {
  auto field = [](const QByteArray& text, int width) {
    QByteArray f = text.left(width);
    f.append(QByteArray(width - f.size(), '\0'));
    return f;
  };
  QByteArray block = "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) +
                     field(comment30, 30);
  block.append(char(genre));
  return block;
}

// The bytes of a string literal, embedded NULs included.
template <std::size_t N>
QByteArray Bytes(const char (&literal)[N]) {
  return QByteArray(literal, N - 1);
}

}  // namespace trackmill::test
