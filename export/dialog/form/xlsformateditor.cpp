#include "export/dialog/form/xlsformateditor.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "export/dialog/form/binder.h"
#include "export/dialog/form/xlscolorchooser.h"
#include "export/dialog/xlsformatedit.h"

namespace morvale::form {

namespace {

QColor Screen(TxlsColor c) {
  return ToQColor(xlsColorToScreen(c));
}

// How a border style looks on the screen: the nearest pen.
QPen BorderPen(TxlsBorderStyle s, const QColor& color) {
  QPen pen(color);
  switch (s) {
    case bstMedium:
    case bstMediumDashed:
    case bstMediumDashDot:
    case bstMediumDashDotDot:
    case bstSlantedDashDot:
      pen.setWidth(2);
      break;
    case bstThick:
      pen.setWidth(3);
      break;
    default:
      pen.setWidth(1);
  }
  switch (s) {
    case bstNone:
      pen.setStyle(Qt::NoPen);
      break;
    case bstDashed:
    case bstMediumDashed:
      pen.setStyle(Qt::DashLine);
      break;
    case bstDotted:
    case bstHair:
      pen.setStyle(Qt::DotLine);
      break;
    case bstDashDot:
    case bstMediumDashDot:
    case bstSlantedDashDot:
      pen.setStyle(Qt::DashDotLine);
      break;
    case bstDashDotDot:
    case bstMediumDashDotDot:
      pen.setStyle(Qt::DashDotDotLine);
      break;
    default:
      pen.setStyle(Qt::SolidLine);
  }
  return pen;
}

// How a fill pattern looks on the screen: the nearest brush.
Qt::BrushStyle PatternBrush(TxlsPattern p) {
  static const Qt::BrushStyle styles[] = {
      Qt::NoBrush,          Qt::SolidPattern,  Qt::Dense4Pattern, Qt::Dense2Pattern,
      Qt::Dense6Pattern,    Qt::HorPattern,    Qt::VerPattern,    Qt::BDiagPattern,
      Qt::FDiagPattern,     Qt::Dense3Pattern, Qt::Dense1Pattern, Qt::HorPattern,
      Qt::VerPattern,       Qt::FDiagPattern,  Qt::BDiagPattern,  Qt::CrossPattern,
      Qt::DiagCrossPattern, Qt::Dense5Pattern, Qt::Dense7Pattern};
  return styles[std::clamp(static_cast<int>(p), 0, 18)];
}

// The fill drawn as a cell shows it: the foreground behind, the pattern in the background colour.
void PaintFill(QPainter& p, const QRect& r, const TxlsFill& fill) {
  if (fill.Pattern == ptNone) {
    p.fillRect(r, Qt::white);
    return;
  }
  p.fillRect(r, Screen(fill.Foreground));
  p.fillRect(r, QBrush(Screen(fill.Background), PatternBrush(fill.Pattern)));
}

// The style lists draw their entries as samples: a line for a border style, a swatch for a
// pattern; the entry's number stays its text for tests and screen readers.
class TSampleDelegate : public QStyledItemDelegate {
 public:
  TSampleDelegate(bool patterns, QObject* parent)
      : QStyledItemDelegate(parent), patterns_(patterns) {}
  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem o(option);
    initStyleOption(&o, index);
    o.text.clear();
    QStyledItemDelegate::paint(p, o, index);
    PaintSample(p, option.rect.adjusted(4, 3, -4, -3), index.row(), patterns_);
  }
  static void PaintSample(QPainter* p, const QRect& r, int value, bool patterns) {
    p->save();
    if (patterns) {
      TxlsFill fill;
      fill.Pattern = static_cast<TxlsPattern>(value);
      fill.Background = clrBlack;
      fill.Foreground = clrWhite;
      PaintFill(*p, r, fill);
      p->setPen(Qt::gray);
      p->drawRect(r.adjusted(0, 0, -1, -1));
    } else if (value == bstNone) {
      p->drawText(r, Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("—"));
      p->setPen(Qt::NoPen);
    } else {
      p->setPen(BorderPen(static_cast<TxlsBorderStyle>(value), Qt::black));
      int y = r.center().y();
      p->drawLine(r.left(), y, r.right(), y);
      if (value == bstDouble) p->drawLine(r.left(), y + 3, r.right(), y + 3);
    }
    p->restore();
  }

