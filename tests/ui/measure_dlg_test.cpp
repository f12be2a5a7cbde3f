#include "ui/measure_dlg.h"

#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTreeView>

#include "compare/row_order.h"
#include "engine/file_pair.h"
#include "support/temp_dir.h"
#include "ui/history_combo.h"
#include "ui/progress_dlg.h"
#include "ui/result_table_model.h"
#include "ui_fakes.h"

// Readable failure output for the texts compared below.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace quintrel {
namespace {

using testing::FakeInteraction;
using testing::FakeLauncher;
using testing::ScopedTempDir;

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
      : m_settings(Native(m_dir.path() / "settings.ini"), QSettings::IniFormat),
        m_dlg(m_settings, m_interaction, m_launcher) {
    m_dir.Write("old/x.c", "a;\nb;\n");
    m_dir.Write("old/y.c", "p; q;\n");
    m_dir.Write("new/x.c", "a;\nc;\nd;\n");
    m_dir.Write("new/z.c", "{\n");
    m_dlg.SetRunOptions(1, {});
    m_dlg.OldFolderBox()->SetText(OldFolder());
    m_dlg.NewFolderBox()->SetText(NewFolder());
  }

  QString OldFolder() const { return Native(m_dir.path() / "old"); }
  QString NewFolder() const { return Native(m_dir.path() / "new"); }

  QStringList Column(int column) const {
    QStringList texts;
    const ResultTableModel& rows = *m_dlg.Rows();
    for (int row = 0; row < rows.rowCount(); ++row) {
      texts.append(rows.data(rows.index(row, column), Qt::DisplayRole).toString());
    }
    return texts;
  }

  // What the totals row shows: file count, added, deleted, LOC.
  QStringList TotalsRow() const {
    return {m_dlg.ShownText(kIdFileCount), m_dlg.ShownText(kIdTotalAdded),
            m_dlg.ShownText(kIdTotalDeleted), m_dlg.ShownText(kIdTotalLoc)};
  }

