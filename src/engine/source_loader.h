#pragma once

#include <cstdint>
#include <span>

#include "engine/input_file.h"
#include "engine/source_text.h"

namespace quintrel {

// The largest file that can be loaded: every line offset must fit a 32-bit signed entry.
constexpr std::int64_t kMaxSourceBytes = 0x7FFFFFFF;

// Reads one version of a file in text mode: bytes translated (CR LF -> LF, 0x1A ends the
// data). False, with `bytes` empty, when the file cannot be read at all or holds more than
// kMaxSourceBytes bytes before translation (by its size, or by what it yields if it grows
// while read): such a version takes part in the measurement like a missing file.
bool ReadSourceBytes(InputFile& file, ByteBuffer& bytes);

// The same for a version handed over in memory: `stored` copied and translated.
bool ReadSourceBytes(std::span<const unsigned char> stored, ByteBuffer& bytes);

// ReadSourceBytes, then the line table of the line starts; `text` is left absent (no bytes,
// no lines) when the bytes cannot be read.
void LoadSourceText(InputFile& file, SourceText& text);

}  // namespace quintrel
