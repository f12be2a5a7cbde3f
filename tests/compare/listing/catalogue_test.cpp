#include "compare/listing/catalogue.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "compare/listing/folder_listing.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

using testing::ScopedTempDir;
using Names = std::vector<std::string>;

TEST(IsSourceFileName, TakesExactlyThreeExtensionsByteForByte) {
  for (const char* name : {"a.c", "B.h", "c.cpp", "x.y.c", ".c", "名前.h"}) {
    EXPECT_TRUE(IsSourceFileName(name)) << name;
  }
  for (const char* name : {"d.C", "e.hpp", "f.txt", "x.c.bak", "util.Cpp", "x.cc", "c", ".", "..",
                           "a.", "a.h ", "cpp"}) {
    EXPECT_FALSE(IsSourceFileName(name)) << name;
  }
}

TEST(RowMarker, FollowsThePresenceTable) {
  const std::pair<PresenceFlags, const char*> cases[] = {
      {0, "?"}, {kInOld, "-"}, {kInNew, "+"}, {kInOld | kInNew, ""}, {4, "?"}, {-1, "?"}};
  for (const auto& [flags, marker] : cases) EXPECT_STREQ(RowMarker(flags), marker) << flags;
}

TEST(ScanFolder, ListsSourceEntriesOfTheFolderItselfInByteOrder) {
  ScopedTempDir dir;
  for (const char* name : {"f.txt", "c.cpp", "e.hpp", "a.c", "d.C", "B.h", "x.c.bak"}) {
    dir.Write(name, "int x;\n");
  }
  dir.MakeDir("lib.h");                  // a folder named like a source is an entry
  dir.Write("sub/inner.c", "int y;\n");  // subfolders are not entered
  Names expected = {"B.h", "a.c", "c.cpp", "lib.h"};
  if (testing::NonUtf8NamesSkipReason().empty()) {
    dir.Write("\xFF\xFE.c", "int z;\n");  // a name that is not UTF-8 is kept as it is
    expected.push_back("\xFF\xFE.c");
  }
  Names names = {"stale.c"};
  ASSERT_EQ(ScanFolder(dir.str(), names), ScanStatus::kListed);
  EXPECT_EQ(names, expected);
  names = {"stale.c"};  // an empty text is an empty folder
  EXPECT_EQ(ScanFolder("", names), ScanStatus::kListed);
  EXPECT_TRUE(names.empty());
}

TEST(ScanFolder, ReportsFoldersThatCannotBeOpened) {
  ScopedTempDir dir;
  Names names;
  EXPECT_EQ(ScanFolder((dir.path() / "missing").string(), names), ScanStatus::kCannotOpen);
  const auto file = dir.Write("plain.c", "");
  EXPECT_EQ(ScanFolder(file.string(), names), ScanStatus::kCannotOpen);
  if (testing::IgnoresFilePermissions()) GTEST_SKIP() << testing::FilePermissionsSkipReason();
  const auto locked = dir.MakeDir("locked");
  dir.Write("locked/a.c", "");
  ASSERT_TRUE(testing::SetFileMode(locked, 0));
  EXPECT_EQ(ScanFolder(locked.string(), names), ScanStatus::kCannotOpen);
}

// Each entry as "name old-name new-name marker", so a whole catalogue compares at once.
Names Shown(const FileCatalogue& catalogue) {
  Names shown;
  for (const CatalogueEntry& e : catalogue) {
    shown.push_back(e.name + " " + e.oldName + " " + e.newName + " " + RowMarker(e.flags));
  }
  return shown;
}

TEST(BuildCatalogue, PairsAndOrdersTheNamesOfBothFolders) {
  struct Case {
    const char* what;
    Names oldNames;
    Names newNames;
    Names expected;
  } cases[] = {
      // The missing side's name stays empty, so it is not opened.
      {"presence", {"y.c", "x.c"}, {"z.c", "x.c"}, {"x.c x.c x.c ", "y.c y.c  -", "z.c  z.c +"}},
      {"case only, under the old name", {"Main.c"}, {"MAIN.c"}, {"Main.c Main.c MAIN.c "}},
      {"full-width case", {"Ｍ.c"}, {"ｍ.c"}, {"Ｍ.c Ｍ.c ｍ.c "}},
      // Two files of one folder are never merged; equal under the order, bytes decide.
      {"one folder",
       {"xt_dscp.c", "xt_DSCP.c"},
       {"xt_DSCP.c", "xt_dscp.c"},
       {"xt_DSCP.c xt_DSCP.c xt_DSCP.c ", "xt_dscp.c xt_dscp.c xt_dscp.c "}},
      // An exact partner wins over a case-only one; the other file stays alone.
      {"exact first", {"A.c", "a.c"}, {"a.c"}, {"A.c A.c  -", "a.c a.c a.c "}},
      {"leftovers in byte order",
       {"Ab.c", "AB.c"},
       {"ab.c", "aB.c", "AB.h"},
       {"AB.c AB.c aB.c ", "Ab.c Ab.c ab.c ", "AB.h  AB.h +"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Shown(BuildCatalogue(c.oldNames, c.newNames)), c.expected) << c.what;

  Names order;
  for (const CatalogueEntry& entry :
       BuildCatalogue({"Zeta.c", "亜.c", "aBb.c"}, {"ｱ.c", "alpha.c", "a_b.c", "\xFF.c"})) {
    order.push_back(entry.name);
  }
  EXPECT_EQ(order, (Names{"a_b.c", "aBb.c", "alpha.c", "Zeta.c", "ｱ.c", "亜.c", "\xFF.c"}));
}

TEST(ResolveFolderText, AnchorsRelativeTextsAtTheCurrentDirectory) {
  EXPECT_EQ(ResolveFolderText(""), "");
  EXPECT_EQ(ResolveFolderText("/abs/old"), "/abs/old");
  const std::filesystem::path cwd = std::filesystem::current_path();
  EXPECT_EQ(ResolveFolderText("rel/old"), (cwd / "rel/old").string());
  EXPECT_EQ(std::filesystem::current_path(), cwd);
}

}  // namespace
}  // namespace quintrel
