#include <time.h>

#include "compare/reports/local_clock.h"

namespace quintrel {

std::tm LocalTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);  // std::localtime shares one buffer between threads
  return local;
}

}  // namespace quintrel
