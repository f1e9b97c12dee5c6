#include "cli/jobs.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/engine/connect.h"
#include "app/engine/sourcesession.h"
#include "cli/cancel.h"
#include "cli/jobsmysql.h"
#include "export/core/outputfiles.h"
#include "export/core/parts.h"
#include "export/core/sha256.h"

extern char** environ;

namespace morvale::cli {

// ---- the query ------------------------------------------------------------------------------

namespace {

struct TToken {
  std::string Word;  // lower case; empty for anything but a bare word
  char Symbol = 0;   // '(', ')', ',' or ';' at this token
  size_t Begin = 0, End = 0;
  int Depth = 0;  // parentheses around it
};

// The words and the punctuation that matter of a SQL text; quoted texts, quoted names and
// comments are passed over whole.
std::vector<TToken> Tokens(const std::string& sql) {
  std::vector<TToken> tokens;
  int depth = 0;
  size_t i = 0;
  while (i < sql.size()) {
    const char c = sql[i];
    if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
      i = sql.find('\n', i);
      if (i == std::string::npos) break;
    } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
      i = sql.find("*/", i + 2);
      i = i == std::string::npos ? sql.size() : i + 2;
    } else if (c == '\'' || c == '"' || c == '`' || c == '[') {
      const char close = c == '[' ? ']' : c;
      size_t j = i + 1;
      for (;;) {
        j = sql.find(close, j);
        if (j == std::string::npos) break;
        if (close != ']' && j + 1 < sql.size() && sql[j + 1] == close) {
          j += 2;
          continue;
        }
        break;
      }
      i = j == std::string::npos ? sql.size() : j + 1;
    } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      size_t j = i;
      while (j < sql.size() &&
             (std::isalnum(static_cast<unsigned char>(sql[j])) || sql[j] == '_' || sql[j] == '$'))
        ++j;
      TToken t{LowerCaseAscii(sql.substr(i, j - i)), 0, i, j, depth};
      tokens.push_back(t);
      i = j;
    } else {
      if (c == ')') --depth;
      if (c == '(' || c == ')' || c == ',' || c == ';') tokens.push_back({"", c, i, i + 1, depth});
      if (c == '(') ++depth;
      ++i;
    }
  }
  return tokens;
}

std::string Strip(std::string_view s) {
  while (!s.empty() && (std::isspace(static_cast<unsigned char>(s.front())))) s.remove_prefix(1);
  while (!s.empty() && (std::isspace(static_cast<unsigned char>(s.back())) || s.back() == ';'))
    s.remove_suffix(1);
  return std::string(s);
}

// A name as written without its quotes, in lower case unless it was quoted: how two spellings
// of one column compare.
std::string NameKey(std::string name) {
  name = Strip(name);
  if (name.size() >= 2 && (name.front() == '"' || name.front() == '`' || name.front() == '['))
    return name.substr(1, name.size() - 2);
  return LowerCaseAscii(name);
}

const std::set<std::string>& Aggregates() {
  static const std::set<std::string> names = {"count",
                                              "sum",
                                              "avg",
                                              "min",
                                              "max",
                                              "array_agg",
                                              "string_agg",
                                              "group_concat",
                                              "json_agg",
                                              "jsonb_agg",
                                              "bool_and",
                                              "bool_or",
                                              "every",
                                              "stddev",
                                              "variance",
                                              "total",
                                              "json_group_array",
                                              "xmlagg"};
  return names;
}

}  // namespace

TQueryShape ShapeOf(const std::string& text, const std::string& splitBy) {
  TQueryShape shape;
  const std::string sql = Strip(text);
  const std::vector<TToken> tokens = Tokens(sql);
  using K = TSplitReasonKind;
  auto refuse = [&shape](K kind, const std::string& word = "") {
    if (!shape.Why) shape.Why = {kind, "", word};
    return shape;
  };
  if (tokens.empty() || tokens[0].Word != "select")
    return refuse(!tokens.empty() && tokens[0].Word == "with" ? K::WithClause : K::NotSelect);
  size_t from = 0, where = 0, order = 0;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const TToken& t = tokens[i];
    const bool next = i + 1 < tokens.size();
    if (t.Symbol == ';') return refuse(K::ManyStatements);
    if (i > 0 && t.Word == "select") return refuse(K::Subquery);
    if (next && tokens[i + 1].Symbol == '(' && Aggregates().count(t.Word))
      return refuse(K::Aggregates, t.Word);
    if (t.Word == "over") return refuse(K::WindowFunctions);
    if (t.Depth > 0) continue;
    if (t.Word == "distinct" && i == 1) return refuse(K::Distinct);
    if (t.Word == "join") return refuse(K::Joins);
    if (t.Word == "group" || t.Word == "having") return refuse(K::Groups);
    if (t.Word == "limit" || t.Word == "offset" || t.Word == "fetch" || t.Word == "top")
      return refuse(K::Clause, UpperCaseAscii(t.Word));
    if (t.Word == "union" || t.Word == "intersect" || t.Word == "except")
      return refuse(K::Combines, UpperCaseAscii(t.Word));
    if (t.Word == "window" || t.Word == "for") return refuse(K::Clause, UpperCaseAscii(t.Word));
    if (t.Word == "from" && !from) from = i;
    if (t.Word == "where" && from && !where) where = i;
    if (t.Word == "order" && next && tokens[i + 1].Word == "by" && !order) order = i;
    if (t.Symbol == ',' && from && !where && !order) return refuse(K::Joins);
  }
  if (!from) return refuse(K::NoTable);
  const size_t fromEnd = where ? tokens[where].Begin : order ? tokens[order].Begin : sql.size();
  shape.Select = Strip(sql.substr(0, tokens[from].Begin));
  shape.From = Strip(sql.substr(tokens[from].End, fromEnd - tokens[from].End));
  if (shape.From.empty() || shape.From[0] == '(') return refuse(K::ReadsSubquery);
  // The table is the FROM clause up to its alias: up to a blank outside quotes.
  {
    size_t end = 0;
    char quote = 0;
    for (; end < shape.From.size(); ++end) {
      const char c = shape.From[end];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '`') {
        quote = c;
      } else if (c == '[') {
        quote = ']';
      } else if (std::isspace(static_cast<unsigned char>(c))) {
        break;
      }
    }
    shape.Table = shape.From.substr(0, end);
  }
  if (where)
    shape.Where = Strip(sql.substr(tokens[where].End,
                                   (order ? tokens[order].Begin : sql.size()) - tokens[where].End));
  if (order) {
    std::string sort = Strip(sql.substr(tokens[order + 1].End));
    std::string key = sort;
    if (LowerCaseAscii(key).ends_with(" asc")) key = Strip(key.substr(0, key.size() - 4));
    if (splitBy.empty()) return refuse(K::Sorted);
    if (NameKey(key) != NameKey(splitBy)) return refuse(K::SortedByOther);
    shape.OrderBy = sort;
  }
  return shape;
}

