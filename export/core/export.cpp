#include "export/core/export.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <functional>

#include "export/core/datetime.h"
#include "export/core/inifile.h"
#include "export/core/namepattern.h"
#include "export/core/outputfiles.h"
#include "export/core/platform.h"
#include "export/core/translate.h"

namespace morvale {

TExport::TExport() : formatSettings_(DefaultFormatSettings()), columns_(*this), row_(*this) {
  Formats.SetLocale(formatSettings_);
}

TExport::~TExport() = default;

const TPropList& TExport::ClassProps() {
  static const TPropList list = [] {
    TPropList l;
    auto refName = [](const TComponent* c) { return c ? c->Name : std::string(); };
    PropBuilder<TExport>(l)
        .Enum("ExportSource", "TExportSource", &TExport::ExportSource,
              {"esDataSet", "esListView", "esDBGrid", "esStringGrid", "esCustom"})
        .Custom(
            "DataSet", "TDataSet", [refName](const TExport& e) { return refName(e.DataSet()); },
            nullptr)
        .Custom(
            "CustomSource", "TCustomSource",
            [refName](const TExport& e) { return refName(e.CustomSource()); }, nullptr)
        .Custom(
            "ListView", "TListView", [refName](const TExport& e) { return refName(e.ListView()); },
            nullptr)
        .Custom(
            "DBGrid", "TDBGrid", [refName](const TExport& e) { return refName(e.DBGrid()); },
            nullptr)
        .Custom(
            "StringGrid", "TStringGrid",
            [refName](const TExport& e) { return refName(e.StringGrid()); }, nullptr)
        .Strings("ExportedFields", &TExport::ExportedFields)
        .Bool("OnlyVisibleFields", &TExport::OnlyVisibleFields)
        .Bool("AutoCalcStrType", &TExport::AutoCalcStrType)
        .Int("CaptionRow", &TExport::CaptionRow)
        .Bool("CurrentRecordOnly", &TExport::CurrentRecordOnly)
        .Bool("GoToFirstRecord", &TExport::GoToFirstRecord)
        .Int("ExportRecCount", &TExport::ExportRecCount)
        .Int("SkipRecCount", &TExport::SkipRecCount)
        .Bool("ExportEmpty", &TExport::ExportEmpty)
        .Event("OnBeginExport")
        .Event("OnEndExport")
        .Event("OnSkippedRecord")
        .Event("OnExportedRecord")
        .Event("OnStopExport")
        .Event("OnBeforeExportRow")
        .Event("OnGetExportText");
    return l;
  }();
  return list;
}

TSourceRef TExport::SourceRef() const {
  TSourceRef r = src_;
  r.Kind = ExportSource;
  r.SkipRecCount = SkipRecCount;
  r.ExportRecCount = ExportRecCount;
  return r;
}

void TExport::Notification(TComponent* component) {
  if (component == src_.DataSet) src_.DataSet = nullptr;
  if (component == src_.CustomSource) src_.CustomSource = nullptr;
  if (component == src_.ListView) src_.ListView = nullptr;
  if (component == src_.DBGrid) src_.DBGrid = nullptr;
  if (component == src_.StringGrid) src_.StringGrid = nullptr;
}

void TExport::SetFormatSettings(const TFormatSettings& fs) {
  formatSettings_ = fs;
  Formats.SetLocale(fs);
}

std::unique_ptr<TExportWriter> TExport::CreateWriter(TStream& stream) {
  return std::make_unique<TExportWriter>(*this, stream);
}

void TExport::ExportToStream(TStream& stream) {
  ExportTo(stream, nullptr);
}

void TExport::ExportToParts(TPartWriter& parts) {
  ExportTo(parts.Stream(), &parts);
}

// The stream of a share: what the format writes passes while the gate is open. The writers write
// straight to their stream, so the gate opened before the first data row and shut after the last
// cuts the output exactly there.
class TExport::TShareGate : public TStream {
 public:
  TShareGate(TStream& to, bool open) : to_(to), open_(open) {}
  using TStream::Write;
  void Write(const void* data, size_t size) override {
    if (open_) to_.Write(data, size);
  }
  int64_t Position() const override { return to_.Position(); }
  void Flush() override { to_.Flush(); }
  void SetOpen(bool open) { open_ = open; }

