#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quintrel::testing {

// Creates `depth` nested folders, each named `folder`, below the existing folder `top`, and
// in the deepest one the file `file` holding `bytes`. Every folder is made relative to its
// parent, so the depth is not limited by PATH_MAX. Returns the file's path below `top`.
std::string MakeDeepFolders(const std::filesystem::path& top, const std::string& folder, int depth,
                            const std::string& file, std::string_view bytes);

// Why a file `length` characters below `top` cannot be made on this system, or empty when it
// can. Wine, for one, maps every Windows path to one Unix path, which PATH_MAX limits.
std::string DeepPathSkipReason(std::size_t length);

// Removes what MakeDeepFolders made below `top`, one level at a time by moving the next
// level up (a plain recursive removal runs out of descriptors or path length).
void RemoveDeepFolders(const std::filesystem::path& top, const std::string& folder,
                       const std::string& file);

}  // namespace quintrel::testing
