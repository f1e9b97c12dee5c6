// The PHP page that runs the console's query on a MySQL server through mysqli and prints its
// result as an HTML table, with the columns and captions the user picked.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "export/core/classes.h"
#include "export/core/dataset.h"
#include "export/core/sqlnames.h"

namespace morvale {

// One entry of the field list: name=label; a checked entry is a column of the page, every entry
// a PHP variable.
struct TPHPField {
  std::string Name;
  std::string Label;
  bool Checked = true;
  bool operator==(const TPHPField&) const = default;
};
using TPHPFields = std::vector<TPHPField>;

// One checked entry per field of the dataset, FieldName=DisplayLabel, in field order; a second
// field of the same name gives no second entry.
TPHPFields PHPFieldsOf(const TDataSet& ds);
// The name an answer to "Введите имя поля" gives: its first word on the delimiters space and '='
// ("A B=C" gives "A"); empty when there is none.
std::string PHPEntryName(std::string_view answer);
// True when an entry of that name has a non-empty label: "Такое поле уже есть в списке".
bool PHPHasEntry(const TPHPFields& fields, std::string_view name);
// The label an edited caption stores: the trimmed answer, or the name when that is empty.
std::string PHPEditedLabel(std::string_view answer, std::string_view name);

struct TPHPPageSettings {
  std::string HostName = "localhost";  // the MySQL server's computer
  std::string CodePage;                // the page's charset; empty: the system code page
  // The SQL the console's query was written in: its quoted names ("my table") are quoted for
  // MySQL (`my table`) on the page, where a double-quoted text would be a string.
  TSqlNameDialect QueryDialect = TSqlNameDialect::MySQL;
};

// The page's lines. `sqlLines` are the console's lines (blank ones already dropped); an entry that
// names no field of `ds` reads as the empty text. Every SQL line is escaped for the double-quoted
// PHP string it goes into, its names quoted for MySQL; values are printed through
// htmlspecialchars.
TStringList BuildPHPPage(const TStringList& sqlLines, const TPHPFields& fields, const TDataSet& ds,
                         const TPHPPageSettings& settings = {});

// The text escaped for a double-quoted PHP string: '\\', '"' and '$' get a backslash.
std::string PHPQuoted(std::string_view text);

}  // namespace morvale
