#include "export/text/html.h"
#include "export/text/markup.h"

#include <filesystem>

#include "export/core/inifile.h"
#include "export/core/outputfiles.h"
#include "export/core/properties.h"
#include "export/core/translate.h"

namespace morvale {

namespace fs = std::filesystem;

// Forwards to the file of the current page, so that the run's one writer follows the pages.
class TExportHTML::TPageStream : public TStream {
 public:
  using TStream::Write;
  void Write(const void* data, size_t size) override { target->Write(data, size); }
  int64_t Position() const override { return target->Position(); }
  TStream* target = nullptr;
};

void THTMLWriter::AlignToStr(TExportColAlign align, std::string& s) {
  switch (align) {
    case ecaLeft:
      s = "Left";
      break;
    case ecaCenter:
      s = "Center";
      break;
    case ecaRight:
      s = "Right";
      break;
    default:
      s.clear();
  }
}

namespace {

const std::vector<std::string> kTemplateNames = {"htBW",       "htClassic", "htColorFul", "htGray",
                                                 "htMS_Money", "htMurky",   "htOlive",    "htPlain",
                                                 "htSimple",   "htCustom"};

std::string PageNumber(int n) {
  return n < 10 ? "0" + std::to_string(n) : std::to_string(n);
}

std::string FileNameOnly(const std::string& path) {
  return path.substr(ExtractFilePath(path).size());
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  std::string name = FileNameOnly(path);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) return path + ext;
  return path.substr(0, path.size() - name.size() + dot) + ext;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

// Plain text inside markup: the title is what the user typed, not HTML.
std::string HtmlText(std::string_view s) {
  std::string out;
  for (char c : s)
    if (!AppendEntity(c, out)) out += c;
  return out;
}

}  // namespace

TExportHTML::TExportHTML() : out_(std::make_unique<TPageStream>()) {
  Header.Add("<br>");
  Footer.Add("<br>");
  ApplyHTMLTemplate(template_, HTMLOptions, TableOptions);
}

TExportHTML::~TExportHTML() = default;

const TPropList& TExportHTML::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExportFormatText::ClassProps());
    PropBuilder<TExportHTML>(l)
        .Enum<TTextEncoding>("Encoding", "TTextEncoding", &TExport::Encoding,
                             TextEncodingIdentifiers())
        .Str("Title", &TExportHTML::Title)
        .Enum("UsingCSS", "TUsingCSS", &TExportHTML::UsingCSS, {"usInternal", "usExternal"})
        .Str("CSSFileName", &TExportHTML::CSSFileName)
        .Bool("OverwriteCSSFile", &TExportHTML::OverwriteCSSFile)
        .Custom(
            "HTMLTemplate", "THTMLTemplate",
            [](const TExportHTML& e) { return kTemplateNames[e.HTMLTemplate()]; },
            [](TExportHTML& e, std::string_view v) {
              e.SetHTMLTemplate(
                  static_cast<THTMLTemplate>(TextToEnum(v, kTemplateNames, "HTMLTemplate")));
            },
            kTemplateNames)
        .Object("HTMLOptions", "THTMLOptions", &TExportHTML::HTMLOptions)
        .Object("TableOptions", "TTableOptions", &TExportHTML::TableOptions)
        .Custom(
            "MaxRecords", "Integer",
            [](const TExportHTML& e) { return std::to_string(e.MaxRecords()); },
            [](TExportHTML& e, std::string_view v) { e.SetMaxRecords(TextToInt(v, "MaxRecords")); })
        .Bool("GenerateIndex", &TExportHTML::GenerateIndex)
        .Object("Navigation", "TExportHTMLNavigation", &TExportHTML::Navigation)
        .Bool("BoolAsCheckBox", &TExportHTML::BoolAsCheckBox)
        .Strings("ColumnsAlign", &TExportHTML::ColumnsAlign)
        .Event("OnGetCellParams");
    return l;
  }();
  return list;
}

void TExportHTML::SetHTMLTemplate(THTMLTemplate t) {
  template_ = t;
  ApplyHTMLTemplate(t, HTMLOptions, TableOptions);
}

