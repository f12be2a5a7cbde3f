#include "ui/history_string.h"

#include <gtest/gtest.h>

namespace quintrel {
namespace {

struct SplitCase {
  const char16_t* stored;
  const char16_t* editText;
  std::vector<const char16_t*> items;
};

TEST(HistoryStringTest, SplitsStoredForms) {
  const SplitCase cases[] = {
      {u"", u"", {}},
      {u"C:\\b|C:\\b|C:\\a", u"C:\\b", {u"C:\\b", u"C:\\a"}},
      {u"C:\\a|", u"C:\\a", {}},
      {u"|C:\\a", u"", {u"C:\\a"}},
      {u"a||b", u"a", {u"", u"b"}},
      {u"a||", u"a", {u""}},
      {u"|", u"", {}},
      {u"/src/ポ|/src/フォルダ", u"/src/ポ", {u"/src/フォルダ"}},
  };
  for (const SplitCase& c : cases) {
    const HistoryContent content = SplitHistoryString(QString::fromUtf16(c.stored));
    EXPECT_EQ(content.editText, QString::fromUtf16(c.editText))
        << QString::fromUtf16(c.stored).toStdString();
    QStringList items;
    for (const char16_t* item : c.items) items.append(QString::fromUtf16(item));
    EXPECT_EQ(content.items, items) << QString::fromUtf16(c.stored).toStdString();
  }
}

TEST(HistoryStringTest, JoinsEditTextThenItems) {
  EXPECT_EQ(JoinHistoryString(
                {QStringLiteral("C:\\b"), {QStringLiteral("C:\\b"), QStringLiteral("C:\\a")}}),
            QStringLiteral("C:\\b|C:\\b|C:\\a"));
  EXPECT_EQ(JoinHistoryString({QString(), {QStringLiteral("C:\\a")}}), QStringLiteral("|C:\\a"));
  EXPECT_EQ(JoinHistoryString({QStringLiteral("x"), {}}), QStringLiteral("x"));
  EXPECT_EQ(JoinHistoryString({}), QString());
}

TEST(HistoryStringTest, RoundTripKeepsTextAndItemsInOrder) {
  const HistoryContent contents[] = {
      {QStringLiteral("/home/u/新"), {QStringLiteral("/a"), QString(), QStringLiteral("/b")}},
      {QString(), {QStringLiteral("/only")}},
      {QStringLiteral("/typed, not committed"), {}},
  };
  for (const HistoryContent& content : contents) {
    EXPECT_EQ(SplitHistoryString(JoinHistoryString(content)), content);
  }
}

}  // namespace
}  // namespace quintrel
