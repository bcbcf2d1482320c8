#include "tags/VorbisFileFields.h"

#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <functional>

#include "tags/TagFileEdit.h"
#include "tags/TagFileKind.h"

namespace trackmill {
namespace {

using TagLib::String;

String Text(const QString& text) { return String(text.toUtf8().constData(), String::UTF8); }
String Name(const QByteArray& name) { return String(name.constData(), String::UTF8); }

// What work needs of a file: its Vorbis comment and, for FLAC, the file (for its ID3v1 block).
struct CommentAccess {
  TagLib::Ogg::XiphComment* comment = nullptr;
  TagLib::FLAC::File* flac = nullptr;
};

// Opens the stream as the FLAC or Ogg Vorbis file it is and runs work on its comment; then
// saves the file when work returned true and save is set. False with a reason for a file of
// another kind.
bool WithComment(TagLib::ByteVectorStream* stream, const QString& path, bool save,
                 const std::function<bool(const CommentAccess&)>& work, QString* error) {
  const QString unsaved = QStringLiteral("%1: the Vorbis comments could not be saved").arg(path);
  const TagLib::ByteVector* bytes = stream->data();
  const TagFileKind kind = TagFileKindOf(QByteArray::fromRawData(bytes->data(), static_cast<qsizetype>(bytes->size())));
  if (kind == TagFileKind::Flac) {
    TagLib::FLAC::File file(stream, TagLib::ID3v2::FrameFactory::instance(), false);
    if (!work({file.xiphComment(true), &file})) return false;
    return !save || file.save() || TagError(error, unsaved);
  }
  if (kind == TagFileKind::OggVorbis) {
    TagLib::Ogg::Vorbis::File file(stream, false);
    if (!work({file.tag(), nullptr})) return false;
    return !save || file.save() || TagError(error, unsaved);
  }
  return TagError(error, QStringLiteral("%1: not a FLAC or Ogg Vorbis file").arg(path));
}

// Where an ID3v1 block that follows the last Ogg page begins; -1 when the stream does not
// end with whole pages and one such block.
qint64 TrailingId3v1Block(const TagLib::ByteVector& bytes) {
  constexpr unsigned kPageHeaderBytes = 27;
  constexpr unsigned kBlockBytes = 128;
  const unsigned size = bytes.size();
  unsigned at = 0;
  while (at + kPageHeaderBytes <= size && bytes.containsAt("OggS", at)) {
    const unsigned segments = static_cast<unsigned char>(bytes[at + 26]);
    if (at + kPageHeaderBytes + segments > size) return -1;
    unsigned body = 0;
    for (unsigned i = 0; i < segments; ++i) body += static_cast<unsigned char>(bytes[at + kPageHeaderBytes + i]);
    at += kPageHeaderBytes + segments + body;
  }
  if (size < kBlockBytes || at != size - kBlockBytes || !bytes.containsAt("TAG", at)) return -1;
  return at;
}

}  // namespace

bool ReadVorbisFields(const QString& path, const QList<QByteArray>& names, QStringList* values, QString* error) {
  QByteArray content;
  if (!ReadTaggedFile(path, &content, error)) return false;
  TagLib::ByteVectorStream stream(TagLib::ByteVector(content.constData(), static_cast<unsigned>(content.size())));
  values->clear();
  return WithComment(
      &stream, path, false,
      [&](const CommentAccess& access) {
        const TagLib::Ogg::FieldListMap fields = access.comment->fieldListMap();
        for (const QByteArray& name : names) {
          const auto field = fields.find(Name(name).upper());
          const bool has = field != fields.end() && !field->second.isEmpty();
          values->append(has ? QString::fromStdString(field->second.front().to8Bit(true)) : QString());
        }
        return true;
      },
      error);
}

bool ChangeVorbisFields(const QString& path, const VorbisFieldChanges& changes, QString* error) {
  return EditInMemory(
      path,
      [&](TagLib::ByteVectorStream* stream) {
        return WithComment(
            stream, path, true,
            [&](const CommentAccess& access) {
              for (const auto& [name, text] : changes) {
                if (text.isEmpty())
                  access.comment->removeFields(Name(name));
                else
                  access.comment->addField(Name(name), Text(text), true);
              }
              return true;
            },
            error);
      },
      error);
}

bool RemoveVorbisFields(const QString& path, const QList<QByteArray>& names, bool* removed, QString* error) {
  *removed = false;
  QString reason;
  const bool written = EditInMemory(
      path,
      [&](TagLib::ByteVectorStream* stream) {
        if (const qint64 block = TrailingId3v1Block(*stream->data()); block >= 0) {
          stream->truncate(static_cast<long>(block));
          *removed = true;
        }
        return WithComment(
            stream, path, true,
            [&](const CommentAccess& access) {
              for (const QByteArray& name : names) {
                if (!access.comment->contains(Name(name))) continue;
                access.comment->removeFields(Name(name));
                *removed = true;
              }
              if (access.flac && access.flac->hasID3v1Tag()) {
                access.flac->strip(TagLib::FLAC::File::ID3v1);
                *removed = true;
              }
              return *removed;  // nothing removed: the file stays as it is
            },
            &reason);
      },
      &reason);
  if (written || reason.isEmpty()) return true;
  return TagError(error, reason);
}

}  // namespace trackmill
