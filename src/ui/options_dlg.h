#pragma once

#include <QDialog>

#include "ui/measure_options.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace quintrel::testing {
class COptionsDlgProbe;
}

namespace quintrel {

class UserInteraction;

// The modal dialog of the options the window's runs take beyond its check boxes: the
// extensions, the excluded folders and the rename search. OK keeps what the controls hold
// once the lists pass the command line's rules; a refused list is named in a message and
// the dialog stays open on it.
class COptionsDlg : public QDialog {
  Q_OBJECT

 public:
  // `interaction` shows the refusals; it is not owned and must outlive the dialog.
  COptionsDlg(const MeasureOptions& options, UserInteraction& interaction,
              QWidget* parent = nullptr);

  // What the controls hold: after OK, the options to keep.
  MeasureOptions Options() const;

  void accept() override;

 private:
  friend class testing::COptionsDlgProbe;

  void CreateControls(const MeasureOptions& options);

  UserInteraction& m_interaction;
  QLineEdit* m_extensionsEdit = nullptr;
  QLineEdit* m_excludeDirsEdit = nullptr;
  QCheckBox* m_renamesBox = nullptr;
  QSpinBox* m_percentBox = nullptr;  // enabled while the rename search is on
};

}  // namespace quintrel