 private:
  bool patterns_;
};

// A drop-down of samples 0 .. count-1; blank (no current entry) when the selection disagrees.
class TSampleBox : public QComboBox {
 public:
  TSampleBox(int count, bool patterns, QWidget* parent) : QComboBox(parent), patterns_(patterns) {
    for (int i = 0; i < count; ++i) addItem(QString::number(i));
    setItemDelegate(new TSampleDelegate(patterns, this));
    setMinimumWidth(96);
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    QComboBox::paintEvent(e);
    if (currentIndex() < 0) return;
    QStyleOptionComboBox o;
    initStyleOption(&o);
    QRect r = style()->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, this);
    QPainter p(this);
    p.fillRect(r, palette().color(QPalette::Base));
    TSampleDelegate::PaintSample(&p, r.adjusted(2, 3, -2, -3), currentIndex(), patterns_);
  }

 private:
  bool patterns_;
};

// The sample cell: "  Пример" in the format's font, fill, borders and alignment.
class TSampleCell : public QWidget {
 public:
  explicit TSampleCell(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(48);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }
  void SetFormat(const TxlsFormat* f) {
    format_ = f;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QRect r = rect().adjusted(8, 6, -8, -6);
    p.fillRect(rect(), palette().color(QPalette::Window));
    if (!format_) return;
    const TxlsFormat& f = *format_;
    PaintFill(p, r, f.Fill);
    QFont font(Q(f.Font.Name));
    font.setPointSize(std::clamp(f.Font.Size, 1, 28));
    font.setBold(f.Font.Has(xfsBold));
    font.setItalic(f.Font.Has(xfsItalic));
    font.setStrikeOut(f.Font.Has(xfsStrikeOut));
    font.setUnderline(f.Font.Underline != fulNone);
    p.setFont(font);
    p.setPen(Screen(f.Font.Color));
    int h = f.Alignment.Horizontal == halCenter  ? Qt::AlignHCenter
            : f.Alignment.Horizontal == halRight ? Qt::AlignRight
            : f.Alignment.Horizontal == halFill  ? Qt::AlignJustify
                                                 : Qt::AlignLeft;
    int v = f.Alignment.Vertical == valTop      ? Qt::AlignTop
            : f.Alignment.Vertical == valCenter ? Qt::AlignVCenter
                                                : Qt::AlignBottom;
    p.drawText(r.adjusted(2, 1, -2, -1), h | v, TxlsFormatEditor::tr("  Пример"));
    auto line = [&](const TxlsBorder& b, QPoint a, QPoint z) {
      if (b.Style == bstNone) return;
      p.setPen(BorderPen(b.Style, Screen(b.Color)));
      p.drawLine(a, z);
    };
    line(f.Borders.Top, r.topLeft(), r.topRight());
    line(f.Borders.Bottom, r.bottomLeft(), r.bottomRight());
    line(f.Borders.Left, r.topLeft(), r.bottomLeft());
    line(f.Borders.Right, r.topRight(), r.bottomRight());
  }

 private:
  const TxlsFormat* format_ = nullptr;
};

QToolButton* Tool(QWidget* parent, const char* name, const QString& text, const QString& hint,
                  bool checkable = true) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setText(text);
  b->setToolTip(hint);
  b->setCheckable(checkable);
  b->setAutoRaise(false);
  b->setMinimumSize(26, 24);
  return b;
}

// The alignment toggles show where the text goes: lines of text flush to a side, centred or
// filling the width, or a bar at the top, middle or bottom of a cell.
QIcon AlignIcon(bool horizontal, int which) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setPen(QPen(Qt::black, 1));
  if (horizontal) {
    for (int line = 0; line < 4; ++line) {
      int y = 3 + 3 * line;
      int len = which == 3 || line % 2 == 0 ? 12 : 7;
      int x = which == 0 || which == 3 ? 2 : which == 1 ? 8 - len / 2 : 14 - len;
      p.drawLine(x, y, x + len - 1, y);
    }
  } else {
    p.drawRect(1, 1, 13, 13);
    int y = which == 0 ? 4 : which == 1 ? 8 : 11;
    p.fillRect(4, y - 1, 8, 2, Qt::black);
  }
  return QIcon(pm);
}

QFont Styled(QFont f, bool bold, bool italic, bool strike, bool underline) {
  f.setBold(bold);
  f.setItalic(italic);
  f.setStrikeOut(strike);
  f.setUnderline(underline);
  return f;
}

}  // namespace

