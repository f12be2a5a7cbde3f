#pragma once

#include <cstdint>

#include "engine/large_block.h"

namespace quintrel {

// Byte 0xFF ends a line when lines are compared, and ends the statement count where it
// stands in code.
inline constexpr unsigned char kEndMarker = 0xFF;

// One entry per line. After loading: the byte offset at which each line starts (0 first,
// then one entry after every '\n'). After line matching: 1 when the line has an identical
// partner in the other version, 0 when it has none.
using LineTable = LargeVector<std::int32_t>;

// One version of one file in memory. An absent version (no file loaded) has no bytes and
// no line entries; an empty file has no bytes and one entry.
struct SourceText {
  ByteBuffer bytes;
  LineTable lines;
};

// Text-mode translation in place: each CR LF becomes LF, a lone CR stays, and a 0x1A byte
// ends the data. Never makes the text longer.
void TranslateTextMode(ByteBuffer& bytes);

// Fills `lines` (emptied first) with the start offset of every line of `bytes`, which must
// be shorter than 2 GiB so that every offset fits.
void BuildLineTable(const ByteBuffer& bytes, LineTable& lines);

// BuildLineTable, and in the same pass the numbers of the lines holding a ';', '{', ':' or
// '#' byte, in rising order, into `linesWithMarks` (emptied first). Only such lines can be
// credited a statement, so only they need pairing.
void BuildLineTableListingMarks(const ByteBuffer& bytes, LineTable& lines,
                                LargeVector<std::int32_t>& linesWithMarks);

}  // namespace quintrel
