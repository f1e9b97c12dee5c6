#include "app/main/rangeexport.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/engine/session.h"
#include "cli/jobs.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

constexpr const char* kProgramPrefix = "morvale-export: ";

std::string PercentEncoded(const std::string& s, const char* keep = "") {
  static const char* const digits = "0123456789ABCDEF";
  std::string out;
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalnum(u) || std::strchr("-._~", c) || (c && std::strchr(keep, c))) {
      out += c;
    } else {
      out += '%';
      out += digits[u >> 4];
      out += digits[u & 15];
    }
  }
  return out;
}

}  // namespace

TRangeSource RangeSourceOf(const TDatabase& database) {
  TRangeSource source;
  TStringList params;
  database.Resolve(source.Kind, params);
  if (source.Kind == TDriverKind::Sqlite) {
    source.Database =
        "sqlite:" + (database.FilePath().empty() ? params.Value("PATH") : database.FilePath());
  } else if (source.Kind == TDriverKind::PostgreSql || source.Kind == TDriverKind::MySql) {
    std::string url = source.Kind == TDriverKind::MySql ? "mysql://" : "postgresql://";
    const std::string user = params.Value("USER NAME");
    if (!user.empty()) url += PercentEncoded(user) + "@";
    url += PercentEncoded(params.Value("SERVER NAME"));
    if (!params.Value("PORT").empty()) url += ":" + PercentEncoded(params.Value("PORT"));
    url += "/" + PercentEncoded(params.Value("DATABASE NAME"));
    std::string options = params.Value("OPTIONS");
    for (char& c : options)
      if (c == ';') c = '&';
    if (!options.empty()) url += "?" + PercentEncoded(options, "=&");
    source.Database = url;
    source.Password = params.Value("PASSWORD");
  }
  return source;
}

std::string RangeReasonText(const cli::TSplitReason& r) {
  using K = cli::TSplitReasonKind;
  switch (r.Kind) {
    case K::None:
      return "";
    case K::NotSelect:
      return TranslateText("ExportDialog", "текст не является запросом SELECT");
    case K::WithClause:
      return TranslateText("ExportDialog", "в запросе есть предложение WITH");
    case K::ManyStatements:
      return TranslateText("ExportDialog", "в тексте больше одной команды SQL");
    case K::Subquery:
      return TranslateText("ExportDialog", "в запросе есть подзапрос");
    case K::Aggregates:
      return Format(TranslateText("ExportDialog", "запрос вычисляет агрегатные функции (%s)"),
                    {r.Word});
    case K::WindowFunctions:
      return TranslateText("ExportDialog", "в запросе есть оконные функции (OVER)");
    case K::Distinct:
      return TranslateText("ExportDialog", "в запросе есть DISTINCT");
    case K::Joins:
      return TranslateText("ExportDialog", "запрос соединяет несколько таблиц");
    case K::Groups:
      return TranslateText("ExportDialog", "запрос группирует строки");
    case K::Clause:
      return Format(TranslateText("ExportDialog", "в запросе есть %s"), {r.Word});
    case K::Combines:
      return Format(
          TranslateText("ExportDialog", "запрос объединяет результаты нескольких запросов (%s)"),
          {r.Word});
    case K::NoTable:
      return TranslateText("ExportDialog", "запрос не читает ни одной таблицы");
    case K::ReadsSubquery:
      return TranslateText("ExportDialog", "запрос читает из подзапроса");
    case K::Sorted:
      return TranslateText("ExportDialog", "запрос упорядочен (ORDER BY)");
    case K::SortedByOther:
      return TranslateText(
          "ExportDialog",
          "запрос упорядочен (ORDER BY) не по тому столбцу, по которому он делится");
    case K::TypeNotInShares:
      return TranslateText("ExportDialog", "файл этого типа не собирается из частей");
    case K::Server:
      return TranslateText("ExportDialog",
                           "частями читаются только базы PostgreSQL, MySQL/MariaDB и SQLite");
    case K::NotPlainTable:
      return Format(TranslateText("ExportDialog",
                                  "%s — не обычная таблица, и её строки не делятся по страницам"),
                    {r.Table});
    case K::NoRowid:
      return Format(TranslateText("ExportDialog",
                                  "у %s нет rowid (это представление или таблица WITHOUT ROWID)"),
                    {r.Table});
    case K::Wal:
      return TranslateText(
          "ExportDialog",
          "база SQLite работает в режиме WAL, в котором разные процессы не могут читать один "
          "общий снимок");
    case K::NoPrimaryKey:
      return Format(TranslateText("ExportDialog",
                                  "у таблицы %s нет первичного ключа (или это представление)"),
                    {r.Table});
    case K::CompositeKey:
      return Format(
          TranslateText("ExportDialog", "первичный ключ таблицы %s состоит из нескольких столбцов"),
          {r.Table});
    case K::KeyNotInteger:
      return Format(
          TranslateText("ExportDialog", "первичный ключ таблицы %s не целочисленный (%s)"),
          {r.Table, r.Word});
  }
  return "";
}

