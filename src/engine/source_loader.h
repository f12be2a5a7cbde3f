#pragma once

#include "engine/input_file.h"
#include "engine/source_text.h"

namespace quintrel {

// Loads one version of a file in text mode: bytes translated (CR LF -> LF, 0x1A ends the
// data) and the line table of their line starts. Returns false, leaving `text` absent (no
// bytes, no lines), when the file cannot be read at all or is too large for 32-bit offsets.
bool LoadSourceText(InputFile& file, SourceText& text);

}  // namespace quintrel
