#include "engine/source_text.h"

#include <cstring>

#include "engine/byte_mask.h"

namespace quintrel {

namespace {

constexpr unsigned char kCtrlZ = 0x1A;
constexpr unsigned char kCr = '\r';
constexpr unsigned char kLf = '\n';

}  // namespace

void TranslateTextMode(ByteBuffer& bytes) {
  if (bytes.empty()) return;
  if (const void* stop = std::memchr(bytes.data(), kCtrlZ, bytes.size())) {
    bytes.resize(static_cast<std::size_t>(static_cast<const unsigned char*>(stop) - bytes.data()));
  }

  // Compact in place: copy the runs between dropped CRs down over the gaps. Files with LF
  // line ends have no CR, so the common case is a single memchr over the text.
  unsigned char* const begin = bytes.data();
  unsigned char* const end = begin + bytes.size();
  unsigned char* read = begin;
  unsigned char* write = begin;
  while (read < end) {
    auto* cr = static_cast<unsigned char*>(std::memchr(read, kCr, end - read));
    unsigned char* runEnd = cr ? cr : end;
    // Drop the CR only when an LF follows it; a lone CR is kept with its run.
    bool dropCr = cr && cr + 1 < end && cr[1] == kLf;
    unsigned char* keepEnd = cr && !dropCr ? cr + 1 : runEnd;
    if (write != read) std::memmove(write, read, keepEnd - read);
    write += keepEnd - read;
    read = dropCr ? cr + 1 : keepEnd;
  }
  bytes.resize(static_cast<std::size_t>(write - begin));
}

void BuildLineTable(const ByteBuffer& bytes, LineTable& lines) {
  lines.clear();
  lines.push_back(0);
  const unsigned char* const begin = bytes.data();
  const std::size_t size = bytes.size();
  // Lines are short, so a mask of a block's line ends beats one memchr per line.
  std::size_t block = 0;
  for (; block + kMaskBlock <= size; block += kMaskBlock) {
    for (std::uint64_t ends = ByteBlock(begin + block).EqualAny(kLf); ends != 0; ends &= ends - 1) {
      lines.push_back(static_cast<std::int32_t>(block + LowestBit(ends) + 1));
    }
  }
  for (std::size_t at = block; at < size; ++at) {
    if (begin[at] == kLf) lines.push_back(static_cast<std::int32_t>(at + 1));
  }
}

}  // namespace quintrel
