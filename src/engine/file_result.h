#pragma once

#include <cstdint>

namespace quintrel {

// The measurement of one file name across the two folders.
struct FileResult {
  std::int32_t added = 0;    // statements on new lines without a partner
  std::int32_t deleted = 0;  // statements on old lines without a partner
  std::int32_t loc = 0;      // all statements of the new version

  bool operator==(const FileResult&) const = default;
};

}  // namespace quintrel
