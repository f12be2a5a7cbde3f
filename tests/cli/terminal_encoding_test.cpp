#include "cli/terminal_encoding.h"

#include <gtest/gtest.h>

#include "cli/display_width.h"

namespace quintrel {
namespace {

TEST(TerminalEncoderTest, Utf8TerminalKeepsTextButReplacesInvalidBytes) {
  for (const char* codeset : {"UTF-8", "utf8", "UTF8"}) {
    TerminalEncoder encoder(codeset);
    EXPECT_EQ(encoder.Encode("追加 ﾌｧｲﾙ名 😀"), "追加 ﾌｧｲﾙ名 😀") << codeset;
    EXPECT_EQ(encoder.Encode("a\xFF"
                             "b"),
              "a?b")
        << codeset;
    EXPECT_EQ(encoder.Fit("a\xFF"
                          "b"),
              "a?b")
        << codeset;
  }
}

TEST(TerminalEncoderTest, AsciiTerminalGetsOneQuestionMarkPerCharacter) {
  TerminalEncoder encoder("ANSI_X3.4-1968");
  EXPECT_EQ(encoder.Encode("旧ﾌｫﾙﾀﾞ: /tmp/x"), "??????: /tmp/x");
  EXPECT_EQ(encoder.Fit("設定.h"), "??.h");
}

TEST(TerminalEncoderTest, JapaneseCodesetsConvertWhatTheyCanRepresent) {
  TerminalEncoder eucJp("EUC-JP");
  EXPECT_EQ(eucJp.Encode("追加"), "\xC4\xC9\xB2\xC3");
  EXPECT_EQ(eucJp.Encode("a😀b"), "a?b");  // no EUC-JP form
  EXPECT_EQ(eucJp.Fit("追加😀"), "追加?");

  TerminalEncoder shiftJis("SHIFT_JIS");
  EXPECT_EQ(shiftJis.Encode("ﾌ名"), "\xCC\x96\xBC");
}

TEST(TerminalEncoderTest, FitMakesWidthsMatchWhatTheTerminalShows) {
  TerminalEncoder latin1("ISO-8859-1");
  std::string fitted = latin1.Fit("café 設定.c");
  EXPECT_EQ(fitted, "café ??.c");
  EXPECT_EQ(DisplayWidth(fitted), latin1.Encode(fitted).size());
}

TEST(TerminalEncoderTest, UnknownCodesetFallsBackToAscii) {
  for (const char* codeset : {"NO-SUCH-CHARSET", ""}) {
    TerminalEncoder encoder(codeset);
    EXPECT_EQ(encoder.Encode("x追y\xFF"), "x?y?") << codeset;
    EXPECT_EQ(encoder.Fit("x追y"), "x?y") << codeset;
  }
}

TEST(TerminalEncoderTest, SurvivesEveryTruncationOfMultibyteText) {
  const std::string text = "ﾌｧｲﾙ名 追加😀é";
  TerminalEncoder encoders[] = {TerminalEncoder("UTF-8"), TerminalEncoder("EUC-JP"),
                                TerminalEncoder("ANSI_X3.4-1968")};
  for (std::size_t length = 0; length <= text.size(); ++length) {
    for (const TerminalEncoder& encoder : encoders) {
      std::string fitted = encoder.Fit(text.substr(0, length));
      EXPECT_EQ(encoder.Fit(fitted), fitted) << length;
      EXPECT_EQ(encoder.Encode(text.substr(0, length)).find('\0'), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace quintrel