struct TxlsFormatEditor::TControls {
  QTabWidget* sheets = nullptr;
  QWidget *tsFont = nullptr, *tsBorders = nullptr, *tsFill = nullptr, *tsAggregate = nullptr;
  QComboBox *cbxFontName = nullptr, *cbxFontSize = nullptr;
  QToolButton* bFontColor = nullptr;
  QToolButton* sbStyle[3] = {};       // by TxlsFontStyle
  QToolButton* sbUnderline[4] = {};   // fulSingle .. fulDoubleAccounting
  QToolButton* sbHorizontal[4] = {};  // halLeft .. halFill
  QToolButton* sbVertical[3] = {};    // valTop .. valBottom
  QToolButton* sbBorder[4] = {};      // by TxlsBorderSide
  TSampleBox* cbxBorder[4] = {};
  QToolButton* bBorderColor[4] = {};
  TSampleBox* cbxPattern = nullptr;
  QToolButton *bBackground = nullptr, *bForeground = nullptr;
  QRadioButton* rbAggregate[5] = {};
  TSampleCell* sample = nullptr;
};

TxlsFormatEditor::TxlsFormatEditor(QWidget* parent)
    : QWidget(parent), c_(std::make_unique<TControls>()) {
  setObjectName(QStringLiteral("xlsFormatEditor"));
  Build();
  Connect();
  Show();
}

TxlsFormatEditor::~TxlsFormatEditor() = default;

QTabWidget* TxlsFormatEditor::Sheets() const {
  return c_->sheets;
}

