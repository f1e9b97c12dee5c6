// A field's stored value, rendered by the column formatting, must give what its text read back
// gave wherever that text held the whole value: the text read back is the reference, for every
// type, cell and setting. Where the text lost part of the value (a fraction of a second, the
// century of a two-digit year) the stored value keeps it.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "app/engine/cursordataset.h"
#include "app/engine/sqlitecursor.h"
#include "app/engine/sqlitedb.h"
#include "app/engine/valuetext.h"
#include "export/core/streams.h"
#include "export/text/ascii.h"

namespace morvale {
namespace {

struct TCellSpec {
  TCellKind Kind;
  int64_t Int = 0;
  double Float = 0;
  std::string Bytes;
};

TCellSpec Int(int64_t v) {
  return {TCellKind::Int, v, 0, {}};
}
TCellSpec Real(double v) {
  return {TCellKind::Float, 0, v, {}};
}
TCellSpec Stamp(double v) {
  return {TCellKind::DateTime, 0, v, {}};
}
TCellSpec Text(std::string s) {
  return {TCellKind::Text, 0, 0, std::move(s)};
}

// One column of the given type whose rows are the given cells.
class TCellsCursor : public TCursor {
 public:
  TCellsCursor(TFieldType type, std::vector<TCellSpec> cells)
      : type_(type), cells_(std::move(cells)) {}
  void Execute() override { at_ = -1; }
  bool Step() override { return ++at_ < static_cast<int64_t>(cells_.size()); }
  TFieldDefs Describe(bool) override { return {MakeFieldDef("v", type_, 20)}; }
  void ReadRow(TRowWindow& w) override {
    TCell& cell = w.AppendRow()[0];
    const TCellSpec& s = cells_[static_cast<size_t>(at_)];
    if (s.Kind == TCellKind::Text || s.Kind == TCellKind::Blob)
      return w.SetText(cell, s.Bytes, s.Kind);
    cell.Kind = s.Kind;
    if (s.Kind == TCellKind::Int) cell.Int = s.Int;
    if (s.Kind == TCellKind::Float || s.Kind == TCellKind::DateTime) cell.Float = s.Float;
  }
  int64_t CountRows() override { return static_cast<int64_t>(cells_.size()); }

