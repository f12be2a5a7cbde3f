// The per-user settings file, read and written where the program keeps it: below the
// configuration folder that the tests' main sets up (ui_test_main.cpp).
#include "ui/settings_store.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QTreeView>

#include "support/temp_dir.h"
#include "ui/history_combo.h"
#include "ui/measure_dlg.h"
#include "ui/result_table_model.h"
#include "ui/window_info.h"
#include "ui_fakes.h"
#include "ui_test_main.h"
#include "window_probes.h"

namespace quintrel {
namespace {

using testing::CMeasureDlgProbe;

std::filesystem::path SettingsFile() {
  return testing::ConfigHome().path() / "Vantle" / "quintrel.conf";
}

// Replaces the settings file. Every file gets its own modification time, so that Qt, which
// keeps a parsed copy of the file, notices each change.
void WriteSettingsFile(const std::string& content) {
  static long long stamp = 1'000'000'000;
  testing::ConfigHome().Write("Vantle/quintrel.conf", content);
  testing::SetModificationTime(SettingsFile(), ++stamp);
}

StoredSettings LoadFromUserStore(const QString& windowInfoDefault = QString()) {
  const std::unique_ptr<QSettings> settings = OpenUserSettings();
  return LoadSettings(*settings, windowInfoDefault);
}

TEST(SettingsStoreTest, ReadsAndWritesTheUserFile) {
  const StoredSettings written{
      QStringLiteral("/src/ポ v2|/src/ポ v2|/a, b|"),
      QStringLiteral("|\"quoted\"|C:\\win\\path|;#=[x]"),
      QStringLiteral("700 500 20 200 60 60 70"),
      true,
      true,
      MeasureOptions{QStringLiteral("c,h,cpp,cc"), QStringLiteral("build,third_party"), 70}};
  SaveSettings(*OpenUserSettings(), written);
  const std::string file = testing::ReadFileBytes(SettingsFile());
  EXPECT_NE(file.find("[Settings]"), std::string::npos);
  EXPECT_NE(file.find("Recursive=1\n"), std::string::npos);
  EXPECT_NE(file.find("IgnoreFormat=1\n"), std::string::npos);
  StoredSettings read = LoadFromUserStore();
  EXPECT_EQ(read.oldFolder, written.oldFolder);
  EXPECT_EQ(read.newFolder, written.newFolder);
  EXPECT_EQ(read.windowInfo, written.windowInfo);
  EXPECT_TRUE(read.recursive);
  EXPECT_TRUE(read.ignoreFormat);
  EXPECT_EQ(read.options, written.options);
  EXPECT_NE(file.find("Renames=70\n"), std::string::npos);

  WriteSettingsFile("[Settings]\nOldFolder=\"/abs/old\"\nNewFolder=\"/abs/new\"\n");
  read = LoadFromUserStore(QStringLiteral("1 2 15 140 60 60 60"));
  EXPECT_EQ(read.oldFolder, QStringLiteral("/abs/old"));
  EXPECT_EQ(read.newFolder, QStringLiteral("/abs/new"));
  EXPECT_EQ(read.windowInfo, QStringLiteral("1 2 15 140 60 60 60"));
  // Unquoted values: a comma would make a list of the value, and it must come back whole.
  WriteSettingsFile("[Settings]\nOldFolder=/a,b|/c\nNewFolder=\n");
  read = LoadFromUserStore();
  EXPECT_EQ(read.oldFolder, QStringLiteral("/a,b|/c"));
  EXPECT_EQ(read.newFolder, QString());
  // No file at all: every value takes its default.
  std::filesystem::remove(SettingsFile());
  read = LoadFromUserStore(QStringLiteral("default"));
  EXPECT_EQ(read.oldFolder, QString());
  EXPECT_EQ(read.windowInfo, QStringLiteral("default"));
}

// Each check box is read from its own key; a file written before a box existed leaves it off.
TEST(SettingsStoreTest, OnlyOneTurnsACheckBoxOn) {
  const auto flags = [] {
    const StoredSettings read = LoadFromUserStore();
    return std::pair(read.recursive, read.ignoreFormat);
  };
  for (const auto& [key, on] : {std::pair("Recursive", std::pair(true, false)),
                                std::pair("IgnoreFormat", std::pair(false, true))}) {
    SCOPED_TRACE(key);
    for (const char* stored : {"1", "\"1\""}) {
      WriteSettingsFile(std::string("[Settings]\n") + key + "=" + stored + "\n");
      EXPECT_EQ(flags(), on) << stored;
    }
    // Empty or anything but "1": off.
    for (const char* stored : {"", "0", "2", "11", "true", "yes", "on", " 1x", "1,0", "\xff"}) {
      WriteSettingsFile(std::string("[Settings]\n") + key + "=" + stored + "\n");
      EXPECT_EQ(flags(), std::pair(false, false)) << stored;
    }
  }
  WriteSettingsFile("[Settings]\nOldFolder=/a\nRecursive=0\n");
  EXPECT_EQ(flags(), std::pair(false, false));
}

// The run options: text values in either form, a refused text as if it were missing, and
// missing ones as before they existed.
TEST(SettingsStoreTest, RunOptionsReadInEitherFormAndRefusedOnesAsMissing) {
  struct Case {
    const char* lines;
    MeasureOptions expected;
  };
  const MeasureOptions defaults;
  const auto with = [&defaults](const char* extensions, const char* excluded, int percent) {
    return MeasureOptions{
        extensions != nullptr ? QString::fromUtf8(extensions) : defaults.extensions,
        QString::fromUtf8(excluded), percent};
  };
  for (const Case& c : {
           Case{"OldFolder=/a\nRecursive=1\n", defaults},
           Case{"Extensions=c,h\n", with("c,h", "", 0)},  // unquoted: a list
           Case{"Extensions=\"c,h,cpp,cc\"\n", with("c,h,cpp,cc", "", 0)},
           Case{"Extensions=cc\nExcludeDirs=build\n", with("cc", "build", 0)},
           Case{"ExcludeDirs=build,third_party\nRenames=1\n",
                with(nullptr, "build,third_party", 1)},
           Case{"Extensions=\nExcludeDirs=\nRenames=\n", defaults},
           Case{"Extensions=c,.h\nExcludeDirs=b\n", with(nullptr, "b", 0)},
           Case{"Extensions=c,,h\nExcludeDirs=a/b,c\nRenames=100\n", with(nullptr, "", 100)},
           Case{"Extensions=h\nExcludeDirs=x,\nRenames=\"50\"\n", with("h", "", 50)},
           Case{"Renames=0\n", defaults},
           Case{"Renames=101\n", defaults},
           Case{"Renames=-5\n", defaults},
           Case{"Renames=half\n", defaults},
           Case{"Renames=50,60\n", defaults},
       }) {
    SCOPED_TRACE(c.lines);
    WriteSettingsFile(std::string("[Settings]\n") + c.lines);
    const MeasureOptions read = LoadFromUserStore().options;
    EXPECT_EQ(read.extensions, c.expected.extensions);
    EXPECT_EQ(read.excludeDirs, c.expected.excludeDirs);
    EXPECT_EQ(read.renamePercent, c.expected.renamePercent);
  }
}

// A file written before the run options existed gives the run options of that time.
TEST(SettingsStoreTest, OldFileGivesTheRunOptionsOfBefore) {
  WriteSettingsFile("[Settings]\nOldFolder=/a\nNewFolder=/b\nRecursive=1\nIgnoreFormat=0\n");
  RunOptions run;
  ApplyMeasureOptions(LoadFromUserStore().options, run);
  EXPECT_EQ(run.scan.extensions, (std::vector<std::string>{"c", "h", "cpp"}));
  EXPECT_TRUE(run.scan.excludedFolders.empty());
  EXPECT_EQ(run.renamePercent, 0);
  // And what the options dialog would show: the extensions the runs always took.
  EXPECT_EQ(LoadFromUserStore().options.extensions, QStringLiteral("c,h,cpp"));
}

// A main dialog on the user's settings, initialised and shown as the program does (the stored
// outer size is settled once the frame is known).
class SettingsDialogTest : public ::testing::Test {
 protected:
  std::unique_ptr<CMeasureDlg> OpenDialog() {
    m_settings = OpenUserSettings();
    auto dialog = std::make_unique<CMeasureDlg>(*m_settings, m_interaction, m_launcher);
    dialog->OnInitDialog();
    dialog->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    QCoreApplication::processEvents();
    return dialog;
  }

