#include "compare/sources/git_source.h"

#include <git2.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <unordered_map>

#include "compare/listing/folder_listing.h"
#include "engine/source_loader.h"

namespace quintrel {

namespace {

namespace fs = std::filesystem;

struct GitFree {
  void operator()(git_repository* repository) const { git_repository_free(repository); }
  void operator()(git_object* object) const { git_object_free(object); }
  void operator()(git_tree* tree) const { git_tree_free(tree); }
  void operator()(git_tree_entry* entry) const { git_tree_entry_free(entry); }
  void operator()(git_odb* odb) const { git_odb_free(odb); }
  void operator()(git_odb_object* object) const { git_odb_object_free(object); }
};

template <typename T>
using GitPtr = std::unique_ptr<T, GitFree>;

// Keeps the library initialised for as long as any object of it lives.
class LibraryUse {
 public:
  LibraryUse() {
    git_libgit2_init();
    // The ids of objects read are not hashed again: the run reads every blob of two trees,
    // and the checksum would cost as much as measuring them.
    git_libgit2_opts(GIT_OPT_ENABLE_STRICT_HASH_VERIFICATION, 0);
  }
  ~LibraryUse() { git_libgit2_shutdown(); }
  LibraryUse(const LibraryUse&) = delete;
  LibraryUse& operator=(const LibraryUse&) = delete;
};

GitPtr<git_repository> OpenRepository(const std::string& startFolder) {
  git_repository* repository = nullptr;
  if (git_repository_open_ext(&repository, startFolder.c_str(), 0, nullptr) != 0) return nullptr;
  return GitPtr<git_repository>(repository);
}

bool IsFileMode(git_filemode_t mode) {
  return mode == GIT_FILEMODE_BLOB || mode == GIT_FILEMODE_BLOB_EXECUTABLE;
}

std::string Below(const std::string& folder, const char* name) {
  if (folder.empty()) return name;
  return folder + TreePathSeparator() + name;
}

// One revision's folder. Listing records the blob id of every file and the tree id of every
// folder listed, so that the folders below are found, and the files read, by id alone.
class GitSource final : public VersionSource {
 public:
  GitSource(git_repository& repository, std::optional<git_oid> top,
            const std::vector<std::string>& extensions)
      : m_repository(repository), m_top(top), m_extensions(extensions) {}

  bool OpenTop() override {
    if (!m_top) return false;
    m_folders.emplace("", *m_top);
    return true;
  }

