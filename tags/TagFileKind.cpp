#include "tags/TagFileKind.h"

#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/vorbisfile.h>

#include "tags/Id3Layout.h"

namespace trackmill {
namespace {

// Where the audio begins: past an ID3v2 tag at the start, when there is one.
qsizetype AudioStart(const QByteArray& content) {
  using namespace id3::v2;
  if (!content.startsWith("ID3") || content.size() < kHeaderSize) return 0;
  const bool footer = static_cast<quint8>(content[5]) & kFooterFlag;
  return kHeaderSize + ReadSynchsafe(content.constData() + 6) + (footer ? kFooterSize : 0);
}

}  // namespace

TagFileKind TagFileKindOf(const QByteArray& content) {
  TagLib::ByteVectorStream stream(TagLib::ByteVector(content.constData(), static_cast<unsigned>(content.size())));
  const QByteArray magic = content.mid(AudioStart(content), 4);
  if (magic == "fLaC") {
    TagLib::FLAC::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    return file.isValid() ? TagFileKind::Flac : TagFileKind::Other;
  }
  if (content.startsWith("OggS")) {
    TagLib::Ogg::Vorbis::File file(&stream, false);
    return file.isValid() ? TagFileKind::OggVorbis : TagFileKind::Other;
  }
  // TagLib opens any bytes as an MPEG file; only one with an audio frame is one.
  TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
  return file.isValid() && file.firstFrameOffset() >= 0 ? TagFileKind::Mp3 : TagFileKind::Other;
}

TagFileKind TagFileKindByName(const QString& path) {
  const auto is = [&path](const char* suffix) { return path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive); };
  if (is(".mp3")) return TagFileKind::Mp3;
  if (is(".flac")) return TagFileKind::Flac;
  if (is(".ogg") || is(".oga")) return TagFileKind::OggVorbis;
  return TagFileKind::Other;
}

QString TagFileKindName(TagFileKind kind) {
  switch (kind) {
    case TagFileKind::Mp3:
      return QStringLiteral("MP3");
    case TagFileKind::Flac:
      return QStringLiteral("FLAC");
    case TagFileKind::OggVorbis:
      return QStringLiteral("Ogg Vorbis");
    case TagFileKind::Other:
      break;
  }
  return {};
}

}  // namespace trackmill
