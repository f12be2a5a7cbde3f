// The Windows program as a Windows user starts it: arguments outside the ANSI code page,
// backslashes, output redirected in the console's code page, and no git support.
#include <gtest/gtest.h>

#include <string>

#include "compare/text/code_page.h"
#include "mixed_folders.h"
#include "run_cli.h"
#include "support/temp_dir.h"

namespace quintrel::testing {
namespace {

using CliOnWindowsTest = MixedFoldersTest;

// The table is written in the console's output code page (Shift-JIS under code page 932),
// and in UTF-8 when there is no console.
TEST_F(CliOnWindowsTest, RedirectedOutputTakesTheConsoleCodePage) {
  const CliOutcome utf8 = RunQuintrelCli({Old(), New()}, "C.UTF-8");
  ASSERT_EQ(utf8.exitStatus, 0) << utf8.err;
  EXPECT_EQ(utf8.out, kMixedTable);
  if (const std::string reason = LocaleSkipReason("ja_JP.SJIS"); !reason.empty()) {
    GTEST_SKIP() << reason;
  }
  const CliOutcome shiftJis = RunQuintrelCli({Old(), New()}, "ja_JP.SJIS");
  ASSERT_EQ(shiftJis.exitStatus, 0) << shiftJis.err;
  EXPECT_EQ(shiftJis.out, Utf8ToCp932(kMixedTable).value());
}

// Folder names that no ANSI code page holds reach the program whole, typed with
// backslashes; rows and reports keep '/' and are the same bytes as with '/'.
TEST_F(CliOnWindowsTest, ArgumentsOutsideTheAnsiCodePageAndBackslashes) {
  const std::string folder = "\xF0\x9F\x93\x81_\xC3\xA9t\xC3\xA9";  // 📁_été
  m_dir.Write(folder + "/old/sub/a.c", "int a;\n");
  m_dir.Write(folder + "/new/sub/a.c", "int a;\nint b;\n");
  const std::string top = m_dir.str() + "\\" + folder;
  const CliOutcome backslashes =
      RunQuintrelCli({"-r", "--csv", "-", top + "\\old", top + "\\new\\"});
  ASSERT_EQ(backslashes.exitStatus, 0) << backslashes.err;
  EXPECT_NE(backslashes.out.find("\r\n,sub/a.c,1,0,2\r\n"), std::string::npos) << backslashes.out;

  std::string slashes = top;
  for (char& c : slashes) {
    if (c == '\\') c = '/';
  }
  const CliOutcome forward =
      RunQuintrelCli({"-r", "--csv", "-", slashes + "/old", slashes + "/new/"});
  ASSERT_EQ(forward.exitStatus, 0) << forward.err;
  const auto body = [](const std::string& csv) { return csv.substr(csv.find("\r\n\r\n")); };
  EXPECT_EQ(body(forward.out), body(backslashes.out));
}

TEST_F(CliOnWindowsTest, GitSaysThatThisBuildHasNone) {
  const CliOutcome outcome = RunQuintrelCli({"--git", "HEAD~1", "HEAD"});
  EXPECT_EQ(outcome.exitStatus, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_NE(outcome.err.find("quintrel-cli: the git support cannot be loaded: this build has no "
                             "git support"),
            std::string::npos)
      << outcome.err;
}

}  // namespace
}  // namespace quintrel::testing
