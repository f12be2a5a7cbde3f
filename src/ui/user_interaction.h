#pragma once

#include <memory>
#include <optional>

#include <QString>

class QMessageBox;
class QWidget;

namespace quintrel {

enum class MessageIcon { kWarning, kCritical };

enum class ReportFormat { kCsv, kJson };

// The save dialog's answer: the path, and whether its type box was left on JSON.
struct ReportChoice {
  QString path;
  bool jsonTypeChosen = false;
};

// JSON when the type box says so or the name ends in ".json" (any letter case); CSV
// otherwise, as before there was a choice.
ReportFormat ChosenReportFormat(const ReportChoice& choice);

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

  // The save dialog of the report, CSV or JSON (overwrite prompt, the chosen type's
  // extension added to a bare name), opened in `folder` when one is given; std::nullopt
  // when cancelled.
  virtual std::optional<ReportChoice> ChooseReportPath(QWidget* parent, const QString& folder) = 0;
};

// The message box ShowMessage shows: titled with the program's name.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, MessageIcon icon, const QString& text);

// The real dialogs.
class QtUserInteraction : public UserInteraction {
 public:
  void ShowMessage(QWidget* parent, MessageIcon icon, const QString& text) override;
  std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                      const QString& start) override;
  std::optional<ReportChoice> ChooseReportPath(QWidget* parent, const QString& folder) override;
};

}  // namespace quintrel