 private:
  TFieldType type_;
  std::vector<TCellSpec> cells_;
  int64_t at_ = -1;
};

std::vector<TCellSpec> EveryKindOfCell() {
  const double inf = std::numeric_limits<double>::infinity();
  return {{TCellKind::Null, 0, 0, {}},
          Int(0),
          Int(42),
          Int(-7),
          Int(3000000000),
          Int(-2147483648),
          Int(std::numeric_limits<int64_t>::max()),
          Int(999999999999999),
          Int(1000000000000001),
          Int(1),
          Real(2.5),
          Real(-0.0),
          Real(0.1 + 0.2),
          Real(123456789.123456789),
          Real(1e300),
          Real(-1.5e-20),
          Real(4e-320),  // subnormal
          Real(std::nan("")),
          Real(-inf),
          Real(39448.25),
          Stamp(45999.5734143519),
          Stamp(-1.25),
          Stamp(0.99999999),
          Stamp(36526),
          Stamp(-700000),
          Stamp(3000000),
          Stamp(0.0416701389),
          Stamp(2958465.99999999),
          Text("12.50"),
          Text(" 42 "),
          Text("-3e5"),
          Text("abc"),
          Text(""),
          Text("2008-03-07 09:05:01.250"),
          Text("2008-03-07"),
          Text("14:30"),
          Text("yes"),
          Text("OFF"),
          Text("Привет,\r\n \"мир\""),
          {TCellKind::Blob, 0, 0, std::string("\0\xff\x41", 3)}};
}

std::string Outcome(const std::function<void(std::string&)>& format) {
  std::string out;
  try {
    format(out);
  } catch (const Exception& e) {
    return std::string("raised: ") + e.what();
  }
  return out;
}

// A decimal text of a NUMERIC column is read without the general reader when it is short: the
// value must be the double from_chars gives, to the bit, and the text stays as the server wrote
// it.
TEST(TypedValues, DecimalTextsReadAsTheGeneralReaderReadsThem) {
  std::vector<std::string> texts = {"0",
                                    "-0",
                                    "0.00",
                                    "-0.00",
                                    "1.37",
                                    ".5",
                                    "5.",
                                    "+12.5",
                                    "-1.05",
                                    "00.10",
                                    "0.1",
                                    "0.3",
                                    "1e5",
                                    ".",
                                    "-",
                                    "1.2.3",
                                    "12,5",
                                    " 1.5",
                                    "999999999999999",
                                    "9999999999999999",
                                    "0.000000000000001",
                                    "123456789.123456",
                                    "-99999999999999.9"};
  unsigned seed = 11;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1103515245 + 12345;
    const uint64_t digits = (static_cast<uint64_t>(seed) << 20 ^ seed >> 3) % 1000000000000000;
    std::string text = std::to_string(digits);
    const size_t scale = (seed >> 9) % (text.size() + 1);
    text.insert(text.size() - scale, ".");
    if (seed & 1) text.insert(0, "-");
    texts.push_back(text);
  }
  for (const std::string& text : texts) {
    TRowWindow window;
    window.Reset(1, 0);
    TCell& cell = window.AppendRow()[0];
    window.SetText(cell, text);
    TFieldValue value;
    StoredCellValue(cell, window.Bytes(cell), ftBCD, value);
    std::string_view s = text;
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double expected = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), expected);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) {
      EXPECT_EQ(value.Kind, TValueKind::Text) << text;
      continue;
    }
    EXPECT_EQ(value.Kind,
              text.find('e') == std::string::npos ? TValueKind::Decimal : TValueKind::Float)
        << text;
    EXPECT_EQ(std::memcmp(&value.Float, &expected, sizeof expected), 0) << text;
    EXPECT_EQ(value.Text, text);
  }
}

TEST(TypedValues, EveryCellFormatsAsItsTextReadBackDoes) {
  const TFieldType types[] = {ftSmallint, ftInteger, ftAutoInc, ftLargeint, ftFloat,
                              ftCurrency, ftBCD,     ftDate,    ftTime,     ftDateTime,
                              ftBoolean,  ftString,  ftMemo,    ftBlob,     ftGraphic};
  const char* formats[] = {"",           "0.00",     "#,##0.###", "0.00E+00", "0;(0);zero",
                           "yyyy-mm-dd", "dd/mm/yy", "hh:nn:ss",  "c",        "h:nn am/pm"};
  const TFormatSettings settings[] = {TFormatSettings::Iso(), TFormatSettings::Russian(),
                                      TFormatSettings::English()};
  int compared = 0;
  for (const TFormatSettings& fs : settings) {
    TExportASCII exporter;
    exporter.SetFormatSettings(fs);
    for (TFieldType type : types) {
      TCursorDataSet ds;
      ds.SetFormatSettings(fs);
      ds.OpenCursor(std::make_unique<TCellsCursor>(type, EveryKindOfCell()));
      TField& field = ds.Fields(0);
      ASSERT_TRUE(field.HasStoredValues());
      TExportColumns columns(exporter);
      TExportColumn& column = columns.Add();
      column.ColType = FieldTypeToColType(type);
      column.Field = &field;
      for (int row = 0; !ds.Eof(); ds.Next(), ++row) {
        for (const char* format : formats) {
          // A date-time format with 'z' shows milliseconds, which the text had dropped and the
          // stored value keeps (StoredValuesKeepWhatTheTextsLost).
          const bool dates = type == ftDate || type == ftTime || type == ftDateTime;
          if (dates && std::string_view(format).find('z') != std::string_view::npos) continue;
          column.Format = format;
          std::string text = field.AsString();
          TFieldValue value;
          field.GetStoredValue(value);
          EXPECT_EQ(value.Kind == TValueKind::Null, field.IsNull());
          for (bool escape : {false, true}) {
            std::string expected = Outcome([&](std::string& out) {
              FormatValue(TrimView(text), column, escape, exporter, out);
            });
            std::string got = Outcome(
                [&](std::string& out) { FormatFieldValue(value, column, escape, exporter, out); });
            EXPECT_EQ(got, expected)
                << FieldTypeName(type) << " row " << row << " format '" << format << "' text '"
                << text << "' decimal '" << fs.DecimalSeparator << "'";
            ++compared;
          }
        }
      }
    }
  }
  EXPECT_GT(compared, 10000);
}

