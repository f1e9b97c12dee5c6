// The exporter ladder. TExport runs one fixed sequence for every format (check the source, build
// the columns, caption row, one data row per record, finish); a format overrides the virtual steps
// of that sequence and never the sequence itself. TExportText writes a file, TExportAdvancedText
// adds header and footer lines, TExportFormatText captions and formats; TExportMemory sends the
// output to the clipboard.
#pragma once

#include <bitset>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "export/core/classes.h"
#include "export/core/codepage.h"
#include "export/core/columns.h"
#include "export/core/formats.h"
#include "export/core/formatsettings.h"
#include "export/core/graphics.h"
#include "export/core/parts.h"
#include "export/core/properties.h"
#include "export/core/recordwalk.h"
#include "export/core/streams.h"
#include "export/core/writer.h"

namespace morvale {

class TIniFile;
class TOutputFiles;
class TPartWriter;

using TCharSet = std::bitset<256>;

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TRecordEvent = std::function<void(TObject* Sender, int RecNo)>;
using TStopExportEvent = std::function<void(TObject* Sender, bool& CanContinue)>;
using TBeforeExportRowEvent = std::function<void(TObject* Sender, TExportRow& Row, bool& Accept)>;
using TGetExportTextEvent = std::function<void(TObject* Sender, int ColNo, std::string& Text)>;
using TGetCellParamsEvent =
    std::function<void(TObject* Sender, int RecNo, int ColNo, const std::string& Value,
                       TExportColAlign& Align, TFont* AFont, TColor& Background)>;

class TExport : public TComponent {
 public:
  TExport();
  ~TExport() override;

  // Each class's published table; its parent is the base class's table.
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }

  // Source selection. The references are weak: a source that is destroyed clears itself here.
  TExportSource ExportSource = esDataSet;
  TDataSet* DataSet() const { return src_.DataSet; }
  TCustomSource* CustomSource() const { return src_.CustomSource; }
  TListView* ListView() const { return src_.ListView; }
  TDBGrid* DBGrid() const { return src_.DBGrid; }
  TStringGrid* StringGrid() const { return src_.StringGrid; }
  void SetDataSet(TDataSet* v) { Reference(src_.DataSet, v); }
  void SetCustomSource(TCustomSource* v) { Reference(src_.CustomSource, v); }
  void SetListView(TListView* v) { Reference(src_.ListView, v); }
  void SetDBGrid(TDBGrid* v) { Reference(src_.DBGrid, v); }
  void SetStringGrid(TStringGrid* v) { Reference(src_.StringGrid, v); }
  // The references with this exporter's kind and counts.
  TSourceRef SourceRef() const;
  // The adapter over SourceRef(); the no-source adapter when the kind's reference is not set.
  TSourceAdapterPtr Source() const { return source_.Get(SourceRef()); }

  // Settings kept by every exporter whether or not its class publishes them.
  TStringList ExportedFields, Header, Captions, Footer, UserFormats, ColumnsWidth, ColumnsAlign,
      ColumnsLength;
  TExportFormats Formats;
  bool AllowCaptions = true;
  std::string Title;
  bool CurrentRecordOnly = false;
  bool GoToFirstRecord = true;
  int ExportRecCount = 0;
  int SkipRecCount = 0;
  bool OnlyVisibleFields = false;
  bool AutoCalcStrType = false;
  int CaptionRow = -1;
  bool AutoCalcColWidth = false;
  bool ExportEmpty = true;
  // The encoding the output is written in; the text formats publish it.
  TTextEncoding Encoding = encSystem;
  // Float and currency columns that no UserFormats line names render every digit of their values
  // (exact decimals with their scale, doubles as the shortest digits that read back the same)
  // instead of FloatFormat and CurrencyFormat: the command line's way where nobody asked for
  // rounding. Not published, so options files keep the formats they give.
  bool ExactFloats = false;
  bool ExactCurrency = false;
  // One share of a run whose rows several processes read in ranges: a share after the first
  // leaves out the opening (all written before its first data row, the caption row included), a
  // share before the last leaves out the closing (all written after its last data row), so the
  // shares written one after the other are the file of the whole run. Only for formats whose
  // rows do not depend on the rows before them. Not published.
  bool ShareOpening = true;
  bool ShareClosing = true;

  // The locale the run parses and renders values with; setting it moves the format defaults too.
  const TFormatSettings& FormatSettings() const { return formatSettings_; }
  void SetFormatSettings(const TFormatSettings& fs);

