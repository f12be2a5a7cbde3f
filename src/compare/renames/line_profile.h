#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "compare/renames/profile_arena.h"
#include "engine/file_result.h"
#include "engine/line_digest.h"
#include "engine/source_text.h"

namespace quintrel {

// How often one line content occurs in a file, known by the content's hash. `check` is
// more of the content's digest: two contents with the same hash and different checks are
// different (equal checks make a mix-up of two contents a chance of one in 2^96).
struct LineCount {
  std::uint64_t hash = 0;
  std::uint32_t count = 0;
  std::uint32_t check = 0;
};

// A line credited with statement marks: the index of its content in LineProfile::lines,
// which occurrence of that content it is (0 for the first in the file), and its marks. Eight
// bytes: a search keeps one for every such line of every file it reads. A profile with an
// occurrence or marks beyond 16 bits is marked `marksUntold` instead.
struct MarkedLine {
  std::uint32_t content;
  std::uint16_t occurrence;
  std::uint16_t marks;
};

// What the search keeps of a file: its distinct line hashes with their counts, in hash
// order, and its number of lines (entries of its line table; 0 for an absent file). A
// measured profile also holds the lines that carry statement marks, enough to measure the
// file against another without reading either again.
struct LineProfile {
  ArenaVector<LineCount> lines;
  std::size_t lineCount = 0;
  // Two different contents of the file share a hash; `lines` counts them as one.
  bool hashesCollide = false;
  bool measured = false;
  // A line's occurrence or marks does not fit a MarkedLine (a content repeated more than
  // 65,535 times, a line of more marks): MeasureProfiles cannot tell, the file is measured.
  bool marksUntold = false;
  ArenaVector<MarkedLine> marked;  // in line order
  std::int64_t marks = 0;          // all marks of the file, as measuring counts them
};

// Profiles texts one after another, reusing its memory; one per thread. The profiles'
// vectors come from `arena` (which must outlive them) or, without one, from the heap.
class LineProfiler {
 public:
  explicit LineProfiler(ProfileArena* arena = nullptr) : m_arena(arena) {}

  // The profile of a text whose line table holds offsets. `marksPerLine`, if given, holds
  // the statement marks of each line (CountStatementsPerLine) and makes the profile a
  // measured one; lines past the table must have none.
  LineProfile Profile(const SourceText& text,
                      const std::vector<std::int32_t>* marksPerLine = nullptr);

  // The measured profile of a text as measuring loads it, with or without its line table of
  // offsets (which holds the empty line after a final line end). That line is left out of
  // the profile, and of the text: it is no line of text, and would make any two one-line
  // files half alike.
  LineProfile ProfileLoaded(SourceText& text);

 private:
  // A content of the file being profiled, in the slot its hash places it in: its hash,
  // check and count (0 for a free slot).
  using Slot = LineCount;
  struct HashOrder {
    std::uint64_t hash;
    std::uint32_t slot;
  };
  // A line's content (its slot) and which occurrence of it the line is.
  struct LineSlot {
    std::uint32_t slot;
    std::uint32_t occurrence;
  };
  LineProfile NewProfile(std::size_t lines);
  template <typename Lines>
  void CountContents(Lines lines, const unsigned char* readable, LineProfile& profile);
  std::uint32_t SlotOf(const KeyDigest& digest, LineProfile& profile);
  void OrderContents();
  void Finish(const std::int32_t* marksPerLine, LineProfile& profile);

  ProfileArena* m_arena;
  std::vector<Slot> m_slots;
  int m_shift = 0;  // a hash's first slot: its top bits
  std::vector<LineSlot> m_lineSlots;
  std::vector<HashOrder> m_order;
  std::vector<std::int32_t> m_marks;
  std::vector<std::uint32_t> m_rank;  // slot -> the place of its content in hash order
  std::vector<MarkedLine> m_marked;
};

// Leaves out of a loaded text the empty line that measuring sees after a final line end.
void DropFinalLineEnd(SourceText& text);

// The profile of a text whose line table holds offsets.
LineProfile ProfileLines(const SourceText& text);

// How many lines of the new file pair with lines of the old one, as measuring pairs them;
// std::nullopt when the profiles cannot tell (two different contents share a hash).
std::optional<std::size_t> PairedNewLines(const LineProfile& oldFile, const LineProfile& newFile);

// What measuring the two versions gives (MeasureFilePair on two texts that differ in some
// byte), from their measured profiles; std::nullopt when the profiles cannot tell (shared
// hashes, or marks untold).
std::optional<FileResult> MeasureProfiles(const LineProfile& oldFile, const LineProfile& newFile);

// What measuring gives for a file present in one version only, from its measured profile;
// and for two versions taken as the same without comparing them.
FileResult MeasureNewOnly(const LineProfile& newFile);
FileResult MeasureOldOnly(const LineProfile& oldFile);
FileResult MeasureUnchanged(const LineProfile& newFile);

}  // namespace quintrel
