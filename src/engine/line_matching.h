#pragma once

#include <cstdint>

#include "engine/line_keys.h"
#include "engine/new_line_index.h"
#include "engine/source_text.h"

namespace quintrel {

using LineHash = std::uint64_t (*)(const LineKey&);

// Which lines need a flag. kLinesWithMarks: only lines holding a ';', '{', ':' or '#' byte;
// the others may get 0 or 1. That is all counting statements needs, as it credits each
// mark to the line that holds it, and it is cheaper: in most source files more than half
// of the lines hold none. The caller lists those lines of each text in the memory's
// oldList.lines and newList.lines, as BuildLineTableListingMarks does.
enum class FlagsWanted { kEveryLine, kLinesWithMarks };

// Turns the two line tables (offsets, or empty for an absent version) into match flags:
// for every distinct line content occurring a times in the old text and b times in the new
// one, the first min(a, b) occurrences of each side get 1, all others 0. When either text
// is absent, every line of the other gets 0. A line's content runs up to its first '\n',
// kEndMarker or the end of the text. Runs in linear expected time; `memory` is reused from
// call to call. `hash` replaces HashKey, for checking what happens when hashes collide.
void PairLines(SourceText& oldText, SourceText& newText, LineIndexMemory& memory,
               FlagsWanted wanted = FlagsWanted::kEveryLine, LineHash hash = nullptr);

}  // namespace quintrel
