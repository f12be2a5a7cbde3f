#include "ui/measure_dlg.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "compare/results/row_order.h"
#include "engine/file_pair.h"
#include "support/file_size_limit.h"
#include "support/hooked_versions.h"
#include "support/temp_dir.h"
#include "ui/history_combo.h"
#include "ui/progress_dlg.h"
#include "ui/result_table_model.h"
#include "ui_fakes.h"
#include "window_probes.h"

namespace quintrel {
namespace {

using testing::CMeasureDlgProbe;
using testing::CProgressDlgProbe;
using testing::FakeInteraction;
using testing::FakeLauncher;
using testing::ScopedTempDir;
using testing::Texts;

QString Native(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

// Old and new folders holding one changed, one deleted and one added file:
//   x.c  both  added 2, deleted 1, LOC 3
//   y.c  old   added 0, deleted 2, LOC 0
//   z.c  new   added 1, deleted 0, LOC 1
class MeasureDlgTest : public ::testing::Test {
 protected:
  MeasureDlgTest()
      : m_settings(In("settings.ini"), QSettings::IniFormat),
        m_dlg(m_settings, m_interaction, m_launcher) {
    m_dir.Write("old/x.c", "a;\nb;\n");
    m_dir.Write("old/y.c", "p; q;\n");
    m_dir.Write("new/x.c", "a;\nc;\nd;\n");
    m_dir.Write("new/z.c", "{\n");
    m_dlg.SetRunOptions(1, MakeFolderPair);
    CMeasureDlgProbe::OldFolderBox(m_dlg)->SetText(In("old"));
    CMeasureDlgProbe::NewFolderBox(m_dlg)->SetText(In("new"));
  }

  // The native path of a file or folder in the temporary folder.
  QString In(const char* relative) const {
    return Native((m_dir.path() / relative).make_preferred());
  }

  QStringList Column(int column) const {
    return testing::ColumnTexts(*CMeasureDlgProbe::Rows(m_dlg), column);
  }

  // What the totals row shows: file count, added, deleted, LOC.
  QStringList TotalsRow() const { return TotalsRowOf(m_dlg); }

  // Focuses a control of the shown window. The progress window of a run takes the
  // activation; this gives it back as the window manager does.
  void FocusOn(QWidget* widget) {
    m_dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dlg));
    widget->setFocus();
    ASSERT_TRUE(QApplication::focusWidget() == widget ||
                widget->isAncestorOf(QApplication::focusWidget()));
  }
  static QStringList TotalsRowOf(const CMeasureDlg& dlg) {
    return {CMeasureDlgProbe::ShownText(dlg, kIdFileCount),
            CMeasureDlgProbe::ShownText(dlg, kIdTotalAdded),
            CMeasureDlgProbe::ShownText(dlg, kIdTotalDeleted),
            CMeasureDlgProbe::ShownText(dlg, kIdTotalLoc)};
  }

