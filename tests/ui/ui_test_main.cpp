// The main of the window tests. Qt fixes the configuration folder the first time it looks, so
// XDG_CONFIG_HOME points at a temporary folder before the application object exists: the
// settings tests read and write the user's settings file there, and no test ever touches the
// settings of the user who runs them.
#include "ui_test_main.h"

#include <gtest/gtest.h>

#include <QApplication>

namespace quintrel::testing {
namespace {

const ScopedTempDir* g_configHome = nullptr;

}  // namespace

const ScopedTempDir& ConfigHome() {
  return *g_configHome;
}

}  // namespace quintrel::testing

int main(int argc, char** argv) {
  const quintrel::testing::ScopedTempDir configHome;
  quintrel::testing::g_configHome = &configHome;
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(configHome.str()));
  // Windows are created without a display; the test's environment normally says so too.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int result = 0;
  {
    QApplication application(argc, argv);
    // The program's name is its executable's; the tests stand in for "quintrel".
    QCoreApplication::setApplicationName(QStringLiteral("quintrel"));
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  return result;
}
