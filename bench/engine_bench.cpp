// Micro-benchmarks of the engine's stages on synthetic C++ text. Run a Release build:
//   quintrel_engine_bench --benchmark_min_time=0.5
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/file_pair.h"
#include "engine/input_file.h"
#include "engine/line_matching.h"
#include "engine/source_loader.h"
#include "engine/statement_counter.h"
#include "engine/statement_counter_kernels.h"

namespace quintrel {
namespace {

// Plausible C++ lines: code, strings, comments, preprocessor lines and braces.
std::string SyntheticLine(std::mt19937& random, int number) {
  static const char* const kPatterns[] = {
      "    int value%d = Compute(%d, \"text;%d\");  // note: %d",
      "    for (std::size_t i = 0; i < items.size(); ++i) {",
      "    }",
      "#include \"module_%d.h\"",
      "    /* block comment %d: keep the old behaviour */",
      "    std::string name%d = table[%d].Name();",
      "    case %d: return Kind::kValue;",
      "",
      "void Function%d(const Options& options) {",
      "}",
      "    if (count > %d && !done) total += Weight(count, 'x');",
  };
  const char* pattern = kPatterns[random() % std::size(kPatterns)];
  char line[160];
  std::snprintf(line, sizeof line, pattern, number, number, number, number);
  return line;
}

std::string SyntheticText(std::size_t lines, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::string text;
  for (std::size_t i = 0; i < lines; ++i) {
    text += SyntheticLine(random, static_cast<int>(random() % 1000));
    text += '\n';
  }
  return text;
}

// Replaces, inserts or moves about one line in a hundred.
std::string ScatteredEdits(const std::string& text, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1) {
    lines.push_back(text.substr(start, lf + 1 - start));
  }
  std::string result;
  for (std::size_t at = 0; at < lines.size(); ++at) {
    switch (random() % 300) {
      case 0:
        lines[at] = "    edited();  // " + std::to_string(at) + "\n";
        break;
      case 1:
        result += "    inserted = true;\n";
        break;
      case 2:
        std::swap(lines[at], lines[random() % lines.size()]);
        break;
    }
    result += lines[at];
  }
  return result;
}

SourceText TextOf(const std::string& bytes) {
  SourceText text;
  text.bytes.assign(bytes.begin(), bytes.end());
  BuildLineTable(text.bytes, text.lines);
  return text;
}

class TempFiles {
 public:
  TempFiles() : m_dir(std::filesystem::temp_directory_path() / "quintrel-bench") {
    std::filesystem::create_directories(m_dir / "old");
    std::filesystem::create_directories(m_dir / "new");
  }
  ~TempFiles() { std::filesystem::remove_all(m_dir); }
  std::string Write(const std::string& relative, const std::string& bytes) const {
    std::ofstream(m_dir / relative, std::ios::binary) << bytes;
    return (m_dir / relative).string();
  }
  std::string Folder(const char* name) const { return (m_dir / name).string(); }

