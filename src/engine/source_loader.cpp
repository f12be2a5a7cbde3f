#include "engine/source_loader.h"

namespace quintrel {

bool ReadSourceBytes(InputFile& file, ByteBuffer& bytes) {
  if (!file.ReadAll(bytes, static_cast<std::size_t>(kMaxSourceBytes))) {
    bytes.clear();
    return false;
  }
  TranslateTextMode(bytes);
  return true;
}

bool ReadSourceBytes(std::span<const unsigned char> stored, ByteBuffer& bytes) {
  if (stored.size() > static_cast<std::size_t>(kMaxSourceBytes)) {
    bytes.clear();
    return false;
  }
  bytes.assign(stored.begin(), stored.end());
  TranslateTextMode(bytes);
  return true;
}

void LoadSourceText(InputFile& file, SourceText& text) {
  text.lines.clear();
  if (ReadSourceBytes(file, text.bytes)) BuildLineTable(text.bytes, text.lines);
}

}  // namespace quintrel
