// The cost of only reading what quintrel-cli measures: lists both folders (or, with -r,
// both trees) the way a run does, then reads every listed file of both sides once, with one
// thread per core, each into a buffer it reuses from file to file. No measuring tool can
// be faster than this on the same folders, so benchmarks time it beside the tool.
//
//   quintrel_read_floor [-r] [--jobs N] OLD NEW
//
// Prints the number of files read and their bytes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "compare/listing/catalogue.h"
#include "compare/listing/folder_listing.h"
#include "compare/listing/folder_tree.h"
#include "compare/listing/scan_options.h"

namespace {

struct FloorOptions {
  quintrel::ScanOptions scan;
  unsigned jobs = 0;
  std::string oldFolder;
  std::string newFolder;
};

bool ParseArguments(int argc, char** argv, FloorOptions& options) {
  std::vector<std::string> folders;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "-r") {
      options.scan.recursive = true;
    } else if (argument == "--jobs" && i + 1 < argc) {
      options.jobs = static_cast<unsigned>(std::stoul(argv[++i]));
    } else {
      folders.push_back(argument);
    }
  }
  if (folders.size() != 2) return false;
  options.oldFolder = quintrel::ResolveFolderText(folders[0]);
  options.newFolder = quintrel::ResolveFolderText(folders[1]);
  return true;
}

bool ListCatalogue(const FloorOptions& options, quintrel::FileCatalogue& catalogue) {
  if (options.scan.recursive) {
    quintrel::TreeScan scan =
        quintrel::ScanTrees(options.oldFolder, options.newFolder, options.scan);
    catalogue = std::move(scan.catalogue);
    return scan.status == quintrel::TreeScanStatus::kListed;
  }
  std::vector<std::string> oldNames;
  std::vector<std::string> newNames;
  if (quintrel::ScanFolder(options.oldFolder, oldNames, options.scan.extensions) !=
          quintrel::ScanStatus::kListed ||
      quintrel::ScanFolder(options.newFolder, newNames, options.scan.extensions) !=
          quintrel::ScanStatus::kListed) {
    return false;
  }
  catalogue = quintrel::BuildCatalogue(oldNames, newNames);
  return true;
}

// Every file a run opens: the old side then the new side of each entry, as full paths.
std::vector<std::string> FilesToRead(const FloorOptions& options,
                                     const quintrel::FileCatalogue& catalogue) {
  const char separator = quintrel::TreePathSeparator();
  std::vector<std::string> paths;
  paths.reserve(catalogue.size() * 2);
  for (const quintrel::CatalogueEntry& entry : catalogue) {
    if (entry.flags & quintrel::kInOld)
      paths.push_back(options.oldFolder + separator + entry.oldName);
    if (entry.flags & quintrel::kInNew)
      paths.push_back(options.newFolder + separator + entry.newName);
  }
  return paths;
}

// A byte buffer that grows to the largest file seen and is never cleared or zero-filled.
class ReusedBuffer {
 public:
  // At least `size` bytes, of which the first `keep` are those held before.
  unsigned char* Reserve(std::size_t size, std::size_t keep = 0) {
    if (size > m_capacity) {
      m_capacity = std::max(size, m_capacity * 2);
      std::unique_ptr<unsigned char[]> larger(new unsigned char[m_capacity]);
      if (keep > 0) std::memcpy(larger.get(), m_bytes.get(), keep);
      m_bytes = std::move(larger);
    }
    return m_bytes.get();
  }

 private:
  std::unique_ptr<unsigned char[]> m_bytes;
  std::size_t m_capacity = 0;
};

// Reads the whole file into `buffer` (its size from fstat, then to the end); the bytes read,
// or -1 when it cannot be opened or read.
std::int64_t ReadWholeFile(const std::string& path, ReusedBuffer& buffer) {
  const int handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (handle < 0) return -1;
  struct stat info {};
  std::int64_t total = -1;
  if (::fstat(handle, &info) == 0) {
    std::size_t capacity = static_cast<std::size_t>(info.st_size) + 1;
    unsigned char* bytes = buffer.Reserve(capacity);
    std::size_t filled = 0;
    for (;;) {
      if (filled == capacity) {
        // The file grew past its reported size: keep reading into a larger buffer.
        capacity *= 2;
        bytes = buffer.Reserve(capacity, filled);
      }
      const ssize_t got = ::read(handle, bytes + filled, capacity - filled);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        total = got == 0 ? static_cast<std::int64_t>(filled) : -1;
        break;
      }
      filled += static_cast<std::size_t>(got);
    }
  }
  ::close(handle);
  return total;
}

struct FloorTotals {
  std::atomic<std::int64_t> files{0};
  std::atomic<std::int64_t> bytes{0};
  std::atomic<std::int64_t> failures{0};
};

void ReadShare(const std::vector<std::string>& paths, std::atomic<std::size_t>& next,
               FloorTotals& totals) {
  ReusedBuffer buffer;
  std::int64_t files = 0;
  std::int64_t bytes = 0;
  std::int64_t failures = 0;
  for (std::size_t i = next++; i < paths.size(); i = next++) {
    const std::int64_t read = ReadWholeFile(paths[i], buffer);
    if (read < 0) {
      ++failures;
    } else {
      ++files;
      bytes += read;
    }
  }
  totals.files += files;
  totals.bytes += bytes;
  totals.failures += failures;
}

}  // namespace

int main(int argc, char** argv) {
  FloorOptions options;
  if (!ParseArguments(argc, argv, options)) {
    std::fprintf(stderr, "usage: %s [-r] [--jobs N] OLD NEW\n", argv[0]);
    return 2;
  }
  quintrel::FileCatalogue catalogue;
  if (!ListCatalogue(options, catalogue)) {
    std::fprintf(stderr, "cannot open a folder\n");
    return 2;
  }
  const std::vector<std::string> paths = FilesToRead(options, catalogue);
  const unsigned jobs =
      options.jobs ? options.jobs : std::max(1u, std::thread::hardware_concurrency());

  FloorTotals totals;
  std::atomic<std::size_t> next{0};
  std::vector<std::thread> workers;
  for (unsigned i = 0; i < jobs; ++i) {
    workers.emplace_back(ReadShare, std::cref(paths), std::ref(next), std::ref(totals));
  }
  for (std::thread& worker : workers) worker.join();

  std::printf("%lld files, %lld bytes read\n", static_cast<long long>(totals.files.load()),
              static_cast<long long>(totals.bytes.load()));
  if (totals.failures.load() > 0) {
    std::fprintf(stderr, "%lld files could not be read\n",
                 static_cast<long long>(totals.failures.load()));
    return 1;
  }
  return 0;
}
