// Markdown export: one GitHub-flavoured pipe table, the caption row first, each column aligned as
// its values are (numbers to the right). Header and footer lines stand as paragraphs above and
// below it. In a cell, what Markdown would read as markup or as the cell's end is escaped with a
// backslash, and a line break becomes <br>, which keeps a multi-line value in its one cell.
#pragma once

#include <string>

#include "export/core/export.h"

namespace morvale {

class TExportMarkdown final : public TExportFormatText {
 public:
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TExportMarkdown"; }

  void BeginExport() override;
  void WriteCaptionRow() override;
  void BeforeExport() override;
  // Each part is a document of its own: the header lines, the table's caption and delimiter
  // rows, its rows, the footer lines.
  bool SplitsIntoParts() const override { return true; }
  void EndPart() override { WriteClosing(); }
  void BeginPart() override;
  void WriteDataRow() override;
  void EndExport() override;
  bool FormatsTypedValues() const override { return true; }
  void EscapeString(std::string_view S, std::string& Result) override;
  using TExport::EscapeString;

 private:
  // The delimiter row under the captions, which sets each column's alignment.
  void WriteDelimiterRow();
  // A pipe table starts with its caption row: without captions an empty one.
  void WriteEmptyCaptionRow();
  void WriteOpening();
  void WriteClosing();
  std::string line_, cell_;
};

}  // namespace morvale
