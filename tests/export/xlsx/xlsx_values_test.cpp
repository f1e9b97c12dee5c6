// How a row's values reach .xlsx cells: as the fields' stored values, with no text rendered on
// the way for numbers, dates and Booleans (a field counts its GetText calls); a handler of the
// row's texts still gets texts, and the cells then hold what it left.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "export/xlsx/exportxlsx.h"
#include "tests/support/demo.h"

namespace morvale {
namespace {

using test::RunCommand;
using test::ShellQuote;

// A field whose stored values are given per row, and which counts the texts asked of it.
class TCountingField : public TField {
 public:
  TCountingField(const std::vector<TFieldValue>& values, const int& row)
      : values_(values), row_(row) {}
  bool IsNull() const override { return Value().Kind == TValueKind::Null; }
  void GetText(std::string& out) const override {
    ++texts;
    out.clear();
    const TFieldValue& v = Value();
    switch (v.Kind) {
      case TValueKind::Integer:
        out = std::to_string(v.Int);
        break;
      case TValueKind::Float:
        FloatToStrGeneral(v.Float, DefaultFormatSettings(), out);
        break;
      case TValueKind::DateTime:
        // As the engine's fields render date-times: the short date and the long time.
        FormatDateTime(
            DefaultFormatSettings().ShortDateFormat + " " + DefaultFormatSettings().LongTimeFormat,
            v.Float, DefaultFormatSettings(), out);
        break;
      case TValueKind::Boolean:
        out = v.Bool ? "True" : "False";
        break;
      case TValueKind::Decimal:
      case TValueKind::Text:
        out = v.Text;
        break;
      case TValueKind::Null:
        break;
    }
  }
  bool HasStoredValues() const override { return true; }
  void GetStoredValue(TFieldValue& out) const override { out = Value(); }

  mutable int texts = 0;

 private:
  const TFieldValue& Value() const { return values_[static_cast<size_t>(row_)]; }
  std::vector<TFieldValue> values_;
  const int& row_;
};

class TCountingDataSet : public TDataSet {
 public:
  TCountingField& Add(const std::string& name, TFieldType type, std::vector<TFieldValue> values) {
    fields_.push_back(std::make_unique<TCountingField>(std::move(values), row_));
    TCountingField& f = *fields_.back();
    f.FieldName = name;
    f.DataType = type;
    f.Size = type == ftString ? 20 : 0;
    f.Index = static_cast<int>(fields_.size()) - 1;
    return f;
  }
  void SetRows(int n) { rows_ = n; }
  bool Active() const override { return true; }
  void First() override { row_ = 0; }
  void Next() override {
    if (row_ < rows_) ++row_;
  }
  bool Eof() const override { return row_ >= rows_; }
  bool IsEmpty() override { return rows_ == 0; }
  int RecordCount() override { return rows_; }
  int FieldCount() const override { return static_cast<int>(fields_.size()); }
  TField& Fields(int i) const override { return *fields_[static_cast<size_t>(i)]; }
  TBookmark GetBookmark() override { return row_; }
  void GotoBookmark(TBookmark b) override { row_ = static_cast<int>(b); }
  void ResetCounts() {
    for (auto& f : fields_) f->texts = 0;
  }
  TCountingField& Field(int i) { return *fields_[static_cast<size_t>(i)]; }

