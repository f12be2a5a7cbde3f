#include "ui/history_string.h"

#include <gtest/gtest.h>

#include "ui_fakes.h"

namespace quintrel {
namespace {

using testing::Texts;

// Each case: the stored text, then the edit text and the items it splits into. Stored again,
// each gives back its text less a separator at its very end.
TEST(HistoryStringTest, SplitsStoredFormsAndJoinsThemBack) {
  const std::pair<const char*, QStringList> cases[] = {
      {"", Texts({""})},
      {"C:\\b|C:\\b|C:\\a", Texts({"C:\\b", "C:\\b", "C:\\a"})},
      {"C:\\a|", Texts({"C:\\a"})},
      {"|C:\\a", Texts({"", "C:\\a"})},
      {"a||b", Texts({"a", "", "b"})},
      {"a||", Texts({"a", ""})},
      {"|", Texts({""})},
      {"/src/ポ|/src/フォルダ", Texts({"/src/ポ", "/src/フォルダ"})},
  };
  for (const auto& [stored, expected] : cases) {
    SCOPED_TRACE(stored);
    const QString text = QString::fromUtf8(stored);
    const HistoryContent content = SplitHistoryString(text);
    EXPECT_EQ(content.editText, expected.front());
    EXPECT_EQ(content.items, expected.mid(1));
    EXPECT_EQ(JoinHistoryString(content), text.endsWith(u'|') ? text.chopped(1) : text);
  }
  EXPECT_EQ(JoinHistoryString({}), QString());
}

}  // namespace
}  // namespace quintrel
