#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "compare/sources/version_source.h"

namespace quintrel {

// A catalogue entry measured before the run (by the rename search, which read its files
// anyway): the result, and the bytes read for it, as a run reports them.
struct KnownResult {
  FileResult result;
  std::uint64_t bytes = 0;
};

// By entry name.
using KnownResults = std::unordered_map<std::string, KnownResult>;

// The versions, with the entries named in `known` measured from there instead of being
// read again; everything else goes to `versions`, which must outlive the pair returned.
std::unique_ptr<VersionPair> WithKnownResults(VersionPair& versions, KnownResults known);

}  // namespace quintrel
