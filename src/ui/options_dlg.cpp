#include "ui/options_dlg.h"

#include <algorithm>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "compare/run/option_texts.h"
#include "ui/dialog_units.h"
#include "ui/ui_texts.h"
#include "ui/user_interaction.h"

namespace quintrel {

namespace {

constexpr int kTemplateWidth = 186;
constexpr int kTemplateHeight = 80;

QLabel* MakeLabel(QStringView caption, const QRect& rect, QWidget* parent) {
  auto* label = new QLabel(caption.toString(), parent);
  label->setGeometry(rect);
  return label;
}

QLineEdit* MakeEdit(const QString& text, const QRect& rect, QWidget* parent) {
  auto* edit = new QLineEdit(text, parent);
  edit->setGeometry(rect);
  return edit;
}

}  // namespace

COptionsDlg::COptionsDlg(const MeasureOptions& options, UserInteraction& interaction,
                         QWidget* parent)
    : QDialog(parent), m_interaction(interaction) {
  setWindowTitle(kOptionsCaption.toString());
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFont(DialogFont());
  CreateControls(options);
}

void COptionsDlg::CreateControls(const MeasureOptions& options) {
  const DialogBaseUnits units = ComputeBaseUnits(QFontMetrics(font()));
  const auto du = [&units](int x, int y, int w, int h) { return DialogRect(units, x, y, w, h); };
  MakeLabel(kExtensionsLabel, du(7, 9, 40, 8), this);
  m_extensionsEdit = MakeEdit(options.extensions, du(50, 7, 129, 12), this);
  MakeLabel(kExcludeDirsLabel, du(7, 25, 40, 8), this);
  m_excludeDirsEdit = MakeEdit(options.excludeDirs, du(50, 23, 129, 12), this);

  // The percent box stands right of the check box's whole caption; the dialog widens for it
  // where the caption is long.
  m_renamesBox = new QCheckBox(kRenamesCheck.toString(), this);
  const QRect check = du(7, 41, 0, 10);
  m_renamesBox->setGeometry(check.adjusted(0, 0, m_renamesBox->sizeHint().width(), 0));
  m_percentBox = new QSpinBox(this);
  m_percentBox->setRange(1, 100);
  const int percentX =
      std::max(du(50, 0, 0, 0).x(), m_renamesBox->geometry().right() + 1 + du(4, 0, 0, 0).x());
  const QRect percent = du(0, 39, 32, 12);
  m_percentBox->setGeometry(percent.translated(percentX, 0));
  QLabel* unit = MakeLabel(kPercentUnit, du(0, 41, 8, 8), this);
  unit->move(m_percentBox->geometry().right() + 1 + du(2, 0, 0, 0).x(), unit->y());
  const bool renames = options.renamePercent > 0;
  m_renamesBox->setChecked(renames);
  m_percentBox->setValue(renames ? options.renamePercent : kDefaultRenamePercent);
  m_percentBox->setEnabled(renames);
  connect(m_renamesBox, &QCheckBox::toggled, m_percentBox, &QWidget::setEnabled);

  auto* ok = new QPushButton(kOkButton.toString(), this);
  ok->setGeometry(du(75, 60, 50, 14));
  ok->setDefault(true);
  auto* cancel = new QPushButton(kCancelButton.toString(), this);
  cancel->setGeometry(du(129, 60, 50, 14));
  connect(ok, &QPushButton::clicked, this, &COptionsDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &COptionsDlg::reject);

  QSize size = DialogSize(units, kTemplateWidth, kTemplateHeight);
  size.setWidth(std::max(size.width(), unit->geometry().right() + 1 + du(7, 0, 0, 0).x()));
  setFixedSize(size);
}

MeasureOptions COptionsDlg::Options() const {
  m_percentBox->interpretText();
  MeasureOptions options;
  options.extensions = m_extensionsEdit->text();
  options.excludeDirs = m_excludeDirsEdit->text();
  options.renamePercent = m_renamesBox->isChecked() ? m_percentBox->value() : 0;
  return options;
}

void COptionsDlg::accept() {
  const OptionsProblem problem = CheckMeasureOptions(Options());
  if (problem.ok()) {
    QDialog::accept();
    return;
  }
  m_interaction.ShowMessage(this, MessageIcon::kWarning, problem.message);
  QLineEdit* refused =
      problem.field == OptionsProblem::Field::kExtensions ? m_extensionsEdit : m_excludeDirsEdit;
  refused->setFocus();
  refused->selectAll();
}

}  // namespace quintrel
