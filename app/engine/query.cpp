#include "app/engine/query.h"

#include "app/engine/session.h"
#include "export/core/translate.h"

namespace morvale {

void TQuery::Open() {
  if (Active()) return;
  TSession* session = TSession::Find(SessionName);
  if (!session)
    throw Exception(Format(TranslateText("Engine", "Session '%s' not found"), {SessionName}));
  TDatabase& db = session->OpenDatabase(DatabaseName);
  OpenCursor(db.Connection().OpenCursor(SQL.Text()));
}

}  // namespace morvale
