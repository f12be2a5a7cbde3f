#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/large_block.h"

namespace quintrel::fuzz {

// An old and a new version cut from one fuzz input. The first byte says which versions are
// absent (bit 0: old, bit 1: new), the second where the rest is cut (its share of 255).
struct TwoVersions {
  std::optional<ByteBuffer> oldBytes;
  std::optional<ByteBuffer> newBytes;
};

inline TwoVersions SplitTwoVersions(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t flags = size > 0 ? data[0] : 0;
  const std::uint8_t share = size > 1 ? data[1] : 128;
  const std::size_t skip = size < 2 ? size : 2;
  const std::uint8_t* rest = data + skip;
  const std::size_t restSize = size - skip;
  const std::size_t cut = restSize * share / 255;
  TwoVersions versions;
  if (!(flags & 1)) versions.oldBytes.emplace(rest, rest + cut);
  if (!(flags & 2)) versions.newBytes.emplace(rest + cut, rest + restSize);
  return versions;
}

// Splits `text` at the byte `separator` into at most `count` pieces (the last takes the
// rest); missing pieces are empty.
inline std::vector<std::string_view> SplitPieces(std::string_view text, char separator,
                                                 std::size_t count) {
  std::vector<std::string_view> pieces;
  while (pieces.size() + 1 < count) {
    const std::size_t at = text.find(separator);
    if (at == std::string_view::npos) break;
    pieces.push_back(text.substr(0, at));
    text.remove_prefix(at + 1);
  }
  pieces.push_back(text);
  pieces.resize(count);
  return pieces;
}

}  // namespace quintrel::fuzz
