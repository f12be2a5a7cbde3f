#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include <QFile>

#include "ui/file_launcher.h"

namespace quintrel {

namespace {

// Reads the child's report: nothing (the pipe closed on a successful exec) or its errno.
bool ExecSucceeded(int reportFd) {
  int error = 0;
  ssize_t got;
  do {
    got = read(reportFd, &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  return got == 0;
}

}  // namespace

// Forks twice, so that the program is nobody's child here and never waits as a zombie; the
// arguments go to it byte for byte. A pipe closed on exec tells whether the exec worked.
bool StartProgramDetached(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return false;
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t child = fork();
  if (child == 0) {
    close(report[0]);
    setsid();
    if (fork() != 0) _exit(0);
    execvp(argv[0], argv.data());
    const int error = errno;
    [[maybe_unused]] const ssize_t written = write(report[1], &error, sizeof error);
    _exit(127);
  }
  close(report[1]);
  bool started = false;
  if (child > 0) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    started = ExecSucceeded(report[0]);
  }
  close(report[0]);
  return started;
}

std::string FileSystemPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString ShownPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

bool OpenInPlatformEditor(const std::string& path) {
  return StartProgramDetached({"xdg-open", path});
}

}  // namespace quintrel
