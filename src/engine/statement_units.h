#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/large_block.h"
#include "engine/source_text.h"

namespace quintrel {

// A statement unit holding at least one statement mark. Its identity is its tokens,
// serialized in UnitList::bytes (each token followed by '\n'); equal tokens give equal
// bytes and hold the same marks.
struct StatementUnit {
  std::uint64_t hash;
  std::size_t offset;  // into UnitList::bytes
  std::size_t size;
  std::int64_t marks;
};

// The statement units of one version, in the order they end. Units without a mark are
// left out: they can change no count.
struct UnitList {
  LargeVector<unsigned char> bytes;
  LargeVector<StatementUnit> units;
  // The marks CountStatements counts in the text: over all units, and those of units that
  // ReadStatementUnitPair left out.
  std::int64_t marks = 0;
};

// Replaces the hash of a unit's bytes, for checking what happens when hashes collide.
using UnitHash = std::uint64_t (*)(const unsigned char* data, std::size_t size);

// Reads `text` into statement units. The statement counter's own reading decides what is
// code, literal and comment, and which bytes are marks. Layout (blanks, tabs, line ends,
// comments) is not content, and a backslash-newline is removed. Code is cut into tokens
// by the C and C++ rules; a literal is kept whole, with the encoding prefix that touches it,
// and adjacent strings of the same prefix are one. A preprocessor directive, from a '#' that
// begins a logical line to the end of that line, is one unit (the code it interrupts goes
// on after it); elsewhere a unit ends after each ';', '{' or ':' mark and after each '}'.
void ReadStatementUnits(const SourceText& text, UnitList& list, UnitHash hash = nullptr);

}  // namespace quintrel