std::string RangeQuery(const TQueryShape& shape, const std::string& range) {
  std::string sql = shape.Select + "\nFROM " + shape.From;
  if (!range.empty() || !shape.Where.empty()) sql += "\nWHERE ";
  if (!shape.Where.empty()) sql += range.empty() ? shape.Where : "(" + shape.Where + ")";
  if (!shape.Where.empty() && !range.empty()) sql += " AND ";
  sql += range;
  if (!shape.OrderBy.empty()) sql += "\nORDER BY " + shape.OrderBy;
  return sql;
}

std::vector<int64_t> SplitPoints(int64_t low, int64_t high, int n) {
  std::vector<int64_t> points;
  const __int128 span = static_cast<__int128>(high) - low + 1;
  for (int k = 1; k < n; ++k) points.push_back(static_cast<int64_t>(low + span * k / n));
  return points;
}

// ---- the plan -------------------------------------------------------------------------------

namespace {

void AppendJson(std::string_view s, std::string& out) {
  out += '"';
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

// The little of JSON a plan is: objects, arrays, texts, numbers and the three words.
struct TJson {
  enum { Null, Bool, Number, Text, Array, Object } Kind = Null;
  std::string Value;               // a text, or a number or word as written
  std::vector<TJson> Items;        // an array's; an object's values
  std::vector<std::string> Names;  // an object's names, one per item
  const TJson* Get(const std::string& name) const {
    for (size_t i = 0; i < Names.size() && i < Items.size(); ++i)
      if (Names[i] == name) return &Items[i];
    return nullptr;
  }
};

class TJsonReader {
 public:
  explicit TJsonReader(const std::string& text) : s_(text) {}
  bool Read(TJson& v) {
    if (!Value(v, 0)) return false;
    Blank();
    return i_ == s_.size();
  }

 private:
  void Blank() {
    while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
  }
  bool Text(std::string& out) {
    if (i_ >= s_.size() || s_[i_] != '"') return false;
    for (++i_; i_ < s_.size(); ++i_) {
      char c = s_[i_];
      if (c == '"') {
        ++i_;
        return true;
      }
      if (c != '\\') {
        out += c;
        continue;
      }
      if (++i_ >= s_.size()) return false;
      switch (s_[i_]) {
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'u': {
          if (i_ + 4 >= s_.size()) return false;
          const unsigned code = std::stoul(s_.substr(i_ + 1, 4), nullptr, 16);
          i_ += 4;
          // Only what AppendJson writes: control characters. Others as UTF-8 all the same.
          if (code < 0x80) {
            out += static_cast<char>(code);
          } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
          } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
          }
          break;
        }
        default:
          out += s_[i_];
      }
    }
    return false;
  }
  bool Value(TJson& v, int depth) {
    if (depth > 20) return false;
    Blank();
    if (i_ >= s_.size()) return false;
    const char c = s_[i_];
    if (c == '"') {
      v.Kind = TJson::Text;
      return Text(v.Value);
    }
    if (c == '[' || c == '{') {
      const bool object = c == '{';
      v.Kind = object ? TJson::Object : TJson::Array;
      ++i_;
      Blank();
      if (i_ < s_.size() && s_[i_] == (object ? '}' : ']')) return ++i_, true;
      for (;;) {
        Blank();
        if (object) {
          std::string name;
          if (!Text(name)) return false;
          Blank();
          if (i_ >= s_.size() || s_[i_++] != ':') return false;
          v.Names.push_back(name);
          v.Items.emplace_back();
          if (!Value(v.Items.back(), depth + 1)) return false;
        } else {
          v.Items.emplace_back();
          if (!Value(v.Items.back(), depth + 1)) return false;
        }
        Blank();
        if (i_ >= s_.size()) return false;
        if (s_[i_] == ',') {
          ++i_;
          continue;
        }
        return s_[i_++] == (object ? '}' : ']');
      }
    }
    size_t j = i_;
    while (j < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[j])) || s_[j] == '-' ||
                             s_[j] == '+' || s_[j] == '.'))
      ++j;
    if (j == i_) return false;
    v.Value = s_.substr(i_, j - i_);
    v.Kind = v.Value == "null"                         ? TJson::Null
             : v.Value == "true" || v.Value == "false" ? TJson::Bool
                                                       : TJson::Number;
    i_ = j;
    return true;
  }
  const std::string& s_;
  size_t i_ = 0;
};

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&now, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return buf;
}

}  // namespace