  // Selects the rows of the named files.
  void Select(std::initializer_list<const char*> names) {
    QItemSelectionModel* selection = CMeasureDlgProbe::List(m_dlg)->selectionModel();
    selection->clearSelection();
    for (const char* name : names) {
      const auto row = static_cast<int>(Column(kColumnName).indexOf(QString::fromUtf8(name)));
      selection->select(CMeasureDlgProbe::Rows(m_dlg)->index(row, 0),
                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }

  QStringList Messages() const {
    QStringList texts;
    for (const auto& message : m_interaction.messages) texts.append(message.second);
    return texts;
  }

  ScopedTempDir m_dir;
  QSettings m_settings;
  FakeInteraction m_interaction;
  FakeLauncher m_launcher;
  CMeasureDlg m_dlg;
};

TEST_F(MeasureDlgTest, RunShowsRowsMarkersAndTotalsAndReplacesTheLastRun) {
  m_dlg.RunMeasurement();
  EXPECT_EQ(Column(kColumnName), Texts({"x.c", "y.c", "z.c"}));
  EXPECT_EQ(Column(kColumnMarker), Texts({"", "-", "+"}));
  EXPECT_EQ(Column(kColumnAdded), Texts({"2", "0", "1"}));
  EXPECT_EQ(Column(kColumnDeleted), Texts({"1", "2", "0"}));
  EXPECT_EQ(Column(kColumnLoc), Texts({"3", "0", "1"}));
  EXPECT_EQ(TotalsRow(), Texts({"2 (+1/-1)", "3", "3", "4"}));

  // A new run replaces the rows; an empty folder text lists nothing from that side, and
  // says nothing.
  CMeasureDlgProbe::OldFolderBox(m_dlg)->SetText(QString());
  m_dlg.RunMeasurement();
  EXPECT_EQ(Column(kColumnName), Texts({"x.c", "z.c"}));
  EXPECT_EQ(Column(kColumnMarker), Texts({"+", "+"}));
  EXPECT_EQ(TotalsRow(), Texts({"2 (+2/-0)", "4", "0", "4"}));
  CMeasureDlgProbe::NewFolderBox(m_dlg)->SetText(QString());
  m_dlg.RunMeasurement();
  EXPECT_EQ(CMeasureDlgProbe::Rows(m_dlg)->rowCount(), 0);
  EXPECT_EQ(TotalsRow(), Texts({"0 (+0/-0)", "0", "0", "0"}));
  EXPECT_TRUE(m_interaction.messages.empty());
}

TEST_F(MeasureDlgTest, CancelKeepsTheRowsMeasuredBeforeIt) {
  for (const char* name : {"a.c", "b.c", "c.c", "d.c"})
    m_dir.Write(std::string("new/") + name, "x;\n");
  // Seven files; the Cancel button of the progress window is pressed, on the window's own
  // thread, while the third one is being measured.
  int calls = 0;
  bool progressShown = false;
  m_dlg.SetRunOptions(
      1, testing::HookedFolderOpener([&](const CatalogueEntry&, const auto& measureForReal) {
        if (++calls == 3) {
          QMetaObject::invokeMethod(
              &m_dlg,
              [&] {
                auto* progress = m_dlg.findChild<CProgressDlg*>();
                ASSERT_NE(progress, nullptr);
                progressShown = progress->isVisible();
                QTest::mouseClick(CProgressDlgProbe::CancelButton(*progress), Qt::LeftButton);
              },
              Qt::BlockingQueuedConnection);
        }
        return measureForReal();
      }));
  m_dlg.RunMeasurement();
  EXPECT_TRUE(progressShown);
  EXPECT_EQ(Column(kColumnName), Texts({"a.c", "b.c", "c.c"}));
  EXPECT_EQ(TotalsRow(), Texts({"3 (+3/-0)", "3", "0", "3"}));
  EXPECT_EQ(Messages(), Texts({"中断されました"}));
  EXPECT_EQ(m_dlg.findChild<CProgressDlg*>(), nullptr);
}

TEST_F(MeasureDlgTest, FolderErrorKeepsThePreviousRunAndSelectsTheBox) {
  m_dlg.show();
  m_dlg.RunMeasurement();
  const QStringList rowsBefore = Column(kColumnName);
  const QStringList totalsBefore = TotalsRow();
  for (const auto& [box, message, missingName] :
       {std::tuple(CMeasureDlgProbe::OldFolderBox(m_dlg), "旧ﾌｫﾙﾀﾞを開けません", "gone-old"),
        std::tuple(CMeasureDlgProbe::NewFolderBox(m_dlg), "新ﾌｫﾙﾀﾞを開けません", "gone-new")}) {
    SCOPED_TRACE(message);
    const QString missing = In(missingName);
    m_interaction.messages.clear();
    CMeasureDlgProbe::List(m_dlg)->setFocus();
    const QString good = box->GetText();
    box->SetText(missing);
    box->CommitText();  // as leaving the box does
    m_dlg.RunMeasurement();
    // The message names the folder; the folder leaves the box's history and stays out of it
    // when the box is left again, but stays in the box to be mended.
    EXPECT_EQ(Messages(),
              QStringList({QString::fromUtf8(message) + QStringLiteral(": ") + missing}));
    EXPECT_EQ(Column(kColumnName), rowsBefore);
    EXPECT_EQ(TotalsRow(), totalsBefore);
    QWidget* focus = m_dlg.focusWidget();
    EXPECT_TRUE(focus == box || box->isAncestorOf(focus));
    EXPECT_EQ(box->lineEdit()->selectedText(), missing);
    EXPECT_EQ(box->findText(missing), -1);
    box->CommitText();
    EXPECT_EQ(box->findText(missing), -1);
    EXPECT_EQ(box->GetText(), missing);
    // Once the folder is there, a run opens it and the box keeps it again.
    m_dir.MakeDir(missingName);
    m_dlg.RunMeasurement();
    box->CommitText();
    EXPECT_EQ(box->findText(missing), 0);
    box->SetText(good);
    m_dlg.RunMeasurement();
  }
}

// The start-up run waits for the window: it measures over it once it shows (a long run's
// progress and a cancel's message have the window behind them), and says nothing about a
// missing folder.
TEST_F(MeasureDlgTest, StartUpRunMeasuresTheStoredFoldersOverTheShownWindowSilently) {
  m_settings.setValue(QStringLiteral("Settings/OldFolder"), In("old"));
  m_settings.setValue(QStringLiteral("Settings/NewFolder"), In("new") + QStringLiteral("|/b"));
  std::atomic<bool> shownWhileMeasuring{true};
  m_dlg.SetRunOptions(
      1, testing::HookedFolderOpener([&](const CatalogueEntry&, const auto& measureForReal) {
        if (!m_dlg.isVisible()) shownWhileMeasuring = false;
        return measureForReal();
      }));
  m_dlg.OnInitDialog();
  EXPECT_EQ(CMeasureDlgProbe::Rows(m_dlg)->rowCount(), 0);
  m_dlg.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return CMeasureDlgProbe::StartUpRunDone(m_dlg); }));
  EXPECT_TRUE(shownWhileMeasuring);
  EXPECT_EQ(CMeasureDlgProbe::FileCountText(m_dlg), QStringLiteral("2 (+1/-1)"));
  EXPECT_EQ(CMeasureDlgProbe::NewFolderBox(m_dlg)->GetText(), In("new"));
  EXPECT_EQ(CMeasureDlgProbe::NewFolderBox(m_dlg)->itemText(0), QStringLiteral("/b"));

  CMeasureDlg second(m_settings, m_interaction, m_launcher);
  m_settings.setValue(QStringLiteral("Settings/OldFolder"), In("missing"));
  second.OnInitDialog();
  second.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return CMeasureDlgProbe::StartUpRunDone(second); }));
  EXPECT_TRUE(m_interaction.messages.empty());
  EXPECT_EQ(CMeasureDlgProbe::Rows(second)->rowCount(), 0);
  EXPECT_EQ(TotalsRowOf(second), Texts({"", "0", "0", "0"}));
  // Later runs report it.
  second.RunMeasurement();
  EXPECT_EQ(m_interaction.messages.size(), 1u);
}

TEST_F(MeasureDlgTest, HeaderClicksSortDescendingFirstThenAlternate) {
  m_dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_dlg));
  m_dlg.RunMeasurement();
  QHeaderView* header = CMeasureDlgProbe::List(m_dlg)->header();
  const auto click = [&](int column) {
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
  };
  // The arrow shows the sorted column and its direction.
  const auto arrow = [&] {
    return std::pair(header->sortIndicatorSection(), header->sortIndicatorOrder());
  };
  EXPECT_EQ(arrow().first, -1);
  click(kColumnName);
  EXPECT_EQ(Column(kColumnName), Texts({"z.c", "y.c", "x.c"}));
  EXPECT_EQ(arrow(), std::pair(int(kColumnName), Qt::DescendingOrder));
  EXPECT_TRUE(header->isSortIndicatorShown());
  click(kColumnName);
  EXPECT_EQ(Column(kColumnName), Texts({"x.c", "y.c", "z.c"}));
  EXPECT_EQ(arrow(), std::pair(int(kColumnName), Qt::AscendingOrder));
  // Every column keeps its own direction: the first click on "added" is descending too.
  click(kColumnAdded);
  EXPECT_EQ(Column(kColumnAdded), Texts({"2", "1", "0"}));
  EXPECT_EQ(CMeasureDlgProbe::SortAscending(m_dlg),
            (std::array<bool, 5>{false, false, true, false, false}));
  // Markers descending: "-", then "+", then the rows in both folders.
  click(kColumnMarker);
  EXPECT_EQ(Column(kColumnMarker), Texts({"-", "+", ""}));
  click(kColumnMarker);
  EXPECT_EQ(Column(kColumnMarker), Texts({"", "+", "-"}));

  // A new run keeps the directions, and sorting an empty list still flips its flag.
  CMeasureDlgProbe::NewFolderBox(m_dlg)->SetText(QString());
  CMeasureDlgProbe::OldFolderBox(m_dlg)->SetText(QString());
  m_dlg.RunMeasurement();
  EXPECT_EQ(arrow().first, -1);  // the rows are in catalogue order again
  click(kColumnLoc);
  EXPECT_EQ(CMeasureDlgProbe::SortAscending(m_dlg),
            (std::array<bool, 5>{false, false, true, false, true}));
  EXPECT_EQ(arrow(), std::pair(int(kColumnLoc), Qt::DescendingOrder));
}