 private:
  TStream& to_;
  bool open_;
};

void TExport::ExportTo(TStream& stream, TPartWriter* parts) {
  std::unique_ptr<TEncodingStream> encoded;
  if (!parts && TextEncodingConverts(Encoding))
    encoded = std::make_unique<TEncodingStream>(stream, Encoding);
  std::unique_ptr<TShareGate> gate;
  if (!ShareOpening || !ShareClosing)
    gate = std::make_unique<TShareGate>(encoded ? *encoded : stream, ShareOpening);
  writer_ = gate ? CreateWriter(*gate) : CreateWriter(encoded ? *encoded : stream);
  parts_ = parts;
  gate_ = gate.get();
  try {
    DoExport();
    if (encoded) encoded->Finish();
  } catch (...) {
    writer_.reset();
    parts_ = nullptr;
    gate_ = nullptr;
    throw;
  }
  writer_.reset();
  parts_ = nullptr;
  gate_ = nullptr;
}

void TExport::BeginExport() {
  columns_.Clear();
  columns_.Fill(false);
  row_.Clear();
  for (int i = 0; i < columns_.Count(); ++i) {
    TExportColumn& c = columns_[i];
    c.Stored = c.Field && c.Field->HasStoredValues();
    row_.Add(c.Name, i);
  }
  row_.IndexNames();
  aborted_ = false;
  if (ExportSource == esListView && ListView()) {
    int items = ListView()->ItemCount();
    SkipRecCount = std::min(SkipRecCount, items);
    if (ExportRecCount > 0) ExportRecCount = std::min(ExportRecCount, items);
    // The columns read items relative to the skip, so they follow the clamped values.
    TSourceRef ref = columns_.SourceRef();
    ref.SkipRecCount = SkipRecCount;
    ref.ExportRecCount = ExportRecCount;
    columns_.SetSourceRef(ref);
  }
  if (OnBeginExport) OnBeginExport(this);
}

void TExport::EndExport() {
  if (OnEndExport) OnEndExport(this);
}

bool TExport::EndOfSource() {
  return Source()->Eof(RecordCounter);
}

void TExport::GetCaptionRow(std::string& S) {
  S.clear();
  std::string cap;
  for (int i = 0; i < columns_.Count(); ++i) {
    GetColCaption(i, cap);
    S += cap;
  }
}

void TExport::GetColCaption(int colNo, std::string& S) {
  EscapeString(columns_[colNo].Caption, S);
}

void TExport::FillRow() {
  for (int i = 0; i < columns_.Count(); ++i) {
    int cell = row_.CellOfColumn(i);
    if (cell < 0) continue;
    TExportCol& col = row_[cell];
    const TExportColumn& column = columns_[i];
    if (rowValues_ && column.Stored) {
      col.TakeStoredValue(*column.Field);
      continue;
    }
    col.Stored = false;
    // The field's text rounds a number to fifteen digits; a column that keeps every digit takes
    // them from its value.
    if (column.ExactDigits && column.Stored) {
      column.Field->GetStoredValue(col.Value);
      col.Data.clear();
      if (AppendExactNumber(col.Value, formatSettings_, col.Data)) continue;
    }
    columns_.GetRawText(i, RecordCounter, col.Data);
    TrimInPlace(col.Data);
  }
}

void TExport::GetDataRow(bool format, std::string& S) {
  S.clear();
  for (int i = 0; i < row_.Count(); ++i) {
    row_[i].GetExportedValue(format, scratch_);
    S += scratch_;
  }
}

bool TExport::CanContinue() {
  bool can = !aborted_;
  if (OnStopExport) OnStopExport(this, can);
  aborted_ = !can;
  return can;
}

void TExport::DoGetCellParams(int recNo, int colNo, const std::string& value,
                              TExportColAlign& align, TFont* font, TColor& background) {
  if (OnGetCellParams) OnGetCellParams(this, recNo, colNo, value, align, font, background);
}

void TExport::DoExport() {
  RecordCounter = 0;
  const TSourceAdapterPtr held = Source();
  const TSourceAdapter& s = *held;
  const std::string name = SourceName(ExportSource);
  if (!s.Assigned())
    throw Exception(Format(TranslateText("Engine", "Источник данных (%s) не определен"), {name}));
  if (!s.Active())
    throw Exception(Format(TranslateText("Engine", "Источник данных (%s) закрыт"), {name}));
  if (!ExportEmpty && s.Empty())
    throw Exception(Format(TranslateText("Engine", "Источник данных (%s) пуст"), {name}));

  TSourceUpdate update(s);
  BeginExport();
  if (aborted_) return;
  if (AutoCalcColWidth) {
    columns_.AutoCalcColWidth();
    if (aborted_) return;
  }
  try {
    WriteRecords();
  } catch (...) {
    // The format's end still runs; an error in it must not hide the first one.
    try {
      EndExport();
    } catch (...) {
    }
    throw;
  }
  EndExport();
}

void TExport::WriteRecords() {
  if (AllowCaptions) {
    WriteCaptionRow();
    if (aborted_) return;
  }
  // The source as it is now: BeginExport may have clamped the counts of a list view.
  const TSourceAdapterPtr held = Source();
  TRecordWalk walk(*held, RecordRange(), RecordCounter);
  walk.Start();
  BeforeExport();
  if (aborted_) return;
  walk.OnSkipped = [this](int recNo) {
    if (OnSkippedRecord) OnSkippedRecord(this, recNo);
  };
  walk.Skip();
  if (aborted_) return;
  walk.Stopped = [this] { return aborted_ && !CanContinue(); };
  walk.AtEnd = [this] { return EndOfSource(); };
  // A handler that reads or changes the row's texts before the format sees them gets texts.
  rowValues_ = (StoresValues() || FormatsTypedValues()) && !OnBeforeExportRow;
  if (gate_) gate_->SetOpen(true);
  walk.Records([this](int counter) {
    bool accept = true;
    FillRow();
    if (OnBeforeExportRow) OnBeforeExportRow(this, row_, accept);
    if (accept) {
      if (parts_ && parts_->Due()) {
        EndPart();
        parts_->Next();
        BeginPart();
      }
      WriteDataRow();
      if (parts_) parts_->RowWritten();
      if (OnExportedRecord) OnExportedRecord(this, counter);
    }
    return true;
  });
  if (gate_) gate_->SetOpen(ShareClosing);
  AfterExport();
}

void TExport::SaveProperties(TIniFile& ini) {
  ini.BeginUpdate();
  for (const std::string& line : ListProperties(*this, true)) {
    size_t eq = line.find('=');
    ini.WriteString(ClassName(), line.substr(0, eq), line.substr(eq + 1));
  }
  ini.EndUpdate();
}

void TExport::LoadProperties(TIniFile& ini) {
  TStringList lines;
  ini.ReadSectionValues(ClassName(), lines);
  for (const std::string& line : lines) {
    std::string name(TStringList::NamePart(line));
    std::string value(TStringList::ValuePart(line));
    // Multi-line values were saved with escaped line breaks.
    std::string text;
    for (size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == 'n') {
        text += '\n';
        ++i;
      } else {
        text += value[i];
      }
    }
    SetPropertyText(*this, name, text);
  }
}

