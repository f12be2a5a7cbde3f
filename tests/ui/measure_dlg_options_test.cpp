// The main window's options button, rename rows, folder sums and JSON reports.
#include <functional>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "support/temp_dir.h"
#include "ui/folder_sums_dlg.h"
#include "ui/folder_sums_model.h"
#include "ui/history_combo.h"
#include "ui/measure_dlg.h"
#include "ui/options_dlg.h"
#include "ui/result_table_model.h"
#include "ui_fakes.h"
#include "window_probes.h"

namespace quintrel {
namespace {

using testing::CFolderSumsDlgProbe;
using testing::CMeasureDlgProbe;
using testing::COptionsDlgProbe;
using testing::Texts;

// Calls `act` on the modal dialog of type Dialog once one is showing and active; `act` must
// close it.
template <typename Dialog>
void ActOnModalDialog(std::function<void(Dialog&)> act) {
  auto* poll = new QTimer;
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    poll->stop();
    poll->deleteLater();
    dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([dialog] {
      return QApplication::focusWidget() != nullptr &&
             QApplication::focusWidget()->window() == dialog;
    }));
    act(*dialog);
  });
  poll->start();
}

void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// Two trees:
//   a.c            both, one statement added
//   moved.c        old only; the same lines as renamed.c
//   renamed.c      new only
//   b.cc           new only; measured only with the extension asked for
//   lib/l.c        both, one statement added
//   lib/deep/n.c   new only
//   build/gen.c    new only; in a folder that can be excluded
//   src/gone.c     old only
class MeasureDlgOptionsTest : public ::testing::Test {
 protected:
  MeasureDlgOptionsTest()
      : m_settings(In("settings.ini"), QSettings::IniFormat),
        m_dlg(m_settings, m_interaction, m_launcher) {
    m_dir.Write("old/a.c", "a;\n");
    m_dir.Write("new/a.c", "a;\nb;\n");
    m_dir.Write("old/moved.c", "one;\ntwo;\nthree;\nfour;\n");
    m_dir.Write("new/renamed.c", "one;\ntwo;\nthree;\nfour;\n");
    m_dir.Write("new/b.cc", "b;\n");
    m_dir.Write("old/lib/l.c", "l;\n");
    m_dir.Write("new/lib/l.c", "l;\nm;\n");
    m_dir.Write("new/lib/deep/n.c", "{\n");
    m_dir.Write("new/build/gen.c", "g;\n");
    m_dir.Write("old/src/gone.c", "p; q;\n");
    m_dlg.SetRunOptions(1, MakeFolderPair);
    CMeasureDlgProbe::OldFolderBox(m_dlg)->SetText(In("old"));
    CMeasureDlgProbe::NewFolderBox(m_dlg)->SetText(In("new"));
    CMeasureDlgProbe::SubfoldersBox(m_dlg)->setChecked(true);
  }

  QString In(const char* relative) const {
    return QString::fromStdString((m_dir.path() / relative).make_preferred().string());
  }

  QStringList Names() const {
    return testing::ColumnTexts(*CMeasureDlgProbe::Rows(m_dlg), kColumnName);
  }

  void FocusOn(QWidget* widget) {
    m_dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dlg));
    widget->setFocus();
  }

  void Select(const char* name) {
    const auto row = static_cast<int>(Names().indexOf(QString::fromUtf8(name)));
    ASSERT_GE(row, 0) << name;
    QItemSelectionModel* selection = CMeasureDlgProbe::List(m_dlg)->selectionModel();
    selection->clearSelection();
    selection->select(CMeasureDlgProbe::Rows(m_dlg)->index(row, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }

  testing::ScopedTempDir m_dir;
  QSettings m_settings;
  testing::FakeInteraction m_interaction;
  testing::FakeLauncher m_launcher;
  CMeasureDlg m_dlg;
};

TEST_F(MeasureDlgOptionsTest, OptionsButtonEndsTheButtonColumnAndMovesWithIt) {
  auto* button = qobject_cast<QPushButton*>(m_dlg.Control(kIdOptions));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), QStringLiteral("ｵﾌﾟｼｮﾝ(&O)..."));
  const QRect save = m_dlg.Control(kIdSave)->geometry();
  const QRect ignoreFormat = m_dlg.Control(kIdIgnoreFormat)->geometry();
  EXPECT_EQ(button->x(), save.x());
  EXPECT_EQ(button->size(), save.size());
  EXPECT_GT(button->y(), ignoreFormat.bottom());
  EXPECT_LT(button->y() - ignoreFormat.bottom(), save.height());
  EXPECT_GE(button->width(), button->sizeHint().width() * 9 / 10);  // the caption shows
  EXPECT_LE(button->geometry().bottom(), m_dlg.Control(kIdList)->geometry().bottom());
  for (QWidget* other : m_dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (other != button && other->isVisibleTo(&m_dlg)) {
      EXPECT_FALSE(button->geometry().intersects(other->geometry()))
          << other->metaObject()->className();
    }
  }
  m_dlg.OnInitDialog();
  m_dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_dlg));
  const QRect before = button->geometry();
  m_dlg.resize(m_dlg.size() + QSize(90, 60));
  EXPECT_EQ(button->geometry(), before.translated(90, 0));
}

