// Output split into parts and packed: a text export can go to several files of at most so many
// rows or bytes, each a whole file of its type (its opening, caption row and closing), each
// compressed with gzip or zstd, and a manifest can list them with their rows, bytes and SHA-256.
//
// Parts are named after the target: "orders.csv" gives "orders.part001.csv", "orders.part002.csv",
// ...; a target that holds ${part} is named by it ("orders-${part}.csv"). Compression adds ".gz" or
// ".zst" unless the target ends so already. The manifest is the target's name with ${part} left
// out and ".manifest.json" added ("orders.csv.manifest.json"). Every file goes through the run's
// TOutputFiles, so the parts and the manifest appear together when the run has finished, and a
// failed or cancelled run leaves the previous files as they were.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/core/codepage.h"
#include "export/core/compress.h"
#include "export/core/streams.h"

namespace morvale {

class TOutputFiles;

struct TOutputParts {
  int64_t SplitRows = 0;  // data rows a part holds at most; 0: no limit
  // Bytes after which a part ends: the row that reaches the size is the part's last, so a part
  // exceeds it by at most one row and the closing. Counted before compression (after the
  // encoding), so a compressed part is smaller still. 0: no limit.
  int64_t SplitSize = 0;
  TCompression Compression = cmpNone;
  bool Manifest = false;

  bool Splits() const { return SplitRows > 0 || SplitSize > 0; }
  // True when the output goes through the part writer at all.
  bool Active() const { return Splits() || Compression != cmpNone || Manifest; }
  bool operator==(const TOutputParts& o) const = default;
};

// "1000", "64K", "100M", "1G", "2T" (K = 1024; "KB", "MB", ... are powers of 1000, "KiB", "MiB"
// ... of 1024), any case. False for anything else, zero or a size past 2^62.
bool ParseByteSize(std::string_view text, int64_t& bytes);
// The shortest text ParseByteSize reads back as the same size ("100M", "1500").
std::string ByteSizeText(int64_t bytes);

// The name of part `part` (from 1) of `fileName`, with the compression's extension.
std::string PartFileName(const std::string& fileName, int part, bool splits,
                         TCompression compression);
std::string ManifestFileName(const std::string& fileName);

// One file of the run as the manifest lists it.
struct TPartFile {
  std::string FileName;
  int64_t Rows = 0;
  int64_t Bytes = 0;  // as written, compressed or not
  std::string Sha256;
};

// Writes one run's parts: the exporter writes to Stream(); before each data row it asks Due()
// and, when a part is full, closes it with its closing, calls Next() and writes the opening of
// the next.
class TPartWriter {
 public:
  TPartWriter(const TOutputParts& parts, TOutputFiles& files, std::string fileName,
              TTextEncoding encoding);
  ~TPartWriter();
  TPartWriter(const TPartWriter&) = delete;
  TPartWriter& operator=(const TPartWriter&) = delete;

  TStream& Stream();
  // True when the next row belongs in a new part: the current one holds a row and has reached a
  // limit.
  bool Due();
  void Next();
  void RowWritten() { ++rows_; }
  // Closes the last part and writes the manifest.
  void Finish();
  const std::vector<TPartFile>& Files() const { return done_; }

 private:
  class TPartStream;
  struct TPart;
  void Open();
  void Close();
  void WriteManifest();

  TOutputParts parts_;
  TOutputFiles& files_;
  std::string fileName_;
  TTextEncoding encoding_;
  std::unique_ptr<TPartStream> stream_;
  std::unique_ptr<TPart> part_;
  std::vector<TPartFile> done_;
  int64_t rows_ = 0;  // of the current part
};

}  // namespace morvale
