#include <iostream>

#include "app/engine/qtconnection.h"
#include "cli/qtmetrics.h"
#include "cli/run.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // Column widths are measured with the fonts a spreadsheet program will show them in.
  morvale::cli::TQtTextMetrics metrics;
  morvale::SetTextMetrics(&metrics);
  morvale::SetQtApplicationMaker(&morvale::cli::EnsureGuiApplication);
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
