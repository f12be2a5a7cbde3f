#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "checks/path_pattern_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const quintrel::fuzz::CheckReport report = quintrel::fuzz::CheckPathPattern(data, size);
  if (!report.empty()) {
    std::fprintf(stderr, "path_pattern: %s\n", report.c_str());
    std::abort();
  }
  return 0;
}
