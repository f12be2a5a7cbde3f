// Terminal output on Windows. A console takes UTF-16 through WriteConsoleW and shows every
// character that way; output that is redirected to a file or a pipe is written in the
// console's output code page, as native Windows tools do, and in UTF-8 when the process has
// no console at all (started without one, as services and some launchers do).

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <streambuf>

#include "cli/terminal_encoding.h"

namespace quintrel {

namespace {

bool IsConsole(DWORD which) {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(which), &mode) != 0;
}

// 0 when the process has no console.
UINT OutputCodePage() {
  return ::GetConsoleOutputCP();
}

// Collects the bytes written in the terminal's code page and hands them to the console as
// UTF-16 when the stream is flushed (the program flushes after each whole text, so no
// character is cut in two).
class ConsoleBuffer final : public std::streambuf {
 public:
  ConsoleBuffer(HANDLE console, UINT codePage) : m_console(console), m_codePage(codePage) {}
  ~ConsoleBuffer() override { sync(); }

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) m_pending += traits_type::to_char_type(c);
    return traits_type::not_eof(c);
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    m_pending.append(text, static_cast<std::size_t>(count));
    return count;
  }

  int sync() override {
    if (m_pending.empty()) return 0;
    const int size = static_cast<int>(m_pending.size());
    const int length = ::MultiByteToWideChar(m_codePage, 0, m_pending.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(m_codePage, 0, m_pending.data(), size, wide.data(), length);
    m_pending.clear();
    for (std::size_t done = 0; done < wide.size();) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
      if (!::WriteConsoleW(m_console, wide.data() + done, chunk, &written, nullptr) ||
          written == 0) {
        return -1;
      }
      done += written;
    }
    return 0;
  }

 private:
  HANDLE m_console;
  UINT m_codePage;
  std::string m_pending;
};

UINT CodePageOfCodeset(const std::string& codeset) {
  return codeset == "UTF-8" || OutputCodePage() == 0 ? CP_UTF8 : OutputCodePage();
}

}  // namespace

std::string TerminalCodeset() {
  const UINT codePage = OutputCodePage();
  if (codePage == 0 || (IsConsole(STD_OUTPUT_HANDLE) && IsConsole(STD_ERROR_HANDLE))) {
    return "UTF-8";
  }
  return "CP" + std::to_string(codePage);
}

struct StandardStreams::Consoles {
  std::unique_ptr<ConsoleBuffer> outBuffer;
  std::unique_ptr<ConsoleBuffer> errBuffer;
  std::unique_ptr<std::ostream> out;
  std::unique_ptr<std::ostream> err;
};

StandardStreams::StandardStreams() : m_consoles(std::make_unique<Consoles>()) {
  const UINT codePage = CodePageOfCodeset(TerminalCodeset());
  if (IsConsole(STD_OUTPUT_HANDLE)) {
    m_consoles->outBuffer =
        std::make_unique<ConsoleBuffer>(::GetStdHandle(STD_OUTPUT_HANDLE), codePage);
    m_consoles->out = std::make_unique<std::ostream>(m_consoles->outBuffer.get());
  } else {
    ::_setmode(::_fileno(stdout), _O_BINARY);  // reports keep their own line ends
  }
  if (IsConsole(STD_ERROR_HANDLE)) {
    m_consoles->errBuffer =
        std::make_unique<ConsoleBuffer>(::GetStdHandle(STD_ERROR_HANDLE), codePage);
    m_consoles->err = std::make_unique<std::ostream>(m_consoles->errBuffer.get());
  } else {
    ::_setmode(::_fileno(stderr), _O_BINARY);
  }
}

StandardStreams::~StandardStreams() {
  if (m_consoles->out) m_consoles->out->flush();
  if (m_consoles->err) m_consoles->err->flush();
}

std::ostream& StandardStreams::Out() {
  return m_consoles->out ? *m_consoles->out : std::cout;
}

std::ostream& StandardStreams::Err() {
  return m_consoles->err ? *m_consoles->err : std::cerr;
}

}  // namespace quintrel