  void SelectRows(std::initializer_list<int> rows) {
    QItemSelectionModel* selection = m_dlg.List()->selectionModel();
    selection->clearSelection();
    for (int row : rows) {
      selection->select(m_dlg.Rows()->index(row, 0),
                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }

  int RowOf(const QString& name) const {
    return static_cast<int>(Column(kColumnName).indexOf(name));
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

TEST_F(MeasureDlgTest, RunShowsRowsMarkersFileCountAndTotals) {
  m_dlg.RunMeasurement();
  EXPECT_EQ(Column(kColumnName),
            QStringList({QStringLiteral("x.c"), QStringLiteral("y.c"), QStringLiteral("z.c")}));
  EXPECT_EQ(Column(kColumnMarker),
            QStringList({QString(), QStringLiteral("-"), QStringLiteral("+")}));
  EXPECT_EQ(Column(kColumnAdded),
            QStringList({QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("1")}));
  EXPECT_EQ(Column(kColumnDeleted),
            QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("0")}));
  EXPECT_EQ(Column(kColumnLoc),
            QStringList({QStringLiteral("3"), QStringLiteral("0"), QStringLiteral("1")}));
  EXPECT_EQ(TotalsRow(), QStringList({QStringLiteral("2 (+1/-1)"), QStringLiteral("3"),
                                      QStringLiteral("3"), QStringLiteral("4")}));
  EXPECT_EQ(m_dlg.CurrentTotals(), (Totals{3, 3, 4}));
  EXPECT_TRUE(m_interaction.messages.empty());

  // A second run replaces the rows rather than adding to them.
  m_dir.Write("new/w.h", "#x\n");
  m_dlg.RunMeasurement();
  EXPECT_EQ(Column(kColumnName), QStringList({QStringLiteral("w.h"), QStringLiteral("x.c"),
                                              QStringLiteral("y.c"), QStringLiteral("z.c")}));
  EXPECT_EQ(TotalsRow(), QStringList({QStringLiteral("3 (+2/-1)"), QStringLiteral("4"),
                                      QStringLiteral("3"), QStringLiteral("5")}));
}

TEST_F(MeasureDlgTest, EmptyFolderTextsListNothing) {
  m_dlg.OldFolderBox()->SetText(QString());
  m_dlg.RunMeasurement();
  EXPECT_EQ(Column(kColumnMarker), QStringList({QStringLiteral("+"), QStringLiteral("+")}));
  EXPECT_EQ(m_dlg.FileCountText(), QStringLiteral("2 (+2/-0)"));

  m_dlg.NewFolderBox()->SetText(QString());
  m_dlg.RunMeasurement();
  EXPECT_EQ(m_dlg.Rows()->rowCount(), 0);
  EXPECT_EQ(TotalsRow(), QStringList({QStringLiteral("0 (+0/-0)"), QStringLiteral("0"),
                                      QStringLiteral("0"), QStringLiteral("0")}));
  EXPECT_TRUE(m_interaction.messages.empty());
}

TEST_F(MeasureDlgTest, CancelKeepsTheRowsMeasuredBeforeIt) {
  for (const char* name : {"a.c", "b.c", "c.c", "d.c"})
    m_dir.Write(std::string("new/") + name, "x;\n");
  // Seven files; the Cancel button of the progress window is pressed, on the window's own
  // thread, while the third one is being measured.
  int calls = 0;
  bool progressShown = false;
  m_dlg.SetRunOptions(1, [&](const std::string& oldFolder, const std::string& newFolder,
                             const CatalogueEntry& entry) {
    if (++calls == 3) {
      QMetaObject::invokeMethod(
          &m_dlg,
          [&] {
            auto* progress = m_dlg.findChild<CProgressDlg*>();
            ASSERT_NE(progress, nullptr);
            progressShown = progress->isVisible();
            QTest::mouseClick(progress->CancelButton(), Qt::LeftButton);
          },
          Qt::BlockingQueuedConnection);
    }
    return MeasureFilePair(oldFolder, newFolder, entry.oldName, entry.newName);
  });
  m_dlg.RunMeasurement();
  EXPECT_TRUE(progressShown);
  EXPECT_EQ(Column(kColumnName),
            QStringList({QStringLiteral("a.c"), QStringLiteral("b.c"), QStringLiteral("c.c")}));
  EXPECT_EQ(TotalsRow(), QStringList({QStringLiteral("3 (+3/-0)"), QStringLiteral("3"),
                                      QStringLiteral("0"), QStringLiteral("3")}));
  EXPECT_EQ(Messages(), QStringList({QStringLiteral("中断されました")}));
  EXPECT_EQ(m_dlg.findChild<CProgressDlg*>(), nullptr);
}

TEST_F(MeasureDlgTest, FolderErrorKeepsThePreviousRunAndSelectsTheBox) {
  m_dlg.show();
  m_dlg.RunMeasurement();
  const QStringList rowsBefore = Column(kColumnName);
  const QStringList totalsBefore = TotalsRow();
  const QString missing = Native(m_dir.path() / "missing");

  struct Case {
    CHistoryCombo* box;
    QString message;
  };
  for (const Case& c : {Case{m_dlg.OldFolderBox(), QStringLiteral("旧ﾌｫﾙﾀﾞを開けません")},
                        Case{m_dlg.NewFolderBox(), QStringLiteral("新ﾌｫﾙﾀﾞを開けません")}}) {
    SCOPED_TRACE(c.message.toStdString());
    m_interaction.messages.clear();
    m_dlg.List()->setFocus();
    c.box->SetText(missing);
    m_dlg.RunMeasurement();
    EXPECT_EQ(Messages(), QStringList({c.message}));
    EXPECT_EQ(Column(kColumnName), rowsBefore);
    EXPECT_EQ(TotalsRow(), totalsBefore);
    QWidget* focus = m_dlg.focusWidget();
    EXPECT_TRUE(focus == c.box || c.box->isAncestorOf(focus));
    EXPECT_EQ(c.box->lineEdit()->selectedText(), missing);
    c.box->SetText(c.box == m_dlg.OldFolderBox() ? OldFolder() : NewFolder());
  }
}

TEST_F(MeasureDlgTest, StartUpRunIsSilentAboutAMissingFolder) {
  m_settings.setValue(QStringLiteral("Settings/OldFolder"), Native(m_dir.path() / "missing"));
  m_settings.setValue(QStringLiteral("Settings/NewFolder"), NewFolder());
  m_dlg.OnInitDialog();
  EXPECT_TRUE(m_interaction.messages.empty());
  EXPECT_EQ(m_dlg.Rows()->rowCount(), 0);
  EXPECT_EQ(TotalsRow(), QStringList({QString(), QStringLiteral("0"), QStringLiteral("0"),
                                      QStringLiteral("0")}));
}

TEST_F(MeasureDlgTest, StartUpRunFillsTheListBeforeTheWindowShows) {
  m_settings.setValue(QStringLiteral("Settings/OldFolder"), OldFolder());
  m_settings.setValue(QStringLiteral("Settings/NewFolder"), NewFolder() + QStringLiteral("|/b"));
  m_dlg.OnInitDialog();
  EXPECT_FALSE(m_dlg.isVisible());
  EXPECT_EQ(m_dlg.Rows()->rowCount(), 3);
  EXPECT_EQ(m_dlg.FileCountText(), QStringLiteral("2 (+1/-1)"));
  EXPECT_EQ(m_dlg.NewFolderBox()->GetText(), NewFolder());
  EXPECT_EQ(m_dlg.NewFolderBox()->itemText(0), QStringLiteral("/b"));
}

TEST_F(MeasureDlgTest, HeaderClicksSortDescendingFirstThenAlternate) {
  m_dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_dlg));
  m_dlg.RunMeasurement();
  QHeaderView* header = m_dlg.List()->header();
  const auto click = [&](int column) {
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
  };

