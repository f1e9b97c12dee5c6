#include "cli/run.h"

#include <chrono>
#include <cstdio>

#include "app/engine/connect.h"
#include "cli/clipboard.h"
#include "cli/dialogfile.h"
#include "cli/formats.h"
#include "cli/login.h"
#include "cli/options.h"
#include "export/core/codepage.h"
#include "export/core/formatsettings.h"
#include "export/core/inifile.h"
#include "export/core/properties.h"
#include "export/core/switches.h"
#include "export/text/html.h"
#include "export/text/json.h"
#include "export/xls/exportxls.h"

namespace morvale::cli {

namespace {

// What applies to the exporter itself, however it was made: title, colour template, --set.
void ConfigureProperties(TExport& e, const TCliOptions& o) {
  if (o.HasTitle) e.Title = o.Title;
  if (!o.HtmlTemplate.empty()) dynamic_cast<TExportHTML&>(e).LoadTemplateFromFile(o.HtmlTemplate);
  if (!o.XlsExtras.empty()) dynamic_cast<TExportXLS&>(e).LoadExtrasFromIni(TIniFile(o.XlsExtras));
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
  ConfigureProperties(e, o);
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
  std::string sql = o.Table.empty() ? o.Sql : TableQuery(o.Table);
  if (o.Attach.empty()) return OpenQuery(o.Database, sql, DefaultFormatSettings());
  return OpenQuery(o.Database, o.Attach, sql, DefaultFormatSettings());
}

int Export(const TCliOptions& o, TStream& out, std::ostream& err) {
  if (o.HasLocale) SetDefaultFormatSettings(TFormatSettings::FromLocale(o.Locale));
  const TCliExportType& type = *FindExportType(o.Type);
  if (type.WriteQuery) {
    std::unique_ptr<TDataSet> ds = OpenSource(o);
    type.WriteQuery(*ds, o.Output, out);
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
  if (!o.SaveOptionsFile.empty()) SaveCommandLineOptions(o, *e, *ds);
  if (toStdout && type.BlobsNeedFile) RefuseBlobsToStdout(*ds, *e, type.Name);
  e->ExportSource = esDataSet;
  e->SetDataSet(ds.get());

  std::unique_ptr<TProgress> progress;
  if (o.Progress) progress = std::make_unique<TProgress>(*e, err);
  if (toStdout) {
    e->ExportToStream(out);
    out.Flush();
  } else if (file) {
    file->FileName = o.Output;
    file->Execute();
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
    return Export(o, out, err);
  } catch (const EUsageError& ex) {
    err << "morvale-export: " << ex.what() << "\n";
    return 2;
  } catch (const EPropertyError& ex) {
    err << "morvale-export: " << ex.what() << "\n";
    return 2;
  } catch (const std::exception& ex) {
    err << "morvale-export: " << ex.what() << "\n";
    return 1;
  }
}

}  // namespace morvale::cli
