#include "export/docs/dbfexport.h"

#include <charconv>
#include <cmath>

#include "export/core/codepage.h"
#include "export/core/datetime.h"
#include "export/core/numfmt.h"
#include "export/core/outputfiles.h"
#include "export/core/properties.h"
#include "export/core/stamp.h"
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

  // The date of the last update, which readers show as the table's date.
  const std::tm& day = ExportStamp().Fields;
  headerPos_ = out_->Position();
  out_->Write(DBFMainHeader(version_, day.tm_year + 1900, day.tm_mon + 1, day.tm_mday, 0, fields_));

  if (version_ == kDBFVersionMemo) {
    memoName_ = ChangeFileExt(file->FileName(), ".dbt");
    // The memo file joins the table's run, so that the two appear together.
    memo_ = &CreateBeside(*file, memoName_, ownMemo_);
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
  memo_ = nullptr;
  ownMemo_.reset();
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
        .Bool("DateTimeAsText", &TExportDBF::DateTimeAsText)
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

namespace {

constexpr int kTimeTextLength = 8;       // hh:nn:ss
constexpr int kDateTimeTextLength = 19;  // yyyy-mm-dd hh:nn:ss

void PutDigits(int value, int count, char* at) {
  for (int i = count - 1; i >= 0; --i, value /= 10) at[i] = static_cast<char>('0' + value % 10);
}

}  // namespace

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
      f.Type = kDBFDate, f.Length = 8;
      break;
    // A date field of a time column would hold the same day, 1899-12-30, on every row.
    case ectTime:
      f.Type = kDBFCharacter, f.Length = kTimeTextLength;
      break;
    case ectDateTime:
      if (DateTimeAsText)
        f.Type = kDBFCharacter, f.Length = kDateTimeTextLength;
      else
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
  timeDropped_.clear();
  timeDroppedAt_.assign(static_cast<size_t>(Columns().Count()), false);
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
  for (size_t i = 0; i < timeDroppedAt_.size(); ++i)
    if (timeDroppedAt_[i]) timeDropped_.push_back(Columns()[static_cast<int>(i)].Name);
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

TDateTime TExportDBF::ReadDateTime(std::string_view text) const {
  TDateTime dt = 0;
  if (!TryStrToDateTime(text, dt, FormatSettings()) && !TryParseIsoDateTime(text, dt))
    dt = StrToDateTime(text, FormatSettings());  // raises the conversion error
  return dt;
}

std::string TExportDBF::DateTimeText(const TExportColumn& c, char fieldType, TDateTime dt) {
  int y, mo, d, h, mi, s, ms;
  DecodeDate(dt, y, mo, d);
  DecodeTime(dt, h, mi, s, ms);
  char buf[kDateTimeTextLength];
  if (fieldType == kDBFCharacter && c.ColType == ectTime) {
    PutDigits(h, 2, buf), buf[2] = ':', PutDigits(mi, 2, buf + 3), buf[5] = ':';
    PutDigits(s, 2, buf + 6);
    return std::string(buf, kTimeTextLength);
  }
  // A year outside 0..9999 has no four digits to be written in and leaves the field blank.
  if (y < 0 || y > 9999) return std::string();
  if (fieldType == kDBFCharacter) {
    PutDigits(y, 4, buf), buf[4] = '-', PutDigits(mo, 2, buf + 5), buf[7] = '-';
    PutDigits(d, 2, buf + 8), buf[10] = ' ', PutDigits(h, 2, buf + 11), buf[13] = ':';
    PutDigits(mi, 2, buf + 14), buf[16] = ':', PutDigits(s, 2, buf + 17);
    return std::string(buf, kDateTimeTextLength);
  }
  if (h || mi || s || ms) timeDroppedAt_[static_cast<size_t>(c.Index())] = true;
  PutDigits(y, 4, buf), PutDigits(mo, 2, buf + 4), PutDigits(d, 2, buf + 6);
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
      if (!text.empty()) text = DateTimeText(c, f.Type, ReadDateTime(text));
      break;
    case ectBoolean:
      if (!text.empty()) text.assign(1, DBFLogical(text));
      break;
    default:
      break;
  }
}

bool TExportDBF::RenderStored(const TExportColumn& c, const TFieldValue& value, std::string& text) {
  const TDBFField& f = DBFWriter().Fields()[static_cast<size_t>(c.Index())];
  if (f.Type == kDBFMemo) return false;
  switch (value.Kind) {
    case TValueKind::Null:
      // A blank field is a dBASE NULL; the text path would make a NULL number 0.
      text.clear();
      return true;
    case TValueKind::Integer:
      if (c.ColType == ectInteger || c.ColType == ectBigint) {
        text = std::to_string(value.Int);
        return true;
      }
      if (c.ColType != ectFloat && c.ColType != ectCurrency) return false;
      text = DBFFixed(static_cast<double>(value.Int), f.Length, f.Decimals);
      return true;
    case TValueKind::Decimal:
      if (c.ColType != ectFloat && c.ColType != ectCurrency) return false;
      if (DBFFixedDecimal(value.Text, f.Length, f.Decimals, text)) return true;
      [[fallthrough]];
    case TValueKind::Float:
      if ((c.ColType != ectFloat && c.ColType != ectCurrency) || !std::isfinite(value.Float))
        return false;
      text = DBFFixed(value.Float, f.Length, f.Decimals);
      return true;
    case TValueKind::DateTime:
      if (c.ColType != ectDate && c.ColType != ectTime && c.ColType != ectDateTime) return false;
      // Neither a date field nor the character forms keep a fraction of a second.
      text = DateTimeText(c, f.Type, WholeSeconds(value.Float));
      return true;
    case TValueKind::Boolean:
      if (c.ColType != ectBoolean) return false;
      text.assign(1, value.Bool ? 'T' : 'F');
      return true;
    default:
      return false;
  }
}

void TExportDBF::WriteDataRow() {
  TDBFWriter& w = DBFWriter();
  TExportRow& row = Row();
  for (int i = 0; i < Columns().Count(); ++i) {
    int cell = row.CellOfColumn(i);
    const TExportColumn& c = Columns()[i];
    if (cell >= 0 && row[cell].Stored && RenderStored(c, row[cell].Value, text_)) {
      w.WriteField(i, text_);
      continue;
    }
    text_ = cell >= 0 ? row[cell].Text() : std::string();
    RenderValue(c, text_);
    w.WriteField(i, text_);
  }
}

}  // namespace morvale
