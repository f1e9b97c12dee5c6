#include "app/engine/session.h"

#include <algorithm>

#include "app/engine/sqliteconnection.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

constexpr const char* kDefaultSessionName = "Default";

std::vector<TSession*>& AllSessions() {
  static std::vector<TSession*> list;
  return list;
}

std::vector<TDatabase*>& AllDatabases() {
  static std::vector<TDatabase*> list;
  return list;
}

TLoginHandler& LoginHandler() {
  static TLoginHandler handler;
  return handler;
}

void SortNames(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return LowerCaseAscii(a) < LowerCaseAscii(b);
  });
}

// "%41" and friends as in URLs; a stray '%' stays as it is.
std::string PercentDecode(std::string_view s) {
  std::string r;
  for (size_t i = 0; i < s.size(); ++i) {
    auto hex = [](char c) {
      return c >= '0' && c <= '9'   ? c - '0'
             : c >= 'a' && c <= 'f' ? c - 'a' + 10
             : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                    : -1;
    };
    if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
      r += static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2]));
      i += 2;
    } else {
      r += s[i];
    }
  }
  return r;
}

// user:password@host:port/database?options
void ParseServerUrl(std::string_view rest, TStringList& params) {
  size_t q = rest.find('?');
  if (q != std::string_view::npos) {
    std::string options(rest.substr(q + 1));
    std::replace(options.begin(), options.end(), '&', ';');
    params.SetValue("OPTIONS", PercentDecode(options));
    rest = rest.substr(0, q);
  }
  size_t slash = rest.find('/');
  if (slash != std::string_view::npos) {
    params.SetValue("DATABASE NAME", PercentDecode(rest.substr(slash + 1)));
    rest = rest.substr(0, slash);
  }
  size_t at = rest.rfind('@');
  if (at != std::string_view::npos) {
    std::string_view login = rest.substr(0, at);
    size_t colon = login.find(':');
    params.SetValue("USER NAME", PercentDecode(login.substr(0, colon)));
    if (colon != std::string_view::npos)
      params.SetValue("PASSWORD", PercentDecode(login.substr(colon + 1)));
    rest = rest.substr(at + 1);
  }
  size_t colon = rest.rfind(':');
  if (colon != std::string_view::npos && rest.find(']') == std::string_view::npos) {
    params.SetValue("PORT", std::string(rest.substr(colon + 1)));
    rest = rest.substr(0, colon);
  }
  if (!rest.empty()) params.SetValue("SERVER NAME", PercentDecode(rest));
}

}  // namespace

bool ParseDatabaseText(const std::string& text, TDriverKind& kind, TStringList& params) {
  auto starts = [&](std::string_view p) { return text.compare(0, p.size(), p) == 0; };
  params.Clear();
  if (starts("sqlite:")) {
    kind = TDriverKind::Sqlite;
    params.SetValue("PATH", text.substr(7));
  } else if (starts("dbf:")) {
    kind = TDriverKind::Standard;
    params.SetValue("PATH", text.substr(4));
  } else if (starts("odbc:")) {
    kind = TDriverKind::Odbc;
    params.SetValue("ODBC DSN", text.substr(5));
  } else if (starts("postgresql://") || starts("postgres://")) {
    kind = TDriverKind::PostgreSql;
    ParseServerUrl(std::string_view(text).substr(text.find("//") + 2), params);
  } else if (starts("mysql://") || starts("mariadb://")) {
    kind = TDriverKind::MySql;
    ParseServerUrl(std::string_view(text).substr(text.find("//") + 2), params);
  } else {
    return false;
  }
  return true;
}

void SetLoginHandler(TLoginHandler handler) {
  LoginHandler() = std::move(handler);
}

// ---------------------------------------------------------------------------------------------

TSession::TSession(std::string sessionName) : name_(std::move(sessionName)) {
  if (name_.empty()) name_ = kDefaultSessionName;
  for (TSession* s : AllSessions())
    if (SameText(s->name_, name_))
      throw Exception(Format(TranslateText("Engine", "Duplicate session name '%s'"), {name_}));
  AllSessions().push_back(this);
}

