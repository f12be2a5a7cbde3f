#include "cli/cli_options.h"

#include <gtest/gtest.h>

namespace quintrel {
namespace {

CliParse Parse(std::vector<std::string> args) {
  return ParseCliOptions(args);
}

TEST(CliOptionsTest, TakesTwoFoldersAndTheOptionsInAnyOrder) {
  CliParse parse = Parse({"--jobs", "3", "old", "--csv", "out.csv", "new"});
  ASSERT_TRUE(parse.ok()) << parse.error;
  EXPECT_EQ(parse.options.oldFolder, "old");
  EXPECT_EQ(parse.options.newFolder, "new");
  EXPECT_EQ(parse.options.csvPath, "out.csv");
  EXPECT_EQ(parse.options.jobs, 3u);
}

TEST(CliOptionsTest, AcceptsInlineValuesAndDefaults) {
  CliParse parse = Parse({"--csv=r.csv", "--jobs=2", "a", "b"});
  ASSERT_TRUE(parse.ok()) << parse.error;
  EXPECT_EQ(parse.options.csvPath, "r.csv");
  EXPECT_EQ(parse.options.jobs, 2u);

  CliParse plain = Parse({"a", "b"});
  ASSERT_TRUE(plain.ok());
  EXPECT_FALSE(plain.options.csvPath.has_value());
  EXPECT_EQ(plain.options.jobs, 0u);
}

TEST(CliOptionsTest, KeepsFolderTextsExactly) {
  CliParse parse = Parse({"", " dir with blanks/ "});
  ASSERT_TRUE(parse.ok());
  EXPECT_EQ(parse.options.oldFolder, "");
  EXPECT_EQ(parse.options.newFolder, " dir with blanks/ ");
}

TEST(CliOptionsTest, DashIsAFolderAndDoubleDashEndsOptions) {
  CliParse parse = Parse({"--csv", "-", "--", "-old", "--new"});
  ASSERT_TRUE(parse.ok()) << parse.error;
  EXPECT_EQ(parse.options.csvPath, "-");
  EXPECT_EQ(parse.options.oldFolder, "-old");
  EXPECT_EQ(parse.options.newFolder, "--new");

  CliParse dash = Parse({"-", "new"});
  ASSERT_TRUE(dash.ok());
  EXPECT_EQ(dash.options.oldFolder, "-");
}

TEST(CliOptionsTest, HelpAndVersionNeedNoFolders) {
  EXPECT_TRUE(Parse({"--help"}).options.help);
  EXPECT_TRUE(Parse({"-h"}).options.help);
  EXPECT_TRUE(Parse({"--version"}).options.version);
  EXPECT_TRUE(Parse({"--version"}).ok());
}

TEST(CliOptionsTest, RejectsBadUsage) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"only-one"},
      {"a", "b", "c"},
      {"--bogus", "a", "b"},
      {"-x", "a", "b"},
      {"a", "b", "--csv"},
      {"--csv", "x", "--csv", "y", "a", "b"},
      {"--jobs", "0", "a", "b"},
      {"--jobs", "-1", "a", "b"},
      {"--jobs", "two", "a", "b"},
      {"--jobs", "3x", "a", "b"},
      {"--jobs", "", "a", "b"},
      {"--jobs", "99999999999999999999", "a", "b"},
      {"--jobs", "1025", "a", "b"},
      {"--help=yes"},
      {"--version=1"},
  };
  for (const auto& args : cases) {
    std::string joined;
    for (const auto& arg : args) joined += "[" + arg + "]";
    CliParse parse = Parse(args);
    EXPECT_FALSE(parse.ok()) << joined;
    EXPECT_FALSE(parse.error.empty()) << joined;
  }
}

TEST(CliOptionsTest, NamesTheOffendingOption) {
  EXPECT_NE(Parse({"--frobnicate", "a", "b"}).error.find("--frobnicate"), std::string::npos);
  EXPECT_NE(Parse({"a", "b", "--csv"}).error.find("--csv"), std::string::npos);
}

TEST(CliOptionsTest, JobsAcceptsTheWholeRange) {
  EXPECT_EQ(Parse({"-j", "1", "a", "b"}).options.jobs, 1u);
  EXPECT_EQ(Parse({"--jobs", "1024", "a", "b"}).options.jobs, 1024u);
}

}  // namespace
}  // namespace quintrel
