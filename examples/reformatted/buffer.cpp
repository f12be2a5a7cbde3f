#include <cstdio>
#include <string>

namespace logger
{

class Buffer
{
public:
  explicit Buffer (std::size_t capacity) : m_capacity (capacity) {}

  bool
  Append (const std::string &text)
  {
    if (m_text.size () + text.size () > m_capacity)
      return false;
    m_text += text;
    return true;
  }

  void
  Flush (std::FILE *out)
  {
    std::fputs (m_text.c_str (), out);
    m_text.clear ();
  }

private:
  std::size_t m_capacity;
  std::string m_text;
};

} // namespace logger
