#include "export/text/xml.h"
#include "export/text/markup.h"

#include <iconv.h>

#include <cerrno>

#include "export/core/codepage.h"
#include "export/core/properties.h"
#include "export/core/translate.h"

namespace morvale {

const TPropList& TXMLOptions::ClassProps() {
  static const TPropList list = [] {
    TPropList l;
    PropBuilder<TXMLOptions>(l)
        .Str("Version", &TXMLOptions::Version)
        .Str("Encoding", &TXMLOptions::Encoding)
        .Bool("StandAlone", &TXMLOptions::StandAlone);
    return l;
  }();
  return list;
}

const char* XmlTypeName(TExportColType type) {
  switch (type) {
    case ectInteger:
    case ectBigint:
      return "Integer";
    case ectFloat:
      return "Float";
    case ectCurrency:
      return "Currency";
    case ectDate:
      return "Date";
    case ectTime:
      return "Time";
    case ectDateTime:
      return "DateTime";
    case ectString:
      return "String";
    case ectBoolean:
      return "Boolean";
    default:
      return "Unknown";
  }
}

// Upper-cased without "-" and "_", so that "utf-8" and "UTF8" compare equal.
static std::string CodePageKey(std::string_view name) {
  std::string k;
  for (char c : name)
    if (c != '-' && c != '_') k += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  return k;
}

std::string XmlEncodingName(const std::string& codePage) {
  std::string k = CodePageKey(codePage);
  if (k == "UTF8" || k == "ANSIX3.41968" || k == "ASCII" || k == "USASCII") return {};
  if (k.rfind("CP125", 0) == 0 && k.size() == 6) return "windows-" + k.substr(2);
  return codePage;
}

// iconv from the system code page through UTF-32 to the target; characters the target lacks
// become character references, bytes that are no character of the source become "?".
class TXmlEncoder {
 public:
  TXmlEncoder(const std::string& from, const std::string& to) {
    toU32_ = iconv_open("UTF-32LE", from.c_str());
    fromU32_ = iconv_open(to.c_str(), "UTF-32LE");
    if (toU32_ == Bad() || fromU32_ == Bad()) {
      Close();
      throw Exception(Format(TranslateText("Engine", "Encoding '%s' is not supported"), {to}));
    }
  }
  ~TXmlEncoder() { Close(); }

  void Convert(std::string_view in, std::string& out) {
    u32_.clear();
    Run(toU32_, in, u32_, [](std::string_view& rest, std::string& o) {
      AppendU32('?', o);
      rest.remove_prefix(1);
    });
    out.clear();
    Run(fromU32_, u32_, out, [this](std::string_view& rest, std::string& o) {
      uint32_t cp = static_cast<unsigned char>(rest[0]) | static_cast<unsigned char>(rest[1]) << 8 |
                    static_cast<unsigned char>(rest[2]) << 16 |
                    static_cast<uint32_t>(static_cast<unsigned char>(rest[3])) << 24;
      rest.remove_prefix(4);
      std::string ref = "&#" + std::to_string(cp) + ";", refU32;
      for (char c : ref) AppendU32(static_cast<unsigned char>(c), refU32);
      Run(fromU32_, refU32, o, [](std::string_view& r, std::string&) { r = {}; });
    });
  }

 private:
  static iconv_t Bad() { return reinterpret_cast<iconv_t>(-1); }
  void Close() {
    if (toU32_ != Bad()) iconv_close(toU32_);
    if (fromU32_ != Bad()) iconv_close(fromU32_);
    toU32_ = fromU32_ = Bad();
  }
  static void AppendU32(uint32_t cp, std::string& o) {
    for (int i = 0; i < 4; ++i) o += static_cast<char>(cp >> (8 * i) & 0xFF);
  }
  template <class OnBad>
  static void Run(iconv_t cd, std::string_view in, std::string& out, OnBad onBad) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (!in.empty()) {
      size_t used = out.size();
      out.resize(used + in.size() * 4 + 16);
      char* src = const_cast<char*>(in.data());
      size_t srcLeft = in.size();
      char* dst = out.data() + used;
      size_t dstLeft = out.size() - used;
      size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
      int err = errno;
      out.resize(out.size() - dstLeft);
      in.remove_prefix(in.size() - srcLeft);
      if (r != static_cast<size_t>(-1)) break;
      if (err == E2BIG) continue;
      onBad(in, out);  // EILSEQ, or EINVAL for a sequence cut short at the end
    }
  }

