// The shared string table: deduplication, counts, and the SST/CONTINUE layout read back by the
// continuation rules a reader applies.
#include <gtest/gtest.h>

#include "export/core/codepage.h"
#include "export/core/streams.h"
#include "export/xls/records.h"
#include "export/xls/sst.h"
#include "tests/export/xls/biff_support.h"

namespace morvale {
namespace {

// Reads the SST back as a reader does: the record and its CONTINUEs joined, a string's characters
// continuing in the next record after an option byte.
struct TReadBack {
  uint32_t total = 0, unique = 0;
  std::vector<std::u16string> strings;
  std::vector<size_t> recordSizes;
};

TReadBack ReadSST(const std::string& stream) {
  TReadBack out;
  auto records = test::ParseRecords(stream);
  EXPECT_FALSE(records.empty());
  EXPECT_EQ(records[0].id, biff::kSST);
  for (size_t i = 1; i < records.size(); ++i) EXPECT_EQ(records[i].id, biff::kContinue);
  for (const auto& r : records) out.recordSizes.push_back(r.data.size());
  size_t rec = 0, pos = 8;
  const std::vector<uint8_t>* d = &records[0].data;
  out.total = GetU32(d->data());
  out.unique = GetU32(d->data() + 4);
  auto next = [&] {
    ++rec;
    EXPECT_LT(rec, records.size());
    d = &records[rec].data;
    pos = 0;
  };
  for (uint32_t k = 0; k < out.unique; ++k) {
    if (pos >= d->size()) next();
    // A string's header is never split; its characters may continue after an option byte.
    EXPECT_LE(pos + 3, d->size()) << "string header split at string " << k;
    size_t n = GetU16(d->data() + pos);
    EXPECT_EQ((*d)[pos + 2], 1);
    pos += 3;
    std::u16string s;
    while (s.size() < n) {
      if (pos >= d->size()) {
        next();
        EXPECT_EQ((*d)[0], 1);
        pos = 1;
      }
      s.push_back(static_cast<char16_t>(GetU16(d->data() + pos)));
      pos += 2;
    }
    out.strings.push_back(s);
  }
  EXPECT_EQ(pos, d->size());
  EXPECT_EQ(rec + 1, records.size());
  return out;
}

std::string Written(const TsstStrings& sst) {
  TMemoryStream s;
  sst.WriteTo(s);
  EXPECT_EQ(s.Data().size(), sst.RecordsSize());
  return s.Data();
}

TEST(XlsSST, SameTextIsStoredOnceAndCaseMatters) {
  TsstStrings sst;
  for (int i = 0; i < 1000; ++i) EXPECT_EQ(sst.AddString("Bolt"), 0u);
  EXPECT_EQ(sst.AddString("bolt"), 1u);
  EXPECT_EQ(sst.AddString("Гайка"), 2u);
  EXPECT_EQ(sst.AddString("Bolt"), 0u);
  EXPECT_EQ(sst.TotalCount(), 1003u);
  EXPECT_EQ(sst.UniqueCount(), 3u);
  EXPECT_EQ(sst.RefCount(0), 1001u);
  TReadBack r = ReadSST(Written(sst));
  EXPECT_EQ(r.total, 1003u);
  EXPECT_EQ(r.unique, 3u);
  EXPECT_EQ(r.strings, (std::vector<std::u16string>{u"Bolt", u"bolt", u"Гайка"}));
  EXPECT_EQ(test::Hex(Written(sst)).substr(0, 59),
            "FC 00 2B 00 EB 03 00 00 03 00 00 00 04 00 01 42 00 6F 00 6C");
}

TEST(XlsSST, ManyStringsContinueWithoutSplittingAnyThatFits) {
  TsstStrings sst;
  std::vector<std::u16string> expected;
  for (int i = 0; i < 5000; ++i) {
    std::string t = "value number " + std::to_string(i * 7919);
    sst.AddString(t);
    expected.emplace_back(t.begin(), t.end());
  }
  TReadBack r = ReadSST(Written(sst));
  EXPECT_EQ(r.strings, expected);
  ASSERT_GT(r.recordSizes.size(), 2u);
  for (size_t n : r.recordSizes) EXPECT_LE(n, biff::kMaxRecordData);
  std::vector<uint32_t> plan = sst.ChunkSizes();
  ASSERT_EQ(plan.size(), r.recordSizes.size());
  for (size_t i = 0; i < plan.size(); ++i) EXPECT_EQ(plan[i], r.recordSizes[i]);
}

TEST(XlsSST, StringsLongerThanARecordAreSplitInPieces) {
  TsstStrings sst;
  std::u16string huge(10000, u'x');
  for (size_t i = 0; i < huge.size(); ++i) huge[i] = static_cast<char16_t>(u'a' + i % 26);
  sst.AddString("before");
  sst.AddString16(huge);
  sst.AddString("after");
  sst.AddString16(std::u16string(4111, u'y'));  // the smallest string that needs two pieces
  TReadBack r = ReadSST(Written(sst));
  ASSERT_EQ(r.strings.size(), 4u);
  EXPECT_EQ(r.strings[1], huge);
  EXPECT_EQ(r.strings[2], u"after");
  EXPECT_EQ(r.strings[3], std::u16string(4111, u'y'));
  // SST(8 + "before"); 4110 + 4111 + 1779 characters; "after" behind the last piece; then
  // 4110 + 1 characters.
  EXPECT_EQ(r.recordSizes, (std::vector<size_t>{8 + 15, 8223, 8223, 1 + 2 * 1779 + 13, 8223, 3}));
}

TEST(XlsSST, StringsPastThePoolsBudgetGoToTheFileInOrder) {
  TsstStrings sst(20);  // room for "Москва" and "Paris" and little else
  EXPECT_EQ(sst.AddString("Москва"), 0u);
  EXPECT_EQ(sst.AddString("Paris"), 1u);
  std::vector<std::u16string> expected{u"Москва", u"Paris"};
  for (int i = 0; i < 3000; ++i) {
    std::string t = "Customer \"" + std::to_string(i) + "\"";
    EXPECT_EQ(sst.AddString(t), expected.size());
    expected.emplace_back(t.begin(), t.end());
    // The pool's strings are still shared; a string in the file is not looked for.
    EXPECT_EQ(sst.AddString("Paris"), 1u);
  }
  EXPECT_EQ(sst.AddString("Customer \"0\""), expected.size());
  expected.push_back(u"Customer \"0\"");
  // A string short enough for what is left of the pool follows the others into the file.
  EXPECT_EQ(sst.AddString("Köln"), expected.size());
  expected.push_back(u"Köln");
  std::u16string huge(9000, u'ж');
  sst.AddString16(huge);
  expected.push_back(huge);
  EXPECT_EQ(sst.UniqueCount(), expected.size());
  EXPECT_EQ(sst.TotalCount(), 2u + 2 * 3000 + 3);

  TReadBack r = ReadSST(Written(sst));
  EXPECT_EQ(r.total, sst.TotalCount());
  EXPECT_EQ(r.unique, expected.size());
  EXPECT_EQ(r.strings, expected);
  std::vector<uint32_t> plan = sst.ChunkSizes();
  ASSERT_EQ(plan.size(), r.recordSizes.size());
  for (size_t i = 0; i < plan.size(); ++i) EXPECT_EQ(plan[i], r.recordSizes[i]);
}

TEST(XlsSST, TextsBeyondTheCharacterCountAreCut) {
  TsstStrings sst;
  std::u16string s(70000, u'z');
  s[65534] = 0xD83D;  // a surrogate pair astride the limit is dropped whole
  s[65535] = 0xDE00;
  sst.AddString16(s);
  EXPECT_EQ(sst.String(0).size(), 65534u);
  TReadBack r = ReadSST(Written(sst));
  EXPECT_EQ(r.strings[0].size(), 65534u);
}

TEST(XlsSST, TextsInASingleByteCodePage) {
  TsstStrings sst;
  SetSystemCodePage("CP1251");
  uint32_t i = sst.AddString("\xC3\xE0\xE9\xEA\xE0");  // "Гайка" in Windows-1251
  SetSystemCodePage("UTF-8");
  EXPECT_EQ(sst.String(i), u"Гайка");
  EXPECT_EQ(sst.AddString("Гайка"), i);  // the same text from UTF-8 is the same string
  // A stray byte in UTF-8 text becomes U+FFFD and does not swallow what follows it.
  EXPECT_EQ(sst.String(sst.AddString("a\xFF"
                                     "b")),
            u"a\uFFFDb");
}

}  // namespace
}  // namespace morvale
