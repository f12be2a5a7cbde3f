#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quintrel {

// Which folders hold a catalogue entry: bit 1 the old folder, bit 2 the new folder.
using PresenceFlags = std::int32_t;
inline constexpr PresenceFlags kInOld = 1;
inline constexpr PresenceFlags kInNew = 2;

// The text of a row's marker column: 0 "?", 1 "-", 2 "+", 3 empty.
const char* RowMarker(PresenceFlags flags);

// One row-to-be of a run. `name` is the name shown (the old folder's when the entry is in
// both); `oldName` and `newName` are the names on disk, empty on a side that lacks it.
struct CatalogueEntry {
  std::string name;
  std::string oldName;
  std::string newName;
  PresenceFlags flags = 0;
  // For a file renamed or moved: the shown name of its old version (`name` is then
  // "OLD => NEW"); empty otherwise.
  std::string renamedFrom = {};
};

// What joins the old and the new name of a renamed file in its shown name.
inline constexpr std::string_view kRenameArrow = " => ";

// Entries in catalogue order (CompareCatalogueNames of their shown names).
using FileCatalogue = std::vector<CatalogueEntry>;

// True when the part after the name's last '.' is exactly one of `extensions`.
bool HasAcceptedExtension(std::string_view name, const std::vector<std::string>& extensions);

// True when the part from the name's last '.' is exactly ".c", ".h" or ".cpp".
bool IsSourceFileName(std::string_view name);

// The extensions a run accepts unless told otherwise: c, h and cpp.
const std::vector<std::string>& DefaultExtensions();

// Pairs the names of the two folders: exact names first, then a leftover name with a
// leftover of the other folder that differs only in letter case (leftovers taken in byte
// order). Two names of one folder never merge.
FileCatalogue BuildCatalogue(const std::vector<std::string>& oldNames,
                             const std::vector<std::string>& newNames);

}  // namespace quintrel
