#include "cli/run.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "app/engine/connect.h"
#include "cli/cancel.h"
#include "cli/clipboard.h"
#include "cli/dialogfile.h"
#include "cli/formats.h"
#include "cli/jobs.h"
#include "cli/login.h"
#include "cli/notes.h"
#include "cli/options.h"
#include "cli/tables.h"
#include "export/core/codepage.h"
#include "export/core/compress.h"
#include "export/core/formatsettings.h"
#include "export/core/inifile.h"
#include "export/core/properties.h"
#include "export/core/stamp.h"
#include "export/core/switches.h"
#include "export/dialog/tablebatch.h"
#include "export/text/html.h"
#include "export/text/json.h"
#include "export/workbook/exportworkbook.h"

namespace morvale::cli {

namespace {

// What applies to the exporter itself, however it was made: title, colour template, --set.
void ConfigureProperties(TExport& e, const TCliOptions& o) {
  if (o.HasTitle) e.Title = o.Title;
  if (!o.HtmlTemplate.empty()) dynamic_cast<TExportHTML&>(e).LoadTemplateFromFile(o.HtmlTemplate);
  if (!o.XlsExtras.empty())
    dynamic_cast<TExportWorkbook&>(e).LoadExtrasFromIni(TIniFile(o.XlsExtras));
  if (!o.Encoding.empty()) {
    if (dynamic_cast<TExportJSON*>(&e)) {
      // JSON text between systems is UTF-8, without a byte order mark (RFC 8259): the file is
      // that whatever the system code page, so UTF-8 is granted as it is and nothing else is.
      TTextEncoding asked = encSystem;
      TextEncodingByName(o.Encoding, asked);
      if (asked != encUTF8 && !(asked == encSystem && SystemCodePageIsUtf8()))
        throw EUsageError("--encoding " + TextEncodingName(asked) + " does not apply to --type " +
                          o.Type + ": JSON is always written in UTF-8 without a byte order mark");
    } else {
      if (!Publishes(e, TPublishedSwitch("Encoding")))
        throw EUsageError("--encoding does not apply to --type " + o.Type);
      SetPropertyText(e, "Encoding", o.Encoding);
    }
  }
  // Explicit property settings come last, so they win over the shortcuts above.
  for (const auto& [path, value] : o.Sets) SetPropertyText(e, path, value);
}

void Configure(TExport& e, const TCliOptions& o) {
  for (const auto& f : o.Fields) e.ExportedFields.Add(f);
  if (o.NoCaptions) e.AllowCaptions = false;
  e.SkipRecCount = o.Skip;
  e.ExportRecCount = o.Count;
  e.CurrentRecordOnly = o.CurrentRecordOnly;
  for (const auto& h : o.Headers) e.Header.Add(h);
  for (const auto& f : o.Footers) e.Footer.Add(f);
  for (const auto& c : o.Captions) e.Captions.Add(c);
  for (const auto& [kind, fmt] : o.Formats) SetFormatKind(e.Formats, kind, fmt);
  KeepDigits(e, o);
  if (auto* file = dynamic_cast<TExportText*>(&e)) file->Parts = o.Parts;
  ConfigureProperties(e, o);
}

// Parts the exporter cannot make are refused before anything is written.
void CheckParts(const TExport& e, const TCliOptions& o) {
  const auto* file = dynamic_cast<const TExportText*>(&e);
  if (!file || !file->Parts.Active()) return;
  if (file->Parts.Splits() && !file->SplitsIntoParts())
    throw EUsageError("--split-rows and --split-size do not apply to --type " + o.Type +
                      ": its files are not whole when cut between rows");
  if ((file->Parts.Splits() || file->Parts.Manifest) && o.Output == "-")
    throw EUsageError("--split-rows, --split-size and --manifest write files: give -o a file name");
}

// Records, rate and elapsed time on one line of standard error, redrawn at most ten times a second.
class TProgress {
 public:
  TProgress(TExport& e, std::ostream& err) : err_(err), start_(Clock::now()) {
    e.OnFetchedRecord = [this](TObject*, int) { Tick("read", ++read_); };
    e.OnSkippedRecord = [this](TObject*, int) { Tick("skipped", ++skipped_); };
    e.OnExportedRecord = [this](TObject*, int) { Tick("exported", ++exported_); };
  }
  // A failed run still ends the progress line, so the error message starts a line of its own.
  ~TProgress() {
    if (drawn_) err_ << "\n";
  }
  void Finish() { Draw("exported", exported_); }

