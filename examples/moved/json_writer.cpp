#include <cstdio>
#include <string>

namespace logger {

// Writes one record as a JSON object: {"name": value}
void WriteJsonRecord(std::FILE* out, const std::string& name, int value) {
  std::fprintf(out, "{\"%s\": %d}\n", name.c_str(), value);
}

}  // namespace logger
