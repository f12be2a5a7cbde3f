#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "checks/statement_units_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const quintrel::fuzz::CheckReport report = quintrel::fuzz::CheckStatementUnits(data, size);
  if (!report.empty()) {
    std::fprintf(stderr, "statement_units: %s\n", report.c_str());
    std::abort();
  }
  return 0;
}