TEST_F(MeasureDlgTest, ContextMenuCommandsTotalSelectAndOpen) {
  const std::unique_ptr<QMenu> menu = m_dlg.CreateContextMenu();
  const QList<QAction*> actions = menu->actions();
  ASSERT_GE(actions.size(), 4);
  // Each key chooses one command (the texts are checked where the menu opens by key).
  QString keys;
  for (const QAction* action : actions) {
    const qsizetype amp = action->text().indexOf(u'&');
    if (amp >= 0) keys += action->text().at(amp + 1).toUpper();
  }
  EXPECT_EQ(QSet<QChar>(keys.begin(), keys.end()).size(), keys.size()) << keys.toStdString();

  // "Select all" then "total of the selection" gives the totals of the run.
  m_dlg.RunMeasurement();
  Select({});
  actions[1]->trigger();
  EXPECT_EQ(CMeasureDlgProbe::List(m_dlg)->selectionModel()->selectedRows().size(), 3);
  actions[0]->trigger();
  EXPECT_EQ(TotalsRow(), Texts({"2 (+1/-1)", "3", "3", "4"}));
  // The total counts the selected rows only, the same however the list is sorted.
  m_dlg.OnColumnClickList(kColumnLoc);
  Select({"z.c", "x.c"});
  actions[0]->trigger();
  EXPECT_EQ(TotalsRow(), Texts({"2 (+1/-0)", "3", "1", "4"}));
  Select({});
  actions[0]->trigger();
  EXPECT_EQ(TotalsRow(), Texts({"0 (+0/-0)", "0", "0", "0"}));

  Select({"x.c"});
  actions[2]->trigger();
  actions[3]->trigger();
  EXPECT_EQ(m_launcher.opened, (std::vector<QString>{In("old/x.c"), In("new/x.c")}));
}

TEST_F(MeasureDlgTest, MenuKeyAndShiftF10OpenTheContextMenuAndEscapeClosesOnlyIt) {
  m_dlg.RunMeasurement();
  m_dlg.show();
  for (const auto& [key, modifiers] :
       {std::pair(Qt::Key_Menu, Qt::KeyboardModifiers()),
        std::pair(Qt::Key_F10, Qt::KeyboardModifiers(Qt::ShiftModifier))}) {
    SCOPED_TRACE(QKeySequence(key | modifiers).toString().toStdString());
    m_dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dlg));
    CMeasureDlgProbe::List(m_dlg)->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), CMeasureDlgProbe::List(m_dlg));
    // Runs inside the menu's own loop when the menu opened, else right after the key.
    QStringList shown;
    QTimer::singleShot(0, &m_dlg, [&] {
      if (const auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        for (const QAction* action : menu->actions()) shown.append(action->text());
      }
      QTest::keyClick(m_dlg.windowHandle(), Qt::Key_Escape);
    });
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.mid(0, 4),
              Texts({"選択部分でTotal更新(&U)", "全てを選択(&A)", "旧フォルダのファイルを開く(&1)",
                     "新フォルダのファイルを開く(&2)"}));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    ASSERT_TRUE(m_dlg.isVisible());
  }
}

TEST_F(MeasureDlgTest, OpenCommandsOpenTheFirstSelectedRowsFile) {
  m_dlg.RunMeasurement();
  // Nothing selected: nothing opens and nothing is said.
  m_dlg.OnOpenOldFile();
  m_dlg.OnDblClkList();
  EXPECT_TRUE(m_launcher.opened.empty());
  EXPECT_TRUE(m_interaction.messages.empty());

  // Several selected: the first in display order, after a sort by name descending.
  m_dlg.OnColumnClickList(kColumnName);
  Select({"x.c", "z.c"});
  m_dlg.OnDblClkList();
  EXPECT_EQ(m_launcher.opened, (std::vector<QString>{In("new/z.c")}));
  // The folder the rows were measured from decides, not what the box says now, be it typed,
  // picked or a folder whose run failed; the next run's rows open from its folder.
  Select({"z.c"});
  m_dir.Write("elsewhere/z.c", "");
  CMeasureDlgProbe::NewFolderBox(m_dlg)->SetText(In("elsewhere"));
  m_dlg.OnOpenNewFile();
  EXPECT_EQ(m_launcher.opened.back(), In("new/z.c"));
  m_interaction.folderAnswer = In("old");
  m_dlg.OnBrowseNew();
  m_dlg.OnOpenNewFile();
  EXPECT_EQ(m_launcher.opened.back(), In("new/z.c"));
  CMeasureDlgProbe::NewFolderBox(m_dlg)->SetText(In("no such folder"));
  m_dlg.RunMeasurement();
  m_dlg.OnOpenNewFile();
  EXPECT_EQ(m_launcher.opened.back(), In("new/z.c"));
  CMeasureDlgProbe::NewFolderBox(m_dlg)->SetText(In("elsewhere"));
  m_dlg.RunMeasurement();
  Select({"z.c"});
  m_dlg.OnOpenNewFile();
  EXPECT_EQ(m_launcher.opened.back(), In("elsewhere/z.c"));
}