  std::vector<std::string> ListTop() override {
    FolderLevel level = List("");
    std::vector<std::string> names = std::move(level.files);
    // A flat listing takes every kind of entry, as a folder's listing on disk does; a
    // folder named like a source file then measures as absent.
    for (std::string& name : level.folders) {
      if (HasAcceptedExtension(name, m_extensions)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  FolderLevel List(const std::string& relative) override {
    FolderLevel level;
    const auto folder = m_folders.find(relative);
    git_tree* tree = nullptr;
    if (folder == m_folders.end() || git_tree_lookup(&tree, &m_repository, &folder->second) != 0) {
      return level;
    }
    const GitPtr<git_tree> owned(tree);
    const std::size_t count = git_tree_entrycount(tree);
    for (std::size_t i = 0; i < count; ++i)
      AddEntry(relative, *git_tree_entry_byindex(tree, i), level);
    std::sort(level.files.begin(), level.files.end());
    std::sort(level.folders.begin(), level.folders.end());
    return level;
  }

  // The blob id of a listed file; nullptr for an empty path or an entry that is no file.
  const git_oid* FileId(const std::string& relative) const {
    if (relative.empty()) return nullptr;
    const auto found = m_files.find(relative);
    return found == m_files.end() ? nullptr : &found->second;
  }

 private:
  // Links and submodules are neither files nor folders: they are passed over.
  void AddEntry(const std::string& folder, const git_tree_entry& entry, FolderLevel& level) {
    const char* name = git_tree_entry_name(&entry);
    const git_filemode_t mode = git_tree_entry_filemode(&entry);
    if (mode == GIT_FILEMODE_TREE) {
      m_folders.emplace(Below(folder, name), *git_tree_entry_id(&entry));
      level.folders.emplace_back(name);
    } else if (IsFileMode(mode) && HasAcceptedExtension(name, m_extensions)) {
      m_files.emplace(Below(folder, name), *git_tree_entry_id(&entry));
      level.files.emplace_back(name);
    }
  }

  git_repository& m_repository;
  std::optional<git_oid> m_top;
  std::vector<std::string> m_extensions;
  std::unordered_map<std::string, git_oid> m_folders;
  std::unordered_map<std::string, git_oid> m_files;
};

// A blob read from the object database; absent when there is none or it cannot be read.
class Blob {
 public:
  Blob() = default;
  Blob(git_odb& odb, const git_oid* id) {
    git_odb_object* object = nullptr;
    if (id != nullptr && git_odb_read(&object, &odb, id) == 0) m_object.reset(object);
  }

  VersionBytes Bytes() const {
    if (!m_object) return std::nullopt;
    const auto* data = static_cast<const unsigned char*>(git_odb_object_data(m_object.get()));
    return std::span<const unsigned char>(data, git_odb_object_size(m_object.get()));
  }

 private:
  GitPtr<git_odb_object> m_object;
};

// Reads blobs through a repository of its own: the library's objects are not to be shared
// between threads.
class GitFiles final : public VersionFiles {
 public:
  GitFiles(const std::string& startFolder, const GitSource& oldSource, const GitSource& newSource)
      : m_repository(OpenRepository(startFolder)), m_old(oldSource), m_new(newSource) {
    git_odb* odb = nullptr;
    if (!m_repository || git_repository_odb(&odb, m_repository.get()) != 0) {
      throw std::runtime_error("cannot open the repository again");
    }
    m_odb.reset(odb);
  }

  FileResult Measure(const CatalogueEntry& entry, PairWorkspace& workspace) override {
    const git_oid* oldId = m_old.FileId(entry.oldName);
    const git_oid* newId = m_new.FileId(entry.newName);
    const bool sameBlob = oldId != nullptr && newId != nullptr && git_oid_equal(oldId, newId);
    const Blob newBlob(*m_odb, newId);
    const Blob oldBlob = sameBlob ? Blob() : Blob(*m_odb, oldId);
    return MeasureVersionBytes(oldBlob.Bytes(), newBlob.Bytes(), sameBlob, workspace);
  }

  bool ReadText(VersionSide side, const std::string& name, ByteBuffer& bytes) override {
    bytes.clear();
    const GitSource& source = side == VersionSide::kOld ? m_old : m_new;
    const Blob blob(*m_odb, source.FileId(name));
    const VersionBytes stored = blob.Bytes();
    return stored && ReadSourceBytes(*stored, bytes);
  }

 private:
  GitPtr<git_repository> m_repository;
  GitPtr<git_odb> m_odb;
  const GitSource& m_old;
  const GitSource& m_new;
};

class GitPair final : public VersionPair {
 public:
  GitPair(std::unique_ptr<LibraryUse> library, GitPtr<git_repository> repository,
          std::string startFolder, const GitRevisions& revisions, std::optional<git_oid> oldTop,
          std::optional<git_oid> newTop, const std::vector<std::string>& extensions)
      : m_library(std::move(library)),
        m_repository(std::move(repository)),
        m_startFolder(std::move(startFolder)),
        m_revisions(revisions),
        m_old(*m_repository, oldTop, extensions),
        m_new(*m_repository, newTop, extensions) {}

  VersionSource& Old() override { return m_old; }
  VersionSource& New() override { return m_new; }
  std::unique_ptr<VersionFiles> OpenFiles() const override {
    return std::make_unique<GitFiles>(m_startFolder, m_old, m_new);
  }

  std::string Label(VersionSide side) const override {
    return Revision(side) + ":" + m_revisions.path;
  }

  TopFolderError CannotOpen(VersionSide side) const override {
    const char* word = side == VersionSide::kOld ? "old" : "new";
    return {"'" + m_revisions.path + "' is no folder in the " + word + " revision '" +
                Revision(side) + "'",
            true};
  }

 private:
  std::unique_ptr<LibraryUse> m_library;  // first in, last out
  GitPtr<git_repository> m_repository;
  const std::string& Revision(VersionSide side) const {
    return side == VersionSide::kOld ? m_revisions.oldRevision : m_revisions.newRevision;
  }

  std::string m_startFolder;
  GitRevisions m_revisions;
  GitSource m_old;
  GitSource m_new;
};

// The root tree of a revision; nullptr when git knows no commit by that name.
GitPtr<git_tree> RevisionTree(git_repository& repository, const std::string& revision) {
  git_object* found = nullptr;
  if (git_revparse_single(&found, &repository, revision.c_str()) != 0) return nullptr;
  const GitPtr<git_object> object(found);
  git_object* peeled = nullptr;
  if (git_object_peel(&peeled, object.get(), GIT_OBJECT_COMMIT) != 0) return nullptr;
  const GitPtr<git_object> commit(peeled);
  git_object* tree = nullptr;
  if (git_object_peel(&tree, commit.get(), GIT_OBJECT_TREE) != 0) return nullptr;
  return GitPtr<git_tree>(reinterpret_cast<git_tree*>(tree));
}

// The id of the folder at `path` of `root`; none when the path names no folder there.
std::optional<git_oid> FolderId(const git_tree& root, const std::optional<std::string>& path) {
  if (!path) return std::nullopt;
  if (path->empty()) return *git_tree_id(&root);
  git_tree_entry* found = nullptr;
  if (git_tree_entry_bypath(&found, &root, path->c_str()) != 0) return std::nullopt;
  const GitPtr<git_tree_entry> entry(found);
  if (git_tree_entry_type(entry.get()) != GIT_OBJECT_TREE) return std::nullopt;
  return *git_tree_entry_id(entry.get());
}

// `path` as a path of the repository's trees ("" for the top), or none when it lies outside
// the working folder. A relative path starts from `start`, as git's paths do.
std::optional<std::string> PathInRepository(git_repository& repository, const fs::path& start,
                                            const std::string& path) {
  fs::path wanted = fs::path(path).lexically_normal();
  if (const char* workdir = git_repository_workdir(&repository)) {
    std::error_code error;
    const fs::path top = fs::canonical(workdir, error);
    const fs::path from = error ? fs::path() : fs::canonical(start, error);
    if (error) return std::nullopt;
    wanted = (from / path).lexically_normal().lexically_relative(top);
    if (wanted.empty()) return std::nullopt;  // not below the same root
  }
  std::string text = wanted.generic_string();
  if (wanted.is_absolute() || text == ".." || text.starts_with("../")) return std::nullopt;
  if (text == "." || text == "./") text.clear();
  if (text.ends_with('/')) text.pop_back();
  return text;
}

}  // namespace

GitOpening OpenGitRevisions(const GitRevisions& revisions,
                            const std::vector<std::string>& extensions) {
  GitOpening opening;
  auto library = std::make_unique<LibraryUse>();
  std::error_code error;
  const fs::path start =
      fs::absolute(revisions.startFolder.empty() ? "." : revisions.startFolder, error);
  GitPtr<git_repository> repository = OpenRepository(start.string());
  if (error || !repository) {
    opening.status = GitOpenStatus::kNotARepository;
    return opening;
  }
  const GitPtr<git_tree> oldRoot = RevisionTree(*repository, revisions.oldRevision);
  if (!oldRoot) {
    opening.status = GitOpenStatus::kUnknownOldRevision;
    return opening;
  }
  const GitPtr<git_tree> newRoot = RevisionTree(*repository, revisions.newRevision);
  if (!newRoot) {
    opening.status = GitOpenStatus::kUnknownNewRevision;
    return opening;
  }
  const std::optional<std::string> path = PathInRepository(*repository, start, revisions.path);
  const std::optional<git_oid> oldTop = FolderId(*oldRoot, path);
  const std::optional<git_oid> newTop = FolderId(*newRoot, path);
  opening.versions =
      std::make_unique<GitPair>(std::move(library), std::move(repository), start.string(),
                                revisions, oldTop, newTop, extensions);
  return opening;
}

}  // namespace quintrel
