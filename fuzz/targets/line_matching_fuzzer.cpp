#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "checks/line_matching_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const quintrel::fuzz::CheckReport report = quintrel::fuzz::CheckLineMatching(data, size);
  if (!report.empty()) {
    std::fprintf(stderr, "line_matching: %s\n", report.c_str());
    std::abort();
  }
  return 0;
}
