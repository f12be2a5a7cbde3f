#include "ui/options_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "ui_fakes.h"
#include "window_probes.h"

namespace quintrel {
namespace {

using testing::COptionsDlgProbe;

// The dialog shown and active, as exec() leaves it for the user.
class OptionsDlgTest : public ::testing::Test {
 protected:
  void Open(const MeasureOptions& options) {
    m_dlg = std::make_unique<COptionsDlg>(options, m_interaction);
    m_dlg->show();
    m_dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dlg.get()));
  }

  // Types into the focused control, as a user would.
  static void Type(const char* utf8) {
    QTest::keyClicks(QApplication::focusWidget(), QString::fromUtf8(utf8));
  }
  static void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  }

  QLineEdit* Extensions() const { return COptionsDlgProbe::ExtensionsEdit(*m_dlg); }
  QLineEdit* ExcludeDirs() const { return COptionsDlgProbe::ExcludeDirsEdit(*m_dlg); }
  QCheckBox* Renames() const { return COptionsDlgProbe::RenamesBox(*m_dlg); }
  QSpinBox* Percent() const { return COptionsDlgProbe::PercentBox(*m_dlg); }

  testing::FakeInteraction m_interaction;
  std::unique_ptr<COptionsDlg> m_dlg;
};

TEST_F(OptionsDlgTest, ShowsTheOptionsItIsGivenWithTheirCaptions) {
  Open(MeasureOptions{});
  EXPECT_EQ(m_dlg->windowTitle(), QStringLiteral("ｵﾌﾟｼｮﾝ"));
  QStringList captions;
  for (const QLabel* label : m_dlg->findChildren<QLabel*>()) captions.append(label->text());
  EXPECT_TRUE(captions.contains(QStringLiteral("拡張子")));
  EXPECT_TRUE(captions.contains(QStringLiteral("除外ﾌｫﾙﾀﾞ")));
  EXPECT_EQ(Renames()->text(), QStringLiteral("改名・移動を追跡"));
  EXPECT_EQ(Extensions()->text(), QStringLiteral("c,h,cpp"));
  EXPECT_EQ(ExcludeDirs()->text(), QString());
  // Off, with the command line's default percent ready, not to be edited while off.
  EXPECT_FALSE(Renames()->isChecked());
  EXPECT_EQ(Percent()->value(), 50);
  EXPECT_FALSE(Percent()->isEnabled());
  EXPECT_EQ(Percent()->minimum(), 1);
  EXPECT_EQ(Percent()->maximum(), 100);
  EXPECT_EQ(m_dlg->Options(), MeasureOptions{});
  // Every control inside the dialog, none over another.
  const QList<QWidget*> controls = m_dlg->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QWidget* control : controls) {
    EXPECT_TRUE(m_dlg->rect().contains(control->geometry())) << control->metaObject()->className();
    for (QWidget* other : controls) {
      if (other != control) {
        EXPECT_FALSE(control->geometry().intersects(other->geometry()));
      }
    }
  }

  m_dlg.reset();
  Open(MeasureOptions{QStringLiteral("cc"), QStringLiteral("build,out"), 70});
  EXPECT_EQ(Extensions()->text(), QStringLiteral("cc"));
  EXPECT_EQ(ExcludeDirs()->text(), QStringLiteral("build,out"));
  EXPECT_TRUE(Renames()->isChecked());
  EXPECT_TRUE(Percent()->isEnabled());
  EXPECT_EQ(Percent()->value(), 70);
}

// Tab walks the fields in order; Space turns the rename search on, which lets the percent be
// typed; Enter is OK and keeps everything as typed.
TEST_F(OptionsDlgTest, KeysFillEveryFieldAndEnterKeepsThem) {
  Open(MeasureOptions{});
  ASSERT_EQ(QApplication::focusWidget(), Extensions());
  Key(Qt::Key_End);
  Type(",cc,hpp");
  Key(Qt::Key_Tab);
  Type("build,third_party");
  Key(Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), Renames());
  Key(Qt::Key_Space);
  EXPECT_TRUE(Percent()->isEnabled());
  Key(Qt::Key_Tab);
  Key(Qt::Key_A, Qt::ControlModifier);
  Type("75");
  Key(Qt::Key_Return);
  EXPECT_EQ(m_dlg->result(), QDialog::Accepted);
  EXPECT_FALSE(m_dlg->isVisible());
  EXPECT_TRUE(m_interaction.messages.empty());
  EXPECT_EQ(m_dlg->Options(), (MeasureOptions{QStringLiteral("c,h,cpp,cc,hpp"),
                                              QStringLiteral("build,third_party"), 75}));
}

