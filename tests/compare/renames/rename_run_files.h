#pragma once

// The files and helpers that the rename tests of folders and of revisions share.
#include <string>
#include <vector>

#include "compare/run/run_request.h"

namespace quintrel::testing {

// Ten statements; the edited copy changes two lines and adds one.
inline const std::string kUtil =
    "#include \"util.h\"\n"
    "int count_items(const list* l) {\n"
    "  int n = 0;\n"
    "  for (node* p = l->head; p; p = p->next) n++;\n"
    "  return n;\n"
    "}\n"
    "void clear(list* l) {\n"
    "  l->head = 0;\n"
    "  l->size = 0;\n"
    "}\n";
inline const std::string kUtilEdited =
    "#include \"util.h\"\n"
    "int count_items(const list* l) {\n"
    "  int n = 0;\n"
    "  for (node* p = l->first; p; p = p->next) ++n;\n"
    "  return n;\n"
    "}\n"
    "void clear(list* l) {\n"
    "  l->head = 0;\n"
    "  l->size = 0;\n"
    "  l->tail = 0;\n"
    "}\n";
inline const std::string kTool = "int main(void) {\n  return run();\n}\n";
// Unrelated files: no line pairs.
inline const std::string kUnrelatedOld = "double gone(double x) {\n  return x * 2.0;\n}\n";
inline const std::string kUnrelatedNew = "static const char* banner =\n  \"fresh\";\n";

inline RunResult RunFolders(const std::string& oldFolder, const std::string& newFolder,
                            bool recursive, int renamePercent) {
  RunOptions options;
  options.oldVersion = oldFolder;
  options.newVersion = newFolder;
  options.scan.recursive = recursive;
  options.renamePercent = renamePercent;
  options.jobs = 2;
  return RunMeasurement(BuildRunRequest(options).request);
}

inline std::vector<std::string> Names(const RunResult& run) {
  std::vector<std::string> names;
  for (const ResultRow& row : run.rows)
    names.push_back(RowMarker(row.flags) + std::string("|") + row.name);
  return names;
}

}  // namespace quintrel::testing