void TxlsFormatEditor::Build() {
  TControls& c = *c_;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  c.sheets = new QTabWidget(this);
  c.sheets->setObjectName(QStringLiteral("pcXLSFormat"));
  layout->addWidget(c.sheets);

  // "&Шрифт"
  c.tsFont = new QWidget;
  c.tsFont->setObjectName(QStringLiteral("tsXLSFont"));
  auto* font = new QGridLayout(c.tsFont);
  c.cbxFontName = new QComboBox(c.tsFont);
  c.cbxFontName->setObjectName(QStringLiteral("cbxXLSFontName"));
  c.cbxFontName->setEditable(true);
  c.cbxFontName->addItems(QFontDatabase::families());
  c.cbxFontName->setToolTip(tr("Шрифт"));
  c.cbxFontName->setMinimumWidth(150);
  c.cbxFontSize = new QComboBox(c.tsFont);
  c.cbxFontSize->setObjectName(QStringLiteral("cbxXLSFontSize"));
  c.cbxFontSize->setEditable(true);
  for (int s : xlsFontSizes()) c.cbxFontSize->addItem(QString::number(s));
  c.cbxFontSize->setToolTip(tr("Разм."));
  c.cbxFontSize->setMinimumWidth(56);
  c.bFontColor = Tool(c.tsFont, "bXLSFontColor", QString(), tr("Цвет Шрифта"), false);
  font->addWidget(c.cbxFontName, 0, 0, 1, 4);
  font->addWidget(c.cbxFontSize, 0, 4, 1, 2);
  font->addWidget(c.bFontColor, 0, 6);
  const char* styleNames[] = {"sbXLSBold", "sbXLSItalic", "sbXLSStrikeOut"};
  const char* styleHints[] = {QT_TR_NOOP("Жирный"), QT_TR_NOOP("Наклонный"),
                              QT_TR_NOOP("Перечеркнутый")};
  const char* styleTexts[] = {QT_TR_NOOP("Ж"), QT_TR_NOOP("К"), QT_TR_NOOP("З")};
  for (int i = 0; i < 3; ++i) {
    c.sbStyle[i] = Tool(c.tsFont, styleNames[i], tr(styleTexts[i]), tr(styleHints[i]));
    c.sbStyle[i]->setFont(Styled(font->parentWidget()->font(), i == 0, i == 1, i == 2, false));
    font->addWidget(c.sbStyle[i], 1, i);
  }
  const char* ulNames[] = {"sbXLSUnderSingle", "sbXLSUnderDouble", "sbXLSUnderSingleAcc",
                           "sbXLSUnderDoubleAcc"};
  const char* ulHints[] = {QT_TR_NOOP("Одинарное подчеркивание"),
                           QT_TR_NOOP("Двойное подчеркивание"),
                           QT_TR_NOOP("Одинарное подчеркивание по словам"),
                           QT_TR_NOOP("Двойное подчеркивание по словам")};
  const char* ulTexts[] = {QT_TR_NOOP("Ч"), QT_TR_NOOP("Ч\u0333"), QT_TR_NOOP("Ч с"),
                           QT_TR_NOOP("Ч\u0333 с")};
  for (int i = 0; i < 4; ++i) {
    c.sbUnderline[i] = Tool(c.tsFont, ulNames[i], tr(ulTexts[i]), tr(ulHints[i]));
    if (i % 2 == 0) c.sbUnderline[i]->setFont(Styled(font->parentWidget()->font(), 0, 0, 0, 1));
    font->addWidget(c.sbUnderline[i], 1, 3 + i);
  }
  const char* hNames[] = {"sbXLSLeft", "sbXLSCenter", "sbXLSRight", "sbXLSFill"};
  const char* hHints[] = {QT_TR_NOOP("По левому краю"), QT_TR_NOOP("По центру"),
                          QT_TR_NOOP("По правому краю"), QT_TR_NOOP("По ширине")};
  for (int i = 0; i < 4; ++i) {
    c.sbHorizontal[i] = Tool(c.tsFont, hNames[i], QString(), tr(hHints[i]));
    c.sbHorizontal[i]->setIcon(AlignIcon(true, i));
    font->addWidget(c.sbHorizontal[i], 2, i);
  }
  const char* vNames[] = {"sbXLSTop", "sbXLSMiddle", "sbXLSBottom"};
  const char* vHints[] = {QT_TR_NOOP("По верхнему краю"), QT_TR_NOOP("По центру"),
                          QT_TR_NOOP("По нижнему краю")};
  auto* vGroup = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    c.sbVertical[i] = Tool(c.tsFont, vNames[i], QString(), tr(vHints[i]));
    c.sbVertical[i]->setIcon(AlignIcon(false, i));
    vGroup->addButton(c.sbVertical[i], i);
    font->addWidget(c.sbVertical[i], 2, 4 + i);
  }
  font->setRowStretch(3, 1);
  font->setColumnStretch(7, 1);
  c.sheets->addTab(c.tsFont, tr("&Шрифт"));

  // "&Границы"
  c.tsBorders = new QWidget;
  c.tsBorders->setObjectName(QStringLiteral("tsXLSBorders"));
  auto* borders = new QGridLayout(c.tsBorders);
  const char* bNames[] = {"Top", "Bottom", "Left", "Right"};
  const char* bHints[] = {QT_TR_NOOP("Верхняя граница"), QT_TR_NOOP("Нижняя граница"),
                          QT_TR_NOOP("Левая граница"), QT_TR_NOOP("Правая граница")};
  const char* bColorHints[] = {QT_TR_NOOP("Цвет верхней границы"),
                               QT_TR_NOOP("Цвет нижней границы"), QT_TR_NOOP("Цвет левой границы"),
                               QT_TR_NOOP("Цвет правой границы")};
  const char* bTexts[] = {"▔", "▁", "▏", "▕"};
  for (int i = 0; i < 4; ++i) {
    std::string n = bNames[i];
    c.sbBorder[i] =
        Tool(c.tsBorders, ("sbXLSBorder" + n).c_str(), QString::fromUtf8(bTexts[i]), tr(bHints[i]));
    c.cbxBorder[i] = new TSampleBox(bstSlantedDashDot + 1, false, c.tsBorders);
    c.cbxBorder[i]->setObjectName(Q("cbxXLSBorder" + n));
    c.cbxBorder[i]->setToolTip(tr(bHints[i]));
    c.bBorderColor[i] = Tool(c.tsBorders, ("bXLSBorder" + n + "Color").c_str(), QString(),
                             tr(bColorHints[i]), false);
    int row = i / 2, col = (i % 2) * 4;
    borders->addWidget(c.sbBorder[i], row, col);
    borders->addWidget(c.cbxBorder[i], row, col + 1);
    borders->addWidget(c.bBorderColor[i], row, col + 2);
  }
  borders->setColumnMinimumWidth(3, 12);
  borders->setRowStretch(2, 1);
  borders->setColumnStretch(7, 1);
  c.sheets->addTab(c.tsBorders, tr("&Границы"));

  // "Заливка"
  c.tsFill = new QWidget;
  c.tsFill->setObjectName(QStringLiteral("tsXLSFill"));
  auto* fillSheet = new QVBoxLayout(c.tsFill);
  auto* fill = new QHBoxLayout;
  fillSheet->addLayout(fill);
  fillSheet->addStretch(1);
  c.cbxPattern = new TSampleBox(ptThinThinSpots + 1, true, c.tsFill);
  c.cbxPattern->setObjectName(QStringLiteral("cbxXLSPattern"));
  c.cbxPattern->setToolTip(tr("Узор"));
  c.bBackground = Tool(c.tsFill, "bXLSBackground", QString(), tr("Цвет фона"), false);
  c.bForeground = Tool(c.tsFill, "bXLSForeground", QString(), tr("Цвет узора"), false);
  fill->addWidget(c.cbxPattern);
  fill->addWidget(c.bBackground);
  fill->addWidget(c.bForeground);
  fill->addStretch(1);
  c.sheets->addTab(c.tsFill, tr("Заливка"));

  // "&Функции"
  c.tsAggregate = new QWidget;
  c.tsAggregate->setObjectName(QStringLiteral("tsXLSAggregate"));
  auto* agg = new QVBoxLayout(c.tsAggregate);
  auto* box = new QGroupBox(tr("Функции"), c.tsAggregate);
  box->setObjectName(QStringLiteral("rgXLSAggregate"));
  auto* boxLayout = new QHBoxLayout(box);
  const char* aggTexts[] = {QT_TR_NOOP("Нет"), QT_TR_NOOP("СУММА"), QT_TR_NOOP("СРЕДНЕЕ"),
                            QT_TR_NOOP("МИН"), QT_TR_NOOP("МАКС")};
  for (int i = 0; i < 5; ++i) {
    c.rbAggregate[i] = new QRadioButton(tr(aggTexts[i]), box);
    c.rbAggregate[i]->setObjectName(QStringLiteral("rbXLSAggregate%1").arg(i));
    boxLayout->addWidget(c.rbAggregate[i]);
  }
  agg->addWidget(box);
  agg->addStretch(1);

  c.sample = new TSampleCell(this);
  c.sample->setObjectName(QStringLiteral("pXLSSample"));
  layout->addWidget(c.sample);
}

