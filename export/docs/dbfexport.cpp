#include "export/docs/dbfexport.h"

#include <charconv>
#include <ctime>

#include "export/core/codepage.h"
#include "export/core/datetime.h"
#include "export/core/numfmt.h"
#include "export/core/properties.h"
#include "export/core/streams.h"

namespace morvale {

// ---- TDBFWriter ------------------------------------------------------------------------------

TDBFWriter::TDBFWriter(TExport& owner, TStream& stream)
    : TExportWriter(owner, stream), out_(&stream), utf8_(SystemCodePageIsUtf8()) {
  // The record count sits in the header; an output that cannot seek back to it (a pipe, standard
  // output) gets the table in memory first and in one piece at the end.
  if (!dynamic_cast<TFileStream*>(&stream) && !dynamic_cast<TMemoryStream*>(&stream)) {
    spool_ = std::make_unique<TMemoryStream>();
    out_ = spool_.get();
  }
}

TDBFWriter::~TDBFWriter() = default;

void TDBFWriter::WriteHeader() {
  CheckDBFShape(fields_);
  bool hasMemo = false;
  for (const TDBFField& f : fields_) hasMemo |= f.Type == kDBFMemo;
  auto* file = dynamic_cast<TFileStream*>(&Stream());
  version_ = hasMemo && file ? kDBFVersionMemo : kDBFVersion;

  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  headerPos_ = out_->Position();
  out_->Write(
      DBFMainHeader(version_, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, 0, fields_));

  if (version_ == kDBFVersionMemo) {
    memoName_ = ChangeFileExt(file->FileName(), ".dbt");
    memo_ = std::make_unique<TFileStream>(memoName_, TFileStream::fmCreate);
    const std::string zeros(kDBFMemoBlock, '\0');
    memo_->Write(zeros.data(), zeros.size());
    nextBlock_ = 1;
  }
  std::string descriptors;
  descriptors.reserve(fields_.size() * kDBFDescriptorSize + 1);
  for (const TDBFField& f : fields_) descriptors += f.Descriptor();
  descriptors += kDBFHeaderEnd;
  out_->Write(descriptors);
}

void TDBFWriter::WriteField(int index, std::string_view text) {
  if (index < 0 || index >= static_cast<int>(fields_.size())) return;
  if (index == 0) {
    record_.clear();
    record_ += kDBFRecordLive;
  }
  RenderDBFField(fields_[static_cast<size_t>(index)], text, utf8_, record_);
  if (index + 1 == static_cast<int>(fields_.size())) {
    out_->Write(record_);
    ++recordCount_;
    record_.clear();
    // Raising the count on disk flushes the write buffer, so it is done once per run of records
    // rather than per record: a table cut short (a crash, a full disk) then still claims only
    // records it holds.
    if (recordCount_ % kCountInterval == 0 && !spool_) PatchRecordCount();
  }
}

int TDBFWriter::WriteMemo(int index) {
  if (!memo_) return -1;
  TExport& owner = Owner();
  TExportColumns& columns = owner.Columns();
  if (index < 0 || index >= columns.Count()) return -1;
  const TExportColumn& column = columns[index];
  if (!columns.Source().ReadsFields() || !column.IsBlob || !column.Field) return -1;
  std::string value;
  column.Field->GetText(value);
  if (value.empty() || value.size() > kDBFMemoMaxBytes) return -1;
  int block = nextBlock_;
  const std::string blocks = DBFMemoBlocks(value);
  memo_->Write(blocks.data(), blocks.size());
  nextBlock_ += DBFMemoBlockCount(value.size());
  return block;
}

void TDBFWriter::PatchRecordCount() {
  int64_t end = out_->Position();
  char count[4];
  for (int i = 0; i < 4; ++i) count[i] = static_cast<char>((recordCount_ >> (8 * i)) & 0xFF);
  out_->Seek(headerPos_ + kDBFRecordCountAt);
  out_->Write(count, 4);
  out_->Seek(end);
}

void TDBFWriter::FinishTable() {
  if (finished_) return;
  finished_ = true;
  out_->Write(&kDBFFileEnd, 1);
  PatchRecordCount();
  if (spool_) Stream().Write(spool_->Data());
}

void TDBFWriter::FinishMemoFile() {
  if (!memo_) return;
  char next[4];
  for (int i = 0; i < 4; ++i) next[i] = static_cast<char>((nextBlock_ >> (8 * i)) & 0xFF);
  memo_->Seek(0);
  memo_->Write(next, 4);
  memo_->Close();
  memo_.reset();
}

// ---- TExportDBF ------------------------------------------------------------------------------

TExportDBF::TExportDBF() {
  Name = "ExportDBF";
}

const TPropList& TExportDBF::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExportText::ClassProps());
    PropBuilder<TExportDBF>(l)
        .Strings("ColumnsPrecision", &TExportDBF::ColumnsPrecision)
        .Int("DefaultFloatSize", &TExportDBF::DefaultFloatSize)
        .Int("DefaultFloatDecimal", &TExportDBF::DefaultFloatDecimal)
        .Strings("ColumnsLength", &TExportDBF::ColumnsLength);
    return l;
  }();
  return list;
}

