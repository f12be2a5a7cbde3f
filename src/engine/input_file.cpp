#include <algorithm>
#include <utility>

#include "engine/input_file.h"

namespace quintrel {

namespace {

// Chunk used once the buffer sized from the file's status is full: it confirms the end of
// the file and catches files that report a wrong size (growing files, /proc entries).
constexpr std::size_t kTailChunk = 16 * 1024;

}  // namespace

InputFile::InputFile(InputFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1)), m_status(other.m_status) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    if (m_handle >= 0) Close(m_handle);
    m_handle = std::exchange(other.m_handle, -1);
    m_status = other.m_status;
  }
  return *this;
}

InputFile::~InputFile() {
  if (m_handle >= 0) Close(m_handle);
}

bool InputFile::ReadAll(ByteBuffer& bytes, std::size_t maxBytes) {
  bytes.clear();
  const FileStatus status = Status();
  if (status.size > 0 && static_cast<std::uint64_t>(status.size) > maxBytes) return false;
  bytes.resize(static_cast<std::size_t>(std::max<std::int64_t>(status.size, 0)));

  std::size_t filled = 0;
  bool anyRead = false;
  for (;;) {
    // Once the reported size is used up, read into a small side buffer: usually it only
    // confirms the end, so the main buffer is never reallocated for a well-behaved file.
    unsigned char tail[kTailChunk];
    const bool intoTail = filled == bytes.size();
    unsigned char* target = intoTail ? tail : bytes.data() + filled;
    const std::int64_t count = ReadSome(target, intoTail ? sizeof tail : bytes.size() - filled);
    if (count < 0 && !anyRead) {
      bytes.clear();
      return false;
    }
    if (count <= 0) break;  // end of file, or a later error: keep what was read
    anyRead = true;
    if (intoTail) bytes.insert(bytes.end(), tail, tail + count);
    filled += static_cast<std::size_t>(count);
    if (filled > maxBytes) {
      bytes.clear();
      bytes.shrink_to_fit();
      return false;
    }
  }
  bytes.resize(filled);
  return true;
}

}  // namespace quintrel