  click(kColumnName);
  EXPECT_EQ(Column(kColumnName),
            QStringList({QStringLiteral("z.c"), QStringLiteral("y.c"), QStringLiteral("x.c")}));
  click(kColumnName);
  EXPECT_EQ(Column(kColumnName),
            QStringList({QStringLiteral("x.c"), QStringLiteral("y.c"), QStringLiteral("z.c")}));

  // Every column keeps its own direction: the first click on "added" is descending too.
  click(kColumnAdded);
  EXPECT_EQ(Column(kColumnAdded),
            QStringList({QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("0")}));
  EXPECT_EQ(m_dlg.SortAscending(), (std::array<bool, 5>{false, false, true, false, false}));

  // Markers descending: "-", then "+", then the rows in both folders.
  click(kColumnMarker);
  EXPECT_EQ(Column(kColumnMarker),
            QStringList({QStringLiteral("-"), QStringLiteral("+"), QString()}));
  click(kColumnMarker);
  EXPECT_EQ(Column(kColumnMarker),
            QStringList({QString(), QStringLiteral("+"), QStringLiteral("-")}));

  // A new run keeps the directions, and sorting an empty list still flips its flag.
  m_dlg.NewFolderBox()->SetText(QString());
  m_dlg.OldFolderBox()->SetText(QString());
  m_dlg.RunMeasurement();
  click(kColumnLoc);
  EXPECT_EQ(m_dlg.SortAscending(), (std::array<bool, 5>{false, false, true, false, true}));
}

