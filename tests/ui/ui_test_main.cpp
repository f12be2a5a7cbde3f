#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  // Windows are created without a display; the test's environment normally says so too.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
