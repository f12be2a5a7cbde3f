#include "compare/sources/folder_pair.h"

#include <optional>

#include "compare/listing/folder_listing.h"
#include "engine/input_file.h"
#include "engine/source_loader.h"

namespace quintrel {

namespace {

class FolderSource final : public VersionSource {
 public:
  FolderSource(const std::string& folder, const std::vector<std::string>& extensions)
      : m_folder(folder), m_extensions(extensions), m_reader(folder, extensions) {}

  bool OpenTop() override { return m_reader.OpenTop(); }

  std::vector<std::string> ListTop() override {
    std::vector<std::string> names;
    ScanFolder(m_folder, names, m_extensions);
    return names;
  }

  FolderLevel List(const std::string& relative) override { return m_reader.List(relative); }

 private:
  std::string m_folder;
  std::vector<std::string> m_extensions;
  FolderTreeReader m_reader;
};

class FolderFiles final : public VersionFiles {
 public:
  FolderFiles(const std::string& oldFolder, const std::string& newFolder)
      : m_oldFolder(oldFolder), m_newFolder(newFolder) {}

  FileResult Measure(const CatalogueEntry& entry, PairWorkspace& workspace) override {
    return MeasureFilePair(m_oldFolder, m_newFolder, entry.oldName, entry.newName, workspace);
  }

  bool ReadText(VersionSide side, const std::string& name, ByteBuffer& bytes) override {
    bytes.clear();
    const std::string& folder = side == VersionSide::kOld ? m_oldFolder : m_newFolder;
    if (folder.empty() || name.empty()) return false;
    std::optional<InputFile> file = InputFile::Open(JoinPath(folder, name));
    return file && ReadSourceBytes(*file, bytes);
  }

  bool TakesAsUnchanged(const std::string& oldName, const std::string& newName) override {
    return TakenAsUnchanged(m_oldFolder, m_newFolder, oldName, newName);
  }

 private:
  const std::string& m_oldFolder;
  const std::string& m_newFolder;
};

class FolderPair final : public VersionPair {
 public:
  FolderPair(const std::string& oldFolderText, const std::string& newFolderText,
             const std::vector<std::string>& extensions)
      : m_oldText(oldFolderText),
        m_newText(newFolderText),
        m_oldFolder(ResolveFolderText(oldFolderText)),
        m_newFolder(ResolveFolderText(newFolderText)),
        m_old(m_oldFolder, extensions),
        m_new(m_newFolder, extensions) {}

  VersionSource& Old() override { return m_old; }
  VersionSource& New() override { return m_new; }
  std::unique_ptr<VersionFiles> OpenFiles() const override {
    return std::make_unique<FolderFiles>(m_oldFolder, m_newFolder);
  }

  std::string Label(VersionSide side) const override {
    return side == VersionSide::kOld ? m_oldText : m_newText;
  }

  TopFolderError CannotOpen(VersionSide side) const override {
    if (side == VersionSide::kOld) return {"旧ﾌｫﾙﾀﾞを開けません: " + m_oldText};
    return {"新ﾌｫﾙﾀﾞを開けません: " + m_newText};
  }

 private:
  std::string m_oldText;
  std::string m_newText;
  std::string m_oldFolder;
  std::string m_newFolder;
  FolderSource m_old;
  FolderSource m_new;
};

}  // namespace

std::unique_ptr<VersionPair> MakeFolderPair(const std::string& oldFolderText,
                                            const std::string& newFolderText,
                                            const std::vector<std::string>& extensions) {
  return std::make_unique<FolderPair>(oldFolderText, newFolderText, extensions);
}

}  // namespace quintrel
