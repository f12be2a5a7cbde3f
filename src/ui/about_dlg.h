#pragma once

#include <QDialog>

namespace quintrel {

// The about box: the program's icon, name and version.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace quintrel
