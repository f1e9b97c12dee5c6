// The independent readers the dBASE and RTF tests compare with: python3-dbfread and unrtf.
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

}  // namespace morvale::test
