// What a sheet carries besides its exported cells: notes, hyperlinks, pictures and the images
// that show them, charts drawn from the exported columns, fixed extra cells and merged ranges, and
// a background picture. Each item saves and loads itself in a settings-file section; the lists
// are reached from text as "Notes.0.Col", "Charts.1.Series.0.DataColumn".
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "export/core/datetime.h"
#include "export/workbook/styles.h"

namespace morvale {

class TIniFile;
class TXLSOptions;

// Items with a look of their own start from their owner's options (a note from its NoteFormat, a
// hyperlink from its HyperlinkFormat); the list remembers whose options those are, and keeps
// them when another list is assigned to it.
template <class T>
class TxlsOwnedList : public TxlsCollection<T> {
 public:
  explicit TxlsOwnedList(const TXLSOptions* options = nullptr) : options_(options) {}
  TxlsOwnedList(const TxlsOwnedList& o) : TxlsCollection<T>(o), options_(o.options_) {}
  TxlsOwnedList& operator=(const TxlsOwnedList& o) {
    TxlsCollection<T>::operator=(o);
    return *this;
  }
  T& Add() {
    T& item = TxlsCollection<T>::Add();
    if (options_) item.StartFrom(*options_);
    return item;
  }
  // The item at index i, adding new items up to it.
  T& At(int i) {
    while (this->Count() <= i) Add();
    return (*this)[i];
  }

 private:
  const TXLSOptions* options_;
};

enum TxlsHyperlinkStyle : int { hlsURL, hlsLocalFile };

class TxlsHyperlink : public TxlsCustomItem {
 public:
  int Row = 0, Col = 0;  // 1-based
  TxlsHyperlinkStyle Style = hlsURL;
  std::string Title, Target, ScreenTip;
  TxlsFormat Format;

  int Kind() const override { return 3; }
  const char* ClassName() const override { return "TxlsHyperlink"; }
  std::string DisplayName() const override { return Title.empty() ? ClassName() : Title; }
  const TPropList& Published() const override;
  void StartFrom(const TXLSOptions& options);
  bool IsValid() const {
    return Col >= 1 && Col <= 256 && Row >= 1 && !Title.empty() && !Target.empty();
  }
  void SaveToIni(TIniFile& ini, const std::string& section) const;
  void LoadFromIni(const TIniFile& ini, const std::string& section);
};

class TxlsNote : public TxlsCustomItem {
 public:
  int Row = 0, Col = 0;  // 1-based
  TStringList Lines;
  TxlsNoteFormat Format;

  int Kind() const override { return 4; }
  const char* ClassName() const override { return "TxlsNote"; }
  const TPropList& Published() const override;
  void StartFrom(const TXLSOptions& options);
  // The lines joined by LF, trimmed of blanks and control characters, without any CR.
  std::string Text() const;
  bool IsValid() const { return Col >= 1 && Col <= 255 && Row >= 1 && !Text().empty(); }
  // The lines go to the section named `section` + "_LINES".
  void SaveToIni(TIniFile& ini, const std::string& section) const;
  void LoadFromIni(const TIniFile& ini, const std::string& section);
};

// Picture types by file extension: WMF 1, EMF 2, JPG/JPEG 3, PNG 4, GIF 5, BMP/QBMP 6, ICO 7,
// anything else 0.
enum TxlsGraphicType : int { gtUnknown, gtWMF, gtEMF, gtJPEG, gtPNG, gtGIF, gtBMP, gtICO };
TxlsGraphicType xlsGraphicType(std::string_view fileName);

class TxlsGraphic : public TxlsCustomItem {
 public:
  std::string FileName;
  // Picture content held in memory (a bitmap file), with its size; empty when the file is used.
  std::string Content;
  int Width = 0, Height = 0;

  int Kind() const override { return 9; }
  const char* ClassName() const override { return "TxlsGraphic"; }
  const TPropList& Published() const override;
  TxlsGraphicType GraphicType() const { return xlsGraphicType(FileName); }
};

class TxlsPicture : public TxlsGraphic {
 public:
  int Kind() const override { return 7; }
  const char* ClassName() const override { return "TxlsPicture"; }
  const TPropList& Published() const override;
  const std::string& Name() const { return name_; }

 private:
  friend class TxlsPictures;
  std::string name_;
  class TxlsPictures* list_ = nullptr;
};

// The workbook's picture store: images of every sheet refer to a picture by name.
class TxlsPictures : public TxlsCollection<TxlsPicture> {
 public:
  TxlsPictures() = default;
  TxlsPictures(const TxlsPictures& o) : TxlsCollection(o) { Renumber(); }
  TxlsPictures& operator=(const TxlsPictures& o) {
    TxlsCollection::operator=(o);
    return *this;
  }
  // A new picture is named "Picture_<n>", the smallest n no picture has.
  TxlsPicture& Add();
  TxlsPicture& At(int i);
  // Raises "A picture name cannot be empty" and "A picture <name> already exists".
  void SetName(TxlsPicture& picture, const std::string& name);
  // Position of the picture of that name (ignoring case), or -1.
  int IndexOf(std::string_view name) const;