std::string RangeReadsWhy(TDriverKind kind, const std::string& sql, TAllowedExport type) {
  using K = cli::TSplitReasonKind;
  const std::string word = ExportTypeInfo(type).Words.front().Word;
  cli::TSplitReason why;
  if (kind != TDriverKind::PostgreSql && kind != TDriverKind::MySql && kind != TDriverKind::Sqlite)
    why = {K::Server, "", ""};
  else if (!cli::TypeJoins(word) && !cli::TypeSplitsIntoFiles(word))
    why = {K::TypeNotInShares, "", word};
  else
    why = cli::ShapeOf(sql, "").Why;
  if (!why) return {};
  return Format(TranslateText("ExportDialog", "Параллельное чтение недоступно: %s."),
                {RangeReasonText(why)});
}

// ---- the program's standard error -------------------------------------------------------------

void TRangeProgressReader::Feed(const std::string& bytes) {
  pending_ += bytes;
  size_t start = 0;
  for (;;) {
    const size_t end = pending_.find_first_of("\r\n", start);
    if (end == std::string::npos) break;
    Segment(pending_.substr(start, end - start), true);
    start = end + 1;
  }
  pending_.erase(0, start);
  // A progress line stays open until it is drawn again: read it as it stands.
  Segment(pending_, false);
}

void TRangeProgressReader::Segment(const std::string& text, bool whole) {
  if (text.starts_with(kProgramPrefix)) {
    if (!whole) return;  // a message is read once its line is whole
    const std::string message = text.substr(std::string(kProgramPrefix).size());
    const std::string oneJob = " runs as one job: ";
    const size_t at = message.find(oneJob);
    if (message.starts_with("--jobs ") && at != std::string::npos) {
      if (OneJob) OneJob(message.substr(at + oneJob.size()));
      return;
    }
    messages_ += (messages_.empty() ? "" : "\n") + message;
    return;
  }
  // "1200 records exported by 3 jobs (400 + 410 + 390), 0:00:02", or one job's
  // "1200 records exported, 600 rec/s, 0:00:02".
  char* end = nullptr;
  const long long total = std::strtoll(text.c_str(), &end, 10);
  if (end == text.c_str() || !std::string_view(end).starts_with(" records ")) return;
  const size_t open = text.find(" jobs (");
  const size_t close = text.find(')', open);
  if (open == std::string::npos || close == std::string::npos) {
    if (PartRows) PartRows(1, 1, total);
    return;
  }
  std::vector<int64_t> rows;
  const char* p = text.c_str() + open + 7;
  while (p < text.c_str() + close) {
    rows.push_back(std::strtoll(p, &end, 10));
    if (end == p) return;
    p = end;
    while (*p == ' ' || *p == '+') ++p;
  }
  if (PartRows)
    for (size_t k = 0; k < rows.size(); ++k)
      PartRows(static_cast<int>(k + 1), static_cast<int>(rows.size()), rows[k]);
}

