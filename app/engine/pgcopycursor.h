// A PostgreSQL query read through COPY (query) TO STDOUT (FORMAT binary) on the client library's
// own handle of a Qt connection. Row by row, the Qt driver makes a result object per row and
// the server renders every value as text; a binary COPY streams the rows in one message each,
// with numbers as numbers. The cells are those the row-by-row cursor gives (the server's texts
// where a text is what it gives), so the values and their texts stay what they were.
#pragma once

#include <memory>
#include <string>

#include "app/engine/cursor.h"
#include "app/engine/qtconnection.h"

struct pg_conn;  // the client library's PGconn

namespace morvale {

// The client library's own handle of a Qt connection, or nullptr when its driver gives none.
pg_conn* PgHandle(const QString& connection);

// nullptr when the statement cannot go through COPY (not a query, or a column of a type the
// reader does not decode the way the server writes its text); the caller reads it row by row.
std::unique_ptr<TCursor> MakePgCopyCursor(std::shared_ptr<TQtConnection> connection,
                                          const std::string& sql);

}  // namespace morvale
