// The workbook below the exporter: globals head and block, sheet prolog, DIMENSIONS and COLINFO
// patching, the insertion of the globals block, and the container read by independent readers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "export/core/outputfiles.h"
#include "export/xls/cells.h"
#include "export/xls/container.h"
#include "export/xls/sheetrecords.h"
#include "export/xls/workbook.h"
#include "tests/export/xls/biff_support.h"
#include "tests/support/faults.h"

namespace morvale {
namespace {

using ::testing::HasSubstr;

std::string Finish(TxlsWorkbook& wb) {
  std::string out;
  wb.FinishWorkbook([&](const void* d, size_t n) { out.append(static_cast<const char*>(d), n); });
  return out;
}

// Two sheets: the first with cells in row 0, columns 2-4, the second without any tracked cell.
std::string TwoSheetWorkbook() {
  TxlsWorkbook wb;
  wb.WriteGlobalsHead();
  TxlsSheetSetup setup;
  setup.PageFooter = "Page &P of &N";
  setup.Columns = {{4, 2336, 15, 0}, {2, 2336, 15, 0}, {3, 2336, 15, 0}};
  wb.BeginSheetStream(0, "First", setup);
  TbiffWriter& w = wb.Writer();
  for (unsigned c = 2; c <= 4; ++c) {
    WriteLabelSST(w, wb.SST(), 0, c, 15, "text");
    wb.TrackCell(0, 0, static_cast<int32_t>(c));
  }
  WriteWindow2(w);
  WriteSelection(w);
  WriteEOF(w);
  wb.BeginSheetStream(1, "Second", TxlsSheetSetup());
  WriteNumber(w, 0, 0, 15, 1);  // written but not tracked
  WriteWindow2(w);
  WriteSelection(w);
  WriteEOF(w);
  return Finish(wb);
}

TEST(XlsWorkbook, RecordSequenceOffsetsAndDimensions) {
  std::string stream = TwoSheetWorkbook();
  auto records = test::ParseRecords(stream);
  EXPECT_EQ(test::IdList(records),
            // globals head
            "0809 005C 0042 0161 009C 0019 0012 0013 01AF 01BC 003D 0040 008D 0022 000E 01B7 00DA "
            // globals block: 4 fonts, 16 + 0 XF, 6 styles, 2 sheets, country, SST
            "0031 0031 0031 0031 00E0 00E0 00E0 00E0 00E0 00E0 00E0 00E0 00E0 00E0 00E0 00E0 "
            "00E0 00E0 00E0 00E0 0293 0293 0293 0293 0293 0293 0085 0085 008C 00FC 000A "
            // first sheet: prolog, 3 COLINFO sorted, DIMENSIONS, cells, epilog
            "0809 000D 000C 000F 0011 0010 005F 002A 002B 0082 0080 0055 0225 0081 0014 0015 "
            "0083 0084 007D 007D 007D 0200 00FD 00FD 00FD 023E 001D 000A "
            "0809 000D 000C 000F 0011 0010 005F 002A 002B 0082 0080 0055 0225 0081 0014 0015 "
            "0083 0084 0200 0203 023E 001D 000A");
  // Every BOUNDSHEET points at its sheet's BOF.
  std::vector<size_t> bofs;
  for (const auto& r : records)
    if (r.id == biff::kBOF && GetU16(r.data.data() + 2) == biff::kWorksheet)
      bofs.push_back(r.offset);
  std::vector<size_t> offsets;
  for (const auto& r : records)
    if (r.id == biff::kBoundSheet) offsets.push_back(GetU32(r.data.data()));
  EXPECT_EQ(offsets, bofs);
  // Row 0, columns 2-4 give 0, 1, 2, 5; a sheet without tracked cells keeps zeros.
  std::vector<std::string> dims;
  for (const auto& r : records)
    if (r.id == biff::kDimensions) dims.push_back(test::Hex(r.data));
  ASSERT_EQ(dims.size(), 2u);
  EXPECT_EQ(dims[0], "00 00 00 00 01 00 00 00 02 00 05 00 00 00");
  EXPECT_EQ(dims[1], "00 00 00 00 00 00 00 00 00 00 00 00 00 00");
  // The column widths were sorted by column.
  std::vector<unsigned> cols;
  for (const auto& r : records)
    if (r.id == biff::kColInfo) cols.push_back(GetU16(r.data.data()));
  EXPECT_EQ(cols, (std::vector<unsigned>{2, 3, 4}));
}

TEST(XlsWorkbook, GlobalsHeadBytes) {
  TxlsWorkbook wb("TExportXLS");
  wb.WriteGlobalsHead();
  std::string head(static_cast<size_t>(wb.Stream().Size()), '\0');
  wb.Stream().ReadAt(0, head.data(), head.size());
  auto records = test::ParseRecords(head);
  ASSERT_EQ(records.size(), 18u);
  EXPECT_EQ(test::Hex(records[0].data), "00 06 05 00 BB 0D CC 07 00 00 00 00 06 02 00 00");
  const auto& access = records[1].data;
  ASSERT_EQ(access.size(), 112u);
  EXPECT_EQ(test::Hex(std::vector<uint8_t>(access.begin(), access.begin() + 20)),
            "0F 00 00 54 45 78 70 6F 72 74 58 4C 53 20 33 2E 31 30 20 20");
  EXPECT_EQ(access.back(), 0x20);
  EXPECT_EQ(test::Hex(records[10].data), "78 00 78 00 0C 5D 68 3D 38 00 00 00 00 00 01 00 58 02");
  EXPECT_EQ(wb.GlobalsInsertPoint(), static_cast<int64_t>(records[17].offset));
}

TEST(XlsWorkbook, ColumnWidthsArePatchedInPlace) {
  TxlsWorkbook wb;
  wb.WriteGlobalsHead();
  TxlsSheetSetup setup;
  setup.Columns = {{1, 100, 15, 0}, {2, 100, 15, 0}};
  TxlsBoundSheet& sheet = wb.BeginSheetStream(0, "S", setup);
  WriteEOF(wb.Writer());
  wb.PatchColumnWidths(sheet, {7, 300});  // wider than a column can be: capped at 255
  std::vector<std::string> widths;
  for (const auto& r : test::ParseRecords(Finish(wb)))
    if (r.id == biff::kColInfo) widths.push_back(test::Hex(r.data));
  EXPECT_EQ(widths, (std::vector<std::string>{"01 00 01 00 00 07 0F 00 00 00 00",
                                              "02 00 02 00 00 FF 0F 00 00 00 00"}));
}

TEST(XlsWorkbook, SameContentGivesTheSameStream) {
  EXPECT_EQ(TwoSheetWorkbook(), TwoSheetWorkbook());
}

TEST(XlsWorkbook, ContainerHoldsOneWorkbookStreamThatReadersOpen) {
  std::string path = test::TempPath("book.xls");
  std::string stream = TwoSheetWorkbook();
  {
    TOutputFiles files;
    TxlsContainer c(files.Create(path));
    c.Write(stream.data(), stream.size());
    c.Close();
    files.Commit();
  }
  EXPECT_EQ(test::ReadWorkbookStream(path), stream);
  std::string dump = test::DumpWorkbook(path);
  EXPECT_THAT(dump, HasSubstr("streams: Workbook\n"));
  EXPECT_THAT(dump, HasSubstr("sheet 0 'First' rows=1 cols=5\n"));
  EXPECT_THAT(dump, HasSubstr("cell 0 4 text 'text' xf=15"));
  EXPECT_THAT(dump, HasSubstr("sheet 1 'Second'"));
}

TEST(XlsWorkbook, ContainerInAMissingFolderIsAClearError) {
  try {
    TOutputFiles files;
    TxlsContainer c(files.Create("/nonexistent-folder/x.xls"));
    FAIL() << "created a file in a missing folder";
  } catch (const Exception& e) {
    EXPECT_THAT(e.what(), HasSubstr("/nonexistent-folder/x.xls"));
  }
}

}  // namespace
}  // namespace morvale

namespace morvale {
namespace {

using TFullDisk = test::TFileSizeLimit;

TEST(XlsWorkbook, AFullDiskIsReportedNotPassedOver) {
  std::string message;
  {
    TFullDisk limit(64 * 1024);
    try {
      TFileStream file(test::TempPath("full.xls"));
      TxlsContainer c(file);
      std::string block(1 << 20, 'x');
      c.Write(block.data(), block.size());
      c.Close();
    } catch (const Exception& e) {
      message = e.what();
    }
  }
  EXPECT_EQ(message, "Error writing output file");
  // The workbook stream in its temporary file fails the same way.
  message.clear();
  {
    TFullDisk limit(64 * 1024);
    try {
      TxlsWorkbook wb;
      wb.WriteGlobalsHead();
      wb.BeginSheetStream(0, "S", TxlsSheetSetup());
      for (unsigned r = 0; r < 20000; ++r) WriteNumber(wb.Writer(), r, 0, 15, r);
      wb.Stream().Flush();
    } catch (const Exception& e) {
      message = e.what();
    }
  }
  EXPECT_EQ(message, "Error writing output file");
}

}  // namespace
}  // namespace morvale
