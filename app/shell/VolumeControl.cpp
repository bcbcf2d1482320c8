#include "app/shell/VolumeControl.h"

#include <QProcess>
#include <QStandardPaths>

#include "settings/LangString.h"

namespace trackmill {

MixerCommand FindMixer(bool recording) {
  MixerCommand command;
  if (const QString pavucontrol = QStandardPaths::findExecutable(QStringLiteral("pavucontrol"));
      !pavucontrol.isEmpty()) {
    command.program = pavucontrol;
    command.arguments = {recording ? QStringLiteral("--tab=2") : QStringLiteral("--tab=1")};
    return command;
  }
  const QString alsamixer = QStandardPaths::findExecutable(QStringLiteral("alsamixer"));
  if (!alsamixer.isEmpty()) {
    for (const char* terminal : {"x-terminal-emulator", "xterm"}) {
      const QString path = QStandardPaths::findExecutable(QLatin1String(terminal));
      if (path.isEmpty()) continue;
      command.program = path;
      command.arguments = {QStringLiteral("-e"), alsamixer};
      if (recording) command.arguments << QStringLiteral("-V") << QStringLiteral("capture");
      return command;
    }
  }
  command.missing = LangString("RES_No_Mixer");
  return command;
}

bool StartMixer(bool recording, QString& error) {
  const MixerCommand command = FindMixer(recording);
  if (command.program.isEmpty()) {
    error = command.missing;
    return false;
  }
  if (QProcess::startDetached(command.program, command.arguments)) return true;
  error = QStringLiteral("%1 could not be started.").arg(command.program);
  return false;
}

}  // namespace trackmill
