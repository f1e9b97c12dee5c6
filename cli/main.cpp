#include <iostream>

#include "cli/run.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  morvale::TFdStream out(1);
  int status = morvale::cli::RunCli(args, out, std::cerr);
  try {
    out.Flush();
  } catch (const std::exception& ex) {
    std::cerr << "morvale-export: " << ex.what() << "\n";
    return 1;
  }
  return status;
}
