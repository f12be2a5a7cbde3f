#include "engine/source_loader.h"

namespace quintrel {

void LoadSourceText(InputFile& file, SourceText& text) {
  text.lines.clear();
  if (!file.ReadAll(text.bytes, static_cast<std::size_t>(kMaxSourceBytes))) {
    text.bytes.clear();
    return;
  }
  TranslateTextMode(text.bytes);
  BuildLineTable(text.bytes, text.lines);
}

void LoadSourceBytes(std::span<const unsigned char> bytes, SourceText& text) {
  text.lines.clear();
  if (bytes.size() > static_cast<std::size_t>(kMaxSourceBytes)) {
    text.bytes.clear();
    return;
  }
  text.bytes.assign(bytes.begin(), bytes.end());
  TranslateTextMode(text.bytes);
  BuildLineTable(text.bytes, text.lines);
}

}  // namespace quintrel