// ---- destinations -----------------------------------------------------------------------------

std::string ExtractFilePath(const std::string& path) {
  size_t p = path.rfind('/');
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

bool ForceDirectories(const std::string& folder) {
  if (folder.empty()) return false;
  std::string path;
  size_t pos = 0;
  while (pos <= folder.size()) {
    size_t slash = folder.find('/', pos);
    path = folder.substr(0, slash);
    if (!path.empty()) ::mkdir(path.c_str(), 0755);  // existing levels simply fail
    if (slash == std::string::npos) break;
    pos = slash + 1;
  }
  struct stat st;
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

const TPropList& TExportText::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExport::ClassProps());
    PropBuilder<TExportText>(l)
        .Str("FileName", &TExportText::FileName)
        .Bool("ShowFile", &TExportText::ShowFile)
        .Bool("PrintFile", &TExportText::PrintFile);
    return l;
  }();
  return list;
}

void TExportText::ForceFileFolder() const {
  std::string folder = ExtractFilePath(FileName);
  if (folder.empty()) folder = ProgramFolder();
  if (!ForceDirectories(folder))
    throw Exception(Format(
        TranslateText("Engine", "Directory '%s' not found and cannot be created"), {folder}));
}

void TExportText::WriteFiles(const std::function<void()>& write) {
  TOutputFiles files;
  struct TReset {
    TOutputFiles*& outputs;
    ~TReset() { outputs = nullptr; }
  } reset{outputs_};
  outputs_ = &files;
  write();
  // A stopped run's files are dropped with `files`: a complete-looking part of a table must not
  // replace the whole one it was to succeed.
  if (!Aborted()) files.Commit();
}

