#include "run_cli.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "support/temp_dir.h"

namespace quintrel::testing {
namespace {

int OpenForOutput(const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  return fd;
}

[[noreturn]] void ExecChild(const std::vector<std::string>& args, const std::string& locale,
                            int outFd, int errFd) {
  std::vector<char*> argv;
  std::string program = QUINTREL_CLI_PATH;
  argv.push_back(program.data());
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  std::string localeVar = "LC_ALL=" + locale;
  std::vector<char*> env{localeVar.data(), nullptr};
  if (dup2(outFd, STDOUT_FILENO) < 0 || dup2(errFd, STDERR_FILENO) < 0) _exit(127);
  execve(program.c_str(), argv.data(), env.data());
  _exit(127);
}

}  // namespace

std::string LocaleSkipReason(const std::string&) {
  return {};
}

CliOutcome RunQuintrelCli(const std::vector<std::string>& args, const std::string& locale,
                          const std::string& stdoutPath) {
  ScopedTempDir capture;
  std::string outPath = stdoutPath.empty() ? (capture.path() / "out").string() : stdoutPath;
  std::string errPath = (capture.path() / "err").string();
  int outFd = OpenForOutput(outPath);
  int errFd = OpenForOutput(errPath);
  pid_t pid = fork();
  if (pid == 0) ExecChild(args, locale, outFd, errFd);
  close(outFd);
  close(errFd);
  if (pid < 0) throw std::runtime_error("fork failed");
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid) throw std::runtime_error("wait4 failed");
  CliOutcome outcome;
  outcome.peakBytes = static_cast<std::int64_t>(usage.ru_maxrss) * 1024;
  outcome.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (stdoutPath.empty()) outcome.out = ReadFileBytes(outPath);
  outcome.err = ReadFileBytes(errPath);
  return outcome;
}

}  // namespace quintrel::testing
