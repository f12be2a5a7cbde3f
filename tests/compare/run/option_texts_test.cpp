#include "compare/run/option_texts.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace quintrel {
namespace {

using Names = std::optional<std::vector<std::string>>;

// Lists split at every comma and keep each name's bytes but the blanks around it; one bad
// name refuses the whole list, wherever it stands.
TEST(OptionTexts, ExtensionListsSplitAtCommasAndRefuseDotsAndEmptyNames) {
  EXPECT_EQ(ParseExtensionList("c,h,cpp"), (Names{{"c", "h", "cpp"}}));
  EXPECT_EQ(ParseExtensionList("C"), (Names{{"C"}}));
  EXPECT_EQ(ParseExtensionList("ｃ, h"), (Names{{"ｃ", "h"}}));
  EXPECT_EQ(ParseExtensionList(" c ,\th\t, c pp "), (Names{{"c", "h", "c pp"}}));
  EXPECT_EQ(ParseExtensionList("\u3000h"), (Names{{"\u3000h"}}));  // only ASCII blanks go
  for (const char* refused :
       {"", ",", "c,", ",c", "c,,h", ".c", "c,tar.gz", "c,h,.", " ", "c, ,h", "c,\t"}) {
    EXPECT_EQ(ParseExtensionList(refused), std::nullopt) << refused;
  }
}

TEST(OptionTexts, ExcludedFolderListsMayBeEmptyButNameNoPaths) {
  EXPECT_EQ(ParseExcludedFolderList(""), (Names{std::vector<std::string>{}}));
  EXPECT_EQ(ParseExcludedFolderList(" \t"), (Names{std::vector<std::string>{}}));
  EXPECT_EQ(ParseExcludedFolderList("build"), (Names{{"build"}}));
  EXPECT_EQ(ParseExcludedFolderList("build,third_party,.cache"),
            (Names{{"build", "third_party", ".cache"}}));
  EXPECT_EQ(ParseExcludedFolderList("build, third party "), (Names{{"build", "third party"}}));
  for (const char* refused : {",", "build,", ",build", "a,,b", "a/b", "build,x/", "a, "}) {
    EXPECT_EQ(ParseExcludedFolderList(refused), std::nullopt) << refused;
  }
  EXPECT_TRUE(IsExcludableFolderName("a,b"));  // one name, as the command line gives it
  EXPECT_FALSE(IsExcludableFolderName(""));
  EXPECT_FALSE(IsExcludableFolderName("/"));
}

TEST(OptionTexts, RenamePercentIsAWholeNumberFromOneToHundred) {
  EXPECT_EQ(ParseRenamePercent("1"), 1);
  EXPECT_EQ(ParseRenamePercent("50"), 50);
  EXPECT_EQ(ParseRenamePercent("100"), 100);
  for (const char* refused : {"", "0", "101", "-5", "+5", "5%", " 5", "5.0", "99999999999"}) {
    EXPECT_EQ(ParseRenamePercent(refused), std::nullopt) << refused;
  }
}

// The refusals name the field they are about, so each front end puts its own name first.
TEST(OptionTexts, RefusalsStartWithTheFieldsName) {
  EXPECT_EQ(ExtensionListError("--ext"),
            "--ext needs extensions without dots, separated by commas: c,h,cpp");
  EXPECT_EQ(ExcludedFolderError("--exclude-dir"), "--exclude-dir needs a folder name without '/'");
  EXPECT_EQ(ExcludedFolderListError("X"),
            "X needs folder names without '/', separated by commas: build,third_party");
  EXPECT_EQ(RenamePercentError("--renames"), "--renames needs a whole percent from 1 to 100");
}

}  // namespace
}  // namespace quintrel
