#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "compare/listing/catalogue.h"
#include "compare/renames/known_results.h"
#include "compare/renames/rename_search.h"
#include "engine/file_pair.h"

namespace quintrel {

class VersionPair;

// What the search reports as it goes, and what stops it.
struct SearchControl {
  // When set, called on the calling thread with the number of files read so far (of
  // SearchedFileCount) and their bytes, each time it grew.
  std::function<void(std::size_t filesRead, std::uint64_t bytesRead)> progress;
  const std::atomic<bool>* cancel = nullptr;  // set from any thread: the search stops
};

struct RenameSearchOptions {
  unsigned jobs = 0;  // worker threads; 0: one per core
  RenameSearchStats* stats = nullptr;
  PairingRule pairing = PairingRule::kLines;
  SearchControl control;
};

// How many files JoinRenames reads for `catalogue`: its entries of one version only, when
// both versions have some; none otherwise.
std::size_t SearchedFileCount(const FileCatalogue& catalogue);

// Finds the renamed and moved files among the catalogue's entries of one version only
// (FindRenames over their contents, read through `versions` on the options' workers) and
// makes each rename one entry of both versions: shown as "OLD => NEW" where the new file's
// entry stood, read under the old file's name in the old version and the new file's in the
// new one. The old file's entry leaves the catalogue. `percent` is the least similarity, 1 to
// 100. Returns what the search measured on the way: each rename and each file left in one
// version only, as measuring them would (WithKnownResults), but those it could not read or
// tell apart from their line hashes alone. With statement units as the `pairing`, similarity
// counts units where it otherwise counts lines, and the results returned are line
// measurements, which such a run must not use. std::nullopt when cancelled, the catalogue
// left as it was.
std::optional<KnownResults> JoinRenames(FileCatalogue& catalogue, const VersionPair& versions,
                                        int percent, const RenameSearchOptions& options = {});

}  // namespace quintrel
