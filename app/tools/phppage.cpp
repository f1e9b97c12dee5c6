#include "app/tools/phppage.h"

#include "app/engine/sqltext.h"
#include "app/helpers/helpers.h"
#include "export/core/codepage.h"

namespace morvale {

namespace {

// The page's names for the code page: the HTML charset, htmlspecialchars' encoding and the
// MySQL connection's character set.
struct TPageCharset {
  std::string Html, Php, MySQL;
};

TPageCharset PageCharset(const std::string& codePage) {
  std::string cp = UpperCaseAscii(codePage);
  if (cp == "UTF-8" || cp == "UTF8") return {"UTF-8", "UTF-8", "utf8mb4"};
  if (cp == "CP1251" || cp == "WINDOWS-1251") return {"windows-1251", "Windows-1251", "cp1251"};
  if (cp == "KOI8-R") return {"KOI8-R", "KOI8-R", "koi8r"};
  if (cp == "CP1252" || cp == "ISO-8859-1" || cp == "LATIN1")
    return {"ISO-8859-1", "ISO-8859-1", "latin1"};
  return {codePage, codePage, "utf8mb4"};
}

bool IsPHPLabel(std::string_view name) {
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
  for (unsigned char c : name)
    if (!(c == '_' || c >= 0x80 || (c >= '0' && c <= '9') ||
          ((c | 0x20) >= 'a' && (c | 0x20) <= 'z')))
      return false;
  return true;
}

// The PHP variable of an entry: "$_" + name, characters a variable cannot hold made '_'.
std::string VariableOf(std::string_view name) {
  std::string v = "$_";
  for (unsigned char c : name)
    v += (c == '_' || c >= 0x80 || (c >= '0' && c <= '9') ||
          ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'))
             ? static_cast<char>(c)
             : '_';
  return v;
}

// The row's property for a column: $_row->NAME, or $_row->{"NAME"} for a name that is not a
// PHP label (a space, a parenthesis, a leading digit).
std::string PropertyOf(std::string_view name) {
  if (IsPHPLabel(name)) return "$_row->" + std::string(name);
  return "$_row->{\"" + PHPQuoted(name) + "\"}";
}

// A caption shown as text inside a cell.
std::string HtmlText(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

class TPageBuilder {
 public:
  explicit TPageBuilder(TStringList& lines) : lines_(lines) {}
  TPageBuilder& operator()(std::string line) {
    lines_.Add(std::move(line));
    return *this;
  }

 private:
  TStringList& lines_;
};

void Head(TPageBuilder& add, const TPageCharset& cs) {
  add("")("<html>")("<head>");
  add("  <meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + cs.Html + "\">");
  add("  <meta name=\"GENERATOR\" content=\"Morvale\">")("  <title>Заголовок страницы</title>");
  add("</head>")("<body>")("")("<?php")("")("");
  add("global $_LinkMySQL; //ссылка на MySQL")("")("");
}

// The mysql_* functions left PHP in 7.0; these are their mysqli equivalents on the same link.
void ConnectFunctions(TPageBuilder& add, const TPageCharset& cs) {
  add("function Connect_to_MySQL_DB($hostName, $userName, $password, $DBname)");
  add("//Создать соединение с базой данных MySQL")("{")("  global $_LinkMySQL;")("  $Res=\"\";");
  add("  if ( $_LinkMySQL ) mysqli_close($_LinkMySQL);");
  add("  $_LinkMySQL = mysqli_connect($hostName, $userName, $password);");
  add("  if ( ! $_LinkMySQL ) die (\"  *** Err. No connect to MySQL: $hostName ***  \");");
  add("  $Res = mysqli_select_db($_LinkMySQL, $DBname);");
  add("  if ( ! $Res ) die (\"  *** Err. No connect to DB: $DBname ***  \");");
  add("  mysqli_set_charset($_LinkMySQL, \"" + cs.MySQL + "\");");
  add("  return $Res;")("}")("");
  add("function Disconnect_from_MySQL()")("//Разорвать соединение с MySQL")("{");
  add("  global $_LinkMySQL;")("  $Yes = 0;")("  if ( $_LinkMySQL )")("  {");
  add("    mysqli_close($_LinkMySQL);")("    $_LinkMySQL = \"\";")("    $Yes = 1;")("  }");
  add("  return $Yes;")("}")("")("")("");
  add("//===============================")("");
  // mysqli_query needs the link, which a function sees only through `global`.
  add("function OpenThisSQL($_SQL)")("{")("  global $_LinkMySQL;")("  $_ResQuery = \"\";");
  add("  if (strlen($_SQL)>0)")("  {")("     $_ResQuery = mysqli_query($_LinkMySQL, $_SQL);");
  add("  }")("  return $_ResQuery;")("}")("")("");
}

void TableHead(TPageBuilder& add, const TPHPFields& fields) {
  add("function ViewThisSQL_Result(");
  const std::string indent(28, ' ');
  for (const char* p :
       {"$_SQL,", "$borderT=\"1\",", "$FontSize=\"15px\",", "$bgcolorT_1=\"#FFFFE1\",",
        "$bgcolorT_2=\"#EFFFE1\",", "$bgcolorThead=\"Lime\",", "$bgcolorTdef=\"White\"", ")"})
    add(indent + p);
  add("{")("  $_Res = 0;")("");
  add("  print \"<p>\";")("  print \"<font size='4'color='black'>\";")("  print \"<b>\";");
  add("  print \"Здесь должен быть заголовок таблицы\";")("  print \"</b>\";");
  add("  print \"</font>\";")("  print \"</p>\";")("  print \"<hr>\";")("  print \"<br>\";")("");
  add("  $Tbl = \"<table \";");
  add("  $Tbl = $Tbl . \" border=$borderT cellpadding=0 cellspacing=0 bgcolor=$bgcolorTdef\";");
  add("  $Tbl = $Tbl . \" style='font-size: $FontSize '\";");
  add("  $Tbl = $Tbl . \" style='font-face: Arial, Helvetica, sans-serif'\";");
  add("  $Tbl = $Tbl . \">\\n\";")("  print $Tbl;")("  $Tbl = \"\";")("");
  add("  print \"<tr bgcolor=$bgcolorThead>\\n\";")("  $SHead = \"\";");
  // Block A: a caption cell per checked entry.
  for (const TPHPField& f : fields)
    if (f.Checked)
      add("  $SHead = $SHead . \"<td align='center'><b>" + PHPQuoted(HtmlText(f.Label)) +
          "</b></td>\";");
  add("  $SHead = $SHead . \"\\n\";")("  print $SHead;")("  print \"</tr>\\n\";");
  add("  $SHead = \"\";")("");
}

void TableRows(TPageBuilder& add, const TPHPFields& fields, const TDataSet& ds,
               const TPageCharset& cs) {
  add("  $_Trig = 1;")("  $_ResSQL = OpenThisSQL($_SQL);");
  add("  while ($_row = mysqli_fetch_object($_ResSQL))")("  {")("");
  // Block B: a variable per entry, the value escaped for the page; a NULL reads as "".
  for (const TPHPField& f : fields) {
    std::string var = VariableOf(f.Name);
    // The row's property carries the field's own spelling: PHP's property names heed case.
    if (const TField* field = ds.FindField(f.Name))
      add("    " + var + " = htmlspecialchars((string)" + PropertyOf(field->FieldName) +
          ", ENT_QUOTES, \"" + cs.Php + "\");");
    else
      add("    " + var + " = \"\";");
    add("    if (strlen(" + var + ")<=0) {" + var + "=\"&nbsp;\";}");
  }
  add("")("    $bgcolor = $bgcolorTdef;")("    $_Trig = $_Trig * (-1);")("    if ($_Trig>0)");
  add("    {")("       $bgcolor = $bgcolorT_1;")("    }")("    else")("    {");
  add("       $bgcolor = $bgcolorT_2;")("    }")("")("    print \"<tr bgcolor=$bgcolor>\\n\";");
  add("")("    $SHead = \"\";");
  // Block C: a value cell per checked entry.
  for (const TPHPField& f : fields)
    if (f.Checked)
      add("    $SHead = $SHead . \"<td align='left'>" + VariableOf(f.Name) + "</td>\";");
  add("    $SHead = $SHead . \"\\n\";")("    print $SHead;")("    print \"</tr>\\n\";");
  add("    $SHead = \"\";")("")("    $_Res = $_Res+1;")("")("  }");
  add("  mysqli_free_result($_ResSQL);")("")("  print \"</table>\\n\";")("")("  return $_Res;");
  add("}")("")("//===============================")("");
}

void Script(TPageBuilder& add, const TStringList& sqlLines, const TPHPPageSettings& settings) {
  add("//===============================")("//Соединение с соотв. базой данных MySQL, если надо");
  add("$hostName = \"" + PHPQuoted(settings.HostName) + "\"; //имя компьютера, где MySQL-сервер");
  add("$userName = \"root\";      //Имя Пользователя");
  add("$password = \"TocMur\";    //Пароль доступа");
  add("$DBname   = \"???\";       //Имя базы данных,для которой выполняется SQL-запрос");
  add("//Connect_to_MySQL_DB($hostName, $userName, $password, $DBname);")("");
  add("//===============================")("")("")("");
  add("//===============================")("$_SQL=\"\";");
  // Block D: the query line by line, each escaped for its double-quoted string. The names are
  // requoted in the whole text, where a quoted name may run over a line's end.
  TStringList sql;
  sql.SetText(RequoteSqlNames(sqlLines.Text(), settings.QueryDialect, TSqlNameDialect::MySQL));
  for (const std::string& line : sql) add("$_SQL=$_SQL . \"" + PHPQuoted(line) + " \";");
  add("")("")("$res=ViewThisSQL_Result($_SQL);")("//===============================");
  add("")("")("")("//===============================")("//Разорвать соединение с MySQL");
  add("//Disconnect_from_MySQL();")("//===============================")("")("")("?>")("");
  add("</body>")("</html>");
}

}  // namespace

std::string PHPQuoted(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '"' || c == '$') out += '\\';
    out += c;
  }
  return out;
}

TPHPFields PHPFieldsOf(const TDataSet& ds) {
  TPHPFields fields;
  for (int i = 0; i < ds.FieldCount(); ++i) {
    const TField& f = ds.Fields(i);
    bool seen = false;
    for (const TPHPField& e : fields) seen = seen || SameText(e.Name, f.FieldName);
    if (!seen) fields.push_back({f.FieldName, f.GetDisplayLabel(), true});
  }
  return fields;
}

std::string PHPEntryName(std::string_view answer) {
  return TrimSpaces(WordAt(CharSet(" ="), TrimSpaces(answer), 1));
}

bool PHPHasEntry(const TPHPFields& fields, std::string_view name) {
  for (const TPHPField& f : fields)
    if (SameText(f.Name, name) && !f.Label.empty()) return true;
  return false;
}

std::string PHPEditedLabel(std::string_view answer, std::string_view name) {
  std::string label = TrimSpaces(answer);
  return label.empty() ? std::string(name) : label;
}

TStringList BuildPHPPage(const TStringList& sqlLines, const TPHPFields& fields, const TDataSet& ds,
                         const TPHPPageSettings& settings) {
  TStringList lines;
  TPageBuilder add(lines);
  const TPageCharset cs =
      PageCharset(settings.CodePage.empty() ? SystemCodePage() : settings.CodePage);
  Head(add, cs);
  ConnectFunctions(add, cs);
  TableHead(add, fields);
  TableRows(add, fields, ds, cs);
  Script(add, sqlLines, settings);
  return lines;
}

}  // namespace morvale
