#pragma once

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "engine/large_block.h"

namespace quintrel::fuzz {

// What a check found: empty when every property held, otherwise a description of the first
// one that did not. The fuzz targets abort on a non-empty report; the regression tests
// print it.
using CheckReport = std::string;

template <typename... Parts>
std::string Describe(const Parts&... parts) {
  std::ostringstream out;
  (out << ... << parts);
  return out.str();
}

inline ByteBuffer ToBytes(const std::uint8_t* data, std::size_t size) {
  return ByteBuffer(data, data + size);
}

inline std::string_view ToView(const std::uint8_t* data, std::size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

// Printable form of a few numbers, for reports.
template <typename Container>
std::string Join(const Container& values) {
  std::ostringstream out;
  out << '(';
  bool first = true;
  for (const auto& value : values) {
    out << (first ? "" : " ") << static_cast<long long>(value);
    first = false;
  }
  out << ')';
  return out.str();
}

}  // namespace quintrel::fuzz
