// Builds dBASE III table and memo files for tests, byte by byte as dBASE lays them out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvale::test {

struct TDbfBuilder {
  struct Field {
    std::string name;
    char type;
    int length, decimals;
  };
  std::vector<Field> fields;
  std::vector<std::vector<std::string>> rows;  // one text per field; memo fields hold the memo
  std::vector<bool> deleted;                   // per row, optional
  uint8_t version = 0x03;                      // 0x83 when a memo field is added

  void Add(std::string name, char type, int length, int decimals = 0) {
    fields.push_back({std::move(name), type, length, decimals});
    if (type == 'M') version = 0x83;
  }

  // The .dbf bytes; memo texts go to `dbt` (dBASE III blocks of 512 bytes).
  std::string Build(std::string* dbt = nullptr) const {
    std::string memo(512, '\0');
    int recordSize = 1;
    for (const Field& f : fields) recordSize += f.length;
    int headerSize = 32 + 32 * static_cast<int>(fields.size()) + 1;
    std::string out(32, '\0');
    out[0] = static_cast<char>(version);
    out[1] = 124, out[2] = 3, out[3] = 7;
    Put32(out, 4, static_cast<uint32_t>(rows.size()));
    Put16(out, 8, static_cast<uint16_t>(headerSize));
    Put16(out, 10, static_cast<uint16_t>(recordSize));
    for (const Field& f : fields) {
      std::string d(32, '\0');
      d.replace(0, std::min<size_t>(f.name.size(), 10), f.name.substr(0, 10));
      d[11] = f.type;
      d[16] = static_cast<char>(f.length & 0xFF);
      d[17] = static_cast<char>(f.type == 'C' ? f.length >> 8 : f.decimals);
      out += d;
    }
    out += '\x0D';
    for (size_t r = 0; r < rows.size(); ++r) {
      out += r < deleted.size() && deleted[r] ? '*' : ' ';
      for (size_t i = 0; i < fields.size(); ++i) {
        const Field& f = fields[i];
        std::string v = i < rows[r].size() ? rows[r][i] : std::string();
        if (f.type == 'M') {
          if (v.empty()) {
            v = std::string(10, ' ');
          } else {
            size_t block = memo.size() / 512;
            memo += v + "\x1A\x1A";
            memo.resize((memo.size() + 511) / 512 * 512, '\0');
            v = std::to_string(block);
          }
        }
        bool right = f.type == 'N' || f.type == 'F' || f.type == 'M';
        if (v.size() < static_cast<size_t>(f.length))
          v = right ? std::string(f.length - v.size(), ' ') + v
                    : v + std::string(f.length - v.size(), ' ');
        out += v.substr(0, static_cast<size_t>(f.length));
      }
    }
    out += '\x1A';
    Put32(memo, 0, static_cast<uint32_t>(memo.size() / 512));
    if (dbt) *dbt = memo;
    return out;
  }

  static void Put16(std::string& s, size_t at, uint16_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8);
  }
  static void Put32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
  }
};

}  // namespace morvale::test
