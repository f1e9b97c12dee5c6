#include "export/workbook/options.h"

namespace morvale {

TXLSOptions::TXLSOptions() {
  CaptionsFormat.Font.Set(xfsBold, true);
  HyperlinkFormat.Font.Color = clrBlue;
  HyperlinkFormat.Font.Underline = fulSingle;
}

const TPropList& TXLSOptions::ClassProps() {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TXLSOptions>(l)
        .Str("PageHeader", &TXLSOptions::PageHeader)
        .Str("PageFooter", &TXLSOptions::PageFooter)
        .Custom(
            "SheetTitle", "String", [](const TXLSOptions& o) { return o.SheetTitle(); },
            [](TXLSOptions& o, std::string_view v) { o.SetSheetTitle(std::string(v)); })
        .Object("HeaderFormat", "TxlsFormat", &TXLSOptions::HeaderFormat)
        .Object("CaptionsFormat", "TxlsFormat", &TXLSOptions::CaptionsFormat)
        .Object("DataFormat", "TxlsFormat", &TXLSOptions::DataFormat)
        .Object("AggregateFormat", "TxlsFormat", &TXLSOptions::AggregateFormat)
        .Object("FooterFormat", "TxlsFormat", &TXLSOptions::FooterFormat)
        .Object("HyperlinkFormat", "TxlsFormat", &TXLSOptions::HyperlinkFormat)
        .Object("NoteFormat", "TxlsNoteFormat", &TXLSOptions::NoteFormat);
    return l;
  }();
  return list;
}

}  // namespace morvale