// A check box turned off drops the percent: the search is off, whatever the box showed.
TEST_F(OptionsDlgTest, RenamesTurnedOffStoreNoPercent) {
  Open(MeasureOptions{QStringLiteral("c"), QString(), 30});
  Renames()->setFocus();
  Key(Qt::Key_Space);
  EXPECT_FALSE(Percent()->isEnabled());
  Key(Qt::Key_Return);
  EXPECT_EQ(m_dlg->result(), QDialog::Accepted);
  EXPECT_EQ(m_dlg->Options().renamePercent, 0);
}

// OK on a list the command line would refuse says which and why, and keeps the dialog open
// on that field with its text selected for retyping.
TEST_F(OptionsDlgTest, RefusedListIsNamedAndTheDialogStaysOnIt) {
  struct Case {
    const char* extensions;
    const char* excluded;
    const char* message;
    bool extensionsRefused;
  };
  for (const Case& c : {
           Case{".c,h", "", "拡張子 needs extensions without dots, separated by commas: c,h,cpp",
                true},
           Case{"", "build", "拡張子 needs extensions without dots, separated by commas: c,h,cpp",
                true},
           Case{"c,,h", "b", "拡張子 needs extensions without dots, separated by commas: c,h,cpp",
                true},
           Case{"c,h", "build,src/gen",
                "除外ﾌｫﾙﾀﾞ needs folder names without '/', separated by commas: "
                "build,third_party",
                false},
           Case{"c", "build,", nullptr, false},
       }) {
    SCOPED_TRACE(std::string(c.extensions) + " | " + c.excluded);
    m_interaction.messages.clear();
    Open(MeasureOptions{});
    Extensions()->setText(QString::fromUtf8(c.extensions));
    ExcludeDirs()->setText(QString::fromUtf8(c.excluded));
    Renames()->setFocus();
    Key(Qt::Key_Return);
    EXPECT_TRUE(m_dlg->isVisible());
    EXPECT_NE(m_dlg->result(), QDialog::Accepted);
    ASSERT_EQ(m_interaction.messages.size(), 1u);
    EXPECT_EQ(m_interaction.messages[0].first, MessageIcon::kWarning);
    if (c.message != nullptr) {
      EXPECT_EQ(m_interaction.messages[0].second, QString::fromUtf8(c.message));
    }
    QLineEdit* refused = c.extensionsRefused ? Extensions() : ExcludeDirs();
    EXPECT_EQ(QApplication::focusWidget(), refused);
    EXPECT_EQ(refused->selectedText(), refused->text());
    // Mended, the same OK keeps it.
    refused->setText(QStringLiteral("ok"));
    Key(Qt::Key_Return);
    EXPECT_EQ(m_dlg->result(), QDialog::Accepted);
    EXPECT_EQ(m_interaction.messages.size(), 1u);
  }
}

// Escape and the cancel button drop what was typed, refused or not, without a word.
TEST_F(OptionsDlgTest, EscapeAndCancelDropEverything) {
  for (const bool escape : {true, false}) {
    SCOPED_TRACE(escape ? "Escape" : "cancel button");
    Open(MeasureOptions{});
    Type("x.y");
    Renames()->setChecked(true);
    if (escape) {
      Key(Qt::Key_Escape);
    } else {
      for (QPushButton* button : m_dlg->findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("ｷｬﾝｾﾙ")) QTest::mouseClick(button, Qt::LeftButton);
      }
    }
    EXPECT_FALSE(m_dlg->isVisible());
    EXPECT_EQ(m_dlg->result(), QDialog::Rejected);
    EXPECT_TRUE(m_interaction.messages.empty());
  }
}

}  // namespace
}  // namespace quintrel
