#pragma once

#include <QDialog>

class QProgressBar;
class QPushButton;

namespace quintrel::testing {
class CProgressDlgProbe;
}

namespace quintrel {

// The progress window of a measurement run: a bar from 0 to 100 and a cancel button. The
// cancel button, Escape and the close box all reject the dialog; the run watches for that.
class CProgressDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CProgressDlg(QWidget* owner);

  void SetPosition(int position);

 private:
  // The window tests press the cancel button through it (tests/ui/window_probes.h).
  friend class testing::CProgressDlgProbe;

  QProgressBar* m_progress = nullptr;
  QPushButton* m_cancelButton = nullptr;
};

}  // namespace quintrel
