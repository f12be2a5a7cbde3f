#include "ui/file_launcher.h"

#include <gtest/gtest.h>

#include <QTest>

#include "support/temp_dir.h"

namespace quintrel {
namespace {

// Sets an environment variable for one scope.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const QByteArray& value)
      : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
    qputenv(name, value);
  }
  ~ScopedEnvironment() {
    if (m_had) {
      qputenv(m_name, m_old);
    } else {
      qunsetenv(m_name);
    }
  }

 private:
  const char* m_name;
  bool m_had;
  QByteArray m_old;
};

// The editor from QUINTREL_EDITOR gets its own arguments and then the path, byte for byte,
// also where the path is no valid text; a program that cannot start is reported.
TEST(FileLauncherTest, TheConfiguredEditorGetsThePathByteForByte) {
  testing::ScopedTempDir dir;
  const std::string script = (dir.path() / "editor.sh").string();
  dir.Write("editor.sh",
            "printf '%s|%s' \"$1\" \"$2\" > \"$0.out.tmp\" && mv \"$0.out.tmp\" \"$0.out\"\n");
  const std::string path = (dir.path() / "caf\xE9 \xFF.c").string();
  const std::unique_ptr<FileLauncher> launcher = MakeSystemFileLauncher();
  {
    const ScopedEnvironment editor("QUINTREL_EDITOR",
                                   QByteArray::fromStdString("sh \"" + script + "\" --first"));
    ASSERT_TRUE(launcher->Open(path));
  }
  const std::filesystem::path out = dir.path() / "editor.sh.out";
  ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(out); }, 10000));
  EXPECT_EQ(testing::ReadFileBytes(out), "--first|" + path);

  const ScopedEnvironment missing("QUINTREL_EDITOR", "/no/such/editor --wait");
  EXPECT_FALSE(launcher->Open(path));
}

}  // namespace
}  // namespace quintrel