// A name that is not valid UTF-8 opens by the bytes the run read it by; no text holds it.
TEST_F(MeasureDlgTest, OpenCommandsOpenNamesThatAreNotTextByTheirBytes) {
  const std::string name = "caf\xE9-\xFF.c";  // Latin-1 bytes
  m_dir.Write("old/" + name, "a;\n");
  m_dir.Write("new/" + name, "b;\n");
  m_dlg.RunMeasurement();
  QItemSelectionModel* selection = CMeasureDlgProbe::List(m_dlg)->selectionModel();
  const std::vector<ResultRow>& rows = CMeasureDlgProbe::Rows(m_dlg)->Rows();
  const auto found = std::find_if(rows.begin(), rows.end(),
                                  [&](const ResultRow& row) { return row.newName == name; });
  ASSERT_NE(found, rows.end());
  selection->select(CMeasureDlgProbe::Rows(m_dlg)->index(int(found - rows.begin()), 0),
                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  m_dlg.OnOpenNewFile();
  m_dlg.OnOpenOldFile();
  EXPECT_TRUE(m_interaction.messages.empty());
  EXPECT_EQ(m_launcher.openedPaths,
            (std::vector<std::string>{(m_dir.path() / "new" / name).string(),
                                      (m_dir.path() / "old" / name).string()}));
}

TEST_F(MeasureDlgTest, OpeningAMissingFileOrAFailedStartIsReported) {
  m_dlg.RunMeasurement();
  Select({"y.c"});
  m_dlg.OnOpenNewFile();
  EXPECT_TRUE(m_launcher.opened.empty());
  EXPECT_EQ(Messages(), QStringList({In("new/y.c") + QStringLiteral(" が見つかりません。")}));

  m_interaction.messages.clear();
  m_launcher.succeeds = false;
  m_dlg.OnOpenOldFile();
  EXPECT_EQ(Messages(), QStringList({In("old/y.c") + QStringLiteral(" を開けません。")}));

  // An empty folder text opens nothing, even with a file of that name in the current
  // directory.
  m_interaction.messages.clear();
  CMeasureDlgProbe::NewFolderBox(m_dlg)->SetText(QString());
  m_dlg.RunMeasurement();
  Select({"x.c"});
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(m_dir.path() / "old");
  m_dlg.OnOpenNewFile();
  std::filesystem::current_path(before);
  EXPECT_EQ(m_launcher.opened, (std::vector<QString>{In("old/y.c")}));
  EXPECT_EQ(Messages(), Texts({"x.c が見つかりません。"}));
}

// The report lines as text; the fixed words are code page 932 bytes.
std::vector<std::string> ReportLines(const std::filesystem::path& path) {
  const std::string bytes = testing::ReadFileBytes(path);
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(bytes.substr(start, end - start));
  }
  EXPECT_EQ(start, bytes.size()) << "the last line must end in CR LF";
  return lines;
}

TEST_F(MeasureDlgTest, SaveWritesTheTableAsShownAndKeepsTheEarlierReportOnFailure) {
  m_dlg.RunMeasurement();
  m_dlg.OnColumnClickList(kColumnDeleted);
  Select({"z.c"});
  m_dlg.UpdateTotalsFromSelection();
  CMeasureDlgProbe::OldFolderBox(m_dlg)->SetText(QStringLiteral("typed later"));

  // A cancelled save dialog writes nothing.
  m_dlg.SaveReport();
  const std::filesystem::path report = m_dir.path() / "report.csv";
  m_interaction.reportPath = Native(report);
  m_dlg.SaveReport();
  EXPECT_TRUE(m_interaction.messages.empty());
  // The dialog opens where it likes until a report is saved, then in that report's folder.
  m_dlg.SaveReport();
  EXPECT_EQ(m_interaction.reportFolders,
            (std::vector<QString>{QString(), QString(),
                                  QDir::fromNativeSeparators(Native(m_dir.path()))}));

  const std::vector<std::string> lines = ReportLines(report);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0].size(), 17u);  // MM/DD/YY HH:MM:SS
  // The folders the rows were measured from, not the box's later text.
  EXPECT_EQ(lines[1], "\x8B\x8C\x83\x74\x83\x48\x83\x8B\x83\x5F," + In("old").toStdString());
  EXPECT_EQ(lines[2], "\x90\x56\x83\x74\x83\x48\x83\x8B\x83\x5F," + In("new").toStdString());
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4],
            ",\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC,\x92\xC7\x89\xC1,\x8D\xED\x8F\x9C,LOC");
  EXPECT_EQ(lines[5], "-,y.c,0,2,0");
  EXPECT_EQ(lines[6], ",x.c,2,1,3");
  EXPECT_EQ(lines[7], "+,z.c,1,0,1");
  EXPECT_EQ(lines[8], "Total,1 (+1/-0),1,0,1");

  // A report that cannot be created is reported and leaves nothing behind.
  const QString uncreatable = In("no-such-folder/report.csv");
  EXPECT_FALSE(m_dlg.SaveReportTo(uncreatable));
  ASSERT_EQ(m_interaction.messages.size(), 1u);
  EXPECT_EQ(m_interaction.messages[0].first, MessageIcon::kCritical);
  EXPECT_TRUE(Messages()[0].startsWith(uncreatable + QStringLiteral(" を作成できません。")))
      << Messages()[0].toStdString();
  EXPECT_FALSE(std::filesystem::exists(m_dir.path() / "no-such-folder"));

  // A write that fails on a full disk keeps the earlier report and leaves no temporary file.
  m_interaction.messages.clear();
  const std::string earlier = testing::ReadFileBytes(report);
  std::optional<testing::ScopedFileSizeLimit> limit(std::in_place, 40);
  EXPECT_FALSE(m_dlg.SaveReportTo(Native(report)));
  limit.reset();
  EXPECT_EQ(
      Messages(),
      QStringList({Native(report) + QStringLiteral(" へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。")}));
  EXPECT_EQ(testing::ReadFileBytes(report), earlier);
  for (const auto& entry : std::filesystem::directory_iterator(m_dir.path())) {
    EXPECT_EQ(entry.path().filename().string().rfind("report.csv.", 0), std::string::npos)
        << entry.path();
  }
}

