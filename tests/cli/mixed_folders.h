#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "git_opener.h"
#include "run_cli.h"
#include "support/hooked_versions.h"
#include "support/temp_dir.h"

namespace quintrel::testing {

// x.c changed (one line added, one moved), y.c only in the old folder, z.cpp only in the new,
// and a file whose extension is not measured.
class MixedFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir.Write("old/x.c", "int a;\nint b;\n");
    m_dir.Write("new/x.c", "int b;\nint c;\nint a;\n");
    m_dir.Write("old/y.c", "#include <y.h>\nint y(void) { return 1; }\n");
    m_dir.Write("new/z.cpp", "namespace z {\nint f();\n}\n");
    m_dir.Write("new/notes.txt", "ignored;\n");
  }

  std::string Old() const { return (m_dir.path() / "old").string(); }
  std::string New() const { return (m_dir.path() / "new").string(); }

  ScopedTempDir m_dir;
};

// The table of MixedFoldersTest's folders.
inline constexpr const char* kMixedTable =
    "       ﾌｧｲﾙ名     追加  削除  LOC\n"
    "       x.c           1     0    3\n"
    "-      y.c           0     3    0\n"
    "+      z.cpp         2     0    2\n"
    "Total  2 (+1/-1)     3     3    5\n";

// The words of each line, blanks removed, so column widths do not matter.
inline std::vector<std::vector<std::string>> Words(const std::string& text) {
  std::vector<std::vector<std::string>> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    lines.emplace_back();
    for (std::string word; words >> word;) lines.back().push_back(word);
  }
  return lines;
}

// Runs the command-line tool inside the test process, so that the measurement of each file
// (a hook on folder runs) and the terminal can be replaced.
inline CliOutcome RunInProcess(const std::vector<std::string>& args,
                               const MeasureHook& measure = {}, const CliTerminal& terminal = {}) {
  std::ostringstream out;
  std::ostringstream err;
  VersionOpeners openers;
  if (measure) openers.folders = HookedFolderOpener(measure);
  openers.git = InProcessGitOpener();
  const int status = RunCli(args, "UTF-8", out, err, terminal, openers);
  return {status, out.str(), err.str()};
}

}  // namespace quintrel::testing