void TxlsFormatEditor::Connect() {
  TControls& c = *c_;
  // Every control: one edit over the selection, then the controls and the sample show it.
  auto edit = [this](auto apply) {
    if (showing_ || !focused_) return;
    TxlsFormatEdit e(selected_, focused_);
    apply(e);
    Show();
    emit FormatChanged();
  };
  connect(c.cbxFontName, &QComboBox::currentTextChanged, this, [=](const QString& name) {
    if (!name.isEmpty()) edit([&](TxlsFormatEdit& e) { e.SetFontName(S(name)); });
  });
  connect(c.cbxFontSize, &QComboBox::currentTextChanged, this,
          [=](const QString& size) { edit([&](TxlsFormatEdit& e) { e.SetFontSize(S(size)); }); });
  auto color = [=, this](QToolButton* b, auto get, auto set) {
    connect(b, &QToolButton::clicked, this, [=, this] {
      if (!focused_) return;
      TxlsColor now = get(*focused_);
      TxlsColor chosen = ChooseColor(window(), now);
      if (chosen != now) edit([&](TxlsFormatEdit& e) { set(e, chosen); });
    });
  };
  color(
      c.bFontColor, [](const TxlsFormat& f) { return f.Font.Color; },
      [](TxlsFormatEdit& e, TxlsColor v) { e.SetFontColor(v); });
  for (int i = 0; i < 3; ++i)
    connect(c.sbStyle[i], &QToolButton::toggled, this, [=](bool on) {
      edit([&](TxlsFormatEdit& e) { e.SetFontStyle(static_cast<TxlsFontStyle>(i), on); });
    });
  for (int i = 0; i < 4; ++i) {
    connect(c.sbUnderline[i], &QToolButton::toggled, this, [=](bool on) {
      edit([&](TxlsFormatEdit& e) {
        e.SetUnderline(static_cast<TxlsFontUnderline>(fulSingle + i), on);
      });
    });
    connect(c.sbHorizontal[i], &QToolButton::toggled, this, [=](bool on) {
      edit([&](TxlsFormatEdit& e) {
        e.SetHorizontal(static_cast<TxlsHorizontalAlignment>(halLeft + i), on);
      });
    });
  }
  for (int i = 0; i < 3; ++i)
    connect(c.sbVertical[i], &QToolButton::clicked, this, [=] {
      edit([&](TxlsFormatEdit& e) { e.SetVertical(static_cast<TxlsVerticalAlignment>(i)); });
    });
  for (int i = 0; i < 4; ++i) {
    auto side = static_cast<TxlsBorderSide>(i);
    connect(c.sbBorder[i], &QToolButton::toggled, this,
            [=](bool on) { edit([&](TxlsFormatEdit& e) { e.ToggleBorder(side, on); }); });
    connect(c.cbxBorder[i], &QComboBox::activated, this, [=](int v) {
      edit([&](TxlsFormatEdit& e) { e.SetBorderStyle(side, static_cast<TxlsBorderStyle>(v)); });
    });
    color(
        c.bBorderColor[i], [side](const TxlsFormat& f) { return BorderOf(f, side).Color; },
        [side](TxlsFormatEdit& e, TxlsColor v) { e.SetBorderColor(side, v); });
  }
  connect(c.cbxPattern, &QComboBox::activated, this, [=](int v) {
    edit([&](TxlsFormatEdit& e) { e.SetPattern(static_cast<TxlsPattern>(v)); });
  });
  color(
      c.bBackground, [](const TxlsFormat& f) { return f.Fill.Background; },
      [](TxlsFormatEdit& e, TxlsColor v) { e.SetBackground(v); });
  color(
      c.bForeground, [](const TxlsFormat& f) { return f.Fill.Foreground; },
      [](TxlsFormatEdit& e, TxlsColor v) { e.SetForeground(v); });
  for (int i = 0; i < 5; ++i)
    connect(c.rbAggregate[i], &QRadioButton::toggled, this, [=](bool on) {
      if (on) edit([&](TxlsFormatEdit& e) { e.SetAggregate(static_cast<TxlsAggregate>(i)); });
    });
}

