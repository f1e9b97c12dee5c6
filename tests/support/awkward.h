// The awkward database of tests/support/awkward.sql: the names and values real databases hold
// (spaces, quotes, reserved words, Cyrillic, mixed case, long texts, BLOBs, times, NULLs), made
// into the build folder on first use.
#pragma once

#include <string>
#include <vector>

namespace morvale::test {

// The SQLite file, made from tests/support/awkward.sql on first use.
const std::string& AwkwardDatabase();
// Every table and view of it, as the catalogue spells them.
const std::vector<std::string>& AwkwardTables();
const std::vector<std::string>& AwkwardViews();

}  // namespace morvale::test