 private:
  std::vector<std::unique_ptr<TCountingField>> fields_;
  int row_ = 0, rows_ = 0;
};

TFieldValue Number(double v) {
  TFieldValue f;
  f.Kind = TValueKind::Float;
  f.Float = v;
  return f;
}
TFieldValue Integer(int64_t v) {
  TFieldValue f;
  f.Kind = TValueKind::Integer;
  f.Int = v;
  return f;
}
TFieldValue Decimal(double v, std::string_view digits) {
  TFieldValue f = Number(v);
  f.Kind = TValueKind::Decimal;
  f.Text = digits;
  return f;
}
TFieldValue Date(TDateTime v) {
  TFieldValue f = Number(v);
  f.Kind = TValueKind::DateTime;
  return f;
}
TFieldValue Flag(bool v) {
  TFieldValue f;
  f.Kind = TValueKind::Boolean;
  f.Bool = v;
  f.Text = v ? "True" : "False";
  return f;
}
TFieldValue Text(std::string_view v) {
  TFieldValue f;
  f.Kind = TValueKind::Text;
  f.Text = v;
  return f;
}

class XlsxValues : public ::testing::Test {
 protected:
  XlsxValues() : dir_(test::FreshFolder("xlsx-values")) {
    // Sixteen digits, the most a cell number of the file is written with, which a fifteen-digit
    // text does not keep; 12:00:00.250, a fraction of a second that a text of whole seconds
    // does not keep.
    ds_.Add("ratio", ftFloat, {Number(1234567890.123456), Number(-1.5), TFieldValue()});
    ds_.Add("amount", ftBCD, {Decimal(1234.5, "1234.50"), Decimal(-0.01, "-0.01"), TFieldValue()});
    ds_.Add("qty", ftLargeint, {Integer(42), Integer(-7), TFieldValue()});
    ds_.Add("at", ftDateTime, {Date(45356.5 + 0.25 / 86400), Date(36526), TFieldValue()});
    ds_.Add("ok", ftBoolean, {Flag(true), Flag(false), TFieldValue()});
    ds_.Add("name", ftString, {Text("Ёлка \"Ф\""), Text("  x  "), TFieldValue()});
    ds_.SetRows(3);
    ds_.ResetCounts();
    x_.SetDataSet(&ds_);
    x_.FileName = dir_ + "values.xlsx";
  }
  std::string Cells() {
    std::string out;
    EXPECT_EQ(RunCommand(test::Python() + " -c " + ShellQuote(R"PY(
import sys, openpyxl
for row in openpyxl.load_workbook(sys.argv[1]).active.iter_rows(min_row=2, values_only=True):
    print(" | ".join(repr(v) for v in row))
)PY") + " " + ShellQuote(x_.FileName) +
                             " 2>&1",
                         out),
              0)
        << out;
    return out;
  }

  std::string dir_;
  TCountingDataSet ds_;
  TExportXLSX x_;
};

const char kCells[] =
    "1234567890.123456 | 1234.5 | 42 | datetime.datetime(2024, 3, 5, 12, 0, 0, 250000) | True | "
    "'Ёлка \"Ф\"'\n"
    "-1.5 | -0.01 | -7 | datetime.datetime(2000, 1, 1, 0, 0) | False | 'x'\n"
    "None | None | None | None | None | None\n";

TEST_F(XlsxValues, NumbersDatesAndFlagsBecomeNoText) {
  x_.Execute();
  EXPECT_EQ(Cells(), kCells);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ds_.Field(i).texts, 0) << ds_.Field(i).FieldName;
  EXPECT_EQ(ds_.Field(5).texts, 2);  // a string cell is its text, a NULL none
}

TEST_F(XlsxValues, ARowHandlerGetsTextsAndItsChangesCount) {
  std::vector<std::string> seen;
  x_.OnBeforeExportRow = [&seen](TObject*, TExportRow& row, bool&) {
    // The handler reads the texts of the row and rewrites one of them.
    seen.push_back(row[0].Data + "/" + row[2].Data);
    if (row[2].Data == "42") row[2].Data = "43";
  };
  x_.Execute();
  EXPECT_EQ(seen, (std::vector<std::string>{"1234567890.12346/42", "-1.5/-7", "/"}));
  // Read back from the texts: fifteen digits of the double and whole seconds, as before.
  EXPECT_EQ(Cells(),
            "1234567890.12346 | 1234.5 | 43 | datetime.datetime(2024, 3, 5, 12, 0) | True | 'Ёлка "
            "\"Ф\"'\n"
            "-1.5 | -0.01 | -7 | datetime.datetime(2000, 1, 1, 0, 0) | False | 'x'\n"
            "None | None | None | None | None | None\n");
  for (int i = 0; i < 6; ++i) EXPECT_EQ(ds_.Field(i).texts, 3) << ds_.Field(i).FieldName;
}

}  // namespace
}  // namespace morvale
