#include <QApplication>
#include <QIcon>
#include <QSettings>

#include "ui/file_launcher.h"
#include "ui/measure_dlg.h"
#include "ui/qt_translations.h"
#include "ui/settings_store.h"
#include "ui/user_interaction.h"

namespace {

// The program's icon: 16, 32 and 64 pixel images compiled into the program. Every window
// takes it from the application.
QIcon AppIcon() {
  QIcon icon;
  for (int side : {16, 32, 64}) {
    icon.addFile(QStringLiteral(":/icons/quintrel-%1.png").arg(side), QSize(side, side));
  }
  return icon;
}

}  // namespace

// The application: sets up the settings store, runs the main dialog and ends with it.
int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Vantle"));
  QApplication::setWindowIcon(AppIcon());
  quintrel::InstallQtTranslations(application);
  const std::unique_ptr<QSettings> settings = quintrel::OpenUserSettings();
  quintrel::QtUserInteraction interaction;
  const std::unique_ptr<quintrel::FileLauncher> launcher = quintrel::MakeSystemFileLauncher();
  quintrel::CMeasureDlg dialog(*settings, interaction, *launcher);
  dialog.OnInitDialog();
  dialog.exec();
  return 0;
}
