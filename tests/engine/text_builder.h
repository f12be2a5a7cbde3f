#pragma once

#include <string_view>

#include "engine/source_text.h"

namespace quintrel::testing {

// A loaded version holding exactly `bytes` (no text-mode translation), with its line table.
inline SourceText MakeText(std::string_view bytes) {
  SourceText text;
  text.bytes.assign(bytes.begin(), bytes.end());
  BuildLineTable(text.bytes, text.lines);
  return text;
}

}  // namespace quintrel::testing