TEST_F(MeasureDlgTest, ContextMenuOffersFourCommandsInOrder) {
  const std::unique_ptr<QMenu> menu = m_dlg.CreateContextMenu();
  const QList<QAction*> actions = menu->actions();
  ASSERT_GE(actions.size(), 4);
  QStringList texts;
  for (int i = 0; i < 4; ++i) {
    texts.append(actions[i]->text());
    EXPECT_TRUE(actions[i]->isEnabled());
    EXPECT_FALSE(actions[i]->isCheckable());
  }
  EXPECT_EQ(texts, QStringList({QStringLiteral("選択部分でTotal更新(&U)"),
                                QStringLiteral("全てを選択(&A)"),
                                QStringLiteral("旧フォルダのファイルを開く(&1)"),
                                QStringLiteral("新フォルダのファイルを開く(&2)")}));
  // Any further item must leave each key choosing one command.
  QString keys;
  for (const QAction* action : actions) {
    const qsizetype amp = action->text().indexOf(u'&');
    if (amp < 0) continue;
    const QChar key = action->text().at(amp + 1).toUpper();
    EXPECT_FALSE(keys.contains(key)) << action->text().toStdString();
    keys += key;
  }

  // "Select all" then "total of the selection" gives the totals of the run.
  m_dlg.RunMeasurement();
  SelectRows({});
  actions[1]->trigger();
  EXPECT_EQ(m_dlg.List()->selectionModel()->selectedRows().size(), 3);
  actions[0]->trigger();
  EXPECT_EQ(TotalsRow(), QStringList({QStringLiteral("2 (+1/-1)"), QStringLiteral("3"),
                                      QStringLiteral("3"), QStringLiteral("4")}));

  SelectRows({RowOf(QStringLiteral("x.c"))});
  actions[2]->trigger();
  actions[3]->trigger();
  EXPECT_EQ(m_launcher.opened, (std::vector<QString>{Native(m_dir.path() / "old" / "x.c"),
                                                     Native(m_dir.path() / "new" / "x.c")}));
}

TEST_F(MeasureDlgTest, SelectionTotalsCountTheSelectedRowsOnly) {
  m_dlg.RunMeasurement();
  SelectRows({RowOf(QStringLiteral("y.c"))});
  m_dlg.UpdateTotalsFromSelection();
  EXPECT_EQ(TotalsRow(), QStringList({QStringLiteral("0 (+0/-1)"), QStringLiteral("0"),
                                      QStringLiteral("2"), QStringLiteral("0")}));

  // The same files give the same totals however the list is sorted.
  m_dlg.OnColumnClickList(kColumnLoc);
  SelectRows({RowOf(QStringLiteral("z.c")), RowOf(QStringLiteral("x.c"))});
  m_dlg.UpdateTotalsFromSelection();
  EXPECT_EQ(TotalsRow(), QStringList({QStringLiteral("2 (+1/-0)"), QStringLiteral("3"),
                                      QStringLiteral("1"), QStringLiteral("4")}));

  SelectRows({});
  m_dlg.UpdateTotalsFromSelection();
  EXPECT_EQ(TotalsRow(), QStringList({QStringLiteral("0 (+0/-0)"), QStringLiteral("0"),
                                      QStringLiteral("0"), QStringLiteral("0")}));
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
  SelectRows({RowOf(QStringLiteral("x.c")), RowOf(QStringLiteral("z.c"))});
  m_dlg.OnDblClkList();
  EXPECT_EQ(m_launcher.opened, (std::vector<QString>{Native(m_dir.path() / "new" / "z.c")}));

  // The box's present text decides the folder, not the folder of the last run.
  m_dir.Write("elsewhere/z.c", "");
  m_dlg.NewFolderBox()->SetText(Native(m_dir.path() / "elsewhere"));
  m_dlg.OnOpenNewFile();
  EXPECT_EQ(m_launcher.opened.back(), Native(m_dir.path() / "elsewhere" / "z.c"));
}

