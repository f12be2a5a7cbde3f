#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace quintrel::testing {

// A place where a text's layout can change without changing its tokens.
struct LayoutSpot {
  enum Kind { kBlank, kLineEnd, kLineComment, kBlockComment, kString };
  Kind kind;
  std::size_t at;
  std::size_t size;
  bool inDirective;
  bool lineMayBreak;   // kBlank, kLineEnd: no directive could begin right after it
  bool endsAtNewline;  // kLineComment: ended by a line end, not by 0xFF or the text's end
  bool unprefixed;     // kString: no word is glued to its opening quote
};

// Finds the spots by following the statement counter's modes byte by byte, as plainly
// as the mode tables read: only blanks and line ends read in code, comments opened in code,
// and strings closed by their quote. Stops where the count stops.
class LayoutSpotFinder {
 public:
  explicit LayoutSpotFinder(std::string_view text) : m_text(text) {}

  std::vector<LayoutSpot> Find() {
    while (Code()) {
    }
    return m_spots;
  }

 private:
  static constexpr int kEnd = -1;
  static constexpr int kEndMarker = 0xFF;

  int Read() { return m_pos < m_text.size() ? static_cast<unsigned char>(m_text[m_pos++]) : kEnd; }

  static bool IsBlank(int byte) {
    return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\v' || byte == '\f';
  }

  // Whether a line end before `from` keeps the next token off a line start where it
  // could begin a directive (a '#', or a comment or splice that a '#' might follow).
  bool LineMayBreakBefore(std::size_t from) const {
    while (from < m_text.size() && IsBlank(static_cast<unsigned char>(m_text[from]))) ++from;
    if (from == m_text.size()) return true;
    const char next = m_text[from];
    return next != '#' && next != '/' && next != '\\';
  }

  void Add(LayoutSpot::Kind kind, std::size_t at, std::size_t size) {
    m_spots.push_back(LayoutSpot{kind, at, size, m_directive, false, false, false});
  }

  void LineEnd() {
    m_directive = false;
    m_lineStart = true;
  }

  bool Code() {
    const std::size_t at = m_pos;
    const int byte = Read();
    if (byte == kEnd || byte == kEndMarker) return false;
    if (byte == '\n') {
      Add(LayoutSpot::kLineEnd, at, 1);
      m_spots.back().lineMayBreak = LineMayBreakBefore(at + 1);
      LineEnd();
      return true;
    }
    if (IsBlank(byte)) {
      if (byte == ' ' || byte == '\t') {
        Add(LayoutSpot::kBlank, at, 1);
        m_spots.back().lineMayBreak = LineMayBreakBefore(at + 1);
      }
      return true;
    }
    if (byte == '"' || byte == '\'') return Literal(byte, at);
    if (byte == '/') {
      const int next = Read();
      if (next == kEnd || next == kEndMarker) return false;
      if (next == '/') return LineComment(at);
      if (next == '*') return BlockComment(at);
      --m_pos;
      m_lineStart = false;
      return true;
    }
    if (byte == '\\') {
      const int next = Read();
      if (next == kEnd || next == kEndMarker) return false;
      if (next == '\n') return true;  // a splice: the line goes on as it was
      if (next == ';' || next == '{' || next == '#' || next == ':') --m_pos;
      m_lineStart = false;
      return true;
    }
    if (byte == '#' && m_lineStart) m_directive = true;
    m_lineStart = false;
    if (byte == '#' || byte == ':') {
      const int next = Read();
      if (next == kEnd) return false;
      if (next != byte && next != kEndMarker) --m_pos;
    }
    return true;
  }

  bool Literal(int quote, std::size_t at) {
    bool closed = false;
    for (;;) {
      const int byte = Read();
      if (byte == kEnd) return false;
      if (byte == quote) {
        closed = true;
        break;
      }
      if (byte == kEndMarker) break;
      if (byte == '\n') {
        m_lineStart = false;
        LineEnd();
        return true;
      }
      if (byte == '\\') {
        const int next = Read();
        if (next == kEnd) return false;
        if (next == kEndMarker) break;
      }
    }
    if (closed && quote == '"') {
      Add(LayoutSpot::kString, at, m_pos - at);
      const char before = at > 0 ? m_text[at - 1] : ' ';
      m_spots.back().unprefixed =
          std::string_view(" \t(,=;{").find(before) != std::string_view::npos;
    }
    m_lineStart = false;
    return true;
  }

  bool LineComment(std::size_t at) {
    for (;;) {
      const int byte = Read();
      if (byte == kEnd || byte == '\n' || byte == kEndMarker) {
        const std::size_t end = byte == kEnd ? m_pos : m_pos - 1;
        Add(LayoutSpot::kLineComment, at, end - at);
        m_spots.back().endsAtNewline = byte == '\n';
        if (byte == '\n') LineEnd();
        return byte != kEnd;
      }
    }
  }

  bool BlockComment(std::size_t at) {
    for (;;) {
      const int byte = Read();
      if (byte == kEnd) return false;
      if (byte == kEndMarker) return true;
      if (byte != '*') continue;
      const int next = Read();
      if (next == kEnd) return false;
      if (next == '/') {
        Add(LayoutSpot::kBlockComment, at, m_pos - at);
        return true;
      }
      if (next == kEndMarker) return true;
      --m_pos;
    }
  }

