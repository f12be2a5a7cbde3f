#include <errno.h>
#include <iconv.h>

#include "compare/text/charset_converter.h"

namespace quintrel {

struct CharsetConverter::State {
  iconv_t handle;
};

CharsetConverter::CharsetConverter(const char* to, const char* from) {
  if (*to == '\0' || *from == '\0') return;  // iconv would take "" for the locale's own
  const iconv_t handle = iconv_open(to, from);
  if (handle != reinterpret_cast<iconv_t>(-1)) m_state = std::make_unique<State>(State{handle});
}

CharsetConverter::~CharsetConverter() {
  if (m_state) iconv_close(m_state->handle);
}

std::size_t CharsetConverter::Convert(std::string_view input, std::string& out) {
  char* in = const_cast<char*>(input.data());  // iconv's signature; it does not write there
  std::size_t inLeft = input.size();
  char buffer[256];
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t status = iconv(m_state->handle, &in, &inLeft, &outPtr, &outLeft);
    const int error = errno;
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (status != static_cast<std::size_t>(-1) || error == E2BIG) continue;
    iconv(m_state->handle, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return input.size() - inLeft;
  }
  return kComplete;
}

}  // namespace quintrel
