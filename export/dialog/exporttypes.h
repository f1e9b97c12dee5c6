// The export types of the dialog and what each one brings: its label, extension and save filter,
// the pages the form shows for it, the columns of its captions grid, and how Start prepares its
// exporter and the options file stores its page. One table entry per type; the ordinal of a type
// is stored in options files ("ExportType"), so new types are appended, never inserted.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "export/core/export.h"

namespace morvale {

class TIniFile;
class TExportDialogModel;
struct TDialogSettings;

enum TAllowedExport : int {
  aeXLS,
  aeWord,
  aeRTF,
  aeHTML,
  aeXML,
  aeDBF,
  aePDF,
  aeTXT,
  aeCSV,
  aeDIFF,
  aeSylk,
  aeLaTeX,
  aeSQL,
  aeClipboard,
  aeXLSX,
  aeJSON,
  aeParquet,
  aeMarkdown
};

// A set of export types; All() holds every type of the table.
class TAllowedExports {
 public:
  TAllowedExports() = default;
  TAllowedExports(std::initializer_list<TAllowedExport> types) {
    for (TAllowedExport t : types) Include(t);
  }
  static TAllowedExports All();
  bool Has(TAllowedExport t) const { return t >= 0 && t < 64 && (bits_ >> t & 1) != 0; }
  void Include(TAllowedExport t) {
    if (t >= 0 && t < 64) bits_ |= uint64_t{1} << t;
  }
  void Exclude(TAllowedExport t) {
    if (t >= 0 && t < 64) bits_ &= ~(uint64_t{1} << t);
  }
  bool Empty() const { return bits_ == 0; }
  bool operator==(const TAllowedExports&) const = default;

 private:
  uint64_t bits_ = 0;
};

// The common pages (bits 0 to 4 of CommonOptions).
enum TCommonOption : int { coFields, coFormats, coColons, coCaptions, coOptions };

class TCommonOptions {
 public:
  TCommonOptions() = default;
  TCommonOptions(std::initializer_list<TCommonOption> options) {
    for (TCommonOption o : options) Include(o);
  }
  static TCommonOptions All() { return {coFields, coFormats, coColons, coCaptions, coOptions}; }
  bool Has(TCommonOption o) const { return (bits_ >> o & 1) != 0; }
  void Include(TCommonOption o) { bits_ |= 1u << o; }
  void Exclude(TCommonOption o) { bits_ &= ~(1u << o); }
  bool operator==(const TCommonOptions&) const = default;

 private:
  unsigned bits_ = 0;
};

// The pages of the form. dpExportType is always there; the common pages need their
// TCommonOption as well; each format page belongs to the types whose entry names it.
enum TDialogPage : int {
  dpExportType,
  dpFields,
  dpFormats,
  dpColons,
  dpCaptions,
  dpXLS,
  dpRTF,
  dpHTML,
  dpXML,
  dpSQL,
  dpASCII,
  dpPDF,
  dpNone = -1
};

// The common pages a type shows (bits of TDialogPage dpFields .. dpCaptions).
using TDialogPages = unsigned;
constexpr TDialogPages PageBit(TDialogPage p) {
  return 1u << p;
}

// Columns of the captions grid after field and caption.
enum TCaptionLayout : int {
  clPlain,      // field, caption
  clWidth,      // field, caption, width
  clAlign,      // field, caption, alignment
  clAlignWidth  // field, caption, alignment, width
};

struct TExportTypeInfo {
  TAllowedExport Type;
  const char* Name;       // "aeXLS": the enumeration name, for messages and the command line
  const char* Label;      // "MS Excel": shown in the type list
  const char* Extension;  // "xls"; empty for a type that writes no file
  const char* Filter;     // the save dialog's filter; empty for a type that writes no file
  TDialogPages CommonPages;
  TDialogPage OptionsPage;  // dpNone: the type has no page of its own
  TCaptionLayout Captions;
  // Which grid cells Start copies into the exporter's ColumnsAlign and ColumnsWidth.
  bool CopiesAlign, CopiesWidth;
  // Types that share an exporter name the same key ("rtf" for Word and RTF, "ascii" for the four
  // text types); the form keeps one exporter per key and reuses it across starts.
  const char* ExporterKey;
  // The exporter with the starting values the form's exporters are made with.
  std::function<std::unique_ptr<TExport>()> Create;
  // Copies the type's page from the working copy into its exporter (Start, step 2).
  std::function<void(const TDialogSettings&, TExport&)> Prepare;
  // Writes and reads the type's own sections of the options file; empty: the type has none.
  std::function<void(const TDialogSettings&, TIniFile&)> SaveSections;
  std::function<void(TExportDialogModel&, const TIniFile&)> LoadSections;
  // The inverse of Prepare: the page values of an exporter configured by other means (the
  // command line's flags), so that they can be saved as an options file.
  std::function<void(const TExport&, TDialogSettings&)> Capture;

  bool Shows(TDialogPage p) const {
    return p == dpExportType || p == OptionsPage ||
           (p >= dpFields && p <= dpCaptions && (CommonPages & PageBit(p)) != 0);
  }
  bool WritesFile() const { return Extension[0] != '\0'; }
  bool HasWidthColumn() const { return Captions == clWidth || Captions == clAlignWidth; }
  bool HasAlignColumn() const { return Captions == clAlign || Captions == clAlignWidth; }
};

// Every type in ordinal order; entry i describes TAllowedExport(i).
const std::vector<TExportTypeInfo>& ExportTypeTable();
// nullptr for an ordinal outside the table.
const TExportTypeInfo* FindExportTypeInfo(int ordinal);
const TExportTypeInfo& ExportTypeInfo(TAllowedExport t);
// By enumeration name ("aeCSV") or label ("CSV File"), without regard to case; nullptr if none.
const TExportTypeInfo* FindExportTypeInfo(std::string_view name);

// The options-file section that keeps a text type's output encoding (key "OutputEncoding", since
// the XML section's "Encoding" is the declaration's); nullptr for a type whose files have an
// encoding of their own (workbooks, documents, DBF, JSON) or that writes no file.
const char* TextEncodingSection(TAllowedExport t);
constexpr const char* kOutputEncodingKey = "OutputEncoding";
// The types whose text output can be compressed and, where the format allows, cut into parts
// (the group "Части и сжатие", the options file's section PARTS).
bool WritesTextParts(TAllowedExport t);
constexpr const char* kPartsSection = "PARTS";

}  // namespace morvale
