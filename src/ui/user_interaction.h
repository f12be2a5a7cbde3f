#pragma once

#include <memory>
#include <optional>

#include <QString>

class QMessageBox;
class QWidget;

namespace quintrel {

enum class MessageIcon { kWarning, kCritical };

// The modal dialogs the main window asks the user through. An interface so that tests can
// answer them without a modal loop.
class UserInteraction {
 public:
  virtual ~UserInteraction() = default;

  // A message box with an OK button and the application's name as caption.
  virtual void ShowMessage(QWidget* parent, MessageIcon icon, const QString& text) = 0;

  // A folder picker opened on `start`; std::nullopt when cancelled.
  virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                              const QString& start) = 0;

  // The save dialog of the CSV report (overwrite prompt, ".csv" added to a bare name);
  // std::nullopt when cancelled.
  virtual std::optional<QString> ChooseReportPath(QWidget* parent) = 0;
};

// The message box ShowMessage shows: titled with the program's name.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, MessageIcon icon, const QString& text);

// The real dialogs.
class QtUserInteraction : public UserInteraction {
 public:
  void ShowMessage(QWidget* parent, MessageIcon icon, const QString& text) override;
  std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                      const QString& start) override;
  std::optional<QString> ChooseReportPath(QWidget* parent) override;
};

}  // namespace quintrel
