#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quintrel {

// The texts a user gives for a run's options, read by one rule for the command line and the
// window alike, so that both accept the same texts and word a refusal the same way.

// The similarity a rename search asks for when no percent is given.
inline constexpr int kDefaultRenamePercent = 50;

// The extensions of a comma-separated list ("c,h,cpp"); std::nullopt when a name is empty or
// holds a dot.
std::optional<std::vector<std::string>> ParseExtensionList(std::string_view list);

// True for a folder name that can be excluded: not empty and without '/'.
bool IsExcludableFolderName(std::string_view name);

// The folder names of a comma-separated list ("build,third_party"); an empty list names none.
// std::nullopt when a name is not excludable (two commas in a row, a path).
std::optional<std::vector<std::string>> ParseExcludedFolderList(std::string_view list);

// A similarity in percent, a whole number from 1 to 100; std::nullopt for anything else.
std::optional<int> ParseRenamePercent(std::string_view text);

// What is wrong with a refused text, after the name of the field or option that holds it:
// "<field> needs extensions without dots, separated by commas: c,h,cpp".
std::string ExtensionListError(std::string_view field);
// "<field> needs a folder name without '/'".
std::string ExcludedFolderError(std::string_view field);
// "<field> needs folder names without '/', separated by commas: build,third_party".
std::string ExcludedFolderListError(std::string_view field);
// "<field> needs a whole percent from 1 to 100".
std::string RenamePercentError(std::string_view field);

}  // namespace quintrel