TEST_F(MeasureDlgTest, OpeningAMissingFileOrAFailedStartIsReported) {
  m_dlg.RunMeasurement();
  SelectRows({RowOf(QStringLiteral("y.c"))});
  m_dlg.OnOpenNewFile();
  EXPECT_TRUE(m_launcher.opened.empty());
  EXPECT_EQ(Messages(), QStringList({Native(m_dir.path() / "new" / "y.c") +
                                     QStringLiteral(" が見つかりません。")}));

  m_interaction.messages.clear();
  m_launcher.succeeds = false;
  m_dlg.OnOpenOldFile();
  EXPECT_EQ(Messages(), QStringList({Native(m_dir.path() / "old" / "y.c") +
                                     QStringLiteral(" を開けません。")}));
}

TEST_F(MeasureDlgTest, AnEmptyFolderTextOpensNothing) {
  m_dlg.RunMeasurement();
  SelectRows({RowOf(QStringLiteral("x.c"))});
  m_dlg.NewFolderBox()->SetText(QString());
  // Even with a file of that name in the current directory.
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(m_dir.path() / "old");
  m_dlg.OnOpenNewFile();
  std::filesystem::current_path(before);
  EXPECT_TRUE(m_launcher.opened.empty());
  EXPECT_EQ(Messages(), QStringList({QStringLiteral("x.c が見つかりません。")}));
}

TEST_F(MeasureDlgTest, OpensTheOtherFoldersSpellingOfAName) {
  m_dir.Write("old/Main.c", "x;\n");
  m_dir.Write("new/MAIN.c", "y;\n");
  m_dlg.RunMeasurement();
  SelectRows({RowOf(QStringLiteral("Main.c"))});
  m_dlg.OnOpenNewFile();
  EXPECT_EQ(m_launcher.opened, (std::vector<QString>{Native(m_dir.path() / "new" / "MAIN.c")}));
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

TEST_F(MeasureDlgTest, SaveWritesTheTableAsShown) {
  m_dlg.RunMeasurement();
  m_dlg.OnColumnClickList(kColumnDeleted);
  SelectRows({RowOf(QStringLiteral("z.c"))});
  m_dlg.UpdateTotalsFromSelection();
  m_dlg.OldFolderBox()->SetText(QStringLiteral("typed later"));

  // A cancelled save dialog writes nothing.
  m_dlg.SaveReport();
  const std::filesystem::path report = m_dir.path() / "report.csv";
  m_interaction.reportPath = Native(report);
  m_dlg.SaveReport();
  EXPECT_TRUE(m_interaction.messages.empty());

  const std::vector<std::string> lines = ReportLines(report);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0].size(), 17u);  // MM/DD/YY HH:MM:SS
  EXPECT_EQ(lines[1], "\x8B\x8C\x83\x74\x83\x48\x83\x8B\x83\x5F,typed later");
  EXPECT_EQ(lines[2], "\x90\x56\x83\x74\x83\x48\x83\x8B\x83\x5F," + NewFolder().toStdString());
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4],
            ",\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC,\x92\xC7\x89\xC1,\x8D\xED\x8F\x9C,LOC");
  EXPECT_EQ(lines[5], "-,y.c,0,2,0");
  EXPECT_EQ(lines[6], ",x.c,2,1,3");
  EXPECT_EQ(lines[7], "+,z.c,1,0,1");
  EXPECT_EQ(lines[8], "Total,1 (+1/-0),1,0,1");
}

TEST_F(MeasureDlgTest, SaveFailureToCreateIsShownAndWritesNothing) {
  m_dlg.RunMeasurement();
  const QString path = Native(m_dir.path() / "no-such-folder" / "report.csv");
  EXPECT_FALSE(m_dlg.SaveReportTo(path));
  ASSERT_EQ(m_interaction.messages.size(), 1u);
  EXPECT_EQ(m_interaction.messages[0].first, MessageIcon::kCritical);
  EXPECT_TRUE(
      m_interaction.messages[0].second.startsWith(path + QStringLiteral(" を作成できません。")))
      << m_interaction.messages[0].second.toStdString();
  EXPECT_FALSE(std::filesystem::exists(m_dir.path() / "no-such-folder"));
}

