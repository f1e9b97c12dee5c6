#include "cli/cancel.h"

#include <sys/stat.h>

namespace morvale::cli {

namespace {

volatile std::sig_atomic_t received = 0;

extern "C" void OnStopSignal(int signal) {
  received = signal;
}

}  // namespace

TSignalCancel::TSignalCancel(TExport& e)
    : e_(e),
      exported_(e.OnExportedRecord),
      skipped_(e.OnSkippedRecord),
      fetched_(e.OnFetchedRecord) {
  received = 0;
  struct sigaction stop {};
  stop.sa_handler = OnStopSignal;
  sigemptyset(&stop.sa_mask);
  // The second signal finds the default action again and ends the process.
  stop.sa_flags = SA_RESETHAND;
  sigaction(SIGINT, &stop, &oldInt_);
  sigaction(SIGTERM, &stop, &oldTerm_);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGXFSZ, &ignore, &oldXfsz_);
  // The handler only notes the signal; the run is asked to stop from its own events, where an
  // exporter's Abort may write.
  for (TRecordEvent* event : {&e.OnExportedRecord, &e.OnSkippedRecord, &e.OnFetchedRecord})
    *event = [this, inner = *event](TObject* sender, int recNo) {
      if (inner) inner(sender, recNo);
      Poll();
    };
}

TSignalCancel::~TSignalCancel() {
  sigaction(SIGINT, &oldInt_, nullptr);
  sigaction(SIGTERM, &oldTerm_, nullptr);
  sigaction(SIGXFSZ, &oldXfsz_, nullptr);
  e_.OnExportedRecord = exported_;
  e_.OnSkippedRecord = skipped_;
  e_.OnFetchedRecord = fetched_;
}

void TSignalCancel::Poll() {
  if (received == 0 || asked_) return;
  asked_ = true;
  e_.Abort();
}

int TSignalCancel::Signal() const {
  return asked_ ? static_cast<int>(received) : 0;
}

std::string KeptFileNote(const std::string& fileName) {
  struct stat st;
  if (::stat(fileName.c_str(), &st) != 0) return "no file '" + fileName + "' was written";
  return S_ISREG(st.st_mode) ? "'" + fileName + "' is unchanged" : std::string();
}

}  // namespace morvale::cli