 private:
  using Clock = std::chrono::steady_clock;
  void Tick(const char* what, long n) {
    auto now = Clock::now();
    if (now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    Draw(what, n);
  }
  void Draw(const char* what, long n) {
    double secs = std::chrono::duration<double>(Clock::now() - start_).count();
    long total = read_ + skipped_ + exported_;
    long rate = secs > 0 ? static_cast<long>(total / secs) : 0;
    int s = static_cast<int>(secs);
    char line[128];
    std::snprintf(line, sizeof line, "\r%ld records %s, %ld rec/s, %d:%02d:%02d   ", n, what, rate,
                  s / 3600, s / 60 % 60, s % 60);
    err_ << line << std::flush;
    drawn_ = true;
  }
  std::ostream& err_;
  Clock::time_point start_, last_{};
  long read_ = 0, skipped_ = 0, exported_ = 0;
  bool drawn_ = false;
};

// The settings of an options file that read the rows in one order or cut the output, which the
// part of a range cannot honour (the flags that set them are refused when they are parsed).
void RefuseRangesOfFile(const TExport& e, const std::string& optionsFile) {
  const auto* file = dynamic_cast<const TExportText*>(&e);
  if (e.SkipRecCount || e.ExportRecCount || e.CurrentRecordOnly ||
      (file && (file->Parts.Splits() || file->Parts.Compression != cmpNone)))
    throw EUsageError("The options file '" + optionsFile +
                      "' skips or counts records, exports the current record only, or splits or "
                      "compresses the file: not with --jobs, --plan or --part");
}

// Before anything is written: a memo column of the export would come out blank on standard output.
// Memo and binary fields are exported only when --fields names them.
void RefuseBlobsToStdout(const TDataSet& ds, const TExport& e, const std::string& type) {
  for (const std::string& name : e.ExportedFields) {
    const TField* f = ds.FindField(name);
    if (!f || !f->IsBlob()) continue;
    throw EUsageError("The type '" + type + "' writes the memo field '" + f->FieldName +
                      "' to a file beside the table: give a file name instead of -o -");
  }
}

// The query of --table or --sql on --db, across the --attach databases when there are any.
std::unique_ptr<TDataSet> OpenSource(const TCliOptions& o) {
  std::string sql = o.Table.empty() ? o.Sql : TableQuery(o.Database, o.Table, !o.Attach.empty());
  if (o.Attach.empty()) return OpenQuery(o.Database, sql, DefaultFormatSettings());
  return OpenQuery(o.Database, o.Attach, sql, DefaultFormatSettings());
}

std::string FailedNote(const std::string& kept) {
  return kept.empty() ? kept : "the export failed; " + kept;
}

// Runs the export into the file of -o. A run that fails or is stopped by a signal leaves the
// previous file as it was, and the messages say so: `failed` holds, while the run goes, what to
// add to its error.
int ExportToFile(TExportText& file, const std::string& fileName,
                 std::unique_ptr<TProgress>& progress, std::string& failed, std::ostream& err) {
  const std::string kept = KeptFileNote(fileName);
  file.FileName = fileName;
  TSignalCancel cancel(file);
  failed = FailedNote(kept);
  file.Execute();
  failed.clear();
  const int signal = cancel.Signal();
  if (signal == 0) return 0;
  progress.reset();  // the message starts a line of its own
  err << "morvale-export: the export was cancelled" << (kept.empty() ? "" : "; " + kept) << "\n";
  return 128 + signal;
}

// A SOURCE_DATE_EPOCH that does not read is ignored and the clock dates the files; whoever set it
// expects the same bytes on every run, so they hear once why they will not get them.
void WarnUnreadableSourceDateEpoch(std::ostream& err) {
  const char* value = std::getenv("SOURCE_DATE_EPOCH");
  if (value && *value && !ParseSourceDateEpoch(value))
    err << "morvale-export: SOURCE_DATE_EPOCH \"" << value
        << "\" is not whole seconds since 1970; the files are dated by the clock\n";
}

// The exporter of one table of --tables, configured as --table configures it: from the flags, or
// from the options file over the table's columns (which the file's per-column sections need).
struct TTableExporter {
  std::unique_ptr<TExport> owned;
  std::unique_ptr<TOptionsFileExport> fromFile;
  TExport* e = nullptr;
  // The fields chosen by name, found in each table (FieldsOfTable); none: every plain field.
  std::vector<std::string> chosen;
};

TTableExporter MakeTableExporter(const TCliOptions& o, const TCliExportType& type, TDataSet* ds) {
  TTableExporter x;
  if (!o.OptionsFile.empty()) {
    x.fromFile = std::make_unique<TOptionsFileExport>(o, *ds);
    x.e = &x.fromFile->Exporter();
    ConfigureProperties(*x.e, o);
    x.chosen = x.fromFile->Model().Settings().ExportedFields;
  } else {
    x.owned = type.Create();
    Configure(*x.owned, o);
    x.e = x.owned.get();
    x.chosen = o.Fields;
  }
  x.e->ExportedFields.Clear();
  CheckParts(*x.e, o);
  return x;
}

// The first table of the run that opens: an options file is read over a table's columns before
// the run can know whether its tables go to one workbook.
std::unique_ptr<TDataSet> OpenSetupTable(const std::vector<std::string>& tables,
                                         const TTableOpener& open) {
  for (const std::string& table : tables) {
    try {
      return open(table);
    } catch (const std::exception&) {
      // The run names it when its turn comes.
    }
  }
  return nullptr;
}

// --tables: every table the patterns name, with the settings --table would give one of them.
int ExportTables(const TCliOptions& o, TStream& out, std::ostream& err) {
  const TCliExportType& type = *FindExportType(o.Type);
  const std::vector<std::string> tables = MatchTables(TableNames(o.Database, "*.*"), o.Tables);
  const TTableOpener open = [&o](const std::string& table) {
    return OpenQuery(o.Database, TableQuery(o.Database, table), DefaultFormatSettings());
  };
  WarnUnreadableSourceDateEpoch(err);
  TFileNameFields fields;
  fields.Type = type.Name;
  fields.Stamp = ExportStamp();
  TTablesReport report(err);
  TTableBatch batch(tables, open, fields, &report);

  std::unique_ptr<TDataSet> setupTable;
  TTableExporter setup;
  if (type.Create) {
    if (!o.OptionsFile.empty()) setupTable = OpenSetupTable(tables, open);
    if (setupTable || o.OptionsFile.empty()) setup = MakeTableExporter(o, type, setupTable.get());
  }
  auto* workbook = dynamic_cast<TExportWorkbook*>(setup.e);
  const bool oneWorkbook = workbook && workbook->SheetPerTable;
  const std::string pattern = TablesOutputPattern(o.Output, oneWorkbook);
  if (oneWorkbook) {
    std::unique_ptr<TProgress> progress;
    if (o.Progress) progress = std::make_unique<TProgress>(*workbook, err);
    workbook->ExportSource = esDataSet;
    workbook->SetDataSet(nullptr);
    setupTable.reset();  // each sheet opens its own table in turn
    batch.RunWorkbook(*workbook, pattern, setup.chosen, [] { return false; });
    progress.reset();
    if (!batch.WorkbookError().empty())
      err << "morvale-export: the workbook was not written: " << batch.WorkbookError() << "\n";
    return report.Summary(batch);
  }
  setupTable.reset();
  bool saved = o.SaveOptionsFile.empty();
  batch.RunFiles(pattern, [&](const std::string&, TDataSet& ds, const std::string& fileName) {
    if (type.WriteQuery) {
      type.WriteQuery(ds, fileName, out);
      return true;
    }
    TTableExporter x = MakeTableExporter(o, type, &ds);
    TExport& e = *x.e;
    for (const std::string& f : FieldsOfTable(x.chosen, ds)) e.ExportedFields.Add(f);
    // The options file of the run is the first table's: the settings are the same for all.
    if (!saved) SaveCommandLineOptions(o, e, ds);
    saved = true;
    e.ExportSource = esDataSet;
    e.SetDataSet(&ds);
    auto& file = dynamic_cast<TExportText&>(e);
    file.FileName = fileName;
    {
      std::unique_ptr<TProgress> progress;
      if (o.Progress) progress = std::make_unique<TProgress>(e, err);
      file.Execute();
    }
    report.Records = e.RecordCounter;
    std::ostringstream notes;
    PrintRunNotes(ds, e, notes);
    report.Notes = notes.str();
    e.SetDataSet(nullptr);
    return true;
  });
  return report.Summary(batch);
}

// -o of one table or query, its fields filled in: ${table} is --table's name ("Unknown" for a
// query, as the main window names one), ${n} is 1.
// --table's name as a file name holds it: "say ""hi""" or `order` without the quotes SQL needs.
std::string UnquotedTable(const std::string& table) {
  if (table.size() < 2) return table;
  const char open = table.front(), close = open == '[' ? ']' : open;
  if ((open != '"' && open != '`' && open != '[') || table.back() != close) return table;
  std::string name;
  for (size_t i = 1; i + 1 < table.size(); ++i) {
    name += table[i];
    if (table[i] == close && table[i + 1] == close) ++i;
  }
  return name;
}

std::string OutputFileName(const TCliOptions& o, const TCliExportType& type) {
  if (o.Output == "-" || !IsFileNamePattern(o.Output)) return o.Output;
  TFileNameFields fields;
  fields.Table = UnquotedTable(o.Table);
  fields.Type = type.Name;
  fields.Stamp = ExportStamp();
  return ExpandFileNamePattern(o.Output, fields);
}

int Export(const TCliOptions& o, TStream& out, std::ostream& err, std::string& failed) {
  if (o.HasLocale) SetDefaultFormatSettings(TFormatSettings::FromLocale(o.Locale));
  if (!o.Tables.empty() && !o.ListProperties) return ExportTables(o, out, err);
  if (o.Plan) return RunPlan(o, out, err);
  if (o.Jobs)
    return RunJobs(o, err, [&](const TCliOptions& one) { return Export(one, out, err, failed); });
  if (o.Part && !o.RecordsWritten)
    return RunPart(o, err, [&](const TCliOptions& p, bool first, bool last, int64_t& rows) {
      TCliOptions share = p;
      share.ShareOpening = first;
      share.ShareClosing = last;
      share.RecordsWritten = &rows;
      return Export(share, out, err, failed);
    });
  const TCliExportType& type = *FindExportType(o.Type);
  if (type.WriteQuery) {
    std::unique_ptr<TDataSet> ds = OpenSource(o);
    const std::string fileName = OutputFileName(o, type);
    if (fileName != "-") failed = FailedNote(KeptFileNote(fileName));
    type.WriteQuery(*ds, fileName, out);
    failed.clear();
    out.Flush();
    return 0;
  }
  std::unique_ptr<TDataSet> ds;
  std::unique_ptr<TExport> owned;
  std::unique_ptr<TOptionsFileExport> fromFile;
  TExport* e = nullptr;
  if (!o.OptionsFile.empty()) {
    // The dialog's columns and Start need the query open.
    ds = OpenSource(o);
    fromFile = std::make_unique<TOptionsFileExport>(o, *ds);
    e = &fromFile->Exporter();
    if (o.Part) RefuseRangesOfFile(*e, o.OptionsFile);
    ConfigureProperties(*e, o);
  } else {
    owned = type.Create();
    Configure(*owned, o);
    e = owned.get();
  }
  if (o.ListProperties) {
    std::string text;
    for (const std::string& line : ListProperties(*e)) text += line + "\n";
    out.Write(text);
    return 0;
  }
  auto* file = dynamic_cast<TExportText*>(e);
  const bool toStdout = o.Output == "-";
  if (toStdout && !type.Streamable)
    throw EUsageError("The type '" + type.Name + "' cannot be written to standard output (-o -)");

  if (!ds) ds = OpenSource(o);
  WarnUnreadableSourceDateEpoch(err);
  if (!o.SaveOptionsFile.empty()) SaveCommandLineOptions(o, *e, *ds);
  if (toStdout && type.BlobsNeedFile) RefuseBlobsToStdout(*ds, *e, type.Name);
  e->ExportSource = esDataSet;
  e->SetDataSet(ds.get());
  e->ShareOpening = o.ShareOpening;
  e->ShareClosing = o.ShareClosing;

  std::unique_ptr<TProgress> progress;
  if (o.Progress) progress = std::make_unique<TProgress>(*e, err);
  CheckParts(*e, o);
  if (toStdout && file && file->Parts.Compression != cmpNone) {
    TCompressStream packed(out, file->Parts.Compression, "standard output");
    e->ExportToStream(packed);
    packed.Finish();
    out.Flush();
  } else if (toStdout) {
    e->ExportToStream(out);
    out.Flush();
  } else if (file) {
    if (int status = ExportToFile(*file, OutputFileName(o, type), progress, failed, err))
      return status;
  } else {
    // The exporters without a file put their text on the clipboard.
    TCliClipboard clipboard(out, err, e->Encoding);
    SetClipboard(&clipboard);
    struct Restore {
      ~Restore() { SetClipboard(nullptr); }
    } restore;
    e->Execute();
  }
  if (progress) progress->Finish();
  progress.reset();  // the notes start lines of their own
  if (o.RecordsWritten) *o.RecordsWritten = e->RecordCounter;
  PrintRunNotes(*ds, *e, err);
  e->SetDataSet(nullptr);
  return 0;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, TStream& out, std::ostream& err) {
  TCliOptions o;
  try {
    o = ParseOptions(args);
  } catch (const Exception& ex) {
    err << "morvale-export: " << ex.what() << "\n"
        << "Try 'morvale-export --help'.\n";
    return 2;
  }
  if (o.Help) {
    out.Write(UsageText());
    out.Flush();
    return 0;
  }
  SetLoginHandler(TerminalLogin);
  std::string failed;
  try {
    if (o.ListAliases || o.ListTables) {
      std::string text;
      for (const std::string& name :
           o.ListAliases ? AliasNames() : TableNames(o.Database, o.Pattern))
        text += name + "\n";
      out.Write(text);
      out.Flush();
      return 0;
    }
    return Export(o, out, err, failed);
  } catch (const EUsageError& ex) {
    err << "morvale-export: " << ex.what() << "\n";
    return 2;
  } catch (const EPropertyError& ex) {
    err << "morvale-export: " << ex.what() << "\n";
    return 2;
  } catch (const std::exception& ex) {
    err << "morvale-export: " << ex.what() << "\n";
    if (!failed.empty()) err << "morvale-export: " << failed << "\n";
    return 1;
  }
}

}  // namespace morvale::cli