void TExportHTML::LoadTemplateFromFile(const std::string& fileName) {
  TIniFile ini(fileName);
  auto color = [&](const char* section, const char* key, TColor& c) {
    c = ini.ReadInteger(section, key, c);
  };
  const char* h = "HTML options";
  const char* t = "Table options";
  color(h, "Background-color", HTMLOptions.BackgroundColor);
  color(h, "Font-color", HTMLOptions.TextFont.Color);
  HTMLOptions.TextFont.Name = ini.ReadString(h, "Font-family", HTMLOptions.TextFont.Name);
  color(h, "LinkColor", HTMLOptions.LinkColor);
  color(h, "VLinkColor", HTMLOptions.VLinkColor);
  color(h, "ALinkColor", HTMLOptions.ALinkColor);
  color(t, "Header-bgcolor", TableOptions.HeadersRowBgColor);
  color(t, "Header-color", TableOptions.HeadersRowFontColor);
  color(t, "Table-color", TableOptions.TableFontColor);
  color(t, "Even_row-bgcolor", TableOptions.TableBgColor);
  color(t, "Odd_row-bgcolor", TableOptions.OddRowBgColor);
  color(t, "Border-color", TableOptions.BorderColor);
}

void TExportHTML::SaveTemplateToFile(const std::string& fileName) {
  TIniFile ini(fileName);
  ini.BeginUpdate();
  const char* h = "HTML options";
  const char* t = "Table options";
  ini.WriteInteger(h, "Background-color", HTMLOptions.BackgroundColor);
  ini.WriteInteger(h, "Font-color", HTMLOptions.TextFont.Color);
  ini.WriteString(h, "Font-family", HTMLOptions.TextFont.Name);
  ini.WriteInteger(h, "LinkColor", HTMLOptions.LinkColor);
  ini.WriteInteger(h, "VLinkColor", HTMLOptions.VLinkColor);
  ini.WriteInteger(h, "ALinkColor", HTMLOptions.ALinkColor);
  ini.WriteInteger(t, "Header-bgcolor", TableOptions.HeadersRowBgColor);
  ini.WriteInteger(t, "Header-color", TableOptions.HeadersRowFontColor);
  ini.WriteInteger(t, "Table-color", TableOptions.TableFontColor);
  ini.WriteInteger(t, "Even_row-bgcolor", TableOptions.TableBgColor);
  ini.WriteInteger(t, "Odd_row-bgcolor", TableOptions.OddRowBgColor);
  ini.WriteInteger(t, "Border-color", TableOptions.BorderColor);
  ini.EndUpdate();
}

std::string TExportHTML::PageFileName(int n) const {
  std::string name = FileNameOnly(FileName);
  size_t dot = name.rfind('.');
  std::string stem = FileName.substr(0, FileName.size() - name.size());
  if (dot == std::string::npos) return stem + name + PageNumber(n);
  return stem + name.substr(0, dot) + PageNumber(n) + name.substr(dot);
}

std::string TExportHTML::GetShowFileName() {
  if (maxRecords_ > 0 && !GenerateIndex && FileExists(PageFileName(1))) return PageFileName(1);
  return TExportText::GetShowFileName();
}

void TExportHTML::Execute() {
  std::string folder = ExtractFilePath(FileName);
  if (!folder.empty() && !ForceDirectories(folder))
    throw Exception(Format(
        TranslateText("Engine", "Directory '%s' not found and cannot be created"), {folder}));
  struct Reset {
    TExportHTML& e;
    ~Reset() {
      e.fileOutput_ = false;
      e.page_ = nullptr;
    }
  } reset{*this};
  // Page files are written past the run's stream, and their navigation bars are placed by byte
  // offsets of the system code page.
  if (MaxRecords() > 0 && TextEncodingConverts(Encoding))
    throw Exception(
        "HTML pages (MaxRecords) are written in the system code page only: export "
        "one page, or leave the encoding at the system's");
  // Pages link each other by name and are patched in place: they are neither parts nor packed.
  if (MaxRecords() > 0 && WritesParts())
    throw Exception(
        "HTML pages (MaxRecords) cannot be split into parts or compressed: export one page");
  // The pages, the index and the style sheet of one run appear together when it has finished.
  WriteFiles([this] {
    fileOutput_ = true;
    ExportToFileOrParts();
    if (page_) page_->Close();
    page_ = nullptr;
    if (Aborted() || maxRecords_ == 0) return;
    if (GenerateIndex) WriteIndex();
    if ((Navigation.OnTop || Navigation.OnBottom) && pages_.size() > 1) InsertNavigation();
  });
  AfterExecute();
}

std::unique_ptr<TExportWriter> TExportHTML::CreateWriter(TStream& stream) {
  out_->target = &stream;
  return std::make_unique<THTMLWriter>(*this, *out_);
}

void TExportHTML::Line(const std::string& s) {
  Writer()->WriteLn(s);
}