std::string TPlan::Digest() const {
  TSha256 sha;
  auto add = [&sha](const std::string& s) {
    sha.Update(std::to_string(s.size()) + ":");
    sha.Update(s);
  };
  add("morvale plan 1");
  add(Server);
  add(Snapshot);
  add(Query);
  add(Type);
  add(Split);
  add(Joins ? "joins" : "files");
  add(Reports ? "reports" : "silent");
  for (const TPlanPart& p : Parts) {
    add(p.Query);
    add(p.Output);
  }
  return sha.FinalHex();
}

std::string TPlan::Json() const {
  std::string j = "{\n  \"morvale_plan\": 1,\n  \"id\": ";
  AppendJson(Id(), j);
  j += ",\n  \"digest\": ";
  AppendJson(Digest(), j);
  j += ",\n  \"created\": ";
  AppendJson(Created, j);
  j += ",\n  \"server\": ";
  AppendJson(Server, j);
  j += ",\n  \"snapshot\": ";
  AppendJson(Snapshot, j);
  j += ",\n  \"query\": ";
  AppendJson(Query, j);
  j += ",\n  \"type\": ";
  AppendJson(Type, j);
  j += ",\n  \"split\": ";
  AppendJson(Split, j);
  j += std::string(",\n  \"joins\": ") + (Joins ? "true" : "false");
  j += std::string(",\n  \"reports\": ") + (Reports ? "true" : "false") + ",\n  \"parts\": [";
  for (size_t i = 0; i < Parts.size(); ++i) {
    j += i ? ",\n    {\"part\": " : "\n    {\"part\": ";
    j += std::to_string(i + 1) + ", \"query\": ";
    AppendJson(Parts[i].Query, j);
    j += ", \"output\": ";
    AppendJson(Parts[i].Output, j);
    j += "}";
  }
  j += "\n  ]\n}\n";
  return j;
}

TPlan TPlan::FromJson(const std::string& text, const std::string& fileName) {
  TJson root;
  const auto damaged = [&fileName](const std::string& why) {
    return EUsageError("The plan file '" + fileName + "' " + why);
  };
  if (!TJsonReader(text).Read(root) || root.Kind != TJson::Object || !root.Get("morvale_plan"))
    throw damaged("is not a plan of morvale-export --plan");
  auto text_of = [&root](const char* name) {
    const TJson* v = root.Get(name);
    return v && v->Kind == TJson::Text ? v->Value : std::string();
  };
  TPlan plan;
  plan.Server = text_of("server");
  plan.Snapshot = text_of("snapshot");
  plan.Query = text_of("query");
  plan.Type = text_of("type");
  plan.Split = text_of("split");
  plan.Created = text_of("created");
  const TJson* joins = root.Get("joins");
  plan.Joins = joins && joins->Value == "true";
  const TJson* reports = root.Get("reports");
  plan.Reports = !reports || reports->Value == "true";
  if (const TJson* parts = root.Get("parts"))
    for (const TJson& p : parts->Items) {
      const TJson* q = p.Get("query");
      const TJson* o = p.Get("output");
      plan.Parts.push_back({q ? q->Value : "", o ? o->Value : ""});
    }
  if (plan.Digest() != text_of("digest"))
    throw damaged("was changed after --plan wrote it (its digest does not match): make a new plan");
  return plan;
}

bool TypeJoins(const std::string& type) {
  // Not txt: its columns are as wide as the widest value of the whole result, which no share
  // knows.
  static const char* const kinds[] = {"csv", "jsonl", "sql", "xml"};
  return std::any_of(std::begin(kinds), std::end(kinds),
                     [&type](const char* k) { return SameText(type, k); });
}

bool TypeSplitsIntoFiles(const std::string& type) {
  return SameText(type, "parquet") || SameText(type, "xlsx");
}

// ---- making a plan --------------------------------------------------------------------------