// The same export with the stored values and without them: a handler that sees the row before
// the format turns them off, because it reads and may change the texts.
class TypedExport : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = TSqliteDatabase::OpenMemory();
    db_->Exec(
        "CREATE TABLE t (i INTEGER, s SMALLINT, b BIGINT, r REAL, n NUMERIC(10,2), m MONEY,"
        " d DATE, tm TIME, dt DATETIME, f BOOLEAN, c VARCHAR(10), me MEMO, bl BLOB);"
        "INSERT INTO t VALUES (42, -7, 9007199254740993, 2.5, 1234.5, 10, '2008-03-07',"
        " '14:30:05.75', '2008-03-07 09:05:01', 1, ' Bolt ', 'line1\nline2', x'00FF41');"
        "INSERT INTO t VALUES (3000000000, 1.5, -1, 1e300, '12.50', 7.125, '2008-03-07 10:00',"
        " '23:59:59.9996', '1850-01-31T23:00', 'yes', 12, 3.5, 'text');"
        "INSERT INTO t VALUES (NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,"
        " NULL, NULL, NULL);");
  }
  std::string Export(TExportASCIIType type, const TFormatSettings& fs, bool typed,
                     const std::string& dateTimeFormat = {}) {
    TCursorDataSet ds;
    ds.SetFormatSettings(fs);
    ds.OpenCursor(std::make_unique<TSqliteCursor>(db_, "SELECT * FROM t"));
    TExportASCII e;
    e.SetFormatSettings(fs);
    e.SetExportType(type);
    e.SetDataSet(&ds);
    e.Formats.SetNullString("<null>");
    if (!dateTimeFormat.empty()) {
      e.Formats.SetDateTimeFormat(dateTimeFormat);
      e.Formats.SetTimeFormat(dateTimeFormat);
    }
    e.UserFormats.Add("r=#,##0.00");
    if (!typed) e.OnBeforeExportRow = [](TObject*, TExportRow&, bool&) {};
    TMemoryStream out;
    e.ExportToStream(out);
    return out.Data();
  }
  std::shared_ptr<TSqliteDatabase> db_;
};

TEST_F(TypedExport, EveryPlainTextTypeWritesTheSameBytesEitherWay) {
  for (const TFormatSettings& fs : {TFormatSettings::Iso(), TFormatSettings::Russian()})
    for (TExportASCIIType type : {etTXT, etCSV, etDIF, etSYLK}) {
      std::string typed = Export(type, fs, true);
      EXPECT_EQ(typed, Export(type, fs, false)) << type;
      EXPECT_NE(typed.find("<null>"), std::string::npos);
    }
}

TEST_F(TypedExport, StoredValuesKeepWhatTheTextsLost) {
  // The field's text has whole seconds: a format with milliseconds shows them only from the
  // stored value.
  const char* millis = "dd.mm.yyyy hh:nn:ss.zzz";
  TFormatSettings fs = TFormatSettings::Iso();
  EXPECT_NE(Export(etCSV, fs, true, millis).find("30.12.1899 14:30:05.750"), std::string::npos);
  EXPECT_NE(Export(etCSV, fs, false, millis).find("30.12.1899 14:30:05.000"), std::string::npos);
  // A short date of two-digit years gives texts that read back in another century.
  fs.ShortDateFormat = "dd/mm/yy";
  fs.DateSeparator = "/";
  const char* full = "yyyy-mm-dd hh:nn";
  EXPECT_NE(Export(etCSV, fs, true, full).find("1850-01-31 23:00"), std::string::npos);
  EXPECT_EQ(Export(etCSV, fs, false, full).find("1850-01-31 23:00"), std::string::npos);
}

}  // namespace
}  // namespace morvale
