// The output writer a run creates for its length: bytes straight to the stream, lines ended by
// CR LF, and the padding helpers the fixed-width formats use.
#pragma once

#include <string>
#include <string_view>

#include "export/core/classes.h"
#include "export/core/columns.h"
#include "export/core/streams.h"

namespace morvale {

class TExport;

class TExportWriter : public TObject {
 public:
  TExportWriter(TExport& owner, TStream& stream) : owner_(owner), stream_(stream) {}

  void Write(std::string_view s) { stream_.Write(s.data(), s.size()); }
  void WriteLn(std::string_view s) {
    Write(s);
    Write("\r\n");
  }
  void EmptyLine() { Write("\r\n"); }
  void CharLine(char ch, int count);

  static std::string PadLeft(std::string_view s, char ch, int width);
  static std::string PadRight(std::string_view s, char ch, int width);
  static std::string PadBoth(std::string_view s, char ch, int width);
  virtual void AlignToStr(TExportColAlign align, std::string& s);

  TExport& Owner() const { return owner_; }
  TStream& Stream() const { return stream_; }

 private:
  TExport& owner_;
  TStream& stream_;
};

}  // namespace morvale
