#pragma once
#include <QString>
#include <QStringList>

// Volume Control and Recording Control: the desktop's mixer on its playback or recording
// page. pavucontrol when installed, else alsamixer (its capture view for recording) in a
// terminal emulator. Main thread only (the message is a language string).
namespace trackmill {

struct MixerCommand {
  QString program;  // empty when no mixer is installed
  QStringList arguments;
  QString missing;  // then: what to install, as a sentence
};

MixerCommand FindMixer(bool recording);
// Starts the mixer detached; false with the reason in error when it cannot.
bool StartMixer(bool recording, QString& error);

}  // namespace trackmill
