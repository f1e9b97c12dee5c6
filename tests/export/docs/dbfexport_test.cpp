// The dBASE exporter: the exact bytes of a table, the memo file, precision and value rules, and
// every table read back by python3-dbfread.
#include "export/docs/dbfexport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include "export/core/codepage.h"
#include "export/core/properties.h"
#include "export/core/streams.h"
#include "tests/support/envguard.h"
#include "tests/support/memsources.h"
#include "tests/support/readers.h"
#include "tests/support/timezone.h"

namespace morvale {
namespace {

using test::TMemDataSet;

std::string LE32(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

uint32_t ReadLE(const std::string& s, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

// The clock's day as the header's three date bytes, in local time.
std::string Today() {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return std::string{static_cast<char>(t.tm_year & 0xFF), static_cast<char>(t.tm_mon + 1),
                     static_cast<char>(t.tm_mday)};
}

// 2023-11-14 22:13:20 UTC, which the header keeps as year 123 (after 1900), month 11, day 14.
constexpr const char* kPinned = "1700000000";
const std::string kPinnedDay = "\x7b\x0b\x0e";

struct DbfFixture : ::testing::Test {
  // The header carries a date: pinned, so that the bytes are the same on any day.
  test::TEnvGuard pinned{"SOURCE_DATE_EPOCH", kPinned};
  TMemDataSet ds;
  TExportDBF exp;
  void SetUp() override {
    exp.SetFormatSettings(TFormatSettings::English());
    exp.SetDataSet(&ds);
  }
  std::string ToMemory() {
    TMemoryStream ms;
    exp.ExportToStream(ms);
    return ms.Data();
  }
  // The table as python3-dbfread reads it from a file holding these bytes.
  std::string ReadBack(const std::string& bytes) {
    std::string path = test::FreshFolder("readback") + "t.dbf";
    test::WriteFile(path, bytes);
    return test::DbfRead(path);
  }
};

TEST_F(DbfFixture, SampleTableByteForByte) {
  test::FillSampleDataSet(ds);
  std::string t = ToMemory();

  std::string expected;
  expected += '\x03' + kPinnedDay + LE32(4) + std::string("\xa1\x00\x37\x00", 4);
  expected += std::string(20, '\0');
  expected += TDBFField{"ID", 'N', 0, 11, 0}.Descriptor();
  expected += TDBFField{"NAME", 'C', 11, 20, 0}.Descriptor();
  expected += TDBFField{"PRICE", 'N', 31, 15, 4}.Descriptor();
  expected += TDBFField{"BORN", 'D', 46, 8, 0}.Descriptor();
  expected += '\x0d';
  expected +=
      " " + std::string("          1") + "Bolt                " + "        12.5000" + "20080307";
  expected +=
      " " + std::string("          2") + "Гайка \"M6\"     " + "         0.1000" + "19991231";
  expected +=
      " " + std::string("          3") + "a;b,c\td             " + "         0.0000" + "        ";
  expected +=
      " " + std::string("         -4") + "<tag> & 'q'         " + "  -1234567.8910" + "20000229";
  expected += '\x1a';
  EXPECT_EQ(t, expected);
  EXPECT_EQ(ReadBack(t),
            "version=0x03\nrecords=4\nfield ID N 11 0\nfield NAME C 20 0\nfield PRICE N 15 4\n"
            "field BORN D 8 0\n"
            "ID=1|NAME='Bolt'|PRICE=12.5|BORN=datetime.date(2008, 3, 7)\n"
            "ID=2|NAME='Гайка \"M6\"'|PRICE=0.1|BORN=datetime.date(1999, 12, 31)\n"
            "ID=3|NAME='a;b,c\\td'|PRICE=0.0|BORN=None\n"
            "ID=-4|NAME=\"<tag> & 'q'\"|PRICE=-1234567.891|BORN=datetime.date(2000, 2, 29)\n");
}

TEST_F(DbfFixture, HeaderDateIsTheClocksDayWithoutSourceDateEpoch) {
  test::FillSampleDataSet(ds);
  for (const char* unreadable : {static_cast<const char*>(nullptr), "14.11.2023"}) {
    test::TEnvGuard clock("SOURCE_DATE_EPOCH", unreadable);
    // Read on both sides of the export, so that a run across midnight passes too.
    const std::string before = Today();
    const std::string day = ToMemory().substr(1, 3);
    EXPECT_TRUE(day == before || day == Today())
        << "header date of " << (unreadable ? unreadable : "no variable");
  }
  // And in UTC when pinned, whatever the machine's zone: 22:13 UTC is already the next day here.
  test::TTimeZoneGuard zone("XST-9");
  EXPECT_EQ(ToMemory().substr(1, 3), kPinnedDay);
}

TEST_F(DbfFixture, TableAndMemoFileReadBackByDbfread) {
  test::FillSampleDataSet(ds);
  std::string dir = test::FreshFolder("dbf-sample");
  exp.FileName = dir + "sample.dbf";
  exp.ExportedFields = {"ID", "NAME", "PRICE", "BORN", "NOTE"};
  exp.Execute();

  EXPECT_EQ(test::DbfRead(exp.FileName),
            "version=0x83\n"
            "records=4\n"
            "field ID N 11 0\n"
            "field NAME C 20 0\n"
            "field PRICE N 15 4\n"
            "field BORN D 8 0\n"
            "field NOTE M 10 0\n"
            "ID=1|NAME='Bolt'|PRICE=12.5|BORN=datetime.date(2008, 3, 7)|NOTE='plain'\n"
            "ID=2|NAME='Гайка \"M6\"'|PRICE=0.1|BORN=datetime.date(1999, 12, 31)|"
            "NOTE='line one\\r\\nline two'\n"
            "ID=3|NAME='a;b,c\\td'|PRICE=0.0|BORN=None|NOTE=None\n"
            "ID=-4|NAME=\"<tag> & 'q'\"|PRICE=-1234567.891|BORN=datetime.date(2000, 2, 29)|"
            "NOTE='Ünïcødé ✓'\n");

  // Memos take blocks 1, 2 and 3; the next free block, 4, is in the memo file's first bytes.
  std::string memo = test::ReadFile(exp.GetMemoFileName());
  ASSERT_EQ(memo.size(), 4u * 512);
  EXPECT_EQ(memo.substr(0, 512), LE32(4) + std::string(508, '\0'));
  EXPECT_EQ(memo.substr(512, 7), "plain\x1a\x1a");
  std::string table = test::ReadFile(exp.FileName);
  EXPECT_EQ(table.substr(193 + 1 + 54, 10), "         1");
  EXPECT_EQ(table.substr(193 + 65 * 2 + 1 + 54, 10), std::string(10, ' '));  // NULL memo
}

TEST_F(DbfFixture, MemoSizesAndBlocks) {
  ds.AddField("ID", ftInteger);
  ds.AddField("MEMO", ftMemo, 10);
  for (auto v : {std::string(510, 'a'), std::string(511, 'b'), std::string(),
                 std::string(65537, 'c'), std::string(65536, 'd')})
    ds.AddRow({"1", v});
  ds.Open();
  std::string dir = test::FreshFolder("dbf-memo");
  exp.FileName = dir + "memo.dbf";
  exp.ExportedFields = {"MEMO"};
  exp.Execute();

  std::string t = test::ReadFile(exp.FileName);
  const size_t first = 32 * 2 + 1;
  auto field = [&](int rec) { return t.substr(first + rec * 11 + 1, 10); };
  EXPECT_EQ(field(0), "         1");  // 510 bytes + 2 end bytes: one block
  EXPECT_EQ(field(1), "         2");  // 511 bytes: two blocks
  EXPECT_EQ(field(2), std::string(10, ' '));
  EXPECT_EQ(field(3), std::string(10, ' '));  // over 65,536 bytes: not stored
  EXPECT_EQ(field(4), "         4");
  std::string memo = test::ReadFile(exp.GetMemoFileName());
  EXPECT_EQ(ReadLE(memo, 0, 4), 4u + 129);
  EXPECT_EQ(memo.size(), (4u + 129) * 512);
  EXPECT_EQ(memo.substr(2 * 512, 2), "bb");
  EXPECT_EQ(memo.substr(2 * 512 + 510, 3), std::string("b\x1a\x1a"));

  std::string dump = test::DbfRead(exp.FileName);
  EXPECT_NE(dump.find("MEMO='" + std::string(511, 'b') + "'"), std::string::npos) << dump;
  EXPECT_NE(dump.find("MEMO='" + std::string(65536, 'd') + "'"), std::string::npos);
}

TEST_F(DbfFixture, NoMemoColumnOrNoFileGivesVersion3AndNoMemoFile) {
  test::FillSampleDataSet(ds);
  std::string dir = test::FreshFolder("dbf-nomemo");
  exp.FileName = dir + "plain.dbf";
  exp.Execute();
  EXPECT_EQ(test::ReadFile(exp.FileName)[0], '\x03');
  EXPECT_FALSE(std::filesystem::exists(exp.GetMemoFileName()));

  // A memo column exported to a stream that is not a file: no memo file can exist, so the
  // fields stay blank and the table does not claim one.
  exp.ExportedFields = {"ID", "NOTE"};
  std::string t = ToMemory();
  EXPECT_EQ(t[0], '\x03');
  EXPECT_EQ(t.substr(32 * 3 + 1 + 1 + 11, 10), std::string(10, ' '));
}

TEST_F(DbfFixture, EmptySourceGivesHeaderOnly) {
  ds.AddField("ID", ftInteger);
  ds.AddField("NAME", ftString, 30);
  ds.AddField("OK", ftBoolean);
  ds.Open();
  std::string t = ToMemory();
  ASSERT_EQ(t.size(), 32u * 4 + 1 + 1);
  EXPECT_EQ(ReadLE(t, 4, 4), 0u);
  EXPECT_EQ(ReadLE(t, 8, 2), 129u);
  EXPECT_EQ(ReadLE(t, 10, 2), 43u);
  EXPECT_EQ(ReadLE(t, 32 + 32 + 12, 4), 11u);
  EXPECT_EQ(ReadLE(t, 32 + 64 + 12, 4), 41u);
  EXPECT_EQ(t.substr(t.size() - 2), "\x0d\x1a");
  EXPECT_EQ(ReadBack(t),
            "version=0x03\nrecords=0\nfield ID N 11 0\nfield NAME C 30 0\nfield OK L 1 0\n");
}

TEST_F(DbfFixture, PrecisionLines) {
  ds.AddField("PRICE", ftFloat);
  ds.AddRow({"3.5"});
  ds.Open();
  struct Case {
    std::string line;
    int length, decimals;
    std::string value, read;
  } cases[] = {
      {"PRICE=10,2", 10, 2, "      3.50", "3.5"},
      {"price=10,2", 10, 2, "      3.50", "3.5"},     // names compare without case
      {"", 15, 4, "         3.5000", "3.5"},          // no line: the defaults
      {"PRICE=10", 15, 4, "         3.5000", "3.5"},  // no comma
      {"PRICE=0,0", 15, 4, "         3.5000", "3.5"},
      {"PRICE=x,y", 15, 4, "         3.5000", "3.5"},  // both read as 0
      {"PRICE=6,0", 6, 0, "     4", "4"},  // one of them 0: both used (3.5 rounds to even)
      {"PRICE=4,2", 4, 2, "3.50", "3.5"},
      {"PRICE=3,2", 3, 2, "***", "None"},  // the number does not fit: no reader sees a wrong one
  };
  for (const Case& c : cases) {
    exp.ColumnsPrecision.Clear();
    if (!c.line.empty()) exp.ColumnsPrecision.Add(c.line);
    std::string t = ToMemory();
    SCOPED_TRACE(c.line);
    EXPECT_EQ(static_cast<unsigned char>(t[32 + 16]), c.length);
    EXPECT_EQ(static_cast<unsigned char>(t[32 + 17]), c.decimals);
    EXPECT_EQ(t.substr(65 + 1, c.length), c.value);
    EXPECT_EQ(ReadBack(t), "version=0x03\nrecords=1\nfield PRICE N " + std::to_string(c.length) +
                               " " + std::to_string(c.decimals) + "\nPRICE=" + c.read + "\n");
  }
  exp.ColumnsPrecision.Clear();
  exp.DefaultFloatSize = 8;
  exp.DefaultFloatDecimal = 1;
  EXPECT_EQ(ToMemory().substr(65 + 1, 8), "     3.5");
}

TEST_F(DbfFixture, ValuesByType) {
  ds.AddField("B", ftBoolean);
  ds.AddField("D", ftDateTime);
  ds.AddField("T", ftTime);
  ds.AddField("N", ftInteger);
  ds.AddField("S", ftString, 4);
  ds.AddRow({"True", "3/7/2008 2:30 PM", "2:30 PM", "123456789012", "null"});
  ds.AddRow({"false", "2008-03-07", "", "7", "NULL"});
  ds.AddRow({"maybe", std::nullopt, std::nullopt, std::nullopt, "ab"});
  ds.Open();
  std::string t = ToMemory();
  // A time is a text field hh:nn:ss: a date field would hold 1899-12-30 for every time.
  const size_t rec = 32 * 6 + 1, len = 1 + 1 + 8 + 8 + 11 + 4;
  EXPECT_EQ(t.substr(rec, len), " T2008030714:30:00***********    ");
  EXPECT_EQ(t.substr(rec + len, len), " F20080307                  7    ");
  EXPECT_EQ(t.substr(rec + 2 * len, len), std::string(1 + 1 + 8 + 8 + 11, ' ') + "ab  ");
  EXPECT_EQ(ReadBack(t),
            "version=0x03\nrecords=3\nfield B L 1 0\nfield D D 8 0\nfield T C 8 0\n"
            "field N N 11 0\nfield S C 4 0\n"
            "B=True|D=datetime.date(2008, 3, 7)|T='14:30:00'|N=None|S=''\n"
            "B=False|D=datetime.date(2008, 3, 7)|T=''|N=7|S=''\n"
            "B=None|D=None|T=''|N=None|S='ab'\n");
  // The first date-time had a time of day, which its date field could not keep.
  EXPECT_EQ(exp.TimeDroppedColumns(), (std::vector<std::string>{"D"}));
}

// DateTimeAsText: date-times become text fields yyyy-mm-dd hh:nn:ss, midnight and the years
// before 1900 included, and nothing is dropped; date columns stay date fields. A date column
// whose values carry a time of day is named as having lost it.
TEST_F(DbfFixture, DateTimesAsTextKeepTheirTime) {
  ds.AddField("STAMP", ftDateTime);
  ds.AddField("BORN", ftDate);
  ds.AddField("AT", ftTime);
  ds.AddRow({"2/29/2024 11:59:59 PM", "7/20/1969", "11:59:59 PM"});
  ds.AddRow({"1899-12-30", "1/1/1900 6:00 AM", "12:00 AM"});
  ds.AddRow({"0099-01-02 03:04:05", std::nullopt, std::nullopt});
  ds.Open();
  EXPECT_TRUE(ReadBack(ToMemory())
                  .starts_with("version=0x03\nrecords=3\nfield STAMP D 8 0\nfield BORN D 8 0\n"
                               "field AT C 8 0\nSTAMP=datetime.date(2024, 2, 29)|"));
  EXPECT_EQ(exp.TimeDroppedColumns(), (std::vector<std::string>{"STAMP", "BORN"}));
  SetPropertyText(exp, "DateTimeAsText", "True");
  EXPECT_EQ(ReadBack(ToMemory()),
            "version=0x03\nrecords=3\nfield STAMP C 19 0\nfield BORN D 8 0\nfield AT C 8 0\n"
            "STAMP='2024-02-29 23:59:59'|BORN=datetime.date(1969, 7, 20)|AT='23:59:59'\n"
            "STAMP='1899-12-30 00:00:00'|BORN=datetime.date(1900, 1, 1)|AT='00:00:00'\n"
            "STAMP='0099-01-02 03:04:05'|BORN=None|AT=''\n");
  EXPECT_EQ(exp.TimeDroppedColumns(), (std::vector<std::string>{"BORN"}));
}

TEST_F(DbfFixture, LocaleDecimalSeparatorAndDates) {
  exp.SetFormatSettings(TFormatSettings::Russian());
  ds.AddField("PRICE", ftFloat);
  ds.AddField("BORN", ftDate);
  ds.AddRow({"12,5", "07.03.2008"});
  ds.AddRow({"12.5", "29.02.2000"});
  ds.Open();
  std::string t = ToMemory();
  const size_t rec = 32 * 3 + 1;
  EXPECT_EQ(t.substr(rec, 24), "         12.500020080307");
  EXPECT_EQ(t.substr(rec + 24, 24), "         12.500020000229");
  EXPECT_NE(ReadBack(t).find("PRICE=12.5|BORN=datetime.date(2000, 2, 29)\n"), std::string::npos);
}

TEST_F(DbfFixture, ConversionErrorLeavesWholeRecords) {
  ds.AddField("ID", ftInteger);
  ds.AddField("PRICE", ftFloat);
  ds.AddField("BORN", ftDate);
  ds.AddRow({"1", "1.5", "3/7/2008"});
  ds.AddRow({"2", "2.5", "3/8/2008"});
  ds.AddRow({"3", "3.5", "soon"});
  ds.AddRow({"4", "n/a", "3/9/2008"});
  ds.Open();
  TMemoryStream ms;
  try {
    exp.ExportToStream(ms);
    FAIL() << "no conversion error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'soon' is not a valid date and time");
  }
  // Two whole records, counted, and the end mark: the table reads back.
  const std::string& t = ms.Data();
  EXPECT_EQ(ReadLE(t, 4, 4), 2u);
  EXPECT_EQ(t.size(), 32u * 4 + 1 + 2 * 35 + 1);
  EXPECT_EQ(t.back(), '\x1a');
  EXPECT_EQ(ReadBack(t),
            "version=0x03\nrecords=2\nfield ID N 11 0\nfield PRICE N 15 4\nfield BORN D 8 0\n"
            "ID=1|PRICE=1.5|BORN=datetime.date(2008, 3, 7)\n"
            "ID=2|PRICE=2.5|BORN=datetime.date(2008, 3, 8)\n");

  ds.SetRecNo(0);
  exp.SkipRecCount = 3;
  try {
    ToMemory();
    FAIL() << "no conversion error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'n/a' is not a valid floating point value");
  }
}

TEST_F(DbfFixture, AbortAndNonSeekableOutputKeepTheCount) {
  test::FillSampleDataSet(ds);
  exp.OnExportedRecord = [&](TObject*, int recNo) {
    if (recNo == 1) exp.Abort();
  };
  std::string viaMemory = ToMemory();
  EXPECT_EQ(ReadLE(viaMemory, 4, 4), 2u);
  EXPECT_EQ(viaMemory.size(), 161u + 2 * 55 + 1);
  EXPECT_NE(ReadBack(viaMemory).find("records=2\n"), std::string::npos);

  // A descriptor (a pipe, standard output) cannot seek back to the header: the same bytes still.
  std::string dir = test::FreshFolder("dbf-fd");
  std::string path = dir + "out.dbf";
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  {
    TFdStream out(fd, path);
    exp.ExportToStream(out);
    out.Flush();
  }
  ::close(fd);
  EXPECT_EQ(test::ReadFile(path), viaMemory);
}

TEST_F(DbfFixture, WriteFailureReachesTheCaller) {
  test::FillSampleDataSet(ds);
  EXPECT_EQ(test::FullDiskError(exp), "Cannot write to '/dev/full': No space left on device");
}

TEST_F(DbfFixture, HeaderCountOnDiskNeverExceedsTheRecordsOnDisk) {
  ds.AddField("ID", ftInteger);
  for (int i = 0; i < 2500; ++i) ds.AddRow({std::to_string(i)});
  ds.Open();
  // A stream of its own by name, not Execute: its file is what a reader of the run's temporary
  // (or a crash) would find at each moment.
  const std::string path = test::FreshFolder("dbf-count") + "count.dbf";
  std::vector<uint32_t> seen;
  exp.OnExportedRecord = [&](TObject*, int recNo) {
    if (recNo % 500 != 0) return;
    std::string now = test::ReadFile(path);
    uint32_t count = now.size() >= 65 ? ReadLE(now, 4, 4) : 0;
    if (count > 0) {
      EXPECT_GE((now.size() - 65) / 12, count) << recNo;
    }
    seen.push_back(count);
  };
  {
    TFileStream file(path);
    exp.ExportToStream(file);
    file.Close();
  }
  EXPECT_EQ(seen, (std::vector<uint32_t>{0, 0, 0, 1024, 1024}));
  EXPECT_EQ(ReadLE(test::ReadFile(path), 4, 4), 2500u);
}

// In a single-byte system code page the bytes go into the table unchanged, cut by bytes.
TEST_F(DbfFixture, SingleByteCodePageKeepsTheBytes) {
  SetSystemCodePage("CP1251");
  ds.AddField("NAME", ftString, 4);
  ds.AddRow({"\xc3\xe0\xe9\xea\xe0"});  // Гайка
  ds.Open();
  std::string t = ToMemory();
  SetSystemCodePage("UTF-8");
  EXPECT_EQ(t.substr(65 + 1, 4), "\xc3\xe0\xe9\xea");
  std::string path = test::FreshFolder("dbf-cp1251") + "cp.dbf";
  test::WriteFile(path, t);
  EXPECT_EQ(test::DbfRead(path, "cp1251"),
            "version=0x03\nrecords=1\nfield NAME C 4 0\nNAME='Гайк'\n");
}

TEST_F(DbfFixture, FieldNamesAreUpperCasedCutAndKeptApart) {
  ds.AddField("customer_name", ftString, 5);
  ds.AddField("customer_number", ftInteger);
  ds.AddField("Customer_2", ftString, 3);
  ds.Open();
  exp.ExportedFields = {"customer_name", "customer_number", "Customer_2", "customer_name"};
  std::string dir = test::FreshFolder("dbf-names");
  exp.FileName = dir + "names.dbf";
  exp.Execute();
  std::string t = test::ReadFile(exp.FileName);
  EXPECT_EQ(t.substr(32, 11), std::string("CUSTOMER_N\0", 11));
  // Readers key fields by name: later clashes get numbered names that clash with nothing.
  EXPECT_EQ(t.substr(64, 11), std::string("CUSTOMER_3\0", 11));
  EXPECT_EQ(t.substr(96, 11), std::string("CUSTOMER_2\0", 11));
  EXPECT_EQ(t.substr(128, 11), std::string("CUSTOMER_4\0", 11));
  EXPECT_EQ(test::DbfRead(exp.FileName),
            "version=0x03\nrecords=0\nfield CUSTOMER_N C 5 0\nfield CUSTOMER_3 N 11 0\n"
            "field CUSTOMER_2 C 3 0\nfield CUSTOMER_4 C 5 0\n");
}

TEST_F(DbfFixture, SettingsByPublishedName) {
  SetPropertyText(exp, "ColumnsPrecision.PRICE", "10,2");
  SetPropertyText(exp, "DefaultFloatSize", "12");
  SetPropertyText(exp, "DefaultFloatDecimal", "3");
  SetPropertyText(exp, "ColumnsLength.NAME", "7");
  EXPECT_EQ(exp.ColumnsPrecision.Text(), "PRICE=10,2");
  EXPECT_EQ(exp.DefaultFloatSize, 12);
  EXPECT_EQ(exp.DefaultFloatDecimal, 3);
  // The column builder reads ColumnsLength because this class publishes it; it applies to
  // list-view and string-grid sources.
  EXPECT_TRUE(Publishes(exp, "ColumnsLength"));
  EXPECT_FALSE(Publishes(exp, "Formats"));
  EXPECT_FALSE(Publishes(exp, "Header"));

  // A dataset field's size counts characters; ColumnsLength widens its C field for UTF-8 text.
  ds.AddField("NAME", ftString, 4);
  ds.AddRow({"Гайка"});
  ds.Open();
  exp.ColumnsLength.Clear();
  std::string narrow = ToMemory();
  EXPECT_EQ(narrow[32 + 16], 4);
  EXPECT_EQ(narrow.substr(65 + 1, 4), "Га");
  exp.ColumnsLength = {"name=10"};
  std::string wide = ToMemory();
  EXPECT_EQ(wide[32 + 16], 10);
  EXPECT_EQ(wide.substr(65 + 1, 10), "Гайка");
  exp.ColumnsLength = {"NAME=300"};
  EXPECT_EQ(static_cast<unsigned char>(ToMemory()[32 + 16]), 254);
  exp.ColumnsLength = {"NAME=7"};

  test::TMemListView lv;
  lv.columns = {{"NAME", 64}, {"CITY", 64}};
  lv.items = {{"Bolt", "Riga"}};
  exp.ExportSource = esListView;
  exp.SetListView(&lv);
  std::string t = ToMemory();
  EXPECT_EQ(t[32 + 16], 7);
  EXPECT_EQ(static_cast<unsigned char>(t[64 + 16]), 254);
  EXPECT_EQ(t.substr(97 + 1, 7), "Bolt   ");
  EXPECT_EQ(ReadBack(t),
            "version=0x03\nrecords=1\nfield NAME C 7 0\nfield CITY C 254 0\n"
            "NAME='Bolt'|CITY='Riga'\n");
}

}  // namespace
}  // namespace morvale
