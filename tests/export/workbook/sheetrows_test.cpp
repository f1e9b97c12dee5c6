// The rows of a sheet as both workbook writers receive them: the parts a full sheet continues on,
// the caption row repeated on each, the value each data cell holds and the look it starts from.
// A recording writer stands in for the file formats, so a fault here shows without a reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/core/platform.h"
#include "export/workbook/exportworkbook.h"
#include "export/workbook/sheetrows.h"
#include "tests/support/memsources.h"

namespace morvale {
namespace {

using test::TMemDataSet;

// One written cell as the writer saw it.
struct TCell {
  int part = 0, row = 0, col = 0;
  std::string what;  // "text", "caption", "data", "aggregate", "aggregate-text"
  std::string text;
  TxlsCellValue::TKind kind = TxlsCellValue::cvNone;
  double number = 0;
  bool boolean = false, wrap = false;
  const TxlsFormat* look = nullptr;  // data cells: the look they start from
};

class TRecordingRows : public TxlsSheetRows {
 public:
  TRecordingRows(TExportWorkbook& x, TxlsSheet& sheet, int maxRows)
      : TxlsSheetRows(x, sheet, 0, maxRows) {}

  std::vector<TCell> cells;
  int partsBegun = 0, partsEnded = 0;
  bool finished = false;
  // Per aggregate cell: the data rows of every part, "start-end" each.
  std::vector<std::string> aggregateRanges;

 private:
  void PrepareFormat() override {}
  void BeginPart() override { ++partsBegun; }
  void EndPart() override { ++partsEnded; }
  void Finish() override { finished = true; }
  TCell& Add(int row, int col, const char* what, const std::string& text) {
    TCell& c = cells.emplace_back();
    c.part = partsBegun, c.row = row, c.col = col, c.what = what, c.text = text;
    return c;
  }
  void TextCell(int row, int col, const TxlsFormat&, const std::string& text) override {
    Add(row, col, "text", text);
  }
  void CaptionCell(int, int col, const TxlsFormat&, const std::string& text) override {
    Add(sheet_.OutputRow, col, "caption", text);
  }
  void DataCell(int j, const TxlsCellValue& v, int row) override {
    TCell& c = Add(row, sheet_.StartDataCol + j, "data", v.Text());
    c.kind = v.Kind, c.number = v.Number, c.boolean = v.Boolean, c.wrap = v.Wrap;
    c.look = DataLook(j);
  }
  void AggregateCell(int, int col, int row, const TxlsFormat&, const std::string&,
                     TxlsAggregate) override {
    Add(row, col, "aggregate", "");
    std::string ranges;
    for (const TPartRows& p : parts_)
      ranges += std::to_string(p.dataStart) + "-" + std::to_string(p.dataEnd) + " ";
    aggregateRanges.push_back(ranges);
  }
  void AggregateText(int, int col, int row, const TxlsFormat&, const std::string& text) override {
    Add(row, col, "aggregate-text", text);
  }
};

class WorkbookRows : public ::testing::Test {
 protected:
  void SetUp() override {
    SetTextMetrics(&metrics_);
    x.SetFormatSettings(TFormatSettings::English());
  }
  void TearDown() override { SetTextMetrics(nullptr); }

  // Writes the sheet's rows through the recorder, `maxRows` rows to a part.
  TRecordingRows& Write(TxlsSheet& sheet, int maxRows = 1000) {
    rows_ = std::make_unique<TRecordingRows>(x, sheet, maxRows);
    EXPECT_TRUE(rows_->Write());
    return *rows_;
  }
  std::vector<TCell> Of(const char* what) const {
    std::vector<TCell> out;
    for (const TCell& c : rows_->cells)
      if (c.what == what) out.push_back(c);
    return out;
  }

