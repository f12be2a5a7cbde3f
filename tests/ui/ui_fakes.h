#pragma once

#include <initializer_list>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

#include <QSize>
#include <QStringList>

#include "ui/file_launcher.h"
#include "ui/result_table_model.h"
#include "ui/user_interaction.h"

// Readable failure output for the texts the window tests compare.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QSize& size, std::ostream* out) {
  *out << size.width() << 'x' << size.height();
}

namespace quintrel::testing {

// Expected texts written as UTF-8 literals.
inline QStringList Texts(std::initializer_list<const char*> texts) {
  QStringList list;
  for (const char* text : texts) list.append(QString::fromUtf8(text));
  return list;
}

// What one column of the list shows, top to bottom.
inline QStringList ColumnTexts(const ResultTableModel& rows, int column) {
  QStringList texts;
  for (int row = 0; row < rows.rowCount(); ++row) {
    texts.append(rows.data(rows.index(row, column), Qt::DisplayRole).toString());
  }
  return texts;
}

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
  std::optional<ReportChoice> ChooseReportPath(QWidget*, const QString& folder) override {
    reportFolders.push_back(folder);
    if (!reportPath) return std::nullopt;
    return ReportChoice{*reportPath, jsonTypeChosen};
  }

  std::vector<std::pair<MessageIcon, QString>> messages;
  std::vector<std::pair<QString, QString>> folderRequests;
  std::optional<QString> folderAnswer;
  std::optional<QString> reportPath;
  bool jsonTypeChosen = false;
  std::vector<QString> reportFolders;  // where each save dialog was asked to open
};

class FakeLauncher : public FileLauncher {
 public:
  bool Open(const std::string& path) override {
    opened.push_back(ShownPath(path));
    openedPaths.push_back(path);
    return succeeds;
  }

  std::vector<QString> opened;           // as text
  std::vector<std::string> openedPaths;  // as the file system spells them
  bool succeeds = true;
};

}  // namespace quintrel::testing
