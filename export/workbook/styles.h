// The look of cells as small value objects: a font, six borders, a fill, an alignment and a wrap
// flag, grouped in TxlsFormat; field formats add a field name and an aggregate; note formats
// describe the box of a cell note. Every class publishes its properties, so a nested setting such
// as Options.CaptionsFormat.Font.Size can be set from text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "export/core/classes.h"
#include "export/core/graphics.h"
#include "export/core/properties.h"
#include "export/workbook/palette.h"

namespace morvale {

class TIniFile;

enum TxlsFontStyle : int { xfsBold, xfsItalic, xfsStrikeOut };
using TxlsFontStyles = unsigned;  // bit (1 << TxlsFontStyle)
constexpr TxlsFontStyles xlsStyle(TxlsFontStyle s) {
  return 1u << s;
}
enum TxlsFontScript : int { fscNone, fscSuperscript, fscSubscript };
enum TxlsFontUnderline : int {
  fulNone,
  fulSingle,
  fulDouble,
  fulSingleAccounting,
  fulDoubleAccounting
};
enum TxlsBorderStyle : int {
  bstNone,
  bstThin,
  bstMedium,
  bstDashed,
  bstDotted,
  bstThick,
  bstDouble,
  bstHair,
  bstMediumDashed,
  bstDashDot,
  bstMediumDashDot,
  bstDashDotDot,
  bstMediumDashDotDot,
  bstSlantedDashDot
};
enum TxlsPattern : int {
  ptNone,
  ptSolid,
  ptChess,
  ptWhiteSpots,
  ptBlackSpots,
  ptBoldHorizontal,
  ptBoldVertical,
  ptBoldDiagRight,
  ptBoldDiagLeft,
  ptBoldChess,
  ptRingMail,
  ptThinGorizontal,
  ptThinVertical,
  ptThinDiagLeft,
  ptThinDiagRight,
  ptCells,
  ptCrissCross,
  ptThinSpots,
  ptThinThinSpots
};
enum TxlsHorizontalAlignment : int { halGeneral, halLeft, halCenter, halRight, halFill };
enum TxlsVerticalAlignment : int { valTop, valCenter, valBottom, valJustify };
enum TxlsAggregate : int { aggNone, aggSum, aggAvg, aggMin, aggMax };
enum TxlsNoteFillType : int { nftSolid, nftGradient };
enum TxlsNoteGradient : int {
  ngrHorizontal,
  ngrVertical,
  ngrDiagonalUp,
  ngrDiagonalDown,
  ngrFromCorner,
  ngrFromCenter
};
enum TxlsOrientation : int { xrtNoRotation, xlrTopToBottom, xlrCounterClockWise, xlrClockWise };
using TxlsPercent = int;  // 0..100

class TxlsFont : public TPersistent {
 public:
  int Size = 10;
  TxlsFontStyles Style = 0;
  TxlsColor Color = clrBlack;
  TxlsFontScript Script = fscNone;
  TxlsFontUnderline Underline = fulNone;
  int Charset = 1;
  std::string Name = "arial";
  // Run time only: the font index it received when registered.
  uint16_t Index = 0;

  const TPropList& Published() const override;
  // All seven properties equal (the name exactly).
  bool operator==(const TxlsFont& o) const;
  bool Has(TxlsFontStyle s) const { return (Style & xlsStyle(s)) != 0; }
  void Set(TxlsFontStyle s, bool on) {
    Style = on ? (Style | xlsStyle(s)) : (Style & ~xlsStyle(s));
  }
  // The name is worth saving only when it is not the default font's.
  bool NameStored() const;
  // From and to a screen font; only the 16 named screen colours map onto the palette.
  void Assign(const TxlsFont& other);
  void Assign(const TFont& screen);
  void AssignTo(TFont& screen) const;
};

class TxlsBorder : public TPersistent {
 public:
  TxlsBorderStyle Style = bstNone;
  TxlsColor Color = clrBlack;
  const TPropList& Published() const override;
  bool operator==(const TxlsBorder& o) const { return Style == o.Style && Color == o.Color; }
};

class TxlsBorders : public TPersistent {
 public:
  TxlsBorder Left, Right, Top, Bottom, DiagDown, DiagUp;
  const TPropList& Published() const override;
  bool operator==(const TxlsBorders& o) const;
  bool AnyStyle() const;
};

class TxlsFill : public TPersistent {
 public:
  TxlsColor Background = clrWhite;  // the colour the pattern is drawn in
  TxlsPattern Pattern = ptNone;
  TxlsColor Foreground = clrBlack;  // the colour behind the pattern
  const TPropList& Published() const override;
  bool operator==(const TxlsFill& o) const {
    return Background == o.Background && Pattern == o.Pattern && Foreground == o.Foreground;
  }
};

class TxlsAlignment : public TPersistent {
 public:
  TxlsHorizontalAlignment Horizontal = halGeneral;
  TxlsVerticalAlignment Vertical = valBottom;
  const TPropList& Published() const override;
  bool operator==(const TxlsAlignment& o) const {
    return Horizontal == o.Horizontal && Vertical == o.Vertical;
  }
};

// The base of every item of the spreadsheet model; the kind code tells items apart.
class TxlsCustomItem : public TPersistent {
 public:
  virtual int Kind() const = 0;
  virtual std::string DisplayName() const { return ClassName(); }
  virtual const char* ClassName() const = 0;
};

class TxlsFormat : public TxlsCustomItem {
 public:
  TxlsFont Font;
  TxlsBorders Borders;
  TxlsFill Fill;
  TxlsAlignment Alignment;
  bool Wrap = false;

