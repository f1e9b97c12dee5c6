#include "export/text/ascii.h"

#include "export/core/codepage.h"
#include "export/core/numfmt.h"

namespace morvale {

TExportASCII::TExportASCII() {
  escapesNothing_ = true;
  AutoCalcColWidth = true;
  const std::string& list = FormatSettings().ListSeparator;
  CSVComma = list.empty() ? ',' : list[0];
}

const TPropList& TExportASCII::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExportFormatText::ClassProps());
    PropBuilder<TExportASCII>(l)
        .Enum<TTextEncoding>("Encoding", "TTextEncoding", &TExport::Encoding,
                             TextEncodingIdentifiers())
        .Custom(
            "ExportType", "TExportASCIIType",
            [](const TExportASCII& e) {
              const char* names[] = {"etTXT", "etCSV", "etDIF", "etSYLK"};
              return std::string(names[e.ExportType()]);
            },
            [](TExportASCII& e, std::string_view v) {
              e.SetExportType(static_cast<TExportASCIIType>(
                  TextToEnum(v, {"etTXT", "etCSV", "etDIF", "etSYLK"}, "ExportType")));
            },
            {"etTXT", "etCSV", "etDIF", "etSYLK"})
        .Char("CSVComma", &TExportASCII::CSVComma)
        .Char("CSVQuote", &TExportASCII::CSVQuote)
        .Bool("CSVQuoteStrings", &TExportASCII::CSVQuoteStrings)
        .Int("TXTSpacing", &TExportASCII::TXTSpacing)
        .Bool("AutoCalcColWidth", &TExport::AutoCalcColWidth)
        .Strings("ColumnsAlign", &TExport::ColumnsAlign)
        .Strings("ColumnsWidth", &TExport::ColumnsWidth)
        .Event("OnFetchedRecord");
    return l;
  }();
  return list;
}

void TExportASCII::SetExportType(TExportASCIIType t) {
  if (t == exportType_) return;
  exportType_ = t;
  if (t == etTXT) AutoCalcColWidth = true;
}

void TExportASCII::BeginExport() {
  TExportFormatText::BeginExport();
  // Only fixed-width text has widths to measure.
  if (exportType_ != etTXT) AutoCalcColWidth = false;
  TExportWriter& w = *Writer();
  switch (exportType_) {
    case etTXT:
    case etCSV:
      WriteOpening();
      break;
    case etDIF: {
      tupleCount_ = 0;
      w.WriteLn("TABLE");
      w.WriteLn("0,1");
      w.WriteLn("\"" + Title + "\"");
      w.WriteLn("VECTORS");
      w.WriteLn("0," + std::to_string(Columns().Count()));
      w.WriteLn("\"\"");
      w.WriteLn("TUPLES");
      if (!CountTuples()) return;  // stopped during the count: the file ends here
      w.WriteLn("0," + std::to_string(tupleCount_));
      w.WriteLn("\"\"");
      w.WriteLn("DATA");
      w.WriteLn("0,0");
      w.WriteLn("\"\"");
      break;
    }
    case etSYLK:
      w.WriteLn("ID;PVASCIIEXPORT");
      break;
  }
}

// DIF declares its number of rows before the rows, so the records the run writes are walked
// once to count them; the skip's events fire in this pass as in the run.
bool TExportASCII::CountTuples() {
  const TSourceAdapterPtr held = Source();
  int counter = 0;
  TRecordWalk walk(*held, RecordRange(), counter);
  walk.OnSkipped = [this](int recNo) {
    if (OnSkippedRecord) OnSkippedRecord(this, recNo);
  };
  walk.OnNext = [this](int n) {
    if (OnFetchedRecord) OnFetchedRecord(this, n);
  };
  walk.Stopped = [this] { return Aborted() && !CanContinue(); };
  tupleCount_ = 0;
  const bool finished = walk.Pass([this](int) {
    ++tupleCount_;
    return true;
  });
  RecordCounter = 0;
  return finished;
}

// What each part of a split text or CSV file begins and ends with, as the whole file does.
void TExportASCII::WriteOpening() {
  TExportWriter& w = *Writer();
  if (exportType_ == etTXT) {
    if (!Title.empty()) {
      w.WriteLn(Title);
      w.CharLine('-', 80);
      w.EmptyLine();
    }
    for (const std::string& h : Header) w.WriteLn(h);
    return;
  }
  for (const std::string& h : Header) {
    w.Write(h);
    w.WriteLn(std::string_view(&CSVComma, 1));
  }
}