bool TExportText::WritesParts() const {
  return Parts.Active() || HasPartField(FileName);
}

std::string TExportText::GetShowFileName() {
  return WritesParts() ? PartFileName(FileName, 1, Parts.Splits(), Parts.Compression) : FileName;
}

void TExportText::ExportToFileOrParts() {
  if (!WritesParts()) return ExportToStream(Outputs()->Create(FileName));
  if (Parts.Splits() && !SplitsIntoParts())
    throw Exception(TranslateText(
        "Engine", "Files of this type cannot be split into parts: compress them whole instead"));
  TPartWriter parts(Parts, *Outputs(), FileName, Encoding);
  ExportToParts(parts);
  if (!Aborted()) parts.Finish();
}

void TExportText::Execute() {
  ForceFileFolder();
  WriteFiles([this] { ExportToFileOrParts(); });
  AfterExecute();
}

void TExportText::AfterExecute() {
  if (Aborted()) return;
  if (ShowFile) Shell().Execute("open", GetShowFileName());
  if (PrintFile) Shell().Execute("print", GetPrintFileName());
}

const TPropList& TExportAdvancedText::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExportText::ClassProps());
    PropBuilder<TExportAdvancedText>(l)
        .Strings("Header", &TExport::Header)
        .Strings("Footer", &TExport::Footer);
    return l;
  }();
  return list;
}

const TPropList& TExportFormatText::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExportAdvancedText::ClassProps());
    PropBuilder<TExportFormatText>(l)
        .Bool("AllowCaptions", &TExport::AllowCaptions)
        .Strings("Captions", &TExport::Captions)
        .Object("Formats", "TExportFormats", &TExport::Formats)
        .Strings("UserFormats", &TExport::UserFormats);
    return l;
  }();
  return list;
}

void TExportMemory::Execute() {
  TMemoryStream stream;
  ExportToStream(stream);
  Clipboard().SetText(stream.Data());
}

// ---- value formatting -------------------------------------------------------------------------

namespace {

// True when the text views bytes of the string (a value read from the cell it is written to).
bool Overlaps(std::string_view text, const std::string& s) {
  return !text.empty() && std::less_equal<const char*>()(s.data(), text.data()) &&
         std::less<const char*>()(text.data(), s.data() + s.capacity());
}

}  // namespace

const TFormatSettings& PointSettings() {
  static const TFormatSettings fs = [] {
    TFormatSettings p = DefaultFormatSettings();
    p.DecimalSeparator = ".";
    p.ThousandSeparator.clear();
    return p;
  }();
  return fs;
}

