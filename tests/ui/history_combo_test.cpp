#include "ui/history_combo.h"

#include <gtest/gtest.h>

#include <utility>

#include <QApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QVBoxLayout>

#include "ui_fakes.h"

namespace quintrel {
namespace {

using testing::Texts;

QStringList Items(const CHistoryCombo& box) {
  QStringList items;
  for (int i = 0; i < box.count(); ++i) items.append(box.itemText(i));
  return items;
}

void Commit(CHistoryCombo& box, const QString& text) {
  box.SetText(text);
  box.CommitText();
}

TEST(HistoryComboTest, CommitPutsTheTextOnTopOnceAndKeepsTen) {
  CHistoryCombo box;
  box.LoadHistoryString(QStringLiteral("|A|B|C|C:\\Work|D"));
  // An entry differing only in case is replaced; an empty text is never committed.
  Commit(box, QString());
  Commit(box, QStringLiteral("c:\\work"));
  EXPECT_EQ(Items(box), Texts({"c:\\work", "A", "B", "C", "D"}));
  EXPECT_EQ(box.GetText(), QStringLiteral("c:\\work"));

  for (int i = 0; i < 11; ++i) Commit(box, QStringLiteral("/f%1").arg(i));
  ASSERT_EQ(box.count(), 10);
  EXPECT_EQ(box.itemText(0), QStringLiteral("/f10"));
  EXPECT_EQ(box.itemText(9), QStringLiteral("/f1"));

  // A stored history of twelve shows all twelve until the next commit.
  CHistoryCombo loaded;
  QString stored = QStringLiteral("/x");
  for (int i = 0; i < 12; ++i) stored += QStringLiteral("|/h%1").arg(i);
  loaded.LoadHistoryString(stored);
  EXPECT_EQ(loaded.count(), 12);
  EXPECT_EQ(loaded.GetText(), QStringLiteral("/x"));
  loaded.CommitText();
  EXPECT_EQ(loaded.count(), 10);
  EXPECT_EQ(loaded.itemText(0), QStringLiteral("/x"));
  EXPECT_EQ(loaded.itemText(9), QStringLiteral("/h8"));

  // Empty items and a trailing separator through the box as through the stored form.
  CHistoryCombo empties;
  empties.LoadHistoryString(QStringLiteral("a||b|"));
  EXPECT_EQ(empties.GetHistoryString(), QStringLiteral("a||b"));
}

// A box and a second control in a shown, active window: keys sent to the focused widget
// take the way the user's keys take.
class ShownBox {
 public:
  explicit ShownBox(const QString& history) {
    auto* layout = new QVBoxLayout(&m_window);
    box = new CHistoryCombo(&m_window);
    other = new QLineEdit(&m_window);
    layout->addWidget(box);
    layout->addWidget(other);
    box->LoadHistoryString(history);
    m_window.show();
    m_window.activateWindow();
  }

  // Focuses the box; the focused widget, or null when the window never became active.
  QWidget* FocusBox() {
    if (!QTest::qWaitForWindowActive(&m_window)) return nullptr;
    box->setFocus();
    return QApplication::focusWidget();
  }

  CHistoryCombo* box = nullptr;
  QLineEdit* other = nullptr;

