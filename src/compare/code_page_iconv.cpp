#include <errno.h>
#include <iconv.h>

#include "compare/code_page.h"
#include "compare/utf8.h"

namespace quintrel {

namespace {

constexpr std::size_t kNotStopped = std::string_view::npos;

// One iconv conversion direction. iconv handles keep shift state and are not thread-safe, so
// each thread keeps its own (see Converter()).
class IconvConverter {
 public:
  IconvConverter(const char* to, const char* from) : m_handle(iconv_open(to, from)) {}
  ~IconvConverter() {
    if (usable()) iconv_close(m_handle);
  }
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;

  bool usable() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

  // Appends the conversion of `input` to `out`. Returns kNotStopped when all of it was
  // converted, otherwise the offset of the first character that could not be (what comes
  // before it is appended).
  std::size_t Convert(std::string_view input, std::string& out) {
    iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
      char* outPtr = buffer;
      std::size_t outLeft = sizeof buffer;
      const std::size_t status = iconv(m_handle, &in, &inLeft, &outPtr, &outLeft);
      const int error = errno;
      out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
      if (status != static_cast<std::size_t>(-1)) continue;
      if (error != E2BIG) return input.size() - inLeft;
    }
    return kNotStopped;
  }

 private:
  iconv_t m_handle;
};

IconvConverter& ToCp932() {
  thread_local IconvConverter converter("CP932", "UTF-8");
  return converter;
}

IconvConverter& FromCp932() {
  thread_local IconvConverter converter("UTF-8", "CP932");
  return converter;
}

}  // namespace

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  IconvConverter& converter = ToCp932();
  if (!converter.usable()) return std::nullopt;
  std::string out;
  if (converter.Convert(utf8, out) != kNotStopped) return std::nullopt;
  return out;
}

std::string Utf8ToCp932Lossy(std::string_view utf8) {
  IconvConverter& converter = ToCp932();
  std::string out;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t stop =
        converter.usable() ? converter.Convert(utf8.substr(pos), out) : std::size_t{0};
    if (stop == kNotStopped) break;
    pos += stop;
    const Utf8Char skipped = DecodeUtf8Char(utf8, pos);
    const bool ascii = skipped.valid && skipped.codePoint < 0x80;
    out.push_back(ascii && !converter.usable() ? static_cast<char>(skipped.codePoint) : '?');
    pos += skipped.length;
  }
  return out;
}

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
  IconvConverter& converter = FromCp932();
  if (!converter.usable()) return std::nullopt;
  std::string out;
  if (converter.Convert(cp932, out) != kNotStopped) return std::nullopt;
  return out;
}

}  // namespace quintrel