// Alt+O opens the options on what was kept; OK keeps what was typed for the next run and
// starts none; Escape drops what was typed.
TEST_F(MeasureDlgOptionsTest, AltOOpensTheOptionsAndOkKeepsThemForTheNextRun) {
  m_dlg.show();
  m_dlg.RunMeasurement();
  const QStringList before = Texts(
      {"a.c", "moved.c", "renamed.c", "build/gen.c", "lib/l.c", "lib/deep/n.c", "src/gone.c"});
  ASSERT_EQ(Names(), before);

  bool shown = false;
  ActOnModalDialog<COptionsDlg>([&](COptionsDlg& dialog) {
    shown = true;
    EXPECT_EQ(COptionsDlgProbe::ExtensionsEdit(dialog)->text(), QStringLiteral("c,h,cpp"));
    EXPECT_EQ(QApplication::focusWidget(), COptionsDlgProbe::ExtensionsEdit(dialog));
    Key(Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("c,cc"));
    Key(Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("build,x"));
    Key(Qt::Key_Tab);
    Key(Qt::Key_Space);
    Key(Qt::Key_Return);
  });
  FocusOn(CMeasureDlgProbe::NewFolderBox(m_dlg));
  Key(Qt::Key_O, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return shown; }));
  EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeModalWidget() == nullptr; }));
  EXPECT_EQ(Names(), before);  // nothing measured yet
  EXPECT_EQ(CMeasureDlgProbe::Options(m_dlg),
            (MeasureOptions{QStringLiteral("c,cc"), QStringLiteral("build,x"), 50}));

  FocusOn(CMeasureDlgProbe::NewFolderBox(m_dlg));
  Key(Qt::Key_Return);
  const QStringList after =
      Texts({"a.c", "b.cc", "moved.c => renamed.c", "lib/l.c", "lib/deep/n.c", "src/gone.c"});
  EXPECT_EQ(Names(), after);

  // Escape drops a change, refused or not.
  shown = false;
  ActOnModalDialog<COptionsDlg>([&](COptionsDlg& dialog) {
    shown = true;
    EXPECT_EQ(COptionsDlgProbe::ExcludeDirsEdit(dialog)->text(), QStringLiteral("build,x"));
    EXPECT_TRUE(COptionsDlgProbe::RenamesBox(dialog)->isChecked());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(",h"));
    Key(Qt::Key_Escape);
  });
  QTest::mouseClick(qobject_cast<QPushButton*>(m_dlg.Control(kIdOptions)), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return shown; }));
  EXPECT_EQ(CMeasureDlgProbe::Options(m_dlg).extensions, QStringLiteral("c,cc"));
  m_dlg.RunMeasurement();
  EXPECT_EQ(Names(), after);
  EXPECT_TRUE(m_interaction.messages.empty());
}