// Escape in a folder box first closes what the box shows: the history list, or the
// completion of the typed text (which is dropped, so it is neither measured nor stored).
// Only then does it close the window.
TEST_F(MeasureDlgTest, EscapeInAFolderBoxClosesItsListOrCompletionFirst) {
  CHistoryCombo* box = CMeasureDlgProbe::OldFolderBox(m_dlg);
  box->LoadHistoryString(QStringLiteral("|/src/project-1.0|/src/other"));
  box->SetText(QString());
  m_dlg.show();
  FocusOn(box);
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("/src/pro"));
  ASSERT_EQ(box->GetText(), QStringLiteral("/src/project-1.0"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_TRUE(m_dlg.isVisible());
  EXPECT_EQ(box->GetText(), QStringLiteral("/src/pro"));
  EXPECT_FALSE(box->lineEdit()->hasSelectedText());

  box->showPopup();
  QWidget* popup = QApplication::activePopupWidget();
  ASSERT_NE(popup, nullptr);
  QTest::keyClick(popup->focusWidget() != nullptr ? popup->focusWidget() : popup, Qt::Key_Escape);
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_TRUE(m_dlg.isVisible());
  // The offscreen platform leaves the closed list's window active; a window manager would not.
  QApplication::setActiveWindow(&m_dlg);

  FocusOn(box);
  box->SetText(QStringLiteral("/src/pro"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_FALSE(m_dlg.isVisible());
  EXPECT_EQ(m_settings.value(QStringLiteral("Settings/OldFolder")).toString().section(u'|', 0, 0),
            QStringLiteral("/src/pro"));
}

// Whether a line edit shows its whole text: the text fits the area its style draws text in.
bool ShowsWholeText(const QLineEdit& edit) {
  constexpr int kSideMargin = 2;
  QStyleOptionFrame option;
  option.initFrom(&edit);
  option.lineWidth = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit);
  const QRect area = edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit);
  const QMargins margins = edit.textMargins();
  return edit.fontMetrics().horizontalAdvance(edit.text()) <=
         area.width() - margins.left() - margins.right() - 2 * kSideMargin;
}

// Totals of a whole large tree show whole, the boxes stand apart in their order, and with
// room they end where their columns end, also as the window grows.
TEST_F(MeasureDlgTest, TotalsShowWholeUnderTheirColumns) {
  m_dlg.OnInitDialog();
  m_dlg.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return CMeasureDlgProbe::StartUpRunDone(m_dlg); }));
  const std::array<int, 4> ids{kIdFileCount, kIdTotalAdded, kIdTotalDeleted, kIdTotalLoc};
  const auto edit = [&](int id) { return qobject_cast<QLineEdit*>(m_dlg.Control(id)); };
  const auto columnEnd = [&](int column) {
    const QTreeView* list = CMeasureDlgProbe::List(m_dlg);
    const int end =
        list->header()->sectionViewportPosition(column) + list->header()->sectionSize(column);
    return list->viewport()->mapTo(&m_dlg, QPoint(end, 0)).x();
  };
  for (const QSize grow : {QSize(0, 0), QSize(300, 40), QSize(900, 0)}) {
    m_dlg.resize(m_dlg.TemplateClientSize() + grow);
    for (const Summary& summary :
         {Summary{{}, "999999 (+999999/-999999)", {1999999999, 1999999999, 9999999999}},
          Summary{{}, "55458 (+120/-7)", {1234567, 7654321, 17307602}},
          Summary{{}, "1 (+0/-0)", {1, 2, 3}}}) {
      CMeasureDlgProbe::ShowSummary(m_dlg, summary);
      SCOPED_TRACE(summary.fileCountText + " in " + std::to_string(m_dlg.width()));
      EXPECT_EQ(edit(kIdTotalLoc)->text(), QString::number(summary.totals.loc));
      int right = m_dlg.Control(kIdTotalLabel)->geometry().right();
      for (int id : ids) {
        EXPECT_TRUE(ShowsWholeText(*edit(id))) << id;
        EXPECT_GT(edit(id)->x(), right) << id;
        right = edit(id)->geometry().right();
      }
      if (grow.width() >= 300) {
        EXPECT_LE(right, m_dlg.width());
      }
      if (grow.width() >= 300 && summary.totals.loc < 100) {
        EXPECT_EQ(edit(kIdTotalLoc)->geometry().right() + 1, columnEnd(kColumnLoc));
        EXPECT_EQ(edit(kIdTotalAdded)->geometry().right() + 1, columnEnd(kColumnAdded));
      }
    }
  }
  // A wider column takes its box along.
  CMeasureDlgProbe::List(m_dlg)->header()->resizeSection(kColumnName, 400);
  EXPECT_EQ(edit(kIdTotalLoc)->geometry().right() + 1, columnEnd(kColumnLoc));
}

// With no stored width, a tree run widens the name column to its longest path, as far as
// the list has room; a flat run, a stored width and a width the user set are kept.
TEST_F(MeasureDlgTest, TreeRunsFitTheNameColumnUnlessAWidthWasChosen) {
  const std::string deep = "src/drivers/network/ethernet/controllers/some_vendor/";
  m_dir.Write("old/" + deep + "a_rather_long_file_name.c", "a;\n");
  m_dir.Write("new/" + deep + "a_rather_long_file_name.c", "b;\n");
  QHeaderView* header = CMeasureDlgProbe::List(m_dlg)->header();
  m_dlg.OnInitDialog();
  m_dlg.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return CMeasureDlgProbe::StartUpRunDone(m_dlg); }));
  EXPECT_EQ(header->sectionSize(kColumnName), 140);
  CMeasureDlgProbe::OldFolderBox(m_dlg)->SetText(In("old"));
  CMeasureDlgProbe::NewFolderBox(m_dlg)->SetText(In("new"));
  m_dlg.RunMeasurement();
  EXPECT_EQ(header->sectionSize(kColumnName), 140);  // flat
  m_dlg.resize(m_dlg.TemplateClientSize() + QSize(500, 0));
  CMeasureDlgProbe::SubfoldersBox(m_dlg)->setChecked(true);
  m_dlg.RunMeasurement();
  const QString longest = QString::fromStdString(deep + "a_rather_long_file_name.c");
  const int needed = CMeasureDlgProbe::List(m_dlg)->fontMetrics().horizontalAdvance(longest);
  const int fitted = header->sectionSize(kColumnName);
  EXPECT_GT(fitted, needed);
  EXPECT_LT(fitted, needed + 40);

  // Not wider than the list's room.
  m_dlg.resize(m_dlg.TemplateClientSize());
  m_dlg.RunMeasurement();
  int others = 0;
  for (int column : {kColumnMarker, kColumnAdded, kColumnDeleted, kColumnLoc})
    others += header->sectionSize(column);
  EXPECT_LE(header->sectionSize(kColumnName),
            CMeasureDlgProbe::List(m_dlg)->viewport()->width() - others);

  // A width the user sets stays.
  header->resizeSection(kColumnName, 150);
  m_dlg.resize(m_dlg.TemplateClientSize() + QSize(500, 0));
  m_dlg.RunMeasurement();
  EXPECT_EQ(header->sectionSize(kColumnName), 150);

  // So does a stored one.
  m_settings.setValue(QStringLiteral("Settings/WindowInfo"),
                      QStringLiteral("900 500 20 160 60 60 60"));
  m_settings.setValue(QStringLiteral("Settings/Recursive"), QStringLiteral("1"));
  CMeasureDlg stored(m_settings, m_interaction, m_launcher);
  stored.OnInitDialog();
  stored.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return CMeasureDlgProbe::StartUpRunDone(stored); }));
  EXPECT_EQ(CMeasureDlgProbe::Rows(stored)->rowCount(), 0);  // the stored folders are empty
  CMeasureDlgProbe::OldFolderBox(stored)->SetText(In("old"));
  CMeasureDlgProbe::NewFolderBox(stored)->SetText(In("new"));
  stored.RunMeasurement();
  EXPECT_EQ(CMeasureDlgProbe::List(stored)->header()->sectionSize(kColumnName), 160);
}

