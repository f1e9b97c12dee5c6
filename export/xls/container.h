// The compound document (structured storage) that holds the workbook: one stream named
// "Workbook" and nothing else, written through libgsf.
#pragma once

#include <cstddef>
#include <string>

namespace morvale {

class TFileStream;

class TxlsContainer {
 public:
  // Writes into `file` (a run's file, see outputfiles.h), which stays open while the container
  // lives; raises when the storage cannot be made.
  explicit TxlsContainer(TFileStream& file);
  ~TxlsContainer();
  TxlsContainer(const TxlsContainer&) = delete;
  TxlsContainer& operator=(const TxlsContainer&) = delete;

  // Appends bytes to the "Workbook" stream.
  void Write(const void* data, size_t size);
  // Closes the stream and the storage; raises when the file could not be written completely.
  void Close();

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace morvale
