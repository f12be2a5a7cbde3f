#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "engine/large_block.h"

namespace quintrel {

// Size and modification time (whole seconds) as the identity test compares them.
// size -1 means that no status was obtained.
struct FileStatus {
  std::int64_t size = -1;
  std::int64_t mtime = 0;

  bool operator==(const FileStatus&) const = default;
};

// A file opened for reading. This class and the free functions below are the engine's only
// contact with the file system: one file per system holds the platform code, and
// input_file.cpp the reading loop they share. (Its other contact with the operating system
// is the memory of large_block.h.)
class InputFile {
 public:
  // Opens a regular file for reading; std::nullopt when it cannot be opened or is not a
  // regular file (a directory named like a source file, for example).
  static std::optional<InputFile> Open(const std::string& path);

  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  // The status taken when the file was opened (one query per file is enough: reading
  // copes with a file that changes afterwards).
  FileStatus Status() const { return m_status; }

  // Reads the rest of the file into `bytes` (replacing its content), sizing the buffer from
  // the file's size once and growing it only if the file grows while it is read. Returns
  // false when the very first read fails; a later read error keeps what was read. Also
  // returns false, with `bytes` empty, when the file holds more than `maxBytes` bytes, known
  // from its size or found while reading (so a file that keeps growing cannot exhaust memory).
  bool ReadAll(ByteBuffer& bytes, std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

 private:
  explicit InputFile(int handle) : m_handle(handle) {}

  // The platform's part: reads up to `size` bytes, returning how many (0 at the end), or -1
  // on an error; and closes the handle.
  std::int64_t ReadSome(unsigned char* buffer, std::size_t size);
  static void Close(int handle);

  int m_handle = -1;
  FileStatus m_status;
};

// Status of the file a path names, following links; size -1 when it cannot be queried or
// names no regular file (a directory is no version of a source file).
FileStatus QueryStatus(const std::string& path);

// `folder` joined with `name` by the platform's separator (none added after a trailing one).
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace quintrel
