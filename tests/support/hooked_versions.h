#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "compare/sources/folder_pair.h"
#include "engine/file_pair.h"

namespace quintrel::testing {

// Measures one entry in a test: returns a result of its own, throws, or changes the files
// and then calls `measureForReal`, the program's own measurement.
using MeasureHook = std::function<FileResult(const CatalogueEntry& entry,
                                             const std::function<FileResult()>& measureForReal)>;
// A hook that sees also the workspace its worker measures with, for its pairing rule.
using WorkspaceMeasureHook =
    std::function<FileResult(const CatalogueEntry& entry, const PairWorkspace& workspace,
                             const std::function<FileResult()>& measureForReal)>;

// Two folders listed and read as the program does, each entry measured through a hook.
class HookedFolderPair final : public VersionPair {
 public:
  HookedFolderPair(std::unique_ptr<VersionPair> folders, WorkspaceMeasureHook hook)
      : m_folders(std::move(folders)), m_hook(std::move(hook)) {}
  HookedFolderPair(std::unique_ptr<VersionPair> folders, MeasureHook hook)
      : HookedFolderPair(std::move(folders),
                         [hook = std::move(hook)](const CatalogueEntry& entry, const PairWorkspace&,
                                                  const std::function<FileResult()>& real) {
                           return hook(entry, real);
                         }) {}

  VersionSource& Old() override { return m_folders->Old(); }
  VersionSource& New() override { return m_folders->New(); }
  std::unique_ptr<VersionFiles> OpenFiles() const override {
    return std::make_unique<Files>(m_folders->OpenFiles(), m_hook);
  }
  std::string Label(VersionSide side) const override { return m_folders->Label(side); }
  TopFolderError CannotOpen(VersionSide side) const override { return m_folders->CannotOpen(side); }

 private:
  class Files final : public VersionFiles {
   public:
    Files(std::unique_ptr<VersionFiles> files, const WorkspaceMeasureHook& hook)
        : m_files(std::move(files)), m_hook(hook) {}
    FileResult Measure(const CatalogueEntry& entry, PairWorkspace& workspace) override {
      return m_hook(entry, workspace, [&] { return m_files->Measure(entry, workspace); });
    }
    bool ReadText(VersionSide side, const std::string& name, ByteBuffer& bytes) override {
      return m_files->ReadText(side, name, bytes);
    }

   private:
    std::unique_ptr<VersionFiles> m_files;
    const WorkspaceMeasureHook& m_hook;
  };

  std::unique_ptr<VersionPair> m_folders;
  WorkspaceMeasureHook m_hook;
};

inline std::unique_ptr<VersionPair> MakeHookedFolderPair(
    const std::string& oldFolder, const std::string& newFolder, MeasureHook hook,
    const std::vector<std::string>& extensions = DefaultExtensions()) {
  return std::make_unique<HookedFolderPair>(MakeFolderPair(oldFolder, newFolder, extensions),
                                            std::move(hook));
}

// Opens folders as MakeHookedFolderPair does, for the window and the command-line tool.
inline FolderPairOpener HookedFolderOpener(MeasureHook hook) {
  return [hook](const std::string& oldFolder, const std::string& newFolder,
                const std::vector<std::string>& extensions) {
    return MakeHookedFolderPair(oldFolder, newFolder, hook, extensions);
  };
}

// As HookedFolderOpener, with a hook that sees the workers' workspaces.
inline FolderPairOpener WorkspaceHookedFolderOpener(WorkspaceMeasureHook hook) {
  return [hook](const std::string& oldFolder, const std::string& newFolder,
                const std::vector<std::string>& extensions) {
    return std::make_unique<HookedFolderPair>(MakeFolderPair(oldFolder, newFolder, extensions),
                                              hook);
  };
}

}  // namespace quintrel::testing
