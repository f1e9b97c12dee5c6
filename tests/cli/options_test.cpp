// The command line's option table: what the parser accepts is what --help lists, and the shapes
// of a value (separate, after '=', missing, given to a flag) are read the same for every option.
#include <gtest/gtest.h>

#include "cli/options.h"

namespace morvale {
namespace {

using cli::EUsageError;
using cli::ParseOptions;

TEST(CliOptions, HelpListsEveryOptionTheParserTakes) {
  const std::string help = cli::UsageText();
  // An option's entry starts a line of help, alone or after the other names of the option.
  auto listed = [&help](const std::string& name) {
    for (const char* before : {"\n  ", ", "})
      for (const char* after : {" ", ","})
        if (help.find(before + name + after) != std::string::npos) return true;
    return false;
  };
  // Each option with the value it takes, as a user would give it.
  const std::vector<std::pair<std::string, std::string>> options = {{"--db", "x"},
                                                                    {"--attach", "a=x"},
                                                                    {"--table", "t"},
                                                                    {"--sql", "q"},
                                                                    {"--type", "csv"},
                                                                    {"-o", "f"},
                                                                    {"--output", "f"},
                                                                    {"--fields", "A"},
                                                                    {"--no-captions", ""},
                                                                    {"--skip", "1"},
                                                                    {"--count", "1"},
                                                                    {"--current-record-only", ""},
                                                                    {"--title", "t"},
                                                                    {"--header", "h"},
                                                                    {"--footer", "f"},
                                                                    {"--caption", "A=a"},
                                                                    {"--format", "date=d"},
                                                                    {"--set", "A=1"},
                                                                    {"--list-properties", ""},
                                                                    {"--locale", "C"},
                                                                    {"--encoding", "utf-8"},
                                                                    {"--progress", ""},
                                                                    {"--save-options", "f"},
                                                                    {"--list-aliases", ""},
                                                                    {"--list-tables", ""},
                                                                    {"--pattern", "*"},
                                                                    {"-h", ""},
                                                                    {"--help", ""},
                                                                    {"--options", "f.cfg"}};
  for (const auto& [name, value] : options) {
    std::vector<std::string> args = {name};
    if (!value.empty()) args.push_back(value);
    args.push_back("--help");  // stops before the checks of what is required
    EXPECT_NO_THROW(ParseOptions(args)) << name;
    EXPECT_TRUE(listed(name)) << name << " is not in --help";
  }
  // These read their file while parsing.
  for (const char* name : {"--sql-file", "--html-template", "--xls-extras"}) {
    EXPECT_THROW(ParseOptions({name, "/nonexistent/file"}), EUsageError) << name;
    EXPECT_TRUE(listed(name)) << name;
  }
  // Short names are listed with their long ones.
  EXPECT_NE(help.find("  -h, --help"), std::string::npos);
  EXPECT_NE(help.find("  -o, --output FILE"), std::string::npos);
}

TEST(CliOptions, ValuesInlineSeparateMissingAndOnFlags) {
  cli::TCliOptions o = ParseOptions({"--output=a.csv", "--skip", "3", "--help"});
  EXPECT_EQ(o.Output, "a.csv");
  EXPECT_EQ(o.Skip, 3);
  EXPECT_TRUE(ParseOptions({"--help=yes"}).Help);  // as it always was
  auto message = [](const std::vector<std::string>& args) {
    try {
      ParseOptions(args);
    } catch (const EUsageError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message({"--no-captions=1"}), "Option --no-captions takes no value");
  EXPECT_EQ(message({"--help", "--table"}), "Missing value for --table");
  EXPECT_EQ(message({"-o=x"}), "Unknown option '-o=x'");
  EXPECT_EQ(message({"--skip", "-1"}),
            "Invalid value '-1' for --skip: expected a non-negative integer");
  EXPECT_EQ(message({"--sql", "a", "--sql-file", "b"}),
            "Only one of --sql and --sql-file may be given: --sql-file");
}

}  // namespace
}  // namespace morvale