  iconv_t toU32_ = Bad(), fromU32_ = Bad();
  std::string u32_;
};

TXMLWriter::TXMLWriter(TExport& owner, TStream& stream) : TExportWriter(owner, stream) {}
TXMLWriter::~TXMLWriter() = default;

void TXMLWriter::SetTargetEncoding(const std::string& encoding) {
  encoder_.reset();
  if (!encoding.empty() && CodePageKey(encoding) != CodePageKey(SystemCodePage()))
    encoder_ = std::make_unique<TXmlEncoder>(SystemCodePage(), encoding);
}

void TXMLWriter::Line(std::string_view text) {
  if (!encoder_) return WriteLn(text);
  encoder_->Convert(text, line_);
  WriteLn(line_);
}

void TXMLWriter::OpenTag(std::string_view name, std::string_view attributes) {
  std::string s = "<" + std::string(name);
  if (!attributes.empty()) s += " " + std::string(attributes);
  Line(s + ">");
}

void TXMLWriter::CloseTag(std::string_view name) {
  Line("</" + std::string(name) + ">");
}

void TXMLWriter::EmptyElement(std::string_view name, std::string_view attributes) {
  line_.assign("<").append(name).append(" ").append(attributes).append("/>");
  if (!encoder_) return WriteLn(line_);
  std::string s = std::move(line_);
  Line(s);
}

const TPropList& TExportXML::ClassProps() {
  static const TPropList list = [] {
    TPropList l(&TExportText::ClassProps());
    PropBuilder<TExportXML>(l)
        .Enum<TTextEncoding>("Encoding", "TTextEncoding", &TExport::Encoding,
                             TextEncodingIdentifiers())
        .Strings("Captions", &TExportXML::Captions)
        .Object("Formats", "TExportFormats", &TExportXML::Formats)
        .Strings("UserFormats", &TExportXML::UserFormats)
        .Object("Options", "TXMLOptions", &TExportXML::Options);
    return l;
  }();
  return list;
}

std::unique_ptr<TExportWriter> TExportXML::CreateWriter(TStream& stream) {
  return std::make_unique<TXMLWriter>(*this, stream);
}

void TExportXML::BeginExport() {
  TExportText::BeginExport();
  rowDataOpen_ = false;
  BuildNames();
  // Text is written in the system code page; a file without a declaration is read as UTF-8, so
  // any other code page is declared, and a declared encoding is what the bytes are converted to.
  std::string encoding = Options.Encoding;
  if (encoding.empty()) encoding = XmlEncodingName(SystemCodePage());
  if (TextEncodingConverts(Encoding)) {
    // The run's own encoding converts every byte: the declaration names it, and the options'
    // encoding would convert a second time.
    encoding = Encoding == encUTF16LE       ? "UTF-16"
               : Encoding == encWindows1251 ? "windows-1251"
                                            : "UTF-8";
    Xml().SetTargetEncoding({});
  } else {
    Xml().SetTargetEncoding(Options.Encoding);
  }
  std::string decl = "<?xml version=\"" + Options.Version + "\" ";
  if (!encoding.empty()) decl += "encoding=\"" + encoding + "\" ";
  decl += std::string("standalone=\"") + (Options.StandAlone ? "yes" : "no") + "\"?>";
  declaration_ = decl;
  WriteOpening();
}

