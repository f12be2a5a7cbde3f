#include "ui/history_string.h"

#include <gtest/gtest.h>

namespace quintrel {
namespace {

QStringList Texts(std::initializer_list<const char16_t*> texts) {
  QStringList list;
  for (const char16_t* text : texts) list.append(QString::fromUtf16(text));
  return list;
}

TEST(HistoryStringTest, SplitsStoredForms) {
  const std::pair<const char16_t*, QStringList> cases[] = {
      {u"", Texts({u""})},
      {u"C:\\b|C:\\b|C:\\a", Texts({u"C:\\b", u"C:\\b", u"C:\\a"})},
      {u"C:\\a|", Texts({u"C:\\a"})},
      {u"|C:\\a", Texts({u"", u"C:\\a"})},
      {u"a||b", Texts({u"a", u"", u"b"})},
      {u"a||", Texts({u"a", u""})},
      {u"|", Texts({u""})},
      {u"/src/ポ|/src/フォルダ", Texts({u"/src/ポ", u"/src/フォルダ"})},
  };
  // Each case: the stored text, then the edit text and the items it splits into.
  for (const auto& [stored, expected] : cases) {
    SCOPED_TRACE(QString::fromUtf16(stored).toStdString());
    const HistoryContent content = SplitHistoryString(QString::fromUtf16(stored));
    EXPECT_EQ(content.editText, expected.front());
    EXPECT_EQ(content.items, expected.mid(1));
  }
}

TEST(HistoryStringTest, JoinsEditTextThenItemsAndSplitsBack) {
  const std::pair<HistoryContent, QString> cases[] = {
      {{QStringLiteral("C:\\b"), Texts({u"C:\\b", u"C:\\a"})}, QStringLiteral("C:\\b|C:\\b|C:\\a")},
      {{QString(), Texts({u"C:\\a"})}, QStringLiteral("|C:\\a")},
      {{QStringLiteral("/新"), Texts({u"/a", u"", u"/b"})}, QStringLiteral("/新|/a||/b")},
      {{QStringLiteral("x"), {}}, QStringLiteral("x")},
  };
  for (const auto& [content, stored] : cases) {
    EXPECT_EQ(JoinHistoryString(content), stored);
    EXPECT_EQ(SplitHistoryString(stored), content) << stored.toStdString();
  }
  EXPECT_EQ(JoinHistoryString({}), QString());
}

}  // namespace
}  // namespace quintrel
