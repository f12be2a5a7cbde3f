#pragma once

#include "compare/listing/catalogue.h"
#include "compare/renames/known_results.h"
#include "compare/renames/rename_search.h"
#include "engine/file_pair.h"

namespace quintrel {

class VersionPair;

// Finds the renamed and moved files among the catalogue's entries of one version only
// (FindRenames over their contents, read through `versions` on `jobs` threads, 0 for one per
// core) and makes each rename one entry of both versions: shown as "OLD => NEW" where the new
// file's entry stood, read under the old file's name in the old version and the new file's
// in the new one. The old file's entry leaves the catalogue. `percent` is the least
// similarity, 1 to 100. Returns what the search measured on the way: each rename and each
// file left in one version only, as measuring them would (WithKnownResults), but those it
// could not read or tell apart from their line hashes alone. With statement units as the
// `pairing`, similarity counts units where it otherwise counts lines, and the results
// returned are line measurements, which such a run must not use.
KnownResults JoinRenames(FileCatalogue& catalogue, const VersionPair& versions, int percent,
                         unsigned jobs = 0, RenameSearchStats* stats = nullptr,
                         PairingRule pairing = PairingRule::kLines);

}  // namespace quintrel
