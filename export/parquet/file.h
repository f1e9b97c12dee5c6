// A Parquet file written front to back into a stream: the magic, row groups of bounded size (each
// column's chunk held in memory until its group is complete), and the footer that describes them,
// so the stream never seeks and memory stays flat however many rows pass.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "export/parquet/column.h"
#include "export/parquet/compressor.h"

namespace morvale {
class TStream;
}

namespace morvale::parquet {

class TParquetFile {
 public:
  TParquetFile(TStream& out, const std::vector<TColumnSchema>& columns, TCodec codec);
  ~TParquetFile();

  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  TColumnChunk& Column(int i) { return *columns_[static_cast<size_t>(i)]; }
  // Ends the row whose values every column has been given.
  void EndRow();
  // The last row group, then the footer naming the schema (from `schema`, which may have been
  // refined while the rows passed) and `createdBy`.
  void Finish(const std::vector<TColumnSchema>& schema, const std::string& createdBy);

  // A row group is written once its columns hold this many bytes.
  static size_t RowGroupBytes;

 private:
  struct TRowGroup {
    std::vector<TChunkInfo> Chunks;
    int64_t Rows = 0, Offset = 0;
  };
  void WriteRowGroup();
  std::string Footer(const std::vector<TColumnSchema>& schema, const std::string& createdBy) const;

  TStream& out_;
  TCompressor compressor_;
  std::vector<std::unique_ptr<TColumnChunk>> columns_;
  std::vector<TRowGroup> groups_;
  int64_t rows_ = 0, groupRows_ = 0;
};

}  // namespace morvale::parquet
