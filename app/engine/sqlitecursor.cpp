#include "app/engine/sqlitecursor.h"

#include <sqlite3.h>

#include <cctype>
#include <cstring>

#include "app/engine/sqlitedb.h"
#include "export/core/classes.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

// True when nothing but blanks, semicolons and comments is left.
bool OnlyFiller(const char* p) {
  while (*p) {
    if (std::isspace(static_cast<unsigned char>(*p)) || *p == ';') {
      ++p;
    } else if (p[0] == '-' && p[1] == '-') {
      while (*p && *p != '\n') ++p;
    } else if (p[0] == '/' && p[1] == '*') {
      const char* end = std::strstr(p + 2, "*/");
      if (!end) return true;  // SQLite itself lets an unclosed comment end the text
      p = end + 2;
    } else {
      return false;
    }
  }
  return true;
}

// The statement text without the semicolons and blanks that may end it.
std::string StatementBody(const char* sql) {
  std::string s(sql ? sql : "");
  while (!s.empty() && (std::isspace(static_cast<unsigned char>(s.back())) || s.back() == ';'))
    s.pop_back();
  return s;
}

TFieldDef DefFromStorageClass(std::string name, int storage) {
  switch (storage) {
    case SQLITE_INTEGER:
      return MakeFieldDef(std::move(name), ftLargeint);
    case SQLITE_FLOAT:
      return MakeFieldDef(std::move(name), ftFloat);
    case SQLITE_BLOB:
      return MakeFieldDef(std::move(name), ftBlob);
    default:  // text, and NULL, which says nothing: a string shows either
      return MakeFieldDef(std::move(name), ftString);
  }
}

}  // namespace

TSqliteCursor::TSqliteCursor(std::shared_ptr<TSqliteDatabase> db, const std::string& sql)
    : db_(std::move(db)), sql_(sql) {
  stmt_ = Prepare(sql_, true);
  active_ = stmt_;
}

TSqliteCursor::~TSqliteCursor() {
  sqlite3_finalize(seek_);
  sqlite3_finalize(stmt_);
}

sqlite3_stmt* TSqliteCursor::Prepare(const std::string& sql, bool whole) const {
  sqlite3_stmt* stmt = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(db_->Handle(), sql.c_str(), static_cast<int>(sql.size()), &stmt, &tail) !=
      SQLITE_OK) {
    if (!whole) return nullptr;
    db_->RaiseLastError();
  }
  if (!stmt) {
    if (!whole) return nullptr;
    throw Exception(TranslateText("Engine", "The SQL text holds no statement"));
  }
  if (whole && tail && !OnlyFiller(tail)) {
    sqlite3_finalize(stmt);
    throw Exception(TranslateText("Engine", "Only one SQL statement can be run at a time"));
  }
  if (whole && sqlite3_column_count(stmt) == 0) {
    sqlite3_finalize(stmt);
    throw Exception(TranslateText("Engine", "The SQL statement returns no result set"));
  }
  return stmt;
}

void TSqliteCursor::Execute() {
  sqlite3_finalize(seek_);
  seek_ = nullptr;
  active_ = stmt_;
  sqlite3_reset(stmt_);
}

bool TSqliteCursor::Seek(int64_t row) {
  if (!seekable_ || row < 0) return false;
  // Statements that cannot stand in a subquery (PRAGMA and its kin) are stepped instead.
  std::string body = StatementBody(sqlite3_sql(stmt_));
  sqlite3_stmt* seek =
      Prepare("SELECT * FROM (\n" + body + "\n) LIMIT -1 OFFSET " + std::to_string(row), false);
  if (!seek || sqlite3_column_count(seek) != sqlite3_column_count(stmt_)) {
    sqlite3_finalize(seek);
    seekable_ = false;
    return false;
  }
  sqlite3_finalize(seek_);
  seek_ = seek;
  active_ = seek_;
  return true;
}

