// The login the engine asks for when a database wants a password that was not given: read from
// the terminal without echo. Without a terminal nothing is asked and the server's refusal stands.
#pragma once

#include "app/engine/session.h"

namespace morvale::cli {

bool TerminalLogin(TDatabase& database, TStringList& loginParams);

}  // namespace morvale::cli
