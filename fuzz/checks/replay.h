#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "check_report.h"

namespace quintrel::fuzz {

// The fuzz folder, found from this header's own path, so that the regression tests of the
// normal build can replay committed inputs without a configured path.
inline std::filesystem::path FuzzFolder() {
  return std::filesystem::path(__FILE__).parent_path().parent_path();
}

struct ReplayedInput {
  std::string file;
  CheckReport report;
};

// Runs `check` on every file of `folder` (sorted by name, so failures read the same each
// time). An absent folder gives no inputs; callers assert that there were some.
template <typename Check>
std::vector<ReplayedInput> ReplayFolder(const std::filesystem::path& folder, Check check) {
  std::vector<std::filesystem::path> files;
  if (std::filesystem::is_directory(folder)) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  std::vector<ReplayedInput> replayed;
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    replayed.push_back({file.filename().string(), check(data, bytes.size())});
  }
  return replayed;
}

// Every committed input of one target: the inputs it once failed on (regressions/<target>/,
// named "regressions/<file>") and its seeds (corpus/<target>/, named "corpus/<file>").
template <typename Check>
std::vector<ReplayedInput> ReplayTarget(const std::string& target, Check check) {
  std::vector<ReplayedInput> all;
  for (const char* kind : {"regressions", "corpus"}) {
    for (ReplayedInput& input : ReplayFolder(FuzzFolder() / kind / target, check)) {
      input.file = std::string(kind) + "/" + input.file;
      all.push_back(std::move(input));
    }
  }
  return all;
}

}  // namespace quintrel::fuzz
