// A MySQL/MariaDB statement as a driver cursor. The server prepares it and sends its rows in the
// binary protocol, typed, one at a time as the dataset moves on, so a result of millions of rows
// is walked in the memory of one row plus the dataset's window; a text the server cannot prepare
// (several statements) runs as text, its rows read one at a time too (mysql_use_result).
#pragma once

#include <memory>
#include <string>

#include "app/engine/cursor.h"
#include "app/engine/mysqlconnection.h"

namespace morvale {

// The field of a MySQL result column from the client library's description of it: its type code,
// length and decimals, and whether it holds bytes.
TFieldDef MySqlFieldDef(const std::string& name, int type, int length, int decimals, bool binary);

std::unique_ptr<TCursor> MakeMySqlCursor(std::shared_ptr<TMySqlConnection> connection,
                                         const std::string& sql);

}  // namespace morvale