// A rename's row names both files; each open command opens its own side's file, and a
// double click the new one.
TEST_F(MeasureDlgOptionsTest, RenameRowsOpenEachSidesOwnFile) {
  CMeasureDlgProbe::Options(m_dlg).renamePercent = 50;
  CMeasureDlgProbe::SubfoldersBox(m_dlg)->setChecked(false);
  m_dlg.RunMeasurement();
  ASSERT_EQ(Names(), Texts({"a.c", "moved.c => renamed.c"}));
  EXPECT_EQ(testing::ColumnTexts(*CMeasureDlgProbe::Rows(m_dlg), kColumnMarker), Texts({"", ""}));
  m_dlg.OnColumnClickList(kColumnName);  // descending: the rename's row first
  Select("moved.c => renamed.c");
  m_dlg.OnOpenOldFile();
  m_dlg.OnOpenNewFile();
  QTreeView* list = CMeasureDlgProbe::List(m_dlg);
  m_dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_dlg));
  const QRect cell = list->visualRect(CMeasureDlgProbe::Rows(m_dlg)->index(0, kColumnName));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
  EXPECT_EQ(m_launcher.opened,
            (std::vector<QString>{In("old/moved.c"), In("new/renamed.c"), In("new/renamed.c")}));
  EXPECT_TRUE(m_interaction.messages.empty());
}

// What the folder sums window shows, line by line.
QStringList FolderLines(const CFolderSumsDlg& dialog) {
  const FolderSumsModel& model = *CFolderSumsDlgProbe::Folders(dialog);
  QStringList lines;
  for (int row = 0; row < model.rowCount(); ++row) {
    QStringList cells;
    for (int column = 0; column < model.columnCount(); ++column) {
      cells.append(model.data(model.index(row, column), Qt::DisplayRole).toString());
    }
    lines.append(cells.join(u'|'));
  }
  return lines;
}

