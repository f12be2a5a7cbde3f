#include "compare/reports/json_report.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace quintrel {
namespace {

using Json = nlohmann::json;

constexpr PresenceFlags kBoth = kInOld | kInNew;

// The bytes a "_bytes" value stands for.
std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// The report of a run of these rows, named with these labels.
std::string ReportOf(const std::string& oldLabel, const std::string& newLabel,
                     const std::vector<ResultRow>& rows, bool withFolders) {
  RunResult run;
  run.oldLabel = oldLabel;
  run.newLabel = newLabel;
  run.rows = rows;
  run.summary = SummarizeRows(rows);
  return FormatJsonReport(run, withFolders);
}

// The whole text for a small run: key order, number types and layout as documented.
TEST(FormatJsonReport, WritesTheDocumentedLayout) {
  const std::vector<ResultRow> rows = {{kBoth, "main.c", {3, 1, 120}, {}, {}},
                                       {kInOld, "gone.h", {0, 4, 0}, {}, {}},
                                       {kInNew, "new.cpp", {2, 0, 2}, {}, {}}};
  EXPECT_EQ(ReportOf("/src/old", "/src/new", rows, false),
            R"({
  "old": "/src/old",
  "new": "/src/new",
  "options": {
    "recursive": false,
    "ext": [
      "c",
      "h",
      "cpp"
    ],
    "exclude_dirs": [],
    "renames": null,
    "ignore_format": false
  },
  "files": [
    {
      "marker": "",
      "name": "main.c",
      "added": 3,
      "deleted": 1,
      "loc": 120
    },
    {
      "marker": "-",
      "name": "gone.h",
      "added": 0,
      "deleted": 4,
      "loc": 0
    },
    {
      "marker": "+",
      "name": "new.cpp",
      "added": 2,
      "deleted": 0,
      "loc": 2
    }
  ],
  "total": {
    "files": 2,
    "new_files": 1,
    "deleted_files": 1,
    "added": 5,
    "deleted": 5,
    "loc": 122
  }
}
)");
}

// "folders" appears only when asked for, with the keys of "total", in the order of the rows.
TEST(FormatJsonReport, FoldersOnlyWhenAskedFor) {
  const std::vector<ResultRow> rows = {{kBoth, "top.c", {1, 0, 1}, {}, {}},
                                       {kInNew, "kernel/fork.c", {3, 0, 3}, {}, {}},
                                       {kInOld, "kernel/sched/core.c", {0, 2, 0}, {}, {}},
                                       {kBoth, "lib/a.c", {1, 1, 5}, {}, {}}};
  EXPECT_FALSE(Json::parse(ReportOf("o", "n", rows, false)).contains("folders"));
  const Json report = Json::parse(ReportOf("o", "n", rows, true));
  const Json& folders = report.at("folders");
  ASSERT_EQ(folders.size(), 3u);
  EXPECT_EQ(folders[0], Json::parse(R"({"name": "kernel", "files": 1, "new_files": 1,
      "deleted_files": 1, "added": 3, "deleted": 2, "loc": 3})"));
  EXPECT_EQ(folders[1].at("name"), "kernel/sched");
  EXPECT_EQ(folders[1].at("files"), 0);
  EXPECT_EQ(folders[2].at("name"), "lib");
  EXPECT_EQ(folders[2].at("loc"), 5);
  EXPECT_EQ(report.at("total").at("files"), 3);
}

// Names that are not UTF-8 keep a readable "name" and their exact bytes beside it; valid
// names, however odd (quotes, backslashes, control characters), round-trip as they are.
TEST(FormatJsonReport, NamesRoundTripWhateverTheirBytes) {
  const std::string latin1 = "caf\xE9.c";
  const std::string truncated = "\xE6\x97.h";  // the first two bytes of a three-byte sequence
  const std::string odd = "a \"q\" \\ \x01\t\xE6\x97\xA5.c";
  const std::vector<ResultRow> rows = {{kBoth, latin1, {}, {}, {}},
                                       {kBoth, truncated, {}, {}, {}},
                                       {kBoth, odd, {}, {}, {}},
                                       {kBoth, "d\xFF/x.c", {}, {}, {}}};
  const Json report = Json::parse(ReportOf("old\xC0", "new", rows, true));
  const Json& files = report.at("files");
  EXPECT_EQ(files[0].at("name"), "caf\xEF\xBF\xBD.c");
  EXPECT_EQ(files[0].at("name_bytes"), "636166e92e63");
  EXPECT_EQ(files[1].at("name"), "\xEF\xBF\xBD\xEF\xBF\xBD.h");
  EXPECT_EQ(FromHex(files[1].at("name_bytes")), truncated);
  EXPECT_EQ(files[2].at("name"), odd);
  EXPECT_FALSE(files[2].contains("name_bytes"));
  EXPECT_EQ(FromHex(files[3].at("name_bytes")), "d\xFF/x.c");
  EXPECT_EQ(FromHex(report.at("folders")[0].at("name_bytes")), "d\xFF");
  EXPECT_EQ(report.at("old"), "old\xEF\xBF\xBD");
  EXPECT_EQ(FromHex(report.at("old_bytes")), "old\xC0");
  EXPECT_FALSE(report.contains("new_bytes"));
}

TEST(FormatJsonReport, EmptyRunAndLargeTotals) {
  const Json empty = Json::parse(ReportOf("", "", {}, true));
  EXPECT_EQ(empty.at("files"), Json::array());
  EXPECT_EQ(empty.at("folders"), Json::array());
  EXPECT_EQ(empty.at("total").at("files"), 0);
  constexpr std::int32_t kMax = 2147483647;
  const std::vector<ResultRow> rows(2, {kBoth, "a.c", {kMax, kMax, kMax}, {}, {}});
  const Json big = Json::parse(ReportOf("o", "n", rows, false));
  EXPECT_EQ(big.at("total").at("loc").get<std::int64_t>(), 2LL * kMax);
}

// The options say how the run measured, whatever they are; texts that are not UTF-8 stay
// readable.
TEST(FormatJsonReport, OptionsSayHowTheRunMeasured) {
  RunResult run;
  run.scan.recursive = true;
  run.scan.extensions = {"cc", "h\xFF"};
  run.scan.excludedFolders = {"build", "third_party"};
  run.renamePercent = 60;
  run.pairing = PairingRule::kStatementUnits;
  const Json options = Json::parse(FormatJsonReport(run, false)).at("options");
  EXPECT_EQ(options, Json::parse(R"({"recursive": true, "ext": ["cc", "h\ufffd"],
      "exclude_dirs": ["build", "third_party"], "renames": 60, "ignore_format": true})"));
}

TEST(HexBytes, TwoLowercaseDigitsPerByte) {
  EXPECT_EQ(HexBytes(""), "");
  EXPECT_EQ(HexBytes(std::string("\x00\x0F\xA0\xFF", 4)), "000fa0ff");
}

}  // namespace
}  // namespace quintrel
