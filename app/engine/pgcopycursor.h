// A PostgreSQL query read through COPY (query) TO STDOUT (FORMAT binary). Row by row, the client
// library makes a result object for every row; a binary COPY streams the rows in one message
// each, with numbers as numbers. Its cells are those the row-by-row cursor gives for the same
// binary values, so a value reads the same whichever way it came.
#pragma once

#include <memory>
#include <string>

#include "app/engine/cursor.h"
#include "app/engine/pgconnection.h"

namespace morvale {

// nullptr when the statement cannot go through COPY (not a query, or a column of a type the
// reader does not decode the way the server writes its text); the caller reads it row by row.
std::unique_ptr<TCursor> MakePgCopyCursor(std::shared_ptr<TPgConnection> connection,
                                          const std::string& sql);

}  // namespace morvale