 protected:
  void Renumber() override;
};

class TxlsImage : public TxlsCustomItem {
 public:
  int Col = 0, Row = 0;  // 0-based cell of the top-left corner
  std::string PictureName, Title;
  int Zoom = 100;  // percent, 0..1000

  int Kind() const override { return 7; }
  const char* ClassName() const override { return "TxlsImage"; }
  const TPropList& Published() const override;
  void StartFrom(const TXLSOptions&) {}
  void SaveToIni(TIniFile& ini, const std::string& section) const;
  void LoadFromIni(const TIniFile& ini, const std::string& section);
};

class TxlsImages : public TxlsOwnedList<TxlsImage> {
 public:
  // A new image is titled "Image_<n>", the smallest n no image has as title (ignoring case).
  TxlsImage& Add();
  TxlsImage& At(int i) {
    while (Count() <= i) Add();
    return (*this)[i];
  }
};

enum TxlsRangeType : int { rtColumn, rtCustom };
enum TxlsChartStyle : int {
  xcsColumn,
  xcsColumn3d,
  xcsBar,
  xcsBar3d,
  xcsLine,
  xcsLineMark,
  xcsLine3d,
  xcsPie,
  xcsPie3d,
  xcsArea,
  xcsArea3d,
  xcsSurface,
  xcsSurface3d,
  xcsRadar,
  xcsRadarArea
};
enum TxlsChartLegendPlacement : int { clpBottom, clpCorner, clpTop, clpRight, clpLeft };
enum TxlsChartPlacement : int { cpBottom, cpRight };
enum TxlsChartPositionType : int { cptAuto, cptCustom };
const std::vector<std::string>& xlsChartStyleNames();

// A cell range, 1-based; all 0 when unknown.
class TxlsDataRange : public TPersistent {
 public:
  int Col1 = 0, Col2 = 0, Row1 = 0, Row2 = 0;
  const TPropList& Published() const override;
};

class TxlsChartSeries : public TxlsCustomItem {
 public:
  std::string Title;
  TxlsRangeType DataRangeType = rtColumn;
  std::string DataColumn;
  TxlsDataRange DataRange;
  TxlsColor Color = clrAqua;

  int Kind() const override { return 6; }
  const char* ClassName() const override { return "TxlsChartSeries"; }
  std::string DisplayName() const override { return Title.empty() ? ClassName() : Title; }
  const TPropList& Published() const override;
  void StartFrom(const TXLSOptions&) {}
  void SaveToIni(TIniFile& ini, const std::string& section) const;
  void LoadFromIni(const TIniFile& ini, const std::string& section);
};

class TxlsChartAutoPosition : public TPersistent {
 public:
  TxlsChartPlacement Placement = cpBottom;
  int Left = 0, Top = 0, Width = 5, Height = 10;  // in cells
  const TPropList& Published() const override;
};

class TxlsChartCustomPosition : public TPersistent {
 public:
  int X1 = 0, X2 = 0, Y1 = 0, Y2 = 0;  // 1-based corners
  const TPropList& Published() const override;
};

class TxlsChartPosition : public TPersistent {
 public:
  TxlsChartPositionType PositionType = cptAuto;
  TxlsChartAutoPosition AutoPosition;
  TxlsChartCustomPosition CustomPosition;
  const TPropList& Published() const override;
};

class TxlsChart : public TxlsCustomItem {
 public:
  std::string Title;
  TxlsChartStyle Style = xcsColumn;
  TxlsOwnedList<TxlsChartSeries> Series;
  TxlsRangeType CategoryLabelsType = rtColumn;
  std::string CategoryLabelsColumn;
  TxlsDataRange CategoryLabels;
  TxlsChartPosition Position;
  bool ShowLegend = true;
  TxlsChartLegendPlacement LegendPlacement = clpRight;
  bool AutoColor = true;

  int Kind() const override { return 5; }
  const char* ClassName() const override { return "TxlsChart"; }
  std::string DisplayName() const override { return Title.empty() ? ClassName() : Title; }
  const TPropList& Published() const override;
  void StartFrom(const TXLSOptions&) {}
  // Series go to the sections `section` + "_SERIES_<n>"; loading takes every such section of the
  // file, in file order.
  void SaveToIni(TIniFile& ini, const std::string& section) const;
  void LoadFromIni(const TIniFile& ini, const std::string& section);
};

enum TxlsCellType : int { ctBoolean, ctDateTime, ctNumeric, ctString };

// A fixed value at a given cell. It keeps one value per type; changing the type converts nothing.
class TxlsCell : public TxlsCustomItem {
 public:
  TxlsCell();
  TxlsCellType CellType = ctString;
  int Col = 0, Row = 0;  // 1-based
  std::string DateTimeFormat;
  std::string NumericFormat = "###,###,#0.00";
  TxlsFormat Format;
  bool BooleanValue = false;
  TDateTime DateTimeValue = 0;
  double NumericValue = 0;
  std::string StringValue;

