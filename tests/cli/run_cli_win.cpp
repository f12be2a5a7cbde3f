// Starts quintrel-cli.exe as Windows starts programs: one UTF-16 command line, standard
// output and error redirected to files. The locale becomes the console's output code page,
// which is what the program writes redirected output in.
#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "run_cli.h"
#include "support/temp_dir.h"

namespace quintrel::testing {
namespace {

// "C.UTF-8" as UTF-8, "ja_JP.SJIS" as code page 932, anything else as ASCII.
UINT CodePageOfLocale(const std::string& locale) {
  if (locale.ends_with(".UTF-8") || locale.ends_with(".utf8")) return CP_UTF8;
  if (locale.ends_with(".SJIS") || locale.ends_with(".CP932")) return 932;
  return 20127;
}

// One argument quoted as the C runtime splits a command line again: backslashes are
// doubled only before a quote.
std::wstring Quoted(const std::wstring& argument) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

HANDLE OpenForOutput(const std::filesystem::path& path) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path.string());
  return handle;
}

// True when this process has a console (one is made when it has none), which the program
// started inherits.
bool HasConsole() {
  return ::GetConsoleOutputCP() != 0 || (::AllocConsole() && ::GetConsoleOutputCP() != 0);
}

// Sets the console's output code page while the object lives; without a console the program
// writes UTF-8, and nothing is set.
class ScopedOutputCodePage {
 public:
  explicit ScopedOutputCodePage(UINT codePage) {
    if (!HasConsole()) return;
    m_previous = ::GetConsoleOutputCP();
    if (!::SetConsoleOutputCP(codePage)) throw std::runtime_error("cannot set the code page");
  }
  ~ScopedOutputCodePage() {
    if (m_previous != 0) ::SetConsoleOutputCP(m_previous);
  }
  ScopedOutputCodePage(const ScopedOutputCodePage&) = delete;
  ScopedOutputCodePage& operator=(const ScopedOutputCodePage&) = delete;

 private:
  UINT m_previous = 0;
};

// Waits for the process to end and returns its peak working set, -1 when unknown. It is read
// while the process runs, since not every system (Wine) keeps it once the process is gone.
std::int64_t WaitAndWatchMemory(HANDLE process) {
  std::int64_t peak = -1;
  for (;;) {
    const bool ended = ::WaitForSingleObject(process, 20) == WAIT_OBJECT_0;
    PROCESS_MEMORY_COUNTERS memory{};
    if (::GetProcessMemoryInfo(process, &memory, sizeof memory) && memory.PeakWorkingSetSize > 0) {
      peak = std::max(peak, static_cast<std::int64_t>(memory.PeakWorkingSetSize));
    }
    if (ended) return peak;
  }
}

}  // namespace

std::string LocaleSkipReason(const std::string& locale) {
  if (CodePageOfLocale(locale) == CP_UTF8 || HasConsole()) return {};
  return "no console to set the output code page of (Wine without a terminal), so the "
         "program writes UTF-8 only";
}

CliOutcome RunQuintrelCli(const std::vector<std::string>& args, const std::string& locale,
                          const std::string& stdoutPath) {
  ScopedTempDir capture;
  const std::filesystem::path outPath =
      stdoutPath.empty() ? capture.path() / "out" : Utf8Path(stdoutPath);
  const std::filesystem::path errPath = capture.path() / "err";
  std::wstring commandLine = Quoted(Utf8Path(QUINTREL_CLI_PATH).wstring());
  for (const std::string& arg : args) commandLine += L" " + Quoted(Utf8Path(arg).wstring());

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = OpenForOutput(outPath);
  startup.hStdError = OpenForOutput(errPath);
  PROCESS_INFORMATION process{};
  BOOL started = FALSE;
  std::int64_t peakBytes = -1;
  {
    const ScopedOutputCodePage codePage(CodePageOfLocale(locale));
    started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                               nullptr, &startup, &process);
    if (started) peakBytes = WaitAndWatchMemory(process.hProcess);
  }
  ::CloseHandle(startup.hStdOutput);
  ::CloseHandle(startup.hStdError);
  if (!started) throw std::runtime_error("cannot start " + std::string(QUINTREL_CLI_PATH));
  DWORD exitCode = 0;
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);

  CliOutcome outcome;
  outcome.exitStatus = static_cast<int>(exitCode);
  outcome.peakBytes = peakBytes;
  if (stdoutPath.empty()) outcome.out = ReadFileBytes(outPath);
  outcome.err = ReadFileBytes(errPath);
  return outcome;
}

}  // namespace quintrel::testing
