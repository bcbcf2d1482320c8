#include "tags/VorbisComments.h"

#include <QStringDecoder>

#include "tags/CommonTags.h"
#include "tags/VorbisTags.h"

namespace trackmill {

void ReadVorbisComments(const QList<QByteArray>& comments, TVorbisTags& tags) {
  tags.Clear();
  for (const QByteArray& comment : comments) {
    const qsizetype separator = comment.indexOf('=');
    if (separator < 0) continue;
    const QString name = QString::fromUtf8(comment.left(separator)).toLower();
    if (name != u"artist" && name != u"album" && name != u"title" && name != u"date" &&
        name != u"genre" && name != u"tracknumber")
      continue;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString value = decoder.decode(comment.mid(separator + 1));
    tags.SetValue(name, TagValue::Wide(value));
  }
}

void CopyVorbisToCommon(const TVorbisTags& vorbis, TCommonTags& common) {
  common.Clear();
  common.SetArtist(vorbis.Artist());
  common.SetAlbum(vorbis.Album());
  common.SetTitle(vorbis.Title());
  common.SetGenre(vorbis.Genre());
  common.SetYear(vorbis.Date());
  common.SetTrack(vorbis.Track());
}

QList<QPair<QByteArray, QByteArray>> VorbisCommentsToWrite(const TVorbisTags& tags) {
  QList<QPair<QByteArray, QByteArray>> out;
  for (int i = 0; i < tags.Count(); ++i) {
    const QString key = tags.KeyAt(i);
    const QByteArray value = tags.AsWideString(key).toUtf8();
    if (!value.isEmpty()) out.append({key.toUtf8(), value});
  }
  return out;
}

}  // namespace trackmill
