#include "ui/progress_dlg.h"

#include <QProgressBar>
#include <QPushButton>

#include "ui/dialog_units.h"
#include "ui/ui_texts.h"

namespace quintrel {

CProgressDlg::CProgressDlg(QWidget* owner) : QDialog(owner) {
  setWindowTitle(kProgressCaption.toString());
  setWindowModality(Qt::WindowModal);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFont(DialogFont());
  const DialogBaseUnits units = ComputeBaseUnits(QFontMetrics(font()));
  setFixedSize(DialogSize(units, 151, 39));

  m_progress = new QProgressBar(this);
  m_progress->setRange(0, 100);
  m_progress->setValue(0);
  m_progress->setTextVisible(false);
  m_progress->setGeometry(DialogRect(units, 4, 6, 142, 10));

  m_cancelButton = new QPushButton(kCancelButton.toString(), this);
  m_cancelButton->setGeometry(DialogRect(units, 59, 21, 36, 14));
  m_cancelButton->setAutoDefault(false);
  connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void CProgressDlg::SetPosition(int position) {
  m_progress->setValue(position);
}

}  // namespace quintrel