void TExportHTML::BeginExport() {
  TExportFormatText::BeginExport();
  pages_.clear();
  headWritten_ = tableOpen_ = styleSheetDone_ = false;
  pageRow_ = 0;
  borderColor_ = (ColorToRGB(TableOptions.BorderColor) & 0xFFFFFF) != 0xFFFFFF;
  BuildStyleSheet();
}

void TExportHTML::BuildStyleSheet() {
  std::vector<std::string>& css = styleSheet_;
  css.clear();
  const TFont& font = HTMLOptions.TextFont;
  auto fontLines = [&](int indent) {
    std::string pad(static_cast<size_t>(indent), ' ');
    if (!(HTMLOptions.DefaultOptions & doFontName))
      css.push_back(pad + "font-family: " + font.Name + ";");
    if (!(HTMLOptions.DefaultOptions & doFontSize))
      css.push_back(pad + "font-size: " + std::to_string(font.Size) + "pt;");
  };
  auto rowClass = [&](const std::string& head, TColor bg, TColor text, bool bold, bool image) {
    css.push_back(head);
    if (!image) css.push_back("            background-color: " + HTMLColor(bg) + ";");
    css.push_back("            color: " + HTMLColor(text) + ";");
    if (bold) css.push_back("            font-weight: bold; text-align: center;");
    fontLines(12);
    css.push_back("  }");
  };
  css.push_back("  BODY { background: " + HTMLColor(HTMLOptions.BackgroundColor) + ";" +
                " color: " + HTMLColor(font.Color) + ";");
  fontLines(9);
  if (!HTMLOptions.BackgroundFileName.empty())
    css.push_back("background-image: url(" + HTMLOptions.BackgroundFileName + ")");
  css.push_back("  }");
  css.push_back("  A:link { color: " + HTMLColor(HTMLOptions.LinkColor) + " }");
  css.push_back("  A:visited { color: " + HTMLColor(HTMLOptions.VLinkColor) + " }");
  css.push_back("  A:active { color: " + HTMLColor(HTMLOptions.ALinkColor) + " }");
  bool image = FileExists(TableOptions.BackgroundFileName);
  if (AllowCaptions)
    rowClass("  .ThRows { ", TableOptions.HeadersRowBgColor, TableOptions.HeadersRowFontColor, true,
             image);
  rowClass("  .TrRows {", TableOptions.TableBgColor, TableOptions.TableFontColor, false, image);
  rowClass("  .TrOdd  {", TableOptions.OddRowBgColor, TableOptions.TableFontColor, false, image);
  if (borderColor_)
    css.push_back("  .TrBC { background-color: " + HTMLColor(TableOptions.BorderColor) + " }");
}

void TExportHTML::BeforeExport() {
  if (Source()->Empty()) WritePageHead(FileName);
}

void TExportHTML::WritePageHead(const std::string& pageFile) {
  Line("<HTML>");
  Line("<HEAD>");
  Line(" <Title>" + HtmlText(Title) + "</Title>");
  WriteStyle(*Writer(), pageFile);
  Line("</HEAD>");
  Line("<BODY>");
  if (Paged() && page_) pages_.back().Top = out_->Position();
  for (const std::string& line : Header) Line(line);
  headWritten_ = true;
}

void TExportHTML::WriteStyle(TExportWriter& w, const std::string& pageFile) {
  if (UsingCSS == usExternal) {
    if (!fileOutput_) return;
    if (CSSFileName.empty()) CSSFileName = ChangeFileExt(pageFile, ".css");
    w.WriteLn(" <link rel=\"stylesheet\" type=\"text/css\" href=\"" + StyleSheetHref(pageFile) +
              "\">");
    WriteStyleSheetFile();
    return;
  }
  w.WriteLn("<Style type=\"text/css\">");
  for (const std::string& line : styleSheet_) w.WriteLn(line);
  w.WriteLn("</STYLE>");
}

std::string TExportHTML::StyleSheetHref(const std::string& pageFile) const {
  // CSSFileName is a file name like FileName (relative to the working folder); the browser
  // resolves the link from the page's own folder, so the link is relative to that.
  std::error_code ec;
  fs::path css = fs::absolute(CSSFileName, ec).lexically_normal();
  fs::path dir = fs::absolute(pageFile, ec).parent_path().lexically_normal();
  fs::path rel = css.lexically_relative(dir);
  return ec || rel.empty() ? CSSFileName : rel.generic_string();
}

void TExportHTML::WriteStyleSheetFile() {
  if (styleSheetDone_) return;
  styleSheetDone_ = true;
  if (!OverwriteCSSFile && FileExists(CSSFileName)) return;
  TFileStream& f = Outputs()->Create(CSSFileName);
  for (const std::string& line : styleSheet_) {
    f.Write(line);
    f.Write("\r\n");
  }
  f.Close();
}

