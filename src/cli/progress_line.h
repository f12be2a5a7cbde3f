#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace quintrel {

// "quintrel-cli: 12 of 345 files, 6.7 MiB read": the files measured of all, and the bytes
// read so far (bytes below 1 KiB, then KiB, MiB, GiB with one decimal).
std::string FormatProgressLine(std::size_t done, std::size_t total, std::uint64_t bytesRead);

// Whether a run may show the progress line at all: only on a terminal, and not --quiet.
bool ShowsProgress(bool standardErrorIsTerminal, bool quiet);

// The progress line of one run on standard error, rewritten in place with a carriage return.
// It first appears once the run has lasted kDelay, so short runs write nothing, and is
// rewritten at most once per kInterval. Clear() (and the destructor) blanks it out again.
class ProgressLine {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::milliseconds kDelay{500};
  static constexpr std::chrono::milliseconds kInterval{100};

  // A disabled line writes nothing ever. `clock` is read at construction, the run's start.
  ProgressLine(bool enabled, std::ostream& err, Clock clock);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void Update(std::size_t done, std::size_t total, std::uint64_t bytesRead);
  void Clear();

 private:
  void Show(const std::string& text);

  bool m_enabled;
  std::ostream& m_err;
  Clock m_clock;
  std::chrono::steady_clock::time_point m_start;
  std::chrono::steady_clock::time_point m_lastShown;
  std::size_t m_shownLength = 0;  // 0: nothing on the line
};

}  // namespace quintrel
