#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "mixed_folders.h"
#include "support/git_repository.h"

namespace quintrel::testing {
namespace {

const TreeItems kOldTree = {
    {"src/x.c", "int a;\nint b;\n"},
    {"src/y.c", "#include <y.h>\nint y(void) { return 1; }\n"},
    {"src/net/socket.c", "int s;\n"},
    {"src/link.c", "x.c", kLinkMode},
    {"top.c", "int t;\n"},
};
const TreeItems kNewTree = {
    {"src/x.c", "int b;\nint c;\nint a;\n"},  {"src/z.cpp", "namespace z {\nint f();\n}\n"},
    {"src/net/socket.c", "int s;\nint t;\n"}, {"src/net/tls/tls.c", "int tls;\n"},
    {"src/lib", "", kSubmoduleMode},          {"top.c", "int t;\n"},
};

// A repository whose tag v1 and HEAD hold the two trees, and both trees checked out.
class CliGitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir.MakeDir("repo");
    TestRepository repository(m_dir.path() / "repo");
    repository.Tag("v1", repository.Commit(kOldTree));
    repository.Commit(kNewTree);
    WriteCheckout(kOldTree, m_dir.path() / "old", 1000000000);
    WriteCheckout(kNewTree, m_dir.path() / "new", 1100000000);
  }

  std::string Repo() const { return (m_dir.path() / "repo").string(); }
  std::string Checkout(const char* side) const { return (m_dir.path() / side / "src").string(); }

  // The lines of a CSV report after the time and the two folder lines.
  static std::string CsvBody(const std::string& csv) {
    std::size_t at = 0;
    for (int line = 0; line < 3; ++line) at = csv.find('\n', at) + 1;
    return csv.substr(at);
  }

  ScopedTempDir m_dir;
};

TEST_F(CliGitTest, TablesAndReportsAreThoseOfTheCheckedOutFolders) {
  const std::vector<std::string> optionSets[] = {{}, {"-r"}, {"-r", "--by-folder"}};
  auto with = [](std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  for (const std::vector<std::string>& options : optionSets) {
    SCOPED_TRACE(::testing::PrintToString(options));
    const auto git = with(options, {"-C", Repo(), "--git", "v1", "HEAD", "src"});
    const auto folders = with(options, {Checkout("old"), Checkout("new")});

    const CliOutcome gitTable = RunInProcess(git);
    ASSERT_EQ(gitTable.exitStatus, kExitSuccess) << gitTable.err;
    EXPECT_EQ(gitTable.out, RunInProcess(folders).out);
    const bool tree = !options.empty();
    EXPECT_EQ(gitTable.out.find("net/tls/tls.c") != std::string::npos, tree) << gitTable.out;
    EXPECT_EQ(gitTable.out.find("link.c"), std::string::npos) << gitTable.out;

    const std::string gitCsv = RunInProcess(with(git, {"--csv", "-"})).out;
    EXPECT_EQ(CsvBody(gitCsv), CsvBody(RunInProcess(with(folders, {"--csv", "-"})).out));
    EXPECT_NE(gitCsv.find(",v1:src\r\n"), std::string::npos) << gitCsv;
    EXPECT_NE(gitCsv.find(",HEAD:src\r\n"), std::string::npos) << gitCsv;

    auto gitJson = nlohmann::json::parse(RunInProcess(with(git, {"--json", "-"})).out);
    auto folderJson = nlohmann::json::parse(RunInProcess(with(folders, {"--json", "-"})).out);
    EXPECT_EQ(gitJson["old"], "v1:src");
    EXPECT_EQ(gitJson["new"], "HEAD:src");
    for (const char* key : {"old", "new"}) {
      gitJson.erase(key);
      folderJson.erase(key);
    }
    EXPECT_EQ(gitJson, folderJson);
  }
}

// The installed program loads its git support as a module on first use; it gives what the
// support linked into the tests gives.
TEST_F(CliGitTest, ProgramLoadsItsGitSupport) {
  const std::vector<std::string> args = {"-C", Repo(), "--git", "v1", "HEAD", "src", "-r"};
  const CliOutcome program = RunQuintrelCli(args);
  ASSERT_EQ(program.exitStatus, kExitSuccess) << program.err;
  EXPECT_EQ(program.out, RunInProcess(args).out);
}

// Without PATH the start folder is measured, named "." in the reports.
TEST_F(CliGitTest, PathDefaultsToTheStartFolder) {
  const CliOutcome outcome = RunInProcess({"-C", Repo(), "--git", "HEAD~1", "HEAD", "--json", "-"});
  ASSERT_EQ(outcome.exitStatus, kExitSuccess) << outcome.err;
  const nlohmann::json json = nlohmann::json::parse(outcome.out);
  EXPECT_EQ(json["old"], "HEAD~1:.");
  ASSERT_EQ(json["files"].size(), 1u);
  EXPECT_EQ(json["files"][0]["name"], "top.c");
  // -C is relative to the -C before it, PATH relative to the last.
  const CliOutcome nested =
      RunInProcess({"-C", m_dir.str(), "-C", "repo", "--git", "v1", "HEAD", "src", "-r"});
  EXPECT_EQ(nested.out, RunInProcess({"-r", Checkout("old"), Checkout("new")}).out);
}

TEST_F(CliGitTest, WhatCannotBeFoundIsNamedAndNoReportIsWritten) {
  const std::string plain = m_dir.MakeDir("plain").string();
  const std::string report = (m_dir.path() / "report.json").string();
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"-C", plain, "--git", "v1", "HEAD"},
       "quintrel-cli: not a git repository (nor any parent folder): " + plain + "\n"},
      {{"-C", Repo(), "--git", "v2", "HEAD"}, "quintrel-cli: unknown old revision 'v2'\n"},
      {{"-C", Repo(), "--git", "v1", "main~7"}, "quintrel-cli: unknown new revision 'main~7'\n"},
      {{"-C", Repo(), "--git", "v1", "HEAD", "src/net/tls"},
       "quintrel-cli: 'src/net/tls' is no folder in the old revision 'v1'\n"},
      {{"-C", Repo(), "--git", "HEAD", "v1", "src/net/tls"},
       "quintrel-cli: 'src/net/tls' is no folder in the new revision 'v1'\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--json", report});
    const CliOutcome outcome = RunInProcess(args);
    EXPECT_EQ(outcome.exitStatus, kExitFailure);
    EXPECT_EQ(outcome.err, c.message);
    EXPECT_EQ(outcome.out, "");
    EXPECT_FALSE(std::filesystem::exists(report));
  }
}

}  // namespace
}  // namespace quintrel::testing
