#include "compare/run/option_texts.h"

#include <charconv>

namespace quintrel {

namespace {

// `text` without the blanks (spaces and tabs) around it.
std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The names of a comma-separated list, each accepted by `accepts`; std::nullopt as soon as
// one is not. Blanks around a name are no part of it: "c, h" is c and h, as a person means.
template <typename Accepts>
std::optional<std::vector<std::string>> SplitList(std::string_view list, Accepts accepts) {
  std::vector<std::string> names;
  for (;;) {
    const std::size_t comma = list.find(',');
    const std::string_view name = TrimBlanks(list.substr(0, comma));
    if (!accepts(name)) return std::nullopt;
    names.emplace_back(name);
    if (comma == std::string_view::npos) return names;
    list.remove_prefix(comma + 1);
  }
}

}  // namespace

std::optional<std::vector<std::string>> ParseExtensionList(std::string_view list) {
  return SplitList(list, [](std::string_view extension) {
    return !extension.empty() && extension.find('.') == std::string_view::npos;
  });
}

bool IsExcludableFolderName(std::string_view name) {
  return !name.empty() && name.find('/') == std::string_view::npos;
}

std::optional<std::vector<std::string>> ParseExcludedFolderList(std::string_view list) {
  if (TrimBlanks(list).empty()) return std::vector<std::string>{};
  return SplitList(list, IsExcludableFolderName);
}

std::optional<int> ParseRenamePercent(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value < 1 || value > 100) {
    return std::nullopt;
  }
  return value;
}

std::string ExtensionListError(std::string_view field) {
  return std::string(field) + " needs extensions without dots, separated by commas: c,h,cpp";
}

std::string ExcludedFolderError(std::string_view field) {
  return std::string(field) + " needs a folder name without '/'";
}

std::string ExcludedFolderListError(std::string_view field) {
  return std::string(field) +
         " needs folder names without '/', separated by commas: build,third_party";
}

std::string RenamePercentError(std::string_view field) {
  return std::string(field) + " needs a whole percent from 1 to 100";
}

}  // namespace quintrel
