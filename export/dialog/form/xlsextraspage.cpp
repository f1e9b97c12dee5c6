#include "export/dialog/form/xlsextraspage.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>

#include "export/dialog/form/xlsextrasfields.h"
#include "export/dialog/form/xlsformateditor.h"

namespace morvale::form {

namespace {

TxlsExtrasNode* NodeOf(const QTreeWidgetItem* item) {
  return item ? reinterpret_cast<TxlsExtrasNode*>(item->data(0, Qt::UserRole).value<quintptr>())
              : nullptr;
}

// The format page's editor and the cell's one sit on the same form; widgets are found by their
// names (tests, accessibility tools), so the cell's copy takes names of its own: "XLS" becomes
// "Cell" (cbxXLSFontName: cbxCellFontName).
void NameApart(QWidget* editor) {
  for (QObject* o : editor->findChildren<QObject*>()) {
    QString name = o->objectName();
    if (name.contains(QLatin1String("XLS")))
      o->setObjectName(name.replace(QLatin1String("XLS"), QLatin1String("Cell")));
  }
}

}  // namespace

TxlsExtrasPage::TxlsExtrasPage(TXLSPage& page, QStringList columns, QWidget* parent)
    : QWidget(parent), tree_(page), columns_(std::move(columns)) {
  setObjectName(QStringLiteral("tsXLSExtensions"));
  auto* tools = new QHBoxLayout;
  tbAdd_ = Named(new QToolButton, "tbXLSAddExtra");
  tbAdd_->setText(QStringLiteral("+"));
  tbDelete_ = Named(new QToolButton, "tbXLSDeleteExtra");
  tbDelete_->setText(QStringLiteral("−"));
  tools->addWidget(tbAdd_);
  tools->addWidget(tbDelete_);
  tools->addStretch();
  tvExtras_ = Named(new QTreeWidget, "tvXLSExtras");
  tvExtras_->setHeaderHidden(true);
  tvExtras_->setMinimumWidth(180);
  auto* left = new QWidget;
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  leftLayout->addLayout(tools);
  leftLayout->addWidget(tvExtras_);

  editors_ = Named(new QStackedWidget, "nbXLSExtraEditors");
  show_.resize(ekSeries + 1);
  // In the order of TxlsExtraKind.
  QWidget* (TxlsExtrasPage::*const builders[])() = {
      &TxlsExtrasPage::BuildHyperlinkEditor, &TxlsExtrasPage::BuildNoteEditor,
      &TxlsExtrasPage::BuildChartEditor,     &TxlsExtrasPage::BuildCellEditor,
      &TxlsExtrasPage::BuildMergedEditor,    &TxlsExtrasPage::BuildSeriesEditor};
  for (building_ = 0; building_ <= ekSeries; ++building_)
    editors_->addWidget((this->*builders[building_])());

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(left, 2);
  layout->addWidget(editors_, 3);

  connect(tbAdd_, &QToolButton::clicked, this, &TxlsExtrasPage::tbAddExtraClick);
  connect(tbDelete_, &QToolButton::clicked, this, &TxlsExtrasPage::tbDeleteExtraClick);
  connect(tvExtras_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* now) {
    if (showing_) return;
    tree_.Select(NodeOf(now));
    SelectionChanged();
  });
  auto expanded = [](bool on) {
    return [on](QTreeWidgetItem* item) {
      if (TxlsExtrasNode* n = NodeOf(item)) n->Expanded = on;
    };
  };
  connect(tvExtras_, &QTreeWidget::itemExpanded, this, expanded(true));
  connect(tvExtras_, &QTreeWidget::itemCollapsed, this, expanded(false));
  ShowTree();
}

TxlsExtrasPage::~TxlsExtrasPage() = default;

void TxlsExtrasPage::Refresh() {
  if (tree_.Sync())
    ShowTree();
  else
    ShowEditor();
}

void TxlsExtrasPage::tbAddExtraClick() {
  if (!tree_.Add()) return;
  ShowTree();
  tvExtras_->setFocus();
}

void TxlsExtrasPage::tbDeleteExtraClick() {
  if (!tree_.CanDelete()) return;
  tree_.Delete();
  ShowTree();
}

// ---- the tree --------------------------------------------------------------------------------

