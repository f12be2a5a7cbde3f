#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "checks/rename_search_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const quintrel::fuzz::CheckReport report = quintrel::fuzz::CheckRenameSearch(data, size);
  if (!report.empty()) {
    std::fprintf(stderr, "rename_search: %s\n", report.c_str());
    std::abort();
  }
  return 0;
}
