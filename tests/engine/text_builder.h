#pragma once

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/source_text.h"

namespace quintrel::testing {

// A loaded version holding exactly `bytes` (no text-mode translation), with its line table.
inline SourceText MakeText(std::string_view bytes) {
  SourceText text;
  text.bytes.assign(bytes.begin(), bytes.end());
  BuildLineTable(text.bytes, text.lines);
  return text;
}

// For each line of `bytes`, whether it holds a statement mark byte; found line by line.
inline std::vector<bool> LinesWithMarks(std::string_view bytes) {
  std::vector<bool> marked;
  for (std::size_t start = 0;;) {
    const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
    marked.push_back(bytes.substr(start, end - start).find_first_of(";{:#") != bytes.npos);
    if (end == bytes.size()) return marked;
    start = end + 1;
  }
}

// Random C-like code as a list of tokens, some of them whole directive lines; rendered with
// one blank or line end between tokens it reads as those tokens.
inline std::vector<std::string> RandomCodeTokens(std::mt19937& random, std::size_t count) {
  static const char* const kTokens[] = {
      "a",        "b",  "foo", "x1",  "0",  "1.5e+3",  "0x1F",       "+",    "-",   "--",
      "++",       "->", "<<",  ">",   "<",  "=",       "==",         "(",    ")",   "[",
      "]",        ",",  ".",   "...", "*",  "&",       "&&",         "?",    ";",   ";",
      ";",        "{",  "}",   ":",   "::", "\"s;t\"", "\"a\\\"b\"", "'c'",  "':'", "L\"w\"",
      "\"\\x4\"", "\\", "/",   "%",   "if", "return",  "u8\"{\"",    "1'000"};
  static const char* const kDirectives[] = {
      "\n#define M(a) a ## b\n", "\n#include \"x.h\"\n",     "\n#if A\n", "\n#endif\n",
      "\n# pragma once\n",       "\n#define N 1 \\\n + 2;\n"};
  std::vector<std::string> tokens;
  for (std::size_t n = 0; n < count; ++n) {
    if (random() % 16 == 0) {
      tokens.push_back(kDirectives[random() % std::size(kDirectives)]);
    } else {
      tokens.push_back(kTokens[random() % std::size(kTokens)]);
    }
  }
  return tokens;
}

// The tokens with a blank or a line end between each two.
inline std::string RenderCode(const std::vector<std::string>& tokens, std::mt19937& random) {
  std::string text;
  for (const std::string& token : tokens) {
    if (!text.empty()) text += random() % 5 == 0 ? "\n" : " ";
    text += token;
  }
  return text;
}

}  // namespace quintrel::testing
