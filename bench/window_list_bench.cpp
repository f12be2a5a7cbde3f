// The result list of the main window with a tree's worth of rows (60,000), on Qt's offscreen
// platform: filling the list, sorting by each column, selecting all, the selection's totals,
// and how long the window's event loop goes unanswered during a whole run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "ui/file_launcher.h"
#include "ui/history_combo.h"
#include "ui/measure_dlg.h"
#include "ui/result_table_model.h"
#include "ui/user_interaction.h"
#include "ui/window_probes.h"

namespace quintrel {
namespace {

using testing::CMeasureDlgProbe;

constexpr int kRows = 60'000;

class SilentInteraction : public UserInteraction {
 public:
  void ShowMessage(QWidget*, MessageIcon, const QString&) override {}
  std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString&) override {
    return std::nullopt;
  }
  std::optional<ReportChoice> ChooseReportPath(QWidget*, const QString&) override {
    return std::nullopt;
  }
};

class NoLauncher : public FileLauncher {
 public:
  bool Open(const std::string&) override { return true; }
};

// Rows as a tree gives them: 'folder/subfolder/file' names, every marker, spread numbers.
std::vector<ResultRow> SyntheticRows() {
  std::vector<ResultRow> rows;
  rows.reserve(kRows);
  for (int i = 0; i < kRows; ++i) {
    ResultRow row;
    row.flags = 1 + i % 3;
    row.name = "drivers/part" + std::to_string(i / 600) + "/sub" + std::to_string(i / 40 % 15) +
               "/file_" + std::to_string((i * 7919) % kRows) + (i % 2 ? ".c" : ".h");
    row.oldName = row.flags & kInOld ? row.name : std::string();
    row.newName = row.flags & kInNew ? row.name : std::string();
    row.result = {(i * 37) % 500, (i * 53) % 300, (i * 11) % 4000};
    rows.push_back(std::move(row));
  }
  return rows;
}

// One shown main window, as the program has it, kept for all benchmarks.
struct Window {
  Window()
      : settings(dir.filePath("bench.ini"), QSettings::IniFormat),
        dialog(settings, interaction, launcher) {
    dialog.SetRunOptions(0, MakeFolderPair);
    dialog.show();
    (void)QTest::qWaitForWindowExposed(&dialog);
  }
  QTemporaryDir dir;
  QSettings settings;
  SilentInteraction interaction;
  NoLauncher launcher;
  CMeasureDlg dialog;
};

Window& TheWindow() {
  static Window window;
  return window;
}

// Lets the list lay out and paint what it shows now.
void Settle(CMeasureDlg& dialog) {
  CMeasureDlgProbe::List(dialog)->viewport()->repaint();
  QCoreApplication::processEvents();
}

void BM_FillList(benchmark::State& state) {
  CMeasureDlg& dialog = TheWindow().dialog;
  const std::vector<ResultRow> rows = SyntheticRows();
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<ResultRow> copy = rows;
    CMeasureDlgProbe::Rows(dialog)->SetRows({});
    Settle(dialog);
    state.ResumeTiming();
    CMeasureDlgProbe::Rows(dialog)->SetRows(std::move(copy));
    Settle(dialog);
  }
}
BENCHMARK(BM_FillList)->Unit(benchmark::kMillisecond);

// Sorts by one column, with nothing selected (0) or every row selected (1).
void BM_SortColumn(benchmark::State& state) {
  CMeasureDlg& dialog = TheWindow().dialog;
  CMeasureDlgProbe::Rows(dialog)->SetRows(SyntheticRows());
  CMeasureDlgProbe::List(dialog)->clearSelection();
  if (state.range(1) != 0) dialog.OnSelectAll();
  Settle(dialog);
  for (auto _ : state) {
    dialog.OnColumnClickList(static_cast<int>(state.range(0)));
    Settle(dialog);
  }
}
BENCHMARK(BM_SortColumn)
    ->ArgsProduct({{kColumnMarker, kColumnName, kColumnAdded, kColumnDeleted, kColumnLoc}, {0, 1}})
    ->ArgNames({"column", "all_selected"})
    ->Unit(benchmark::kMillisecond);

void BM_SelectAll(benchmark::State& state) {
  CMeasureDlg& dialog = TheWindow().dialog;
  CMeasureDlgProbe::Rows(dialog)->SetRows(SyntheticRows());
  for (auto _ : state) {
    state.PauseTiming();
    CMeasureDlgProbe::List(dialog)->clearSelection();
    Settle(dialog);
    state.ResumeTiming();
    dialog.OnSelectAll();
    Settle(dialog);
  }
}
BENCHMARK(BM_SelectAll)->Unit(benchmark::kMillisecond);

void BM_SelectionTotal(benchmark::State& state) {
  CMeasureDlg& dialog = TheWindow().dialog;
  CMeasureDlgProbe::Rows(dialog)->SetRows(SyntheticRows());
  dialog.OnSelectAll();
  for (auto _ : state) {
    dialog.UpdateTotalsFromSelection();
    Settle(dialog);
  }
}
BENCHMARK(BM_SelectionTotal)->Unit(benchmark::kMillisecond);

// A whole run over two trees of 60,000 empty files (created once), with a timer of 5 ms
// on the window's thread: the longest gap between its ticks is the longest time the window
// leaves input unanswered.
void BM_RunLongestStall(benchmark::State& state) {
  static QTemporaryDir trees;
  static const bool made = [] {
    for (const char* side : {"old", "new"}) {
      for (int i = 0; i < kRows; ++i) {
        const std::filesystem::path folder = std::filesystem::path(trees.path().toStdString()) /
                                             side / ("d" + std::to_string(i / 500)) /
                                             ("s" + std::to_string(i / 50 % 10));
        if (i % 50 == 0) std::filesystem::create_directories(folder);
        std::ofstream(folder / ("f" + std::to_string(i) + ".c"));
      }
    }
    return true;
  }();
  (void)made;
  CMeasureDlg& dialog = TheWindow().dialog;
  CMeasureDlgProbe::OldFolderBox(dialog)->SetText(trees.filePath("old"));
  CMeasureDlgProbe::NewFolderBox(dialog)->SetText(trees.filePath("new"));
  CMeasureDlgProbe::SubfoldersBox(dialog)->setChecked(true);
  qint64 longest = 0;
  for (auto _ : state) {
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longest = std::max(longest, sinceTick.restart()); });
    ticker.start();
    sinceTick.start();
    dialog.RunMeasurement();
    Settle(dialog);
    longest = std::max(longest, sinceTick.elapsed());
  }
  state.counters["rows"] = CMeasureDlgProbe::Rows(dialog)->rowCount();
  state.counters["longest_stall_ms"] = static_cast<double>(longest);
}
BENCHMARK(BM_RunLongestStall)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace quintrel

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
