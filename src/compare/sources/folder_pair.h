#pragma once

#include <memory>
#include <string>
#include <vector>

#include "compare/sources/version_source.h"

namespace quintrel {

// Two folders on disk (resolved paths; an empty path is an empty folder). Files are opened
// by path and measured by MeasureFilePair, with size and modification time as identity.
std::unique_ptr<VersionPair> MakeFolderPair(const std::string& oldFolder,
                                            const std::string& newFolder,
                                            const std::vector<std::string>& extensions);

}  // namespace quintrel