 private:
  std::filesystem::path m_dir;
};

std::string WithCrLf(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

// Baseline: what reading the same bytes costs, as `cat` would (reused 128 KiB buffer).
void BM_ReadOnly(benchmark::State& state) {
  TempFiles files;
  std::string text = SyntheticText(200'000, 1);
  std::string path = files.Write("old/a.cpp", text);
  std::vector<char> buffer(128 * 1024);
  for (auto _ : state) {
    int handle = ::open(path.c_str(), O_RDONLY);
    while (::read(handle, buffer.data(), buffer.size()) > 0) {
    }
    ::close(handle);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ReadOnly)->Unit(benchmark::kMillisecond);

// Open, read, translate and build the line table; arg 1 = CR LF line ends.
void BM_LoadSourceText(benchmark::State& state) {
  TempFiles files;
  std::string text = SyntheticText(200'000, 1);
  if (state.range(0) == 1) text = WithCrLf(text);
  std::string path = files.Write("old/a.cpp", text);
  for (auto _ : state) {
    std::optional<InputFile> file = InputFile::Open(path);
    SourceText loaded;
    LoadSourceText(*file, loaded);
    benchmark::DoNotOptimize(loaded.lines.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_LoadSourceText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BuildLineTable(benchmark::State& state) {
  std::string text = SyntheticText(200'000, 1);
  ByteBuffer bytes(text.begin(), text.end());
  LineTable lines;
  for (auto _ : state) {
    BuildLineTable(bytes, lines);
    benchmark::DoNotOptimize(lines.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_BuildLineTable)->Unit(benchmark::kMillisecond);

// Arg 1 = CR LF line ends, all translated.
void BM_TranslateTextMode(benchmark::State& state) {
  std::string text = SyntheticText(200'000, 1);
  if (state.range(0) == 1) text = WithCrLf(text);
  const ByteBuffer original(text.begin(), text.end());
  ByteBuffer bytes;
  for (auto _ : state) {
    state.PauseTiming();
    bytes = original;
    state.ResumeTiming();
    TranslateTextMode(bytes);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(original.size()));
}
BENCHMARK(BM_TranslateTextMode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// 200,000 lines against a copy with scattered edits; arg 1 = the first line also changed,
// so that no common prefix shortens the work.
void BM_PairLines(benchmark::State& state) {
  std::string oldBytes = SyntheticText(200'000, 1);
  std::string newBytes = ScatteredEdits(oldBytes, 2);
  if (state.range(0) == 1) newBytes.insert(0, "// changed first line\n");
  SourceText oldText = TextOf(oldBytes);
  SourceText newText = TextOf(newBytes);
  const LineTable oldLines = oldText.lines;
  const LineTable newLines = newText.lines;
  LineIndexMemory memory;  // reused, as a run's workers do
  for (auto _ : state) {
    state.PauseTiming();
    oldText.lines = oldLines;
    newText.lines = newLines;
    state.ResumeTiming();
    PairLines(oldText, newText, memory);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(oldLines.size()));
}
BENCHMARK(BM_PairLines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_CountStatements(benchmark::State& state) {
  SourceText text = TextOf(SyntheticText(200'000, 1));
  std::fill(text.lines.begin(), text.lines.end(), 1);
  for (auto _ : state) benchmark::DoNotOptimize(CountStatements(text));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.bytes.size()));
}
BENCHMARK(BM_CountStatements)->Unit(benchmark::kMillisecond);

// The same text through each kernel this processor offers (0 plain, 1 SSE2, 2 AVX2), as
// machines without the fastest one would count it.
void BM_CountStatementsKernel(benchmark::State& state) {
  const auto kernel = static_cast<CounterKernel>(state.range(0));
  const std::vector<CounterKernel> available = AvailableCounterKernels();
  if (std::find(available.begin(), available.end(), kernel) == available.end()) {
    state.SkipWithError("kernel not built or not supported here");
    return;
  }
  SourceText text = TextOf(SyntheticText(200'000, 1));
  std::fill(text.lines.begin(), text.lines.end(), 1);
  for (auto _ : state) benchmark::DoNotOptimize(CountStatementsWith(text, kernel));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.bytes.size()));
}
BENCHMARK(BM_CountStatementsKernel)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The C and C++ files directly under $QUINTREL_BENCH_C_DIR (not its subfolders), in name
// order, joined into one text; empty when the variable is unset.
std::string RealSourceText() {
  const char* dir = std::getenv("QUINTREL_BENCH_C_DIR");
  if (dir == nullptr) return {};
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string ext = entry.path().extension().string();
    if (entry.is_regular_file() && (ext == ".c" || ext == ".h" || ext == ".cc" || ext == ".cpp")) {
      paths.push_back(entry.path());
    }
  }
  std::sort(paths.begin(), paths.end());
  std::string text;
  for (const auto& path : paths) {
    std::ifstream in(path, std::ios::binary);
    text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return text;
}

// Real code: comments, strings and escapes as they come, every line flagged 1 (arg 0) or
// one line in twenty flagged 0 (arg 1), so that the matched side changes often.
void BM_CountStatementsRealCode(benchmark::State& state) {
  static const std::string bytes = RealSourceText();
  if (bytes.empty()) {
    state.SkipWithError("set QUINTREL_BENCH_C_DIR to a folder of C sources");
    return;
  }
  SourceText text = TextOf(bytes);
  for (std::size_t i = 0; i < text.lines.size(); ++i) {
    text.lines[i] = state.range(0) == 1 && i % 20 == 7 ? 0 : 1;
  }
  for (auto _ : state) benchmark::DoNotOptimize(CountStatements(text));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.bytes.size()));
}
BENCHMARK(BM_CountStatementsRealCode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The whole measurement of one changed file; bytes counted are both versions.
void BM_MeasureFilePair(benchmark::State& state) {
  TempFiles files;
  std::string oldBytes = SyntheticText(200'000, 1);
  std::string newBytes = ScatteredEdits(oldBytes, 2);
  files.Write("old/a.cpp", oldBytes);
  files.Write("new/a.cpp", newBytes);
  FileResult result;
  for (auto _ : state) {
    PairWorkspace workspace;  // fresh memory each time, as for a run's first file
    result = MeasureFilePair(files.Folder("old"), files.Folder("new"), "a.cpp", "a.cpp", workspace);
    benchmark::DoNotOptimize(result);
  }
  state.counters["added"] = result.added;
  state.counters["deleted"] = result.deleted;
  state.counters["loc"] = result.loc;
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(oldBytes.size() + newBytes.size()));
}
BENCHMARK(BM_MeasureFilePair)->Unit(benchmark::kMillisecond);

// The names of the regular files in either of two folders, sorted, each once.
std::vector<std::string> NamesInEither(const std::string& oldFolder, const std::string& newFolder) {
  std::vector<std::string> names;
  for (const std::string& folder : {oldFolder, newFolder}) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    }
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

// A real pair of flat folders (QUINTREL_BENCH_OLD_DIR, QUINTREL_BENCH_NEW_DIR), every name
// measured on one workspace as one worker of a run does: pairing lines (arg 0) or statement
// units (arg 1). The page cache holds the files after the first round.
void BM_MeasureFolderPair(benchmark::State& state) {
  const char* oldFolder = std::getenv("QUINTREL_BENCH_OLD_DIR");
  const char* newFolder = std::getenv("QUINTREL_BENCH_NEW_DIR");
  if (oldFolder == nullptr || newFolder == nullptr) {
    state.SkipWithError("set QUINTREL_BENCH_OLD_DIR and QUINTREL_BENCH_NEW_DIR to two folders");
    return;
  }
  const std::vector<std::string> names = NamesInEither(oldFolder, newFolder);
  PairWorkspace workspace;
  workspace.pairing = state.range(0) == 0 ? PairingRule::kLines : PairingRule::kStatementUnits;
  FileResult total;
  std::uint64_t bytes = 0;
  for (auto _ : state) {
    total = FileResult{};
    bytes = 0;
    for (const std::string& name : names) {
      const FileResult result = MeasureFilePair(oldFolder, newFolder, name, name, workspace);
      total.added += result.added;
      total.deleted += result.deleted;
      total.loc += result.loc;
      bytes += workspace.loadedBytes;
    }
  }
  state.counters["files"] = static_cast<double>(names.size());
  state.counters["added"] = total.added;
  state.counters["deleted"] = total.deleted;
  state.counters["loc"] = total.loc;
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_MeasureFolderPair)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quintrel
