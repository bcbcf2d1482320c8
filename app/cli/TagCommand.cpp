#include <QFileInfo>

#include "app/cli/CommandLine.h"
#include "app/cli/Commands.h"
#include "settings/LangString.h"
#include "tags/FullTags.h"
#include "tags/Id3Genres.h"
#include "tags/Id3Tag.h"
#include "tags/TagFileEdit.h"
#include "tags/TagFileKind.h"
#include "tags/VorbisFileFields.h"

// `trackmill tag show|set|remove FILE ...`, each format's own tags: an MP3 file's ID3v1 tag
// through Tid3tag (set and remove change its ID3v2 tag as well when it has one, so players show
// the edit); the Vorbis comments of a FLAC or Ogg Vorbis file. Any other file is refused, so
// no file gets bytes its format has no place for.
namespace trackmill::cli {
namespace {

QString Usage() {
  return QStringLiteral(
      "usage: trackmill tag show FILE | set FILE [--title T] [--artist A] [--album A] [--year Y] "
      "[--comment C] [--track N] [--genre NAME] | remove FILE");
}

QString StatusReason(quint16 status) {
  switch (status & 0xFF00) {
    case Tid3tag::kOpenFailed:
      return QStringLiteral("the file does not exist, is not a regular file or could not be opened");
    case Tid3tag::kReadOnly:
      return QStringLiteral("the file is read-only");
    case Tid3tag::kReadError:
      return QStringLiteral("the file could not be read");
    case Tid3tag::kWriteError:
      return QStringLiteral("the file could not be written");
    case Tid3tag::kIoError:
      return QStringLiteral("input/output error");
    case Tid3tag::kNoTag:
      return QStringLiteral("the file has no ID3v1 tag");
    default:
      return QStringLiteral("unknown error");
  }
}

QString StatusMessage(const QString& file, quint16 status) {
  return QStringLiteral("%1: %2 (status 0x%3)")
      .arg(file, StatusReason(status), QString::number(status, 16).rightJustified(4, u'0'));
}

// Genre number for a name of the genre list or the display list (any case), or a number
// 0..255; the empty text means no genre. -1 when unknown.
int ParseGenre(const QString& text) {
  const QString name = text.trimmed();
  if (name.isEmpty()) return kNoGenre;
  bool isNumber = false;
  const int number = name.toInt(&isNumber);
  if (isNumber) return number >= 0 && number <= 255 ? number : -1;
  if (const int genre = GenreByName(name); genre >= 0) return genre;
  const QStringList& display = GenreDisplayList();
  for (int i = 1; i < display.size(); ++i)
    if (QString::compare(display[i], name, Qt::CaseInsensitive) == 0) return ListIndexToGenre(i);
  return -1;
}

// A field of the command: its option, its ID3v1 setter (none for the track and the genre),
// its ID3v2 frame and its Vorbis comment name.
struct Field {
  const char* label;  // in the listing of show
  const char* option;
  void (Tid3tag::*setter)(const QString&);
  const char* frame;  // of the ID3v2 tag, which keeps the whole text
  const char* comment;
};
constexpr Field kFields[] = {
    {"title", "--title", &Tid3tag::SetTitle, "TIT2", "TITLE"},
    {"artist", "--artist", &Tid3tag::SetArtist, "TPE1", "ARTIST"},
    {"album", "--album", &Tid3tag::SetAlbum, "TALB", "ALBUM"},
    {"year", "--year", &Tid3tag::SetYear, "TDRC", "DATE"},
    {"comment", "--comment", &Tid3tag::SetComment, "COMM", "COMMENT"},
    {"track", "--track", nullptr, "TRCK", "TRACKNUMBER"},
    {"genre", "--genre", nullptr, "TCON", "GENRE"},
};

QList<QByteArray> CommentNames() {
  QList<QByteArray> names;
  for (const Field& field : kFields) names << field.comment;
  return names;
}

// A value an option gave: the text the tags hold (no track, no genre: empty) and, for the
// track and the genre, the number.
struct GivenField {
  const Field* field;
  QString text;
  int number = 0;
};

// The values the options give, in table order. 0, or the exit code after printing why not.
int TakeFieldOptions(QStringList& options, std::vector<GivenField>* given) {
  for (const Field& field : kFields) {
    const QString name = QString::fromLatin1(field.option);
    if (!options.contains(name)) continue;
    bool ok = true;
    const QString value = TakeOption(options, name, &ok);
    if (field.setter) {
      if (!ok) return Fail(QStringLiteral("%1 needs a value").arg(name));
      given->push_back({&field, value});
    } else if (name == QLatin1String("--track")) {
      bool isNumber = false;
      const int track = value.toInt(&isNumber);
      if (!ok || !isNumber || track < 0 || track > 255)
        return Fail(QStringLiteral("--track needs a number from 0 to 255"));
      given->push_back({&field, track > 0 ? QString::number(track) : QString(), track});
    } else {
      const int genre = ParseGenre(value);
      if (!ok || genre < 0) return Fail(QStringLiteral("unknown genre \"%1\"").arg(value));
      given->push_back({&field, GenreName(genre), genre});
    }
  }
  if (options.isEmpty()) return 0;
  return Fail(QStringLiteral("unknown argument \"%1\"\n").arg(options.first()) + Usage());
}

// The kind of an existing regular file: 0, or the exit code after printing why it has none.
int KindOf(const QString& file, TagFileKind* kind) {
  if (!QFileInfo(file).isFile()) return Fail(StatusMessage(file, Tid3tag::kOpenFailed));
  QByteArray content;
  QString error;
  if (!ReadTaggedFile(file, &content, &error)) return Fail(error);
  *kind = TagFileKindOf(content);
  return 0;
}

// The refusal of a file the command cannot tag, saying what it is not.
int Refuse(const QString& file) {
  const TagFileKind promised = TagFileKindByName(file);
  if (promised != TagFileKind::Other)
    return Fail(QStringLiteral("%1: not %2 %3 file")
                    .arg(file, promised == TagFileKind::Flac ? QStringLiteral("a") : QStringLiteral("an"),
                         TagFileKindName(promised)));
  return Fail(QStringLiteral("%1: cannot be tagged: only MP3, FLAC and Ogg Vorbis files take tags").arg(file));
}

int ShowVorbis(const QString& file) {
  QStringList values;
  QString error;
  if (!ReadVorbisFields(file, CommentNames(), &values, &error)) return Fail(error);
  for (int i = 0; i < values.size(); ++i) {
    const bool isTrack = QLatin1String(kFields[i].label) == QLatin1String("track");
    Out() << kFields[i].label << ": " << (isTrack && values[i].isEmpty() ? QStringLiteral("0") : values[i]) << '\n';
  }
  Out().flush();
  return 0;
}

int ShowId3v1(const QString& file) {
  Tid3tag tag;
  const quint16 status = tag.ReadTag(file);
  if (!Tid3tag::IsSuccess(status)) return Fail(StatusMessage(file, status));
  Out() << "title: " << tag.Title << '\n'
        << "artist: " << tag.Artist << '\n'
        << "album: " << tag.Album << '\n'
        << "year: " << tag.Year << '\n'
        << "comment: " << tag.Comment << '\n'
        << "track: " << tag.Track << '\n'
        << "genre: " << GenreDisplayList().at(GenreToListIndex(tag.Genre)) << Qt::endl;
  if (status & Tid3tag::kUnknownGenre)
    Err() << "trackmill: " << file << ": unknown genre number " << tag.Genre << Qt::endl;
  return 0;
}

int Show(const QString& file) {
  TagFileKind kind = TagFileKind::Other;
  if (const int exitCode = KindOf(file, &kind); exitCode != 0) return exitCode;
  if (kind == TagFileKind::Flac || kind == TagFileKind::OggVorbis) return ShowVorbis(file);
  return ShowId3v1(file);
}

int SetVorbis(const QString& file, const std::vector<GivenField>& given) {
  VorbisFieldChanges changes;
  for (const GivenField& value : given) changes.emplace_back(value.field->comment, value.text);
  QString error;
  return ChangeVorbisFields(file, changes, &error) ? 0 : Fail(error);
}

int SetMp3(const QString& file, const std::vector<GivenField>& given) {
  // Fields not named on the command line keep the values of the existing tag.
  Tid3tag tag;
  const quint16 readStatus = tag.ReadTag(file);
  if (!Tid3tag::IsSuccess(readStatus) && readStatus != Tid3tag::kNoTag)
    return Fail(StatusMessage(file, readStatus));
  Id3v2Changes changes;
  for (const GivenField& value : given) {
    if (value.field->setter)
      (tag.*value.field->setter)(value.text);
    else if (QLatin1String(value.field->option) == QLatin1String("--track"))
      tag.SetTrack(static_cast<quint8>(value.number));
    else
      tag.Genre = static_cast<quint8>(value.number);
    changes.emplace_back(value.field->frame, value.text);
  }
  const quint16 status = tag.WriteTag(file);
  if (!Tid3tag::IsSuccess(status))
    return Fail(LangString(QStringLiteral("RES_SaveTag_Error")) + ' ' +
                StatusMessage(file, status));
  QString error;
  if (ChangeId3v2Frames(file, changes, &error) == Id3v2Edit::Failed) return Fail(error);
  return 0;
}

int Set(const QString& file, QStringList options) {
  std::vector<GivenField> given;
  if (const int exitCode = TakeFieldOptions(options, &given); exitCode != 0) return exitCode;
  TagFileKind kind = TagFileKind::Other;
  if (const int exitCode = KindOf(file, &kind); exitCode != 0) return exitCode;
  if (kind == TagFileKind::Mp3) return SetMp3(file, given);
  if (kind == TagFileKind::Flac || kind == TagFileKind::OggVorbis) return SetVorbis(file, given);
  return Refuse(file);
}

int RemoveVorbis(const QString& file) {
  bool removed = false;
  QString error;
  if (!RemoveVorbisFields(file, CommentNames(), &removed, &error)) return Fail(error);
  if (!removed) Out() << file << ": no tag fields to remove" << Qt::endl;
  return 0;
}

int Remove(const QString& file) {
  TagFileKind kind = TagFileKind::Other;
  if (const int exitCode = KindOf(file, &kind); exitCode != 0) return exitCode;
  if (kind == TagFileKind::Flac || kind == TagFileKind::OggVorbis) return RemoveVorbis(file);
  if (kind != TagFileKind::Mp3) return Refuse(file);
  Tid3tag tag;
  const quint16 readStatus = tag.ReadTag(file);
  if (readStatus == Tid3tag::kOpenFailed) return Fail(StatusMessage(file, readStatus));
  const quint16 status = tag.RemoveTagReporting();
  QString error;
  if (RemoveId3v2Tag(file, &error) == Id3v2Edit::Failed) return Fail(error);
  if (status == Tid3tag::kNoTag) {
    Out() << file << ": no ID3v1 tag to remove" << Qt::endl;
    return 0;
  }
  if (!Tid3tag::IsSuccess(status)) return Fail(StatusMessage(file, status));
  return 0;
}

}  // namespace

int RunTagCommand(const QStringList& arguments) {
  // The file comes right after the action; a "--" there lets it start with "-".
  QStringList args = arguments;
  if (args.size() > 2 && args.at(1) == QLatin1String("--")) args.removeAt(1);
  if (args.size() < 2) return Fail(Usage());
  const QString action = args.at(0);
  const QString file = args.at(1);
  const QStringList rest = args.mid(2);
  if (action == QLatin1String("set")) return Set(file, rest);
  if (!rest.isEmpty()) return Fail(Usage());
  if (action == QLatin1String("show")) return Show(file);
  if (action == QLatin1String("remove")) return Remove(file);
  return Fail(Usage());
}

}  // namespace trackmill::cli
