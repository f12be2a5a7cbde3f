// Folder listing and the current folder on Windows. Names come from the system in UTF-16
// and are handed on in UTF-8; folders are listed by their full path (long ones through the
// "\\?\" form), since Windows opens nothing relative to an open folder.

#include <windows.h>

#include <algorithm>
#include <memory>

#include "compare/listing/catalogue.h"
#include "compare/listing/folder_listing.h"
#include "compare/listing/folder_tree.h"
#include "engine/input_file.h"
#include "engine/system_path_win.h"

namespace quintrel {

namespace {

struct FindCloser {
  void operator()(HANDLE find) const { ::FindClose(find); }
};
using FindHandle = std::unique_ptr<void, FindCloser>;

bool IsDotOrDotDot(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool IsFolder(const WIN32_FIND_DATAW& entry) {
  return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A symbolic link or junction, which a tree scan treats as the POSIX side treats symlinks.
// Other reparse points (cloud placeholders, deduplicated files) are what they appear to be.
bool IsLink(const WIN32_FIND_DATAW& entry) {
  if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return false;
  return entry.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
         entry.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT;
}

// Calls `visit(entry, name)` for each entry of `folder` but "." and "..", with the name in
// UTF-8. Returns false when the folder cannot be opened; `complete` tells whether it was
// read through to its end.
template <typename Visit>
bool ForEachEntry(const std::string& folder, bool& complete, Visit visit) {
  const std::wstring pattern = SystemPath(JoinPath(folder, "*"));
  WIN32_FIND_DATAW entry;
  FindHandle find(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  complete = false;
  if (find.get() == INVALID_HANDLE_VALUE) {
    find.release();
    // An empty drive root has no entries at all; anything else is a folder that cannot be
    // opened.
    if (::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    complete = true;
    return true;
  }
  do {
    if (!IsDotOrDotDot(entry.cFileName)) visit(entry, NarrowToUtf8(entry.cFileName));
  } while (::FindNextFileW(find.get(), &entry));
  complete = ::GetLastError() == ERROR_NO_MORE_FILES;
  return true;
}

// A folder (or a link to one) whose listing can begin.
bool CanOpenFolder(const std::string& folder) {
  const DWORD attributes = ::GetFileAttributesW(SystemPath(folder).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return false;
  }
  WIN32_FIND_DATAW entry;
  const HANDLE find = ::FindFirstFileExW(SystemPath(JoinPath(folder, "*")).c_str(), FindExInfoBasic,
                                         &entry, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  ::FindClose(find);
  return true;
}

// Links are followed only for names that could become file rows: a link never counts as a
// folder to enter, but a link to a folder is no file either.
void AddEntry(const WIN32_FIND_DATAW& entry, std::string name,
              const std::vector<std::string>& extensions, FolderLevel& level) {
  if (IsFolder(entry) && !IsLink(entry)) {
    level.folders.push_back(std::move(name));
  } else if (!IsFolder(entry) && HasAcceptedExtension(name, extensions)) {
    level.files.push_back(std::move(name));
  }
}

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

// "C:\x", "C:/x", "\\server\share", "\x" and "/x": everything the current folder plays no
// part in (a path that starts at a root still takes the current drive, as the system
// resolves it when it opens the path).
bool IsAbsoluteFolderText(const std::string& text) {
  if (IsSeparator(text.front())) return true;
  return text.size() >= 3 && text[1] == ':' && IsSeparator(text[2]);
}

}  // namespace

char TreePathSeparator() {
  return '/';
}

struct FolderTreeReader::Handles {
  std::string top;
  std::vector<std::string> extensions;
  bool opened = false;
};

FolderTreeReader::FolderTreeReader(const std::string& top,
                                   const std::vector<std::string>& extensions)
    : m_handles(std::make_unique<Handles>()) {
  m_handles->top = top;
  m_handles->extensions = extensions;
}

FolderTreeReader::~FolderTreeReader() = default;

bool FolderTreeReader::OpenTop() {
  if (m_handles->top.empty()) return true;
  m_handles->opened = CanOpenFolder(m_handles->top);
  return m_handles->opened;
}

FolderLevel FolderTreeReader::List(const std::string& relative) {
  FolderLevel level;
  if (!m_handles->opened) return level;
  const std::string folder = relative.empty() ? m_handles->top : JoinPath(m_handles->top, relative);
  bool complete = false;
  ForEachEntry(folder, complete, [&](const WIN32_FIND_DATAW& entry, std::string name) {
    AddEntry(entry, std::move(name), m_handles->extensions, level);
  });
  if (!complete) return FolderLevel{};  // not read through: counts as empty
  std::sort(level.files.begin(), level.files.end());
  std::sort(level.folders.begin(), level.folders.end());
  return level;
}

ScanStatus ScanFolder(const std::string& folder, std::vector<std::string>& names,
                      const std::vector<std::string>& extensions) {
  names.clear();
  if (folder.empty()) return ScanStatus::kListed;
  if (!CanOpenFolder(folder)) return ScanStatus::kCannotOpen;
  bool complete = false;
  ForEachEntry(folder, complete, [&](const WIN32_FIND_DATAW&, std::string name) {
    if (HasAcceptedExtension(name, extensions)) names.push_back(std::move(name));
  });
  // A folder that opened but could not be read through counts as empty, never as a part.
  if (!complete) names.clear();
  std::sort(names.begin(), names.end());
  return ScanStatus::kListed;
}

// The text is appended as it is, as on other systems; only a drive-relative text ("D:x",
// against the current folder of drive D) is resolved by the system.
std::string ResolveFolderText(const std::string& text) {
  if (text.empty() || IsAbsoluteFolderText(text)) return text;
  const std::wstring wide = text.size() >= 2 && text[1] == ':' ? WidenUtf8(text) : L".";
  const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return text;  // no current folder to resolve against
  std::wstring full(needed, L'\0');
  full.resize(::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr));
  if (wide != L".") return NarrowToUtf8(full);
  std::string folder = NarrowToUtf8(full);
  if (!IsSeparator(folder.back())) folder += '\\';
  return folder + text;
}

}  // namespace quintrel