namespace {

std::string SqlLiteral(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

// The query of the command line, as the one-job export reads it.
std::string CommandQuery(const TCliOptions& o) {
  return o.Table.empty() ? o.Sql : TableQuery(o.Database, o.Table);
}

// SQLite's count of the changes made to the file (its header's bytes 24 to 27): a plan is stale
// once it has moved.
std::string SqliteChangeCounter(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char header[28] = {};
  if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return "";
  const uint32_t n =
      static_cast<uint32_t>(header[24]) << 24 | header[25] << 16 | header[26] << 8 | header[27];
  return "change counter " + std::to_string(n);
}

std::vector<std::string> KeyRanges(const std::string& key, int64_t low, int64_t high, int n,
                                   bool nullsLast) {
  const std::vector<int64_t> points = SplitPoints(low, high, n);
  std::vector<std::string> ranges;
  for (int k = 0; k < n; ++k) {
    std::string r;
    if (k > 0) r = key + " >= " + std::to_string(points[static_cast<size_t>(k - 1)]);
    if (k + 1 < n)
      r +=
          (r.empty() ? "" : " AND ") + key + " < " + std::to_string(points[static_cast<size_t>(k)]);
    // The rows whose key is NULL come last in a sort by the key, so the last part has them.
    if (k + 1 == n && nullsLast && n > 1) r = "(" + r + " OR " + key + " IS NULL)";
    ranges.push_back(r);
  }
  return ranges;
}

int64_t IntegerOf(const std::string& text, const std::string& what) {
  try {
    size_t used = 0;
    const long long v = std::stoll(text, &used);
    if (used == text.size()) return v;
  } catch (const std::exception&) {
  }
  throw EUsageError(what + " is not an integer ('" + text + "'): it cannot be split into ranges");
}

// The plan's ranges, with the snapshot open in `session` and held there.
struct TPlanned {
  TSplitReason Why;  // the query is not read in ranges, and why
  std::string Note;  // what the user should know of the ranges' consistency, or empty
  TPlan Plan;
};

TPlanned MakePlan(const TCliOptions& o, int n, TSourceSession& session,
                  const std::function<std::string(int)>& output) {
  TPlanned made;
  TPlan& plan = made.Plan;
  plan.Query = CommandQuery(o);
  plan.Type = LowerCaseAscii(o.Type);
  plan.Joins = TypeJoins(o.Type);
  plan.Created = UtcNow();
  const TQueryShape shape = ShapeOf(plan.Query, o.SplitBy);
  if (shape.Why) return made.Why = shape.Why, made;
  if (!plan.Joins && !TypeSplitsIntoFiles(o.Type))
    return made.Why = {TSplitReasonKind::TypeNotInShares, "", o.Type}, made;
  std::vector<std::string> ranges;
  const std::string filter = shape.Where.empty() ? "" : " WHERE " + shape.Where;
  std::string splitBy = o.SplitBy;
  if (session.Kind() == TDriverKind::PostgreSql) {
    plan.Server = "postgresql";
    session.Query("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    plan.Snapshot = session.Value("SELECT pg_export_snapshot()");
    if (o.SplitBy.empty()) {
      const std::string rel = SqlLiteral(shape.Table) + "::regclass";
      const std::string kind = session.Value("SELECT relkind FROM pg_class WHERE oid = " + rel);
      if (kind != "r" && kind != "m")
        return made.Why = {TSplitReasonKind::NotPlainTable, shape.Table, ""}, made;
      const int64_t pages = IntegerOf(session.Value("SELECT pg_relation_size(" + rel +
                                                    ") / current_setting('block_size')::int"),
                                      "The table's size");
      plan.Split = "pages";
      const std::vector<int64_t> points = SplitPoints(0, std::max<int64_t>(pages, n) - 1, n);
      for (int k = 0; k < n; ++k) {
        std::string r;
        if (k > 0)
          r = "ctid >= '(" + std::to_string(points[static_cast<size_t>(k - 1)]) + ",0)'::tid";
        if (k + 1 < n)
          r += (r.empty() ? "" : " AND ") + std::string("ctid < '(") +
               std::to_string(points[static_cast<size_t>(k)]) + ",0)'::tid";
        ranges.push_back(r);
      }
    }
  } else if (session.Kind() == TDriverKind::Sqlite) {
    plan.Server = "sqlite";
    if (LowerCaseAscii(session.Value("PRAGMA journal_mode")) == "wal")
      return made.Why = {TSplitReasonKind::Wal, "", ""}, made;
    // A read transaction holds the file's shared lock: no change can be committed until it ends.
    session.Query("BEGIN");
    session.Query("SELECT count(*) FROM sqlite_master");
    plan.Snapshot = SqliteChangeCounter(session.FilePath());
    if (o.SplitBy.empty()) {
      std::vector<std::vector<std::string>> rows;
      try {
        rows = session.Query("SELECT min(rowid), max(rowid) FROM " + shape.Table);
      } catch (const std::exception&) {
        return made.Why = {TSplitReasonKind::NoRowid, shape.Table, ""}, made;
      }
      plan.Split = "rowid";
      const bool empty = rows.empty() || rows[0][0].empty();
      ranges = KeyRanges("rowid", empty ? 0 : IntegerOf(rows[0][0], "rowid"),
                         empty ? 0 : IntegerOf(rows[0][1], "rowid"), n, false);
    }
  } else if (session.Kind() == TDriverKind::MySql) {
    plan.Server = "mysql";
    if (splitBy.empty() && (splitBy = MySqlSplitKey(session, shape.Table, made.Why)).empty())
      return made;
    // The key's bounds are read with the table held, as the parts will see it.
    plan.Snapshot = MySqlHoldTable(session, shape.From, std::min(o.PlanTimeout, 30), made.Note);
  } else {
    return made.Why = {TSplitReasonKind::Server, "", ""}, made;
  }
  if (!splitBy.empty()) {
    auto rows = session.Query("SELECT min(" + splitBy + "), max(" + splitBy + ") FROM " +
                              shape.From + filter);
    const bool empty = rows.empty() || rows[0][0].empty();
    plan.Split = "key " + splitBy;
    // PostgreSQL sorts NULL last, SQLite and MySQL first.
    const bool nullsLast = plan.Server == "postgresql";
    ranges = KeyRanges(splitBy, empty ? 0 : IntegerOf(rows[0][0], "--split-by " + splitBy),
                       empty ? 0 : IntegerOf(rows[0][1], "--split-by " + splitBy), n, nullsLast);
    const bool primaryKey = splitBy != o.SplitBy;  // never NULL
    if (!nullsLast && n > 1 && !primaryKey)
      ranges[0] = "(" + ranges[0] + " OR " + splitBy + " IS NULL)";
  }
  for (int k = 0; k < n; ++k)
    plan.Parts.push_back({RangeQuery(shape, ranges[static_cast<size_t>(k)]), output(k + 1)});
  return made;
}

void WriteWhole(const std::string& fileName, const std::string& text) {
  TOutputFiles files;
  TFileStream& out = files.Create(fileName);
  out.Write(text);
  out.Close();
  files.Commit();
}

std::string ReadWhole(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw EUsageError("Cannot read the plan file '" + fileName + "'");
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string FileSha256(const std::string& fileName, int64_t& bytes) {
  std::ifstream in(fileName, std::ios::binary);
  TSha256 sha;
  std::vector<char> buf(1 << 16);
  bytes = 0;
  while (in) {
    in.read(buf.data(), static_cast<std::streamsize>(buf.size()));
    sha.Update(buf.data(), static_cast<size_t>(in.gcount()));
    bytes += in.gcount();
  }
  return sha.FinalHex();
}

std::string Channel(const TPlan& plan) {
  return "morvale_plan_" + plan.Id();
}

std::string ManifestText(const std::vector<TPartFile>& files, const std::string& manifest) {
  const size_t slash = manifest.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : manifest.substr(0, slash + 1);
  int64_t rows = 0;
  std::string text = "{\n  \"files\": [";
  for (size_t i = 0; i < files.size(); ++i) {
    const TPartFile& f = files[i];
    rows += f.Rows;
    std::string listed = f.FileName;
    if (!folder.empty() && listed.starts_with(folder)) listed.erase(0, folder.size());
    text += i ? ",\n    {" : "\n    {";
    text += "\"name\": ";
    AppendJson(listed, text);
    text += ", \"rows\": " + std::to_string(f.Rows) + ", \"bytes\": " + std::to_string(f.Bytes) +
            ", \"sha256\": \"" + f.Sha256 + "\"}";
  }
  text += "\n  ],\n  \"rows\": " + std::to_string(rows) + ",\n  \"compression\": \"none\"\n}\n";
  return text;
}

}  // namespace

// ---- --plan ---------------------------------------------------------------------------------

int RunPlan(const TCliOptions& o, TStream& out, std::ostream& err) {
  TSourceSession session(o.Database, true);
  const TPlanned made = MakePlan(o, o.Plan, session,
                                 [&o](int k) { return PartFileName(o.Output, k, true, cmpNone); });
  if (made.Why) {
    err << "morvale-export: the query cannot be read in ranges: " << SplitReasonText(made.Why)
        << "\n";
    return 1;
  }
  const TPlan& plan = made.Plan;
  if (!made.Note.empty()) err << "morvale-export: " << made.Note << "\n";
  if (session.Kind() == TDriverKind::PostgreSql) session.Listen(Channel(plan));
  // Before the plan is out: a part started at once must find the plan held.
  std::unique_ptr<TMySqlCoordinator> mysql;
  if (session.Kind() == TDriverKind::MySql)
    mysql = std::make_unique<TMySqlCoordinator>(session, plan);
  if (o.PlanFile.empty()) {
    out.Write(plan.Json());
    out.Flush();
  } else {
    WriteWhole(o.PlanFile, plan.Json());
  }
  const int n = static_cast<int>(plan.Parts.size());
  err << "morvale-export: holding the snapshot of plan " << plan.Id() << " until its " << n
      << " parts have reported (at most " << o.PlanTimeout << " s)\n";
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(o.PlanTimeout);
  std::map<int, TPartFile> done;
  while (static_cast<int>(done.size()) < n) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    std::string payload;
    if (mysql) {
      mysql->Look();
      if (const int lost = mysql->Lost()) {
        err << "morvale-export: part " << lost << "/" << n
            << " ended without a report this run could read (its connection was lost, or it "
               "ran as another user)\n";
        return 1;
      }
      for (const auto& [k, report] : mysql->Reports())
        if (!done.count(k) && payload.empty()) payload = report;
      if (payload.empty()) {
        ::usleep(static_cast<useconds_t>(std::min<int64_t>(left.count(), 200) * 1000));
        continue;
      }
    } else if (session.Kind() != TDriverKind::PostgreSql) {
      // No channel to report on: the snapshot is held for the time given.
      ::usleep(static_cast<useconds_t>(std::min<int64_t>(left.count(), 1000) * 1000));
      continue;
    } else if (!session.WaitNotification(static_cast<int>(std::min<int64_t>(left.count(), 60000)),
                                         payload)) {
      continue;
    }
    // "K rows bytes sha256", or "K failed: message"
    std::istringstream in(payload);
    int k = 0;
    std::string word;
    in >> k >> word;
    if (k < 1 || k > n) continue;
    if (word == "failed:") {
      std::string message;
      std::getline(in, message);
      err << "morvale-export: part " << k << "/" << n << " failed:" << message << "\n";
      return 1;
    }
    TPartFile f;
    f.FileName = plan.Parts[static_cast<size_t>(k - 1)].Output;
    f.Rows = std::atoll(word.c_str());
    in >> f.Bytes >> f.Sha256;
    done[k] = f;
  }
  if (static_cast<int>(done.size()) < n) {
    if (session.Kind() != TDriverKind::Sqlite) {
      std::string missing;
      for (int k = 1; k <= n; ++k)
        if (!done.count(k)) missing += (missing.empty() ? "" : ", ") + std::to_string(k);
      err << "morvale-export: the plan timed out before parts " << missing
          << " reported; the snapshot is released\n";
      return 1;
    }
    return 0;
  }
  if (o.Parts.Manifest) {
    std::vector<TPartFile> files;
    for (const auto& [k, f] : done) files.push_back(f);
    WriteWhole(ManifestFileName(o.Output), ManifestText(files, ManifestFileName(o.Output)));
  }
  err << "morvale-export: all " << n << " parts of plan " << plan.Id() << " reported\n";
  return 0;
}

// ---- --part ---------------------------------------------------------------------------------

namespace {

// Reports the part on the plan's channel, for the --plan run waiting there. A part whose report
// is lost is still written: failures here are silent.
void Report(TSourceSession& session, const TPlan& plan, const std::string& payload) {
  if (session.Kind() == TDriverKind::MySql)
    return MySqlReportPart(session, plan, std::atoi(payload.c_str()), payload);
  if (session.Kind() != TDriverKind::PostgreSql || !plan.Reports) return;
  try {
    session.Query("SELECT pg_notify(" + SqlLiteral(Channel(plan)) + ", " + SqlLiteral(payload) +
                  ")");
  } catch (const std::exception&) {
  }
}

}  // namespace

int RunPart(const TCliOptions& o, std::ostream& err, const TExportPart& exportPart) {
  const TPlan plan = TPlan::FromJson(ReadWhole(o.PlanFile), o.PlanFile);
  const int n = static_cast<int>(plan.Parts.size());
  if (o.PartOf != n)
    throw EUsageError("The plan '" + o.PlanFile + "' has " + std::to_string(n) + " parts, not " +
                      std::to_string(o.PartOf));
  if (!SameText(plan.Type, o.Type))
    throw EUsageError("The plan '" + o.PlanFile + "' was made for --type " + plan.Type + ", not " +
                      o.Type);
  if (plan.Query != CommandQuery(o))
    throw EUsageError("The plan '" + o.PlanFile +
                      "' was made for another query: give the part the --db, --table or --sql "
                      "its --plan run had");
  const TPlanPart& part = plan.Parts[static_cast<size_t>(o.Part - 1)];
  TSourceSession session(o.Database, false);
  const std::string server = session.Kind() == TDriverKind::PostgreSql ? "postgresql"
                             : session.Kind() == TDriverKind::Sqlite   ? "sqlite"
                             : session.Kind() == TDriverKind::MySql    ? "mysql"
                                                                       : "";
  if (server != plan.Server)
    throw EUsageError("The plan '" + o.PlanFile + "' was made for a " + plan.Server +
                      " database, not this one");
  if (server == "postgresql") {
    // The next query of the database runs in this session, inside the plan's snapshot.
    session.Query("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    try {
      session.Query("SET TRANSACTION SNAPSHOT " + SqlLiteral(plan.Snapshot));
    } catch (const std::exception& ex) {
      session.Query("ROLLBACK");
      throw Exception("The snapshot " + plan.Snapshot + " of the plan '" + o.PlanFile +
                      "' is no longer there (its --plan run has ended or timed out): make a new "
                      "plan. The server said: " +
                      ex.what());
    }
  } else if (server == "mysql") {
    MySqlStartPart(session, plan, o.Part, o.PlanFile);
  } else if (SqliteChangeCounter(session.FilePath()) != plan.Snapshot) {
    throw Exception("The database changed after the plan '" + o.PlanFile +
                    "' was made (its --plan run has ended or timed out): make a new plan");
  }
  TCliOptions p = o;
  p.Table.clear();
  p.Sql = part.Query;
  p.Output = part.Output;
  int64_t rows = 0;
  try {
    if (int status = exportPart(p, !plan.Joins || o.Part == 1, !plan.Joins || o.Part == n, rows)) {
      if (server != "sqlite") session.Query("ROLLBACK");
      Report(session, plan, std::to_string(o.Part) + " failed: the export was cancelled");
      return status;
    }
  } catch (const std::exception& ex) {
    if (server != "sqlite") session.Query("ROLLBACK");
    std::string message = ex.what();
    std::replace(message.begin(), message.end(), '\n', ' ');
    Report(session, plan, std::to_string(o.Part) + " failed: " + message);
    throw;
  }
  if (server != "sqlite") session.Query("COMMIT");
  if (!plan.Reports) {
    // The run of --jobs lists the rows in its manifest.
    std::ofstream(p.Output + ".rows") << rows << "\n";
    return 0;
  }
  int64_t bytes = 0;
  const std::string sha = FileSha256(p.Output, bytes);
  Report(session, plan,
         std::to_string(o.Part) + " " + std::to_string(rows) + " " + std::to_string(bytes) + " " +
             sha);
  (void)err;
  return 0;
}

// ---- --jobs ---------------------------------------------------------------------------------

namespace {

struct TChild {
  pid_t Pid = 0;
  int Status = 0;
  bool Running = false;
  std::string ErrFile;
};

pid_t Spawn(const std::vector<std::string>& args, const std::string& errFile) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw Exception("Cannot start a job: " + std::string(std::strerror(rc)));
  return pid;
}

// How long the jobs of a MySQL run have to open their snapshots while the table is held.
constexpr std::chrono::seconds kMySqlStartWait{60};

// SIGINT and SIGTERM while the jobs run: the run stops them, removes their shares and ends as a
// cancelled export does (the jobs, which cancel themselves, leave their files as they were).
volatile sig_atomic_t stopSignal = 0;

class TStopSignals {
 public:
  TStopSignals() {
    struct sigaction action {};
    action.sa_handler = [](int signal) { stopSignal = signal; };
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: waitpid returns at the signal
    stopSignal = 0;
    ::sigaction(SIGINT, &action, &oldInt_);
    ::sigaction(SIGTERM, &action, &oldTerm_);
  }
  ~TStopSignals() {
    ::sigaction(SIGINT, &oldInt_, nullptr);
    ::sigaction(SIGTERM, &oldTerm_, nullptr);
  }
  int Signal() const { return stopSignal; }
  // True from the second call on: the jobs are stopped once.
  bool Forwarded() {
    const bool was = forwarded_;
    forwarded_ = true;
    return was;
  }

 private:
  struct sigaction oldInt_ {
  }, oldTerm_{};
  bool forwarded_ = false;
};

// The message a failed job ended with (the first it printed, with the lines that continue it),
// without the program's name.
std::string JobMessage(const std::string& errFile) {
  std::ifstream in(errFile);
  std::string line, message;
  bool inMessage = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t cr = line.rfind('\r');  // the last drawing of a progress line
    if (cr != std::string::npos) line.erase(0, cr + 1);
    if (line.starts_with("morvale-export: ")) {
      if (!message.empty()) break;
      message = line.substr(16);
      inMessage = true;
    } else if (inMessage && !line.empty()) {
      message += " " + line;
    }
  }
  return message.empty() ? "it ended without a message" : message;
}

// The records a job has passed so far, as the last drawing of its progress line (--progress)
// shows them; 0 before its first.
int64_t JobRecords(const std::string& errFile) {
  std::ifstream in(errFile, std::ios::binary | std::ios::ate);
  const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
  if (size <= 0) return 0;
  const std::streamoff from = std::max<std::streamoff>(0, size - 256);
  std::string tail(static_cast<size_t>(size - from), '\0');
  in.seekg(from);
  in.read(tail.data(), static_cast<std::streamsize>(tail.size()));
  const size_t cr = tail.rfind('\r');
  return cr == std::string::npos ? 0 : std::atoll(tail.c_str() + cr + 1);
}

// With --progress, one line of standard error redrawn while the jobs run: the records of all and
// of each, "1200 records exported by 3 jobs (400 + 410 + 390), 0:00:02". A window that runs the
// program shows the jobs' shares from it.
class TJobsProgress {
 public:
  TJobsProgress(std::ostream& err, int n) : err_(err), rows_(static_cast<size_t>(n)) {}
  ~TJobsProgress() {
    if (drawn_) err_ << "\n";
  }
  // Redrawn at most five times a second from the jobs' own lines.
  void Poll(const std::vector<std::string>& errFiles) {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(200)) return;
    last_ = now;
    for (size_t k = 0; k < rows_.size() && k < errFiles.size(); ++k)
      rows_[k] = std::max(rows_[k], JobRecords(errFiles[k]));
    Draw();
  }
  // The counts the jobs wrote down when they were done.
  void Exact(const std::vector<int64_t>& rows) {
    rows_ = rows;
    Draw();
  }

