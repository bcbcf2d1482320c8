#pragma once
#include <QByteArray>
#include <QtGlobal>

// How many bytes the compressed frames of a file's ID3v2 tags unpack to, measured before the
// file is handed to TagLib, which unpacks every such frame whole and trusts no size: a frame
// of 850 KB can unpack to close to 1 GB and take four times that as text. Pure function; any
// thread.
namespace trackmill {

// At most this many unpacked bytes in all are let through to a tag reader.
constexpr qint64 kMaxUnpackedId3v2Bytes = 32 * 1024 * 1024;

// The bytes that the compressed frames (ID3v2.3 and 2.4) of every ID3v2 tag in content unpack
// to, frames inside unpacked frames included. Counts generously: any place in a tag that looks
// like a compressed frame header followed by a zlib stream is counted, wherever a reader
// might start its frame walk. Stops counting as soon as the sum passes limitBytes, so it never
// unpacks or keeps much more than limitBytes; a result above limitBytes means "too much".
qint64 UnpackedId3v2Bytes(const QByteArray& content, qint64 limitBytes = kMaxUnpackedId3v2Bytes);

}  // namespace trackmill
