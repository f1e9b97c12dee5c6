// The files one run writes, kept from their targets until the run has finished: each is written to
// a temporary beside its target and renamed over it by Commit, all of them together, so that a
// failed, cancelled or killed run leaves the previous files byte for byte as they were and no half
// file under a final name.
//
// A temporary is an unnamed file of the target's folder (O_TMPFILE): it gets a name only when the
// run commits, so a run killed before that leaves nothing behind. Where the file system has no
// unnamed files, or a run writes more files than it should hold open (a memo file per record),
// the temporaries are named files in a hidden folder beside the targets,
// ".<random>.morvale-part", locked while its run lives; the next run that writes into the folder
// removes such a folder (or a hidden ".<name>.<random>.morvale-part" file) whose run is gone.
//
// A name that is not a regular file (a device, a pipe, /dev/stdout) is written directly. A
// symbolic link is written through: the link stays and its target is replaced. A replaced file
// keeps its permissions (and, where allowed, its owner); a new file gets the umask's.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "export/core/streams.h"

namespace morvale {

class TOutputFiles {
 public:
  TOutputFiles();
  // Discards what was not committed.
  ~TOutputFiles();
  TOutputFiles(const TOutputFiles&) = delete;
  TOutputFiles& operator=(const TOutputFiles&) = delete;

  // The stream that writes `fileName` in this run; it belongs to this object. Creating a name
  // again empties what the run wrote to it before (the earlier stream is closed first). Raises
  // "Cannot create file '<fileName>': ..." as a file stream does; messages never name the
  // temporary.
  TFileStream& Create(const std::string& fileName);
  // A name under which what the run wrote to `fileName` can be opened again, by a library that
  // writes by name or by a second reader; the name itself for a file written directly. The
  // name must have been created.
  std::string OpenName(const std::string& fileName) const;
  // Whether a regular file stood at the name when the run created it (for messages).
  bool Existed(const std::string& fileName) const;
  // Everything the run has written to `fileName` so far (a closed stream's whole file).
  std::string Read(const std::string& fileName) const;

  // Closes every stream (raising the first write error, under its target's name), makes the
  // temporaries durable, and renames each over its target. On failure nothing was renamed unless
  // the renaming itself failed half-way, which the message then says.
  void Commit();
  // Drops every temporary; the targets stay as they were.
  void Discard();

  // How many unnamed temporaries one run holds open at most; later files are staged by name.
  static int HeldLimit;

 private:
  struct TEntry;
  struct TStaging;
  TEntry* Find(const std::string& fileName) const;
  // The folder's staging folder, made on first use; nullptr (errno set) when it cannot be made.
  TStaging* StagingFor(const std::string& folder);
  void OpenTemporary(TEntry& e);
  void CleanFolderOnce(const std::string& folder);

  std::vector<std::unique_ptr<TEntry>> entries_;
  std::map<std::string, std::unique_ptr<TStaging>> staging_;  // by folder
  std::vector<std::string> cleaned_;                          // folders swept of stale runs
  int held_ = 0;
};

// A second file of the run that writes `main` (a table's memo file): made in main's group, so that
// both appear together, or by name when main has none; `owned` then keeps it.
TFileStream& CreateBeside(TFileStream& main, const std::string& fileName,
                          std::unique_ptr<TFileStream>& owned);

}  // namespace morvale