 private:
  void Draw() {
    int64_t total = 0;
    std::string shares;
    for (const int64_t r : rows_) {
      total += r;
      shares += (shares.empty() ? "" : " + ") + std::to_string(r);
    }
    const int s = static_cast<int>(
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start_)
            .count());
    char time[32];
    std::snprintf(time, sizeof time, "%d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    err_ << "\r" << total << " records exported by " << rows_.size() << " jobs (" << shares << "), "
         << time << "   " << std::flush;
    drawn_ = true;
  }
  std::ostream& err_;
  std::vector<int64_t> rows_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now(), last_{};
  bool drawn_ = false;
};

// Removes the hidden files a run killed outright left beside `target`: those named
// ".NAME.jobs-PID" or ".NAME.jobs-PID.*" whose process is gone. A live run's are left alone.
void RemoveLeftovers(const std::string& target) {
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string prefix = "." + target.substr(folder.size()) + ".jobs-";
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (!name.starts_with(prefix)) continue;
    size_t end = prefix.size();
    while (end < name.size() && std::isdigit(static_cast<unsigned char>(name[end]))) ++end;
    if (end == prefix.size() || end - prefix.size() > 9 || (end < name.size() && name[end] != '.'))
      continue;
    const pid_t pid =
        static_cast<pid_t>(std::stol(name.substr(prefix.size(), end - prefix.size())));
    if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) std::remove((folder + name).c_str());
  }
  ::closedir(dir);
}

}  // namespace

