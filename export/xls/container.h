// The compound document (structured storage) that holds the workbook: one stream named
// "Workbook" and nothing else, written through libgsf.
#pragma once

#include <cstddef>
#include <string>

namespace morvale {

class TxlsContainer {
 public:
  // Creates (replacing) the file; raises when it cannot be created.
  explicit TxlsContainer(const std::string& fileName);
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
