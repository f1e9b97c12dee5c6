// The formats other programs load: text exports in the encodings spreadsheet programs and other
// systems want, read back by Python and LibreOffice; JSON read by Python's json module; SQL scripts
// of the SQLite dialect loaded by the sqlite3 shell.
#include <gtest/gtest.h>

#include "export/core/codepage.h"
#include "tests/support/clirun.h"
#include "tests/support/demo.h"
#include "tests/support/readers.h"

namespace morvale {
namespace {

using test::Cli;
using test::Result;
using test::RunCommand;
using test::ShellQuote;

const char* kTables[] = {"customers", "products", "orders", "order_items"};

std::vector<std::string> Export(const std::string& table, const std::string& type,
                                const std::string& output) {
  return {"--db", "sqlite:" + test::DemoDatabase(), "--table", table, "--type", type, "-o", output};
}

std::string Py(const std::string& code, const std::vector<std::string>& args) {
  std::string cmd = test::Python() + " -c " + ShellQuote(code), out;
  for (const auto& a : args) cmd += " " + ShellQuote(a);
  int status = RunCommand(cmd + " 2>&1", out);
  return status == 0 ? out : "python failed: " + out;
}

// Every text type in every encoding, decoded by Python with that encoding, is the UTF-8 export.
TEST(CliEncoding, EachEncodingReadsBackAsTheUtf8Export) {
  std::string dir = test::FreshFolder("encodings");
  const struct {
    const char* name;
    const char* python;
  } encodings[] = {{"utf-8-bom", "utf-8-sig"}, {"utf-16le", "utf-16"}, {"windows-1251", "cp1251"}};
  // products: Latin and Cyrillic only, so windows-1251 can hold it.
  for (const char* type : {"txt", "csv", "dif", "slk", "sql", "html", "xml", "tex"}) {
    SCOPED_TRACE(type);
    std::string base = dir + type + ".utf-8";
    Result r = Cli([&] {
      auto a = Export("products", type, base);
      a.insert(a.end(), {"--encoding", "utf-8"});
      return a;
    }());
    ASSERT_EQ(r.status, 0) << r.err;
    for (const auto& e : encodings) {
      if (std::string(type) == "tex" && std::string(e.name) == "utf-16le") continue;
      std::string file = dir + type + "." + e.name;
      auto a = Export("products", type, file);
      a.insert(a.end(), {"--encoding", e.name});
      r = Cli(a);
      ASSERT_EQ(r.status, 0) << e.name << ": " << r.err;
      // The declarations name the encoding; the rest of the text is the same.
      EXPECT_EQ(Py(R"PY(
import sys
a = open(sys.argv[1], encoding='utf-8', newline='').read()
b = open(sys.argv[2], encoding=sys.argv[3], newline='').read()
for old, new in (('encoding="UTF-16" ', ''), ('encoding="windows-1251" ', ''),
                 ('encoding="UTF-8" ', ''), ('[cp1251]{inputenc}', '[utf8]{inputenc}')):
    b = b.replace(old, new)
print(a == b and 'Гайка' in b, b[:1] != '\ufeff')
)PY",
                   {base, file, e.python}),
                "True True\n")
          << e.name;
    }
  }
  // LaTeX cannot read UTF-16: refused before a file is written.
  Result r = Cli([&] {
    auto a = Export("products", "tex", dir + "p16.tex");
    a.insert(a.end(), {"--encoding", "utf-16le"});
    return a;
  }());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("UTF-16"), std::string::npos) << r.err;
  EXPECT_NE(Cli({"--type", "pdf", "--encoding", "utf-8", "--db", "x", "--table", "t", "-o", "x"})
                .err.find("--encoding does not apply to --type pdf"),
            std::string::npos);
  EXPECT_EQ(Cli({"--type", "csv", "--encoding", "koi8"}).status, 2);
}

// A character the encoding lacks is an error naming it and its value; no file is left.
TEST(CliEncoding, AnUnrepresentableCharacterIsAnErrorAndLeavesNoFile) {
  std::string dir = test::FreshFolder("unrepresentable");
  auto a = Export("customers", "csv", dir + "c.csv");
  a.insert(a.end(), {"--encoding", "windows-1251"});
  Result r = Cli(a);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("\"ü\" (U+00FC) in \""), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Müller"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("cannot be written in windows-1251"), std::string::npos) << r.err;
  std::string out;
  RunCommand("ls -A " + ShellQuote(dir), out);
  EXPECT_EQ(out, "");
}

// LibreOffice opens the CSV with a byte order mark told the separator only (as a user who
// skips the import dialog's character set): it finds the encoding from the mark, the first
// caption carries no mark and the Cyrillic text is intact.
TEST(CliEncoding, LibreOfficeOpensTheBomCsvWithCyrillicIntact) {
  std::string dir = test::FreshFolder("bom-csv");
  auto a = Export("products", "csv", dir + "p.csv");
  a.insert(a.end(), {"--encoding", "utf-8-bom", "--set", "CSVComma=,"});
  Result r = Cli(a);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string office =
      test::OfficeConvert(dir, "xlsx", dir + "p.csv", "--infilter=CSV:44,34");
  ASSERT_NE(office.rfind("ERROR", 0), 0u) << office;
  EXPECT_EQ(Py(R"PY(
import sys, openpyxl
d = sys.argv[1]
rows = list(openpyxl.load_workbook(d + 'p.xlsx').worksheets[0].values)
print(repr(rows[0][0]), [r[2] for r in rows if r[1] == 'NUT-M6'])
)PY",
               {dir}),
            "'id' ['Гайка M6']\n");
}