void TExportHTML::StartPage() {
  std::string pageFile = FileName;
  if (Paged()) {
    if (page_) ClosePage();
    pages_.emplace_back();
    pageFile = PageFileName(PageCount());
    page_ = &Outputs()->Create(pageFile);
    out_->target = page_;
    headWritten_ = false;
  }
  WritePageHead(pageFile);
  if (borderColor_) {
    Line("<Table cellspacing=0 cellpadding=0 class=\"TrBC\">");
    Line("<tr><td>");
  }
  std::string table = "<Table Border=\"" + std::to_string(TableOptions.Border) +
                      "\" Cellpadding=\"" + std::to_string(TableOptions.CellPadding) +
                      "\" Cellspacing=\"" + std::to_string(TableOptions.CellSpacing) + "\"";
  if (FileExists(TableOptions.BackgroundFileName))
    table += " Background=\"" + TableOptions.BackgroundFileName + "\"";
  Line(table + ">");
  tableOpen_ = true;
  pageRow_ = 0;
  if (!AllowCaptions) return;
  Line("  <tr>");
  std::string caption;
  for (int i = 0; i < Columns().Count(); ++i) {
    GetColCaption(i, caption);
    Line("    <td class=\"ThRows\">" + caption + "</td>");
  }
  Line("  </tr>");
}

void TExportHTML::CloseTable() {
  if (!tableOpen_) return;
  Line("</Table>");
  // The wrapper that draws the border colour is closed right after the data table.
  if (borderColor_) {
    Line("</td></tr>");
    Line("</Table>");
  }
  tableOpen_ = false;
}

void TExportHTML::ClosePage() {
  CloseTable();
  for (const std::string& line : Footer) Line(line);
  pages_.back().Bottom = out_->Position();
  Line("</BODY>");
  Line("</HTML>");
  page_->Close();
}

void TExportHTML::WriteDataRow() {
  // A first record refused by OnBeforeExportRow must not leave the rows without a table.
  if (!tableOpen_ || (Paged() && RecordCounter % maxRecords_ == 0)) StartPage();
  ++pageRow_;
  const char* td = pageRow_ % 2 ? "    <td class=\"TrOdd\"" : "    <td class=\"TrRows\"";
  TExportWriter& w = *Writer();
  w.WriteLn("  <tr>");
  TExportRow& row = Row();
  for (int i = 0; i < row.Count(); ++i) {
    row[i].GetExportedValue(true, cell_);
    w.Write(td);
    w.Write(cell_);
    w.WriteLn("</td>");
  }
  w.WriteLn("  </tr>");
}

void TExportHTML::EndExport() {
  // All records skipped or refused: the page still gets its head, so that it is a page.
  if (!headWritten_) WritePageHead(FileName);
  CloseTable();
  for (const std::string& line : Footer) Line(line);
  if (Paged() && page_) pages_.back().Bottom = out_->Position();
  Line("</BODY>");
  Line("</HTML>");
  TExportFormatText::EndExport();
}

void TExportHTML::EndPart() {
  CloseTable();
  for (const std::string& line : Footer) Line(line);
  Line("</BODY>");
  Line("</HTML>");
  // The next row starts the next part's page: its head, its table and the caption row.
  headWritten_ = false;
}

void TExportHTML::GetColData(TExportCol& col, std::string& S) {
  std::string_view value = col.Data.empty() ? std::string_view("&nbsp") : col.Data;
  TExportColAlign align = Columns()[col.ColumnIndex].ColAlign;
  std::string items;
  if (OnGetCellParams) {
    // The default background is the one the row's class gives.
    TColor def = pageRow_ % 2 ? TableOptions.OddRowBgColor : TableOptions.TableBgColor;
    const TFont& tf = HTMLOptions.TextFont;
    TFont font = tf;
    TColor bg = def;
    DoGetCellParams(RecordCounter, col.ColumnIndex, std::string(value), align, &font, bg);
    auto item = [&](const std::string& s) { items += s + "; "; };
    auto flag = [&](int style, const char* name, const char* on, const char* off) {
      bool v = font.Style & style;
      if (v != bool(tf.Style & style)) item(std::string(name) + ": " + (v ? on : off));
    };
    if (bg != def) item("background-color: " + HTMLColor(bg));
    if (!SameText(font.Name, tf.Name)) item("font-family: " + font.Name);
    if (font.Size != tf.Size) item("font-size: " + std::to_string(font.Size) + "pt");
    if (font.Color != tf.Color) item("color: " + HTMLColor(font.Color));
    flag(fsBold, "font-weight", "bold", "normal");
    flag(fsItalic, "font-style", "italic", "normal");
    flag(fsUnderline, "text-decoration", "underline", "none");
  }
  std::string a;
  Writer()->AlignToStr(align, a);
  S.assign(" align=").append(a);
  if (!items.empty()) {
    items.resize(items.size() - 2);
    S.append(" style=\"").append(items).append("\"");
  }
  S.append(">").append(value);
}