void TExportXML::WriteOpening() {
  Xml().Line(declaration_);
  Xml().Line("<DATAPACKET Version=\"2.0\">");
}

void TExportXML::BeginPart() {
  WriteOpening();
  if (AllowCaptions) WriteCaptionRow();
  BeforeExport();
}

void TExportXML::EndPart() {
  if (rowDataOpen_) Xml().CloseTag("ROWDATA");
  rowDataOpen_ = false;
  Xml().Line("</DATAPACKET>");
}

static bool NameStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
static bool NameChar(unsigned char c) {
  return NameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

void TExportXML::BuildNames() {
  names_.clear();
  for (int i = 0; i < Columns().Count(); ++i) {
    std::string n = Columns()[i].Name;
    // A query column such as COUNT(*) would otherwise make the whole file unreadable.
    for (char& c : n)
      if (!NameChar(static_cast<unsigned char>(c))) c = '_';
    if (n.empty() || !NameStart(static_cast<unsigned char>(n[0]))) n.insert(0, "_");
    std::string unique = n;
    for (int k = 2;; ++k) {
      bool taken = false;
      for (const std::string& m : names_) taken = taken || m == unique;
      if (!taken) break;
      unique = n + "_" + std::to_string(k);
    }
    names_.push_back(unique);
  }
}

void TExportXML::WriteCaptionRow() {
  Xml().OpenTag("METADATA");
  Xml().OpenTag("FIELDS");
  for (int i = 0; i < Columns().Count(); ++i) {
    const std::string& n = names_[i];
    Xml().EmptyElement("FIELD", "FieldName=\"" + n + "\" DisplayLabel=\"" + n + "\" FieldType=\"" +
                                    XmlTypeName(Columns()[i].ColType) + "\" FieldClass=\"TField\"");
  }
  Xml().CloseTag("FIELDS");
  Xml().CloseTag("METADATA");
}

void TExportXML::BeforeExport() {
  Xml().OpenTag("ROWDATA");
  rowDataOpen_ = true;
}

void TExportXML::WriteDataRow() {
  TExportRow& row = Row();
  attrs_.clear();
  for (int i = 0; i < row.Count(); ++i) {
    TExportCol& cell = row[i];
    row[i].GetExportedValue(true, value_);
    if (i) attrs_ += ' ';
    attrs_.append(names_[cell.ColumnIndex]).append("=\"").append(value_).append("\"");
  }
  Xml().EmptyElement("ROW", attrs_);
}

void TExportXML::EndExport() {
  EndPart();
  TExportText::EndExport();
}

TCharSet TExportXML::GetSpecialChars() {
  TCharSet set;
  for (unsigned char c : {'"', '&', '<', '>'}) set.set(c);
  for (int c = 0; c < 32; ++c) set.set(static_cast<size_t>(c));
  return set;
}

void TExportXML::EscapeString(std::string_view S, std::string& Result) {
  size_t first = 0;
  while (first < S.size()) {
    unsigned char c = static_cast<unsigned char>(S[first]);
    if (c < 32 || c == '"' || c == '&' || c == '<' || c == '>') break;
    ++first;
  }
  if (first == S.size()) {
    Result.assign(S);
    return;
  }
  std::string out(S.substr(0, first));
  for (size_t i = first; i < S.size(); ++i) {
    char c = S[i];
    if (AppendEntity(c, out)) continue;
    switch (c) {
      // Readers turn a literal line break or tab inside an attribute into a blank; references
      // keep them.
      case '\r':
        out += "&#13;";
        break;
      case '\n':
        out += "&#10;";
        break;
      case '\t':
        out += "&#9;";
        break;
      default:
        // Other control characters are not allowed in XML at all, not even as references.
        out += static_cast<unsigned char>(c) < 32 ? '?' : c;
    }
  }
  Result = std::move(out);
}

}  // namespace morvale