TEST(CliJson, ParsedByPythonEqualsTheRowsWithTheirTypes) {
  std::string dir = test::FreshFolder("json");
  for (const char* table : kTables) {
    SCOPED_TRACE(table);
    const std::string fields = test::DemoFields(table);
    for (const char* type : {"json", "jsonl"}) {
      auto a = Export(table, type, dir + table + "." + type);
      a.insert(a.end(), {"--fields", fields, "--locale", "ru_RU.UTF-8"});
      Result r = Cli(a);
      ASSERT_EQ(r.status, 0) << r.err;
      // The demo database keeps dates as ISO texts and Booleans as 0 and 1; the declared types
      // say which column is which.
      EXPECT_EQ(Py(R"PY(
import json, sqlite3, sys
db, table, path, lines = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4] == 'jsonl'
text = open(path, encoding='utf-8').read()
got = [json.loads(l) for l in text.splitlines()] if lines else json.loads(text)
con = sqlite3.connect(db)
decl = {r[1]: r[2].upper() for r in con.execute('PRAGMA table_info(%s)' % table)}
cur = con.execute('SELECT * FROM %s' % table)
names = [d[0] for d in cur.description]
rows = cur.fetchall()
bad = 0
for want, row in zip(rows, got):
    if list(row) != names:
        bad += 1
    for n, v in zip(names, want):
        g = row[n]
        t = decl[n]
        if v is None:
            ok = g is None
        elif t == 'BOOLEAN':
            ok = g is bool(v)
        elif t in ('DATETIME',):
            ok = g == v.replace(' ', 'T')
        elif isinstance(v, (int, float)) and not isinstance(g, bool):
            ok = type(g) in (int, float) and g == v
        else:
            ok = g == v
        if not ok:
            bad += 1
            print(n, repr(v), repr(g))
print(len(got) == len(rows), bad)
)PY",
                   {test::DemoDatabase(), table, dir + table + "." + type, type}),
                "True 0\n")
          << type;
    }
  }
}

// The script loads into the sqlite3 shell as it is and gives back the same rows, value by value
// (the shell's quote mode shows types: 200 and 200.0 differ).
TEST(CliSql, SQLiteDialectScriptsLoadIntoTheSqlite3Shell) {
  std::string dir = test::FreshFolder("sqlite-dialect");
  for (const char* table : kTables) {
    SCOPED_TRACE(table);
    std::string out;
    const std::string fields = test::DemoFields(table);
    std::string script = dir + table + ".sql";
    auto a = Export(table, "sql", script);
    a.insert(a.end(), {"--fields", fields, "--locale", "ru_RU.UTF-8", "--set",
                       "TableName=" + std::string(table), "--set", "CreateTable=true", "--set",
                       "CommitRecCount=3", "--set", "SQLDialect=sdSQLite"});
    Result r = Cli(a);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(test::ReadFile(script).find("BEGIN;\r\nINSERT"), std::string::npos);
    ASSERT_EQ(RunCommand("sqlite3 -bail " + ShellQuote(dir + "copy.db") + " < " +
                             ShellQuote(script) + " 2>&1",
                         out),
              0)
        << out;
    std::string want, got;
    std::string query = " 'SELECT * FROM " + std::string(table) + " ORDER BY rowid'";
    RunCommand("sqlite3 -cmd '.mode quote' " + ShellQuote(test::DemoDatabase()) + query, want);
    RunCommand("sqlite3 -cmd '.mode quote' " + ShellQuote(dir + "copy.db") + query, got);
    EXPECT_FALSE(want.empty());
    EXPECT_EQ(got, want);
  }
}

// The clipboard's text becomes bytes only on standard output (no display): there it is written
// in the encoding asked for, and a character the encoding lacks stops the run with nothing
// written. JSON is UTF-8 whatever is asked: UTF-8 is granted, anything else refused with why.
TEST(CliEncoding, ClipboardOutputAndJSON) {
  std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  auto clip = [](const std::string& where, const std::string& encoding) {
    return Cli({"--db", "sqlite:" + test::DemoDatabase(), "--sql",
                "SELECT id, name FROM customers WHERE " + where, "--type", "clipboard", "--set",
                "Separator=;", "--locale", "C", "--encoding", encoding});
  };
  Result r = clip("id < 3", "utf-16le");
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string utf8 = "id;name;\r\n1;Acme Tools Ltd;\r\n2;ООО \"Ромашка\";\r\n";
  EXPECT_EQ(r.out, "\xFF\xFE" + ConvertText(utf8, "UTF-8", "UTF-16LE"));
  r = clip("id < 3", "windows-1251");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, ConvertText(utf8, "UTF-8", "CP1251"));
  r = clip("id = 4", "windows-1251");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Müller"), std::string::npos) << r.err;
  if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);

  const std::string dir = test::FreshFolder("json-encoding");
  r = Cli(Export("customers", "json", dir + "plain.json"));
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* granted : {"utf-8", "UTF-8"}) {
    auto a = Export("customers", "json", dir + "utf8.json");
    a.insert(a.end(), {"--encoding", granted});
    r = Cli(a);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::ReadFile(dir + "utf8.json"), test::ReadFile(dir + "plain.json"));
  }
  for (const char* refused : {"utf-8-bom", "utf-16le", "windows-1251"}) {
    auto a = Export("customers", "jsonl", dir + "refused.jsonl");
    a.insert(a.end(), {"--encoding", refused});
    r = Cli(a);
    EXPECT_EQ(r.status, 2) << refused;
    EXPECT_NE(r.err.find(std::string("--encoding ") + refused +
                         " does not apply to --type jsonl: JSON is always written in UTF-8"),
              std::string::npos)
        << r.err;
  }
}

}  // namespace
}  // namespace morvale