void TxlsExtrasPage::ShowTree() {
  ++showing_;
  tvExtras_->clear();
  QTreeWidgetItem* current = nullptr;
  std::function<void(QTreeWidgetItem*, const TxlsExtrasNode&)> add =
      [&](QTreeWidgetItem* item, const TxlsExtrasNode& node) {
        item->setText(0, Q(node.Text));
        item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(&node)));
        if (&node == tree_.Selected()) current = item;
        for (const auto& child : node.Children) add(new QTreeWidgetItem(item), *child);
      };
  for (const auto& root : tree_.Roots()) add(new QTreeWidgetItem(tvExtras_), *root);
  // Expanding after every item exists: a parent expands only with children in place.
  std::function<void(QTreeWidgetItem*)> expand = [&](QTreeWidgetItem* item) {
    item->setExpanded(NodeOf(item)->Expanded);
    for (int i = 0; i < item->childCount(); ++i) expand(item->child(i));
  };
  for (int i = 0; i < tvExtras_->topLevelItemCount(); ++i) expand(tvExtras_->topLevelItem(i));
  tvExtras_->setCurrentItem(current);
  --showing_;
  SelectionChanged();
}

void TxlsExtrasPage::SelectionChanged() {
  tbAdd_->setToolTip(Q(tree_.AddHint()));
  tbDelete_->setToolTip(Q(tree_.DeleteHint()));
  tbAdd_->setEnabled(tree_.Selected() != nullptr);
  tbDelete_->setEnabled(tree_.CanDelete());
  ShowEditor();
}

void TxlsExtrasPage::ShowEditor() {
  const TxlsExtrasNode* node = tree_.Selected();
  // Nothing here changes the page's geometry: this runs inside the tree's mouse press, which
  // goes on to select what lies under the pointer.
  editors_->setEnabled(node != nullptr);
  if (!node) {
    cellFormat_->SetFormats({}, nullptr, false);
    return;
  }
  editors_->setCurrentIndex(node->Kind);
  QWidget* editor = editors_->currentWidget();
  editor->setEnabled(node->Item != nullptr);
  // A cell's editor carries the format sheets, which have nothing to show without a cell.
  editor->setVisible(node->Kind != ekCell || node->Item);
  ++showing_;
  if (node->Item)
    for (const auto& show : show_[static_cast<size_t>(node->Kind)]) show();
  --showing_;
  TxlsCell* cell = Item<TxlsCell>();
  TxlsFormat* format = cell ? &cell->Format : nullptr;
  cellFormat_->SetFormats(format ? std::vector<TxlsFormat*>{format} : std::vector<TxlsFormat*>{},
                          format, false);
}

void TxlsExtrasPage::UpdateNodeText(TxlsExtrasNode& node) {
  if (node.Kind == ekCell)
    tree_.SetCellPlace(node, node.As<TxlsCell>()->Col, node.As<TxlsCell>()->Row);
  if (QTreeWidgetItem* item = tvExtras_->currentItem())
    if (NodeOf(item) == &node) item->setText(0, Q(node.Text));
}

bool TxlsExtrasPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    auto it = focusOut_.find(watched);
    if (it != focusOut_.end()) it->second();
  }
  return QWidget::eventFilter(watched, event);
}

// ---- hyperlink ---------------------------------------------------------------------------------

QWidget* TxlsExtrasPage::BuildHyperlinkEditor() {
  using T = TxlsHyperlink;
  QFormLayout* f = Form();
  QLineEdit* col = IntField<T>("edHyperlinkCol", 16, [](T& h) -> int& { return h.Col; });
  QLineEdit* row = IntField<T>("edHyperlinkRow", 16, [](T& h) -> int& { return h.Row; });
  QComboBox* style = IndexField<T>(
      "cbxHyperlinkStyle", {tr("URL"), tr("Локальный файл")}, [](T& h) { return int(h.Style); },
      [](T& h, int i) { h.Style = static_cast<TxlsHyperlinkStyle>(i); });
  QLineEdit* title = Named(new QLineEdit, "edHyperlinkTitle");
  connect(title, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (!Item<T>() || showing_) return;
    tree_.SetHyperlinkTitle(*tree_.Selected(), S(text));
    UpdateNodeText(*tree_.Selected());
  });
  QLineEdit* target =
      TextField<T>("edHyperlinkTarget", [](T& h, const std::string& v) { h.Target = v; });
  QLineEdit* tip =
      TextField<T>("edHyperlinkScreenTip", [](T& h, const std::string& v) { h.ScreenTip = v; });
  OnShow([this, title, target, tip] {
    T* h = Item<T>();
    title->setText(Q(h->Title));
    target->setText(Q(h->Target));
    tip->setText(Q(h->ScreenTip));
  });
  f->addRow(Label(tr("Кол."), col), col);
  f->addRow(Label(tr("Стр."), row), row);
  f->addRow(Label(tr(" Тип "), style), style);
  f->addRow(Label(tr("Заголовок"), title), title);
  f->addRow(Label(tr("Адрес"), target), target);
  f->addRow(Label(tr("Подсказка"), tip), tip);
  return Named(Stretched(f), "tsHyperlinkEditor");
}

