// ODBC data sources through Qt SQL's driver. Each open statement streams its rows forward only;
// a statement that opens while another one is still reading gets a connection of its own,
// because a server connection serves one result at a time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QString>

#include "app/engine/connection.h"
#include "app/engine/sqltext.h"

class QSqlField;
class QSqlError;

namespace morvale {

class TQtConnection : public TConnection, public std::enable_shared_from_this<TQtConnection> {
 public:
  // Connects at once; a refused login or an unknown host raises the server's message.
  TQtConnection(TDriverKind kind, const TStringList& params);
  ~TQtConnection() override;

  std::unique_ptr<TCursor> OpenCursor(const std::string& sql) override;
  void GetTableNames(const std::string& pattern, bool extensions, bool systemTables,
                     TStringList& out) override;
  TDriverKind Kind() const { return kind_; }
  TSqlNameDialect NameDialect() const override { return NameDialectOf(kind_); }
  std::string SqlNameOf(const std::string& name) override;

  // The name of a Qt connection a statement may use: this one when it is free, else a new one
  // with the same settings. Give it back with Release.
  QString Acquire();
  void Release(const QString& name);

 private:
  std::unique_ptr<TCursor> OpenCommand(const TSqlCommand& cmd, const std::string& sql);
  static constexpr size_t kIdleConnections = 4;
  TDriverKind kind_;
  // How an ODBC data source folds the case of a bare name: 'U' upper, 'L' lower, 0 not at all.
  char folding_ = 0;
  QString name_;
  bool busy_ = false;
  std::vector<QString> idle_;  // extra connections free for the next statement
};

// A Qt connection held for one statement: acquired when made, given back when it goes.
class TQtLease {
 public:
  explicit TQtLease(TQtConnection& connection)
      : connection_(connection), name_(connection.Acquire()) {}
  ~TQtLease() { connection_.Release(name_); }
  TQtLease(const TQtLease&) = delete;
  TQtLease& operator=(const TQtLease&) = delete;
  const QString& Name() const { return name_; }

 private:
  TQtConnection& connection_;
  QString name_;
};

// The field of a result column of a server driver, from its type code and sizes.
TFieldDef QtFieldDef(TDriverKind kind, const QSqlField& field);

// The type of an ODBC column as SHOW FIELDS writes it ("VARCHAR(40)").
std::string OdbcTypeName(const QSqlField& field);

// The server's own text of a failure, else Qt's.
std::string ErrorText(const QSqlError& error);

// Qt SQL loads its drivers through a Qt application object; the command-line program and the
// tests have none of their own. A program that may need a GUI application later (fonts) names the
// function that makes it, so that the engine does not make a plain one first; without it the
// engine makes a QCoreApplication.
void EnsureQtApplication();
void SetQtApplicationMaker(void (*maker)());

}  // namespace morvale
