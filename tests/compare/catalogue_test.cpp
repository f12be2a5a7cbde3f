#include "compare/catalogue.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

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
  EXPECT_STREQ(RowMarker(0), "?");
  EXPECT_STREQ(RowMarker(kInOld), "-");
  EXPECT_STREQ(RowMarker(kInNew), "+");
  EXPECT_STREQ(RowMarker(kInOld | kInNew), "");
  EXPECT_STREQ(RowMarker(4), "?");
  EXPECT_STREQ(RowMarker(-1), "?");
}

TEST(ScanFolder, ListsSourceEntriesOfTheFolderItselfInByteOrder) {
  ScopedTempDir dir;
  for (const char* name : {"f.txt", "c.cpp", "e.hpp", "a.c", "d.C", "B.h", "x.c.bak"}) {
    dir.Write(name, "int x;\n");
  }
  dir.MakeDir("lib.h");                  // a folder named like a source is an entry
  dir.Write("sub/inner.c", "int y;\n");  // subfolders are not entered
  dir.Write("\xFF\xFE.c", "int z;\n");   // a name that is not UTF-8 is kept as it is
  Names names = {"stale.c"};
  ASSERT_EQ(ScanFolder(dir.str(), names), ScanStatus::kListed);
  EXPECT_EQ(names, (Names{"B.h", "a.c", "c.cpp", "lib.h", "\xFF\xFE.c"}));
}

TEST(ScanFolder, TreatsAnEmptyTextAsAnEmptyFolder) {
  Names names = {"stale.c"};
  EXPECT_EQ(ScanFolder("", names), ScanStatus::kListed);
  EXPECT_TRUE(names.empty());
}

TEST(ScanFolder, ReportsFoldersThatCannotBeOpened) {
  ScopedTempDir dir;
  Names names;
  EXPECT_EQ(ScanFolder((dir.path() / "missing").string(), names), ScanStatus::kCannotOpen);
  const auto file = dir.Write("plain.c", "");
  EXPECT_EQ(ScanFolder(file.string(), names), ScanStatus::kCannotOpen);
  if (testing::IgnoresFilePermissions()) GTEST_SKIP() << "permissions are not enforced";
  const auto locked = dir.MakeDir("locked");
  dir.Write("locked/a.c", "");
  ASSERT_EQ(chmod(locked.c_str(), 0), 0);
  EXPECT_EQ(ScanFolder(locked.string(), names), ScanStatus::kCannotOpen);
}

TEST(BuildCatalogue, MarksEachNameByTheFoldersHoldingIt) {
  const FileCatalogue catalogue = BuildCatalogue({"y.c", "x.c"}, {"z.c", "x.c"});
  ASSERT_EQ(catalogue.size(), 3u);
  EXPECT_EQ(catalogue[0].name, "x.c");
  EXPECT_EQ(catalogue[0].flags, kInOld | kInNew);
  EXPECT_EQ(catalogue[1].name, "y.c");
  EXPECT_EQ(catalogue[1].flags, kInOld);
  EXPECT_EQ(catalogue[1].oldName, "y.c");
  EXPECT_EQ(catalogue[1].newName, "");  // the missing side is not opened
  EXPECT_EQ(catalogue[2].name, "z.c");
  EXPECT_EQ(catalogue[2].flags, kInNew);
  EXPECT_EQ(catalogue[2].oldName, "");
  EXPECT_EQ(catalogue[2].newName, "z.c");
}

TEST(BuildCatalogue, PairsNamesDifferingOnlyInCaseUnderTheOldName) {
  const FileCatalogue catalogue = BuildCatalogue({"Main.c"}, {"MAIN.c"});
  ASSERT_EQ(catalogue.size(), 1u);
  EXPECT_EQ(catalogue[0].name, "Main.c");
  EXPECT_EQ(catalogue[0].oldName, "Main.c");
  EXPECT_EQ(catalogue[0].newName, "MAIN.c");
  EXPECT_EQ(catalogue[0].flags, kInOld | kInNew);

  const FileCatalogue wide = BuildCatalogue({"Ｍ.c"}, {"ｍ.c"});
  ASSERT_EQ(wide.size(), 1u);
  EXPECT_EQ(wide[0].newName, "ｍ.c");
}

TEST(BuildCatalogue, NeverMergesTwoFilesOfOneFolder) {
  const FileCatalogue catalogue =
      BuildCatalogue({"xt_dscp.c", "xt_DSCP.c"}, {"xt_DSCP.c", "xt_dscp.c"});
  ASSERT_EQ(catalogue.size(), 2u);
  EXPECT_EQ(catalogue[0].name, "xt_DSCP.c");  // equal under the order: bytes decide
  EXPECT_EQ(catalogue[0].newName, "xt_DSCP.c");
  EXPECT_EQ(catalogue[1].name, "xt_dscp.c");
  EXPECT_EQ(catalogue[1].newName, "xt_dscp.c");

  // An exact partner wins over a case-only one; the other file stays alone.
  const FileCatalogue rest = BuildCatalogue({"A.c", "a.c"}, {"a.c"});
  ASSERT_EQ(rest.size(), 2u);
  EXPECT_EQ(rest[0].name, "A.c");
  EXPECT_EQ(rest[0].flags, kInOld);
  EXPECT_EQ(rest[1].name, "a.c");
  EXPECT_EQ(rest[1].flags, kInOld | kInNew);
}

TEST(BuildCatalogue, PairsCaseOnlyLeftoversInByteOrder) {
  const FileCatalogue catalogue = BuildCatalogue({"Ab.c", "AB.c"}, {"ab.c", "aB.c", "AB.h"});
  ASSERT_EQ(catalogue.size(), 3u);
  EXPECT_EQ(catalogue[0].name, "AB.c");
  EXPECT_EQ(catalogue[0].newName, "aB.c");
  EXPECT_EQ(catalogue[1].name, "Ab.c");
  EXPECT_EQ(catalogue[1].newName, "ab.c");
  EXPECT_EQ(catalogue[2].name, "AB.h");
  EXPECT_EQ(catalogue[2].flags, kInNew);
}

TEST(BuildCatalogue, StandsInCatalogueOrder) {
  const FileCatalogue catalogue =
      BuildCatalogue({"Zeta.c", "亜.c", "aBb.c"}, {"ｱ.c", "alpha.c", "a_b.c", "\xFF.c"});
  Names shown;
  for (const CatalogueEntry& entry : catalogue) shown.push_back(entry.name);
  EXPECT_EQ(shown, (Names{"a_b.c", "aBb.c", "alpha.c", "Zeta.c", "ｱ.c", "亜.c", "\xFF.c"}));
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
