#include "export/xlsx/exportxlsx.h"

#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "export/core/outputfiles.h"
#include "export/core/stamp.h"
#include "export/core/translate.h"
#include "export/xlsx/xlsxsheet.h"
#include "export/xlsx/xlsxstyles.h"

namespace morvale {

namespace {

// libxlsxwriter reports a failure on standard error, naming the file it was given: the run's
// temporary, which no message may show. While it closes the package, its standard error goes into
// a pipe; what it said is then passed on under the target's name, and the system's reason for a
// failure joins the exception.
class TLibraryErrors {
 public:
  TLibraryErrors() {
    std::fflush(stderr);
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
    saved_ = ::dup(2);
    if (saved_ < 0 || ::dup2(ends[1], 2) < 0) {
      ::close(ends[0]);
      if (saved_ >= 0) ::close(saved_);
      saved_ = -1;
    } else {
      read_ = ends[0];
    }
    ::close(ends[1]);
  }
  ~TLibraryErrors() { Restore(); }
  TLibraryErrors(const TLibraryErrors&) = delete;
  TLibraryErrors& operator=(const TLibraryErrors&) = delete;

  // Standard error back where it was; what the library wrote meanwhile (at most a pipe's worth).
  std::string Restore() {
    if (read_ < 0) return {};
    std::fflush(stderr);
    ::dup2(saved_, 2);
    ::close(saved_);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(read_, buffer, sizeof buffer)) > 0;)
      text.append(buffer, static_cast<size_t>(n));
    ::close(read_);
    read_ = -1;
    return text;
  }

 private:
  int saved_ = -1, read_ = -1;
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; !from.empty() && (at = text.find(from, at)) != std::string::npos;
       at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

// The package being written into the run's file for FileName (see outputfiles.h), which
// libxlsxwriter opens by name as it assembles the package at the close; freed without a package
// when the run fails or stops.
class TPackage {
 public:
  TPackage(TOutputFiles& files, const std::string& fileName) : fileName_(fileName) {
    files.Create(fileName).Close();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    // Zip64 lets a sheet of a million rows of long texts pass 4 GB; readers take it either way.
    options.use_zip64 = LXW_TRUE;
    openName_ = files.OpenName(fileName);
    wb_ = workbook_new_opt(openName_.c_str(), &options);
    if (!wb_)
      throw Exception(Format(TranslateText("Engine", "Cannot create the file '%s'"), {fileName}));
    StampCreationTime();
  }
  TPackage(const TPackage&) = delete;
  TPackage& operator=(const TPackage&) = delete;
  ~TPackage() {
    if (wb_) lxw_workbook_free(wb_);
  }
  lxw_workbook* Workbook() const { return wb_; }

  void Close() {
    CheckRowFiles();
    lxw_workbook* wb = wb_;
    wb_ = nullptr;
    TLibraryErrors errors;
    lxw_error e = workbook_close(wb);  // frees the workbook whatever the outcome
    const std::string said = Replaced(errors.Restore(), openName_, fileName_);
    if (e == LXW_NO_ERROR) {
      std::fputs(said.c_str(), stderr);
      return;
    }
    std::string message = Format(TranslateText("Engine", "Cannot write the file '%s': %s"),
                                 {fileName_, lxw_strerror(e)});
    const size_t reason = said.find("System error = ");
    if (reason != std::string::npos) {
      if (message.ends_with('.')) message.pop_back();
      message += ": " + said.substr(reason + 15, said.find('\n', reason) - reason - 15);
    }
    throw Exception(message);
  }

 private:
  // In constant-memory mode each sheet's rows wait in a temporary file that libxlsxwriter writes
  // without looking at the outcome: a full disk there would pass as a finished, shorter workbook.
  void CheckRowFiles() {
    lxw_worksheet* sheet;
    LXW_FOREACH_WORKSHEET(sheet, wb_) {
      FILE* rows = sheet->optimize_tmpfile;
      errno = 0;
      if (rows && (std::fflush(rows) != 0 || std::ferror(rows))) {
        const char* reason = errno ? std::strerror(errno) : "a temporary file could not be written";
        throw Exception(
            Format(TranslateText("Engine", "Cannot write the file '%s': %s"), {fileName_, reason}));
      }
    }
  }

  // The document's creation and modification time. The library reads 0 as "now", so the first
  // second of 1970 is written as the next one: no reader tells them apart, and the file stays the
  // same on every run.
  void StampCreationTime() {
    lxw_doc_properties properties{};
    properties.created = std::max<std::time_t>(ExportStamp().Seconds, 1);
    if (workbook_set_properties(wb_, &properties) != LXW_NO_ERROR)
      throw Exception(Format("Cannot create the file '%s'", {fileName_}));
  }

  std::string fileName_, openName_;
  lxw_workbook* wb_ = nullptr;
};

}  // namespace

void TExportXLSX::Execute() {
  bool complete = false;
  ExecuteSheets(TxlsxSheetWriter::kMaxCols, [this, &complete] { complete = Write(); });
  if (complete) AfterExecute();
}

bool TExportXLSX::Write() {
  TPackage package(*Outputs(), FileName);
  TxlsxStyles styles(package.Workbook(), FormatSettings());
  std::vector<std::string> titles;
  const bool complete = WriteSheets([&](int index, TxlsSheet& sheet) {
    return TxlsxSheetWriter(*this, sheet, index, package.Workbook(), styles, titles).Write();
  });
  // A stopped run's package is never assembled: its file is dropped and the previous one stays.
  if (!complete) return false;
  // A package needs a sheet.
  if (titles.empty()) workbook_add_worksheet(package.Workbook(), nullptr);
  package.Close();
  AfterExport();
  EndExport();
  return true;
}

}  // namespace morvale