 private:
  QWidget m_window;
};

TEST(HistoryComboTest, TypingCompletesAndDeletingNeverCompletesAgain) {
  ShownBox shown(QStringLiteral("|/data|C:\\Work"));
  QWidget* focus = shown.FocusBox();
  ASSERT_NE(focus, nullptr);
  QLineEdit* edit = shown.box->lineEdit();
  QTest::keyClicks(focus, QStringLiteral("c:\\w"));
  EXPECT_EQ(edit->text(), QStringLiteral("C:\\Work"));
  EXPECT_EQ(edit->selectedText(), QStringLiteral("ork"));
  // Backspace removes only the completed part and does not complete again.
  QTest::keyClick(focus, Qt::Key_Backspace);
  EXPECT_EQ(edit->text(), QStringLiteral("C:\\W"));
  EXPECT_FALSE(edit->hasSelectedText());
  // The next typed character completes again; Delete and both cut keys remove the
  // completion the same way.
  QTest::keyClicks(focus, QStringLiteral("o"));
  EXPECT_EQ(edit->text(), QStringLiteral("C:\\Work"));
  EXPECT_EQ(edit->selectedText(), QStringLiteral("rk"));
  for (const auto& [key, modifiers] :
       {std::pair(Qt::Key_Delete, Qt::NoModifier), std::pair(Qt::Key_X, Qt::ControlModifier),
        std::pair(Qt::Key_Delete, Qt::ShiftModifier)}) {
    SCOPED_TRACE(QKeySequence(key | modifiers).toString().toStdString());
    edit->setText(QStringLiteral("C:\\Wo"));
    QTest::keyClicks(focus, QStringLiteral("r"));
    ASSERT_EQ(edit->selectedText(), QStringLiteral("k"));
    QTest::keyClick(focus, key, modifiers);
    EXPECT_EQ(edit->text(), QStringLiteral("C:\\Wor"));
    EXPECT_FALSE(edit->hasSelectedText());
  }

  // Text without a match stays as typed, and Enter does not add it to the history.
  edit->clear();
  QTest::keyClicks(focus, QStringLiteral("/tmp"));
  EXPECT_EQ(edit->text(), QStringLiteral("/tmp"));
  EXPECT_FALSE(edit->hasSelectedText());
  EXPECT_EQ(edit->cursorPosition(), 4);
  QTest::keyClick(focus, Qt::Key_Return);
  EXPECT_EQ(Items(*shown.box), Texts({"/data", "C:\\Work"}));
  EXPECT_EQ(shown.box->GetText(), QStringLiteral("/tmp"));
}

TEST(HistoryComboTest, AFolderThatBeginsAnItemCanBeTypedAndLeavingOrOpeningCommits) {
  ShownBox shown(QStringLiteral("|/src/proj-old"));
  QWidget* focus = shown.FocusBox();
  ASSERT_NE(focus, nullptr);
  QTest::keyClicks(focus, QStringLiteral("/src/proj"));
  EXPECT_EQ(shown.box->GetText(), QStringLiteral("/src/proj-old"));
  QTest::keyClick(focus, Qt::Key_Backspace);
  EXPECT_EQ(shown.box->GetText(), QStringLiteral("/src/proj"));
  // Leaving the box commits the typed folder, not the history item.
  QTest::keyClick(focus, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), shown.other);
  EXPECT_EQ(Items(*shown.box), Texts({"/src/proj", "/src/proj-old"}));
  // Opening the list commits too.
  shown.box->SetText(QStringLiteral("/two"));
  shown.box->showPopup();
  EXPECT_EQ(shown.box->itemText(0), QStringLiteral("/two"));
  shown.box->hidePopup();
}

bool Drop(CHistoryCombo& box, const QList<QUrl>& urls) {
  QMimeData mime;
  mime.setUrls(urls);
  return box.TakeDrop(&mime);
}

TEST(HistoryComboTest, TakesThePathOfExactlyOneDroppedItem) {
  CHistoryCombo box;
  box.SetText(QStringLiteral("/before"));
  EXPECT_FALSE(Drop(box, {QUrl::fromLocalFile(QStringLiteral("/src/a.c")),
                          QUrl::fromLocalFile(QStringLiteral("/src/b.c"))}));
  EXPECT_EQ(box.GetText(), QStringLiteral("/before"));
  EXPECT_FALSE(Drop(box, {QUrl(QStringLiteral("https://example.invalid/x"))}));
  EXPECT_EQ(box.GetText(), QStringLiteral("/before"));
  EXPECT_TRUE(Drop(box, {QUrl::fromLocalFile(QStringLiteral("/src/a.c"))}));
  EXPECT_EQ(box.GetText(), QStringLiteral("/src/a.c"));
  EXPECT_EQ(box.count(), 0);  // the next commit takes it in
}

}  // namespace
}  // namespace quintrel