// ---- the run ----------------------------------------------------------------------------------

std::string ExportProgram() {
  if (const char* env = std::getenv("MORVALE_EXPORT_PROGRAM"); env && *env) return env;
  const QString folder = QCoreApplication::applicationDirPath();
  for (const QString& candidate :
       {folder + "/morvale-export", folder + "/../../cli/morvale-export"}) {
    const QFileInfo info(candidate);
    if (info.isFile() && info.isExecutable()) return info.canonicalFilePath().toStdString();
  }
  return (folder + "/morvale-export").toStdString();
}

bool RunRangeExport(const TRangeSource& source, const std::string& sql, const TRangeRun& run) {
  QProcess program;
  program.setProgram(QString::fromStdString(ExportProgram()));
  auto q = [](const std::string& s) { return QString::fromStdString(s); };
  // The options file first: what follows it overrides the file.
  program.setArguments({"--db", q(source.Database), "--sql", q(sql), "--options",
                        q(run.OptionsFile), "--type",
                        q(ExportTypeInfo(run.Type).Words.front().Word), "-o", q(run.FileName),
                        "--jobs", QString::number(run.Connections), "--progress"});
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  // Each client library takes a password that its connection text does not give from there.
  if (!source.Password.empty())
    environment.insert(source.Kind == TDriverKind::MySql ? "MYSQL_PWD" : "PGPASSWORD",
                       q(source.Password));
  program.setProcessEnvironment(environment);
  program.setStandardOutputFile(QProcess::nullDevice());
  program.setStandardInputFile(QProcess::nullDevice());

  TRangeProgressReader reader;
  reader.PartRows = run.PartRows;
  reader.OneJob = [&run](const std::string& why) {
    if (!run.Note) return;
    // The program says why in its own words; the window says it in its own.
    const cli::TSplitReason reason = cli::SplitReasonFromText(why);
    run.Note(reason
                 ? Format(TranslateText("ExportDialog", "Источник прочитан одним соединением: %s."),
                          {RangeReasonText(reason)})
                 : TranslateText("ExportDialog", "Источник прочитан одним соединением."));
  };
  QEventLoop loop;
  QObject::connect(&program, &QProcess::readyReadStandardError,
                   [&] { reader.Feed(program.readAllStandardError().toStdString()); });
  QObject::connect(&program, &QProcess::finished, &loop, &QEventLoop::quit);
  QObject::connect(&program, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
    if (e == QProcess::FailedToStart) loop.quit();
  });
  // The user's stop is asked for between two turns of the loop; the question it may show runs a
  // loop of its own, in which this timer must not ask again.
  bool stopped = false, asking = false;
  QTimer poll;
  poll.setInterval(50);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (stopped || asking || !run.Stopped) return;
    asking = true;
    stopped = run.Stopped();
    asking = false;
    if (!stopped) return;
    // The program stops its jobs, removes their shares and leaves the previous file; one that
    // does not end in a while is ended.
    program.terminate();
    QTimer::singleShot(30000, &program, [&program] { program.kill(); });
  });
  program.start();
  poll.start();
  if (program.state() != QProcess::NotRunning || program.error() != QProcess::FailedToStart)
    loop.exec();
  poll.stop();
  if (program.error() == QProcess::FailedToStart)
    throw Exception(Format(TranslateText("ExportDialog", "Не удалось запустить %s: %s"),
                           {program.program().toStdString(), program.errorString().toStdString()}));
  reader.Feed(program.readAllStandardError().toStdString());
  reader.Feed("\n");
  if (program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0) return true;
  if (stopped) return false;
  // The first message is the failure's; those after it say what became of the file, which the
  // window says itself.
  const std::string& messages = reader.Messages();
  if (!messages.empty()) throw Exception(messages.substr(0, messages.find('\n')));
  throw Exception(Format(TranslateText("ExportDialog", "%s завершилась с кодом %s"),
                         {program.program().toStdString(), std::to_string(program.exitCode())}));
}

}  // namespace morvale
