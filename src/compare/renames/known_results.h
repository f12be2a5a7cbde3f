#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "compare/sources/version_source.h"

namespace quintrel {

// Catalogue entries measured before the run (by the rename search, which read their files
// anyway), by entry name. The run reports no bytes read for them: the search did.
using KnownResults = std::unordered_map<std::string, FileResult>;

// The versions, with the entries named in `known` measured from there instead of being
// read again; everything else goes to `versions`, which must outlive the pair returned.
std::unique_ptr<VersionPair> WithKnownResults(VersionPair& versions, KnownResults known);

}  // namespace quintrel
