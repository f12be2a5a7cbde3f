#include <algorithm>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMessageBox>

#include "ui/qt_translations.h"
#include "ui/user_interaction.h"

namespace quintrel {
namespace {

// Qt's own dialogs speak Japanese like the window around them, and message boxes carry the
// program's name as their title.
TEST(QtTextsTest, QtDialogsAreJapaneseAndMessagesAreTitledWithTheProgramsName) {
  const QString before = QCoreApplication::translate("QFileDialog", "Save As");
  ASSERT_EQ(before, QStringLiteral("Save As"));
  ASSERT_TRUE(InstallQtTranslations(*QCoreApplication::instance()));
  const QString after = QCoreApplication::translate("QFileDialog", "Save As");
  EXPECT_NE(after, before);
  EXPECT_TRUE(std::any_of(after.begin(), after.end(), [](QChar c) {
    return c.unicode() >= 0x3000;
  })) << after.toStdString();

  const std::unique_ptr<QMessageBox> box =
      MakeMessageBox(nullptr, MessageIcon::kWarning, QStringLiteral("中断されました"));
  EXPECT_EQ(box->windowTitle(), QStringLiteral("Quintrel"));
  EXPECT_EQ(box->icon(), QMessageBox::Warning);
  EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
}

}  // namespace
}  // namespace quintrel