// ---- extra cell --------------------------------------------------------------------------------

QWidget* TxlsExtrasPage::BuildCellEditor() {
  using T = TxlsCell;
  QFormLayout* f = Form();
  QLineEdit* col = IntField<T>(
      "edCellCol", 16, [](T& c) -> int& { return c.Col; }, true);
  QLineEdit* row = IntField<T>(
      "edCellRow", 16, [](T& c) -> int& { return c.Row; }, true);
  QLineEdit* value = Named(new QLineEdit, "edCellValue");
  QLineEdit* dateFormat = TextField<T>("edCellDateTimeFormat",
                                       [](T& c, const std::string& v) { c.DateTimeFormat = v; });
  QLineEdit* numberFormat =
      TextField<T>("edCellNumericFormat", [](T& c, const std::string& v) { c.NumericFormat = v; });
  // The stored value of each type stays; changing the type shows that type's.
  QComboBox* type = IndexField<T>(
      "cbxCellType", {tr("Логичекий"), tr("Дата-Время"), tr("Числовой"), tr("Строковый")},
      [](T& c) { return int(c.CellType); },
      [this, value, dateFormat, numberFormat](T& c, int i) {
        c.CellType = static_cast<TxlsCellType>(i);
        ++showing_;
        value->setText(Q(c.Value()));
        dateFormat->setEnabled(c.CellType == ctDateTime);
        numberFormat->setEnabled(c.CellType == ctNumeric);
        --showing_;
      });
  connect(value, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (T* c = Item<T>(); c && !showing_) c->SetValue(S(text));
  });
  OnShow([this, value, dateFormat, numberFormat] {
    const T* c = Item<T>();
    value->setText(Q(c->Value()));
    dateFormat->setText(Q(c->DateTimeFormat));
    numberFormat->setText(Q(c->NumericFormat));
    dateFormat->setEnabled(c->CellType == ctDateTime);
    numberFormat->setEnabled(c->CellType == ctNumeric);
  });
  f->addRow(Label(tr("Кол"), col), col);
  f->addRow(Label(tr("Стр"), row), row);
  f->addRow(Label(tr("Тип ячейки"), type), type);
  f->addRow(Label(tr("Значение"), value), value);
  f->addRow(Label(tr("Формат Даты-Времени"), dateFormat), dateFormat);
  f->addRow(Label(tr("Числовой формат"), numberFormat), numberFormat);
  // The cell's format is edited with the sheets of the format editor, behind "Общее".
  cellFormat_ = new TxlsFormatEditor;
  NameApart(cellFormat_);
  cellFormat_->setObjectName(QStringLiteral("pcCellEditor"));
  cellSheets_ = cellFormat_->Sheets();
  cellSheets_->insertTab(0, Named(Stretched(f), "tsCellGeneral"), tr("Общее"));
  cellSheets_->setCurrentIndex(0);
  return cellFormat_;
}

// ---- merged range ------------------------------------------------------------------------------

QWidget* TxlsExtrasPage::BuildMergedEditor() {
  using T = TxlsMergedCells;
  QFormLayout* f = Form();
  QLineEdit* firstCol =
      IntField<T>("edMergedFirstCol", 16, [](T& m) -> int& { return m.FirstCol; });
  QLineEdit* firstRow =
      IntField<T>("edMergedFirstRow", 16, [](T& m) -> int& { return m.FirstRow; });
  QLineEdit* lastCol = IntField<T>("edMergedLastCol", 16, [](T& m) -> int& { return m.LastCol; });
  QLineEdit* lastRow = IntField<T>("edMergedLastRow", 16, [](T& m) -> int& { return m.LastRow; });
  f->addRow(Label(tr("Перв. Кол."), firstCol), firstCol);
  f->addRow(Label(tr("Перв. Стр"), firstRow), firstRow);
  f->addRow(Label(tr("Посл. Кол"), lastCol), lastCol);
  f->addRow(Label(tr("Посл. Стр"), lastRow), lastRow);
  return Named(Stretched(f), "tsMergedEditor");
}

}  // namespace morvale::form