int RunJobs(const TCliOptions& o, std::ostream& err, const TExportOne& exportOne) {
  const int n = o.Jobs;
  TCliOptions one = o;
  one.Jobs = 0;
  if (n == 1) return exportOne(one);
  const std::string target = o.Output;
  RemoveLeftovers(target);
  // The shares and the plan lie beside the target, hidden, until the run puts them in place.
  const std::string hidden = [&target] {
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    return folder + "." + target.substr(folder.size()) + ".jobs-" + std::to_string(::getpid());
  }();
  const std::string planFile = hidden + ".plan.json";
  std::unique_ptr<TSourceSession> session;
  std::unique_ptr<TMySqlCoordinator> mysql;  // goes before the session it holds the table in
  TPlanned made;
  // Watched from before the plan: a signal while the snapshot opens or the jobs start must stop
  // them all, not end this process and leave its jobs running on.
  auto stop = std::make_unique<TStopSignals>();
  auto cancelled = [&err, &target](int signal) {
    const std::string kept = KeptFileNote(target);
    err << "morvale-export: the export was cancelled" << (kept.empty() ? "" : "; " + kept) << "\n";
    return 128 + signal;
  };
  session = std::make_unique<TSourceSession>(o.Database, true);
  made =
      MakePlan(o, n, *session, [&hidden](int k) { return hidden + ".part" + std::to_string(k); });
  if (const int signal = stop->Signal()) return cancelled(signal);
  if (made.Why) {
    session.reset();
    stop.reset();  // the one job watches the signals itself
    err << "morvale-export: --jobs " << n << " runs as one job: " << SplitReasonText(made.Why)
        << "\n";
    return exportOne(one);
  }
  made.Plan.Reports = false;
  const TPlan& plan = made.Plan;
  if (!made.Note.empty()) err << "morvale-export: " << made.Note << "\n";
  if (session->Kind() == TDriverKind::MySql)
    mysql = std::make_unique<TMySqlCoordinator>(*session, plan);
  std::vector<TChild> children(static_cast<size_t>(n));
  auto cleanUp = [&] {
    for (int k = 1; k <= n; ++k) {
      std::remove(plan.Parts[static_cast<size_t>(k - 1)].Output.c_str());
      std::remove((plan.Parts[static_cast<size_t>(k - 1)].Output + ".rows").c_str());
      std::remove(children[static_cast<size_t>(k - 1)].ErrFile.c_str());
    }
    std::remove(planFile.c_str());
  };
  WriteWhole(planFile, plan.Json());
  const std::vector<std::string> base =
      ArgsWithout(o.Args, {"--jobs", "-o", "--split-by", "--progress", "--manifest"});
  for (int k = 1; k <= n; ++k) {
    std::vector<std::string> args = {"/proc/self/exe"};
    args.insert(args.end(), base.begin(), base.end());
    args.insert(args.end(),
                {"--part", std::to_string(k) + "/" + std::to_string(n), "--plan-file", planFile});
    // Each job draws its count in its own error file, where the run's progress line reads it.
    if (o.Progress) args.push_back("--progress");
    TChild& c = children[static_cast<size_t>(k - 1)];
    c.ErrFile = hidden + ".part" + std::to_string(k) + ".err";
    c.Pid = Spawn(args, c.ErrFile);
    c.Running = true;
  }
  // The first job that fails stops the others: its part is missing, so the file cannot be whole.
  int failed = 0;
  std::string held;  // why the run stopped the jobs while the table was held
  auto stopAll = [&children] {
    for (TChild& other : children)
      if (other.Running) ::kill(other.Pid, SIGTERM);
  };
  std::unique_ptr<TJobsProgress> progress;
  std::vector<std::string> errFiles;
  if (o.Progress) {
    progress = std::make_unique<TJobsProgress>(err, n);
    for (const TChild& c : children) errFiles.push_back(c.ErrFile);
  }
  const auto startedAt = std::chrono::steady_clock::now();
  int polls = 0;
  while (std::any_of(children.begin(), children.end(), [](const TChild& c) { return c.Running; })) {
    // Polled rather than blocked in waitpid: a signal that lands between the check and a blocking
    // wait would otherwise wait for the jobs to finish on their own.
    if (stop->Signal() && !stop->Forwarded()) stopAll();
    // Writers wait while the table is held: a job that does not start in time stops the run.
    if (mysql && mysql->Held() && !failed && ++polls % 5 == 0) {
      try {
        mysql->Look();
        if (mysql->Held() && std::chrono::steady_clock::now() - startedAt > kMySqlStartWait)
          held = "parts " + mysql->NotStarted() + " did not start within " +
                 std::to_string(kMySqlStartWait.count()) + " s; the table is unlocked";
      } catch (const std::exception& ex) {
        held = std::string("the table's lock was lost: ") + ex.what();
      }
      if (!held.empty()) {
        failed = -1;
        mysql.reset();
        stopAll();
      }
    }
    int status = 0;
    const pid_t pid = ::waitpid(-1, &status, WNOHANG);
    if (pid == 0) {
      if (progress) progress->Poll(errFiles);
      const timespec pause{0, 20'000'000};
      ::nanosleep(&pause, nullptr);
      continue;
    }
    if (pid < 0 && errno != EINTR) break;
    for (int k = 1; k <= n && pid > 0; ++k) {
      TChild& c = children[static_cast<size_t>(k - 1)];
      if (c.Pid != pid) continue;
      c.Running = false;
      c.Status = status;
      const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
      if (ok && mysql) mysql->Started(k);
      if (!ok && !failed && !stop->Signal()) {
        failed = k;
        stopAll();
      }
    }
  }
  mysql.reset();
  if (const int signal = stop->Signal()) {
    progress.reset();
    session.reset();
    cleanUp();
    return cancelled(signal);
  }
  session.reset();  // every job is done: the snapshot may go
  if (progress && !failed) {
    std::vector<int64_t> rows(static_cast<size_t>(n));
    for (int k = 1; k <= n; ++k)
      std::ifstream(plan.Parts[static_cast<size_t>(k - 1)].Output + ".rows") >>
          rows[static_cast<size_t>(k - 1)];
    progress->Exact(rows);
  }
  progress.reset();  // the messages start lines of their own
  if (failed) {
    if (failed < 0)
      err << "morvale-export: " << held << "\n";
    else
      err << "morvale-export: part " << failed << "/" << n
          << " failed: " << JobMessage(children[static_cast<size_t>(failed - 1)].ErrFile) << "\n";
    const std::string kept = KeptFileNote(target);
    if (!kept.empty()) err << "morvale-export: the export failed; " << kept << "\n";
    cleanUp();
    return 1;
  }
  TOutputFiles files;
  if (plan.Joins) {
    TFileStream& out = files.Create(target);
    std::vector<char> buf(1 << 20);
    for (const TPlanPart& part : plan.Parts) {
      std::ifstream in(part.Output, std::ios::binary);
      if (!in) throw Exception("A job's share is missing: " + part.Output);
      while (in) {
        in.read(buf.data(), static_cast<std::streamsize>(buf.size()));
        if (in.gcount() > 0) out.Write(buf.data(), static_cast<size_t>(in.gcount()));
      }
    }
    out.Close();
  } else {
    std::vector<TPartFile> listed;
    for (int k = 1; k <= n; ++k) {
      const std::string& share = plan.Parts[static_cast<size_t>(k - 1)].Output;
      TPartFile f;
      f.FileName = PartFileName(target, k, true, cmpNone);
      std::ifstream(share + ".rows") >> f.Rows;
      f.Sha256 = FileSha256(share, f.Bytes);
      TFileStream& out = files.Create(f.FileName);
      std::ifstream in(share, std::ios::binary);
      std::vector<char> buf(1 << 20);
      while (in) {
        in.read(buf.data(), static_cast<std::streamsize>(buf.size()));
        if (in.gcount() > 0) out.Write(buf.data(), static_cast<size_t>(in.gcount()));
      }
      out.Close();
      listed.push_back(f);
    }
    const std::string manifest = ManifestFileName(target);
    TFileStream& out = files.Create(manifest);
    out.Write(ManifestText(listed, manifest));
    out.Close();
  }
  files.Commit();
  cleanUp();
  return 0;
}

}  // namespace morvale::cli