void ClickHeading(const CFolderSumsDlg& dialog, int column) {
  QHeaderView* header = CFolderSumsDlgProbe::List(dialog)->header();
  const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                  header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// The menu's new command follows the open commands; its window lists the folders of the last
// run in the command line's order and columns, whatever the order of the main list, and
// sorts them by a click on a heading as the main list does.
TEST_F(MeasureDlgOptionsTest, FolderSumsWindowShowsTheLastRunsFoldersAndSorts) {
  const std::unique_ptr<QMenu> menu = m_dlg.CreateContextMenu();
  QStringList items;
  for (const QAction* action : menu->actions()) items.append(action->text());
  const auto at = items.indexOf(QStringLiteral("ﾌｫﾙﾀﾞ別集計(&F)..."));
  ASSERT_EQ(at, 4) << items.join(u',').toStdString();
  EXPECT_EQ(items[3], QStringLiteral("新フォルダのファイルを開く(&2)"));
  EXPECT_TRUE(items.size() == 5 || items[5].isEmpty());  // then the separator before about
  EXPECT_TRUE(items.size() == 5 || items.size() == 7) << items.join(u',').toStdString();

  m_dlg.RunMeasurement();
  m_dlg.OnColumnClickList(kColumnLoc);
  m_dlg.OnColumnClickList(kColumnMarker);
  CMeasureDlgProbe::OldFolderBox(m_dlg)->SetText(In("new"));  // not measured
  bool shown = false;
  ActOnModalDialog<CFolderSumsDlg>([&](CFolderSumsDlg& dialog) {
    shown = true;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ﾌｫﾙﾀﾞ別集計"));
    const FolderSumsModel& model = *CFolderSumsDlgProbe::Folders(dialog);
    QStringList headings;
    for (int column = 0; column < model.columnCount(); ++column) {
      headings.append(model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    }
    EXPECT_EQ(headings, Texts({"ﾌｫﾙﾀﾞ", "", "追加", "削除", "LOC"}));
    EXPECT_EQ(FolderLines(dialog), Texts({"build|1 (+1/-0)|1|0|1", "lib|2 (+1/-0)|2|0|3",
                                          "lib/deep|1 (+1/-0)|1|0|1", "src|0 (+0/-1)|0|2|0"}));
    const QHeaderView* header = CFolderSumsDlgProbe::List(dialog)->header();
    EXPECT_EQ(header->sortIndicatorSection(), -1);  // the run's order
    ClickHeading(dialog, kFolderColumnLoc);         // descending first
    EXPECT_EQ(header->sortIndicatorSection(), kFolderColumnLoc);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(FolderLines(dialog).value(0), QStringLiteral("lib|2 (+1/-0)|2|0|3"));
    EXPECT_EQ(FolderLines(dialog).value(3), QStringLiteral("src|0 (+0/-1)|0|2|0"));
    ClickHeading(dialog, kFolderColumnLoc);
    EXPECT_EQ(FolderLines(dialog).value(0), QStringLiteral("src|0 (+0/-1)|0|2|0"));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    ClickHeading(dialog, kFolderColumnName);
    EXPECT_EQ(FolderLines(dialog), Texts({"src|0 (+0/-1)|0|2|0", "lib/deep|1 (+1/-0)|1|0|1",
                                          "lib|2 (+1/-0)|2|0|3", "build|1 (+1/-0)|1|0|1"}));
    ClickHeading(dialog, kFolderColumnFiles);
    EXPECT_EQ(FolderLines(dialog).value(0), QStringLiteral("lib|2 (+1/-0)|2|0|3"));
    Key(Qt::Key_Escape);
  });
  menu->actions()[at]->trigger();
  EXPECT_TRUE(shown);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

nlohmann::json ReadJson(const std::filesystem::path& path) {
  return nlohmann::json::parse(testing::ReadFileBytes(path));
}

std::vector<std::string> JsonNames(const nlohmann::json& entries) {
  std::vector<std::string> names;
  for (const auto& entry : entries) names.push_back(entry["name"].get<std::string>());
  return names;
}

// JSON when the name says so or the type box was left on it, else CSV. The JSON report is
// the command line's for the run as measured: the run's order and totals, its folders and
// options, whatever was sorted, selected or typed since.
TEST_F(MeasureDlgOptionsTest, SaveWritesJsonByTypeOrNameAsTheCommandLineDoes) {
  CMeasureDlgProbe::Options(m_dlg) = {QStringLiteral("c"), QStringLiteral("build"), 60};
  m_dlg.RunMeasurement();
  m_dlg.OnColumnClickList(kColumnName);
  Select("a.c");
  m_dlg.UpdateTotalsFromSelection();
  CMeasureDlgProbe::NewFolderBox(m_dlg)->SetText(In("old"));
  struct Case {
    const char* name;
    bool jsonType;
    bool json;
  };
  for (const Case& c :
       {Case{"r.json", false, true}, Case{"R.JSON", false, true}, Case{"r.txt", true, true},
        Case{"r.csv", false, false}, Case{"r.json.bak", false, false}, Case{"r", false, false}}) {
    SCOPED_TRACE(c.name);
    m_interaction.reportPath = In(c.name);
    m_interaction.jsonTypeChosen = c.jsonType;
    m_dlg.SaveReport();
    const std::string bytes = testing::ReadFileBytes(m_dir.path() / c.name);
    EXPECT_EQ(bytes.starts_with("{"), c.json);
    std::filesystem::remove(m_dir.path() / c.name);
  }
  EXPECT_TRUE(m_interaction.messages.empty());

  m_interaction.reportPath = In("report.json");
  m_interaction.jsonTypeChosen = false;
  m_dlg.SaveReport();
  const nlohmann::json report = ReadJson(m_dir.path() / "report.json");
  EXPECT_EQ(report["old"], In("old").toStdString());
  EXPECT_EQ(report["new"], In("new").toStdString());
  EXPECT_EQ(report["options"]["recursive"], true);
  EXPECT_EQ(report["options"]["ext"], nlohmann::json({"c"}));
  EXPECT_EQ(report["options"]["exclude_dirs"], nlohmann::json({"build"}));
  EXPECT_EQ(report["options"]["renames"], 60);
  EXPECT_EQ(JsonNames(report["files"]),
            (std::vector<std::string>{"a.c", "moved.c => renamed.c", "lib/l.c", "lib/deep/n.c",
                                      "src/gone.c"}));
  EXPECT_EQ(report["total"]["files"], 4);
  EXPECT_EQ(report["total"]["deleted_files"], 1);
  EXPECT_EQ(report["total"]["added"], 3);
  EXPECT_EQ(JsonNames(report["folders"]), (std::vector<std::string>{"lib", "lib/deep", "src"}));

  // A flat run has no folders to sum, as the command line without --by-folder.
  CMeasureDlgProbe::NewFolderBox(m_dlg)->SetText(In("new"));
  CMeasureDlgProbe::SubfoldersBox(m_dlg)->setChecked(false);
  m_dlg.RunMeasurement();
  m_dlg.SaveReport();
  EXPECT_FALSE(ReadJson(m_dir.path() / "report.json").contains("folders"));
}

}  // namespace
}  // namespace quintrel
