#include "cli/dialogfile.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "cli/formats.h"
#include "cli/notes.h"
#include "export/core/inifile.h"

namespace morvale::cli {

namespace {

// True when the arguments after --options give this option.
bool Given(const TCliOptions& o, const std::string& option) {
  for (const std::string& a : o.AfterArgs)
    if (a == option || a.starts_with(option + "=")) return true;
  return false;
}

// The flags given before --options, as the component's values: what the file does not set.
void ApplyToComponent(const TCliOptions& b, TExportDialog& d) {
  for (const std::string& f : b.Fields) d.ExportedFields.Add(f);
  if (b.NoCaptions) d.AllowCaptions = false;
  d.SkipRecCount = b.Skip;
  d.ExportRecCount = b.Count;
  d.CurrentRecordOnly = b.CurrentRecordOnly;
  for (const std::string& h : b.Headers) d.Header.Add(h);
  for (const std::string& f : b.Footers) d.Footer.Add(f);
  for (const std::string& c : b.Captions) d.Captions.Add(c);
  for (const auto& [kind, fmt] : b.Formats) SetFormatKind(d.Formats, kind, fmt);
  d.Parts = b.Parts;
}

// The flags given after --options, over what the file set.
void ApplyToModel(const TCliOptions& o, TExportDialogModel& m) {
  const TCliOptions& a = *o.After;
  TDialogSettings& s = m.Settings();
  if (!a.Fields.empty()) {
    m.MoveAllBack();
    for (const std::string& f : a.Fields) {
      if (m.Columns().IndexOfName(f) < 0)
        throw EUsageError("Unknown field '" + f + "' for --fields");
      m.MoveToExported(f);
    }
  }
  if (a.NoCaptions) s.AllowCaptions = false;
  if (Given(o, "--skip")) s.SkipRecCount = a.Skip;
  if (Given(o, "--count")) {
    s.ExportRecCount = a.Count;
    s.ExportLimited = a.Count > 0;
  }
  if (a.CurrentRecordOnly) s.CurrentRecordOnly = true;
  if (!a.Headers.empty()) s.Header.Clear();
  for (const std::string& h : a.Headers) s.Header.Add(h);
  if (!a.Footers.empty()) s.Footer.Clear();
  for (const std::string& f : a.Footers) s.Footer.Add(f);
  for (const std::string& c : a.Captions) {
    std::string_view name = TStringList::NamePart(c);
    for (TCaptionRow& row : s.Captions)
      if (SameText(row.FieldName, name)) row.Caption = std::string(TStringList::ValuePart(c));
  }
  for (const auto& [kind, fmt] : a.Formats) SetFormatKind(s.Formats, kind, fmt);
  if (Given(o, "--split-rows")) s.Parts.SplitRows = a.Parts.SplitRows;
  if (Given(o, "--split-size")) s.Parts.SplitSize = a.Parts.SplitSize;
  if (Given(o, "--compress")) s.Parts.Compression = a.Parts.Compression;
  if (a.Parts.Manifest) s.Parts.Manifest = true;
}

}  // namespace

void SetFormatKind(TExportFormats& f, const std::string& kind, const std::string& fmt) {
  using Setter = void (TExportFormats::*)(const std::string&);
  static const std::pair<const char*, Setter> kinds[] = {
      {"integer", &TExportFormats::SetIntegerFormat},
      {"float", &TExportFormats::SetFloatFormat},
      {"date", &TExportFormats::SetDateFormat},
      {"time", &TExportFormats::SetTimeFormat},
      {"datetime", &TExportFormats::SetDateTimeFormat},
      {"currency", &TExportFormats::SetCurrencyFormat},
      {"true", &TExportFormats::SetBooleanTrue},
      {"false", &TExportFormats::SetBooleanFalse},
      {"null", &TExportFormats::SetNullString}};
  for (const auto& [name, set] : kinds)
    if (SameText(kind, name)) (f.*set)(fmt);
}

std::string CliTypeName(TAllowedExport t) {
  return ExportTypeInfo(t).Words.front().Word;
}

const TExportTypeInfo* DialogTypeOf(const std::string& cliType) {
  const TCliExportType* type = FindExportType(cliType);
  return type ? type->OptionsType : nullptr;
}

void ApplyOptionsFileDefaults(TCliOptions& o) {
  {
    std::ifstream in(o.OptionsFile, std::ios::binary);
    if (!in)
      throw EUsageError("Cannot read the options file '" + o.OptionsFile +
                        "': " + std::strerror(errno));
    char c;
    in.get(c);
    if (in.bad())
      throw EUsageError("Cannot read the options file '" + o.OptionsFile +
                        "': " + std::strerror(errno));
  }
  const TIniFile ini(o.OptionsFile);
  if (!Given(o, "--type")) {
    const TExportTypeInfo* info = FindExportTypeInfo(ini.ReadInteger("GENERAL", "ExportType", 0));
    if (!info)
      throw EUsageError("The options file '" + o.OptionsFile + "' names no known export type");
    o.Type = CliTypeName(info->Type);
  }
  // A part writes the name its plan gives it.
  if (o.Output.empty() && !o.Part) {
    const TExportTypeInfo* info = DialogTypeOf(o.Type);
    if (info && info->WritesFile()) o.Output = ini.ReadString("GENERAL", "FileName", "");
  }
}

TOptionsFileExport::TOptionsFileExport(const TCliOptions& o, TDataSet& ds) {
  const TExportTypeInfo* type = DialogTypeOf(o.Type);
  if (!type) throw EUsageError("The type '" + o.Type + "' has no export dialog options");
  dialog_.SetDataSet(&ds);
  // The command line writes where it is told: no extension is replaced, nothing is opened.
  dialog_.AutoChangeFileExt = false;
  ApplyToComponent(*o.Before, dialog_);
  dialog_.CheckSource();
  dialog_.RebuildColumns();
  model_ = std::make_unique<TExportDialogModel>(dialog_);
  model_->LoadOptions(o.OptionsFile);
  model_->SetExportType(type->Type);
  ApplyToModel(o, *model_);
  TDialogSettings& s = model_->Settings();
  if (!o.Output.empty() && o.Output != "-") s.FileName = o.Output;
  s.ShowFile = false;
  s.PrintFile = false;
  exporter_ = &model_->PrepareExporter();
  const TIniFile ini(o.OptionsFile);
  KeepDigits(*exporter_, o, ini.ValueExists("FORMATS", "Float"),
             ini.ValueExists("FORMATS", "Currency"));
}

void SaveCommandLineOptions(const TCliOptions& o, const TExport& e, TDataSet& ds) {
  const TExportTypeInfo* type = DialogTypeOf(o.Type);
  if (!type) throw EUsageError("The type '" + o.Type + "' has no export dialog options");
  TExportDialog dialog;
  dialog.SetDataSet(&ds);
  dialog.AutoChangeFileExt = false;
  dialog.RebuildColumns();
  TExportDialogModel model(dialog);
  model.SetExportType(type->Type);
  model.CaptureExporter(e);
  TDialogSettings& s = model.Settings();
  s.FileName = o.Output == "-" ? "" : o.Output;
  s.ShowFile = false;
  s.PrintFile = false;
  model.SaveOptions(o.SaveOptionsFile);
  // The dialog's defaults round; this command line kept every digit, and so does the file when
  // run again: it names no format the command line was not given.
  TIniFile saved(o.SaveOptionsFile);
  if (e.ExactFloats) saved.DeleteKey("FORMATS", "Float");
  if (e.ExactCurrency) saved.DeleteKey("FORMATS", "Currency");
}

}  // namespace morvale::cli
