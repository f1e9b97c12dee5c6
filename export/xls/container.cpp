#include "export/xls/container.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "export/core/classes.h"
#include "export/core/streams.h"
#include "export/core/translate.h"

namespace morvale {

struct TxlsContainer::Impl {
  GsfOutput* file = nullptr;
  GsfOutfile* storage = nullptr;
  GsfOutput* stream = nullptr;
  bool failed = false;
};

TxlsContainer::TxlsContainer(TFileStream& file) : impl_(new Impl) {
  static const bool initialised = [] {
    gsf_init();
    return true;
  }();
  (void)initialised;
  const std::string& fileName = file.FileName();
  // The storage seeks back to its header as it closes, so it gets a stdio stream of its own over
  // the run's file; gsf's own by-name output would make and rename a temporary of its own.
  int fd = ::dup(file.Handle());
  FILE* f = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
  if (!f) {
    if (fd >= 0) ::close(fd);
    delete impl_;
    throw Exception(Format(TranslateText("Engine", "Cannot create file \"%s\": %s"),
                           {fileName, std::strerror(errno)}));
  }
  impl_->file = gsf_output_stdio_new_FILE(fileName.c_str(), f, FALSE);
  // 512-byte big blocks and 64-byte small blocks: the layout every BIFF8 reader expects.
  impl_->storage = gsf_outfile_msole_new_full(impl_->file, 512, 64);
  impl_->stream = gsf_outfile_new_child(impl_->storage, "Workbook", FALSE);
  if (!impl_->stream) {
    gsf_output_close(GSF_OUTPUT(impl_->storage));
    g_object_unref(impl_->storage);
    gsf_output_close(impl_->file);
    g_object_unref(impl_->file);
    delete impl_;
    throw Exception(
        Format(TranslateText("Engine", "Cannot create the Workbook stream in \"%s\""), {fileName}));
  }
}

TxlsContainer::~TxlsContainer() {
  if (!impl_) return;
  try {
    Close();
  } catch (...) {
  }
}

// The storage does not pass on every failure of the file beneath it, so the file's own error
// state is asked as well.
static bool Failed(GsfOutput* o) {
  return gsf_output_error(o) != nullptr;
}

void TxlsContainer::Write(const void* data, size_t size) {
  if (!gsf_output_write(impl_->stream, size, static_cast<const guint8*>(data)) ||
      Failed(impl_->file)) {
    impl_->failed = true;
    throw Exception(TranslateText("Engine", "Error writing output file"));
  }
}

void TxlsContainer::Close() {
  if (!impl_) return;
  Impl* p = impl_;
  impl_ = nullptr;
  bool ok = !p->failed;
  ok = gsf_output_close(p->stream) && ok;
  g_object_unref(p->stream);
  ok = gsf_output_close(GSF_OUTPUT(p->storage)) && ok;
  g_object_unref(p->storage);
  // The storage closes its sink as it finishes; closing an already closed output is harmless.
  if (!gsf_output_is_closed(p->file)) ok = gsf_output_close(p->file) && ok;
  ok = ok && !Failed(p->file);
  g_object_unref(p->file);
  delete p;
  if (!ok) throw Exception(TranslateText("Engine", "Error writing output file"));
}

}  // namespace morvale
