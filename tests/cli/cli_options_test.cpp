#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace quintrel {
namespace {

CliParse Parse(std::vector<std::string> args) {
  return ParseCliOptions(args);
}

// Options in any order, inline values, defaults, folder texts kept exactly, "-" as a folder
// and "--" ending the options.
TEST(CliOptionsTest, TakesTwoFoldersAndTheOptions) {
  const struct {
    std::vector<std::string> args;
    std::string oldFolder;
    std::string newFolder;
    std::optional<std::string> csvPath;
    unsigned jobs;
  } cases[] = {
      {{"--jobs", "3", "old", "--csv", "out.csv", "new"}, "old", "new", "out.csv", 3},
      {{"--csv=r.csv", "--jobs=2", "a", "b"}, "a", "b", "r.csv", 2},
      {{"a", "b"}, "a", "b", std::nullopt, 0},
      {{"", " dir with blanks/ "}, "", " dir with blanks/ ", std::nullopt, 0},
      {{"--csv", "-", "--", "-old", "--new"}, "-old", "--new", "-", 0},
      {{"-", "new"}, "-", "new", std::nullopt, 0},
      {{"-j", "1", "a", "b"}, "a", "b", std::nullopt, 1},
      {{"--jobs", "1024", "a", "b"}, "a", "b", std::nullopt, 1024},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    CliParse parse = Parse(c.args);
    ASSERT_TRUE(parse.ok()) << parse.error;
    EXPECT_EQ(parse.options.run.oldVersion, c.oldFolder);
    EXPECT_EQ(parse.options.run.newVersion, c.newFolder);
    EXPECT_EQ(parse.options.csvPath, c.csvPath);
    EXPECT_EQ(parse.options.run.jobs, c.jobs);
    EXPECT_FALSE(parse.options.help || parse.options.version);
  }
  EXPECT_FALSE(Parse({"a", "b"}).options.run.ignoreFormat);
  EXPECT_TRUE(Parse({"-w", "a", "b"}).options.run.ignoreFormat);
  EXPECT_TRUE(Parse({"a", "--ignore-format", "b"}).options.run.ignoreFormat);
  EXPECT_EQ(Parse({"--ignore-format=1", "a", "b"}).error, "--ignore-format takes no value");
  EXPECT_TRUE(Parse({"--help"}).options.help);
  EXPECT_TRUE(Parse({"-h"}).options.help);
  EXPECT_TRUE(Parse({"--version"}).options.version);
  EXPECT_TRUE(Parse({"--version"}).ok());
}

// With --git the arguments are two revisions and an optional folder; each -C starts from
// the one before unless it is absolute.
TEST(CliOptionsTest, TakesRevisionsWithGit) {
  const struct {
    std::vector<std::string> args;
    std::string path;
    std::optional<std::string> start;
  } cases[] = {
      {{"--git", "v1", "v2"}, ".", std::nullopt},
      {{"v1", "--git", "v2", "src/lib"}, "src/lib", std::nullopt},
      {{"-C", "a", "-C", "b/", "--git", "v1", "v2", ""}, "", "a/b/"},
      {{"-C", "a", "-C", "/abs", "-C", "", "--git", "v1", "v2"}, ".", "/abs"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    CliParse parse = Parse(c.args);
    ASSERT_TRUE(parse.ok()) << parse.error;
    EXPECT_TRUE(parse.options.run.git);
    EXPECT_EQ(parse.options.run.oldVersion, "v1");
    EXPECT_EQ(parse.options.run.newVersion, "v2");
    EXPECT_EQ(parse.options.run.gitPath, c.path);
    EXPECT_EQ(parse.options.run.gitStart, c.start);
  }
}

// Each kind of mistake is refused, and the message names the option it is about.
TEST(CliOptionsTest, RejectsBadUsageNamingTheOption) {
  const struct {
    std::vector<std::string> args;
    std::string named;
  } cases[] = {
      {{}, ""},
      {{"only-one"}, ""},
      {{"a", "b", "c"}, ""},
      {{"--frobnicate", "a", "b"}, "--frobnicate"},
      {{"-x", "a", "b"}, "-x"},
      {{"a", "b", "--csv"}, "--csv"},
      {{"--csv", "x", "--csv", "y", "a", "b"}, "--csv"},
      {{"--jobs", "0", "a", "b"}, "--jobs"},
      {{"--jobs", "-1", "a", "b"}, "--jobs"},
      {{"--jobs", "3x", "a", "b"}, "--jobs"},
      {{"--jobs", "", "a", "b"}, "--jobs"},
      {{"--jobs", "99999999999999999999", "a", "b"}, "--jobs"},
      {{"--jobs", "1025", "a", "b"}, "--jobs"},
      {{"--help=yes"}, "--help"},
      {{"-r=1", "a", "b"}, ""},
      {{"--ext", ".c", "a", "b"}, "--ext"},
      {{"--ext=", "a", "b"}, "--ext"},
      {{"--ext", "c,,h", "a", "b"}, "--ext"},
      {{"--ext", "tar.gz", "a", "b"}, "--ext"},
      {{"--ext", "c", "--ext", "h", "a", "b"}, "--ext"},
      {{"--exclude-dir=", "a", "b"}, "--exclude-dir"},
      {{"--exclude-dir", "x/y", "a", "b"}, "--exclude-dir"},
      {{"--git", "v1"}, ""},
      {{"--git", "v1", "v2", "src", "more"}, ""},
      {{"-C", "dir", "a", "b"}, ""},
      {{"--git=1", "a", "b"}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    CliParse parse = Parse(c.args);
    EXPECT_FALSE(parse.ok());
    EXPECT_FALSE(parse.error.empty());
    EXPECT_NE(parse.error.find(c.named), std::string::npos) << parse.error;
  }
}

// -r, --ext and --exclude-dir in any place; without them the run is flat with c, h and cpp.
TEST(CliOptionsTest, TakesTheOptionsThatChooseTheFiles) {
  const struct {
    std::vector<std::string> args;
    bool recursive;
    std::vector<std::string> extensions;
    std::vector<std::string> excluded;
  } cases[] = {
      {{"a", "b"}, false, {"c", "h", "cpp"}, {}},
      {{"-r", "a", "b"}, true, {"c", "h", "cpp"}, {}},
      {{"a", "--recursive", "b"}, true, {"c", "h", "cpp"}, {}},
      {{"--ext", "c,h,cpp,cc,hpp", "a", "b"}, false, {"c", "h", "cpp", "cc", "hpp"}, {}},
      {{"--ext=C", "a", "b"}, false, {"C"}, {}},
      {{"-r", "--exclude-dir", "build", "--exclude-dir=.cache", "a", "b", "--ext", "h"},
       true,
       {"h"},
       {"build", ".cache"}},
      {{"--", "-r", "--ext"}, false, {"c", "h", "cpp"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    CliParse parse = Parse(c.args);
    ASSERT_TRUE(parse.ok()) << parse.error;
    EXPECT_EQ(parse.options.run.scan.recursive, c.recursive);
    EXPECT_EQ(parse.options.run.scan.extensions, c.extensions);
    EXPECT_EQ(parse.options.run.scan.excludedFolders, c.excluded);
  }
  EXPECT_EQ(Parse({"--", "-r", "--ext"}).options.run.oldVersion, "-r");
}

// The report and output options: both reports may be asked for, but only one may take
// standard output; the switches take no value.
TEST(CliOptionsTest, TakesTheReportAndOutputOptions) {
  const CliParse both = Parse({"--json", "r.json", "--csv=-", "--by-folder", "-q", "a", "b"});
  ASSERT_TRUE(both.ok()) << both.error;
  EXPECT_EQ(both.options.jsonPath, "r.json");
  EXPECT_EQ(both.options.csvPath, "-");
  EXPECT_TRUE(both.options.byFolder);
  EXPECT_TRUE(both.options.quiet);
  const CliParse plain = Parse({"--json=-", "--quiet", "a", "b"});
  ASSERT_TRUE(plain.ok()) << plain.error;
  EXPECT_EQ(plain.options.jsonPath, "-");
  EXPECT_FALSE(plain.options.byFolder);
  EXPECT_TRUE(plain.options.quiet);
  const CliParse none = Parse({"a", "b"});
  EXPECT_FALSE(none.options.jsonPath || none.options.byFolder || none.options.quiet);

  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--json=-", "--csv=-", "a", "b"},
                                             {"a", "b", "--json"},
                                             {"--by-folder=1", "a", "b"},
                                             {"--quiet=no", "a", "b"}}) {
    EXPECT_FALSE(Parse(args).ok()) << ::testing::PrintToString(args);
  }
  EXPECT_NE(Parse({"--csv", "-", "--json", "-", "a", "b"}).error.find("standard output"),
            std::string::npos);
}

// --renames alone means 50 percent; a percent comes only after '=', so the argument after
// a bare --renames is a folder.
TEST(CliOptionsTest, TakesRenamesWithAnOptionalPercent) {
  EXPECT_EQ(Parse({"a", "b"}).options.run.renamePercent, 0);
  const struct {
    std::vector<std::string> args;
    int percent;
  } cases[] = {
      {{"--renames", "a", "b"}, 50},
      {{"--renames=1", "a", "b"}, 1},
      {{"a", "--renames=100", "b"}, 100},
      {{"--renames=075", "-r", "a", "b"}, 75},
  };
  for (const auto& c : cases) {
    const CliParse parse = Parse(c.args);
    ASSERT_TRUE(parse.ok()) << ::testing::PrintToString(c.args) << parse.error;
    EXPECT_EQ(parse.options.run.renamePercent, c.percent);
    EXPECT_EQ(parse.options.run.oldVersion, "a");
    EXPECT_EQ(parse.options.run.newVersion, "b");
  }
  for (const char* bad : {"0", "101", "", "50%", "-5", "x", "99999999999"}) {
    const CliParse parse = Parse({std::string("--renames=") + bad, "a", "b"});
    EXPECT_FALSE(parse.ok()) << bad;
    EXPECT_NE(parse.error.find("--renames"), std::string::npos) << parse.error;
  }
  EXPECT_FALSE(Parse({"--renames", "30", "a", "b"}).ok());  // three folders
}

}  // namespace
}  // namespace quintrel
