#pragma once

#include <cstdint>

#include "engine/input_file.h"
#include "engine/new_line_index.h"
#include "engine/source_text.h"

namespace quintrel {

// True when the line of `a` starting at byte `startA` equals the line of `b` starting at
// `startB`. A line runs up to its first '\n', byte 0xFF or the end of the text; an offset
// at or past the end denotes an empty line.
bool LinesEqual(const SourceText& a, const SourceText& b, std::int64_t startA, std::int64_t startB);

// Turns the two line tables (offsets, or empty for an absent version) into match flags:
// for every distinct line content occurring a times in the old text and b times in the new
// one, the first min(a, b) occurrences of each side get 1, all others 0. When either text
// is absent, every line of the other gets 0. Runs in linear expected time.
void PairLines(SourceText& oldText, SourceText& newText);
void PairLines(SourceText& oldText, SourceText& newText, LineIndexMemory& memory);

// Loads the versions whose files are given (nullptr: absent version) and pairs their lines.
void MatchLines(InputFile* oldFile, InputFile* newFile, SourceText& oldText, SourceText& newText);

}  // namespace quintrel
