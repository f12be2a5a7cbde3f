#include "ui/measure_app.h"

#include <QApplication>
#include <QSettings>

#include "ui/app_icon.h"
#include "ui/file_launcher.h"
#include "ui/measure_dlg.h"
#include "ui/settings_store.h"
#include "ui/user_interaction.h"

namespace quintrel {

int CMeasureApp::InitInstance() {
  QCoreApplication::setOrganizationName(QStringLiteral("Vantle"));
  QApplication::setWindowIcon(AppIcon());
  const std::unique_ptr<QSettings> settings = OpenUserSettings();
  QtUserInteraction interaction;
  const std::unique_ptr<FileLauncher> launcher = MakeSystemFileLauncher();
  CMeasureDlg dialog(*settings, interaction, *launcher);
  dialog.OnInitDialog();
  dialog.exec();
  return 0;
}

}  // namespace quintrel
