// Paths and helpers shared by tests that work on files: the demo database (made on first use),
// a fresh temporary folder, whole-file reading, and running Debian's own readers.
#pragma once

#include <string>
#include <vector>

namespace morvale::test {

// The demo SQLite database, made from samples/demo.sql into the build folder on first use.
const std::string& DemoDatabase();
// The columns of a table of the demo database, comma-separated, in their order (memo columns are
// exported only when named).
std::string DemoFields(const std::string& table);
// The command line that reads every column of a demo table with numbers and dates in plain,
// locale-free forms, so that two types' exports of it can be compared value by value; the type
// and the output are the caller's.
std::vector<std::string> DemoPlainArgs(const std::string& table);
// A new empty folder under the test temporary folder, ending in '/'.
std::string FreshFolder(const std::string& name);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);
// Runs a shell command; returns its exit status and puts its standard output in `out`.
int RunCommand(const std::string& command, std::string& out);
// Debian's python3 (with its csv, xlrd, olefile and dbfread modules), whatever is first on PATH.
std::string Python();
// Quotes a text for /bin/sh.
std::string ShellQuote(const std::string& s);

}  // namespace morvale::test
