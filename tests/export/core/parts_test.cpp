// The pieces of split and compressed output: SHA-256 against the standard's test vectors (fed in
// pieces that cut its blocks anywhere), the size words, the names parts and manifests get, and
// compressed streams read back by zlib and libzstd themselves.
#include <gtest/gtest.h>
#include <zlib.h>
#include <zstd.h>

#include <string>

#include "export/core/compress.h"
#include "export/core/namepattern.h"
#include "export/core/parts.h"
#include "export/core/sha256.h"

namespace morvale {
namespace {

std::string Sha(const std::string& text, size_t piece) {
  TSha256 sha;
  for (size_t at = 0; at < text.size(); at += piece) sha.Update(text.substr(at, piece));
  return sha.FinalHex();
}

TEST(Sha256, StandardVectorsWhateverThePieces) {
  const std::string two = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
  const std::string million(1000000, 'a');
  for (size_t piece : {size_t{1}, size_t{3}, size_t{55}, size_t{64}, size_t{65}, size_t{4096}}) {
    EXPECT_EQ(Sha("", piece), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha("abc", piece),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha(two, piece), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  }
  EXPECT_EQ(Sha(million, 1000), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  // 55 and 56 bytes: the last length that pads within the block, and the first that needs two.
  EXPECT_EQ(Sha(std::string(55, 'a'), 7),
            "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
  EXPECT_EQ(Sha(std::string(56, 'a'), 7),
            "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
}

TEST(OutputParts, SizeWords) {
  int64_t n = 0;
  EXPECT_TRUE(ParseByteSize("100M", n));
  EXPECT_EQ(n, 100 * 1024 * 1024);
  EXPECT_TRUE(ParseByteSize(" 1g ", n));
  EXPECT_EQ(n, int64_t{1} << 30);
  EXPECT_TRUE(ParseByteSize("64KiB", n));
  EXPECT_EQ(n, 65536);
  EXPECT_TRUE(ParseByteSize("5MB", n));
  EXPECT_EQ(n, 5000000);
  EXPECT_TRUE(ParseByteSize("123456", n));
  EXPECT_EQ(n, 123456);
  for (const char* bad : {"", "M", "0", "-5M", "1.5G", "12X", "99999999999T"})
    EXPECT_FALSE(ParseByteSize(bad, n)) << bad;
  for (int64_t size :
       {int64_t{1}, int64_t{1000}, int64_t{1} << 20, int64_t{3} << 30, (int64_t{1} << 20) + 1}) {
    ASSERT_TRUE(ParseByteSize(ByteSizeText(size), n)) << size;
    EXPECT_EQ(n, size);
  }
  EXPECT_EQ(ByteSizeText(100 << 20), "100M");
}

TEST(OutputParts, Names) {
  EXPECT_EQ(PartFileName("out/orders.csv", 1, true, cmpNone), "out/orders.part001.csv");
  EXPECT_EQ(PartFileName("out/orders.csv", 12, true, cmpGzip), "out/orders.part012.csv.gz");
  EXPECT_EQ(PartFileName("orders.csv.gz", 2, true, cmpGzip), "orders.part002.csv.gz");
  EXPECT_EQ(PartFileName("orders.csv", 1, false, cmpZstd), "orders.csv.zst");
  EXPECT_EQ(PartFileName("orders.csv", 1, false, cmpNone), "orders.csv");
  // No extension, a dotted folder, a hidden name: the number goes at the end.
  EXPECT_EQ(PartFileName("v1.2/orders", 3, true, cmpNone), "v1.2/orders.part003");
  EXPECT_EQ(PartFileName(".orders", 3, true, cmpNone), ".orders.part003");
  EXPECT_EQ(PartFileName("заказы ${part}.csv", 1000, true, cmpNone), "заказы 1000.csv");
  EXPECT_EQ(ManifestFileName("out/orders.csv"), "out/orders.csv.manifest.json");
  EXPECT_EQ(ManifestFileName("out/orders-${part}.csv"), "out/orders.csv.manifest.json");
  // ${part} passes the name pattern for the part writer; the other fields are filled in.
  TFileNameFields fields;
  fields.Table = "orders";
  fields.Type = "csv";
  EXPECT_EQ(ExpandFileNamePattern("${table}.${part}.${type}", fields), "orders.${part}.csv");
}

std::string Pack(TCompression kind, const std::string& text) {
  TMemoryStream out;
  TCompressStream packed(out, kind, "test");
  // Written in uneven slices, as rows arrive.
  for (size_t at = 0; at < text.size(); at += 777) packed.Write(text.substr(at, 777));
  packed.Finish();
  EXPECT_EQ(packed.Position(), static_cast<int64_t>(text.size()));
  return out.Data();
}

TEST(Compress, ZlibAndZstdReadBackWhatWasWritten) {
  std::string text;
  for (int i = 0; i < 50000; ++i) text += std::to_string(i) + ";\"Ёлка, \"\"ель\"\"\";NULL\r\n";
  const std::string gz = Pack(cmpGzip, text);
  ASSERT_GT(gz.size(), 18u);
  EXPECT_EQ(gz.substr(0, 2), "\x1f\x8b");
  EXPECT_LT(gz.size(), text.size() / 4);
  z_stream z{};
  ASSERT_EQ(inflateInit2(&z, 15 + 16), Z_OK);
  std::string back(text.size() + 16, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(gz.data()));
  z.avail_in = static_cast<uInt>(gz.size());
  z.next_out = reinterpret_cast<Bytef*>(back.data());
  z.avail_out = static_cast<uInt>(back.size());
  EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);  // the trailer's CRC and length agree
  back.resize(z.total_out);
  inflateEnd(&z);
  EXPECT_EQ(back, text);

  const std::string zst = Pack(cmpZstd, text);
  EXPECT_LT(zst.size(), text.size() / 4);
  EXPECT_EQ(ZSTD_getFrameContentSize(zst.data(), zst.size()), ZSTD_CONTENTSIZE_UNKNOWN);
  std::string back2(text.size() + 16, '\0');
  const size_t n = ZSTD_decompress(back2.data(), back2.size(), zst.data(), zst.size());
  ASSERT_FALSE(ZSTD_isError(n)) << ZSTD_getErrorName(n);
  back2.resize(n);
  EXPECT_EQ(back2, text);

  // Nothing written is still a whole, empty stream.
  EXPECT_EQ(ZSTD_decompress(back2.data(), back2.size(), Pack(cmpZstd, "").data(),
                            Pack(cmpZstd, "").size()),
            0u);
}

}  // namespace
}  // namespace morvale