TEST_F(MeasureDlgTest, EnterMeasuresAgainAndEscapeCloses) {
  m_dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_dlg));
  m_dlg.RunMeasurement();
  // Enter, typed in the folder box or on the window, reaches the default button.
  m_dir.Write("new/late.c", "l;\n");
  QTest::keyClick(CMeasureDlgProbe::OldFolderBox(m_dlg)->lineEdit(), Qt::Key_Return);
  EXPECT_TRUE(m_dlg.isVisible());
  EXPECT_EQ(CMeasureDlgProbe::Rows(m_dlg)->rowCount(), 4);
  m_dir.Write("new/later.c", "l;\n");
  QTest::keyClick(&m_dlg, Qt::Key_Enter);
  EXPECT_TRUE(m_dlg.isVisible());
  EXPECT_EQ(CMeasureDlgProbe::Rows(m_dlg)->rowCount(), 5);

  QTest::keyClick(&m_dlg, Qt::Key_Escape);
  EXPECT_FALSE(m_dlg.isVisible());
  EXPECT_EQ(m_dlg.result(), QDialog::Rejected);
}

// The stored size is the outer size whenever the window manager reported a frame at some
// time, however late; a window whose frame was never reported stores its own size.
TEST_F(MeasureDlgTest, StoredSizeIsTheOuterOneHoweverLateTheFrameIsReported) {
  const QSize frame(6, 30);
  const QSize templateSize = m_dlg.TemplateClientSize();
  struct Case {
    const char* name;
    const char* stored;  // WindowInfo, or none (the first start)
    bool frameAtShow;    // reported when the window shows
    bool frameLater;     // reported while the window is open
    bool frameAtClose;   // still reported when it closes
    QSize client;        // the client size while open
    QSize saved;
  };
  const char* stored = "700 500 20 200 60 60 70";
  for (const Case& c : {
           Case{"reported throughout", stored, true, true, true, {694, 470}, {700, 500}},
           Case{"reported late", stored, false, true, true, {694, 470}, {700, 500}},
           Case{"gone before closing", stored, true, true, false, {694, 470}, {700, 500}},
           Case{"only at closing", stored, false, false, true, {700, 500}, {706, 530}},
           Case{"never reported", stored, false, false, false, {700, 500}, {700, 500}},
           Case{"first start", nullptr, true, true, true, templateSize, templateSize + frame},
           Case{"first start, never reported", nullptr, false, false, false, templateSize,
                templateSize},
       }) {
    SCOPED_TRACE(c.name);
    if (c.stored) {
      m_settings.setValue(QStringLiteral("Settings/WindowInfo"), QString::fromLatin1(c.stored));
    } else {
      m_settings.remove(QStringLiteral("Settings/WindowInfo"));
    }
    QSize reported(0, 0);
    CMeasureDlg dialog(m_settings, m_interaction, m_launcher);
    dialog.SetFrameSource([&reported] { return reported; });
    dialog.OnInitDialog();
    if (c.frameAtShow) reported = frame;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    if (c.frameLater) {
      reported = frame;
      EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.size() == c.client; }, 2000));
    }
    EXPECT_EQ(dialog.size(), c.client);
    reported = c.frameAtClose ? frame : QSize(0, 0);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    ASSERT_FALSE(dialog.isVisible());
    const QStringList saved =
        m_settings.value(QStringLiteral("Settings/WindowInfo")).toString().split(u' ');
    ASSERT_EQ(saved.size(), 7);
    EXPECT_EQ(QSize(saved[0].toInt(), saved[1].toInt()), c.saved);
  }
}

TEST_F(MeasureDlgTest, SubfolderBoxSitsInTheButtonColumn) {
  QCheckBox* box = CMeasureDlgProbe::SubfoldersBox(m_dlg);
  EXPECT_EQ(m_dlg.Control(kIdSubfolders), box);
  EXPECT_EQ(box->text(), QStringLiteral("ｻﾌﾞﾌｫﾙﾀﾞ(&B)"));
  EXPECT_FALSE(box->isChecked());
  // Between the re-measure and the save button, overlapping no other control.
  const QRect measure = m_dlg.Control(kIdOk)->geometry();
  const QRect save = m_dlg.Control(kIdSave)->geometry();
  EXPECT_EQ(box->x(), measure.x());
  EXPECT_GT(box->y(), measure.bottom());
  EXPECT_LT(box->geometry().bottom(), save.top());
  // The whole caption shows, inside the window.
  EXPECT_GE(box->width(), box->sizeHint().width());
  EXPECT_LE(box->geometry().right(), m_dlg.TemplateClientSize().width() - 1);
  EXPECT_EQ(m_dlg.size(), m_dlg.TemplateClientSize());
  for (QWidget* other : m_dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (other != box && other->isVisibleTo(&m_dlg)) {
      EXPECT_FALSE(box->geometry().intersects(other->geometry()))
          << other->metaObject()->className();
    }
  }
}

