#include "cli/progress_line.h"

#include <cinttypes>
#include <cstdio>

namespace quintrel {

namespace {

std::string ByteAmount(std::uint64_t bytes) {
  constexpr const char* kUnits[] = {"KiB", "MiB", "GiB"};
  char text[48];
  if (bytes < 1024) {
    std::snprintf(text, sizeof text, "%" PRIu64 " bytes", bytes);
    return text;
  }
  double amount = static_cast<double>(bytes) / 1024;
  std::size_t unit = 0;
  for (; unit + 1 < std::size(kUnits) && amount >= 1024; ++unit) amount /= 1024;
  std::snprintf(text, sizeof text, "%.1f %s", amount, kUnits[unit]);
  return text;
}

}  // namespace

std::string FormatProgressLine(std::size_t done, std::size_t total, std::uint64_t bytesRead) {
  return "quintrel-cli: " + std::to_string(done) + " of " + std::to_string(total) + " files, " +
         ByteAmount(bytesRead) + " read";
}

bool ShowsProgress(bool standardErrorIsTerminal, bool quiet) {
  return standardErrorIsTerminal && !quiet;
}

ProgressLine::ProgressLine(bool enabled, std::ostream& err, Clock clock)
    : m_enabled(enabled), m_err(err), m_clock(std::move(clock)) {
  if (!m_clock) m_clock = [] { return std::chrono::steady_clock::now(); };
  if (m_enabled) m_start = m_clock();
}

ProgressLine::~ProgressLine() {
  try {
    Clear();
  } catch (...) {
    // A stream that throws while the run unwinds: the line stays, nothing else is lost.
  }
}

void ProgressLine::Update(std::size_t done, std::size_t total, std::uint64_t bytesRead) {
  if (!m_enabled) return;
  const auto now = m_clock();
  if (now - m_start < kDelay) return;
  if (m_shownLength != 0 && now - m_lastShown < kInterval) return;
  m_lastShown = now;
  Show(FormatProgressLine(done, total, bytesRead));
}

void ProgressLine::Clear() {
  if (m_shownLength == 0) return;
  m_err << '\r' << std::string(m_shownLength, ' ') << '\r';
  m_err.flush();
  m_shownLength = 0;
}

// The text is ASCII, one terminal cell per byte; blanks cover what a longer line left.
void ProgressLine::Show(const std::string& text) {
  const std::size_t blanks = m_shownLength > text.size() ? m_shownLength - text.size() : 0;
  m_err << '\r' << text << std::string(blanks, ' ');
  m_err.flush();
  m_shownLength = text.size() + blanks;
}

}  // namespace quintrel
