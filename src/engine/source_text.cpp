#include "engine/source_text.h"

#include <algorithm>
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

namespace {

bool IsMark(unsigned char byte) {
  return byte == ';' || byte == '{' || byte == ':' || byte == '#';
}

// A list filled entry by entry without a check for room at each: room is made before each
// block of text for as many entries as the block can add.
class EntryWriter {
 public:
  explicit EntryWriter(LargeVector<std::int32_t>& entries) : m_entries(entries) {
    m_entries.clear();
  }
  ~EntryWriter() { m_entries.resize(m_count); }
  EntryWriter(const EntryWriter&) = delete;
  EntryWriter& operator=(const EntryWriter&) = delete;

  void MakeRoom(std::size_t entries) {
    if (m_count + entries > m_entries.size()) {
      m_entries.resize(std::max(2 * m_entries.size(), m_count + entries));
    }
    m_data = m_entries.data();
  }
  std::size_t Count() const { return m_count; }
  void Add(std::size_t value) { m_data[m_count++] = static_cast<std::int32_t>(value); }
  // Writes the entry either way, and keeps it only when asked: no branch to mispredict.
  void AddIf(std::size_t value, bool keep) {
    m_data[m_count] = static_cast<std::int32_t>(value);
    m_count += keep ? 1 : 0;
  }

 private:
  LargeVector<std::int32_t>& m_entries;
  std::int32_t* m_data = nullptr;
  std::size_t m_count = 0;
};

}  // namespace

void BuildLineTableListingMarks(const ByteBuffer& bytes, LineTable& lines,
                                LargeVector<std::int32_t>& linesWithMarks) {
  EntryWriter starts(lines);
  EntryWriter marked(linesWithMarks);
  starts.MakeRoom(1);
  starts.Add(0);
  const unsigned char* const begin = bytes.data();
  const std::size_t size = bytes.size();
  bool pending = false;  // the line being read holds a mark in an earlier block
  std::size_t block = 0;
  for (; block + kMaskBlock <= size; block += kMaskBlock) {
    const ByteBlock bytesOfBlock(begin + block);
    std::uint64_t ends = bytesOfBlock.EqualAny(kLf);
    std::uint64_t marks = bytesOfBlock.EqualAny(';', '{', ':', '#');
    starts.MakeRoom(kMaskBlock);
    marked.MakeRoom(kMaskBlock);
    for (; ends != 0; ends &= ends - 1) {
      const std::uint64_t throughEnd = ends ^ (ends - 1);  // bits up to this line end
      marked.AddIf(starts.Count() - 1, pending || (marks & throughEnd) != 0);
      marks &= ~throughEnd;
      pending = false;
      starts.Add(block + LowestBit(ends) + 1);
    }
    pending = pending || marks != 0;
  }
  starts.MakeRoom(size - block);
  marked.MakeRoom(size - block + 1);
  for (std::size_t at = block; at < size; ++at) {
    if (begin[at] == kLf) {
      marked.AddIf(starts.Count() - 1, pending);
      pending = false;
      starts.Add(at + 1);
    } else {
      pending = pending || IsMark(begin[at]);
    }
  }
  marked.AddIf(starts.Count() - 1, pending);
}

}  // namespace quintrel