TSession::~TSession() {
  try {
    SetActive(false);
  } catch (...) {
  }
  auto& all = AllSessions();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

TSession& TSession::Default() {
  // Never destroyed: its databases may hold driver connections that must not outlive the
  // drivers' own globals at exit.
  static TSession* session = new TSession(kDefaultSessionName);
  return *session;
}

TSession* TSession::Find(std::string_view name) {
  if (name.empty() || SameText(name, kDefaultSessionName)) return &Default();
  for (TSession* s : AllSessions())
    if (SameText(s->name_, name)) return s;
  return nullptr;
}

void TSession::SetActive(bool active) {
  if (!active) {
    for (TDatabase* db : Databases()) db->Close();
    temporary_.clear();
  }
  active_ = active;
}

std::vector<TDatabase*> TSession::Databases() const {
  std::vector<TDatabase*> result;
  for (TDatabase* db : AllDatabases())
    if (Find(db->SessionName) == this) result.push_back(db);
  return result;
}

TDatabase* TSession::FindDatabase(std::string_view name) const {
  for (TDatabase* db : Databases())
    if (SameText(db->DatabaseName, name)) return db;
  return nullptr;
}

TDatabase& TSession::OpenDatabase(const std::string& name) {
  active_ = true;
  if (TDatabase* db = FindDatabase(name)) {
    db->Open();
    return *db;
  }
  auto db = std::make_unique<TDatabase>();
  db->DatabaseName = name;
  db->SessionName = name_;
  db->temporary_ = true;
  db->Open();
  temporary_.push_back(std::move(db));
  return *temporary_.back();
}

const TAlias* TSession::FindAlias(std::string_view name) const {
  if (ConfigMode & cfmSession)
    for (const TAlias& a : aliases_)
      if (SameText(a.Name, name)) return &a;
  return TAliasConfig::Instance().Find(name, ConfigMode);
}

bool TSession::IsAlias(const std::string& name) {
  return FindAlias(Trim(name)) != nullptr;
}

void TSession::GetAliasNames(TStringList& list) {
  std::vector<std::string> names;
  if (ConfigMode & cfmSession)
    for (const TAlias& a : aliases_) names.push_back(a.Name);
  std::vector<std::string> shared;
  TAliasConfig::Instance().Names(ConfigMode, shared);
  for (const std::string& n : shared)
    if (std::none_of(names.begin(), names.end(),
                     [&](const std::string& m) { return SameText(m, n); }))
      names.push_back(n);
  SortNames(names);
  list.Clear();
  for (auto& n : names) list.Add(std::move(n));
}

void TSession::GetAliasParams(const std::string& alias, TStringList& list) {
  const TAlias* a = FindAlias(alias);
  if (!a) throw Exception(Format(TranslateText("Engine", "Unknown database alias '%s'"), {alias}));
  list = a->Params;
}

std::string TSession::GetAliasDriverName(const std::string& alias) {
  const TAlias* a = FindAlias(alias);
  if (!a) throw Exception(Format(TranslateText("Engine", "Unknown database alias '%s'"), {alias}));
  return a->Driver;
}

void TSession::GetTableNames(const std::string& databaseName, const std::string& pattern,
                             bool extensions, bool systemTables, TStringList& list) {
  OpenDatabase(databaseName).Connection().GetTableNames(pattern, extensions, systemTables, list);
}

void TSession::AddAlias(const std::string& name, const std::string& driver,
                        const TStringList& params) {
  TDriverKind kind;
  if (!DriverKindOf(driver, kind))
    throw Exception(Format(TranslateText("Engine", "Unknown driver '%s'"), {driver}));
  if (Trim(name).empty()) throw Exception(TranslateText("Engine", "An alias needs a name"));
  if (FindAlias(name))
    throw Exception(Format(TranslateText("Engine", "Duplicate alias name '%s'"), {name}));
  TAlias a;
  a.Name = Trim(name);
  a.Driver = driver;
  a.Params = params;
  if (ConfigMode & cfmPersistent) {
    TAliasConfig::Instance().AddPersistent(std::move(a));
  } else {
    a.Scope = TAliasScope::Session;
    aliases_.push_back(std::move(a));
  }
}

void TSession::AddStandardAlias(const std::string& name, const std::string& path,
                                const std::string& defaultDriver) {
  TStringList params{
      "PATH=" + path,
      "DEFAULT DRIVER=" + (defaultDriver.empty() ? std::string("PARADOX") : defaultDriver)};
  AddAlias(name, "STANDARD", params);
}

void TSession::DeleteAlias(const std::string& name) {
  auto it = std::find_if(aliases_.begin(), aliases_.end(),
                         [&](const TAlias& a) { return SameText(a.Name, name); });
  if (it != aliases_.end()) {
    aliases_.erase(it);
    return;
  }
  if (TAliasConfig::Instance().DeletePersistent(name)) return;
  if (TAliasConfig::Instance().Find(name, cfmVirtual))
    throw Exception(Format(TranslateText("Engine", "The alias '%s' is read-only"), {name}));
  throw Exception(Format(TranslateText("Engine", "Unknown database alias '%s'"), {name}));
}

void TSession::SaveConfigFile() {
  TAliasConfig::Instance().Save();
}

// ---------------------------------------------------------------------------------------------

TDatabase::TDatabase() {
  AllDatabases().push_back(this);
}

TDatabase::~TDatabase() {
  Close();
  auto& all = AllDatabases();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

void TDatabase::Resolve(TDriverKind& kind, TStringList& params) const {
  std::string name = Trim(AliasName.empty() ? DatabaseName : AliasName);
  TSession* session = TSession::Find(SessionName);
  const TAlias* alias = session ? session->FindAlias(name) : nullptr;
  params.Clear();
  if (alias) {
    if (!DriverKindOf(alias->Driver, kind))
      throw Exception(Format(TranslateText("Engine", "Unknown driver '%s' of the alias '%s'"),
                             {alias->Driver, alias->Name}));
    params = alias->Params;
  } else if (!DriverName.empty()) {
    if (!DriverKindOf(DriverName, kind))
      throw Exception(Format(TranslateText("Engine", "Unknown driver '%s'"), {DriverName}));
  } else if (ParseDatabaseText(name, kind, params)) {
  } else if (name.empty()) {
    // No database at all: table files named by their paths (the folder mode).
    kind = TDriverKind::Standard;
  } else {
    throw Exception(Format(TranslateText("Engine", "Unknown database alias '%s'"), {name}));
  }
  for (const std::string& line : Params)
    params.SetValue(TStringList::NamePart(line), TStringList::ValuePart(line));
}

namespace {

bool MentionsPassword(const std::string& message) {
  return LowerCaseAscii(message).find("password") != std::string::npos;
}

}  // namespace

void TDatabase::Open() {
  if (Connected()) return;
  TSession* session = TSession::Find(SessionName);
  if (!session)
    throw Exception(Format(TranslateText("Engine", "Session '%s' not found"), {SessionName}));
  session->active_ = true;
  TDriverKind kind;
  TStringList params;
  Resolve(kind, params);
  auto askLogin = [&] {
    TStringList login{"USER NAME=" + params.Value("USER NAME"), "PASSWORD="};
    if (!LoginHandler()(*this, login))
      throw Exception(Format(TranslateText("Engine", "Login to the database '%s' was cancelled"),
                             {AliasName.empty() ? DatabaseName : AliasName}));
    params.SetValue("USER NAME", login.Value("USER NAME"));
    params.SetValue("PASSWORD", login.Value("PASSWORD"));
  };
  bool canAsk = IsServerDriver(kind) && LoginPrompt && !params.HasName("PASSWORD") &&
                LoginHandler() != nullptr;
  // An alias asks for its login before connecting; a database named by a URL without a password
  // asks only when the server turns the connection down for the want of one.
  bool named = session->FindAlias(Trim(AliasName.empty() ? DatabaseName : AliasName)) != nullptr;
  if (canAsk && named) askLogin();
  std::shared_ptr<TConnection> connection;
  try {
    connection = Connect(kind, params);
  } catch (const Exception& e) {
    if (!canAsk || named || !MentionsPassword(e.what())) throw;
    askLogin();
    connection = Connect(kind, params);
  }
  if (auto* folder = dynamic_cast<TFolderConnection*>(connection.get())) {
    // A heterogeneous query: the other databases connected in the same session are reachable
    // by their names.
    std::string sessionName = session->SessionName();
    folder->AttachedDatabases = [sessionName, folder] {
      TFolderConnection::TAttachedList list;
      TSession* s = TSession::Find(sessionName);
      if (!s) return list;
      for (TDatabase* db : s->Databases()) {
        if (!db->Connected() || db->Temporary() || db->DatabaseName.empty() ||
            db->connection_.get() == folder)
          continue;
        TFolderConnection::TAttachedDatabase a{db->DatabaseName, db->Kind(), {}, {}};
        if (db->Kind() == TDriverKind::Sqlite)
          a.Path = db->FilePath();
        else if (auto* other = dynamic_cast<TFolderConnection*>(db->connection_.get()))
          a.Path = other->Folder().empty() ? "./" : other->Folder();
        else
          a.Connection = db->connection_;
        list.push_back(std::move(a));
      }
      return list;
    };
  }
  kind_ = kind;
  filePath_ = kind == TDriverKind::Sqlite ? params.Value("PATH") : std::string();
  connection_ = std::move(connection);
}

void TDatabase::Close() {
  connection_.reset();
  filePath_.clear();
}

TConnection& TDatabase::Connection() {
  if (!connection_) Open();
  return *connection_;
}

}  // namespace morvale
