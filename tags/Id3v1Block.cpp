#include "tags/Id3v1Block.h"

#include "tags/Id3Layout.h"

namespace trackmill::id3::v1 {
namespace {

void PutField(QByteArray& block, int offset, int width, const QByteArray& text) {
  const QByteArray cut = text.left(width);
  block.replace(offset, cut.size(), cut);
}

}  // namespace

std::optional<BlockFields> ParseBlock(const QByteArray& block) {
  if (block.size() != kBlockSize || !HasMagic(block)) return std::nullopt;
  const bool hasTrack = block[kTrackMarkerOffset] == '\0' && block[kTrackOffset] != '\0';
  BlockFields fields;
  fields.title = block.mid(kTitleOffset, kTextWidth);
  fields.artist = block.mid(kArtistOffset, kTextWidth);
  fields.album = block.mid(kAlbumOffset, kTextWidth);
  fields.year = block.mid(kYearOffset, kYearWidth);
  fields.comment = block.mid(kCommentOffset, hasTrack ? kShortCommentWidth : kTextWidth);
  fields.track = hasTrack ? static_cast<quint8>(block[kTrackOffset]) : 0;
  fields.genre = static_cast<quint8>(block[kGenreOffset]);
  return fields;
}

QByteArray RenderBlock(const BlockFields& fields) {
  QByteArray block(kBlockSize, '\0');
  block.replace(0, kMagicSize, kMagic);
  PutField(block, kTitleOffset, kTextWidth, fields.title);
  PutField(block, kArtistOffset, kTextWidth, fields.artist);
  PutField(block, kAlbumOffset, kTextWidth, fields.album);
  PutField(block, kYearOffset, kYearWidth, fields.year);
  if (fields.track != 0) {
    PutField(block, kCommentOffset, kShortCommentWidth, fields.comment);
    block[kTrackOffset] = static_cast<char>(fields.track);
  } else {
    PutField(block, kCommentOffset, kTextWidth, fields.comment);
  }
  block[kGenreOffset] = static_cast<char>(fields.genre);
  return block;
}

}  // namespace trackmill::id3::v1
