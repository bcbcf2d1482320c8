#pragma once
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdlib>
#include <functional>

// A test-only desktop sound set-up: a private PulseAudio server with one null sink, and an ALSA
// configuration whose default device is the pulse plugin talking to it, as on most desktops.
// Record() captures the sink's monitor with parec while an action plays into it. Available() is
// false when the server cannot start here (the tests then skip). Sets the environment of this
// process (children inherit it); create it before anything starts the audio system.
namespace trackmill::test {

class PulseNullSink {
 public:
  static constexpr const char* kSinkName = "trackmill_test";

  PulseNullSink() {
    const QString socket = dir_.filePath("native");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The server keeps its state in this folder, never in the user's own.
    environment.insert("HOME", dir_.path());
    environment.insert("XDG_RUNTIME_DIR", dir_.path());
    environment.insert("XDG_CONFIG_HOME", dir_.path());
    server_.setProcessEnvironment(environment);
    server_.setStandardOutputFile(QProcess::nullDevice());
    server_.setStandardErrorFile(QProcess::nullDevice());
    server_.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=false",
                                 "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + socket,
                                 "-L", QStringLiteral("module-null-sink sink_name=%1").arg(kSinkName)});
    if (!server_.waitForStarted(5000)) return;
    for (int i = 0; i < 200 && server_.state() == QProcess::Running && !QFile::exists(socket); ++i) QThread::msleep(50);
    if (server_.state() != QProcess::Running || !QFile::exists(socket)) return;
    QFile config(dir_.filePath("asound.conf"));
    if (!config.open(QIODevice::WriteOnly)) return;
    config.write("pcm.!default { type pulse }\nctl.!default { type pulse }\n");
    config.close();
    setenv("PULSE_SERVER", qPrintable("unix:" + socket), 1);
    setenv("ALSA_CONFIG_PATH", qPrintable(config.fileName()), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    available_ = true;
  }

  ~PulseNullSink() {
    unsetenv("PULSE_SERVER");
    server_.terminate();
    if (!server_.waitForFinished(5000)) server_.kill();
    server_.waitForFinished(2000);
  }

  bool Available() const { return available_; }

  // 16-bit stereo 44.1 kHz of the monitor from before `play` starts until a while after it ends.
  QByteArray Record(const std::function<void()>& play) {
    const QString path = dir_.filePath("monitor.raw");
    QFile::remove(path);
    QProcess recorder;
    recorder.setStandardOutputFile(path);
    recorder.start("parec", {"-d", QStringLiteral("%1.monitor").arg(kSinkName), "--format=s16le", "--rate=44100",
                             "--channels=2", "--latency-msec=20"});
    // Playing starts only once the monitor is being recorded.
    auto recordedBytes = [&] { return QFileInfo(path).size(); };
    for (int i = 0; i < 200 && recordedBytes() == 0 && recorder.state() != QProcess::NotRunning; ++i) QThread::msleep(50);
    play();
    const qint64 end = recordedBytes() + kTailBytes;
    for (int i = 0; i < 100 && recordedBytes() < end && recorder.state() != QProcess::NotRunning; ++i) QThread::msleep(50);
    recorder.terminate();
    recorder.waitForFinished(5000);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

 private:
  static constexpr qsizetype kTailBytes = 44100 * 4 / 2;  // half a second after the end

  QTemporaryDir dir_;
  QProcess server_;
  bool available_ = false;
};

}  // namespace trackmill::test
