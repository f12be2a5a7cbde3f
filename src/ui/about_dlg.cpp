#include "ui/about_dlg.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "ui/dialog_units.h"
#include "ui/ui_texts.h"

namespace quintrel {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(kAboutCaption.toString());
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFont(DialogFont());
  const DialogBaseUnits units = ComputeBaseUnits(QFontMetrics(font()));
  setFixedSize(DialogSize(units, 163, 37));

  auto* icon = new QLabel(this);
  icon->setPixmap(windowIcon().pixmap(32, 32));  // the application's icon
  icon->setGeometry(DialogRect(units, 7, 7, 22, 22));
  icon->setAlignment(Qt::AlignCenter);

  auto* name =
      new QLabel(QStringLiteral("Quintrel Version %1").arg(QLatin1String(QUINTREL_VERSION)), this);
  name->setGeometry(DialogRect(units, 36, 8, 84, 9));
  auto* description = new QLabel(kAboutDescription.toString(), this);
  description->setGeometry(DialogRect(units, 36, 21, 84, 9));

  auto* ok = new QPushButton(kOkButton.toString(), this);
  ok->setGeometry(DialogRect(units, 124, 7, 32, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace quintrel