// What the user sees: the key toggles the box and nothing is measured until Enter.
TEST_F(MeasureDlgTest, SubfolderKeyTogglesWithoutARunAndEnterMeasuresTheTrees) {
  m_dir.Write("old/sub/s.c", "a;\n");
  m_dir.Write("new/sub/s.c", "a;\nb;\n");
  m_dir.Write("new/sub/deeper/t.h", "#t\n");
  m_dlg.show();
  m_dlg.RunMeasurement();
  const QStringList flat = Texts({"x.c", "y.c", "z.c"});
  ASSERT_EQ(Column(kColumnName), flat);
  FocusOn(CMeasureDlgProbe::OldFolderBox(m_dlg));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_B, Qt::AltModifier);
  // The mnemonic clicks the box as a short animation; no run starts meanwhile.
  EXPECT_TRUE(QTest::qWaitFor([&] { return CMeasureDlgProbe::SubfoldersBox(m_dlg)->isChecked(); }));
  EXPECT_EQ(QApplication::focusWidget(), CMeasureDlgProbe::SubfoldersBox(m_dlg));
  EXPECT_EQ(Column(kColumnName), flat);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(Column(kColumnName), Texts({"x.c", "y.c", "z.c", "sub/s.c", "sub/deeper/t.h"}));
  EXPECT_EQ(Column(kColumnMarker), Texts({"", "-", "+", "", "+"}));
  EXPECT_EQ(CMeasureDlgProbe::FileCountText(m_dlg), QStringLiteral("4 (+2/-1)"));

  // Space on the focused box turns it off again; Enter in a folder box measures the flat
  // folders.
  FocusOn(CMeasureDlgProbe::SubfoldersBox(m_dlg));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  EXPECT_FALSE(CMeasureDlgProbe::SubfoldersBox(m_dlg)->isChecked());
  EXPECT_EQ(Column(kColumnName).size(), 5);
  FocusOn(CMeasureDlgProbe::NewFolderBox(m_dlg));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(Column(kColumnName), flat);
}

// Tab walks the button column top to bottom, then back to the first folder box.
TEST_F(MeasureDlgTest, TabWalksTheButtonColumnTopToBottom) {
  m_dlg.show();
  m_dlg.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dlg));
  m_dlg.Control(kIdOk)->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), m_dlg.Control(kIdOk));
  const auto focusAfter = [](Qt::Key key) {
    QTest::keyClick(QApplication::focusWidget(), key,
                    key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
    QWidget* focus = QApplication::focusWidget();
    // A folder box takes the focus in its line edit.
    return focus != nullptr && qobject_cast<CHistoryCombo*>(focus->parentWidget()) != nullptr
               ? focus->parentWidget()
               : focus;
  };
  EXPECT_EQ(focusAfter(Qt::Key_Tab), CMeasureDlgProbe::SubfoldersBox(m_dlg));
  EXPECT_EQ(focusAfter(Qt::Key_Tab), m_dlg.Control(kIdSave));
  EXPECT_EQ(focusAfter(Qt::Key_Tab), CMeasureDlgProbe::IgnoreFormatBox(m_dlg));
  EXPECT_EQ(focusAfter(Qt::Key_Tab), m_dlg.Control(kIdOptions));
  EXPECT_EQ(focusAfter(Qt::Key_Tab), CMeasureDlgProbe::OldFolderBox(m_dlg));
  EXPECT_EQ(focusAfter(Qt::Key_Backtab), m_dlg.Control(kIdOptions));
  EXPECT_EQ(focusAfter(Qt::Key_Backtab), CMeasureDlgProbe::IgnoreFormatBox(m_dlg));
  EXPECT_EQ(focusAfter(Qt::Key_Backtab), m_dlg.Control(kIdSave));
  EXPECT_EQ(focusAfter(Qt::Key_Backtab), CMeasureDlgProbe::SubfoldersBox(m_dlg));

  // The list follows the folder boxes; from it the menu key opens the row commands.
  CMeasureDlgProbe::NewFolderBox(m_dlg)->setFocus();
  EXPECT_EQ(focusAfter(Qt::Key_Tab), CMeasureDlgProbe::List(m_dlg));
  EXPECT_EQ(focusAfter(Qt::Key_Tab), m_dlg.Control(kIdBrowseOld));
  EXPECT_EQ(focusAfter(Qt::Key_Backtab), CMeasureDlgProbe::List(m_dlg));
  EXPECT_EQ(focusAfter(Qt::Key_Backtab), CMeasureDlgProbe::NewFolderBox(m_dlg));
}

TEST_F(MeasureDlgTest, IgnoreFormatBoxSitsBelowTheSaveButton) {
  QCheckBox* box = CMeasureDlgProbe::IgnoreFormatBox(m_dlg);
  EXPECT_EQ(m_dlg.Control(kIdIgnoreFormat), box);
  EXPECT_EQ(box->text(), QStringLiteral("書式を無視(&W)"));
  EXPECT_FALSE(box->isChecked());
  // In the button column under the save button, overlapping no other control.
  const QRect save = m_dlg.Control(kIdSave)->geometry();
  EXPECT_EQ(box->x(), CMeasureDlgProbe::SubfoldersBox(m_dlg)->x());
  EXPECT_GT(box->y(), save.bottom());
  EXPECT_LT(box->y() - save.bottom(), save.height());
  EXPECT_GE(box->width(), box->sizeHint().width());
  EXPECT_LE(box->geometry().right(), m_dlg.TemplateClientSize().width() - 1);
  EXPECT_LE(box->geometry().bottom(), m_dlg.Control(kIdList)->geometry().bottom());
  for (QWidget* other : m_dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (other != box && other->isVisibleTo(&m_dlg)) {
      EXPECT_FALSE(box->geometry().intersects(other->geometry()))
          << other->metaObject()->className();
    }
  }

  // A larger window keeps it with the button column, at its height.
  m_dlg.OnInitDialog();
  m_dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_dlg));
  const QRect before = box->geometry();
  m_dlg.resize(m_dlg.size() + QSize(120, 80));
  EXPECT_EQ(box->geometry(), before.translated(120, 0));
  EXPECT_EQ(box->x(), CMeasureDlgProbe::SubfoldersBox(m_dlg)->x());
}

// The rule each worker pairs by, as the measurements of a run see it.
class PairingSeen {
 public:
  FolderPairOpener Opener() {
    return testing::WorkspaceHookedFolderOpener(
        [this](const CatalogueEntry&, const PairWorkspace& workspace, const auto& measureForReal) {
          const std::lock_guard<std::mutex> lock(m_mutex);
          m_seen.push_back(workspace.pairing);
          return measureForReal();
        });
  }
  // The rules seen since the last call.
  std::vector<PairingRule> Take() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_seen, {});
  }

 private:
  std::mutex m_mutex;
  std::vector<PairingRule> m_seen;
};