std::unique_ptr<TExportWriter> TExportDBF::CreateWriter(TStream& stream) {
  return std::make_unique<TDBFWriter>(*this, stream);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ext;
  return path.substr(0, dot) + ext;
}

std::string TExportDBF::GetMemoFileName() const {
  return ChangeFileExt(FileName, ".dbt");
}

static int LeadingInt(std::string_view s) {
  s = TrimView(s);
  int v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size() ? v : 0;
}

void TExportDBF::GetPrecision(std::string_view name, int& size, int& decimals) const {
  size = DefaultFloatSize;
  decimals = DefaultFloatDecimal;
  int i = ColumnsPrecision.IndexOfName(name);
  if (i < 0) return;
  std::string_view value = TStringList::ValuePart(ColumnsPrecision[i]);
  size_t comma = value.find(',');
  if (comma == std::string_view::npos) return;
  int s = LeadingInt(value.substr(0, comma));
  int d = LeadingInt(value.substr(comma + 1));
  if (s <= 0 && d <= 0) return;
  // One of the two may be zero (ten digits, no decimals); a negative count means none.
  size = std::max(s, 0);
  decimals = std::max(d, 0);
}

TDBFField TExportDBF::FieldOfColumn(const TExportColumn& c) const {
  TDBFField f;
  f.Name = DBFFieldName(c.Name, SystemCodePageIsUtf8());
  if (c.IsBlob) {
    f.Type = kDBFMemo;
    f.Length = kDBFMemoFieldLength;
    return f;
  }
  switch (c.ColType) {
    case ectInteger:
      f.Type = kDBFNumeric, f.Length = 11;
      break;
    case ectBigint:
      f.Type = kDBFNumeric, f.Length = 20;
      break;
    case ectFloat:
    case ectCurrency:
      f.Type = kDBFNumeric;
      GetPrecision(c.Name, f.Length, f.Decimals);
      break;
    case ectDate:
    case ectTime:
    case ectDateTime:
      f.Type = kDBFDate, f.Length = 8;
      break;
    case ectString:
      f.Type = kDBFCharacter, f.Length = c.Length;
      // A dataset field's size counts characters and a C field bytes: in UTF-8 a Cyrillic text
      // takes twice its size. A ColumnsLength line therefore widens dataset fields too (list
      // views and string grids already have it from the column builder).
      if (c.Columns().Source().ReadsFields()) {
        int n = LeadingInt(ColumnsLength.Value(c.Name));
        if (n > 0) f.Length = std::min(n, kDBFMaxCharLength);
      }
      break;
    case ectBoolean:
      f.Type = kDBFLogical, f.Length = 1;
      break;
    default:
      f.Type = kDBFCharacter, f.Length = 10;
  }
  return f;
}

