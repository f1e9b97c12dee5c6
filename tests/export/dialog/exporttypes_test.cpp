// The registry of export types holds together: what the options files store, what the command
// line names and what the save dialog offers all lead back to the same entry.
#include <gtest/gtest.h>

#include <set>
#include <typeinfo>

#include "export/dialog/exporttypes.h"

namespace morvale {
namespace {

TEST(ExportTypeRegistry, EveryTypeIsReachableAndItsWordsMakeItsWriter) {
  const auto& table = ExportTypeTable();
  // Options files store the ordinal: entry i is type i, and the enumeration has no type the
  // table lacks.
  ASSERT_EQ(table.size(), static_cast<size_t>(aeMarkdown) + 1);
  std::set<std::string> extensions, words, labels;
  for (size_t i = 0; i < table.size(); ++i) {
    const TExportTypeInfo& t = table[i];
    SCOPED_TRACE(t.Name);
    EXPECT_EQ(static_cast<size_t>(t.Type), i);
    EXPECT_EQ(FindExportTypeInfo(static_cast<int>(i)), &t);
    EXPECT_EQ(FindExportTypeInfo(t.Name), &t);
    EXPECT_EQ(FindExportTypeInfo(t.Label), &t);
    EXPECT_TRUE(labels.insert(t.Label).second) << "label shared: " << t.Label;
    // A file's extension tells its type: the save dialog and AutoChangeFileExt rely on it.
    if (t.WritesFile()) {
      EXPECT_TRUE(extensions.insert(t.Extension).second) << "extension shared: " << t.Extension;
      EXPECT_NE(std::string(t.Filter).find(std::string("*.") + t.Extension), std::string::npos);
    } else {
      EXPECT_STREQ(t.Filter, "");
    }
    // The first word is the type's own: an options file of this type runs as it.
    ASSERT_FALSE(t.Words.empty());
    EXPECT_TRUE(t.Words.front().HasOptionsFile);
    const std::unique_ptr<TExport> dialogs = t.Create();
    const TExport& dialogWriter = *dialogs;
    for (const TExportTypeWord& w : t.Words) {
      EXPECT_TRUE(words.insert(w.Word).second) << "word shared: " << w.Word;
      const TExportTypeWordRef found = FindExportTypeWord(w.Word);
      EXPECT_EQ(found.Type, &t);
      EXPECT_EQ(found.Word, &w);
      EXPECT_NE(std::string(w.Description), "");
      // The command line and the dialog write the type with the same writer.
      const std::unique_ptr<TExport> lines = w.Create();
      const TExport& lineWriter = *lines;
      EXPECT_EQ(typeid(lineWriter), typeid(dialogWriter)) << w.Word;
    }
  }
  EXPECT_EQ(FindExportTypeWord("no such type").Type, nullptr);
  EXPECT_EQ(FindExportTypeInfo(static_cast<int>(table.size())), nullptr);
  EXPECT_EQ(FindExportTypeInfo(-1), nullptr);
}

}  // namespace
}  // namespace morvale
