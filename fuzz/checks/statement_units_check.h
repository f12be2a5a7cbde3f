#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "check_report.h"
#include "engine/file_pair.h"
#include "engine/layout_change.h"
#include "engine/statement_units.h"
#include "engine/unit_pair_reader.h"
#include "engine/unit_pairing.h"
#include "engine/unit_pairing_reference.h"
#include "reference_statement_counter.h"
#include "split_input.h"
#include "text_mode_check.h"

namespace quintrel::fuzz {

// A text that text-mode reading leaves as it is (CR CR LF loses one CR per reading).
inline ByteBuffer SettledText(const ByteBuffer& raw) {
  ByteBuffer text = ReferenceTextMode(raw);
  for (ByteBuffer again = ReferenceTextMode(text); again != text; again = ReferenceTextMode(text))
    text = again;
  return text;
}

inline FileResult MeasureInMemory(const std::optional<ByteBuffer>& oldBytes,
                                  const std::optional<ByteBuffer>& newBytes, PairingRule rule) {
  auto view = [](const std::optional<ByteBuffer>& bytes) -> VersionBytes {
    if (!bytes) return std::nullopt;
    return std::span<const unsigned char>(bytes->data(), bytes->size());
  };
  PairWorkspace workspace;
  workspace.pairing = rule;
  return MeasureVersionBytes(view(oldBytes), view(newBytes), false, workspace);
}

inline CheckReport CompareResult(const char* what, const FileResult& got, std::int64_t added,
                                 std::int64_t deleted, std::int64_t loc) {
  if (got.added == added && got.deleted == deleted && got.loc == loc) return {};
  return Describe(what, ": added ", got.added, ", deleted ", got.deleted, ", loc ", got.loc,
                  "; expected ", added, ", ", deleted, ", ", loc);
}

// The text against itself with its layout changed as the first bytes say: nothing added or
// deleted, and the LOC of the text as lines pairing counts it.
inline CheckReport CheckLayoutChange(std::uint32_t seed, unsigned rarity, const ByteBuffer& raw) {
  const ByteBuffer settled = SettledText(raw);
  const std::string text(settled.begin(), settled.end());
  const std::string changed = testing::LayoutChanger(seed, rarity).Change(text);
  const ByteBuffer changedBytes(changed.begin(), changed.end());
  const std::int64_t loc = MeasureInMemory(settled, settled, PairingRule::kLines).loc;
  return CompareResult("layout changed",
                       MeasureInMemory(settled, changedBytes, PairingRule::kStatementUnits), 0, 0,
                       loc);
}

inline std::uint64_t CollidingUnitHash(const unsigned char*, std::size_t size) {
  return size % 2;
}

// Two versions measured by units against the plain pieces: units paired by the plain loop,
// every mark the byte-by-byte counter finds credited to some unit, equal tokens holding equal
// marks; and the same counts when most hashes collide.
inline CheckReport CheckUnitPairing(const ByteBuffer& rest) {
  const TwoVersions versions = SplitTwoVersions(rest.data(), rest.size());
  UnitList lists[2];
  const std::optional<ByteBuffer>* raws[2] = {&versions.oldBytes, &versions.newBytes};
  std::int64_t counted[2] = {0, 0};
  for (int side = 0; side < 2; ++side) {
    SourceText text;
    if (*raws[side]) text.bytes = ReferenceTextMode(**raws[side]);
    ReadStatementUnits(text, lists[side]);
    const std::vector<std::int64_t> marks = ReferenceStatementCounter(text.bytes).MarksPerLine();
    counted[side] = std::accumulate(marks.begin(), marks.end(), std::int64_t{0});
    if (lists[side].marks != counted[side]) {
      return Describe("units hold ", lists[side].marks, " marks; the counter finds ",
                      counted[side]);
    }
  }
  const auto oldUnits = testing::ReferenceUnitsOf(lists[0]);
  const auto newUnits = testing::ReferenceUnitsOf(lists[1]);
  if (!testing::MarksFollowTokens(oldUnits, newUnits)) return "equal tokens, unequal marks";
  const UnitCounts expected = testing::ReferencePairUnits(oldUnits, newUnits);
  const FileResult measured =
      MeasureInMemory(versions.oldBytes, versions.newBytes, PairingRule::kStatementUnits);
  if (CheckReport report = CompareResult("measured by units", measured, expected.added,
                                         expected.deleted, counted[1]);
      !report.empty()) {
    return report;
  }
  StatementUnitMemory memory;
  UnitList colliding[2];
  for (int side = 0; side < 2; ++side) {
    SourceText text;
    if (*raws[side]) text.bytes = ReferenceTextMode(**raws[side]);
    ReadStatementUnits(text, colliding[side], CollidingUnitHash);
  }
  const UnitCounts counts = PairUnits(colliding[0], colliding[1], memory);
  if (counts.added != expected.added || counts.deleted != expected.deleted) {
    return Describe("colliding hashes: added ", counts.added, ", deleted ", counts.deleted,
                    "; expected ", expected.added, ", ", expected.deleted);
  }
  return {};
}

// The two versions with the whole input around each (repeated to make it long enough to be
// left out), read together against each read whole: only units both hold are left out, and
// the marks are every mark of each text.
inline CheckReport CheckSharedStretches(const ByteBuffer& rest) {
  const TwoVersions versions = SplitTwoVersions(rest.data(), rest.size());
  if (rest.empty() || !versions.oldBytes || !versions.newBytes) return {};
  ByteBuffer shared;
  while (shared.size() < 300) shared.insert(shared.end(), rest.begin(), rest.end());
  SourceText texts[2];
  const ByteBuffer* middles[2] = {&*versions.oldBytes, &*versions.newBytes};
  for (int side = 0; side < 2; ++side) {
    ByteBuffer& bytes = texts[side].bytes;
    bytes.insert(bytes.end(), shared.begin(), shared.end());
    bytes.insert(bytes.end(), middles[side]->begin(), middles[side]->end());
    bytes.insert(bytes.end(), shared.begin(), shared.end());
  }
  UnitList whole[2];
  UnitList read[2];
  ReadStatementUnits(texts[0], whole[0]);
  ReadStatementUnits(texts[1], whole[1]);
  ReadStatementUnitPair(texts[0], texts[1], read[0], read[1]);
  for (int side = 0; side < 2; ++side) {
    if (read[side].marks != whole[side].marks) {
      return Describe("read together, side ", side, " holds ", read[side].marks,
                      " marks; read whole, ", whole[side].marks);
    }
  }
  if (!testing::LeftOutAlike(
          testing::ReferenceUnitsOf(whole[0]), testing::ReferenceUnitsOf(read[0]),
          testing::ReferenceUnitsOf(whole[1]), testing::ReferenceUnitsOf(read[1]))) {
    return "read together, the units left out differ between the versions";
  }
  return {};
}

// Bytes 0-3: the seed of the layout change, byte 4: how rare changes are; the rest is the
// text, and cut in two (as the file pair target cuts its input) the two versions.
inline CheckReport CheckStatementUnits(const std::uint8_t* data, std::size_t size) {
  std::uint32_t seed = 0;
  const std::size_t head = std::min<std::size_t>(size, 5);
  for (std::size_t i = 0; i < head && i < 4; ++i) seed |= std::uint32_t{data[i]} << (8 * i);
  const unsigned rarity = 1 + (head == 5 ? data[4] % 6 : 2);
  const ByteBuffer rest(data + head, data + size);
  if (CheckReport report = CheckLayoutChange(seed, rarity, rest); !report.empty()) return report;
  if (CheckReport report = CheckSharedStretches(rest); !report.empty()) return report;
  return CheckUnitPairing(rest);
}

}  // namespace quintrel::fuzz
