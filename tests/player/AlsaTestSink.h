#pragma once
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

// A test-only ALSA set-up: the default playback device is ALSA's file plugin over its null
// sink, so whatever is played lands in PlayedPath(); the default capture device reads the raw
// bytes given as captured (then silence). With noDevice, no device can be opened. Must be
// created before anything starts the audio system in this process; child processes inherit it.
namespace trackmill::test {

class AlsaTestSink {
 public:
  explicit AlsaTestSink(bool noDevice = false, const QByteArray& captured = {}) {
    QFile input(dir_.filePath("captured.raw"));
    input.open(QIODevice::WriteOnly);
    input.write(captured);
    input.close();
    QFile config(dir_.filePath("asound.conf"));
    config.open(QIODevice::WriteOnly);
    if (noDevice) {
      // A default device on a sound card that does not exist: what a machine without one has.
      config.write("pcm.!default { type hw card 97 }\n");
    } else {
      config.write(QStringLiteral("pcm.!default {\n type asym\n"
                                  " playback.pcm { type file slave.pcm { type null } file \"%1\" format \"raw\" }\n"
                                  " capture.pcm { type file slave.pcm { type null } file \"/dev/null\""
                                  " infile \"%2\" format \"raw\" }\n}\n")
                       .arg(PlayedPath(), input.fileName())
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
