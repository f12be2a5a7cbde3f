// Every quintrel-cli example that README.md prints runs as printed: each "$ quintrel-cli ..."
// line of a code block is run from the top of the source tree, and what it writes to
// standard output and then standard error must be the lines that follow it. A --git example
// runs in a repository made for it, whose folder src holds examples/old at the tag v1.0 and
// examples/new at HEAD, as README.md says.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "run_cli.h"
#include "support/temp_dir.h"

namespace quintrel::testing {
namespace {

namespace fs = std::filesystem;

struct Example {
  std::string command;  // without the "$ "
  std::string output;
};

std::vector<Example> ReadmeExamples() {
  std::ifstream readme(fs::path(QUINTREL_SOURCE_DIR) / "README.md");
  std::vector<Example> examples;
  bool inBlock = false;
  Example* current = nullptr;
  for (std::string line; std::getline(readme, line);) {
    if (line.starts_with("```")) {
      inBlock = !inBlock;
      current = nullptr;
    } else if (inBlock && line.starts_with("$ ")) {
      current = nullptr;
      if (line.starts_with("$ quintrel-cli ")) {
        examples.push_back({line.substr(2), ""});
        current = &examples.back();
      }
    } else if (current != nullptr) {
      current->output += line + "\n";
    }
  }
  return examples;
}

// The words of a command as a POSIX shell splits them, for the quoting README uses.
std::vector<std::string> ShellWords(const std::string& command) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (char c : command) {
    if (quote != 0) {
      if (c == quote) {
        quote = 0;
      } else {
        word += c;
      }
    } else if (c == '\'' || c == '"') {
      quote = c;
      inWord = true;
    } else if (c == ' ') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

int Shell(const std::string& command) {
  return std::system(command.c_str());
}

// The repository the --git example describes.
void MakeExampleRepository(const fs::path& repo) {
  const std::string examples = (fs::path(QUINTREL_SOURCE_DIR) / "examples").string();
  const std::string git = "git -C '" + repo.string() + "' -c user.name=q -c user.email=q@q ";
  fs::create_directories(repo / "src");
  ASSERT_EQ(Shell("git init -q '" + repo.string() + "'"), 0);
  ASSERT_EQ(Shell("cp -R '" + examples + "/old/.' '" + (repo / "src").string() + "'"), 0);
  ASSERT_EQ(Shell(git + "add -A && " + git + "commit -qm old && " + git + "tag v1.0"), 0);
  ASSERT_EQ(Shell(git + "rm -rqf src && cp -R '" + examples + "/new' '" + (repo / "src").string() +
                  "' && " + git + "add -A && " + git + "commit -qm new"),
            0);
}

TEST(ReadmeExamplesTest, EveryExampleRunsAsPrinted) {
  const std::vector<Example> examples = ReadmeExamples();
  ASSERT_GE(examples.size(), 8u) << "README.md lost its examples";
  ScopedTempDir scratch;
  const fs::path repo = scratch.path() / "repo";
  MakeExampleRepository(repo);
  const fs::path before = fs::current_path();
  for (const Example& example : examples) {
    SCOPED_TRACE(example.command);
    std::vector<std::string> words = ShellWords(example.command);
    words.erase(words.begin());  // the program's name
    const bool git = std::find(words.begin(), words.end(), "--git") != words.end();
    fs::current_path(git ? repo : fs::path(QUINTREL_SOURCE_DIR));
    const CliOutcome outcome = RunQuintrelCli(words);
    fs::current_path(before);
    EXPECT_EQ(outcome.out + outcome.err, example.output);
  }
}

}  // namespace
}  // namespace quintrel::testing
