#include "export/dialog/xlsextrastree.h"

#include <algorithm>

#include "export/core/numfmt.h"
#include "export/core/translate.h"

namespace morvale {

namespace {

// The fixed nodes' texts, shown in the interface's language (the items' own names are data: they
// become the titles written to the workbook).
constexpr const char* kRootTexts[] = {
    MVL_TEXT_NOOP("ExportDialog", "Гиперссылки"), MVL_TEXT_NOOP("ExportDialog", "Примечания"),
    MVL_TEXT_NOOP("ExportDialog", "Диаграммы"), MVL_TEXT_NOOP("ExportDialog", "Ячейки"),
    MVL_TEXT_NOOP("ExportDialog", "Объединенные ячейки")};
constexpr const char* kSeriesFolderText = MVL_TEXT_NOOP("ExportDialog", "Ряды");

struct TKindHints {
  const char* Add;
  const char* Delete;
};
// By TxlsExtraKind.
constexpr TKindHints kHints[] = {
    {MVL_TEXT_NOOP("ExportDialog", "Добавить гиперссылку"),
     MVL_TEXT_NOOP("ExportDialog", "Удалить гиперссылку")},
    {MVL_TEXT_NOOP("ExportDialog", "Добавить примечание"),
     MVL_TEXT_NOOP("ExportDialog", "Удалить примечание")},
    {MVL_TEXT_NOOP("ExportDialog", "Добавить диаграмму"),
     MVL_TEXT_NOOP("ExportDialog", "Удалить диаграмму")},
    {MVL_TEXT_NOOP("ExportDialog", "Добавить ячейку"),
     MVL_TEXT_NOOP("ExportDialog", "Удалить ячейку")},
    {MVL_TEXT_NOOP("ExportDialog", "Добавить объед. ячейку"),
     MVL_TEXT_NOOP("ExportDialog", "Удалить объед. ячейку")},
    {MVL_TEXT_NOOP("ExportDialog", "Добавить ряд"), MVL_TEXT_NOOP("ExportDialog", "Удалить ряд")}};

// Runs `f` on the list that holds the items of a node's children (a root or a "Series" node), or
// the item of an item node: the lists keep the nodes' order, so a node's index is its item's.
template <class F>
void WithList(TxlsExtras& e, const TxlsExtrasNode& node, F f) {
  const TxlsExtrasNode& owner = node.Item ? *node.Parent : node;
  switch (owner.Kind) {
    case ekHyperlink:
      f(e.Hyperlinks);
      break;
    case ekNote:
      f(e.Notes);
      break;
    case ekChart:
      f(e.Charts);
      break;
    case ekCell:
      f(e.Cells);
      break;
    case ekMergedCells:
      f(e.MergedCells);
      break;
    case ekSeries:
      f(owner.Parent->As<TxlsChart>()->Series);
      break;
  }
}

}  // namespace

int TxlsExtrasNode::Index() const {
  if (!Parent) return Kind;
  const auto& siblings = Parent->Children;
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].get() == this) return static_cast<int>(i);
  return -1;
}

TxlsIntField xlsIntField(std::string_view text, int bits) {
  int32_t v = 0;
  if (!TryStrToInt(text, v)) v = 0;
  // The items keep 8- and 16-bit fields unsigned, as the workbook records do.
  if (bits == 8) v &= 0xFF;
  if (bits == 16) v &= 0xFFFF;
  std::string printed = std::to_string(v);
  return {v, printed == text ? std::string(text) : printed};
}

std::string xlsCellNodeText(const TxlsCell& cell) {
  return Format(TranslateText("ExportDialog", "Ячейка(Кол: %s Стр: %s)"),
                {std::to_string(cell.Col), std::to_string(cell.Row)});
}

TxlsExtrasTree::TxlsExtrasTree(TXLSPage& page) : page_(page) {
  Rebuild();
}

bool TxlsExtrasTree::Sync() {
  if (stamp_ == page_.Extras.Stamp.Value()) return false;
  Rebuild();
  return true;
}

void TxlsExtrasTree::Rebuild() {
  selected_ = nullptr;
  roots_.clear();
  for (int k = ekHyperlink; k <= ekMergedCells; ++k)
    roots_.push_back(std::make_unique<TxlsExtrasNode>(static_cast<TxlsExtraKind>(k),
                                                      TranslateText("ExportDialog", kRootTexts[k]),
                                                      nullptr, nullptr));
  TxlsExtras& e = page_.Extras;
  for (const auto& h : e.Hyperlinks)
    AddNode(Root(ekHyperlink), ekHyperlink, h->DisplayName(), h.get());
  for (const auto& n : e.Notes) AddNode(Root(ekNote), ekNote, n->DisplayName(), n.get());
  for (const auto& c : e.Charts) {
    TxlsExtrasNode& folder = *AddChartNode(*c, c->DisplayName()).Children.front();
    for (const auto& s : c->Series) AddNode(folder, ekSeries, s->DisplayName(), s.get());
  }
  for (const auto& c : e.Cells) AddNode(Root(ekCell), ekCell, c->DisplayName(), c.get());
  for (const auto& m : e.MergedCells)
    AddNode(Root(ekMergedCells), ekMergedCells, m->DisplayName(), m.get());
  stamp_ = e.Stamp.Value();
}

