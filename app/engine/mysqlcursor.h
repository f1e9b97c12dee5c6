// A MySQL/MariaDB statement read through the client library's own handle of a Qt connection.
// Qt's driver keeps the whole result in memory before the first row; this cursor asks the server
// for the rows one at a time (mysql_use_result), so a result of millions of rows is walked in the
// memory of one row plus the dataset's window.
#pragma once

#include <memory>
#include <string>

#include "app/engine/cursor.h"
#include "app/engine/qtconnection.h"

namespace morvale {

std::unique_ptr<TCursor> MakeMySqlCursor(std::shared_ptr<TQtConnection> connection,
                                         const std::string& sql);

}  // namespace morvale
