#pragma once
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

// A test-only ALSA set-up: the default playback device is ALSA's file plugin over its null
// sink, so whatever is played lands in PlayedPath(). With noDevice, no device can be opened. Must be created before anything starts the audio system in this process.
namespace trackmill::test {

class AlsaTestSink {
 public:
  explicit AlsaTestSink(bool noDevice = false) {
    QFile config(dir_.filePath("asound.conf"));
    config.open(QIODevice::WriteOnly);
    if (noDevice) {
      // A default device on a sound card that does not exist: what a machine without one has.
      config.write("pcm.!default { type hw card 97 }\n");
    } else {
      config.write(QStringLiteral("pcm.!default {\n type file\n slave.pcm { type null }\n"
                                  " file \"%1\"\n format \"raw\"\n}\n")
                       .arg(PlayedPath())
                       .toUtf8());
    }
    config.close();
    setenv("ALSA_CONFIG_PATH", qPrintable(config.fileName()), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
  }

  QString PlayedPath() const { return dir_.filePath("played.raw"); }
  QByteArray Played() const {
    QFile file(PlayedPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

 private:
  QTemporaryDir dir_;
};

// The frames of 16-bit stereo PCM that are not silence, in order.
inline QByteArray WithoutSilentFrames(const QByteArray& pcm) {
  QByteArray out;
  for (qsizetype i = 0; i + 4 <= pcm.size(); i += 4) {
    if (pcm[i] || pcm[i + 1] || pcm[i + 2] || pcm[i + 3]) out.append(pcm.constData() + i, 4);
  }
  return out;
}

}  // namespace trackmill::test
