#include <clocale>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/program_arguments.h"
#include "cli/standard_error.h"
#include "cli/terminal_encoding.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  const std::vector<std::string> args = quintrel::ProgramArguments(argc, argv);
  quintrel::CliTerminal terminal;
  terminal.errIsTerminal = quintrel::StandardErrorIsTerminal();
  quintrel::StandardStreams streams;
  return quintrel::RunCli(args, quintrel::TerminalCodeset(), streams.Out(), streams.Err(),
                          terminal);
}
