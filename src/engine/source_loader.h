#pragma once

#include <cstdint>
#include <span>

#include "engine/input_file.h"
#include "engine/source_text.h"

namespace quintrel {

// The largest file that can be loaded: every line offset must fit a 32-bit signed entry.
constexpr std::int64_t kMaxSourceBytes = 0x7FFFFFFF;

// Loads one version of a file in text mode: bytes translated (CR LF -> LF, 0x1A ends the
// data) and the line table of their line starts. Leaves `text` absent (no bytes, no lines)
// when the file cannot be read at all or holds more than kMaxSourceBytes bytes before
// translation (by its size, or by what it yields if it grows while read): such a version
// takes part in the measurement like a missing file.
void LoadSourceText(InputFile& file, SourceText& text);

// Loads one version handed over in memory, as LoadSourceText loads a file: `bytes` copied
// and translated, or `text` left absent when they are more than kMaxSourceBytes.
void LoadSourceBytes(std::span<const unsigned char> bytes, SourceText& text);

}  // namespace quintrel