  static std::array<int, kColumnCount> ColumnWidths(const CMeasureDlg& dialog) {
    std::array<int, kColumnCount> widths{};
    for (int i = 0; i < kColumnCount; ++i)
      widths[i] = CMeasureDlgProbe::List(dialog)->header()->sectionSize(i);
    return widths;
  }

  static QStringList Names(const CMeasureDlg& dialog) {
    QStringList texts;
    for (const ResultRow& row : CMeasureDlgProbe::Rows(dialog)->Rows())
      texts.append(QString::fromStdString(row.name));
    return texts;
  }

  static QSize Screen() { return QGuiApplication::primaryScreen()->availableGeometry().size(); }

  std::unique_ptr<QSettings> m_settings;
  testing::FakeInteraction m_interaction;
  testing::FakeLauncher m_launcher;
};

// Histories, size, widths and the check boxes come back after a restart; the subfolder box
// is restored before the start-up run, which therefore measures the trees.
TEST_F(SettingsDialogTest, ClosingAndStartingAgainRestoresEverything) {
  std::filesystem::remove(SettingsFile());
  testing::ScopedTempDir trees;
  trees.Write("old/top.c", "a;\n");
  trees.Write("old/sub/deep.c", "b;\n");
  trees.Write("new/top.c", "a;\n");
  const QString neu = QString::fromStdString((trees.path() / "new").string());
  QString oldHistory;
  QString newHistory;
  QSize outer;
  std::array<int, kColumnCount> widths{};
  {
    const std::unique_ptr<CMeasureDlg> dialog = OpenDialog();
    for (const char* folder : {"/first", "/second", "/third"}) {
      CMeasureDlgProbe::OldFolderBox(*dialog)->SetText(QString::fromLatin1(folder));
      CMeasureDlgProbe::OldFolderBox(*dialog)->CommitText();
    }
    CMeasureDlgProbe::OldFolderBox(*dialog)->SetText(
        QString::fromStdString((trees.path() / "old").string()));
    CMeasureDlgProbe::NewFolderBox(*dialog)->SetText(neu);
    CMeasureDlgProbe::SubfoldersBox(*dialog)->setChecked(true);
    CMeasureDlgProbe::IgnoreFormatBox(*dialog)->setChecked(true);
    dialog->resize(dialog->TemplateClientSize() + QSize(37, 23));
    CMeasureDlgProbe::List(*dialog)->header()->resizeSection(1, 211);
    CMeasureDlgProbe::List(*dialog)->header()->resizeSection(4, 33);
    oldHistory = CMeasureDlgProbe::OldFolderBox(*dialog)->GetHistoryString();
    newHistory = CMeasureDlgProbe::NewFolderBox(*dialog)->GetHistoryString();
    outer = dialog->OuterSize();
    widths = ColumnWidths(*dialog);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);  // closing writes the settings
  }
  EXPECT_TRUE(oldHistory.endsWith(QStringLiteral("|/third|/second|/first")));
  {
    const std::unique_ptr<CMeasureDlg> dialog = OpenDialog();
    EXPECT_EQ(CMeasureDlgProbe::OldFolderBox(*dialog)->GetHistoryString(), oldHistory);
    EXPECT_EQ(CMeasureDlgProbe::NewFolderBox(*dialog)->GetHistoryString(), newHistory);
    EXPECT_EQ(dialog->OuterSize(), outer);
    EXPECT_EQ(ColumnWidths(*dialog), widths);
    EXPECT_TRUE(CMeasureDlgProbe::SubfoldersBox(*dialog)->isChecked());
    EXPECT_TRUE(CMeasureDlgProbe::IgnoreFormatBox(*dialog)->isChecked());
    EXPECT_EQ(Names(*dialog), testing::Texts({"top.c", "sub/deep.c"}));
    CMeasureDlgProbe::SubfoldersBox(*dialog)->setChecked(false);
    CMeasureDlgProbe::IgnoreFormatBox(*dialog)->setChecked(false);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
  }
  const std::string file = testing::ReadFileBytes(SettingsFile());
  EXPECT_NE(file.find("Recursive=0\n"), std::string::npos);
  EXPECT_NE(file.find("IgnoreFormat=0\n"), std::string::npos);
  const std::unique_ptr<CMeasureDlg> dialog = OpenDialog();
  EXPECT_FALSE(CMeasureDlgProbe::SubfoldersBox(*dialog)->isChecked());
  EXPECT_FALSE(CMeasureDlgProbe::IgnoreFormatBox(*dialog)->isChecked());
  EXPECT_EQ(Names(*dialog), testing::Texts({"top.c"}));
}

// The start-up run takes the stored run options: without them it measures what it always
// did; with them the other extensions, without the excluded folders, renames joined. Closing
// writes them back as they were.
TEST_F(SettingsDialogTest, StoredRunOptionsSteerTheStartUpRunAndAreWrittenBack) {
  testing::ScopedTempDir trees;
  trees.Write("old/a.c", "a;\n");
  trees.Write("old/moved.h", "one;\ntwo;\nthree;\n");
  trees.Write("new/a.c", "a;\n");
  trees.Write("new/b.cc", "b;\n");
  trees.Write("new/renamed.h", "one;\ntwo;\nthree;\n");
  trees.Write("new/build/gen.c", "g;\n");
  const std::string folders = "OldFolder=\"" + (trees.path() / "old").string() +
                              "\"\nNewFolder=\"" + (trees.path() / "new").string() +
                              "\"\nRecursive=1\n";
  WriteSettingsFile("[Settings]\n" + folders);
  {
    const std::unique_ptr<CMeasureDlg> dialog = OpenDialog();
    EXPECT_EQ(Names(*dialog), testing::Texts({"a.c", "moved.h", "renamed.h", "build/gen.c"}));
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
  }
  std::string file = testing::ReadFileBytes(SettingsFile());
  EXPECT_NE(file.find("Extensions=\"c,h,cpp\"\n"), std::string::npos) << file;
  EXPECT_NE(file.find("Renames=0\n"), std::string::npos) << file;

  WriteSettingsFile("[Settings]\n" + folders +
                    "Extensions=c,cc\nExcludeDirs=build,x\nRenames=60\n");
  {
    const std::unique_ptr<CMeasureDlg> dialog = OpenDialog();
    EXPECT_EQ(Names(*dialog), testing::Texts({"a.c", "b.cc"}));
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
  }
  WriteSettingsFile("[Settings]\n" + folders + "Extensions=h\nRenames=60\n");
  {
    const std::unique_ptr<CMeasureDlg> dialog = OpenDialog();
    EXPECT_EQ(Names(*dialog), testing::Texts({"moved.h => renamed.h"}));
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
  }
  file = testing::ReadFileBytes(SettingsFile());
  EXPECT_NE(file.find("Extensions=h\n"), std::string::npos) << file;
  EXPECT_NE(file.find("ExcludeDirs=\n"), std::string::npos) << file;
  EXPECT_NE(file.find("Renames=60\n"), std::string::npos) << file;
}

TEST_F(SettingsDialogTest, StoredSizeAndWidthsAreApplied) {
  WriteSettingsFile("[Settings]\nWindowInfo=700 500 20 200 60 60 70\n");
  const std::unique_ptr<CMeasureDlg> dialog = OpenDialog();
  EXPECT_EQ(dialog->OuterSize(), QSize(700, 500).boundedTo(Screen()));
  EXPECT_EQ(ColumnWidths(*dialog), (std::array<int, kColumnCount>{20, 200, 60, 60, 70}));
  // The anchored controls keep their gaps to the right edge of the template, and those that
  // follow the bottom edge their gaps to it.
  CMeasureDlg plain(*m_settings, m_interaction, m_launcher);
  const auto gaps = [](const CMeasureDlg& d, int id) {
    const QRect r = d.Control(id)->geometry();
    return QSize(d.width() - r.right(), d.height() - r.bottom());
  };
  for (int id : {kIdSave, kIdSubfolders, kIdIgnoreFormat, kIdBrowseNew, kIdOldFolder}) {
    EXPECT_EQ(gaps(*dialog, id).width(), gaps(plain, id).width()) << id;
    EXPECT_EQ(dialog->Control(id)->y(), plain.Control(id)->y()) << id;
  }
  EXPECT_EQ(gaps(*dialog, kIdList), gaps(plain, kIdList));
  // The totals keep their gap to the bottom edge and stand under the stored columns.
  for (int id : {kIdTotalLoc, kIdFileCount}) {
    EXPECT_EQ(gaps(*dialog, id).height(), gaps(plain, id).height()) << id;
  }
  const QWidget* viewport = CMeasureDlgProbe::List(*dialog)->viewport();
  EXPECT_EQ(dialog->Control(kIdTotalLoc)->geometry().right() + 1,
            viewport->mapTo(dialog.get(), QPoint(20 + 200 + 60 + 60 + 70, 0)).x());
}

TEST_F(SettingsDialogTest, DamagedWindowInfoStillGivesAUsableWindow) {
  struct Case {
    const char* stored;
    bool defaults;  // the whole value is unusable
  };
  // No file (the first start) gives the template size and the default columns too. The ways
  // a value can be incomplete are the window information parser's own tests.
  for (const Case& c :
       {Case{nullptr, true}, Case{"garbage", true}, Case{"99999999999 500 20 200 60 60 70", true},
        Case{"99999 99999 99999 99999 99999 99999 99999", false},
        Case{"1 -1 0 -5 60 60 60", false}}) {
    SCOPED_TRACE(c.stored ? c.stored : "no file");
    if (c.stored) {
      WriteSettingsFile(std::string("[Settings]\nWindowInfo=") + c.stored + "\n");
    } else {
      std::filesystem::remove(SettingsFile());
    }
    const std::unique_ptr<CMeasureDlg> dialog = OpenDialog();
    const QSize minimum = dialog->TemplateClientSize();
    EXPECT_GE(dialog->width(), minimum.width());
    EXPECT_GE(dialog->height(), minimum.height());
    EXPECT_LE(dialog->OuterSize().width(), std::max(Screen().width(), minimum.width()));
    EXPECT_LE(dialog->OuterSize().height(), std::max(Screen().height(), minimum.height()));
    EXPECT_EQ(CMeasureDlgProbe::Rows(*dialog)->rowCount(), 0);
    EXPECT_TRUE(m_interaction.messages.empty());
    const std::array<int, kColumnCount> widths = ColumnWidths(*dialog);
    if (c.defaults) {
      EXPECT_EQ(dialog->size(), minimum);
      EXPECT_EQ(widths, kDefaultColumnWidths);
    }
    for (int i = 0; i < kColumnCount; ++i) {
      EXPECT_GE(widths[i], 1);
      EXPECT_LE(widths[i], std::max(Screen().width(), kDefaultColumnWidths[i]));
    }
  }
}

}  // namespace
}  // namespace quintrel
