#include "app/cli/CommandLine.h"
#include "app/cli/Commands.h"
#include "settings/LangString.h"
#include "tags/FullTags.h"
#include "tags/Id3Genres.h"
#include "tags/Id3Tag.h"

// `trackmill tag show|set|remove FILE ...`: the ID3v1 tag of one file through Tid3tag; set and
// remove change a file's ID3v2 tag as well when it has one, so players show the edit.
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

int Show(const QString& file) {
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

int Set(const QString& file, QStringList options) {
  struct TextOption {
    const char* name;
    void (Tid3tag::*setter)(const QString&);
    const char* frame;  // of the ID3v2 tag, which keeps the whole text
  };
  static constexpr TextOption kTextOptions[] = {
      {"--title", &Tid3tag::SetTitle, "TIT2"},     {"--artist", &Tid3tag::SetArtist, "TPE1"},
      {"--album", &Tid3tag::SetAlbum, "TALB"},     {"--year", &Tid3tag::SetYear, "TDRC"},
      {"--comment", &Tid3tag::SetComment, "COMM"},
  };
  Id3v2Changes changes;

  // Fields not named on the command line keep the values of the existing tag.
  Tid3tag tag;
  const quint16 readStatus = tag.ReadTag(file);
  if (!Tid3tag::IsSuccess(readStatus) && readStatus != Tid3tag::kNoTag)
    return Fail(StatusMessage(file, readStatus));

  for (const TextOption& option : kTextOptions) {
    bool ok = true;
    const QString name = QString::fromLatin1(option.name);
    const bool given = options.contains(name);
    const QString value = TakeOption(options, name, &ok);
    if (!ok) return Fail(QStringLiteral("%1 needs a value").arg(name));
    if (given) {
      (tag.*option.setter)(value);
      changes.emplace_back(option.frame, value);
    }
  }
  bool ok = true;
  if (options.contains(QStringLiteral("--track"))) {
    const QString text = TakeOption(options, QStringLiteral("--track"), &ok);
    bool isNumber = false;
    const int track = text.toInt(&isNumber);
    if (!ok || !isNumber || track < 0 || track > 255)
      return Fail(QStringLiteral("--track needs a number from 0 to 255"));
    tag.SetTrack(static_cast<quint8>(track));
    changes.emplace_back("TRCK", track > 0 ? QString::number(track) : QString());
  }
  if (options.contains(QStringLiteral("--genre"))) {
    const QString text = TakeOption(options, QStringLiteral("--genre"), &ok);
    const int genre = ParseGenre(text);
    if (!ok || genre < 0) return Fail(QStringLiteral("unknown genre \"%1\"").arg(text));
    tag.Genre = static_cast<quint8>(genre);
    changes.emplace_back("TCON", GenreName(genre));
  }
  if (!options.isEmpty()) return Fail(QStringLiteral("unknown argument \"%1\"\n").arg(options.first()) + Usage());

  const quint16 status = tag.WriteTag(file);
  if (!Tid3tag::IsSuccess(status))
    return Fail(LangString(QStringLiteral("RES_SaveTag_Error")) + ' ' +
                StatusMessage(file, status));
  QString error;
  if (ChangeId3v2Frames(file, changes, &error) == Id3v2Edit::Failed) return Fail(error);
  return 0;
}

int Remove(const QString& file) {
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
