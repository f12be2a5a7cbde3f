#include "cli/progress_line.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>

namespace quintrel {
namespace {

using namespace std::chrono_literals;
using TimePoint = std::chrono::steady_clock::time_point;

TEST(FormatProgressLine, FilesOfAllAndBytesInReadableUnits) {
  EXPECT_EQ(FormatProgressLine(0, 0, 0), "quintrel-cli: 0 of 0 files, 0 bytes read");
  EXPECT_EQ(FormatProgressLine(12, 345, 1023), "quintrel-cli: 12 of 345 files, 1023 bytes read");
  EXPECT_EQ(FormatProgressLine(1, 2, 1024), "quintrel-cli: 1 of 2 files, 1.0 KiB read");
  EXPECT_EQ(FormatProgressLine(1, 2, 1536), "quintrel-cli: 1 of 2 files, 1.5 KiB read");
  EXPECT_EQ(FormatProgressLine(7, 9, 5ull << 20), "quintrel-cli: 7 of 9 files, 5.0 MiB read");
  EXPECT_EQ(FormatProgressLine(55000, 55000, 2400ull << 20),
            "quintrel-cli: 55000 of 55000 files, 2.3 GiB read");
  EXPECT_EQ(FormatProgressLine(1, 1, 5000ull << 30), "quintrel-cli: 1 of 1 files, 5000.0 GiB read");
}

// A clock the test moves by hand.
struct FakeClock {
  TimePoint now{};
  ProgressLine::Clock Function() {
    return [this] { return now; };
  }
};

// Nothing during the first half second; then the line, rewritten in place and no oftener
// than the interval; blanks cover a longer earlier line; Clear() leaves an empty line.
TEST(ProgressLine, AppearsAfterTheDelayAndIsRewrittenInPlace) {
  FakeClock clock;
  std::ostringstream err;
  ProgressLine line(true, err, clock.Function());
  line.Update(1, 100000, 10);
  clock.now += 499ms;
  line.Update(2, 100000, 20);
  EXPECT_EQ(err.str(), "") << "a short run shows nothing";

  clock.now += 1ms;
  line.Update(3, 100000, 30);
  const std::string first = "\rquintrel-cli: 3 of 100000 files, 30 bytes read";
  EXPECT_EQ(err.str(), first);
  clock.now += 99ms;
  line.Update(4, 100000, 40);
  EXPECT_EQ(err.str(), first) << "not rewritten within the interval";
  clock.now += 1ms;
  line.Update(5, 5, 2048);
  const std::string second = "\rquintrel-cli: 5 of 5 files, 2.0 KiB read";
  // The earlier line was 46 characters, the new one 40: six blanks cover the rest.
  EXPECT_EQ(err.str(), first + second + std::string(first.size() - second.size(), ' '));

  err.str("");
  line.Clear();
  EXPECT_EQ(err.str(), "\r" + std::string(first.size() - 1, ' ') + "\r");
  err.str("");
  line.Clear();
  EXPECT_EQ(err.str(), "") << "cleared once";
}

// Disabled (not a terminal, or --quiet): nothing, however long the run; a line never shown
// is never cleared; the destructor clears a line that is shown.
TEST(ProgressLine, WritesNothingWhenDisabledAndClearsWhenDestroyed) {
  FakeClock clock;
  std::ostringstream err;
  {
    ProgressLine line(false, err, clock.Function());
    clock.now += 10s;
    line.Update(1, 2, 3);
  }
  {
    ProgressLine line(true, err, clock.Function());
    line.Update(1, 2, 3);
  }
  EXPECT_EQ(err.str(), "");
  {
    ProgressLine line(true, err, clock.Function());
    clock.now += 1s;
    line.Update(1, 2, 3);
  }
  const std::string text = "quintrel-cli: 1 of 2 files, 3 bytes read";
  EXPECT_EQ(err.str(), "\r" + text + "\r" + std::string(text.size(), ' ') + "\r");
}

}  // namespace
}  // namespace quintrel