  std::string_view m_text;
  std::size_t m_pos = 0;
  bool m_directive = false;
  bool m_lineStart = true;
  std::vector<LayoutSpot> m_spots;
};

// Random changes of layout only, each spot changed with about one chance in `rarity`:
// blanks, comments and line ends added, comments changed or removed, lines joined and
// split where no directive begins or ends, splices, strings split into adjacent strings,
// and line ends written as CR LF (for text-mode reading). `text` must read the same after
// text-mode translation (no CR LF, no 0x1A).
class LayoutChanger {
 public:
  LayoutChanger(std::uint32_t seed, unsigned rarity) : m_random(seed), m_rarity(rarity) {}

  std::string Change(std::string_view text) {
    const std::vector<LayoutSpot> spots = LayoutSpotFinder(text).Find();
    std::string out(text);
    for (auto spot = spots.rbegin(); spot != spots.rend(); ++spot) {
      if (m_random() % m_rarity == 0) Apply(*spot, out);
    }
    std::string crlf;
    for (std::size_t at = 0; at < out.size(); ++at) {
      if (out[at] == '\n' && (at == 0 || out[at - 1] != '\r') && m_random() % m_rarity == 0)
        crlf += '\r';
      crlf += out[at];
    }
    return crlf;
  }

 private:
  unsigned Pick(unsigned count) { return static_cast<unsigned>(m_random() % count); }

  // Comment text: no "*/" (no '/' at all) in a block comment, no line end in a line comment.
  std::string CommentText(bool block) {
    static constexpr std::string_view kBlockBytes = "ab ;{}:#\"'\\*\n\t";
    static constexpr std::string_view kLineBytes = "ab ;{}:#\"'\\*/\t";
    const std::string_view bytes = block ? kBlockBytes : kLineBytes;
    std::string text;
    for (unsigned n = Pick(8); n > 0; --n) text += bytes[Pick(static_cast<unsigned>(bytes.size()))];
    return text;
  }

  std::string Blanks() {
    std::string blanks;
    for (unsigned n = 1 + Pick(3); n > 0; --n) blanks += " \t\f\v"[Pick(4)];
    return blanks;
  }

  // Layout that may stand between two tokens at this spot.
  std::string Gap(const LayoutSpot& spot) {
    switch (Pick(spot.inDirective || !spot.lineMayBreak ? 3 : 5)) {
      case 0:
        return Blanks();
      case 1:
        return "/*" + CommentText(true) + "*/";
      case 2:
        return "\\\n";
      case 3:
        return "\n";
      default:
        return "//" + CommentText(false) + "\n";
    }
  }

  void Apply(const LayoutSpot& spot, std::string& out) {
    switch (spot.kind) {
      case LayoutSpot::kBlank:
        out.insert(spot.at + 1, Gap(spot));
        break;
      case LayoutSpot::kLineEnd:
        if (!spot.inDirective && spot.lineMayBreak && Pick(3) == 0) {
          out[spot.at] = ' ';
        } else {
          out.insert(spot.at, Pick(2) == 0 ? Blanks() : " //" + CommentText(false));
        }
        break;
      case LayoutSpot::kLineComment:
        if (spot.endsAtNewline && Pick(2) == 0) {
          out.erase(spot.at, spot.size);
        } else {
          out.replace(spot.at + 2, spot.size - 2, CommentText(false));
        }
        break;
      case LayoutSpot::kBlockComment:
        if (Pick(2) == 0) {
          out.replace(spot.at, spot.size, " ");
        } else {
          out.replace(spot.at + 2, spot.size - 4, CommentText(true));
        }
        break;
      case LayoutSpot::kString:
        SplitString(spot, out);
        break;
    }
  }

  // Splits a string where no escape sequence is cut or could run on: after a byte that no
  // backslash takes along, before a byte that is no letter or digit. A splice is nothing, as
  // for the compiler: an octal escape of two digits, a splice and a third digit are one
  // escape, so no cut goes before a splice's backslash.
  void SplitString(const LayoutSpot& spot, std::string& out) {
    if (!spot.unprefixed) return;
    const std::string_view content = std::string_view(out).substr(spot.at + 1, spot.size - 2);
    std::vector<std::size_t> cuts;
    bool escaped = false;
    for (std::size_t at = 0; at < content.size(); ++at) {
      if (content[at] == '\\' && at + 1 < content.size() && content[at + 1] == '\n') {
        ++at;
        continue;
      }
      const auto byte = static_cast<unsigned char>(content[at]);
      const bool wordByte = (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
                            (byte >= 'A' && byte <= 'Z') || byte == '_';
      if (!escaped && !wordByte && byte != '\n') cuts.push_back(at);
      escaped = !escaped && byte == '\\';
    }
    if (cuts.empty()) return;
    const std::size_t cut = cuts[Pick(static_cast<unsigned>(cuts.size()))];
    LayoutSpot gap = spot;
    gap.lineMayBreak = true;
    out.insert(spot.at + 1 + cut, "\"" + Gap(gap) + "\"");
  }

  std::mt19937 m_random;
  unsigned m_rarity;
};

}  // namespace quintrel::testing
