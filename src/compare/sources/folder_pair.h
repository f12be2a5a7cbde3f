#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "compare/sources/version_source.h"

namespace quintrel {

// Two folders on disk, given as the user typed them: each is resolved against the current
// directory once, here; an empty text is an empty folder. Files are opened by path and
// measured by MeasureFilePair, with size and modification time as identity. The labels are
// the texts as given.
std::unique_ptr<VersionPair> MakeFolderPair(const std::string& oldFolderText,
                                            const std::string& newFolderText,
                                            const std::vector<std::string>& extensions);

// Opens two folders for a run; MakeFolderPair, or a fake pair in tests.
using FolderPairOpener = std::function<std::unique_ptr<VersionPair>(
    const std::string& oldFolderText, const std::string& newFolderText,
    const std::vector<std::string>& extensions)>;

}  // namespace quintrel
