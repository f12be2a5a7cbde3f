#include "ui/history_combo.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QVBoxLayout>

namespace quintrel {
namespace {

QStringList Items(const CHistoryCombo& box) {
  QStringList items;
  for (int i = 0; i < box.count(); ++i) items.append(box.itemText(i));
  return items;
}

void Commit(CHistoryCombo& box, const QString& text) {
  box.SetText(text);
  box.CommitText();
}

TEST(HistoryComboTest, CommitPutsTheTextOnTop) {
  CHistoryCombo box;
  Commit(box, QStringLiteral("/a"));
  Commit(box, QStringLiteral("/b"));
  EXPECT_EQ(Items(box), QStringList({QStringLiteral("/b"), QStringLiteral("/a")}));
  EXPECT_EQ(box.GetText(), QStringLiteral("/b"));

  // An empty text is never committed.
  Commit(box, QString());
  EXPECT_EQ(box.count(), 2);
}

TEST(HistoryComboTest, CommitReplacesAnEntryDifferingOnlyInCase) {
  CHistoryCombo box;
  box.LoadHistoryString(QStringLiteral("|A|B|C|C:\\Work|D"));
  Commit(box, QStringLiteral("c:\\work"));
  EXPECT_EQ(Items(box),
            QStringList({QStringLiteral("c:\\work"), QStringLiteral("A"), QStringLiteral("B"),
                         QStringLiteral("C"), QStringLiteral("D")}));
  EXPECT_EQ(box.GetText(), QStringLiteral("c:\\work"));
}

TEST(HistoryComboTest, HistoryIsTrimmedToTenOnCommit) {
  CHistoryCombo box;
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
  const QString stored[] = {QStringLiteral("/b|/b|/a"),
                            QStringLiteral("|/a"),
                            QStringLiteral("a||b"),
                            QStringLiteral("/typed"),
                            QString(),
                            QStringLiteral("/ポ|/フォルダ")};
  for (const QString& history : stored) {
    CHistoryCombo box;
    box.LoadHistoryString(history);
    EXPECT_EQ(box.GetHistoryString(), history) << history.toStdString();
  }
  CHistoryCombo trailing;
  trailing.LoadHistoryString(QStringLiteral("C:\\a|"));
  EXPECT_EQ(trailing.GetText(), QStringLiteral("C:\\a"));
  EXPECT_EQ(trailing.count(), 0);
}

TEST(HistoryComboTest, CompletionShowsTheItemAndSelectsTheRest) {
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
}

TEST(HistoryComboTest, TextWithoutMatchStaysAsTyped) {
  CHistoryCombo box;
  box.LoadHistoryString(QStringLiteral("|/data"));
  QLineEdit* edit = box.lineEdit();
  QTest::keyClicks(edit, QStringLiteral("/tmp"));
  EXPECT_EQ(edit->text(), QStringLiteral("/tmp"));
  EXPECT_FALSE(edit->hasSelectedText());
  EXPECT_EQ(edit->cursorPosition(), 4);
  EXPECT_EQ(box.count(), 1);  // typing commits nothing
}

TEST(HistoryComboTest, EnterDoesNotAddToTheHistory) {
  CHistoryCombo box;
  QTest::keyClicks(box.lineEdit(), QStringLiteral("/typed"));
  QTest::keyClick(box.lineEdit(), Qt::Key_Return);
  EXPECT_EQ(box.count(), 0);
  EXPECT_EQ(box.GetText(), QStringLiteral("/typed"));
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
  EXPECT_EQ(Items(*box), QStringList({QStringLiteral("/one")}));

  box->SetText(QStringLiteral("/two"));
  box->showPopup();
  EXPECT_EQ(box->itemText(0), QStringLiteral("/two"));
  box->hidePopup();
}

}  // namespace
}  // namespace quintrel