TxlsExtrasNode& TxlsExtrasTree::AddNode(TxlsExtrasNode& parent, TxlsExtraKind kind,
                                        std::string text, TxlsCustomItem* item) {
  parent.Children.push_back(std::make_unique<TxlsExtrasNode>(kind, std::move(text), &parent, item));
  return *parent.Children.back();
}

TxlsExtrasNode& TxlsExtrasTree::AddChartNode(TxlsChart& chart, std::string text) {
  TxlsExtrasNode& node = AddNode(Root(ekChart), ekChart, std::move(text), &chart);
  AddNode(node, ekSeries, TranslateText("ExportDialog", kSeriesFolderText), nullptr);
  return node;
}

std::string TxlsExtrasTree::FreeText(const TxlsExtrasNode& parent, const std::string& base,
                                     const char* separator) {
  for (int n = 1;; ++n) {
    std::string text = base + separator + std::to_string(n);
    if (std::none_of(parent.Children.begin(), parent.Children.end(),
                     [&](const auto& c) { return c->Text == text; }))
      return text;
  }
}

const TxlsFormat* TxlsExtrasTree::HyperlinkBaseFormat() const {
  for (const TNamedXlsFormat& f : page_.BaseFormats)
    if (f.Caption == "HYPERLINK") return &f.Format;
  return nullptr;
}

TxlsExtrasNode* TxlsExtrasTree::Add() {
  if (!selected_) return nullptr;
  TxlsExtras& e = page_.Extras;
  TxlsExtrasNode* node = nullptr;
  switch (selected_->Kind) {
    case ekHyperlink: {
      TxlsExtrasNode& root = Root(ekHyperlink);
      std::string text = FreeText(root, "Hyperlink", "_");
      TxlsHyperlink& link = e.Hyperlinks.Add();
      if (const TxlsFormat* base = HyperlinkBaseFormat()) link.Format.Assign(*base);
      link.Title = text;
      node = &AddNode(root, ekHyperlink, std::move(text), &link);
      break;
    }
    case ekNote: {
      TxlsExtrasNode& root = Root(ekNote);
      node = &AddNode(root, ekNote, FreeText(root, "Note", "_"), &e.Notes.Add());
      break;
    }
    case ekChart: {
      std::string text = FreeText(Root(ekChart), "Chart", "_");
      TxlsChart& chart = e.Charts.Add();
      chart.Title = text;
      node = &AddChartNode(chart, std::move(text));
      node->Expanded = true;
      break;
    }
    case ekSeries:
      node = AddSeries(selected_->IsSeriesFolder() ? *selected_ : *selected_->Parent);
      break;
    case ekCell: {
      TxlsCell& cell = e.Cells.Add();
      node = &AddNode(Root(ekCell), ekCell, xlsCellNodeText(cell), &cell);
      break;
    }
    case ekMergedCells: {
      TxlsExtrasNode& root = Root(ekMergedCells);
      node = &AddNode(root, ekMergedCells,
                      FreeText(root, TranslateText("ExportDialog", "Объед. ячейки"), " "),
                      &e.MergedCells.Add());
      break;
    }
  }
  node->Parent->Expanded = true;
  selected_ = node;
  return node;
}

TxlsExtrasNode* TxlsExtrasTree::AddSeries(TxlsExtrasNode& folder) {
  TxlsChart* chart = folder.Parent->As<TxlsChart>();
  std::string text = FreeText(folder, "Series", "_");
  TxlsChartSeries& series = chart->Series.Add();
  series.Title = text;
  return &AddNode(folder, ekSeries, std::move(text), &series);
}

bool TxlsExtrasTree::CanDelete() const {
  if (!selected_) return false;
  if (selected_->Item) return true;
  return !selected_->Children.empty();
}

void TxlsExtrasTree::Delete() {
  if (!CanDelete()) return;
  if (selected_->Item)
    DeleteItemNode(*selected_);
  else
    ClearChildren(*selected_);
}

void TxlsExtrasTree::DeleteItemNode(TxlsExtrasNode& node) {
  TxlsExtrasNode& parent = *node.Parent;
  const int at = node.Index();
  WithList(page_.Extras, node, [at](auto& list) { list.Delete(at); });
  parent.Children.erase(parent.Children.begin() + at);
  // Focus stays where the user was: the next sibling, else the last one, else the parent.
  const int count = static_cast<int>(parent.Children.size());
  if (count == 0)
    selected_ = &parent;
  else
    selected_ = parent.Children[static_cast<size_t>(std::min(at, count - 1))].get();
}

void TxlsExtrasTree::ClearChildren(TxlsExtrasNode& node) {
  WithList(page_.Extras, node, [](auto& list) { list.Clear(); });
  node.Children.clear();
}

std::string TxlsExtrasTree::AddHint() const {
  return selected_ ? TranslateText("ExportDialog", kHints[selected_->Kind].Add) : "";
}

std::string TxlsExtrasTree::DeleteHint() const {
  return selected_ ? TranslateText("ExportDialog", kHints[selected_->Kind].Delete) : "";
}

void TxlsExtrasTree::SetHyperlinkTitle(TxlsExtrasNode& node, const std::string& title) {
  if (TxlsHyperlink* link = node.As<TxlsHyperlink>()) {
    link->Title = title;
    node.Text = title;
  }
}

void TxlsExtrasTree::SetCellPlace(TxlsExtrasNode& node, int col, int row) {
  if (TxlsCell* cell = node.As<TxlsCell>()) {
    cell->Col = col;
    cell->Row = row;
    node.Text = xlsCellNodeText(*cell);
  }
}

}  // namespace morvale
