#pragma once

#include <ctime>

namespace quintrel {

// The local date and time of now, as the report's time stamp shows it.
std::tm LocalTimeNow();

}  // namespace quintrel
