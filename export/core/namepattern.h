// File names written as patterns: "${table}_${date}.${type}" becomes "orders_2026-12-10.csv". The
// export dialog's file name, an options file's FileName and the command line's -o all take them,
// so that one setting names the file of every table of a run, and a run repeated tomorrow does not
// overwrite today's files.
//
//   ${table}      the table's name, made fit for a file name (SafeFileNamePart); "Unknown" for a
//                 query that names no table, as the main window suggests it
//   ${type}       the type's extension: xls, csv, ...
//   ${date}       yyyy-mm-dd      } the moment the run started (ExportStamp: SOURCE_DATE_EPOCH in
//   ${time}       hhnnss          } UTC when it is set, the clock in local time otherwise); no ':'
//   ${timestamp}  yyyymmdd-hhnnss } in them, which some file systems refuse
//   ${n}          the table's number in the run, from 1, padded with zeros to the width of the
//                 last number so the files sort in the run's order (01 ... 12)
//   ${part}       the part's number in an output split into parts (001, 002, ...): left in the
//                 name by ExpandFileNamePattern, filled in by ExpandPartField as the parts are
//                 written
#pragma once

#include <string>
#include <string_view>

#include "export/core/stamp.h"

namespace morvale {

struct TFileNameFields {
  std::string Table;  // as the table list gives it; empty for a query
  std::string Type;   // the extension, without its dot
  TExportStamp Stamp;
  int Number = 1;  // ${n}
  int Count = 1;   // the tables of the run: the width ${n} is padded to
};

// True when the text holds a "${": a pattern rather than a plain file name.
bool IsFileNamePattern(std::string_view text);
// True when every table of a run gets a name of its own from the pattern: it holds ${table} or
// ${n}.
bool PatternNamesEachTable(std::string_view pattern);
// The pattern with its fields filled in. An unknown or unterminated field raises an Exception
// that names it and lists the known ones.
std::string ExpandFileNamePattern(std::string_view pattern, const TFileNameFields& fields);

// True when the name holds a ${part} field.
bool HasPartField(std::string_view name);
// The name with every ${part} replaced by the part's number, in three digits at least.
std::string ExpandPartField(std::string_view name, int part);

// A table name as a part of a file name: '/' (which would make a folder), control characters and
// NUL become '_', "." and ".." and the empty name become "_", and a name longer than 200 bytes
// is cut at a character boundary so that the whole file name stays within the usual 255 bytes.
// Letters of every script, spaces and punctuation stay as they are.
std::string SafeFileNamePart(std::string_view name);

}  // namespace morvale
