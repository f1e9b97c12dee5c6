// HTML export: one page with one table, styled by a style sheet inside the page or in a file of
// its own. With MaxRecords the rows are spread over numbered page files; an index page can link
// them, and navigation bars are inserted into every page once all pages are written.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "export/core/export.h"
#include "export/text/htmloptions.h"

namespace morvale {

class THTMLWriter : public TExportWriter {
 public:
  using TExportWriter::TExportWriter;
  // "Left", "Center", "Right"; empty for any other value.
  void AlignToStr(TExportColAlign align, std::string& s) override;
};

// The two insertion points of one page file, where the navigation bars go.
struct THTMLPageOption {
  int64_t Top = -1;
  int64_t Bottom = -1;
};

class TExportHTML : public TExportFormatText {
 public:
  TExportHTML();
  ~TExportHTML() override;
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TExportHTML"; }

  TUsingCSS UsingCSS = usInternal;
  std::string CSSFileName;
  bool OverwriteCSSFile = true;
  THTMLOptions HTMLOptions;
  TTableOptions TableOptions;
  TExportHTMLNavigation Navigation;
  bool GenerateIndex = false;
  bool BoolAsCheckBox = false;  // kept for the settings; the pages do not use it

  THTMLTemplate HTMLTemplate() const { return template_; }
  // Copies the template's colours into HTMLOptions and TableOptions (htCustom copies nothing).
  void SetHTMLTemplate(THTMLTemplate t);
  int MaxRecords() const { return maxRecords_; }
  void SetMaxRecords(int n) { maxRecords_ = n < 0 ? 0 : n; }

  // Colour templates as INI files (sections "HTML options" and "Table options").
  void LoadTemplateFromFile(const std::string& fileName);
  void SaveTemplateToFile(const std::string& fileName);

  // The name of page file n: FileName without its extension, n in at least two digits, the
  // extension ("report.htm" gives "report01.htm").
  std::string PageFileName(int n) const;
  int PageCount() const { return static_cast<int>(pages_.size()); }
  const std::vector<THTMLPageOption>& Pages() const { return pages_; }

  void Execute() override;
  std::string GetShowFileName() override;
  std::string GetPrintFileName() override { return GetShowFileName(); }

  std::unique_ptr<TExportWriter> CreateWriter(TStream& stream) override;
  void BeginExport() override;
  void BeforeExport() override;
  void WriteDataRow() override;
  void EndExport() override;
  void GetColData(TExportCol& col, std::string& S) override;
  TCharSet GetSpecialChars() override;
  void EscapeString(std::string_view S, std::string& Result) override;
  using TExport::EscapeString;
  // One page is cut into parts between rows; numbered pages (MaxRecords) are not.
  bool SplitsIntoParts() const override { return maxRecords_ == 0; }

 protected:
  void EndPart() override;

 private:
  class TPageStream;
  bool Paged() const { return maxRecords_ > 0 && fileOutput_; }
  void BuildStyleSheet();
  void StartPage();
  void ClosePage();
  void CloseTable();
  void WritePageHead(const std::string& pageFile);
  void WriteStyle(TExportWriter& w, const std::string& pageFile);
  void WriteStyleSheetFile();
  std::string StyleSheetHref(const std::string& pageFile) const;
  void WriteIndex();
  void InsertNavigation();
  std::string NavigationBar(int page, bool bottom) const;
  void Line(const std::string& s);

  THTMLTemplate template_ = htClassic;
  int maxRecords_ = 0;

  // Run state.
  std::unique_ptr<TPageStream> out_;
  TFileStream* page_ = nullptr;  // the page being written, one of the run's files
  std::vector<THTMLPageOption> pages_;
  std::vector<std::string> styleSheet_;
  bool fileOutput_ = false;
  bool borderColor_ = false;
  bool headWritten_ = false;
  bool tableOpen_ = false;
  bool styleSheetDone_ = false;
  int pageRow_ = 0;
  std::string cell_;
};

}  // namespace morvale
