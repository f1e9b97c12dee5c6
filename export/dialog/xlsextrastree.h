// The spreadsheet page's extras as a tree: one root per kind of sheet item, one node per item of
// the page's working copy (TXLSPage::Extras), every chart with its "Series" node over its series.
// The tree never keeps items of its own: its item nodes point into the working copy's lists and
// keep their order, so what the tree adds, edits and deletes is what Start and the options file
// see. The node texts are the tree's own; nothing saves them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/dialog/model.h"

namespace morvale {

// Root kinds in the tree's order; ekSeries is the kind of a "Series" node and of its children.
enum TxlsExtraKind : int { ekHyperlink, ekNote, ekChart, ekCell, ekMergedCells, ekSeries };

class TxlsExtrasNode {
 public:
  TxlsExtrasNode(TxlsExtraKind kind, std::string text, TxlsExtrasNode* parent, TxlsCustomItem* item)
      : Kind(kind), Text(std::move(text)), Parent(parent), Item(item) {}

  TxlsExtraKind Kind;
  std::string Text;
  TxlsExtrasNode* Parent;
  // The item in the working copy; nullptr for a root and a "Series" node.
  TxlsCustomItem* Item;
  std::vector<std::unique_ptr<TxlsExtrasNode>> Children;
  bool Expanded = false;

  bool IsRoot() const { return Parent == nullptr; }
  bool IsSeriesFolder() const { return Kind == ekSeries && Item == nullptr; }
  int Index() const;  // among its siblings (roots: among the roots)
  template <class T>
  T* As() const {
    return dynamic_cast<T*>(Item);
  }
};

// An integer field of an item editor, read when it loses the focus: the text as an integer (0 when
// it is not one), kept in as many bits as the item stores (8 or 16 bits unsigned; 32 signed), and
// the text the field shows afterwards: the stored value when it prints differently from the text.
struct TxlsIntField {
  int Value;
  std::string Shown;
};
TxlsIntField xlsIntField(std::string_view text, int bits);

// "Ячейка(Кол: %d Стр: %d)", the node text of a cell.
std::string xlsCellNodeText(const TxlsCell& cell);

class TxlsExtrasTree {
 public:
  // Over the page's working copy; the tree follows whenever the page's extras are replaced
  // (an options file loaded, the page reset), see Sync.
  explicit TxlsExtrasTree(TXLSPage& page);

  // Builds the nodes anew when the page's extras were replaced since the last look; the node
  // texts are then the items' display names. True when it did.
  bool Sync();
  // Builds the nodes anew from the page's extras.
  void Rebuild();

  const std::vector<std::unique_ptr<TxlsExtrasNode>>& Roots() const { return roots_; }
  TxlsExtrasNode& Root(TxlsExtraKind kind) const { return *roots_.at(static_cast<size_t>(kind)); }

  TxlsExtrasNode* Selected() const { return selected_; }
  void Select(TxlsExtrasNode* node) { selected_ = node; }

  // Add creates an item of the selected node's kind as the last child of that kind's root (a
  // series under the chart concerned), selects it and returns it; nullptr with nothing selected.
  TxlsExtrasNode* Add();
  // Item nodes, and roots and "Series" nodes with children.
  bool CanDelete() const;
  void Delete();
  // The add and delete buttons' hints for the selected node's kind; empty with none selected.
  std::string AddHint() const;
  std::string DeleteHint() const;

  // Edits that change a node's text as well as its item.
  void SetHyperlinkTitle(TxlsExtrasNode& node, const std::string& title);
  void SetCellPlace(TxlsExtrasNode& node, int col, int row);

  // "<base>_<n>" (or "<base> <n>") with the smallest n from 1 no child of `parent` has as text,
  // compared exactly.
  static std::string FreeText(const TxlsExtrasNode& parent, const std::string& base,
                              const char* separator);

 private:
  TxlsExtrasNode& AddNode(TxlsExtrasNode& parent, TxlsExtraKind kind, std::string text,
                          TxlsCustomItem* item);
  TxlsExtrasNode& AddChartNode(TxlsChart& chart, std::string text);
  TxlsExtrasNode* AddSeries(TxlsExtrasNode& folder);
  void DeleteItemNode(TxlsExtrasNode& node);
  void ClearChildren(TxlsExtrasNode& node);
  const TxlsFormat* HyperlinkBaseFormat() const;

  TXLSPage& page_;
  std::vector<std::unique_ptr<TxlsExtrasNode>> roots_;
  TxlsExtrasNode* selected_ = nullptr;
  uint64_t stamp_ = 0;
};

}  // namespace morvale
