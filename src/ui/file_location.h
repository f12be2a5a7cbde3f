#pragma once

#include <QString>

namespace quintrel {

// The path of `name` in the folder a folder box names (relative texts against the current
// directory). When no entry has exactly that name, an entry whose name differs only in
// letter case is taken: a row shows the old folder's spelling of a name that both folders
// hold. Returns the exact-name path when neither exists.
QString LocateFileInFolder(const QString& folderText, const QString& name);

}  // namespace quintrel
