#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "ui/file_launcher.h"
#include "ui/user_interaction.h"

namespace quintrel::testing {

// Answers the dialogs from prepared values and records what was asked.
class FakeInteraction : public UserInteraction {
 public:
  void ShowMessage(QWidget*, MessageIcon icon, const QString& text) override {
    messages.emplace_back(icon, text);
  }
  std::optional<QString> ChooseFolder(QWidget*, const QString& title,
                                      const QString& start) override {
    folderRequests.emplace_back(title, start);
    return folderAnswer;
  }
  std::optional<QString> ChooseReportPath(QWidget*) override { return reportPath; }

  std::vector<std::pair<MessageIcon, QString>> messages;
  std::vector<std::pair<QString, QString>> folderRequests;
  std::optional<QString> folderAnswer;
  std::optional<QString> reportPath;
};

class FakeLauncher : public FileLauncher {
 public:
  bool Open(const QString& path) override {
    opened.push_back(path);
    return succeeds;
  }

  std::vector<QString> opened;
  bool succeeds = true;
};

}  // namespace quintrel::testing