bool AppendExactNumber(const TFieldValue& value, const TFormatSettings& fs, std::string& out) {
  switch (value.Kind) {
    case TValueKind::Decimal:
      if (DecimalToStrExact(value.Text, fs, out)) return true;
      [[fallthrough]];
    case TValueKind::Float:
      if (!std::isfinite(value.Float)) return false;
      FloatToStrExact(value.Float, fs, out);
      return true;
    case TValueKind::Integer:
      out += std::to_string(value.Int);
      return true;
    default:
      return false;
  }
}

namespace {

// The digits after the seconds' point of an ISO 8601 text ("10:00:05.25" gives "25"), and in
// `whole` the serial value of the text without them; false when the text has no such fraction.
bool IsoFraction(std::string_view text, std::string_view& digits, TDateTime& whole) {
  const size_t colon = text.rfind(':');
  if (colon == std::string_view::npos) return false;
  const size_t point = text.find('.', colon);
  if (point == std::string_view::npos) return false;
  size_t end = point + 1;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  if (end == point + 1) return false;
  std::string rest(text.substr(0, point));
  rest += text.substr(end);
  if (!TryParseIsoDateTime(rest, whole)) return false;
  digits = text.substr(point + 1, end - point - 1);
  return true;
}

}  // namespace

void AppendIsoValue(const TFieldValue& value, TExportColType type, char separator,
                    std::string& out) {
  static const TFormatSettings fs = DefaultFormatSettings();
  TDateTime dt = value.Float;
  std::string_view fraction;
  char millis[4];
  if (!IsoFraction(value.Text, fraction, dt)) {
    dt = value.Float;
    int h, n, s, ms;
    DecodeTime(dt, h, n, s, ms);
    if (ms) {
      dt = WholeSeconds(dt);
      millis[0] = static_cast<char>('0' + ms / 100);
      millis[1] = static_cast<char>('0' + ms / 10 % 10);
      millis[2] = static_cast<char>('0' + ms % 10);
      fraction = std::string_view(millis, 3);
    }
  }
  // Quoted separators: the format language would put the locale's own ones in. Compiled once:
  // every date of a JSON or SQL file comes here.
  static const TDateTimeFormat dayOnly("yyyy\"-\"mm\"-\"dd"), timeOnly("hh\":\"nn\":\"ss");
  static const TDateTimeFormat dateT("yyyy\"-\"mm\"-\"dd\"T\"hh\":\"nn\":\"ss");
  static const TDateTimeFormat dateBlank("yyyy\"-\"mm\"-\"dd\" \"hh\":\"nn\":\"ss");
  if (type == ectDate || type == ectTime) {
    (type == ectDate ? dayOnly : timeOnly).Render(dt, fs, out);
    if (type == ectDate) return;
  } else if (separator == 'T' || separator == ' ') {
    (separator == 'T' ? dateT : dateBlank).Render(dt, fs, out);
  } else {
    dayOnly.Render(dt, fs, out);
    out += separator;
    timeOnly.Render(dt, fs, out);
  }
  if (fraction.empty()) return;
  out += '.';
  out += fraction;
}

