#include "compare/run/run_request.h"

namespace quintrel {

RunStart BuildRunRequest(const RunOptions& options, const VersionOpeners& openers) {
  RunStart start;
  if (options.git) {
    GitRevisions revisions;
    revisions.startFolder = options.gitStart.value_or("");
    revisions.oldRevision = options.oldVersion;
    revisions.newRevision = options.newVersion;
    revisions.path = options.gitPath;
    GitOpening opening = openers.git(revisions, options.scan.extensions);
    start.status = opening.status;
    if (!start.ok()) return start;
    start.request.versions = std::move(opening.versions);
  } else {
    start.request.versions =
        openers.folders(options.oldVersion, options.newVersion, options.scan.extensions);
  }
  start.request.scan = options.scan;
  start.request.renamePercent = options.renamePercent;
  start.request.pairing = options.ignoreFormat ? PairingRule::kStatementUnits : PairingRule::kLines;
  start.request.jobs = options.jobs;
  return start;
}

}  // namespace quintrel
