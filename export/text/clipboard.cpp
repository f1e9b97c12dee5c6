#include "export/text/clipboard.h"

#include "export/core/properties.h"

namespace morvale {

TExportClipboard::TExportClipboard() {
  const std::string& list = FormatSettings().ListSeparator;
  Separator = list.empty() ? ',' : list[0];
}

void TExportClipboard::Execute() {
  const TTextEncoding encoding = Encoding;
  Encoding = encSystem;
  try {
    TExportMemory::Execute();
  } catch (...) {
    Encoding = encoding;
    throw;
  }
  Encoding = encoding;
}

const TPropList& TExportClipboard::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExportMemory::ClassProps());
    PropBuilder<TExportClipboard>(l)
        .Custom(
            "ExportType", "TClipboardExportType",
            [](const TExportClipboard& e) {
              return std::string(e.ExportType() == etFixed ? "etFixed" : "etSeparated");
            },
            [](TExportClipboard& e, std::string_view v) {
              e.SetExportType(static_cast<TClipboardExportType>(
                  TextToEnum(v, {"etSeparated", "etFixed"}, "ExportType")));
            },
            {"etSeparated", "etFixed"})
        .Char("Separator", &TExportClipboard::Separator)
        .Enum<TTextEncoding>("Encoding", "TTextEncoding", &TExport::Encoding,
                             TextEncodingIdentifiers())
        .Int("Spacing", &TExportClipboard::Spacing)
        .Str("ClipboardViewer", &TExportClipboard::ClipboardViewer)
        .Strings("Header", &TExportClipboard::Header)
        .Strings("Footer", &TExportClipboard::Footer)
        .Bool("AllowCaptions", &TExportClipboard::AllowCaptions)
        .Strings("Captions", &TExportClipboard::Captions)
        .Object("Formats", "TExportFormats", &TExportClipboard::Formats)
        .Strings("UserFormats", &TExportClipboard::UserFormats)
        .Event("OnFetchedRecord");
    return l;
  }();
  return list;
}

void TExportClipboard::SetExportType(TClipboardExportType t) {
  exportType_ = t;
  AutoCalcColWidth = t == etFixed;
}

void TExportClipboard::BeginExport() {
  AutoCalcColWidth = exportType_ == etFixed;
  TExportMemory::BeginExport();
  TExportWriter& w = *Writer();
  if (!Title.empty()) w.WriteLn(Title);
  if (!Header.Empty()) {
    for (const std::string& line : Header) w.WriteLn(line);
    w.EmptyLine();
  }
}

void TExportClipboard::AppendCell(const std::string& text, int column) {
  if (exportType_ == etFixed) {
    line_ += TExportWriter::PadLeft(text, ' ', Columns()[column].Width);
    return;
  }
  line_ += text;
  if (Separator != '\0') line_ += Separator;
}

void TExportClipboard::WriteCaptionRow() {
  line_.clear();
  for (int i = 0; i < Columns().Count(); ++i) {
    GetColCaption(i, cell_);
    AppendCell(cell_, i);
  }
  Writer()->WriteLn(line_);
}

void TExportClipboard::WriteDataRow() {
  line_.clear();
  TExportRow& row = Row();
  for (int i = 0; i < row.Count(); ++i) {
    row[i].GetExportedValue(true, cell_);
    AppendCell(cell_, row[i].ColumnIndex);
  }
  Writer()->WriteLn(line_);
}

void TExportClipboard::EndExport() {
  if (!Footer.Empty()) {
    for (const std::string& line : Footer) Writer()->WriteLn(line);
    Writer()->EmptyLine();
  }
  TExportMemory::EndExport();
}

}  // namespace morvale
