#include "export/dialog/form/xlsextraspage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "export/dialog/form/binder.h"
#include "export/dialog/form/prompts.h"
#include "export/dialog/form/xlscolorchooser.h"
#include "export/dialog/form/xlsformateditor.h"
#include "export/xls/palette.h"

namespace morvale::form {

namespace {

TxlsExtrasNode* NodeOf(const QTreeWidgetItem* item) {
  return item ? reinterpret_cast<TxlsExtrasNode*>(item->data(0, Qt::UserRole).value<quintptr>())
              : nullptr;
}

QLabel* Label(const QString& text, QWidget* buddy) {
  auto* l = new QLabel(text);
  l->setBuddy(buddy);
  return l;
}

template <class W>
W* Named(W* w, const char* name) {
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

QComboBox* Choice(const char* name, const QStringList& items) {
  auto* c = Named(new QComboBox, name);
  c->addItems(items);
  return c;
}

// The screen's font sizes offered for a note; the text is free.
const QStringList kNoteSizes = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                                "20", "22", "24", "26", "28", "36", "48", "72"};

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

// ---- field helpers -----------------------------------------------------------------------------

template <class T>
QLineEdit* TxlsExtrasPage::IntField(const char* name, int bits, std::function<int&(T&)> field,
                                    bool onEnter) {
  auto* edit = Named(new QLineEdit, name);
  edit->setMaximumWidth(90);
  auto read = [this, edit, bits, field] {
    T* item = Item<T>();
    if (!item || showing_) return;
    const TxlsIntField v = xlsIntField(S(edit->text()), bits);
    field(*item) = v.Value;
    if (edit->text() != Q(v.Shown)) edit->setText(Q(v.Shown));
    UpdateNodeText(*tree_.Selected());
  };
  edit->installEventFilter(this);
  focusOut_[edit] = read;
  if (onEnter) connect(edit, &QLineEdit::returnPressed, this, read);
  OnShow([this, edit, field] {
    if (T* item = Item<T>()) edit->setText(QString::number(field(*item)));
  });
  return edit;
}

template <class T>
QLineEdit* TxlsExtrasPage::TextField(const char* name,
                                     std::function<void(T&, const std::string&)> set) {
  auto* edit = Named(new QLineEdit, name);
  connect(edit, &QLineEdit::textEdited, this, [this, set](const QString& text) {
    if (T* item = Item<T>(); item && !showing_) set(*item, S(text));
  });
  return edit;
}

template <class T>
QComboBox* TxlsExtrasPage::ColumnField(const char* name, std::function<std::string&(T&)> field) {
  QComboBox* box = Choice(name, columns_);
  connect(box, &QComboBox::activated, this, [this, box, field](int i) {
    if (T* item = Item<T>(); item && !showing_ && i >= 0) field(*item) = S(box->itemText(i));
  });
  // A column the export no longer has shows as no choice.
  OnShow([this, box, field] {
    if (T* item = Item<T>()) box->setCurrentIndex(box->findText(Q(field(*item))));
  });
  return box;
}

template <class T>
QComboBox* TxlsExtrasPage::IndexField(const char* name, const QStringList& items,
                                      std::function<int(T&)> get,
                                      std::function<void(T&, int)> set) {
  QComboBox* box = Choice(name, items);
  connect(box, &QComboBox::activated, this, [this, set](int i) {
    if (T* item = Item<T>(); item && !showing_ && i >= 0) set(*item, i);
  });
  OnShow([this, box, get] {
    if (T* item = Item<T>()) box->setCurrentIndex(get(*item));
  });
  return box;
}

namespace {

// Toggle buttons of the note font, captioned and hinted as in the cell format editor.
QToolButton* Toggle(const char* name, const QString& text, const QString& hint) {
  auto* b = Named(new QToolButton, name);
  b->setText(text);
  b->setToolTip(hint);
  b->setCheckable(true);
  return b;
}

QRadioButton* Radio(const char* name, const QString& text) {
  return Named(new QRadioButton(text), name);
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

QWidget* Page(QLayout* layout) {
  auto* w = new QWidget;
  w->setLayout(layout);
  return w;
}

// A form of label and field rows with room below.
QFormLayout* Form() {
  auto* f = new QFormLayout;
  f->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  return f;
}

QWidget* Stretched(QFormLayout* form) {
  auto* v = new QVBoxLayout;
  v->addLayout(form);
  v->addStretch();
  return Page(v);
}

}  // namespace

// ---- hyperlink ---------------------------------------------------------------------------------

QWidget* TxlsExtrasPage::BuildHyperlinkEditor() {
  using T = TxlsHyperlink;
  QFormLayout* f = Form();
  QLineEdit* col = IntField<T>("edHyperlinkCol", 16, [](T& h) -> int& { return h.Col; });
  QLineEdit* row = IntField<T>("edHyperlinkRow", 16, [](T& h) -> int& { return h.Row; });
  QComboBox* style = IndexField<T>(
      "cbxHyperlinkStyle", {tr("URL"), tr("Local File")}, [](T& h) { return int(h.Style); },
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
  f->addRow(Label(tr("Col"), col), col);
  f->addRow(Label(tr("Row"), row), row);
  f->addRow(Label(tr(" Style "), style), style);
  f->addRow(Label(tr("Title"), title), title);
  f->addRow(Label(tr("Target"), target), target);
  f->addRow(Label(tr("Подсказка"), tip), tip);
  return Named(Stretched(f), "tsHyperlinkEditor");
}

// ---- note --------------------------------------------------------------------------------------

QWidget* TxlsExtrasPage::BuildNoteEditor() {
  using T = TxlsNote;
  auto* sheets = Named(new QTabWidget, "pcNoteEditor");
  QFormLayout* f = Form();
  QLineEdit* col = IntField<T>("edNoteCol", 16, [](T& n) -> int& { return n.Col; });
  QLineEdit* row = IntField<T>("edNoteRow", 16, [](T& n) -> int& { return n.Row; });
  auto* text = Named(new QPlainTextEdit, "meNoteText");
  connect(text, &QPlainTextEdit::textChanged, this, [this, text] {
    if (T* n = Item<T>(); n && !showing_) {
      n->Lines.Clear();
      for (const QString& line : text->toPlainText().split(QLatin1Char('\n')))
        n->Lines.Add(S(line));
    }
  });
  OnShow([this, text] {
    QStringList lines;
    const T* n = Item<T>();
    for (int i = 0; i < n->Lines.Count(); ++i) lines << Q(n->Lines[i]);
    text->setPlainText(lines.join(QLatin1Char('\n')));
  });
  f->addRow(Label(tr("Col"), col), col);
  f->addRow(Label(tr("Row"), row), row);
  f->addRow(Label(tr("Text"), text), text);
  sheets->addTab(Named(Page(f), "tsNoteBase"), tr("Base"));
  sheets->addTab(BuildNoteFontSheet(), tr("Font"));
  sheets->addTab(BuildNoteFillSheet(), tr("Fill"));
  return sheets;
}

QWidget* TxlsExtrasPage::BuildNoteFontSheet() {
  using T = TxlsNote;
  QFormLayout* f = Form();
  auto* name = Named(new QFontComboBox, "cbxNoteFontName");
  connect(name, &QFontComboBox::currentFontChanged, this, [this](const QFont& font) {
    if (T* n = Item<T>(); n && !showing_) n->Format.Font.Name = S(font.family());
  });
  QComboBox* size = Choice("cbxNoteFontSize", kNoteSizes);
  size->setEditable(true);
  connect(size, &QComboBox::currentTextChanged, this, [this](const QString& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (T* n = Item<T>(); n && !showing_) n->Format.Font.Size = ok ? v : 8;
  });
  auto* color = Named(new QToolButton, "tbNoteFontColor");
  color->setToolTip(tr("Цвет Шрифта"));
  connect(color, &QToolButton::clicked, this, [this, color] {
    if (T* n = Item<T>()) {
      n->Format.Font.Color = ChooseColor(this, n->Format.Font.Color);
      ShowColor(color, xlsColorToScreen(n->Format.Font.Color));
    }
  });

  // Style bits, then the underlines and the horizontal alignment: each toggle sets its value while
  // down and the plain value when released; the vertical alignment is one of three.
  auto* styles = new QHBoxLayout;
  const struct {
    const char* name;
    const char* text;
    const char* hint;
    TxlsFontStyle bit;
  } bits[] = {{"tbNoteBold", "Ж", "Жирный", xfsBold},
              {"tbNoteItalic", "К", "Наклонный", xfsItalic},
              {"tbNoteStrikeOut", "З", "Перечеркнутый", xfsStrikeOut}};
  for (const auto& b : bits) {
    QToolButton* t = Toggle(b.name, tr(b.text), tr(b.hint));
    const TxlsFontStyle bit = b.bit;
    connect(t, &QToolButton::toggled, this, [this, bit](bool on) {
      if (T* n = Item<T>(); n && !showing_) {
        TxlsFontStyles& s = n->Format.Font.Style;
        s = on ? (s | xlsStyle(bit)) : (s & ~xlsStyle(bit));
      }
    });
    OnShow([this, t, bit] { t->setChecked(Item<T>()->Format.Font.Has(bit)); });
    styles->addWidget(t);
  }
  auto group = [this](QHBoxLayout* row,
                      std::vector<std::tuple<const char*, const char*, const char*, int>> buttons,
                      std::function<int(T&)> get, std::function<void(T&, int)> set, int released) {
    auto* g = new QButtonGroup(this);
    g->setExclusive(false);
    for (const auto& [name, text, hint, value] : buttons) {
      QToolButton* t = Toggle(name, tr(text), tr(hint));
      g->addButton(t, value);
      row->addWidget(t);
    }
    connect(g, &QButtonGroup::idToggled, this, [this, g, get, set, released](int id, bool on) {
      T* n = Item<T>();
      if (!n || showing_) return;
      ++showing_;
      for (QAbstractButton* other : g->buttons())
        if (g->id(other) != id) other->setChecked(false);
      --showing_;
      if (on)
        set(*n, id);
      else if (get(*n) == id)
        set(*n, released);
    });
    OnShow([this, g, get] {
      const int v = get(*Item<T>());
      for (QAbstractButton* b : g->buttons()) b->setChecked(g->id(b) == v);
    });
  };
  auto* underline = new QHBoxLayout;
  group(
      underline,
      {{"tbNoteUnderlineSingle", "Ч", "Одинарное подчеркивание", fulSingle},
       {"tbNoteUnderlineDouble", "Ч²", "Двойное подчеркивание", fulDouble},
       {"tbNoteUnderlineSingleAccounting", "Ч с", "Одинарное подчеркивание по словам",
        fulSingleAccounting},
       {"tbNoteUnderlineDoubleAccounting", "Ч² с", "Двойное подчеркивание по словам",
        fulDoubleAccounting}},
      [](T& n) { return int(n.Format.Font.Underline); },
      [](T& n, int v) { n.Format.Font.Underline = static_cast<TxlsFontUnderline>(v); }, fulNone);
  auto* horizontal = new QHBoxLayout;
  group(
      horizontal,
      {{"tbNoteAlignLeft", "Лев.", "По левому краю", halLeft},
       {"tbNoteAlignCenter", "Центр", "По центру", halCenter},
       {"tbNoteAlignRight", "Прав.", "По правому краю", halRight},
       {"tbNoteAlignFill", "Шир.", "По ширине", halFill}},
      [](T& n) { return int(n.Format.Alignment.Horizontal); },
      [](T& n, int v) { n.Format.Alignment.Horizontal = static_cast<TxlsHorizontalAlignment>(v); },
      halGeneral);
  auto* vertical = new QHBoxLayout;
  {
    auto* g = new QButtonGroup(this);
    const std::tuple<const char*, const char*, const char*, int> buttons[] = {
        {"tbNoteAlignTop", "Верх", "По верхнему краю", valTop},
        {"tbNoteAlignMiddle", "Середина", "По центру", valCenter},
        {"tbNoteAlignBottom", "Низ", "По нижнему краю", valBottom}};
    for (const auto& [name, text, hint, value] : buttons) {
      QToolButton* t = Toggle(name, tr(text), tr(hint));
      g->addButton(t, value);
      vertical->addWidget(t);
    }
    connect(g, &QButtonGroup::idClicked, this, [this](int id) {
      if (T* n = Item<T>(); n && !showing_)
        n->Format.Alignment.Vertical = static_cast<TxlsVerticalAlignment>(id);
    });
    OnShow([this, g] {
      if (QAbstractButton* b = g->button(Item<T>()->Format.Alignment.Vertical)) b->setChecked(true);
    });
  }
  for (QHBoxLayout* row : {styles, underline, horizontal, vertical}) row->addStretch();

  auto* orientation = Named(new QGroupBox(tr(" Orientation ")), "gbNoteOrientation");
  auto* orientationLayout = new QVBoxLayout(orientation);
  auto* orientations = new QButtonGroup(this);
  const char* const orientationTexts[] = {"No Rotation", "Top to bottom", "Counter clock wise",
                                          "Clock wise"};
  const char* const orientationNames[] = {"rbNoteNoRotation", "rbNoteTopToBottom",
                                          "rbNoteCounterClockWise", "rbNoteClockWise"};
  for (int i = 0; i < 4; ++i) {
    QRadioButton* r = Radio(orientationNames[i], tr(orientationTexts[i]));
    orientations->addButton(r, i);
    orientationLayout->addWidget(r);
  }
  connect(orientations, &QButtonGroup::idClicked, this, [this](int id) {
    if (T* n = Item<T>(); n && !showing_) n->Format.Orientation = static_cast<TxlsOrientation>(id);
  });

  OnShow([this, name, size, color, orientations] {
    const TxlsNoteFormat& fmt = Item<T>()->Format;
    name->setCurrentFont(QFont(Q(fmt.Font.Name)));
    size->setCurrentText(QString::number(fmt.Font.Size));
    ShowColor(color, xlsColorToScreen(fmt.Font.Color));
    orientations->button(fmt.Orientation)->setChecked(true);
  });
  auto* fontRow = new QHBoxLayout;
  fontRow->addWidget(name, 1);
  fontRow->addWidget(Label(tr("Size"), size));
  fontRow->addWidget(size);
  fontRow->addWidget(color);
  f->addRow(Label(tr("Font"), name), fontRow);
  f->addRow(styles);
  f->addRow(underline);
  f->addRow(horizontal);
  f->addRow(vertical);
  f->addRow(orientation);
  return Named(Stretched(f), "tsNoteFont");
}

QWidget* TxlsExtrasPage::BuildNoteFillSheet() {
  using T = TxlsNote;
  auto* v = new QVBoxLayout;
  auto* type = Named(new QGroupBox(tr(" Fill Type ")), "gbNoteFillType");
  auto* typeLayout = new QHBoxLayout(type);
  auto* types = new QButtonGroup(this);
  types->addButton(Radio("rbNoteSolid", tr("Solid")), nftSolid);
  types->addButton(Radio("rbNoteGradient", tr("Gradient")), nftGradient);
  for (QAbstractButton* b : types->buttons()) typeLayout->addWidget(b);
  typeLayout->addStretch();

  auto* gradient = Named(new QGroupBox, "gbNoteGradient");
  auto* gradientLayout = new QGridLayout(gradient);
  auto* gradients = new QButtonGroup(this);
  const char* const texts[] = {"Horizontal",    "Vertical",    "Diagonal Up",
                               "Diagonal Down", "From Corner", "From Center"};
  const char* const names[] = {"rbNoteHorizontal",   "rbNoteVertical",   "rbNoteDiagonalUp",
                               "rbNoteDiagonalDown", "rbNoteFromCorner", "rbNoteFromCenter"};
  for (int i = 0; i < 6; ++i) {
    QRadioButton* r = Radio(names[i], tr(texts[i]));
    gradients->addButton(r, i);
    gradientLayout->addWidget(r, i / 2, i % 2);
  }
  auto enableGradients = [gradients, types] {
    for (QAbstractButton* b : gradients->buttons())
      b->setEnabled(types->checkedId() == nftGradient);
  };
  connect(types, &QButtonGroup::idClicked, this, [this, enableGradients](int id) {
    if (T* n = Item<T>(); n && !showing_) n->Format.FillType = static_cast<TxlsNoteFillType>(id);
    enableGradients();
  });
  connect(gradients, &QButtonGroup::idClicked, this, [this](int id) {
    if (T* n = Item<T>(); n && !showing_) n->Format.Gradient = static_cast<TxlsNoteGradient>(id);
  });

  // Screen colours: a note is drawn by the reader, not through the workbook palette.
  auto colorButton = [this](const char* name, const QString& text, TColor TxlsNoteFormat::*field) {
    auto* b = Named(new QToolButton, name);
    b->setText(text);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(b, &QToolButton::clicked, this, [this, b, field] {
      T* n = Item<T>();
      if (!n) return;
      QColor c = ToQColor(n->Format.*field);
      if (!Prompts().ChooseColor(this, c)) return;
      n->Format.*field = FromQColor(c);
      ShowColor(b, n->Format.*field);
    });
    OnShow([this, b, field] { ShowColor(b, Item<T>()->Format.*field); });
    return b;
  };
  QToolButton* background =
      colorButton("bNoteBackgroundColor", tr("Background Color"), &TxlsNoteFormat::BackgroundColor);
  QToolButton* foreground =
      colorButton("bNoteForegroundColor", tr("Foreground Color"), &TxlsNoteFormat::ForegroundColor);

  auto* transparencyLabel = Named(new QLabel, "laNoteTransparency");
  auto* transparency = Named(new QSlider(Qt::Horizontal), "tbNoteTransparency");
  transparency->setRange(0, 100);
  transparencyLabel->setBuddy(transparency);
  auto caption = [transparencyLabel](int v) {
    transparencyLabel->setText(tr("Transparency") + QString::asprintf(" - %d%%", v));
  };
  connect(transparency, &QSlider::valueChanged, this, [this, caption](int v) {
    caption(v);
    if (T* n = Item<T>(); n && !showing_) n->Format.Transparency = v;
  });
  caption(0);

  OnShow([this, types, gradients, transparency, caption, enableGradients] {
    const TxlsNoteFormat& fmt = Item<T>()->Format;
    types->button(fmt.FillType)->setChecked(true);
    gradients->button(fmt.Gradient)->setChecked(true);
    enableGradients();
    transparency->setValue(fmt.Transparency);
    caption(fmt.Transparency);
  });
  auto* colors = new QHBoxLayout;
  colors->addWidget(background);
  colors->addWidget(foreground);
  colors->addStretch();
  v->addWidget(type);
  v->addWidget(gradient);
  v->addLayout(colors);
  v->addWidget(transparencyLabel);
  v->addWidget(transparency);
  v->addStretch();
  return Named(Page(v), "tsNoteFill");
}

// ---- chart -------------------------------------------------------------------------------------

QWidget* TxlsExtrasPage::BuildChartEditor() {
  using T = TxlsChart;
  auto* sheets = Named(new QTabWidget, "pcChartEditor");
  QFormLayout* f = Form();
  QLineEdit* title = TextField<T>("edChartTitle", [](T& c, const std::string& v) { c.Title = v; });
  OnShow([this, title] { title->setText(Q(Item<T>()->Title)); });
  QStringList styles;
  for (const char* s :
       {"Column", "Column 3D", "Bar", "Bar 3D", "Line", "Line Mark", "Line 3D", "Pie", "Pie 3D",
        "Area", "Area 3D", "Surface", "Surface 3D", "Radar", "Radar Area"})
    styles << tr(s);
  QComboBox* style = IndexField<T>(
      "cbxChartStyle", styles, [](T& c) { return int(c.Style); },
      [](T& c, int i) { c.Style = static_cast<TxlsChartStyle>(i); });
  QComboBox* legend = IndexField<T>(
      "cbxChartLegendPosition", {tr("Bottom"), tr("Corner"), tr("Top"), tr("Right"), tr("Left")},
      [](T& c) { return int(c.LegendPlacement); },
      [](T& c, int i) { c.LegendPlacement = static_cast<TxlsChartLegendPlacement>(i); });
  auto check = [this](const char* name, const QString& text, bool T::*field) {
    auto* box = Named(new QCheckBox(text), name);
    connect(box, &QCheckBox::toggled, this, [this, field](bool on) {
      if (T* c = Item<T>(); c && !showing_) c->*field = on;
    });
    OnShow([this, box, field] { box->setChecked(Item<T>()->*field); });
    return box;
  };
  f->addRow(Label(tr("Title"), title), title);
  f->addRow(Label(tr("Style"), style), style);
  f->addRow(Label(tr("Legend Position"), legend), legend);
  f->addRow(check("cbChartShowLegend", tr("Show Legend"), &T::ShowLegend));
  f->addRow(check("cbChartAutoColor", tr("Auto Color"), &T::AutoColor));
  sheets->addTab(Named(Stretched(f), "tsChartBase"), tr("Base"));
  sheets->addTab(BuildChartPositionSheet(), tr(" Position "));
  sheets->addTab(BuildChartLabelsSheet(), tr(" Category Labels "));
  return sheets;
}

namespace {

// Two choices each with its own fields; the fields of the choice not taken are disabled.
void EnableByChoice(QRadioButton* first, const std::vector<QWidget*>& firstFields,
                    const std::vector<QWidget*>& secondFields) {
  for (QWidget* w : firstFields) w->setEnabled(first->isChecked());
  for (QWidget* w : secondFields) w->setEnabled(!first->isChecked());
}

}  // namespace

QWidget* TxlsExtrasPage::BuildChartPositionSheet() {
  using T = TxlsChart;
  auto* v = new QVBoxLayout;
  QRadioButton* automatic = Radio("rbChartAutoPosition", tr("Auto Position"));
  QRadioButton* custom = Radio("rbChartCustomPosition", tr("Custom Position"));
  auto* placement = Named(new QGroupBox(tr(" Placement ")), "gbChartPlacement");
  auto* placementLayout = new QHBoxLayout(placement);
  auto* placements = new QButtonGroup(this);
  placements->addButton(Radio("rbChartBottom", tr("Bottom")), cpBottom);
  placements->addButton(Radio("rbChartRight", tr("Right")), cpRight);
  for (QAbstractButton* b : placements->buttons()) placementLayout->addWidget(b);
  connect(placements, &QButtonGroup::idClicked, this, [this](int id) {
    if (T* c = Item<T>(); c && !showing_)
      c->Position.AutoPosition.Placement = static_cast<TxlsChartPlacement>(id);
  });
  QFormLayout* autoForm = Form();
  QLineEdit* left =
      IntField<T>("edChartLeft", 32, [](T& c) -> int& { return c.Position.AutoPosition.Left; });
  QLineEdit* top =
      IntField<T>("edChartTop", 32, [](T& c) -> int& { return c.Position.AutoPosition.Top; });
  QLineEdit* height =
      IntField<T>("edChartHeight", 32, [](T& c) -> int& { return c.Position.AutoPosition.Height; });
  QLineEdit* width =
      IntField<T>("edChartWidth", 32, [](T& c) -> int& { return c.Position.AutoPosition.Width; });
  autoForm->addRow(placement);
  autoForm->addRow(Label(tr("Left"), left), left);
  autoForm->addRow(Label(tr("Top"), top), top);
  autoForm->addRow(Label(tr("Height"), height), height);
  autoForm->addRow(Label(tr("Width"), width), width);
  QFormLayout* customForm = Form();
  QLineEdit* x1 =
      IntField<T>("edChartX1", 8, [](T& c) -> int& { return c.Position.CustomPosition.X1; });
  QLineEdit* y1 =
      IntField<T>("edChartY1", 16, [](T& c) -> int& { return c.Position.CustomPosition.Y1; });
  QLineEdit* x2 =
      IntField<T>("edChartX2", 8, [](T& c) -> int& { return c.Position.CustomPosition.X2; });
  QLineEdit* y2 =
      IntField<T>("edChartY2", 16, [](T& c) -> int& { return c.Position.CustomPosition.Y2; });
  customForm->addRow(Label(tr("X1"), x1), x1);
  customForm->addRow(Label(tr("Y1"), y1), y1);
  customForm->addRow(Label(tr("X2"), x2), x2);
  customForm->addRow(Label(tr("Y2"), y2), y2);

  const std::vector<QWidget*> autoFields = {placement, left, top, height, width};
  const std::vector<QWidget*> customFields = {x1, y1, x2, y2};
  auto enable = [automatic, autoFields, customFields] {
    EnableByChoice(automatic, autoFields, customFields);
  };
  for (QRadioButton* r : {automatic, custom})
    connect(r, &QRadioButton::clicked, this, [this, automatic, enable] {
      if (T* c = Item<T>(); c && !showing_)
        c->Position.PositionType = automatic->isChecked() ? cptAuto : cptCustom;
      enable();
    });
  OnShow([this, automatic, custom, placements, enable] {
    const TxlsChartPosition& p = Item<T>()->Position;
    (p.PositionType == cptAuto ? automatic : custom)->setChecked(true);
    placements->button(p.AutoPosition.Placement)->setChecked(true);
    enable();
  });
  auto* columns = new QHBoxLayout;
  auto* autoSide = new QVBoxLayout;
  autoSide->addWidget(automatic);
  autoSide->addLayout(autoForm);
  autoSide->addStretch();
  auto* customSide = new QVBoxLayout;
  customSide->addWidget(custom);
  customSide->addLayout(customForm);
  customSide->addStretch();
  columns->addLayout(autoSide);
  columns->addLayout(customSide);
  v->addLayout(columns);
  return Named(Page(v), "tsChartPosition");
}

QWidget* TxlsExtrasPage::BuildChartLabelsSheet() {
  using T = TxlsChart;
  QFormLayout* f = Form();
  QRadioButton* column = Radio("rbChartCategoryColumn", tr("Column"));
  QRadioButton* custom = Radio("rbChartCategoryCustom", tr("Custom"));
  QComboBox* name = ColumnField<T>("cbxChartCategoryColumn",
                                   [](T& c) -> std::string& { return c.CategoryLabelsColumn; });
  QLineEdit* col1 =
      IntField<T>("edChartCategoryCol1", 8, [](T& c) -> int& { return c.CategoryLabels.Col1; });
  QLineEdit* row1 =
      IntField<T>("edChartCategoryRow1", 16, [](T& c) -> int& { return c.CategoryLabels.Row1; });
  QLineEdit* col2 =
      IntField<T>("edChartCategoryCol2", 8, [](T& c) -> int& { return c.CategoryLabels.Col2; });
  QLineEdit* row2 =
      IntField<T>("edChartCategoryRow2", 16, [](T& c) -> int& { return c.CategoryLabels.Row2; });
  const std::vector<QWidget*> customFields = {col1, row1, col2, row2};
  auto enable = [column, name, customFields] { EnableByChoice(column, {name}, customFields); };
  for (QRadioButton* r : {column, custom})
    connect(r, &QRadioButton::clicked, this, [this, column, enable] {
      if (T* c = Item<T>(); c && !showing_)
        c->CategoryLabelsType = column->isChecked() ? rtColumn : rtCustom;
      enable();
    });
  OnShow([this, column, custom, enable] {
    (Item<T>()->CategoryLabelsType == rtColumn ? column : custom)->setChecked(true);
    enable();
  });
  f->addRow(column, name);
  f->addRow(custom);
  f->addRow(Label(tr("Col 1"), col1), col1);
  f->addRow(Label(tr("Row 1"), row1), row1);
  f->addRow(Label(tr("Col 2"), col2), col2);
  f->addRow(Label(tr("Row 2"), row2), row2);
  return Named(Stretched(f), "tsChartCategoryLabels");
}

// ---- series ------------------------------------------------------------------------------------

QWidget* TxlsExtrasPage::BuildSeriesEditor() {
  using T = TxlsChartSeries;
  QFormLayout* f = Form();
  QLineEdit* title = TextField<T>("edSeriesTitle", [](T& s, const std::string& v) { s.Title = v; });
  OnShow([this, title] { title->setText(Q(Item<T>()->Title)); });
  auto* range = Named(new QGroupBox(tr(" Data Range ")), "gbSeriesDataRange");
  QFormLayout* r = Form();
  range->setLayout(r);
  QRadioButton* column = Radio("rbSeriesColumn", tr("Column"));
  QRadioButton* custom = Radio("rbSeriesCustom", tr("Custom"));
  QComboBox* name =
      ColumnField<T>("cbxSeriesColumn", [](T& s) -> std::string& { return s.DataColumn; });
  QLineEdit* col1 = IntField<T>("edSeriesCol1", 8, [](T& s) -> int& { return s.DataRange.Col1; });
  QLineEdit* row1 = IntField<T>("edSeriesRow1", 16, [](T& s) -> int& { return s.DataRange.Row1; });
  QLineEdit* col2 = IntField<T>("edSeriesCol2", 8, [](T& s) -> int& { return s.DataRange.Col2; });
  QLineEdit* row2 = IntField<T>("edSeriesRow2", 16, [](T& s) -> int& { return s.DataRange.Row2; });
  const std::vector<QWidget*> customFields = {col1, row1, col2, row2};
  auto enable = [column, name, customFields] { EnableByChoice(column, {name}, customFields); };
  for (QRadioButton* b : {column, custom})
    connect(b, &QRadioButton::clicked, this, [this, column, enable] {
      if (T* s = Item<T>(); s && !showing_)
        s->DataRangeType = column->isChecked() ? rtColumn : rtCustom;
      enable();
    });
  r->addRow(column, name);
  r->addRow(custom);
  r->addRow(Label(tr("Col 1"), col1), col1);
  r->addRow(Label(tr("Row 1"), row1), row1);
  r->addRow(Label(tr("Col 2"), col2), col2);
  r->addRow(Label(tr("Row 2"), row2), row2);
  auto* color = Named(new QToolButton, "bSeriesColor");
  color->setToolTip(tr("Color"));
  connect(color, &QToolButton::clicked, this, [this, color] {
    if (T* s = Item<T>()) {
      s->Color = ChooseColor(this, s->Color);
      ShowColor(color, xlsColorToScreen(s->Color));
    }
  });
  OnShow([this, column, custom, color, enable] {
    const T* s = Item<T>();
    (s->DataRangeType == rtColumn ? column : custom)->setChecked(true);
    enable();
    ShowColor(color, xlsColorToScreen(s->Color));
  });
  f->addRow(Label(tr("Title"), title), title);
  f->addRow(range);
  f->addRow(Label(tr("Color"), color), color);
  return Named(Stretched(f), "tsSeriesEditor");
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