  int Kind() const override { return 0; }
  const char* ClassName() const override { return "TxlsFormat"; }
  std::string DisplayName() const override;
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }

  virtual void Reset();
  virtual void SaveToIni(TIniFile& ini, const std::string& section) const;
  virtual void LoadFromIni(const TIniFile& ini, const std::string& section);
  // Copies font, borders, fill, alignment and wrap (a field format's own fields stay).
  void Assign(const TxlsFormat& other);
  // The default look: arial 10 black, no borders, white fill with a white foreground, general /
  // bottom alignment, no wrap. A new format has a black foreground and so is not one.
  bool IsDefaultFormat() const;

  // Set by a collection that shows its items as "StripStyle_<n>".
  std::string DisplayPrefix;
  int CollectionIndex = 0;
};

class TxlsFieldFormat : public TxlsFormat {
 public:
  std::string FieldName;
  int Width = 0;  // kept and copied; the writer does not use it
  TxlsAggregate Aggregate = aggNone;

  int Kind() const override { return 1; }
  const char* ClassName() const override { return "TxlsFieldFormat"; }
  std::string DisplayName() const override;
  static const TPropList& ClassProps();
  const TPropList& Published() const override { return ClassProps(); }
  void Reset() override;
  void SaveToIni(TIniFile& ini, const std::string& section) const override;
  void LoadFromIni(const TIniFile& ini, const std::string& section) override;
  void Assign(const TxlsFieldFormat& other);
  using TxlsFormat::Assign;
};

class TxlsNoteFormat : public TxlsCustomItem {
 public:
  TxlsNoteFormat();
  TxlsAlignment Alignment;
  TColor BackgroundColor = 0xE1FFFF;
  TColor ForegroundColor = 0xE1FFFF;
  TxlsNoteFillType FillType = nftSolid;
  TxlsFont Font;
  TxlsPercent Transparency = 0;
  TxlsOrientation Orientation = xrtNoRotation;
  TxlsNoteGradient Gradient = ngrHorizontal;

  int Kind() const override { return 2; }
  const char* ClassName() const override { return "TxlsNoteFormat"; }
  const TPropList& Published() const override;
  void Assign(const TxlsNoteFormat& other) { *this = other; }
  void SaveToIni(TIniFile& ini, const std::string& section) const;
  void LoadFromIni(const TIniFile& ini, const std::string& section);
};

// An owned, ordered list of items; assigning copies the items by value.
template <class T>
class TxlsCollection : public TPersistent {
 public:
  TxlsCollection() = default;
  TxlsCollection(const TxlsCollection& o) : TPersistent() { *this = o; }
  TxlsCollection& operator=(const TxlsCollection& o) {
    if (this == &o) return *this;
    items_.clear();
    for (const auto& i : o.items_) items_.push_back(std::make_unique<T>(*i));
    Renumber();
    return *this;
  }
  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  T& operator[](int i) const { return *items_[static_cast<size_t>(i)]; }
  T& Add() {
    items_.push_back(std::make_unique<T>());
    Renumber();
    return *items_.back();
  }
  void Delete(int i) {
    items_.erase(items_.begin() + i);
    Renumber();
  }
  void Clear() { items_.clear(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 protected:
  virtual void Renumber() {}
  std::vector<std::unique_ptr<T>> items_;
};

class TxlsFormats : public TxlsCollection<TxlsFormat> {
 public:
  // Items of the exporter's strip styles show as "StripStyle_<index>".
  explicit TxlsFormats(bool stripStyles = false) : strip_(stripStyles) {}
  TxlsFormats(const TxlsFormats& o) : TxlsCollection(o), strip_(o.strip_) { Renumber(); }
  TxlsFormats& operator=(const TxlsFormats& o) {
    TxlsCollection::operator=(o);
    Renumber();
    return *this;
  }

 protected:
  void Renumber() override;

 private:
  bool strip_ = false;
};

class TxlsFieldFormats : public TxlsCollection<TxlsFieldFormat> {
 public:
  // First item whose FieldName equals the name ignoring case, or -1.
  int IndexOf(std::string_view name) const;
  // The item for a field, created when there is none.
  TxlsFieldFormat& ForField(std::string_view name);
};

// Enumeration names as settings text.
const std::vector<std::string>& xlsBorderStyleNames();
const std::vector<std::string>& xlsPatternNames();
const std::vector<std::string>& xlsAggregateNames();

}  // namespace morvale
