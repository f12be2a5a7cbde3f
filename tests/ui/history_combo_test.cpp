#include "ui/history_combo.h"

#include <gtest/gtest.h>

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
}

TEST(HistoryComboTest, HistoryStringRoundTrip) {
  for (const char* history : {"/b|/b|/a", "|/a", "a||b", "/typed", "", "/ポ|/フォルダ"}) {
    CHistoryCombo box;
    box.LoadHistoryString(QString::fromUtf8(history));
    EXPECT_EQ(box.GetHistoryString(), QString::fromUtf8(history)) << history;
  }
  CHistoryCombo trailing;
  trailing.LoadHistoryString(QStringLiteral("C:\\a|"));
  EXPECT_EQ(trailing.GetText(), QStringLiteral("C:\\a"));
  EXPECT_EQ(trailing.count(), 0);
}

TEST(HistoryComboTest, TypingCompletesFromTheHistoryAndCommitsNothing) {
  CHistoryCombo box;
  box.LoadHistoryString(QStringLiteral("|/data|C:\\Work"));
  QLineEdit* edit = box.lineEdit();
  QTest::keyClicks(edit, QStringLiteral("c:\\w"));
  EXPECT_EQ(edit->text(), QStringLiteral("C:\\Work"));
  EXPECT_EQ(edit->selectedText(), QStringLiteral("ork"));
  // Backspace removes only the completed part and does not complete again.
  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_EQ(edit->text(), QStringLiteral("C:\\W"));
  EXPECT_FALSE(edit->hasSelectedText());
  // The next typed character completes again.
  QTest::keyClicks(edit, QStringLiteral("o"));
  EXPECT_EQ(edit->text(), QStringLiteral("C:\\Work"));
  EXPECT_EQ(edit->selectedText(), QStringLiteral("rk"));

  // Text without a match stays as typed, and Enter does not add it to the history.
  edit->clear();
  QTest::keyClicks(edit, QStringLiteral("/tmp"));
  EXPECT_EQ(edit->text(), QStringLiteral("/tmp"));
  EXPECT_FALSE(edit->hasSelectedText());
  EXPECT_EQ(edit->cursorPosition(), 4);
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(Items(box), Texts({"/data", "C:\\Work"}));
  EXPECT_EQ(box.GetText(), QStringLiteral("/tmp"));
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

TEST(HistoryComboTest, CommitsWhenFocusLeavesAndWhenTheListOpens) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* box = new CHistoryCombo(&window);
  auto* other = new QLineEdit(&window);
  layout->addWidget(box);
  layout->addWidget(other);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  box->setFocus();
  QTest::keyClicks(box->lineEdit(), QStringLiteral("/one"));
  other->setFocus();
  EXPECT_EQ(Items(*box), Texts({"/one"}));

  box->SetText(QStringLiteral("/two"));
  box->showPopup();
  EXPECT_EQ(box->itemText(0), QStringLiteral("/two"));
  box->hidePopup();
}

}  // namespace
}  // namespace quintrel