  // The records a run reads: GoToFirstRecord, SkipRecCount, ExportRecCount, CurrentRecordOnly.
  TRecordRange RecordRange() const {
    return {GoToFirstRecord, SkipRecCount, ExportRecCount, CurrentRecordOnly};
  }

  // Run state.
  int RecordCounter = 0;
  bool Aborted() const { return aborted_; }
  TExportWriter* Writer() const { return writer_.get(); }
  TExportColumns& Columns() { return columns_; }
  TExportRow& Row() { return row_; }

  // Events.
  TNotifyEvent OnBeginExport, OnEndExport;
  TRecordEvent OnSkippedRecord, OnExportedRecord, OnFetchedRecord;
  TStopExportEvent OnStopExport;
  TBeforeExportRowEvent OnBeforeExportRow;
  TGetExportTextEvent OnGetExportText;
  TGetCellParamsEvent OnGetCellParams;

  // Runs the export to the exporter's destination (file, files, clipboard).
  virtual void Execute() {}
  // Creates the writer, runs the export into `stream` (through the conversion to Encoding when
  // that is not the system code page), and drops the writer however it ends.
  void ExportToStream(TStream& stream);
  // The same into the files of `parts` (each converts to Encoding itself); between two data rows
  // the run ends a full part with EndPart and starts the next with BeginPart.
  void ExportToParts(TPartWriter& parts);
  // True for a format whose output can be cut between two rows into files that are each whole:
  // it overrides EndPart and BeginPart.
  virtual bool SplitsIntoParts() const { return false; }
  // Asks the run to stop before the next record; may be called from any event handler.
  virtual void Abort() { aborted_ = true; }

  // The steps a format overrides.
  virtual std::unique_ptr<TExportWriter> CreateWriter(TStream& stream);
  virtual void BeginExport();
  virtual void BeforeExport() {}
  virtual void AfterExport() {}
  virtual void EndExport();
  virtual bool EndOfSource();
  virtual void GetCaptionRow(std::string& S);
  virtual void WriteCaptionRow() {}
  virtual void FillRow();
  virtual void GetDataRow(bool format, std::string& S);
  virtual void WriteDataRow() {}
  virtual void GetColCaption(int colNo, std::string& S);
  virtual void GetColData(TExportCol& col, std::string& S) { S = col.Text(); }
  virtual TCharSet GetSpecialChars() { return {}; }
  // True for a format that reads every cell of a data row through GetExportedValue(true) and
  // nothing of the row before: its rows may then hold the fields' stored values, rendered once by
  // the column formatting, instead of texts that the formatting reads back.
  virtual bool FormatsTypedValues() const { return false; }
  // True for a format that stores values rather than texts (numbers, dates, flags as the cells
  // of its file): its rows hold the stored values of the fields that give them (TExportCol::Stored)
  // unless a handler of OnBeforeExportRow reads or changes the row's texts, and the format
  // renders a text only where its file needs one.
  virtual bool StoresValues() const { return false; }
  // Whether FillRow gives stored values to the columns that have them; DoExport decides it for
  // its own run, a format that walks the records itself (the workbook's sheets) sets it.
  void SetRowValues(bool stored) { rowValues_ = stored; }
  // Result := the text with the format's special characters escaped (the base copies it).
  virtual void EscapeString(std::string_view S, std::string& Result) { Result.assign(S); }
  std::string EscapeString(std::string_view S) {
    std::string r;
    EscapeString(S, r);
    return r;
  }
  // True for a format whose EscapeString is the base copy and stays so (the class is final):
  // its values are rendered straight into their cells, without the copy.
  bool EscapesNothing() const { return escapesNothing_; }
  // Every published property with a text form, in a section named after the class.
  virtual void SaveProperties(TIniFile& ini);
  virtual void LoadProperties(TIniFile& ini);
  virtual const char* ClassName() const { return "TExport"; }

  // Answers whether the run goes on after an abort request (OnStopExport decides).
  bool CanContinue();
  void DoGetCellParams(int recNo, int colNo, const std::string& value, TExportColAlign& align,
                       TFont* font, TColor& background);

 protected:
  void Notification(TComponent* component) override;
  // Re-raised so formats can clear the flag after their own pre-passes.
  void SetAborted(bool v) { aborted_ = v; }
  // Set by a final class that keeps the base EscapeString (see EscapesNothing).
  bool escapesNothing_ = false;
  // A split run: what ends a part (as the end of the output ends it: a footer, closing tags),
  // and what begins the next (the opening, and the caption row when AllowCaptions).
  virtual void EndPart() {}
  virtual void BeginPart() {}

