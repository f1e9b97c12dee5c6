// The chart's editor (title and look, position, category labels) and the series' editor.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTabWidget>

#include "export/dialog/form/xlscolorchooser.h"
#include "export/dialog/form/xlsextrasfields.h"
#include "export/workbook/palette.h"

namespace morvale::form {

// ---- chart -------------------------------------------------------------------------------------

QWidget* TxlsExtrasPage::BuildChartEditor() {
  using T = TxlsChart;
  auto* sheets = Named(new QTabWidget, "pcChartEditor");
  QFormLayout* f = Form();
  QLineEdit* title = TextField<T>("edChartTitle", [](T& c, const std::string& v) { c.Title = v; });
  OnShow([this, title] { title->setText(Q(Item<T>()->Title)); });
  QStringList styles;
  for (const char* s :
       {QT_TR_NOOP("Гистограмма"), QT_TR_NOOP("Гистограмма 3D"), QT_TR_NOOP("Линейчатая"),
        QT_TR_NOOP("Линейчатая 3D"), QT_TR_NOOP("График"), QT_TR_NOOP("График с маркерами"),
        QT_TR_NOOP("График 3D"), QT_TR_NOOP("Круговая"), QT_TR_NOOP("Круговая 3D"),
        QT_TR_NOOP("С областями"), QT_TR_NOOP("С областями 3D"), QT_TR_NOOP("Поверхность"),
        QT_TR_NOOP("Поверхность 3D"), QT_TR_NOOP("Лепестковая"),
        QT_TR_NOOP("Лепестковая с областями")})
    styles << tr(s);
  QComboBox* style = IndexField<T>(
      "cbxChartStyle", styles, [](T& c) { return int(c.Style); },
      [](T& c, int i) { c.Style = static_cast<TxlsChartStyle>(i); });
  QComboBox* legend = IndexField<T>(
      "cbxChartLegendPosition",
      {tr("Внизу"), tr("В углу"), tr("Вверху"), tr("Справа"), tr("Слева")},
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
  f->addRow(Label(tr("Заголовок"), title), title);
  f->addRow(Label(tr("Тип"), style), style);
  f->addRow(Label(tr("Положение легенды"), legend), legend);
  f->addRow(check("cbChartShowLegend", tr("Показать легенду"), &T::ShowLegend));
  f->addRow(check("cbChartAutoColor", tr("Автоцвет"), &T::AutoColor));
  sheets->addTab(Named(Stretched(f), "tsChartBase"), tr("Основное"));
  sheets->addTab(BuildChartPositionSheet(), tr(" Положение "));
  sheets->addTab(BuildChartLabelsSheet(), tr(" Подписи категорий "));
  return sheets;
}

QWidget* TxlsExtrasPage::BuildChartPositionSheet() {
  using T = TxlsChart;
  auto* v = new QVBoxLayout;
  QRadioButton* automatic = Radio("rbChartAutoPosition", tr("Автоматически"));
  QRadioButton* custom = Radio("rbChartCustomPosition", tr("Вручную"));
  auto* placement = Named(new QGroupBox(tr(" Размещение ")), "gbChartPlacement");
  auto* placementLayout = new QHBoxLayout(placement);
  auto* placements = new QButtonGroup(this);
  placements->addButton(Radio("rbChartBottom", tr("Внизу")), cpBottom);
  placements->addButton(Radio("rbChartRight", tr("Справа")), cpRight);
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
  autoForm->addRow(Label(tr("Слева"), left), left);
  autoForm->addRow(Label(tr("Сверху"), top), top);
  autoForm->addRow(Label(tr("Высота"), height), height);
  autoForm->addRow(Label(tr("Ширина"), width), width);
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
  RangeField<T>(
      f, "ChartCategory", [](T& c) -> TxlsRangeType& { return c.CategoryLabelsType; },
      [](T& c) -> std::string& { return c.CategoryLabelsColumn; },
      [](T& c) -> TxlsDataRange& { return c.CategoryLabels; });
  return Named(Stretched(f), "tsChartCategoryLabels");
}

// ---- series ------------------------------------------------------------------------------------

QWidget* TxlsExtrasPage::BuildSeriesEditor() {
  using T = TxlsChartSeries;
  QFormLayout* f = Form();
  QLineEdit* title = TextField<T>("edSeriesTitle", [](T& s, const std::string& v) { s.Title = v; });
  OnShow([this, title] { title->setText(Q(Item<T>()->Title)); });
  auto* range = Named(new QGroupBox(tr(" Диапазон данных ")), "gbSeriesDataRange");
  QFormLayout* r = Form();
  range->setLayout(r);
  RangeField<T>(
      r, "Series", [](T& s) -> TxlsRangeType& { return s.DataRangeType; },
      [](T& s) -> std::string& { return s.DataColumn; },
      [](T& s) -> TxlsDataRange& { return s.DataRange; });
  auto* color = Named(new QToolButton, "bSeriesColor");
  color->setToolTip(tr("Цвет"));
  connect(color, &QToolButton::clicked, this, [this, color] {
    if (T* s = Item<T>()) {
      s->Color = ChooseColor(this, s->Color);
      ShowColor(color, xlsColorToScreen(s->Color));
    }
  });
  OnShow([this, color] { ShowColor(color, xlsColorToScreen(Item<T>()->Color)); });
  f->addRow(Label(tr("Заголовок"), title), title);
  f->addRow(range);
  f->addRow(Label(tr("Цвет"), color), color);
  return Named(Stretched(f), "tsSeriesEditor");
}

}  // namespace morvale::form
