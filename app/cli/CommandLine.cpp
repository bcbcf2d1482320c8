#include "app/cli/CommandLine.h"

#include <cstdio>

#include "app/cli/Commands.h"
#include "common/AppInfo.h"
#include "settings/Settings.h"

namespace trackmill::cli {

QTextStream& Out() {
  static QTextStream stream(stdout);
  return stream;
}

QTextStream& Err() {
  static QTextStream stream(stderr);
  return stream;
}

int Fail(const QString& message, int exitCode) {
  Err() << "trackmill: " << message << Qt::endl;
  return exitCode;
}

int NotYetAvailable(const QString& command) {
  return Fail(QStringLiteral("the command \"%1\" is not available in this build").arg(command));
}

namespace {

constexpr char kEndOfOptions[] = "--";

qsizetype OptionsEnd(const QStringList& args) {
  const qsizetype end = args.indexOf(QLatin1String(kEndOfOptions));
  return end < 0 ? args.size() : end;
}

}  // namespace

QString TakeOption(QStringList& args, const QString& name, bool* ok) {
  if (ok) *ok = true;
  const qsizetype at = args.indexOf(name);
  if (at < 0 || at >= OptionsEnd(args)) return {};
  if (at + 1 >= args.size()) {
    if (ok) *ok = false;
    args.removeAt(at);
    return {};
  }
  const QString value = args.at(at + 1);
  args.remove(at, 2);
  return value;
}

bool TakeFlag(QStringList& args, const QString& name) {
  bool found = false;
  for (qsizetype at = args.indexOf(name); at >= 0 && at < OptionsEnd(args); at = args.indexOf(name)) {
    args.removeAt(at);
    found = true;
  }
  return found;
}

QStringList Operands(const QStringList& args, QString* unknownOption) {
  unknownOption->clear();
  const qsizetype end = OptionsEnd(args);
  for (qsizetype at = 0; at < end && unknownOption->isEmpty(); ++at)
    if (args.at(at).startsWith(QLatin1String(kEndOfOptions))) *unknownOption = args.at(at);
  QStringList operands = args;
  if (end < args.size()) operands.removeAt(end);
  return operands;
}

void LoadSettingsOrWarn() {
  if (const QString problem = LoadSettings(); !problem.isEmpty()) Err() << "trackmill: " << problem << Qt::endl;
}

QString HelpText() {
  return QStringLiteral(
      "Usage: trackmill [COMMAND [ARGUMENTS...]]\n"
      "       trackmill [--disc-image FILE | --drive N]\n"
      "Without a command, opens the main window (on the disc image or drive given).\n"
      "\n"
      "Commands:\n"
      "  toc     [--disc-image FILE | --drive N]\n"
      "          List the tracks of a disc: number, title, length, size.\n"
      "  rip     [--disc-image FILE | --drive N] [--tracks 1,3-5] [--format mp3|wav|ogg|wma|flac]\n"
      "          [--output DIR] [--pattern P] [--yes|--no] [--read-offset SAMPLES]\n"
      "          [--accuraterip-server HOST[:PORT] | --no-accuraterip] [--require-accurate]\n"
      "          [--ctdb-server HOST[:PORT] | --no-ctdb] [--read-mode fast|secure]\n"
      "          Extract tracks (secure: every sector proven by reads that agree), encode\n"
      "          them and check them against AccurateRip and the parity database (CTDB;\n"
      "          a rip of every track in WAV); exit status 4 when a track has suspicious\n"
      "          positions, 3 with --require-accurate when a track is not verified. P names\n"
      "          the files below DIR: %t title, %n number, %N total, %a track artist,\n"
      "          %A album artist, %l album, %y year, %g genre, %d disc, %D discs,\n"
      "          %f format, / a folder (default %t).\n"
      "  offset  [--disc-image FILE | --drive N] [--accuraterip-server HOST[:PORT]] [--save]\n"
      "          Find the drive's read offset from the disc's AccurateRip entries and compare\n"
      "          it with the drive offset list; exit status 1 when no single offset is found.\n"
      "  convert wav2mp3|mp3towav|wav2ogg|wav2wma|wav2flac FILE... [--output DIR] [--yes|--no]\n"
      "  convert wav2wav IN OUT [--rate HZ] [--channels 1|2] [--bits 8|16|24|32]\n"
      "          [--encoding pcm|ima-adpcm]\n"
      "          Convert audio files.\n"
      "  tag     show FILE | set FILE [--title T] [--artist A] [--album A] [--year Y]\n"
      "          [--comment C] [--track N] [--genre NAME] | remove FILE\n"
      "          Show, write or remove the tag of an MP3 file (ID3v1, and ID3v2 when it has\n"
      "          one) or the Vorbis comments of a FLAC or Ogg Vorbis file.\n"
      "  cddb    [--disc-image FILE | --drive N] [--server HOST[:PORT]] [--script PATH]\n"
      "          [--proxy HOST:PORT] [--email ADDRESS]\n"
      "          Look the disc up in a CDDB server and remember its titles.\n"
      "  musicbrainz [--disc-image FILE | --drive N] [--server URL] [--coverart-server URL]\n"
      "          [--release N] [--yes]\n"
      "          Look the disc up in MusicBrainz, remember its titles and front cover.\n"
      "  play    FILE.ogg|FILE.wav | --track N [--disc-image FILE | --drive N]\n"
      "          Play a file or a track of a disc through the sound output; Ctrl+C stops.\n"
      "  record  OUT.wav [--seconds N] [--rate HZ] [--bits 8|16] [--channels 1|2]\n"
      "          Record from the default sound input until the time is up or Ctrl+C.\n"
      "\n"
      "Options:\n"
      "  -h, --help     Show this help.\n"
      "  -v, --version  Show the version.\n"
      "  --             End the options of a command: the words after it are files, even\n"
      "                 ones that start with \"-\".\n"
      "\n"
      "Settings are read from options.ini in $TRACKMILL_HOME (default ~/.config/trackmill).\n");
}

int RunCommandLine(const QStringList& arguments) {
  if (arguments.isEmpty() || arguments.first() == "-h" || arguments.first() == "--help" ||
      arguments.first() == "help") {
    Out() << HelpText();
    Out().flush();
    return 0;
  }
  if (arguments.first() == "-v" || arguments.first() == "--version") {
    Out() << kAppTitle << ' ' << kAppVersion << Qt::endl;
    return 0;
  }
  const QString command = arguments.first();
  const QStringList rest = arguments.mid(1);
  if (command == "tag") return RunTagCommand(rest);
  if (command == "toc") return RunTocCommand(rest);
  if (command == "rip") return RunRipCommand(rest);
  if (command == "convert") return RunConvertCommand(rest);
  if (command == "cddb") return RunCddbCommand(rest);
  if (command == "musicbrainz") return RunMusicBrainzCommand(rest);
  if (command == "offset") return RunOffsetCommand(rest);
  if (command == "play") return RunPlayCommand(rest);
  if (command == "record") return RunRecordCommand(rest);
  Err() << HelpText();
  return Fail(QStringLiteral("unknown command \"%1\"").arg(command), 2);
}

}  // namespace trackmill::cli