TCharSet TExportHTML::GetSpecialChars() {
  TCharSet set;
  for (unsigned char c : {'"', '&', '<', '>', '\r', '\n'}) set.set(c);
  return set;
}

void TExportHTML::EscapeString(std::string_view S, std::string& Result) {
  if (S.find_first_of("\"&<>\r\n") == std::string_view::npos) {
    Result.assign(S);
    return;
  }
  std::string out;
  for (size_t i = 0; i < S.size(); ++i) {
    char c = S[i];
    if (AppendEntity(c, out)) continue;
    switch (c) {
      case '\n':
        // The LF of a CR LF pair belongs to the break its CR made.
        if (i == 0 || S[i - 1] != '\r') out += "<br>";
        break;
      case '\r':
        out += "<br>";
        break;
      default:
        out += c;
    }
  }
  Result = std::move(out);
}

void TExportHTML::WriteIndex() {
  TFileStream& f = Outputs()->Create(FileName);
  THTMLWriter w(*this, f);
  w.WriteLn("<HTML>");
  w.WriteLn("<HEAD>");
  WriteStyle(w, FileName);
  w.WriteLn("</HEAD>");
  w.WriteLn("<BODY>");
  w.WriteLn("<UL>");
  for (int n = 1; n <= PageCount(); ++n) {
    std::string page = FileNameOnly(PageFileName(n));
    std::string text =
        Navigation.IndexLinkTemplate.empty() ? page : Navigation.IndexLinkTemplate + PageNumber(n);
    w.WriteLn("<LI>");
    w.WriteLn("<a href=\"" + page + "\">" + text + "</a>");
    w.WriteLn("</LI>");  // optional in HTML, but then every element of the index is closed
  }
  w.WriteLn("</UL>");
  w.WriteLn("</BODY>");
  w.WriteLn("</HTML>");
  f.Close();
}

std::string TExportHTML::NavigationBar(int n, bool bottom) const {
  const TExportHTMLNavigation& nav = Navigation;
  int last = PageCount();
  std::string s;
  auto line = [&](const std::string& l) { s.append(l).append("\r\n"); };
  auto link = [&](int page, const std::string& text) {
    line("    <td><a href=\"" + FileNameOnly(PageFileName(page)) + "\">" + text + "</a></td>");
  };
  if (bottom) line("<br>");
  line("<Table Border=\"0\" Cellpadding=\"4\" Cellspacing=\"1\">");
  line("  <tr>");
  if (GenerateIndex)
    line("    <td><a href=\"" + FileNameOnly(FileName) + "\">" + nav.IndexLinkTitle + "</a></td>");
  link(1, nav.FirstLinkTitle);
  link(n == 1 ? last : n - 1, nav.PriorLinkTitle);
  for (int k = 1; k <= last; ++k) {
    if (k == n)
      line("    <td><b>" + PageNumber(k) + "</b></td>");
    else
      link(k, PageNumber(k));
  }
  link(n == last ? 1 : n + 1, nav.NextLinkTitle);
  link(last, nav.LastLinkTitle);
  line("  </tr>");
  line("</Table>");
  if (!bottom) line("<br>");
  return s;
}

void TExportHTML::InsertNavigation() {
  for (int n = 1; n <= PageCount(); ++n) {
    const THTMLPageOption& p = pages_[static_cast<size_t>(n - 1)];
    std::string path = PageFileName(n);
    std::string content = Outputs()->Read(path);
    // The bottom bar first, so that the top insertion point still holds.
    int64_t size = static_cast<int64_t>(content.size());
    if (Navigation.OnBottom && p.Bottom >= 0 && p.Bottom <= size)
      content.insert(static_cast<size_t>(p.Bottom), NavigationBar(n, true));
    if (Navigation.OnTop && p.Top >= 0 && p.Top <= size)
      content.insert(static_cast<size_t>(p.Top), NavigationBar(n, false));
    TFileStream& out = Outputs()->Create(path);
    out.Write(content);
    out.Close();
  }
}

}  // namespace morvale
