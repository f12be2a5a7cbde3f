// The form in which the program hands paths to Windows: short paths as typed, long ones
// absolute with the "\\?\" prefix that lifts the MAX_PATH limit.
#include "engine/system_path_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace quintrel {
namespace {

TEST(SystemPathTest, ShortPathsStayAsTyped) {
  for (const std::string path :
       {"C:\\src\\a.c", "c:/src/a.c", "rel/a.c", "\\\\server\\share\\a.c"}) {
    EXPECT_EQ(SystemPath(path), WidenUtf8(path)) << path;
  }
}

TEST(SystemPathTest, LongPathsGetTheLongFormWithBackslashesOnly) {
  const std::string folder(120, 'f');
  const std::wstring wideFolder(120, L'f');
  EXPECT_EQ(SystemPath("C:/" + folder + "/" + folder + "\\x.c"),
            L"\\\\?\\C:\\" + wideFolder + L"\\" + wideFolder + L"\\x.c");
  EXPECT_EQ(SystemPath("\\\\server/share/" + folder + "/" + folder + "/x.c"),
            L"\\\\?\\UNC\\server\\share\\" + wideFolder + L"\\" + wideFolder + L"\\x.c");
  // "." and ".." are resolved, since the long form turns off the system's own resolving.
  EXPECT_EQ(SystemPath("C:\\" + folder + "\\.\\..\\" + folder + "\\" + folder + "\\x.c"),
            L"\\\\?\\C:\\" + wideFolder + L"\\" + wideFolder + L"\\x.c");
  const std::string already = "\\\\?\\C:\\" + folder + "\\" + folder + "\\x.c";
  EXPECT_EQ(SystemPath(already), WidenUtf8(already));
}

TEST(SystemPathTest, RelativeLongPathsBecomeAbsolute) {
  const std::string folder(130, 'r');
  const std::wstring path = SystemPath(folder + "/" + folder + "/x.c");
  wchar_t current[MAX_PATH];
  ASSERT_GT(::GetCurrentDirectoryW(MAX_PATH, current), 0u);
  std::wstring expected = L"\\\\?\\" + std::wstring(current);
  if (expected.back() != L'\\') expected += L'\\';
  expected += std::wstring(130, L'r') + L"\\" + std::wstring(130, L'r') + L"\\x.c";
  EXPECT_EQ(path, expected);
}

TEST(SystemPathTest, Utf8AndUtf16RoundTrip) {
  const std::string name = "caf\xC3\xA9_\xF0\x9F\x98\x80_\xE5\x90\x8D.c";  // café_😀_名.c
  const std::wstring wide = WidenUtf8(name);
  EXPECT_EQ(wide, L"caf\u00E9_\U0001F600_\u540D.c");
  EXPECT_EQ(NarrowToUtf8(wide), name);
  EXPECT_EQ(WidenUtf8("a\xFF"
                      "b"),
            L"a\uFFFDb");
}

}  // namespace
}  // namespace quintrel
