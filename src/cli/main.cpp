#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/standard_error.h"
#include "cli/terminal_encoding.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  std::vector<std::string> args(argv + 1, argv + argc);
  quintrel::CliTerminal terminal;
  terminal.errIsTerminal = quintrel::StandardErrorIsTerminal();
  return quintrel::RunCli(args, quintrel::TerminalCodeset(), std::cout, std::cerr, {}, terminal);
}