  int Kind() const override { return 10; }
  const char* ClassName() const override { return "TxlsCell"; }
  std::string DisplayName() const override;
  const TPropList& Published() const override;
  void StartFrom(const TXLSOptions&) {}
  bool IsValid() const { return Col != 0 && Row != 0; }
  // The value of the current type as text, and set from text: a text that does not convert
  // resets the value of that type (false, now, 0, empty).
  std::string Value() const;
  void SetValue(std::string_view text);
  void SaveToIni(TIniFile& ini, const std::string& section) const;
  // Raises the conversion error of a number or date that does not convert.
  void LoadFromIni(const TIniFile& ini, const std::string& section);
};

class TxlsMergedCells : public TxlsCustomItem {
 public:
  int FirstCol = 0, FirstRow = 0, LastCol = 0, LastRow = 0;  // 1-based

  int Kind() const override { return 11; }
  const char* ClassName() const override { return "TxlsMergedCells"; }
  std::string DisplayName() const override;
  const TPropList& Published() const override;
  void StartFrom(const TXLSOptions&) {}
  bool IsValid() const { return FirstCol != 0 && FirstRow != 0 && LastCol != 0 && LastRow != 0; }
  void SaveToIni(TIniFile& ini, const std::string& section) const;
  void LoadFromIni(const TIniFile& ini, const std::string& section);
};

using TxlsHyperlinks = TxlsOwnedList<TxlsHyperlink>;
using TxlsNotes = TxlsOwnedList<TxlsNote>;
using TxlsCharts = TxlsOwnedList<TxlsChart>;
using TxlsCells = TxlsOwnedList<TxlsCell>;
using TxlsMergedCellList = TxlsOwnedList<TxlsMergedCells>;

// Which copy of the extras a value is: every copy and assignment takes a new stamp, so that a
// view over the lists (the dialog's tree) sees them replaced even when the new items happen to
// sit at the addresses of the old ones.
class TxlsCopyStamp {
 public:
  TxlsCopyStamp() : value_(Next()) {}
  TxlsCopyStamp(const TxlsCopyStamp&) : value_(Next()) {}
  TxlsCopyStamp& operator=(const TxlsCopyStamp&) {
    value_ = Next();
    return *this;
  }
  uint64_t Value() const { return value_; }

 private:
  static uint64_t Next() {
    static uint64_t last = 0;
    return ++last;
  }
  uint64_t value_;
};

// The extras of the exporter and of every sheet, copied by one assignment.
struct TxlsExtras {
  explicit TxlsExtras(const TXLSOptions* options)
      : Hyperlinks(options),
        Notes(options),
        Charts(options),
        Images(),
        Cells(options),
        MergedCells(options) {}
  TxlsHyperlinks Hyperlinks;
  TxlsNotes Notes;
  TxlsCharts Charts;
  TxlsImages Images;
  TxlsCells Cells;
  TxlsMergedCellList MergedCells;
  TxlsGraphic Background;
  TxlsCopyStamp Stamp;
};

// The options-file sections of the extras: "XLS_HYPERLINK_<n>", "XLS_NOTE_<n>", "XLS_CHART_<n>",
// "XLS_CELL_<n>", "XLS_MERGED_CELL_<n>", and for the pictures "XLS_PICTURE_<n>" (Name, FileName)
// and "XLS_IMAGE_<n>" (Col, Row, PictureName, Title, Zoom). Saving numbers each kind from 0.
void SaveExtrasToIni(const TxlsExtras& extras, const TxlsPictures* pictures, TIniFile& ini);
// Loading empties the lists, then visits the sections in file order; a section becomes an item
// only when it holds the kind's key (Col, Style, FirstCol...), so "_LINES" and "_SERIES_"
// sections never become items of their own.
void LoadExtrasFromIni(TxlsExtras& extras, TxlsPictures* pictures, const TIniFile& ini);

}  // namespace morvale

namespace morvale {

// A list published as "Name.<n>.<property>": setting a property of item n adds items up to it.
// Its text form is the number of items.
template <class List>
TPropInfo xlsListProperty(const std::string& name, const std::string& typeName,
                          std::function<List&(TPersistent&)> list) {
  TPropInfo info{name, typeName, {}, {}, {}, {}, {}};
  info.Get = [list](const TPersistent& o) {
    return std::to_string(list(const_cast<TPersistent&>(o)).Count());
  };
  info.SetKeyed = [list, name](TPersistent& o, std::string_view key, std::string_view value) {
    size_t dot = key.find('.');
    int index = dot == std::string_view::npos ? -1 : TextToInt(key.substr(0, dot), name);
    if (index < 0 || index > 65535)
      throw EPropertyError("Expected " + name + ".<0..65535>.<property>, not " + name + "." +
                           std::string(key));
    SetPropertyText(list(o).At(index), key.substr(dot + 1), value);
  };
  return info;
}

// Publishes Hyperlinks, Notes, Charts, Images, Cells, MergedCells and Background of an owner's
// extras.
void xlsAddExtrasProperties(TPropList& list, std::function<TxlsExtras&(TPersistent&)> extras);

}  // namespace morvale
