#include <cstdio>
#include <string>

namespace logger {

class Buffer {
 public:
  explicit Buffer(std::size_t capacity) : m_capacity(capacity) {}

  bool Append(const std::string& text) {
    if (m_text.size() + text.size() > m_capacity) return false;
    m_text += text;
    return true;
  }

  bool Flush(std::FILE* out) {
    bool ok = std::fputs(m_text.c_str(), out) >= 0;
    m_text.clear();
    return ok;
  }

 private:
  std::size_t m_capacity;
  std::string m_text;
};

}  // namespace logger
