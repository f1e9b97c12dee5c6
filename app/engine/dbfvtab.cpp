#include "app/engine/dbfvtab.h"

#include <sqlite3.h>

#include <memory>

#include "app/engine/dbf.h"
#include "app/engine/sqltext.h"
#include "app/engine/vtabsupport.h"

namespace morvale {

namespace {

struct TDbfVTab {
  sqlite3_vtab base{};  // first, so SQLite's pointer is ours
  std::unique_ptr<TDbfTable> table;
};

struct TDbfVCursor {
  sqlite3_vtab_cursor base{};
  std::unique_ptr<TDbfReader> reader;
  uint32_t row = 0;
  bool eof = true;
  TDbfValue value;
};

TDbfVTab* VTab(sqlite3_vtab* v) {
  return reinterpret_cast<TDbfVTab*>(v);
}
TDbfVCursor* VCursor(sqlite3_vtab_cursor* c) {
  return reinterpret_cast<TDbfVCursor*>(c);
}

// The module argument: the path as an SQL string literal.
int Connect(sqlite3* db, void*, int argc, const char* const* argv, sqlite3_vtab** out,
            char** error) {
  if (argc < 4) return ConnectFailure(error, "dbf: the table file is not given");
  auto vtab = std::make_unique<TDbfVTab>();
  try {
    vtab->table = TDbfTable::OpenFile(UnquoteModuleArgument(argv[3]));
  } catch (const std::exception& e) {
    return ConnectFailure(error, e.what());
  }
  int rc = DeclareVTabColumns(db, vtab->table->Fields(), TDbfTable::DeclaredType, error);
  if (rc != SQLITE_OK) return rc;
  *out = &vtab.release()->base;
  return SQLITE_OK;
}

int BestIndex(sqlite3_vtab* v, sqlite3_index_info* info) {
  // Every plan is a full scan; SQLite filters and sorts what it reads.
  double rows = VTab(v)->table->RecordCount();
  info->estimatedCost = rows + 1;
  info->estimatedRows = static_cast<sqlite3_int64>(rows);
  return SQLITE_OK;
}

int Open(sqlite3_vtab* v, sqlite3_vtab_cursor** out) {
  auto cursor = std::make_unique<TDbfVCursor>();
  cursor->reader = std::make_unique<TDbfReader>(*VTab(v)->table);
  *out = &cursor.release()->base;
  return SQLITE_OK;
}

int Close(sqlite3_vtab_cursor* c) {
  delete VCursor(c);
  return SQLITE_OK;
}

// Moves to the first record at or after `row` that is not marked deleted.
int SeekLive(sqlite3_vtab_cursor* c, uint32_t row) {
  TDbfVCursor* cur = VCursor(c);
  try {
    while (cur->reader->Seek(row)) {
      if (!cur->reader->Deleted()) {
        cur->row = row;
        cur->eof = false;
        return SQLITE_OK;
      }
      ++row;
    }
  } catch (const std::exception& e) {
    SetVTabError(c->pVtab, e.what());
    return SQLITE_ERROR;
  }
  cur->eof = true;
  return SQLITE_OK;
}

int Filter(sqlite3_vtab_cursor* c, int, const char*, int, sqlite3_value**) {
  return SeekLive(c, 0);
}

int Next(sqlite3_vtab_cursor* c) {
  return SeekLive(c, VCursor(c)->row + 1);
}

int Eof(sqlite3_vtab_cursor* c) {
  return VCursor(c)->eof;
}

int Column(sqlite3_vtab_cursor* c, sqlite3_context* ctx, int i) {
  TDbfVCursor* cur = VCursor(c);
  const TDbfTable& table = *VTab(c->pVtab)->table;
  const TDbfField& f = table.Fields()[static_cast<size_t>(i)];
  try {
    DecodeDbfValue(table, f, cur->reader->FieldBytes(f), cur->value);
  } catch (const std::exception& e) {
    sqlite3_result_error(ctx, e.what(), -1);
    return SQLITE_ERROR;
  }
  const TDbfValue& v = cur->value;
  switch (v.Kind) {
    case TDbfValueKind::Null:
      sqlite3_result_null(ctx);
      break;
    case TDbfValueKind::Int:
      sqlite3_result_int64(ctx, v.Int);
      break;
    case TDbfValueKind::Float:
      sqlite3_result_double(ctx, v.Float);
      break;
    case TDbfValueKind::Text:
      sqlite3_result_text(ctx, v.Text.data(), static_cast<int>(v.Text.size()), SQLITE_TRANSIENT);
      break;
  }
  return SQLITE_OK;
}

int Rowid(sqlite3_vtab_cursor* c, sqlite3_int64* out) {
  *out = VCursor(c)->row;
  return SQLITE_OK;
}

const sqlite3_module kModule = ReadOnlyModule(Connect, BestIndex, DisconnectVTab<TDbfVTab>, Open,
                                              Close, Filter, Next, Eof, Column, Rowid);

}  // namespace

void RegisterDbfModule(sqlite3* db) {
  sqlite3_create_module(db, "dbf", &kModule, nullptr);
}

std::string DbfTableStatement(const std::string& name, const std::string& path) {
  return "CREATE VIRTUAL TABLE temp." + QuoteSqlIdentifier(kSqlite, name) + " USING dbf(" +
         QuoteSqlString(path) + ")";
}

}  // namespace morvale
