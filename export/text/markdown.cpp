#include "export/text/markdown.h"

#include "export/core/properties.h"

namespace morvale {

const TPropList& TExportMarkdown::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExportFormatText::ClassProps());
    // Publishing ColumnsAlign aligns the columns by type (numbers right) unless it names them.
    PropBuilder<TExportMarkdown>(l)
        .Enum<TTextEncoding>("Encoding", "TTextEncoding", &TExport::Encoding,
                             TextEncodingIdentifiers())
        .Strings("ColumnsAlign", &TExport::ColumnsAlign);
    return l;
  }();
  return list;
}

void TExportMarkdown::EscapeString(std::string_view S, std::string& Result) {
  Result.clear();
  for (size_t i = 0; i < S.size(); ++i) {
    const char c = S[i];
    switch (c) {
      case '\r':
        if (i + 1 < S.size() && S[i + 1] == '\n') ++i;
        [[fallthrough]];
      case '\n':
        Result += "<br>";
        break;
      // A tab would be read as blanks up to the next tab stop.
      case '\t':
        Result += "&#9;";
        break;
      // The cell's end, and the characters that open emphasis, code, links, HTML, entities and
      // strike-through; every ASCII punctuation character may be escaped.
      case '|':
      case '\\':
      case '*':
      case '_':
      case '`':
      case '[':
      case ']':
      case '<':
      case '>':
      case '~':
      case '&':
        Result += '\\';
        Result += c;
        break;
      default:
        Result += c;
    }
  }
}

void TExportMarkdown::BeginExport() {
  TExportFormatText::BeginExport();
  WriteOpening();
}

void TExportMarkdown::WriteOpening() {
  for (const std::string& line : Header) Writer()->WriteLn(line);
  if (!Header.Empty()) Writer()->EmptyLine();
}

void TExportMarkdown::WriteClosing() {
  if (!Footer.Empty()) Writer()->EmptyLine();
  for (const std::string& line : Footer) Writer()->WriteLn(line);
}

void TExportMarkdown::BeginPart() {
  WriteOpening();
  if (AllowCaptions)
    WriteCaptionRow();
  else
    WriteEmptyCaptionRow();
}

void TExportMarkdown::WriteCaptionRow() {
  line_ = "|";
  for (int i = 0; i < Columns().Count(); ++i) {
    GetColCaption(i, cell_);
    line_ += ' ';
    line_ += cell_;
    line_ += " |";
  }
  Writer()->WriteLn(line_);
  WriteDelimiterRow();
}

void TExportMarkdown::BeforeExport() {
  if (!AllowCaptions) WriteEmptyCaptionRow();
}

void TExportMarkdown::WriteEmptyCaptionRow() {
  line_ = "|";
  for (int i = 0; i < Columns().Count(); ++i) line_ += "   |";
  Writer()->WriteLn(line_);
  WriteDelimiterRow();
}

void TExportMarkdown::WriteDelimiterRow() {
  line_ = "|";
  for (int i = 0; i < Columns().Count(); ++i) {
    switch (Columns()[i].ColAlign) {
      case ecaRight:
        line_ += " ---: |";
        break;
      case ecaCenter:
        line_ += " :---: |";
        break;
      default:
        line_ += " :--- |";
    }
  }
  Writer()->WriteLn(line_);
}

void TExportMarkdown::WriteDataRow() {
  line_ = "|";
  TExportRow& row = Row();
  for (int i = 0; i < row.Count(); ++i) {
    row[i].GetExportedValue(true, cell_);
    line_ += ' ';
    line_ += cell_;
    line_ += " |";
  }
  Writer()->WriteLn(line_);
}

void TExportMarkdown::EndExport() {
  WriteClosing();
  TExportFormatText::EndExport();
}

}  // namespace morvale