// Readers key fields by name, and a table with two fields of one name loses one of them (the
// local-table engine cannot even declare it), so a later field whose first ten bytes repeat an
// earlier name gets a numbered name instead.
static void MakeNamesUnique(std::vector<TDBFField>& fields, bool utf8) {
  for (size_t i = 0; i < fields.size(); ++i) {
    auto taken = [&](const std::string& name, size_t upto) {
      for (size_t j = 0; j < upto; ++j)
        if (fields[j].Name == name) return true;
      return false;
    };
    if (!taken(fields[i].Name, i)) continue;
    std::string base = fields[i].Name;
    for (int n = 2;; ++n) {
      std::string suffix = "_" + std::to_string(n);
      size_t keep = 10 - suffix.size();
      keep = utf8 ? Utf8Prefix(base, keep) : std::min(keep, base.size());
      std::string candidate = base.substr(0, keep) + suffix;
      if (!taken(candidate, fields.size())) {
        fields[i].Name = candidate;
        break;
      }
    }
  }
}

void TExportDBF::BeginExport() {
  TExportText::BeginExport();
  TDBFWriter& w = DBFWriter();
  std::vector<TDBFField> fields;
  int offset = 0;
  for (int i = 0; i < Columns().Count(); ++i) {
    TDBFField f = FieldOfColumn(Columns()[i]);
    f.Offset = offset;
    offset += f.Length & 0xFF;
    fields.push_back(f);
  }
  MakeNamesUnique(fields, SystemCodePageIsUtf8());
  for (const TDBFField& f : fields) w.AddField(f);
  w.WriteHeader();
}

void TExportDBF::BeforeExport() {
  TExportText::BeforeExport();
  pointSettings_ = FormatSettings();
  pointSettings_.DecimalSeparator = ".";
  pointSettings_.ThousandSeparator = ",";
}

void TExportDBF::AfterExport() {
  TExportText::AfterExport();
}

void TExportDBF::EndExport() {
  if (Writer()) {
    TDBFWriter& w = DBFWriter();
    // The memo file is closed even when the table cannot be finished (a full disk).
    try {
      w.FinishTable();
    } catch (...) {
      w.FinishMemoFile();
      throw;
    }
    w.FinishMemoFile();
  }
  TExportText::EndExport();
}

double TExportDBF::ParseNumber(std::string_view text) const {
  double v = 0;
  if (TryStrToFloat(text, v, pointSettings_)) return v;
  return StrToFloat(text, FormatSettings());
}

std::string TExportDBF::DateText(std::string_view text) const {
  TDateTime dt = 0;
  if (!TryStrToDateTime(text, dt, FormatSettings()) && !TryParseIsoDateTime(text, dt))
    dt = StrToDateTime(text, FormatSettings());  // raises the conversion error
  int y, m, d;
  DecodeDate(dt, y, m, d);
  // yyyymmdd; a year outside 0..9999 cannot be stored and leaves the field blank.
  if (y < 0 || y > 9999) return std::string();
  char buf[8];
  for (int i = 3; i >= 0; --i, y /= 10) buf[i] = static_cast<char>('0' + y % 10);
  buf[4] = static_cast<char>('0' + m / 10), buf[5] = static_cast<char>('0' + m % 10);
  buf[6] = static_cast<char>('0' + d / 10), buf[7] = static_cast<char>('0' + d % 10);
  return std::string(buf, 8);
}

void TExportDBF::RenderValue(const TExportColumn& c, std::string& text) {
  if (SameText(text, "null")) text.clear();
  const TDBFField& f = DBFWriter().Fields()[static_cast<size_t>(c.Index())];
  if (f.Type == kDBFMemo) {
    int block = DBFWriter().WriteMemo(c.Index());
    text = block > 0 ? std::to_string(block) : std::string();
    return;
  }
  switch (c.ColType) {
    case ectFloat:
    case ectCurrency:
      text =
          DBFFixed(ParseNumber(text.empty() ? std::string_view("0") : text), f.Length, f.Decimals);
      break;
    case ectDate:
    case ectTime:
    case ectDateTime:
      if (!text.empty()) text = DateText(text);
      break;
    case ectBoolean:
      if (!text.empty()) text.assign(1, DBFLogical(text));
      break;
    default:
      break;
  }
}

void TExportDBF::WriteDataRow() {
  TDBFWriter& w = DBFWriter();
  TExportRow& row = Row();
  for (int i = 0; i < Columns().Count(); ++i) {
    int cell = row.CellOfColumn(i);
    text_ = cell >= 0 ? row[cell].Data : std::string();
    RenderValue(Columns()[i], text_);
    w.WriteField(i, text_);
  }
}

}  // namespace morvale
