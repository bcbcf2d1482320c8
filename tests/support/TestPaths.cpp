#include "tests/support/TestPaths.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QThread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

extern char** environ;

namespace trackmill::test {

QString BinaryDir() { return QStringLiteral(TRACKMILL_BINARY_DIR); }
QString TrackmillProgram() { return BinaryDir() + "/bin/trackmill"; }
QString ToolProgram(const QString& name) { return BinaryDir() + "/bin/" + name; }
QString TestDataDir() { return QStringLiteral(TRACKMILL_TEST_DATA_DIR); }

namespace {

// Peer tools convert text by the locale, and a fresh machine has none set (POSIX, 7-bit), so
// they run under the UTF-8 locale every system has. Programs built here keep the caller's
// environment: they must work under any locale, the POSIX one included.
std::vector<QByteArray> ChildEnvironment(const QString& program) {
  std::vector<QByteArray> entries;
  const bool builtHere = program.startsWith(BinaryDir() + '/');
  for (char** entry = environ; *entry; ++entry) {
    if (!builtHere && qstrncmp(*entry, "LC_ALL=", 7) == 0) continue;
    entries.emplace_back(*entry);
  }
  if (!builtHere) entries.emplace_back("LC_ALL=C.UTF-8");
  return entries;
}

}  // namespace

// Spawned with posix_spawn rather than QProcess: QProcess starts its children inside the
// uninstrumented Qt library, and afterwards the thread checker no longer sees the calling
// thread's lock hand-overs, so every later test in the binary would report races that are not
// there. The child of posix_spawn runs no instrumented code before exec.
ProcessResult RunProgram(const QString& program, const QStringList& args, int timeoutMs) {
  ProcessResult result;
  int outPipe[2];
  int errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0) return result;
  if (pipe2(errPipe, O_CLOEXEC) != 0) {
    close(outPipe[0]);
    close(outPipe[1]);
    return result;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);

  std::vector<QByteArray> argBytes;
  argBytes.push_back(QFile::encodeName(program));
  for (const QString& arg : args) argBytes.push_back(QFile::encodeName(arg));
  std::vector<char*> argv;
  for (QByteArray& arg : argBytes) argv.push_back(arg.data());
  argv.push_back(nullptr);

  std::vector<QByteArray> envBytes = ChildEnvironment(program);
  std::vector<char*> envp;
  for (QByteArray& entry : envBytes) envp.push_back(entry.data());
  envp.push_back(nullptr);

  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(outPipe[1]);
  close(errPipe[1]);
  if (spawned != 0) {
    close(outPipe[0]);
    close(errPipe[0]);
    return result;
  }

  // Both pipes are drained together, so a child filling one of them cannot stall.
  QElapsedTimer clock;
  clock.start();
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  QByteArray* sinks[2] = {&result.out, &result.err};
  int open = 2;
  bool timedOut = false;
  while (open > 0) {
    const qint64 left = timeoutMs - clock.elapsed();
    if (left <= 0) {
      timedOut = true;
      break;
    }
    const int ready = poll(fds, 2, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) {
      timedOut = true;
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[65536];
      const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, got);
      } else if (got == 0 || errno != EINTR) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  for (pollfd& fd : fds) {
    if (fd.fd >= 0) close(fd.fd);
  }

  int status = 0;
  pid_t ended = 0;
  while (!timedOut && (ended = waitpid(pid, &status, WNOHANG)) == 0) {
    if (clock.elapsed() >= timeoutMs) {
      timedOut = true;
      break;
    }
    QThread::msleep(5);
  }
  if (timedOut) {
    kill(pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return {};
  }
  if (ended == pid && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

QJsonObject ProbeFormatTags(const QString& path) {
  const ProcessResult result = RunProgram("ffprobe", {"-v", "error", "-show_entries", "format_tags", "-of", "json", path});
  return QJsonDocument::fromJson(result.out).object()["format"].toObject()["tags"].toObject();
}

bool HaveProgram(const QString& name) { return !QStandardPaths::findExecutable(name).isEmpty(); }

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace trackmill::test
