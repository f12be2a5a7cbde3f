#include "support/git_repository.h"

#include <git2.h>

#include <fstream>
#include <map>
#include <stdexcept>

#include "support/temp_dir.h"

namespace quintrel::testing {
namespace {

void Check(int status, const char* what) {
  if (status == 0) return;
  const git_error* error = git_error_last();
  throw std::runtime_error(std::string(what) + ": " + (error ? error->message : "failed"));
}

// An id that names no object: what a submodule entry points at needs no object here.
git_oid SubmoduleCommitId() {
  git_oid id;
  Check(git_oid_fromstr(&id, "0123456789abcdef0123456789abcdef01234567"), "oid");
  return id;
}

git_oid WriteTree(git_repository* repository, const TreeItems& items) {
  std::map<std::string, TreeItems> folders;
  git_treebuilder* builder = nullptr;
  Check(git_treebuilder_new(&builder, repository, nullptr), "treebuilder");
  for (const TreeItem& item : items) {
    const std::size_t slash = item.path.find('/');
    if (slash != std::string::npos) {
      folders[item.path.substr(0, slash)].push_back(
          {item.path.substr(slash + 1), item.content, item.mode});
      continue;
    }
    git_oid id = SubmoduleCommitId();
    if (item.mode != kSubmoduleMode) {
      Check(git_blob_create_from_buffer(&id, repository, item.content.data(), item.content.size()),
            "blob");
    }
    Check(git_treebuilder_insert(nullptr, builder, item.path.c_str(), &id,
                                 static_cast<git_filemode_t>(item.mode)),
          "insert");
  }
  for (const auto& [name, below] : folders) {
    const git_oid id = WriteTree(repository, below);
    Check(git_treebuilder_insert(nullptr, builder, name.c_str(), &id, GIT_FILEMODE_TREE),
          "insert folder");
  }
  git_oid tree;
  Check(git_treebuilder_write(&tree, builder), "write tree");
  git_treebuilder_free(builder);
  return tree;
}

}  // namespace

TestRepository::TestRepository(const std::filesystem::path& folder) {
  git_libgit2_init();
  Check(git_repository_init(&m_repository, folder.c_str(), 0), "init");
}

TestRepository::~TestRepository() {
  git_repository_free(m_repository);
  git_libgit2_shutdown();
}

std::string TestRepository::Commit(const TreeItems& items) {
  const git_oid treeId = WriteTree(m_repository, items);
  git_tree* tree = nullptr;
  Check(git_tree_lookup(&tree, m_repository, &treeId), "tree");
  git_signature* author = nullptr;
  Check(git_signature_new(&author, "Test", "test@example.org", 1700000000, 0), "signature");
  git_oid parentId;
  git_commit* parent = nullptr;
  if (git_reference_name_to_id(&parentId, m_repository, "HEAD") == 0) {
    Check(git_commit_lookup(&parent, m_repository, &parentId), "parent");
  }
  const git_commit* parents[] = {parent};
  git_oid commitId;
  Check(git_commit_create(&commitId, m_repository, "HEAD", author, author, nullptr, "revision",
                          tree, parent ? 1 : 0, parents),
        "commit");
  git_commit_free(parent);
  git_signature_free(author);
  git_tree_free(tree);
  char hex[GIT_OID_HEXSZ + 1];
  return git_oid_tostr(hex, sizeof hex, &commitId);
}

void TestRepository::Tag(const std::string& name, const std::string& commitId) {
  git_oid id;
  Check(git_oid_fromstr(&id, commitId.c_str()), "oid");
  git_object* commit = nullptr;
  Check(git_object_lookup(&commit, m_repository, &id, GIT_OBJECT_COMMIT), "lookup");
  git_oid tag;
  Check(git_tag_create_lightweight(&tag, m_repository, name.c_str(), commit, 0), "tag");
  git_object_free(commit);
}

void WriteCheckout(const TreeItems& items, const std::filesystem::path& folder, long long mtime) {
  std::filesystem::create_directories(folder);
  for (const TreeItem& item : items) {
    if (item.mode == kLinkMode || item.mode == kSubmoduleMode) continue;
    const std::filesystem::path path = folder / item.path;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << item.content;
    SetModificationTime(path, mtime);
  }
}

}  // namespace quintrel::testing
