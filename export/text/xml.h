// XML data packet export: a metadata block that describes the columns, then one empty ROW element
// per record whose attributes carry the values.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/export.h"

namespace morvale {

class TXMLOptions : public TPersistent {
 public:
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }

  std::string Version = "1.0";
  std::string Encoding;  // omitted from the declaration when empty
  bool StandAlone = true;
};

class TXmlEncoder;

// Writes whole elements, one per line. When the file declares an encoding other than the system
// code page, every line is converted to it and characters the encoding lacks become character
// references, so that the declaration never lies about the bytes.
class TXMLWriter : public TExportWriter {
 public:
  TXMLWriter(TExport& owner, TStream& stream);
  ~TXMLWriter() override;

  // Converts from the system code page to `encoding` from now on; empty: no conversion.
  void SetTargetEncoding(const std::string& encoding);

  void Line(std::string_view text);
  void OpenTag(std::string_view name, std::string_view attributes = {});
  void CloseTag(std::string_view name);
  void EmptyElement(std::string_view name, std::string_view attributes);

 private:
  std::unique_ptr<TXmlEncoder> encoder_;
  std::string line_;
};

class TExportXML : public TExportText {
 public:
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TExportXML"; }

  TXMLOptions Options;

  std::unique_ptr<TExportWriter> CreateWriter(TStream& stream) override;
  void BeginExport() override;
  void WriteCaptionRow() override;
  void BeforeExport() override;
  void WriteDataRow() override;
  void EndExport() override;
  TCharSet GetSpecialChars() override;
  void EscapeString(std::string_view S, std::string& Result) override;
  using TExport::EscapeString;

  // The attribute name a column is written under: blanks and other characters that XML does not
  // allow in a name become "_", and a repeated name gets a number.
  const std::string& AttributeName(int column) const { return names_[column]; }
  bool SplitsIntoParts() const override { return true; }

 protected:
  void EndPart() override;
  void BeginPart() override;

 private:
  TXMLWriter& Xml() { return static_cast<TXMLWriter&>(*Writer()); }
  void BuildNames();
  void WriteOpening();

  std::vector<std::string> names_;
  std::string attrs_, value_, declaration_;
  bool rowDataOpen_ = false;
};

const char* XmlTypeName(TExportColType type);
// The name XML readers know for a code page ("windows-1251" for CP1251); empty for UTF-8 and
// ASCII, which need no declaration.
std::string XmlEncodingName(const std::string& codePage);

}  // namespace morvale
