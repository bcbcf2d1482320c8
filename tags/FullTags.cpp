#include "tags/FullTags.h"

#include <taglib/asffile.h>
#include <taglib/asfpicture.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <functional>
#include <memory>

#include "tags/TagFileEdit.h"

namespace trackmill {
namespace {

using TagLib::ByteVector;
using TagLib::String;

String Text(const QString& text) { return String(text.toUtf8().constData(), String::UTF8); }
String Text(const char* text) { return String(text, String::UTF8); }

QString GainText(double gainDb) { return QString::number(gainDb, 'f', 2) + QStringLiteral(" dB"); }
QString PeakText(double peak) { return QString::number(peak, 'f', 6); }

// The Vorbis comment names of ReplayGain values, also the TXXX descriptions in ID3v2.
std::vector<std::pair<const char*, QString>> GainFields(const TrackTags& tags) {
  std::vector<std::pair<const char*, QString>> fields;
  if (tags.trackGain) {
    fields.emplace_back("REPLAYGAIN_TRACK_GAIN", GainText(tags.trackGain->gainDb));
    fields.emplace_back("REPLAYGAIN_TRACK_PEAK", PeakText(tags.trackGain->peak));
  }
  if (tags.albumGain) {
    fields.emplace_back("REPLAYGAIN_ALBUM_GAIN", GainText(tags.albumGain->gainDb));
    fields.emplace_back("REPLAYGAIN_ALBUM_PEAK", PeakText(tags.albumGain->peak));
  }
  return fields;
}

// A text of the tags under its ID3v2 frame id (none: Vorbis comments only) and comment name.
struct TextField {
  const char* frame;
  const char* comment;
  QString value;
};

std::vector<TextField> TextFields(const TrackTags& tags) {
  const QString albumArtist = tags.albumArtist != tags.artist ? tags.albumArtist : QString();
  return {{"TIT2", "TITLE", tags.title},
          {"TPE1", "ARTIST", tags.artist},
          {"TPE2", "ALBUMARTIST", albumArtist},
          {"TALB", "ALBUM", tags.album},
          {"TDRC", "DATE", tags.year},
          {"TCON", "GENRE", tags.genre},
          {"COMM", "COMMENT", tags.comment},
          {nullptr, "TRACKNUMBER", tags.track > 0 ? QString::number(tags.track) : QString()},
          {nullptr, "TRACKTOTAL", tags.trackTotal > 0 ? QString::number(tags.trackTotal) : QString()}};
}

QString TrackText(const TrackTags& tags) {
  if (tags.track <= 0) return {};
  return tags.trackTotal > 0 ? QStringLiteral("%1/%2").arg(tags.track).arg(tags.trackTotal) : QString::number(tags.track);
}

void SetFrame(TagLib::ID3v2::Tag* tag, const ByteVector& id, const QString& text) {
  tag->removeFrames(id);
  if (text.isEmpty()) return;
  if (id == "COMM") {
    auto* frame = new TagLib::ID3v2::CommentsFrame(String::UTF8);
    frame->setLanguage("eng");
    frame->setText(Text(text));
    tag->addFrame(frame);
    return;
  }
  auto* frame = new TagLib::ID3v2::TextIdentificationFrame(id, String::UTF8);
  frame->setText(Text(text));
  tag->addFrame(frame);
}

void SetUserText(TagLib::ID3v2::Tag* tag, const char* description, const QString& text) {
  if (auto* old = TagLib::ID3v2::UserTextIdentificationFrame::find(tag, Text(description))) tag->removeFrame(old);
  auto* frame = new TagLib::ID3v2::UserTextIdentificationFrame(String::UTF8);
  frame->setDescription(Text(description));
  frame->setText(Text(text));
  tag->addFrame(frame);
}

// Ends the file with the ID3v1 block, over the one it ends with.
void PutId3v1Block(TagLib::IOStream& stream, const QByteArray& block) {
  constexpr long kBlockBytes = 128;
  const auto length = static_cast<long>(stream.length());
  bool replaces = false;
  if (length >= kBlockBytes) {
    stream.seek(length - kBlockBytes);
    replaces = stream.readBlock(3) == ByteVector("TAG");
  }
  stream.seek(replaces ? length - kBlockBytes : length);
  stream.writeBlock(ByteVector(block.constData(), static_cast<unsigned>(block.size())));
}

// TagLib opens any bytes as an MPEG file; only one with an audio frame is one.
bool IsMpegAudio(TagLib::MPEG::File& file) { return file.isValid() && file.firstFrameOffset() >= 0; }

bool SaveId3v2(TagLib::MPEG::File& file) {
  return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v4,
                   TagLib::File::DoNotDuplicate);
}

void FillId3v2(TagLib::ID3v2::Tag* tag, const TrackTags& tags) {
  for (const TextField& field : TextFields(tags))
    if (field.frame && !field.value.isEmpty()) SetFrame(tag, field.frame, field.value);
  if (tags.track > 0) SetFrame(tag, "TRCK", TrackText(tags));
  for (const auto& [name, value] : GainFields(tags)) SetUserText(tag, name, value);
  if (!tags.coverJpeg.isEmpty()) {
    tag->removeFrames("APIC");
    auto* picture = new TagLib::ID3v2::AttachedPictureFrame;
    picture->setTextEncoding(String::UTF8);
    picture->setMimeType("image/jpeg");
    picture->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    picture->setPicture(ByteVector(tags.coverJpeg.constData(), static_cast<unsigned>(tags.coverJpeg.size())));
    tag->addFrame(picture);
  }
}

std::unique_ptr<TagLib::FLAC::Picture> FrontCover(const QByteArray& jpeg) {
  auto picture = std::make_unique<TagLib::FLAC::Picture>();
  picture->setType(TagLib::FLAC::Picture::FrontCover);
  picture->setMimeType("image/jpeg");
  picture->setData(ByteVector(jpeg.constData(), static_cast<unsigned>(jpeg.size())));
  return picture;
}

void FillXiph(TagLib::Ogg::XiphComment* comment, const TrackTags& tags) {
  const auto set = [comment](const char* name, const QString& value) {
    if (!value.isEmpty()) comment->addField(name, Text(value), true);
  };
  for (const TextField& field : TextFields(tags)) set(field.comment, field.value);
  for (const auto& [name, value] : GainFields(tags)) set(name, value);
}

// The header's title, author and description, the rest as the attributes players read.
void FillAsf(TagLib::ASF::Tag* tag, const TrackTags& tags) {
  const auto set = [tag](const char* name, const QString& value) {
    if (!value.isEmpty()) tag->setAttribute(name, TagLib::ASF::Attribute(Text(value)));
  };
  if (!tags.title.isEmpty()) tag->setTitle(Text(tags.title));
  if (!tags.artist.isEmpty()) tag->setArtist(Text(tags.artist));
  if (!tags.comment.isEmpty()) tag->setComment(Text(tags.comment));
  set("WM/AlbumTitle", tags.album);
  set("WM/AlbumArtist", tags.albumArtist != tags.artist ? tags.albumArtist : QString());
  set("WM/Year", tags.year);
  set("WM/Genre", tags.genre);
  set("WM/TrackNumber", TrackText(tags));
  for (const auto& [name, value] : GainFields(tags)) set(name, value);
  if (!tags.coverJpeg.isEmpty()) {
    TagLib::ASF::Picture picture;
    picture.setType(TagLib::ASF::Picture::FrontCover);
    picture.setMimeType("image/jpeg");
    picture.setPicture(ByteVector(tags.coverJpeg.constData(), static_cast<unsigned>(tags.coverJpeg.size())));
    tag->setAttribute("WM/Picture", TagLib::ASF::Attribute(picture));
  }
}

bool IsSuffix(const QString& path, const char* suffix) {
  return path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}

bool EditTags(const QString& path, const TrackTags& tags, QString* error) {
  const QString invalid = QStringLiteral("%1: not a file TagLib can tag").arg(path);
  const QString unsaved = QStringLiteral("%1: the tags could not be saved").arg(path);
  return EditInPlace(
      path,
      [&](TagLib::IOStream* stream) {
        if (IsSuffix(path, ".mp3")) {
          TagLib::MPEG::File file(stream, TagLib::ID3v2::FrameFactory::instance(), false);
          if (!IsMpegAudio(file)) return TagError(error, invalid);
          FillId3v2(file.ID3v2Tag(true), tags);
          if (!SaveId3v2(file)) return TagError(error, unsaved);
          if (!tags.id3v1Block.isEmpty()) PutId3v1Block(*stream, tags.id3v1Block);
          return true;
        }
        if (IsSuffix(path, ".ogg")) {
          TagLib::Ogg::Vorbis::File file(stream, false);
          if (!file.isValid() || !file.tag()) return TagError(error, invalid);
          FillXiph(file.tag(), tags);
          if (!tags.coverJpeg.isEmpty()) {
            file.tag()->removeAllPictures();
            file.tag()->addPicture(FrontCover(tags.coverJpeg).release());  // the comment owns it
          }
          return file.save() || TagError(error, unsaved);
        }
        if (IsSuffix(path, ".flac")) {
          TagLib::FLAC::File file(stream, TagLib::ID3v2::FrameFactory::instance(), false);
          if (!file.isValid()) return TagError(error, invalid);
          FillXiph(file.xiphComment(true), tags);
          if (!tags.coverJpeg.isEmpty()) {
            file.removePictures();
            file.addPicture(FrontCover(tags.coverJpeg).release());  // the file owns it
          }
          return file.save() || TagError(error, unsaved);
        }
        if (IsSuffix(path, ".wma")) {
          TagLib::ASF::File file(stream, false);
          if (!file.isValid() || !file.tag()) return TagError(error, invalid);
          FillAsf(file.tag(), tags);
          return file.save() || TagError(error, unsaved);
        }
        return TagError(error, QStringLiteral("%1: no full tags for this kind of file").arg(path));
      },
      error);
}

// Runs change on an MP3 file's ID3v2 tag; NoTag when the file has none (it is left alone).
Id3v2Edit EditExistingId3v2(const QString& path, QString* error,
                            const std::function<bool(TagLib::MPEG::File&)>& change) {
  Id3v2Edit outcome = Id3v2Edit::NoTag;
  const bool written = EditInMemory(
      path,
      [&](TagLib::IOStream* stream) {
        TagLib::MPEG::File file(stream, TagLib::ID3v2::FrameFactory::instance(), false);
        if (!IsMpegAudio(file) || !file.hasID3v2Tag()) return false;
        outcome = change(file) ? Id3v2Edit::Changed : Id3v2Edit::Failed;
        return outcome == Id3v2Edit::Changed || TagError(error, QStringLiteral("%1: the ID3v2 tag could not be saved").arg(path));
      },
      error);
  if (outcome == Id3v2Edit::NoTag && error && !error->isEmpty()) return Id3v2Edit::Failed;  // unreadable file
  if (outcome == Id3v2Edit::Changed && !written) outcome = Id3v2Edit::Failed;
  return outcome;
}

}  // namespace

bool WriteFullTags(const QString& path, const TrackTags& tags, QString* error) {
  return EditTags(path, tags, error);
}

bool WriteAlbumGain(const QString& path, const GainAndPeak& album, QString* error) {
  TrackTags tags;
  tags.albumGain = album;
  return EditTags(path, tags, error);
}

Id3v2Edit ChangeId3v2Frames(const QString& path, const Id3v2Changes& changes, QString* error) {
  return EditExistingId3v2(path, error, [&](TagLib::MPEG::File& file) {
    for (const auto& [id, text] : changes) SetFrame(file.ID3v2Tag(), ByteVector(id.constData(), 4), text);
    return SaveId3v2(file);
  });
}

Id3v2Edit RemoveId3v2Tag(const QString& path, QString* error) {
  return EditExistingId3v2(path, error, [](TagLib::MPEG::File& file) { return file.strip(TagLib::MPEG::File::ID3v2); });
}

}  // namespace trackmill