// Alt+W and Space toggle the box without a run; the next run pairs statement units, and the
// rows are those of the run's measurements.
TEST_F(MeasureDlgTest, IgnoreFormatKeyTogglesWithoutARunAndTheNextRunPairsUnits) {
  PairingSeen seen;
  m_dlg.SetRunOptions(1, seen.Opener());
  QCheckBox* box = CMeasureDlgProbe::IgnoreFormatBox(m_dlg);
  m_dlg.show();
  m_dlg.RunMeasurement();
  const std::vector<PairingRule> lines(3, PairingRule::kLines);
  const std::vector<PairingRule> units(3, PairingRule::kStatementUnits);
  EXPECT_EQ(seen.Take(), lines);
  FocusOn(CMeasureDlgProbe::NewFolderBox(m_dlg));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return box->isChecked(); }));
  EXPECT_EQ(QApplication::focusWidget(), box);
  EXPECT_TRUE(seen.Take().empty());
  EXPECT_FALSE(CMeasureDlgProbe::SubfoldersBox(m_dlg)->isChecked());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(seen.Take(), units);
  EXPECT_EQ(Column(kColumnName), Texts({"x.c", "y.c", "z.c"}));
  EXPECT_EQ(TotalsRow(), Texts({"2 (+1/-1)", "3", "3", "4"}));

  // Space on the focused box turns it off; Enter in a folder box pairs lines again.
  FocusOn(box);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  EXPECT_FALSE(box->isChecked());
  EXPECT_TRUE(seen.Take().empty());
  FocusOn(CMeasureDlgProbe::OldFolderBox(m_dlg));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(seen.Take(), lines);

  // Both boxes together: the trees, by units.
  box->setChecked(true);
  CMeasureDlgProbe::SubfoldersBox(m_dlg)->setChecked(true);
  m_dir.Write("new/sub/s.c", "s;\n");
  m_dlg.RunMeasurement();
  EXPECT_EQ(seen.Take(), std::vector<PairingRule>(4, PairingRule::kStatementUnits));
  EXPECT_EQ(Column(kColumnName), Texts({"x.c", "y.c", "z.c", "sub/s.c"}));
}

// The stored box is restored before the start-up run, which therefore pairs units.
TEST_F(MeasureDlgTest, StartUpRunPairsAsTheStoredBoxSays) {
  for (const auto& [stored, rule] :
       {std::pair("1", PairingRule::kStatementUnits), std::pair("0", PairingRule::kLines)}) {
    SCOPED_TRACE(stored);
    m_settings.setValue(QStringLiteral("Settings/OldFolder"), In("old"));
    m_settings.setValue(QStringLiteral("Settings/NewFolder"), In("new"));
    m_settings.setValue(QStringLiteral("Settings/IgnoreFormat"), QString::fromLatin1(stored));
    PairingSeen seen;
    CMeasureDlg dialog(m_settings, m_interaction, m_launcher);
    dialog.SetRunOptions(1, seen.Opener());
    dialog.OnInitDialog();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return CMeasureDlgProbe::StartUpRunDone(dialog); }));
    EXPECT_EQ(CMeasureDlgProbe::IgnoreFormatBox(dialog)->isChecked(),
              rule == PairingRule::kStatementUnits);
    EXPECT_EQ(seen.Take(), std::vector<PairingRule>(3, rule));
  }
}

// Tree rows open each side's file under that side's own spelling of every folder and file.
TEST_F(MeasureDlgTest, OpenCommandsOnTreeRowsTakeEachSidesNamesOnDisk) {
  m_dir.Write("old/Sub/Inner/Deep.c", "a;\n");
  m_dir.Write("new/SUB/inner/DEEP.c", "b;\n");
  m_dir.Write("old/Sub/gone.c", "g;\n");
  CMeasureDlgProbe::SubfoldersBox(m_dlg)->setChecked(true);
  m_dlg.RunMeasurement();
  ASSERT_EQ(Column(kColumnName).mid(3), Texts({"Sub/gone.c", "Sub/Inner/Deep.c"}));

  Select({"Sub/Inner/Deep.c"});
  m_dlg.OnOpenOldFile();
  m_dlg.OnOpenNewFile();
  m_dlg.OnDblClkList();
  EXPECT_EQ(m_launcher.opened,
            (std::vector<QString>{In("old/Sub/Inner/Deep.c"), In("new/SUB/inner/DEEP.c"),
                                  In("new/SUB/inner/DEEP.c")}));
  EXPECT_TRUE(m_interaction.messages.empty());

  // A side without the file: the shown path, in whatever spelling that folder holds now.
  Select({"Sub/gone.c"});
  m_dlg.OnOpenNewFile();
  EXPECT_EQ(Messages(),
            QStringList({In("new/Sub/gone.c") + QStringLiteral(" が見つかりません。")}));
  m_dir.Write("new/sub/GONE.c", "");
  m_dlg.OnOpenNewFile();
  EXPECT_EQ(m_launcher.opened.back(), In("new/sub/GONE.c"));

  // The names on disk are the row's, whatever a folder holds under the shown name.
  m_dir.Write("old/a/b.c", "");
  m_dir.Write("new/a/b.c", "");
  m_dir.Write("new/c/d.c", "");
  CMeasureDlgProbe::Rows(m_dlg)->SetRows(
      {ResultRow{kInOld | kInNew, "a/b.c", {}, "a/b.c", "c/d.c"}});
  Select({"a/b.c"});
  m_dlg.OnOpenNewFile();
  m_dlg.OnOpenOldFile();
  EXPECT_EQ(m_launcher.opened.back(), In("old/a/b.c"));
  EXPECT_EQ(m_launcher.opened.end()[-2], In("new/c/d.c"));
}

TEST_F(MeasureDlgTest, BrowseButtonsPutThePickedFolderInTheirBox) {
  m_interaction.folderAnswer = QStringLiteral("/picked");
  QTest::mouseClick(qobject_cast<QPushButton*>(m_dlg.Control(kIdBrowseNew)), Qt::LeftButton);
  ASSERT_EQ(m_interaction.folderRequests.size(), 1u);
  EXPECT_EQ(m_interaction.folderRequests[0],
            (std::pair<QString, QString>(QStringLiteral("新フォルダ"), In("new"))));
  EXPECT_EQ(CMeasureDlgProbe::NewFolderBox(m_dlg)->GetText(), QStringLiteral("/picked"));
  EXPECT_EQ(CMeasureDlgProbe::NewFolderBox(m_dlg)->count(), 0);  // the history is not touched

  m_interaction.folderAnswer.reset();
  QTest::mouseClick(qobject_cast<QPushButton*>(m_dlg.Control(kIdBrowseOld)), Qt::LeftButton);
  EXPECT_EQ(m_interaction.folderRequests.back().first, QStringLiteral("旧フォルダ"));
  EXPECT_EQ(CMeasureDlgProbe::OldFolderBox(m_dlg)->GetText(), In("old"));
}

}  // namespace
}  // namespace quintrel
