// The independent readers the tests compare with: python3-dbfread, unrtf and LibreOffice.
#pragma once

#include <string>

#include "tests/support/demo.h"

namespace morvale::test {

// The table as python3-dbfread reads it (see dbfdump.py); "ERROR ..." when it cannot.
inline std::string DbfRead(const std::string& table, const std::string& encoding = "utf-8") {
  std::string out;
  int status =
      RunCommand(Python() + " " + ShellQuote(MORVALE_SOURCE_DIR "/tests/support/dbfdump.py") + " " +
                     ShellQuote(table) + " " + encoding + " 2>&1",
                 out);
  return status == 0 ? out : "ERROR " + out;
}

// The text unrtf finds in a document: its HTML output without tags, entities decoded, blank runs
// collapsed. "ERROR ..." when unrtf fails.
inline std::string UnrtfText(const std::string& document) {
  std::string out;
  std::string html = document + ".html";
  int status = RunCommand("unrtf --html " + ShellQuote(document) + " 2>/dev/null >" +
                              ShellQuote(html) + " && " + Python() +
                              " -c \"import html,re,sys; t=re.sub(r'<[^>]*>',' ',sys.stdin.read());"
                              " print(' '.join(html.unescape(t).split()))\" <" +
                              ShellQuote(html),
                          out);
  return status == 0 ? out : "ERROR " + out;
}

// The script that converts a file with LibreOffice, retrying a start that converted nothing
// (tests/support/office-convert), for tests that call it from Python.
constexpr const char* kOfficeConvert = MORVALE_SOURCE_DIR "/tests/support/office-convert";

// LibreOffice's conversion of `file` into the folder `dir` with a --convert-to `filter`; `options`
// go before it. The path of the converted file, or "ERROR " and LibreOffice's messages.
inline std::string OfficeConvert(const std::string& dir, const std::string& filter,
                                 const std::string& file, const std::string& options = "") {
  std::string out;
  int status = RunCommand(ShellQuote(kOfficeConvert) + " " + ShellQuote(dir) + " " +
                              ShellQuote(filter) + " " + ShellQuote(file) + " " + options + " 2>&1",
                          out);
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return status == 0 ? out : "ERROR " + out;
}

}  // namespace morvale::test
