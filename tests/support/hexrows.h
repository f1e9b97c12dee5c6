// Rows that a database shell printed as hex, for tests that read loaded tables back: each line a
// row, its values the hex of their texts (or N for NULL) separated by '|', so that line breaks
// and separators inside the values cannot confuse the split.
#pragma once

#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace morvale::test {

using HexRow = std::vector<std::optional<std::string>>;

inline std::string Unhex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

// The rows, each value decoded to its text, or left in hex when `decode` is false.
inline std::vector<HexRow> HexRows(const std::string& out, bool decode = true) {
  std::vector<HexRow> got;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty()) continue;
    HexRow row;
    std::istringstream fields(line);
    for (std::string v; std::getline(fields, v, '|');)
      row.push_back(v == "N" ? std::nullopt : std::optional<std::string>(decode ? Unhex(v) : v));
    if (line.back() == '|') row.push_back("");  // an empty text last
    got.push_back(row);
  }
  return got;
}

}  // namespace morvale::test