void TxlsFormatEditor::SetFormats(std::vector<TxlsFormat*> selected, TxlsFormat* focused,
                                  bool showAggregate) {
  selected_ = std::move(selected);
  focused_ = focused;
  aggregate_ = showAggregate;
  int at = c_->sheets->indexOf(c_->tsAggregate);
  if (aggregate_ && at < 0)
    c_->sheets->addTab(c_->tsAggregate, tr("&Функции"));
  else if (!aggregate_ && at >= 0)
    c_->sheets->removeTab(at);
  Show();
}

void TxlsFormatEditor::Refresh() {
  Show();
}

void TxlsFormatEditor::Show() {
  TControls& c = *c_;
  ++showing_;
  const bool any = focused_ != nullptr;
  for (QWidget* sheet : {c.tsFont, c.tsBorders, c.tsFill, c.tsAggregate}) sheet->setEnabled(any);
  c.sample->SetFormat(focused_);
  if (!any) {
    --showing_;
    return;
  }
  const TxlsFormat& f = *focused_;
  TxlsFormatView v = ViewOf(selected_, f);
  auto text = [](QComboBox* box, const QString& t) {
    if (box->hasFocus() && box->currentText() == t) return;
    int i = box->findText(t);
    box->setCurrentIndex(i);
    box->setEditText(t);
  };
  text(c.cbxFontName, v.FontName ? Q(*v.FontName) : QString());
  text(c.cbxFontSize, v.FontSize ? QString::number(*v.FontSize) : QString());
  ShowColor(c.bFontColor, xlsColorToScreen(f.Font.Color));
  for (int i = 0; i < 3; ++i) c.sbStyle[i]->setChecked(f.Font.Has(static_cast<TxlsFontStyle>(i)));
  for (int i = 0; i < 4; ++i) {
    c.sbUnderline[i]->setChecked(f.Font.Underline == fulSingle + i);
    c.sbHorizontal[i]->setChecked(f.Alignment.Horizontal == halLeft + i);
  }
  for (int i = 0; i < 3; ++i) c.sbVertical[i]->setChecked(f.Alignment.Vertical == i);
  for (int i = 0; i < 4; ++i) {
    auto side = static_cast<TxlsBorderSide>(i);
    c.cbxBorder[i]->setCurrentIndex(v.Borders[i] ? static_cast<int>(*v.Borders[i]) : -1);
    c.sbBorder[i]->setChecked(BorderOf(f, side).Style != bstNone);
    ShowColor(c.bBorderColor[i], xlsColorToScreen(BorderOf(f, side).Color));
  }
  c.cbxPattern->setCurrentIndex(v.Pattern ? static_cast<int>(*v.Pattern) : -1);
  ShowColor(c.bBackground, xlsColorToScreen(f.Fill.Background));
  ShowColor(c.bForeground, xlsColorToScreen(f.Fill.Foreground));
  if (auto* ff = dynamic_cast<const TxlsFieldFormat*>(&f))
    c.rbAggregate[std::clamp(static_cast<int>(ff->Aggregate), 0, 4)]->setChecked(true);
  --showing_;
}

}  // namespace morvale::form
