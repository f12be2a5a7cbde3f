#include "compare/renames/known_results.h"

#include <utility>

namespace quintrel {

namespace {

class KnownFiles final : public VersionFiles {
 public:
  KnownFiles(std::unique_ptr<VersionFiles> measurer, const KnownResults& known)
      : m_measurer(std::move(measurer)), m_known(known) {}

  FileResult Measure(const CatalogueEntry& entry, PairWorkspace& workspace) override {
    const auto found = m_known.find(entry.name);
    if (found == m_known.end()) return m_measurer->Measure(entry, workspace);
    return found->second;
  }

  bool ReadText(VersionSide side, const std::string& name, ByteBuffer& bytes) override {
    return m_measurer->ReadText(side, name, bytes);
  }

  bool TakesAsUnchanged(const std::string& oldName, const std::string& newName) override {
    return m_measurer->TakesAsUnchanged(oldName, newName);
  }

 private:
  std::unique_ptr<VersionFiles> m_measurer;
  const KnownResults& m_known;
};

class KnownPair final : public VersionPair {
 public:
  KnownPair(VersionPair& versions, KnownResults known)
      : m_versions(versions), m_known(std::move(known)) {}

  VersionSource& Old() override { return m_versions.Old(); }
  VersionSource& New() override { return m_versions.New(); }
  std::unique_ptr<VersionFiles> OpenFiles() const override {
    return std::make_unique<KnownFiles>(m_versions.OpenFiles(), m_known);
  }
  std::string Label(VersionSide side) const override { return m_versions.Label(side); }
  TopFolderError CannotOpen(VersionSide side) const override { return m_versions.CannotOpen(side); }

 private:
  VersionPair& m_versions;
  const KnownResults m_known;  // read by every worker, written by none
};

}  // namespace

std::unique_ptr<VersionPair> WithKnownResults(VersionPair& versions, KnownResults known) {
  return std::make_unique<KnownPair>(versions, std::move(known));
}

}  // namespace quintrel
