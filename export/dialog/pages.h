// What each type's page puts into its exporter on Start, takes back from an exporter, and keeps in
// the options file. Used by the type table only.
#pragma once

#include <charconv>
#include <string_view>

#include "export/core/export.h"
#include "export/core/inifile.h"
#include "export/dialog/model.h"

namespace morvale::pages {

// The number a text holds, blanks around it allowed, nothing else.
template <class T>
bool WholeNumber(std::string_view text, T& v) {
  text = TrimView(text);
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  return !text.empty() && ec == std::errc() && p == text.data() + text.size();
}

// The records a start reads and the captions' switch (pagekeys.h), into an exporter, or from an
// exporter or the component into the working copy; and the written file's switches.
void PrepareRun(const TDialogSettings& s, TExport& e);
void CaptureRun(const TExport& e, TDialogSettings& s);
void CaptureRun(const TExportDialog& d, TDialogSettings& s);
void PrepareFile(const TDialogSettings& s, TExportText& e);
void CaptureFile(const TExportText& e, TDialogSettings& s);
void CaptureFile(const TExportDialog& d, TDialogSettings& s);

// The run constraints, captions switch, formats, header and footer of a component or an exporter
// (both keep them under the same names) into the working copy.
template <class Source>
void CopyRunSettings(const Source& src, TDialogSettings& s) {
  CaptureRun(src, s);
  s.Formats = src.Formats;
  s.Header = src.Header;
  s.Footer = src.Footer;
}

// The exporters with the starting values of the dialog's own exporters; a type whose exporter
// starts from its class's values has none here.
std::unique_ptr<TExport> CreateXLS();
std::unique_ptr<TExport> CreateXML();
std::unique_ptr<TExport> CreatePDF();
std::unique_ptr<TExport> CreateASCII();
std::unique_ptr<TExport> CreateLaTeX();
std::unique_ptr<TExport> CreateClipboard();
std::unique_ptr<TExport> CreateXLSX();

void PrepareXLS(const TDialogSettings& s, TExport& e);
void PrepareRTF(const TDialogSettings& s, TExport& e);
void PrepareHTML(const TDialogSettings& s, TExport& e);
void PrepareXML(const TDialogSettings& s, TExport& e);
void PreparePDF(const TDialogSettings& s, TExport& e);
void PrepareSQL(const TDialogSettings& s, TExport& e);
void PrepareTXT(const TDialogSettings& s, TExport& e);
void PrepareJSON(const TDialogSettings& s, TExport& e);
void PrepareDBF(const TDialogSettings& s, TExport& e);
void PrepareCSV(const TDialogSettings& s, TExport& e);
void PrepareDIF(const TDialogSettings& s, TExport& e);
void PrepareSYLK(const TDialogSettings& s, TExport& e);

void CaptureXLS(const TExport& e, TDialogSettings& s);
void CaptureRTF(const TExport& e, TDialogSettings& s);
void CaptureHTML(const TExport& e, TDialogSettings& s);
void CaptureXML(const TExport& e, TDialogSettings& s);
void CapturePDF(const TExport& e, TDialogSettings& s);
void CaptureSQL(const TExport& e, TDialogSettings& s);
void CaptureTXT(const TExport& e, TDialogSettings& s);
void CaptureJSON(const TExport& e, TDialogSettings& s);
void CaptureDBF(const TExport& e, TDialogSettings& s);
void CaptureCSV(const TExport& e, TDialogSettings& s);

void SaveXLS(const TDialogSettings& s, TIniFile& ini);
void SaveRTF(const TDialogSettings& s, TIniFile& ini);
void SaveHTML(const TDialogSettings& s, TIniFile& ini);
void SaveXML(const TDialogSettings& s, TIniFile& ini);
void SavePDF(const TDialogSettings& s, TIniFile& ini);
void SaveSQL(const TDialogSettings& s, TIniFile& ini);
void SaveTXT(const TDialogSettings& s, TIniFile& ini);
void SaveJSON(const TDialogSettings& s, TIniFile& ini);
void SaveDBF(const TDialogSettings& s, TIniFile& ini);
void SaveCSV(const TDialogSettings& s, TIniFile& ini);

void LoadXLS(TExportDialogModel& m, const TIniFile& ini);
void LoadRTF(TExportDialogModel& m, const TIniFile& ini);
void LoadHTML(TExportDialogModel& m, const TIniFile& ini);
void LoadXML(TExportDialogModel& m, const TIniFile& ini);
void LoadPDF(TExportDialogModel& m, const TIniFile& ini);
void LoadSQL(TExportDialogModel& m, const TIniFile& ini);
void LoadTXT(TExportDialogModel& m, const TIniFile& ini);
void LoadJSON(TExportDialogModel& m, const TIniFile& ini);
void LoadDBF(TExportDialogModel& m, const TIniFile& ini);
void LoadCSV(TExportDialogModel& m, const TIniFile& ini);

// "Параллельное чтение" (pagekeys.h), written only when it is on; a count out of range reads as
// the default.
void SaveParallel(const TDialogSettings& s, TIniFile& ini);
void LoadParallel(TDialogSettings& s, const TIniFile& ini);
// "Части и сжатие" (pagekeys.h); a value that does not read keeps the component's.
void SaveParts(const TDialogSettings& s, TIniFile& ini);
void LoadParts(TDialogSettings& s, const TOutputParts& component, const TIniFile& ini);
// The keys of [GENERAL] after the type and the file's name: the file's switches, the records and
// the captions' switch. A key the file leaves out takes the component's value.
void SaveGeneral(const TDialogSettings& s, TIniFile& ini);
void LoadGeneral(TDialogSettings& s, const TExportDialog& d, const TIniFile& ini);

// A cell format from its section; a section it cannot read leaves the format as it was.
void LoadXlsFormat(TxlsFormat& f, const TIniFile& ini, const std::string& section);

// Base formats and styles, in the order of the page's list.
extern const char* const kXLSBaseFormats[5];
extern const char* const kRTFBaseStyles[4];

}  // namespace morvale::pages