bool TSqliteCursor::Step() {
  int rc = sqlite3_step(active_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  db_->RaiseLastError();
}

TFieldDefs TSqliteCursor::Describe(bool hasRow) {
  int n = sqlite3_column_count(stmt_);
  TFieldDefs defs;
  defs.reserve(static_cast<size_t>(n));
  fetch_.assign(static_cast<size_t>(n), TFetch::Typed);
  for (int i = 0; i < n; ++i) {
    const char* name = sqlite3_column_name(stmt_, i);
    const char* decl = sqlite3_column_decltype(stmt_, i);
    TFieldDef def;
    def.Name = name ? name : "";
    // Columns of a table carry their declared type; expressions only their first value.
    bool typed =
        decl &&
        (DeclaredTypeMapper ? DeclaredTypeMapper(sqlite3_column_database_name(stmt_, i), decl, def)
                            : FieldDefFromDeclaredType(decl, def));
    if (!typed)
      def = DefFromStorageClass(def.Name, hasRow ? sqlite3_column_type(stmt_, i) : SQLITE_NULL);
    if (def.DataType == ftString || def.DataType == ftMemo || def.DataType == ftFixedChar ||
        def.DataType == ftWideString)
      fetch_[static_cast<size_t>(i)] = TFetch::Text;
    else if (IsBlobFieldType(def.DataType))
      fetch_[static_cast<size_t>(i)] = TFetch::Blob;
    defs.push_back(std::move(def));
  }
  return defs;
}

void TSqliteCursor::ReadRow(TRowWindow& window) {
  TCell* cells = window.AppendRow();
  const int n = static_cast<int>(fetch_.size());
  for (int i = 0; i < n; ++i) {
    TCell& cell = cells[i];
    if (fetch_[static_cast<size_t>(i)] == TFetch::Text) {
      // SQLite turns a number kept in a text column into the text it would show for it. It
      // gives no text for NULL (and for an empty BLOB): only then is the storage class asked.
      auto p = reinterpret_cast<const char*>(sqlite3_column_text(active_, i));
      if (p)
        window.SetText(cell, p, static_cast<size_t>(sqlite3_column_bytes(active_, i)));
      else if (sqlite3_column_type(active_, i) != SQLITE_NULL)
        window.SetText(cell, std::string_view());
      continue;
    }
    int storage = sqlite3_column_type(active_, i);
    if (storage == SQLITE_NULL) continue;
    switch (fetch_[static_cast<size_t>(i)]) {
      case TFetch::Text:
        break;
      case TFetch::Blob: {
        auto p = static_cast<const char*>(sqlite3_column_blob(active_, i));
        window.SetText(cell, p, static_cast<size_t>(sqlite3_column_bytes(active_, i)),
                       TCellKind::Blob);
        break;
      }
      case TFetch::Typed:
        if (storage == SQLITE_INTEGER) {
          cell.Kind = TCellKind::Int;
          cell.Int = sqlite3_column_int64(active_, i);
        } else if (storage == SQLITE_FLOAT) {
          cell.Kind = TCellKind::Float;
          cell.Float = sqlite3_column_double(active_, i);
        } else {
          auto p = static_cast<const char*>(sqlite3_column_blob(active_, i));
          window.SetText(cell, p, static_cast<size_t>(sqlite3_column_bytes(active_, i)),
                         storage == SQLITE_TEXT ? TCellKind::Text : TCellKind::Blob);
        }
        break;
    }
  }
}

bool TSqliteCursor::CanReadAhead() const {
  return !db_->FileName().empty();
}

int64_t TSqliteCursor::CountRows() {
  // A counting query lets SQLite skip reading the columns; statements that cannot stand in a
  // subquery (PRAGMA, VALUES with a tail...) are counted by a walk of their own.
  std::string body = StatementBody(sqlite3_sql(stmt_));
  sqlite3_stmt* count = Prepare("SELECT COUNT(*) FROM (\n" + body + "\n)", false);
  if (!count) return CountByWalking();
  int rc = sqlite3_step(count);
  if (rc != SQLITE_ROW) {
    std::string message = sqlite3_errmsg(db_->Handle());
    sqlite3_finalize(count);
    throw Exception(message);
  }
  int64_t n = sqlite3_column_int64(count, 0);
  sqlite3_finalize(count);
  return n;
}

int64_t TSqliteCursor::CountByWalking() const {
  sqlite3_stmt* walk = Prepare(sql_, false);
  if (!walk) db_->RaiseLastError();
  int64_t n = 0;
  int rc;
  while ((rc = sqlite3_step(walk)) == SQLITE_ROW) ++n;
  std::string message = rc == SQLITE_DONE ? std::string() : sqlite3_errmsg(db_->Handle());
  sqlite3_finalize(walk);
  if (rc != SQLITE_DONE) throw Exception(message);
  return n;
}

}  // namespace morvale