void FormatValue(std::string_view raw, const TExportColumn& column, bool escape, TExport& exporter,
                 std::string& out) {
  const TFormatSettings& fs = exporter.FormatSettings();
  // Text that needs no escaping renders into out itself; otherwise into a buffer kept between
  // calls, escaped from there.
  thread_local std::string buffer;
  const bool direct = (!escape || exporter.EscapesNothing()) && !Overlaps(raw, out);
  std::string& text = direct ? out : buffer;
  text.clear();
  auto finish = [&](std::string& rendered) {
    if (!direct) exporter.EscapeString(rendered, out);
  };
  switch (column.ColType) {
    case ectInteger: {
      int32_t v;
      if (!TryStrToInt(raw, v)) v = 0;  // integers never fail: junk counts as 0
      column.NumberFormat().Render(static_cast<int64_t>(v), fs, text);
      finish(text);
      return;
    }
    case ectBigint: {
      int64_t v;
      if (!TryStrToInt64(raw, v)) v = 0;
      column.NumberFormat().Render(v, fs, text);
      finish(text);
      return;
    }
    case ectFloat:
    case ectCurrency: {
      if (column.ExactDigits) {
        // Every digit: the text as it is, once it is seen to be a number.
        double v;
        if (!TryStrToFloat(raw, v, fs))
          throw EConvertError(
              Format(TranslateText("Engine", "'%s' is not a valid floating point value"), {raw}));
        text.assign(raw);
      } else if (!column.NumberFormat().RenderFloatText(raw, fs, text)) {
        throw EConvertError(
            Format(TranslateText("Engine", "'%s' is not a valid floating point value"), {raw}));
      }
      finish(text);
      return;
    }
    case ectDate:
    case ectTime:
    case ectDateTime: {
      TDateTime v;
      if (!TryStrToDateTime(raw, v, fs))
        throw EConvertError(
            Format(TranslateText("Engine", "'%s' is not a valid date and time"), {raw}));
      column.DateTimeFormat().Render(v, fs, text);
      finish(text);
      return;
    }
    case ectString:
      if (direct) {
        out.assign(raw);
      } else {
        exporter.EscapeString(raw, out);
      }
      return;
    default:
      out.assign(raw);  // booleans and unknown types keep the source's own words
      return;
  }
}

void FormatFieldValue(const TFieldValue& value, const TExportColumn& column, bool escape,
                      TExport& exporter, std::string& out) {
  const TFormatSettings& fs = exporter.FormatSettings();
  thread_local std::string buffer;
  // A number or a date needs no escaping for a format that escapes nothing: it renders into out.
  const bool direct = !escape || exporter.EscapesNothing();
  std::string& text = direct ? out : buffer;
  const TExportColType type = column.ColType;
  const bool number = type == ectFloat || type == ectCurrency;
  bool rendered = false;
  switch (value.Kind) {
    case TValueKind::Null:
      return FormatValue({}, column, escape, exporter, out);
    case TValueKind::Text:
    case TValueKind::Boolean:
      return FormatValue(TrimView(value.Text), column, escape, exporter, out);
    case TValueKind::Integer:
      if (type == ectInteger) {
        // As the text reader does: what does not fit 32 bits is 0.
        const bool fits = value.Int >= INT32_MIN && value.Int <= INT32_MAX;
        text.clear();
        column.NumberFormat().Render(fits ? value.Int : int64_t{0}, fs, text);
        rendered = true;
      } else if (type == ectBigint) {
        text.clear();
        column.NumberFormat().Render(value.Int, fs, text);
        rendered = true;
      }
      break;
    case TValueKind::Float:
    case TValueKind::Decimal:
      // Fifteen digits of a normal double read back as the same double; subnormals and the
      // words for infinities do not.
      if (number && (value.Float == 0 || std::isnormal(value.Float))) {
        text.clear();
        if (column.ExactDigits)
          AppendExactNumber(value, fs, text);
        else
          column.NumberFormat().Render(value.Float, fs, text);
        rendered = true;
      }
      break;
    case TValueKind::DateTime:
      if (type == ectDate || type == ectTime || type == ectDateTime) {
        text.clear();
        column.DateTimeFormat().Render(value.Float, fs, text);
        rendered = true;
      }
      break;
  }
  if (!rendered) {
    // A value the column's type does not take: formatted from its text, as it always was.
    thread_local std::string fieldText;
    fieldText.clear();
    column.Field->GetText(fieldText);
    return FormatValue(TrimView(fieldText), column, escape, exporter, out);
  }
  if (!direct) exporter.EscapeString(text, out);
}

std::string FormatValue(std::string_view raw, const std::string& format, TExportColType type,
                        bool escape, TExport& exporter) {
  TExportColumns cols(exporter);
  TExportColumn& c = cols.Add();
  c.ColType = type;
  c.Format = format;
  std::string out;
  FormatValue(raw, c, escape, exporter, out);
  return out;
}

}  // namespace morvale