void TExportASCII::WriteClosing() {
  TExportWriter& w = *Writer();
  for (const std::string& f : Footer) {
    w.Write(f);
    if (exportType_ == etCSV) w.Write(std::string_view(&CSVComma, 1));
    w.EmptyLine();
  }
}

void TExportASCII::BeginPart() {
  WriteOpening();
  if (AllowCaptions) WriteCaptionRow();
}

void TExportASCII::EndExport() {
  TExportWriter& w = *Writer();
  switch (exportType_) {
    case etTXT:
    case etCSV:
      WriteClosing();
      break;
    case etDIF:
      w.WriteLn("-1,0");
      w.WriteLn("EOD");
      break;
    case etSYLK:
      w.WriteLn("E");
      break;
  }
  TExportFormatText::EndExport();
}

namespace {

// SYLK text: a semicolon ends the record's field unless doubled, and a line break ends the
// record, so semicolons are doubled and line breaks written as the escape readers turn back into
// a break (ESC, blank, colon). Quotes stay: readers take the text up to the field's end.
void AppendSylkText(std::string_view text, std::string& out) {
  out += '"';
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\x1b :";
      continue;
    }
    if (c == ';') out += ';';
    out += c;
  }
  out += '"';
}

// The plain number inside a formatted text: grouping dropped, the decimal separator written as a
// point, anything around the number (currency symbols, literals) left out. Empty when there is
// no digit at all.
std::string PlainNumber(std::string_view text, const TFormatSettings& fs) {
  std::string out;
  bool digits = false, point = false, exponent = false, minus = false;
  size_t i = 0;
  while (i < text.size()) {
    std::string_view rest = text.substr(i);
    char c = text[i];
    if (c >= '0' && c <= '9') {
      out += c;
      digits = true;
      ++i;
    } else if (digits && !point && !exponent && !fs.DecimalSeparator.empty() &&
               rest.starts_with(fs.DecimalSeparator)) {
      out += '.';
      point = true;
      i += fs.DecimalSeparator.size();
    } else if (digits && !point && !exponent && !fs.ThousandSeparator.empty() &&
               rest.starts_with(fs.ThousandSeparator)) {
      i += fs.ThousandSeparator.size();
    } else if (digits && !exponent && (c == 'E' || c == 'e') && rest.size() > 1) {
      out += 'E';
      exponent = true;
      ++i;
      if (text[i] == '+' || text[i] == '-') out += text[i++];
    } else if (!digits && c == '-') {
      minus = true;
      ++i;
    } else if (digits) {
      break;
    } else {
      ++i;
    }
  }
  if (!digits) return {};
  return minus ? "-" + out : out;
}

}  // namespace

void TExportASCII::Decorate(const TExportColumn& column, std::string_view text,
                            std::string& out) const {
  out.clear();
  switch (exportType_) {
    case etTXT: {
      // A line break inside a value would start a new line at column 1 and break the fixed
      // layout of every row after it: each break (CR, LF or CR LF) is written as one blank.
      std::string flat;
      if (text.find_first_of("\r\n") != std::string_view::npos) {
        flat.reserve(text.size());
        for (size_t i = 0; i < text.size(); ++i) {
          const char c = text[i];
          if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
          flat += (c == '\r' || c == '\n') ? ' ' : c;
        }
        text = flat;
      }
      switch (column.ColAlign) {
        case ecaCenter:
          out = TExportWriter::PadBoth(text, ' ', column.Width);
          break;
        case ecaRight:
          out = TExportWriter::PadLeft(text, ' ', column.Width);
          break;
        default:
          out = TExportWriter::PadRight(text, ' ', column.Width);
      }
      if (TXTSpacing > 0) out.append(static_cast<size_t>(TXTSpacing), ' ');
      break;
    }
    case etCSV:
      if (CSVQuoteStrings && CSVQuote != '\0')
        AppendQuoted(text, CSVQuote, out);
      else
        out.append(text);
      out += CSVComma;
      break;
    default:
      out.append(text);
  }
}

