#include "app/tools/memofiles.h"

#include <cmath>

#include "app/helpers/helpers.h"
#include "app/tools/wholefile.h"
#include "export/core/outputfiles.h"
#include "export/core/streams.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

const char* const kBadMemoField = MVL_TEXT_NOOP("Engine", "MEMO-поле указано некорректно ...");

void WriteMemoFile(TOutputFiles& files, const std::string& fileName, const TStringList& lines) {
  TFileStream& f = files.Create(fileName);
  WriteCrLfLines(f, lines);
  f.Close();
}

}  // namespace

std::string MemoFieldName(std::string_view typed) {
  return UpperText(TrimSpaces(typed));
}

std::string MemoBaseName(const std::string& folder, std::string_view table,
                         std::string_view memoField) {
  std::string tablePart = TrimSpaces(table).empty() ? "Unknown" : SafeFileName(table);
  return folder + tablePart + "_" + SafeFileName(memoField) + "-";
}

std::string MemoFileName(const std::string& base, bool hasIdField, std::string_view idValue,
                         int n) {
  if (!hasIdField) return base + std::to_string(n) + ".txt";
  std::string v = TrimSpaces(idValue);
  if (v.empty()) return base + "~_" + std::to_string(n) + ".txt";
  // A value of the identifying field names a file inside the folder, never a path: "../x" and
  // "/tmp/x" lose their slashes.
  return base + SafeFileName(v) + ".txt";
}

TMemoExportResult ExportMemoFiles(TDataSet& ds, const TMemoExport& job,
                                  const TMemoProgress& progress) {
  TMemoExportResult result;
  std::string memoName = MemoFieldName(job.MemoField);
  if (memoName.empty()) throw Exception(TranslateText("Engine", kBadMemoField));
  TField& memo = ds.FieldByName(memoName);
  if (memo.DataType != ftMemo) throw Exception(TranslateText("Engine", kBadMemoField));
  std::string idName = UpperText(TrimSpaces(job.IdField));
  TField* id = idName.empty() ? nullptr : &ds.FieldByName(idName);

  result.BaseName = MemoBaseName(job.Folder, job.TableName, memoName);
  const int total = ds.RecordCount();
  TStringList buffer;
  std::string idValue;
  // The files of one run appear together at its end; a run that fails leaves the folder as it
  // was.
  TOutputFiles files;
  for (ds.First(); !ds.Eof(); ds.Next()) {
    buffer.SetText(memo.AsString());
    ++result.Records;
    if (FirstNonBlankLine(buffer) >= 0) {
      if (id) id->GetText(idValue);
      WriteMemoFile(files, MemoFileName(result.BaseName, id != nullptr, idValue, result.Records),
                    buffer);
      ++result.Files;
    }
    if (progress)
      progress(total > 0 ? static_cast<int>(std::lround(100.0 * result.Records / total)) : 100);
  }
  files.Commit();
  return result;
}

}  // namespace morvale