  TFixedTextMetrics metrics_;
  TExportWorkbook x;
  std::unique_ptr<TRecordingRows> rows_;
};

TEST_F(WorkbookRows, AFullSheetContinuesOnPartsThatRepeatTheCaptions) {
  TMemDataSet ds;
  ds.AddField("ID", ftInteger, 0, 6);
  for (int i = 1; i <= 7; ++i) ds.AddRow({std::to_string(i)});
  ds.Open();
  TxlsSheet& sheet = x.Sheets.Add();
  sheet.SetDataSet(&ds);
  sheet.Header.Add("Title");
  sheet.Footer.Add("End");
  sheet.FieldFormats.ForField("ID").Aggregate = aggSum;
  TRecordingRows& r = Write(sheet, 3);

  // Title, caption, 1 | caption, 2, 3 | caption, 4, 5 | caption, 6, 7 | caption, sum, End.
  EXPECT_EQ(r.partsBegun, 5);
  EXPECT_EQ(r.partsEnded, 4);  // the full ones; the writer's Finish ends the last
  EXPECT_TRUE(r.finished);
  for (const TCell& c : r.cells)
    EXPECT_LT(c.row, 3) << c.what << " " << c.text << " on part " << c.part;
  const std::vector<TCell> captions = Of("caption");
  ASSERT_EQ(captions.size(), 5u);
  for (int p = 0; p < 5; ++p) {
    EXPECT_EQ(captions[static_cast<size_t>(p)].part, p + 1);
    EXPECT_EQ(captions[static_cast<size_t>(p)].text, "ID");
  }
  EXPECT_EQ(captions[0].row, 1);  // below the header line on the first part
  EXPECT_EQ(captions[1].row, 0);
  std::string values;
  for (const TCell& c : Of("data")) values += c.text;
  EXPECT_EQ(values, "1234567");
  // The aggregate sees the data rows of every part, the current one still open.
  ASSERT_EQ(r.aggregateRanges.size(), 1u);
  EXPECT_EQ(r.aggregateRanges[0], "2-2 1-2 1-2 1-2 1--1 ");
  EXPECT_EQ(Of("aggregate")[0].part, 5);
  EXPECT_EQ(Of("aggregate")[0].row, 1);
  EXPECT_EQ(Of("text").back().text, "End");
  EXPECT_EQ(Of("text").back().row, 2);
}

TEST_F(WorkbookRows, EachCellsValueIsReadOnceAfterTheTextEvents) {
  TMemDataSet ds;
  ds.AddField("N", ftFloat, 0, 10);
  ds.AddField("D", ftDate, 0, 10);
  ds.AddField("B", ftBoolean, 0, 5);
  ds.AddField("S", ftString, 20);
  ds.AddField("G", ftGraphic, 10);
  ds.AddRow({"1.5e3", "3/1/1900", "True", "one\r\ntwo\rthree", "GIF89a"});
  ds.AddRow({"abc", "no date", "False", "plain", ""});
  ds.AddRow({"null", "", "yes", "null\r\n", "null"});
  ds.Open();
  TxlsSheet& sheet = x.Sheets.Add();
  sheet.SetDataSet(&ds);
  for (const char* f : {"N", "D", "B", "S", "G"}) sheet.ExportedFields.Add(f);
  sheet.Formats.SetNullString("null");
  // The value is read from the text the events leave.
  x.OnAdvancedGetExportText = [](TObject*, int, int col, std::string& text) {
    if (col == 0 && text == "abc") text = "7";
  };
  Write(sheet);
  const std::vector<TCell> d = Of("data");
  ASSERT_EQ(d.size(), 15u);
  using V = TxlsCellValue;
  EXPECT_EQ(d[0].kind, V::cvNumber);
  EXPECT_EQ(d[0].number, 1500);
  EXPECT_EQ(d[1].kind, V::cvDateTime);
  EXPECT_EQ(d[1].number, 61);  // days since 30 December 1899
  EXPECT_EQ(d[2].kind, V::cvBoolean);
  EXPECT_TRUE(d[2].boolean);
  // Line breaks are LF alone, and the cell wraps.
  EXPECT_EQ(d[3].kind, V::cvText);
  EXPECT_EQ(d[3].text, "one\ntwo\nthree");
  EXPECT_TRUE(d[3].wrap);
  EXPECT_EQ(d[4].kind, V::cvNone);  // a picture has no cell
  EXPECT_EQ(d[5].number, 7);
  EXPECT_EQ(d[6].kind, V::cvDateTime);
  EXPECT_EQ(d[6].number, 0);  // no date: day 0, which the writers show as text
  EXPECT_FALSE(d[7].boolean);
  EXPECT_FALSE(d[8].wrap);
  EXPECT_EQ(d[9].kind, V::cvBlank);  // an empty text in a column without cells is still blank
  // The null text is text in a column of any type, and is kept as it is.
  EXPECT_EQ(d[10].kind, V::cvText);
  EXPECT_EQ(d[10].text, "null");
  EXPECT_EQ(d[11].kind, V::cvBlank);
  EXPECT_EQ(d[12].kind, V::cvBoolean);
  EXPECT_FALSE(d[12].boolean);  // only the Boolean true text is true
  // A text's trailing line break is trimmed as every text's trailing blanks are.
  EXPECT_EQ(d[13].text, "null");
  EXPECT_FALSE(d[13].wrap);
  EXPECT_EQ(d[14].kind, V::cvText);
}

TEST_F(WorkbookRows, StripsWinOverFieldFormatsWhichWinOverTheDataFormat) {
  TMemDataSet ds;
  ds.AddField("A", ftInteger, 0, 6);
  ds.AddField("B", ftInteger, 0, 6);
  ds.AddField("C", ftInteger, 0, 6);
  for (int i = 0; i < 4; ++i) ds.AddRow({"1", "2", "3"});
  ds.Open();
  TxlsSheet& sheet = x.Sheets.Add();
  sheet.SetDataSet(&ds);
  sheet.FieldFormats.ForField("b");  // names compare without regard to case
  auto looks = [this](TxlsSheet& s) {
    std::vector<const TxlsFormat*> out;
    for (const TCell& c : (Write(s), Of("data"))) out.push_back(c.look);
    return out;
  };
  const TxlsFormat* field = &sheet.FieldFormats[0];
  std::vector<const TxlsFormat*> l = looks(sheet);
  EXPECT_EQ(l[0], nullptr);  // the data format
  EXPECT_EQ(l[1], field);
  EXPECT_EQ(l[2], nullptr);

  // Column strips take turns by column, whatever the field formats say.
  sheet.StripType = ssCol;
  EXPECT_EQ(looks(sheet)[1], field);  // no strip styles: the field formats hold
  sheet.StripStyles.Add();
  sheet.StripStyles.Add();
  l = looks(sheet);
  EXPECT_EQ(l[0], &sheet.StripStyles[0]);
  EXPECT_EQ(l[1], &sheet.StripStyles[1]);
  EXPECT_EQ(l[2], &sheet.StripStyles[0]);
  EXPECT_EQ(l[3], &sheet.StripStyles[0]);  // the next record starts again

  // Row strips take turns by record, even a single one.
  sheet.StripType = ssRow;
  sheet.StripStyles.Add();
  l = looks(sheet);
  for (size_t i = 0; i < l.size(); ++i)
    EXPECT_EQ(l[i], &sheet.StripStyles[static_cast<int>(i / 3 % 3)]) << i;
  sheet.StripStyles.Delete(2);
  sheet.StripStyles.Delete(1);
  for (const TxlsFormat* look : looks(sheet)) EXPECT_EQ(look, &sheet.StripStyles[0]);
}

TEST(WorkbookDates, SerialsOfThe1900System) {
  double serial = -1;
  EXPECT_FALSE(xlsSerialDate(0, serial));  // 30 December 1899
  EXPECT_FALSE(xlsSerialDate(1, serial));
  EXPECT_FALSE(xlsSerialDate(-5, serial));
  EXPECT_TRUE(xlsSerialDate(2, serial));  // 1 January 1900
  EXPECT_EQ(serial, 1);
  EXPECT_TRUE(xlsSerialDate(60.5, serial));  // 28 February 1900, noon
  EXPECT_EQ(serial, 59.5);
  // From 1 March 1900 on, the spreadsheets' serial counts their 29 February 1900 too.
  EXPECT_TRUE(xlsSerialDate(61, serial));
  EXPECT_EQ(serial, 61);
}

}  // namespace
}  // namespace morvale