void TExportASCII::GetColCaption(int colNo, std::string& S) {
  std::string caption;
  EscapeString(Columns()[colNo].Caption, caption);
  Decorate(Columns()[colNo], caption, S);
}

void TExportASCII::GetColData(TExportCol& col, std::string& S) {
  Decorate(col.Column(), col.Data, S);
}

void TExportASCII::WriteLine(std::string& line) {
  // A CSV row ends with the separator of its last cell, which the line does not keep.
  if (exportType_ == etCSV && !line.empty()) line.pop_back();
  Writer()->WriteLn(line);
}

void TExportASCII::WriteCaptionRow() {
  TExportWriter& w = *Writer();
  switch (exportType_) {
    case etTXT:
    case etCSV:
      GetCaptionRow(line_);
      WriteLine(line_);
      break;
    case etDIF:
      w.WriteLn("-1,0");
      w.WriteLn("BOT");
      for (int i = 0; i < Columns().Count(); ++i) {
        GetColCaption(i, cell_);
        w.WriteLn("1,0");
        line_.clear();
        AppendQuoted(cell_, '"', line_);
        w.WriteLn(line_);
      }
      break;
    case etSYLK:
      for (int i = 0; i < Columns().Count(); ++i) {
        GetColCaption(i, cell_);
        line_ = "C;X" + std::to_string(i + 1) + ";Y1;K";
        AppendSylkText(cell_, line_);
        w.WriteLn(line_);
      }
      break;
  }
}

void TExportASCII::WriteDifCell(const TExportCol& cell, std::string_view text) {
  TExportWriter& w = *Writer();
  const TExportColumn& col = cell.Column();
  auto stringTuple = [&] {
    w.WriteLn("1,0");
    line_.clear();
    AppendQuoted(text, '"', line_);
    w.WriteLn(line_);
  };
  if (col.ColType == ectString) return stringTuple();
  // Readers take "0," for a number and must find one there: on "0," alone, "0,null" or
  // "0,3/7/2008" they stop reading and keep nothing of the file. So numbers go in plain form, and
  // the NULL text, dates, booleans and anything else that is no number go as text, which keeps
  // what the user sees.
  if (col.IsNumeric && !Columns().IsNull(cell.ColumnIndex)) {
    std::string plain = PlainNumber(text, FormatSettings());
    if (!plain.empty()) {
      w.WriteLn("0," + plain);
      w.WriteLn("V");
      return;
    }
  }
  stringTuple();
}

// What GetDataRow and Decorate give, each cell copied once: its text resolved into the cell,
// then quoted into the line; a stored text that is written as it stands goes from the value
// into the line.
void TExportASCII::WriteCsvDataRow() {
  TExportRow& row = Row();
  csvLine_.Start(CSVComma, CSVQuoteStrings ? CSVQuote : '\0');
  std::string_view text;
  for (int i = 0; i < row.Count(); ++i) {
    TExportCol& cell = row[i];
    if (cell.StoredTextAsItStands(text)) {
      csvLine_.AddCell(text);
      continue;
    }
    cell.ResolveData(true, cell_);
    csvLine_.AddCell(cell.Data);
  }
  Writer()->Write(csvLine_.Finish("\r\n"));
}

void TExportASCII::WriteDataRow() {
  TExportWriter& w = *Writer();
  TExportRow& row = Row();
  switch (exportType_) {
    case etTXT:
      GetDataRow(true, line_);
      WriteLine(line_);
      break;
    case etCSV:
      WriteCsvDataRow();
      break;
    case etDIF:
      w.WriteLn("-1,0");
      w.WriteLn("BOT");
      for (int i = 0; i < row.Count(); ++i) {
        row[i].GetExportedValue(true, cell_);
        WriteDifCell(row[i], cell_);
      }
      break;
    case etSYLK: {
      const int y = RecordCounter + 1 + (AllowCaptions ? 1 : 0);
      const std::string ys = ";Y" + std::to_string(y) + ";K";
      for (int i = 0; i < row.Count(); ++i) {
        row[i].GetExportedValue(true, cell_);
        line_ = "C;X" + std::to_string(i + 1) + ys;
        AppendSylkText(cell_, line_);
        w.WriteLn(line_);
      }
      break;
    }
  }
}

}  // namespace morvale
