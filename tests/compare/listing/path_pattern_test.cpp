#include "compare/listing/path_pattern.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace quintrel {
namespace {

struct Case {
  const char* pattern;
  const char* path;
  bool matches;
};

TEST(MatchesPathPattern, WildcardsSetsAndEscapesWithinAPart) {
  const Case cases[] = {
      {"moc_*.cpp", "moc_window.cpp", true},
      {"moc_*.cpp", "moc_.cpp", true},
      {"moc_*.cpp", "mocwindow.cpp", false},
      {"*.pb.*", "msg.pb.h", true},
      {"*.pb.*", "msg.pb", false},
      {"?.c", "a.c", true},
      {"?.c", "ab.c", false},
      {"[abc].c", "b.c", true},
      {"[a-c].c", "d.c", false},
      {"[!a-c].c", "d.c", true},
      {"[^a-c].c", "a.c", false},
      {"[]x].c", "].c", true},
      {"[.c", "[.c", true},
      {"\\*.c", "*.c", true},
      {"\\*.c", "a.c", false},
      {"*", "", true},
      {"a*b*c", "axxbyyc", true},
      {"a*b*c", "axxbyy", false},
      {"*.C", "x.c", false},
      {"\xFF*", "\xFF\xFE.c", true},
      {"*.c", "dir/x.c", false},  // no wildcard crosses a '/'
      {"?", "/", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesPathPattern(c.pattern, c.path), c.matches) << c.pattern << " " << c.path;
  }
}

TEST(MatchesPathPattern, DoubleStarPartsStandForAnyNumberOfParts) {
  const Case cases[] = {
      {"third_party/**", "third_party/x.c", true},
      {"third_party/**", "third_party/a/b/x.c", true},
      {"third_party/**", "third_party", false},  // inside the folder, not the folder
      {"**", "third_party", true},
      {"third_party/**", "src/third_party/x.c", false},
      {"**/gen/*.c", "gen/x.c", true},
      {"**/gen/*.c", "a/b/gen/x.c", true},
      {"**/gen/*.c", "a/b/gen/sub/x.c", false},
      {"src/**/test_*.c", "src/test_a.c", true},
      {"src/**/test_*.c", "src/a/b/test_a.c", true},
      {"**", "any/thing/at/all.c", true},
      {"a/**/**/b", "a/b", true},
      {"a/**b", "a/xb", true},  // "**" inside a part is two '*'
      {"a/**b", "a/x/b", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesPathPattern(c.pattern, c.path), c.matches) << c.pattern << " " << c.path;
  }
  // Many "**" parts against a deep path stay fast (no exponential search).
  std::string deep;
  for (int i = 0; i < 200; ++i) deep += "d/";
  EXPECT_FALSE(MatchesPathPattern("**/**/**/**/**/**/**/**/x", deep + "y"));
}

TEST(IsExcludedByPatterns, ThePathBelowTheTopOrTheNameAlone) {
  const std::vector<std::string> patterns = {"moc_*.cpp", "third_party/**", "build"};
  EXPECT_TRUE(IsExcludedByPatterns(patterns, "moc_a.cpp"));
  EXPECT_TRUE(IsExcludedByPatterns(patterns, "ui/deep/moc_a.cpp"));  // by name
  EXPECT_TRUE(IsExcludedByPatterns(patterns, "third_party/z/lib.c"));
  EXPECT_FALSE(IsExcludedByPatterns(patterns, "src/third_party/lib.c"));
  EXPECT_TRUE(IsExcludedByPatterns(patterns, "src/build"));  // a folder, by name
  EXPECT_FALSE(IsExcludedByPatterns(patterns, "src/main.c"));
  EXPECT_FALSE(IsExcludedByPatterns({}, "anything.c"));
}

// Against a plain reference: a pattern without wildcards matches exactly its own text, and
// "*" standing for a whole part matches any part.
TEST(MatchesPathPattern, LiteralPatternsMatchExactlyThemselves) {
  std::mt19937 random(7);
  const std::string alphabet = "ab/.\xFF";
  for (int round = 0; round < 2000; ++round) {
    std::string path;
    for (int n = random() % 8; n > 0; --n) path += alphabet[random() % alphabet.size()];
    std::string other = path;
    if (!other.empty() && random() % 2 == 0) other[random() % other.size()] = 'z';
    EXPECT_EQ(MatchesPathPattern(path, other), path == other) << path << " " << other;
  }
}

}  // namespace
}  // namespace quintrel