// Limits the size of files this process may write, as a full disk would; writes past the
// limit fail instead of raising the signal.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &m_saved);
    m_savedHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_saved;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_saved);
    signal(SIGXFSZ, m_savedHandler);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit m_saved{};
  sighandler_t m_savedHandler = SIG_DFL;
};

TEST_F(MeasureDlgTest, SaveFailureWhileWritingKeepsTheEarlierReport) {
  m_dlg.RunMeasurement();
  const std::filesystem::path report = m_dir.path() / "report.csv";
  ASSERT_TRUE(m_dlg.SaveReportTo(Native(report)));
  const std::string earlier = testing::ReadFileBytes(report);

  m_dir.Write("new/more.c", "m;\n");
  m_dlg.RunMeasurement();
  bool saved = true;
  {
    const FileSizeLimit limit(40);
    saved = m_dlg.SaveReportTo(Native(report));
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(
      Messages(),
      QStringList({Native(report) + QStringLiteral(" へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。")}));
  EXPECT_EQ(testing::ReadFileBytes(report), earlier);
  // No temporary file is left beside it.
  for (const auto& entry : std::filesystem::directory_iterator(m_dir.path())) {
    EXPECT_EQ(entry.path().filename().string().rfind("report.csv.", 0), std::string::npos)
        << entry.path();
  }
}

TEST_F(MeasureDlgTest, EnterMeasuresAgainAndEscapeClosesAndSaves) {
  m_dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_dlg));
  m_dlg.RunMeasurement();
  m_dir.Write("new/late.c", "l;\n");

  // Enter typed in the folder box reaches the default button.
  QTest::keyClick(m_dlg.OldFolderBox()->lineEdit(), Qt::Key_Return);
  EXPECT_TRUE(m_dlg.isVisible());
  EXPECT_EQ(m_dlg.Rows()->rowCount(), 4);
  m_dir.Write("new/later.c", "l;\n");
  QTest::keyClick(&m_dlg, Qt::Key_Enter);
  EXPECT_TRUE(m_dlg.isVisible());
  EXPECT_EQ(m_dlg.Rows()->rowCount(), 5);

  QTest::keyClick(&m_dlg, Qt::Key_Escape);
  EXPECT_FALSE(m_dlg.isVisible());
  EXPECT_EQ(m_dlg.result(), QDialog::Rejected);
  EXPECT_EQ(m_settings.value(QStringLiteral("Settings/NewFolder")).toString(), NewFolder());
  EXPECT_EQ(m_settings.value(QStringLiteral("Settings/WindowInfo")).toString().split(u' ').size(),
            7);
}

TEST_F(MeasureDlgTest, BrowseButtonsPutThePickedFolderInTheirBox) {
  m_interaction.folderAnswer = QStringLiteral("/picked");
  QTest::mouseClick(qobject_cast<QPushButton*>(m_dlg.Control(kIdBrowseNew)), Qt::LeftButton);
  ASSERT_EQ(m_interaction.folderRequests.size(), 1u);
  EXPECT_EQ(m_interaction.folderRequests[0],
            (std::pair<QString, QString>(QStringLiteral("新フォルダ"), NewFolder())));
  EXPECT_EQ(m_dlg.NewFolderBox()->GetText(), QStringLiteral("/picked"));
  EXPECT_EQ(m_dlg.NewFolderBox()->count(), 0);  // the history is not touched

  m_interaction.folderAnswer.reset();
  QTest::mouseClick(qobject_cast<QPushButton*>(m_dlg.Control(kIdBrowseOld)), Qt::LeftButton);
  EXPECT_EQ(m_interaction.folderRequests.back().first, QStringLiteral("旧フォルダ"));
  EXPECT_EQ(m_dlg.OldFolderBox()->GetText(), OldFolder());
}

}  // namespace
}  // namespace quintrel