 private:
  void DoExport();
  // The caption row and the records, up to AfterExport.
  void WriteRecords();
  void ExportTo(TStream& stream, TPartWriter* parts);
  template <class T>
  void Reference(T*& slot, T* v) {
    if (slot == v) return;
    T* old = slot;
    slot = v;
    if (old && !StillReferenced(old)) old->RemoveFreeNotification(this);
    if (v) v->FreeNotification(this);
  }
  bool StillReferenced(const TComponent* c) const {
    return c == src_.DataSet || c == src_.CustomSource || c == src_.ListView || c == src_.DBGrid ||
           c == src_.StringGrid;
  }

  TSourceRef src_;
  mutable TSourceAdapterCache source_;
  TFormatSettings formatSettings_;
  TExportColumns columns_;
  TExportRow row_;
  std::unique_ptr<TExportWriter> writer_;
  TPartWriter* parts_ = nullptr;  // the run's parts, when it is split
  class TShareGate;
  TShareGate* gate_ = nullptr;  // the run's share, when it is one (ShareOpening, ShareClosing)
  bool aborted_ = false;
  bool rowValues_ = false;  // FillRow gives stored values to the columns that have them
  std::string scratch_;
};

class TExportText : public TExport {
 public:
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TExportText"; }

  std::string FileName;
  bool ShowFile = false;
  bool PrintFile = false;
  // Split and compressed output (parts.h); not published: the options file keeps it in a
  // section of its own.
  TOutputParts Parts;
  // True when the run writes through the part writer: Parts asks for it, or FileName holds
  // ${part}.
  bool WritesParts() const;

  // Creates the folder and runs the export into a file that replaces FileName once the run has
  // finished; then opens or prints the file.
  void Execute() override;
  virtual void AfterExecute();
  // The file written, or the first part of a split one.
  virtual std::string GetShowFileName();
  virtual std::string GetPrintFileName() { return GetShowFileName(); }

 protected:
  // Runs `write`, which creates every file of the run in Outputs(), and then puts those files in
  // place together. A run that fails or is stopped (Aborted) leaves the previous files as they
  // were and no file of its own.
  void WriteFiles(const std::function<void()>& write);
  // Inside WriteFiles: the export into FileName, or into its parts when WritesParts.
  void ExportToFileOrParts();
  // The files of the run in progress; nullptr outside WriteFiles.
  TOutputFiles* Outputs() const { return outputs_; }
  // Raises "Directory '%s' not found and cannot be created" when FileName's folder (the program's
  // folder for a bare name) cannot be made.
  void ForceFileFolder() const;

 private:
  TOutputFiles* outputs_ = nullptr;
};

class TExportAdvancedText : public TExportText {
 public:
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TExportAdvancedText"; }
};

class TExportFormatText : public TExportAdvancedText {
 public:
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TExportFormatText"; }
};

class TExportMemory : public TExport {
 public:
  const char* ClassName() const override { return "TExportMemory"; }
  // Runs into memory and puts the whole output on the clipboard as one text.
  void Execute() override;
};

// The formatting of one value by column type (number and date-time formats, escaping).
void FormatValue(std::string_view raw, const TExportColumn& column, bool escape, TExport& exporter,
                 std::string& out);
std::string FormatValue(std::string_view raw, const std::string& format, TExportColType type,
                        bool escape, TExport& exporter);
// The same from a field's typed value, with the output FormatValue gives for the field's text.
void FormatFieldValue(const TFieldValue& value, const TExportColumn& column, bool escape,
                      TExport& exporter, std::string& out);

// Appends every digit of a number value (TExportColumn::ExactDigits) in the locale's notation
// without grouping; false, with nothing written, for a value that is no finite number.
bool AppendExactNumber(const TFieldValue& value, const TFormatSettings& fs, std::string& out);
// The settings of the notation data formats write numbers in: '.' as the point, no grouping.
const TFormatSettings& PointSettings();

// A date-time value as ISO 8601 text for a column of `type`: the date, the time of day, or both
// joined by `separator`. The fraction of a second is the source's own when the value carries its
// ISO text (microseconds from a server), else milliseconds of the serial value; none when zero.
void AppendIsoValue(const TFieldValue& value, TExportColType type, char separator,
                    std::string& out);

// Creates a folder with all missing parents; false when it still does not exist.
bool ForceDirectories(const std::string& folder);
// The folder part of a path, ending in '/', or the empty text.
std::string ExtractFilePath(const std::string& path);

}  // namespace morvale
