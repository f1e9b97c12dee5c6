// Deriving the exported columns from each kind of source and the exporter's settings.
#include <gtest/gtest.h>

#include "export/core/export.h"
#include "tests/support/memsources.h"

namespace morvale {
namespace {

using namespace test;

// Publishes what a text format with alignments and widths publishes.
class TAlignedExport : public TExportFormatText {
 public:
  static const TPropList& ClassProps() {
    static const TPropList list = [] {
      TPropList l(&TExportFormatText::ClassProps());
      PropBuilder<TAlignedExport>(l)
          .Strings("ColumnsAlign", &TExport::ColumnsAlign)
          .Strings("ColumnsWidth", &TExport::ColumnsWidth)
          .Strings("ColumnsLength", &TExport::ColumnsLength)
          .Event("OnFetchedRecord");
      return l;
    }();
    return list;
  }
  const TPropList& Published() const override { return ClassProps(); }
};

std::vector<std::string> Names(TExportColumns& c) {
  std::vector<std::string> r;
  for (int i = 0; i < c.Count(); ++i) r.push_back(c[i].Name);
  return r;
}

TEST(Columns, DataSetSelection) {
  TMemDataSet ds;
  ds.AddField("A", ftInteger);
  ds.AddField("B", ftString, 300);
  ds.AddField("C", ftMemo);
  ds.AddField("D", ftFloat).Visible = false;
  TAlignedExport e;
  e.SetDataSet(&ds);
  e.BeginExport();
  EXPECT_EQ(Names(e.Columns()), (std::vector<std::string>{"A", "B", "D"}));  // memo left out
  e.OnlyVisibleFields = true;
  e.BeginExport();
  EXPECT_EQ(Names(e.Columns()), (std::vector<std::string>{"A", "B"}));
  e.ExportedFields = {"C", "d", "B", "A"};
  e.BeginExport();
  EXPECT_EQ(Names(e.Columns()), (std::vector<std::string>{"C", "B", "A"}));  // named memo in
  EXPECT_TRUE(e.Columns()[0].IsBlob);
  EXPECT_EQ(e.Columns()[0].SQLType, "BLOB");
  EXPECT_EQ(e.Columns()[1].Length, 254);
  EXPECT_EQ(e.Columns()[1].SQLType, "CHAR(300)");
  e.ExportedFields = {"Z"};
  try {
    e.BeginExport();
    FAIL();
  } catch (const Exception& ex) {
    EXPECT_STREQ(ex.what(), "Field 'Z' not found");
  }
}

TEST(Columns, AttributesFromSettings) {
  TMemDataSet ds;
  ds.AddField("PRICE", ftFloat);
  ds.AddField("OK", ftBoolean);
  ds.AddField("NAME", ftString, 10);
  ds.AddField("QTY", ftInteger);
  TAlignedExport e;
  e.SetDataSet(&ds);
  e.ColumnsAlign = {"price=center", "NAME=", "qty=right"};
  e.ColumnsWidth = {"name=abc", "QTY=7"};
  e.Captions = {"qty=Quantity"};
  e.UserFormats = {"NAME=0.00", "QTY=000"};
  e.BeginExport();
  TExportColumns& c = e.Columns();
  EXPECT_EQ(c[0].ColAlign, ecaCenter);
  EXPECT_EQ(c[1].ColAlign, ecaCenter);  // booleans centre without an entry
  EXPECT_EQ(c[2].ColAlign, ecaLeft);
  EXPECT_EQ(c[3].ColAlign, ecaRight);
  EXPECT_EQ(c[2].Width, 0);
  EXPECT_EQ(c[3].Width, 7);
  EXPECT_EQ(c[3].Caption, "Quantity");
  EXPECT_EQ(c[3].Format, "000");
  EXPECT_FALSE(c[3].IsDefaultFormat());
  EXPECT_TRUE(c[0].IsDefaultFormat());
  EXPECT_EQ(c[0].Format, "#,###,##0.00");
  EXPECT_EQ(c[2].Format, "0.00");  // kept on a string column, where it changes nothing
  std::string out;
  FormatValue("abc", c[2], true, e, out);
  EXPECT_EQ(out, "abc");
}

TEST(Columns, AlignmentOnlyWhereTheFormatPublishesIt) {
  TMemDataSet ds;
  ds.AddField("PRICE", ftFloat);
  TExportFormatText plain;  // publishes neither ColumnsAlign nor ColumnsWidth
  plain.SetDataSet(&ds);
  plain.ColumnsAlign = {"PRICE=center"};
  plain.ColumnsWidth = {"PRICE=30"};
  plain.BeginExport();
  EXPECT_EQ(plain.Columns()[0].ColAlign, ecaLeft);
  EXPECT_EQ(plain.Columns()[0].Width, 10);
}

TEST(Columns, DuplicateNamesShareOneCell) {
  TMemDataSet ds;
  ds.AddField("A", ftString, 5);
  ds.AddRow({"x"});
  TAlignedExport e;
  e.SetDataSet(&ds);
  e.ExportedFields = {"A", "A"};
  e.BeginExport();
  ASSERT_EQ(e.Columns().Count(), 2);
  e.FillRow();
  EXPECT_EQ(e.Row()[0].Data, "x");
  EXPECT_EQ(e.Row()[1].Data, "");
}

TEST(Columns, StringGridCaptionsAndNumbers) {
  TMemStringGrid g;
  g.colCount = 3;
  g.cells = {{"a", "b", "c"}, {"1", "2", "3"}};
  TAlignedExport e;
  e.ExportSource = esStringGrid;
  e.SetStringGrid(&g);
  e.BeginExport();
  EXPECT_EQ(e.Columns()[1].Caption, "ColNo_1");
  EXPECT_EQ(e.Columns()[1].Name, "1");
  EXPECT_EQ(e.Columns()[1].Width, 8);  // 64 pixels of 8-pixel characters
  EXPECT_EQ(e.Columns()[1].Length, 254);
  EXPECT_EQ(e.Columns()[1].SQLType, "CHAR(8)");
  e.CaptionRow = 0;
  e.ExportedFields = {"2", "x", "7", "0"};
  e.BeginExport();
  EXPECT_EQ(Names(e.Columns()), (std::vector<std::string>{"2", "0"}));
  EXPECT_EQ(e.Columns()[0].Caption, "c");
}

TEST(Columns, StringGridValuesFormatAndFail) {
  TMemStringGrid g;
  g.colCount = 2;
  g.cells = {{"i", "f"}, {"12a", "n/a"}};
  TAlignedExport e;
  e.ExportSource = esStringGrid;
  e.SetStringGrid(&g);
  e.UserFormats = {"0=0"};
  e.AutoCalcStrType = false;
  e.BeginExport();
  e.Columns()[0].ColType = ectInteger;
  e.Columns()[1].ColType = ectFloat;
  std::string out;
  FormatValue("12a", e.Columns()[0], true, e, out);
  EXPECT_EQ(out, "0");
  try {
    FormatValue("n/a", e.Columns()[1], true, e, out);
    FAIL();
  } catch (const EConvertError& ex) {
    EXPECT_STREQ(ex.what(), "'n/a' is not a valid floating point value");
  }
}

TEST(Columns, ListViewTypeGuessAndClamping) {
  TMemListView lv;
  for (const char* c : {"a", "b", "c", "d", "e", "f"}) lv.columns.push_back({c, 80});
  lv.items = {{"12", "1,5", "01.02.2003", "12:30:00", "yes", "true"}};
  TFormatSettings ru = TFormatSettings::Russian();
  TAlignedExport e;
  e.SetFormatSettings(ru);
  e.ExportSource = esListView;
  e.SetListView(&lv);
  e.AutoCalcStrType = true;
  e.BeginExport();
  std::vector<TExportColType> types;
  for (int i = 0; i < e.Columns().Count(); ++i) types.push_back(e.Columns()[i].ColType);
  EXPECT_EQ(types, (std::vector<TExportColType>{ectInteger, ectFloat, ectDate, ectTime, ectString,
                                                ectBoolean}));
  EXPECT_EQ(e.Columns()[0].Width, 10);

  for (int i = 0; i < 9; ++i) lv.items.push_back({"x"});
  e.SkipRecCount = 20;
  e.ExportRecCount = 30;
  int rows = 0;
  e.OnExportedRecord = [&](TObject*, int) { ++rows; };
  TMemoryStream s;
  e.ExportToStream(s);
  EXPECT_EQ(e.SkipRecCount, 10);
  EXPECT_EQ(e.ExportRecCount, 10);
  EXPECT_EQ(rows, 0);
}

TEST(Columns, ListViewRecordsAfterSkip) {
  TMemListView lv;
  lv.columns = {{"N", 64}, {"V", 64}};
  lv.items = {{"a", "1"}, {"b", "2"}, {"c", "3"}};
  TAlignedExport e;
  e.ExportSource = esListView;
  e.SetListView(&lv);
  e.SkipRecCount = 1;
  std::vector<std::string> seen;
  e.OnBeforeExportRow = [&](TObject*, TExportRow& r, bool&) {
    seen.push_back(r[0].Data + r[1].Data);
  };
  TMemoryStream s;
  e.ExportToStream(s);
  EXPECT_EQ(seen, (std::vector<std::string>{"b2", "c3"}));
}

TEST(Columns, CustomSource) {
  TCustomSource src;
  TCustomColumn& a = src.AddColumn();
  TCustomColumn& b = src.AddColumn();
  EXPECT_EQ(a.ColumnName(), "Column0");
  EXPECT_EQ(b.ColumnName(), "Column1");
  b.SetColumnName("column0");  // taken (names compare without case): ignored
  b.SetColumnName("");
  EXPECT_EQ(b.ColumnName(), "Column1");
  b.ColumnType = ectInteger;
  src.OnGetColumnValue = [](TObject*, int recNo, TCustomColumn& c, TCustomValue& v) {
    if (c.ColumnName() == "Column1") v = std::to_string(recNo * 10);
  };
  TAlignedExport e;
  e.ExportSource = esCustom;
  e.SetCustomSource(&src);
  std::vector<std::string> seen;
  e.OnBeforeExportRow = [&](TObject*, TExportRow& r, bool&) {
    seen.push_back(r[0].Data + "/" + r[1].Data);
  };
  TMemoryStream s;
  e.ExportToStream(s);
  EXPECT_TRUE(seen.empty());  // no OnGetNextRecord handler: no records

  src.OnGetNextRecord = [](TObject*, int recNo, bool& eof) { eof = recNo == 3; };
  e.ExportToStream(s);
  EXPECT_EQ(seen, (std::vector<std::string>{"/10", "/20", "/30"}));
  EXPECT_EQ(e.Columns()[0].Length, 15);
  EXPECT_EQ(e.Columns()[1].SQLType, "INTEGER");
}

TEST(Columns, DBGridColumns) {
  TMemDataSet ds;
  TField& a = ds.AddField("A", ftInteger);
  TField& m = ds.AddField("M", ftMemo);
  ds.AddRow({"1", "memo"});
  TMemDBGrid g;
  g.dataSet = &ds;
  g.columns = {{&a, 80, "Title A"}, {nullptr, 40, "no field"}, {&m, 16, "Memo"}};
  TAlignedExport e;
  e.ExportSource = esDBGrid;
  e.SetDBGrid(&g);
  e.BeginExport();
  ASSERT_EQ(e.Columns().Count(), 1);  // the column without a field and the memo are left out
  EXPECT_EQ(e.Columns()[0].Caption, "Title A");
  EXPECT_EQ(e.Columns()[0].Width, 10);
  e.ExportedFields = {"m"};
  e.BeginExport();
  ASSERT_EQ(e.Columns().Count(), 1);
  EXPECT_EQ(e.Columns()[0].Number, 2);
  g.dataSet = nullptr;
  TMemoryStream s;
  EXPECT_THROW(e.ExportToStream(s), Exception);
}

TEST(Columns, RowSetValueTrimsAndIgnoresUnknownNames) {
  TAlignedExport e;
  TExportRow& r = e.Row();
  r.Add(" A ", 0);
  r.Add("B", 1);
  r.IndexNames();
  r.SetValue("a", " \t x y \r\n");
  r.SetValue("zz", "ignored");
  EXPECT_EQ(r[0].Name, "A");
  EXPECT_EQ(r[0].Data, "x y");
  EXPECT_EQ(r.IndexOfName("b"), 1);
}

}  // namespace
}  // namespace morvale
