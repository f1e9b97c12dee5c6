// The note's editor: its place and text, its font, and its fill.
#include <QButtonGroup>
#include <QFontComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTabWidget>

#include "export/dialog/form/prompts.h"
#include "export/dialog/form/xlscolorchooser.h"
#include "export/dialog/form/xlsextrasfields.h"
#include "export/workbook/palette.h"

namespace morvale::form {

namespace {

// The screen's font sizes offered for a note; the text is free.
const QStringList kNoteSizes = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                                "20", "22", "24", "26", "28", "36", "48", "72"};

}  // namespace

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
  f->addRow(Label(tr("Кол."), col), col);
  f->addRow(Label(tr("Стр."), row), row);
  f->addRow(Label(tr("Текст"), text), text);
  sheets->addTab(Named(Page(f), "tsNoteBase"), tr("Основное"));
  sheets->addTab(BuildNoteFontSheet(), tr("Шрифт"));
  sheets->addTab(BuildNoteFillSheet(), tr("Заливка"));
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
  } bits[] = {{"tbNoteBold", QT_TR_NOOP("Ж"), QT_TR_NOOP("Жирный"), xfsBold},
              {"tbNoteItalic", QT_TR_NOOP("К"), QT_TR_NOOP("Наклонный"), xfsItalic},
              {"tbNoteStrikeOut", QT_TR_NOOP("З"), QT_TR_NOOP("Перечеркнутый"), xfsStrikeOut}};
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
      {{"tbNoteUnderlineSingle", QT_TR_NOOP("Ч"), QT_TR_NOOP("Одинарное подчеркивание"), fulSingle},
       {"tbNoteUnderlineDouble", QT_TR_NOOP("Ч²"), QT_TR_NOOP("Двойное подчеркивание"), fulDouble},
       {"tbNoteUnderlineSingleAccounting", QT_TR_NOOP("Ч с"),
        QT_TR_NOOP("Одинарное подчеркивание по словам"), fulSingleAccounting},
       {"tbNoteUnderlineDoubleAccounting", QT_TR_NOOP("Ч² с"),
        QT_TR_NOOP("Двойное подчеркивание по словам"), fulDoubleAccounting}},
      [](T& n) { return int(n.Format.Font.Underline); },
      [](T& n, int v) { n.Format.Font.Underline = static_cast<TxlsFontUnderline>(v); }, fulNone);
  auto* horizontal = new QHBoxLayout;
  group(
      horizontal,
      {{"tbNoteAlignLeft", QT_TR_NOOP("Лев."), QT_TR_NOOP("По левому краю"), halLeft},
       {"tbNoteAlignCenter", QT_TR_NOOP("Центр"), QT_TR_NOOP("По центру"), halCenter},
       {"tbNoteAlignRight", QT_TR_NOOP("Прав."), QT_TR_NOOP("По правому краю"), halRight},
       {"tbNoteAlignFill", QT_TR_NOOP("Шир."), QT_TR_NOOP("По ширине"), halFill}},
      [](T& n) { return int(n.Format.Alignment.Horizontal); },
      [](T& n, int v) { n.Format.Alignment.Horizontal = static_cast<TxlsHorizontalAlignment>(v); },
      halGeneral);
  auto* vertical = new QHBoxLayout;
  {
    auto* g = new QButtonGroup(this);
    const std::tuple<const char*, const char*, const char*, int> buttons[] = {
        {"tbNoteAlignTop", QT_TR_NOOP("Верх"), QT_TR_NOOP("По верхнему краю"), valTop},
        {"tbNoteAlignMiddle", QT_TR_NOOP("Середина"), QT_TR_NOOP("По центру"), valCenter},
        {"tbNoteAlignBottom", QT_TR_NOOP("Низ"), QT_TR_NOOP("По нижнему краю"), valBottom}};
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

  auto* orientation = Named(new QGroupBox(tr(" Ориентация ")), "gbNoteOrientation");
  auto* orientationLayout = new QVBoxLayout(orientation);
  auto* orientations = new QButtonGroup(this);
  const char* const orientationTexts[] = {QT_TR_NOOP("Без поворота"), QT_TR_NOOP("Сверху вниз"),
                                          QT_TR_NOOP("Против часовой стрелки"),
                                          QT_TR_NOOP("По часовой стрелке")};
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
  fontRow->addWidget(Label(tr("Размер"), size));
  fontRow->addWidget(size);
  fontRow->addWidget(color);
  f->addRow(Label(tr("Шрифт"), name), fontRow);
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
  auto* type = Named(new QGroupBox(tr(" Тип заливки ")), "gbNoteFillType");
  auto* typeLayout = new QHBoxLayout(type);
  auto* types = new QButtonGroup(this);
  types->addButton(Radio("rbNoteSolid", tr("Сплошная")), nftSolid);
  types->addButton(Radio("rbNoteGradient", tr("Градиент")), nftGradient);
  for (QAbstractButton* b : types->buttons()) typeLayout->addWidget(b);
  typeLayout->addStretch();

  auto* gradient = Named(new QGroupBox, "gbNoteGradient");
  auto* gradientLayout = new QGridLayout(gradient);
  auto* gradients = new QButtonGroup(this);
  const char* const texts[] = {
      QT_TR_NOOP("Горизонтальный"),    QT_TR_NOOP("Вертикальный"), QT_TR_NOOP("Диагональный вверх"),
      QT_TR_NOOP("Диагональный вниз"), QT_TR_NOOP("Из угла"),      QT_TR_NOOP("Из центра")};
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
      colorButton("bNoteBackgroundColor", tr("Цвет фона"), &TxlsNoteFormat::BackgroundColor);
  QToolButton* foreground =
      colorButton("bNoteForegroundColor", tr("Цвет узора"), &TxlsNoteFormat::ForegroundColor);

  auto* transparencyLabel = Named(new QLabel, "laNoteTransparency");
  auto* transparency = Named(new QSlider(Qt::Horizontal), "tbNoteTransparency");
  transparency->setRange(0, 100);
  transparencyLabel->setBuddy(transparency);
  auto caption = [transparencyLabel](int v) {
    transparencyLabel->setText(tr("Прозрачность") + QString::asprintf(" - %d%%", v));
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

}  // namespace morvale::form
