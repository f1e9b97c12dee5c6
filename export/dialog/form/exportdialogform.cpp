#include "export/dialog/form/exportdialogform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

#include "export/dialog/form/bindkeys.h"
#include "export/dialog/form/progressrun.h"
#include "export/dialog/form/prompts.h"
#include "export/dialog/pagekeys.h"
#include "ui_asciipage.h"
#include "ui_exportdialog.h"
#include "ui_htmlpage.h"
#include "ui_pdfpage.h"
#include "ui_rtfpage.h"
#include "ui_sqlpage.h"
#include "ui_xlspage.h"
#include "ui_xmlpage.h"

namespace morvale::form {

namespace {

// The captions grid's editors: a drop-down of the three alignments, a number from 0 to 1000.
class TCaptionsDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  enum { kAlign = Qt::UserRole + 1, kWidth };

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    const int kind = index.data(Qt::UserRole).toInt();
    if (kind == kAlign) {
      auto* box = new QComboBox(parent);
      for (TExportColAlign a : {ecaLeft, ecaCenter, ecaRight}) box->addItem(Q(AlignCellText(a)));
      return box;
    }
    if (kind == kWidth) {
      auto* spin = new QSpinBox(parent);
      spin->setRange(0, 1000);
      return spin;
    }
    return QStyledItemDelegate::createEditor(parent, option, index);
  }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    if (auto* box = qobject_cast<QComboBox*>(editor))
      box->setCurrentIndex(AlignFromCellText(S(index.data().toString())));
    else if (auto* spin = qobject_cast<QSpinBox*>(editor))
      spin->setValue(index.data().toInt());
    else
      QStyledItemDelegate::setEditorData(editor, index);
  }
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    if (auto* box = qobject_cast<QComboBox*>(editor))
      model->setData(index, box->currentText());
    else if (auto* spin = qobject_cast<QSpinBox*>(editor))
      model->setData(index, QString::number(spin->value()));
    else
      QStyledItemDelegate::setModelData(editor, model, index);
  }
};

QStringList Items(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

void SetItems(QListWidget* list, const QStringList& items) {
  if (Items(list) == items) return;
  list->clear();
  list->addItems(items);
}

QStringList QList(const std::vector<std::string>& v) {
  QStringList out;
  for (const auto& s : v) out << Q(s);
  return out;
}

// The top-level tabs in the order of the .ui file.
constexpr TDialogPage kTabs[] = {dpExportType, dpFields, dpFormats, dpColons, dpCaptions};

}  // namespace

TExportDialogF::TExportDialogF(TExportDialogModel& model, QWidget* parent)
    : QDialog(parent),
      model_(model),
      ui_(std::make_unique<Ui::TExportDialogF>()),
      xls_(std::make_unique<Ui::TXLSPage>()),
      rtf_(std::make_unique<Ui::TRTFPage>()),
      html_(std::make_unique<Ui::THTMLPage>()),
      xml_(std::make_unique<Ui::TXMLPage>()),
      sql_(std::make_unique<Ui::TSQLPage>()),
      ascii_(std::make_unique<Ui::TASCIIPage>()),
      pdf_(std::make_unique<Ui::TPDFPage>()),
      bind_([this] { Edited(); }),
      rtfStyle_([this] { Edited(); }) {
  ui_->setupUi(this);
  // The encoding row keeps its place for the types without one, so that switching types moves
  // nothing and the form keeps one size.
  QSizePolicy encoding = ui_->pnEncoding->sizePolicy();
  encoding.setRetainSizeWhenHidden(true);
  ui_->pnEncoding->setSizePolicy(encoding);
  auto addPage = [this](auto& pageUi) {
    auto* w = new QWidget(ui_->nbTypeOptions);
    pageUi->setupUi(w);
    ui_->nbTypeOptions->addWidget(w);
    return w;
  };
  addPage(xls_);
  addPage(rtf_);
  addPage(html_);
  addPage(xml_);
  addPage(sql_);
  addPage(ascii_);
  addPage(pdf_);
  noOptions_ = new QLabel(tr("У этого вида экспорта нет своих настроек."), ui_->nbTypeOptions);
  static_cast<QLabel*>(noOptions_)->setAlignment(Qt::AlignCenter);
  noOptions_->setObjectName(QStringLiteral("tsNoOptions"));
  ui_->nbTypeOptions->addWidget(noOptions_);
  // JSON's one choice makes a page of its own, shown instead of the "no settings" one.
  jsonOptions_ = new QWidget(ui_->nbTypeOptions);
  jsonOptions_->setObjectName(QStringLiteral("tsJSON"));
  auto* jsonLayout = new QVBoxLayout(jsonOptions_);
  jsonLayout->addWidget(ui_->cbJSONLines);
  jsonLayout->addStretch();
  ui_->nbTypeOptions->addWidget(jsonOptions_);
  // dBASE's one choice likewise: date-times as dates, or as texts that keep the time.
  dbfOptions_ = new QWidget(ui_->nbTypeOptions);
  dbfOptions_->setObjectName(QStringLiteral("tsDBF"));
  auto* dbfLayout = new QVBoxLayout(dbfOptions_);
  dbfDateTimeAsText_ =
      new QCheckBox(tr("Дату и &время записывать текстом (гггг-мм-дд чч:мм:сс)"), dbfOptions_);
  dbfDateTimeAsText_->setObjectName(QStringLiteral("cbDBFDateTimeAsText"));
  dbfLayout->addWidget(dbfDateTimeAsText_);
  auto* dbfNote = new QLabel(tr("Поле даты dBASE хранит только день: без этого флажка время "
                                "суток из столбцов даты и времени не сохраняется. Столбцы "
                                "времени всегда записываются текстом чч:мм:сс."),
                             dbfOptions_);
  dbfNote->setObjectName(QStringLiteral("laDBFNote"));
  dbfNote->setWordWrap(true);
  dbfLayout->addWidget(dbfNote);
  dbfLayout->addStretch();
  ui_->nbTypeOptions->addWidget(dbfOptions_);

  for (TAllowedExport t : model_.TypeList()) {
    auto* item = new QListWidgetItem(Q(TranslateText("ExportDialog", ExportTypeInfo(t).Label)),
                                     ui_->lbExportType);
    item->setData(Qt::UserRole, static_cast<int>(t));
  }
  connect(ui_->lbExportType, &QListWidget::currentRowChanged, this,
          [this] { lbExportTypeClick(); });

  tools_ = new QMenu(ui_->bTools);
  QAction* save =
      tools_->addAction(tr("Сохранить настройки..."), this, &TExportDialogF::miSaveOptionsClick);
  save->setObjectName(QStringLiteral("miSaveOptions"));
  QAction* load =
      tools_->addAction(tr("Загрузить настройки..."), this, &TExportDialogF::miLoadOptionsClick);
  load->setObjectName(QStringLiteral("miLoadOptions"));
  ui_->bTools->setMenu(tools_);
  const bool tools = model_.ToolsVisible();
  save->setVisible(tools);
  load->setVisible(tools);
  ui_->bTools->setVisible(tools);

  BindCommon();
  BindFields();
  BindUserFormats();
  BindCaptions();
  BindXLSPage();
  BindRTFPage();
  BindHTMLPage();
  BindSmallPages();
  BindPDFPage();

  connect(ui_->bStart, &QPushButton::clicked, this, &TExportDialogF::bStartClick);
  connect(ui_->bReset, &QPushButton::clicked, this, &TExportDialogF::bResetClick);
  connect(ui_->bClose, &QPushButton::clicked, this, &QDialog::reject);
  connect(ui_->pcExport, &QTabWidget::currentChanged, this, [this](int i) {
    if (refreshing_ == 0 && i >= 0 && i < static_cast<int>(std::size(kTabs)))
      model_.SetActivePage(kTabs[i]);
  });

  model_.OnChanged = [this] { RefreshAll(); };
  model_.Opened();
  RefreshAll();
  ui_->pcExport->setCurrentIndex(0);
  ui_->pcExportType->setCurrentIndex(0);
  ui_->edFileName->setFocus();
}

TExportDialogF::~TExportDialogF() {
  model_.OnChanged = nullptr;
}

void TExportDialogF::done(int result) {
  // A settings file that cannot be written is said, and the form closes all the same.
  RunShowingErrors(this, [this] { model_.Closing(); });
  QDialog::done(result);
}

void TExportDialogF::Edited() {
  if (refreshing_) return;
  // What follows every edit: the title, the start button, what the switches enable.
  const TDialogSettings& s = model_.Settings();
  setWindowTitle(Q(model_.Title()));
  ui_->bStart->setEnabled(model_.StartEnabled());
  ui_->edExportRecCount->setEnabled(s.ExportLimited);
  ui_->sgCaptions->setEnabled(s.AllowCaptions);
  html_->edHTMLFileRecCount->setEnabled(s.HTMLMultiFileOn);
  html_->edHTMLCSSFile->setEnabled(s.HTMLPage.UsingCSS == usExternal);
  html_->cbHTMLOverwriteCSS->setEnabled(s.HTMLPage.UsingCSS == usExternal);
  const bool user = s.PDF.PageOptions.Format() == pfUser;
  pdf_->edPDFPageWidth->setEnabled(user);
  pdf_->edPDFPageHeight->setEnabled(user);
  rtf_->bRTFBackgroundColor->setEnabled(rtf_->cbRTFAllowBackground->isChecked());
  rtf_->bRTFHighlightColor->setEnabled(rtf_->cbRTFAllowHighlight->isChecked());
  ShowParallel();
}

void TExportDialogF::RefreshAll() {
  ++refreshing_;
  bind_.Refresh();
  for (int i = 0; i < ui_->lbExportType->count(); ++i)
    if (ui_->lbExportType->item(i)->data(Qt::UserRole).toInt() == model_.Settings().ExportType &&
        ui_->lbExportType->currentRow() != i)
      ui_->lbExportType->setCurrentRow(i);
  RefreshPages();
  RefreshFields();
  RefreshUserFormats();
  RefreshCaptions();
  RefreshRTFLists();
  RefreshRTFEditor();
  RefreshPDFFont();
  const bool file = model_.FileControlsEnabled();
  ui_->edFileName->setEnabled(file);
  ui_->laFileName->setEnabled(file);
  ui_->bBrowse->setEnabled(file);
  ui_->cbShowFile->setEnabled(file);
  ui_->cbPrintFile->setEnabled(file);  // nothing to print when no file is written
  ui_->laCaptionRow->setVisible(model_.CaptionRowVisible());
  ui_->edCaptionRow->setVisible(model_.CaptionRowVisible());
  --refreshing_;
  Edited();
}

// ---- export type, file, run constraints -------------------------------------------------------

void TExportDialogF::BindCommon() {
  TDialogSettings& s = model_.Settings();
  connect(ui_->edFileName, &QLineEdit::textEdited, this, [this](const QString& t) {
    model_.SetFileName(S(t));
    Edited();
  });
  bind_.Show([this] {
    QString t = Q(model_.Settings().FileName);
    if (ui_->edFileName->text() != t) ui_->edFileName->setText(t);
  });
  connect(ui_->bBrowse, &QPushButton::clicked, this, &TExportDialogF::bBrowseClick);
  // The options page: the records a start reads, the parts, and "Параллельное чтение", offered
  // where this start can read the source in ranges, the reason shown where it cannot.
  TBindKeys keys{*this, bind_, s, {}, {}};
  pages::FileSettings(keys);
  pages::RunSettings(keys);
  pages::PartsSettings(keys);
  pages::ParallelSettings(keys);
  bind_.Show([this] { ShowParallel(); });
  // The items stand for the encodings in their order; the choice is the current type's own.
  bind_.Index(
      ui_->cbEncoding,
      [this] {
        const TDialogSettings& st = model_.Settings();
        return TextEncodingSection(st.ExportType) ? static_cast<int>(st.EncodingOf(st.ExportType))
                                                  : 0;
      },
      [this](int v) {
        TDialogSettings& st = model_.Settings();
        if (TextEncodingSection(st.ExportType) && v >= encSystem && v <= encWindows1251)
          st.EncodingOf(st.ExportType) = static_cast<TTextEncoding>(v);
      });
  ui_->tsTypeOptions->setEnabled(true);
  ui_->pcExportType->setTabVisible(1, model_.OptionsPageVisible());

  TExportFormats& f = s.Formats;
  using Get = const std::string& (TExportFormats::*)() const;
  using Set = void (TExportFormats::*)(const std::string&);
  auto format = [this, &f](QLineEdit* edit, Get get, Set set) {
    bind_.Text(
        edit, [&f, get] { return (f.*get)(); }, [&f, set](const std::string& v) { (f.*set)(v); });
  };
  // The formats page's fields are bound with the type pages (typepages.cpp); the SQL page shows
  // the NULL text a second time.
  format(sql_->edSQLNullString, &TExportFormats::NullString, &TExportFormats::SetNullString);

  bind_.Lines(ui_->memHeader, &s.Header);
  bind_.Lines(ui_->memFooter, &s.Footer);
  pages::CaptionSettings(keys);
}

void TExportDialogF::ShowParallel() {
  const std::string why = model_.RangeReadsWhy();
  ui_->cbParallelReading->setEnabled(why.empty());
  ui_->cbParallelReading->setToolTip(Q(why));
  ui_->seParallelConnections->setEnabled(why.empty() && model_.Settings().Parallel.On);
  ui_->laParallelWhy->setText(Q(why));
  ui_->laParallelWhy->setVisible(!why.empty());
}

void TExportDialogF::lbExportTypeClick() {
  if (refreshing_) return;
  QListWidgetItem* item = ui_->lbExportType->currentItem();
  if (!item) return;
  model_.SetExportType(static_cast<TAllowedExport>(item->data(Qt::UserRole).toInt()));
  RefreshAll();
}

void TExportDialogF::RefreshPages() {
  // A page the type has not is greyed rather than hidden, so that no tab moves when the type
  // changes.
  for (size_t i = 0; i < std::size(kTabs); ++i)
    ui_->pcExport->setTabEnabled(static_cast<int>(i), model_.PageVisible(kTabs[i]));
  ui_->pcExport->setTabText(4, Q(model_.CaptionsPageTitle()));
  const TDialogPage active = model_.ActivePage();
  int tab = 0;
  for (size_t i = 0; i < std::size(kTabs); ++i)
    if (kTabs[i] == active && model_.PageVisible(active)) tab = static_cast<int>(i);
  if (ui_->pcExport->currentIndex() != tab) ui_->pcExport->setCurrentIndex(tab);

  // The type pages sit in the stack in this order, the page for types without one last.
  static constexpr TDialogPage kTypePages[] = {dpXLS, dpRTF, dpHTML, dpXML, dpSQL, dpASCII, dpPDF};
  const TAllowedExport type = model_.Settings().ExportType;
  QWidget* page = type == aeJSON ? jsonOptions_ : type == aeDBF ? dbfOptions_ : noOptions_;
  for (size_t i = 0; i < std::size(kTypePages); ++i)
    if (kTypePages[i] == model_.TypeInfo().OptionsPage)
      page = ui_->nbTypeOptions->widget(static_cast<int>(i));
  ui_->nbTypeOptions->setCurrentWidget(page);
  ui_->pnEncoding->setVisible(TextEncodingSection(model_.Settings().ExportType) != nullptr);
  ui_->gbParts->setEnabled(WritesTextParts(type));
  ascii_->gbTXT->setVisible(model_.Settings().ExportType == aeTXT);
  ascii_->gbCSV->setVisible(model_.Settings().ExportType == aeCSV);
}

void TExportDialogF::bBrowseClick() {
  QString name = Q(model_.Settings().FileName);
  if (!Prompts().SaveFileName(this, {Q(model_.SaveFilter()), Q(model_.DefaultExt())}, QString(),
                              name))
    return;
  model_.SetFileName(S(name));
  RefreshAll();
}

void TExportDialogF::ChooseFile(QWidget* edit, const char* filter, const char* ext,
                                std::string* value) {
  QString name = Q(*value);
  if (!Prompts().OpenFileName(edit->window(), {QString::fromUtf8(filter), QString::fromUtf8(ext)},
                              name))
    return;
  *value = S(name);
  bind_.Refresh();
  Edited();
}

// ---- fields -----------------------------------------------------------------------------------

void TExportDialogF::BindFields() {
  auto selected = [](QListWidget* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->isSelected()) out.push_back(S(list->item(i)->text()));
    if (out.empty() && list->currentItem()) out.push_back(S(list->currentItem()->text()));
    return out;
  };
  auto moved = [this] { model_.Changed(); };
  connect(ui_->bAddOne, &QPushButton::clicked, this, [=, this] {
    for (const auto& f : selected(ui_->lstAllFields)) model_.MoveToExported(f);
    moved();
  });
  connect(ui_->bAddAll, &QPushButton::clicked, this, [=, this] {
    model_.MoveAllToExported();
    moved();
  });
  connect(ui_->bRemoveOne, &QPushButton::clicked, this, [=, this] {
    for (const auto& f : selected(ui_->lstExportedFields)) model_.MoveBack(f);
    moved();
  });
  connect(ui_->bRemoveAll, &QPushButton::clicked, this, [=, this] {
    model_.MoveAllBack();
    moved();
  });
  connect(ui_->lstAllFields, &QListWidget::itemDoubleClicked, this, [=, this](QListWidgetItem* i) {
    model_.MoveToExported(S(i->text()));
    moved();
  });
  connect(ui_->lstExportedFields, &QListWidget::itemDoubleClicked, this,
          [=, this](QListWidgetItem* i) {
            model_.MoveBack(S(i->text()));
            moved();
          });
  // A drag moves items between or within the lists by itself; the model then takes the exported
  // list's new order (once the drop is over) and the available list goes back to column order.
  for (QListWidget* list : {ui_->lstAllFields, ui_->lstExportedFields}) {
    connect(list->model(), &QAbstractItemModel::rowsInserted, this, [this] {
      if (!refreshing_) QTimer::singleShot(0, this, &TExportDialogF::ExportedListDropped);
    });
  }
}

void TExportDialogF::ExportedListDropped() {
  QStringList wanted = Items(ui_->lstExportedFields);
  wanted.removeDuplicates();
  std::vector<std::string> now = model_.Settings().ExportedFields;
  std::vector<std::string> order;
  for (const QString& f : wanted) order.push_back(S(f));
  if (order != now) model_.SetExportedFields(order);
  model_.Changed();
}

void TExportDialogF::RefreshFields() {
  SetItems(ui_->lstAllFields, QList(model_.AvailableFields()));
  SetItems(ui_->lstExportedFields, QList(model_.Settings().ExportedFields));
}

// ---- user formats -----------------------------------------------------------------------------

void TExportDialogF::BindUserFormats() {
  ui_->cbxUserFormatField->addItems(QList(model_.UserFormatFields()));
  connect(ui_->cbxUserFormatField, &QComboBox::currentIndexChanged, this,
          &TExportDialogF::cbxUserFormatFieldChange);
  cbxUserFormatFieldChange();
  connect(ui_->bAddUserFormat, &QPushButton::clicked, this, [this] {
    if (ui_->cbxUserFormatField->currentIndex() < 0) return;
    model_.AddUserFormat(S(ui_->cbxUserFormatField->currentText()),
                         S(ui_->cbxUserFormat->currentText()));
    model_.Changed();
  });
  connect(ui_->bEditUserFormat, &QPushButton::clicked, this, [this] {
    int row = ui_->lstUserFormats->currentRow();
    if (row < 0) return;
    QString value = Q(std::string(TStringList::ValuePart(model_.Settings().UserFormats[row])));
    if (!Prompts().InputText(this, tr("Новый формат"), tr("Введите значение:"), value)) return;
    model_.EditUserFormat(row, S(value));
    model_.Changed();
  });
  connect(ui_->bDeleteUserFormat, &QPushButton::clicked, this, [this] {
    int row = ui_->lstUserFormats->currentRow();
    if (row < 0) return;
    model_.DeleteUserFormat(row);
    model_.Changed();
  });
  connect(ui_->bClearUserFormats, &QPushButton::clicked, this, [this] {
    model_.ClearUserFormats();
    model_.Changed();
  });
}

void TExportDialogF::cbxUserFormatFieldChange() {
  ui_->cbxUserFormat->clear();
  if (ui_->cbxUserFormatField->currentIndex() < 0) return;
  ui_->cbxUserFormat->addItems(
      QList(model_.UserFormatExamples(S(ui_->cbxUserFormatField->currentText()))));
  ui_->cbxUserFormat->setCurrentIndex(0);
}

void TExportDialogF::RefreshUserFormats() {
  const TStringList& formats = model_.Settings().UserFormats;
  QStringList lines;
  for (const std::string& l : formats) lines << Q(l);
  int row = ui_->lstUserFormats->currentRow();
  SetItems(ui_->lstUserFormats, lines);
  if (row >= 0 && row < lines.size()) ui_->lstUserFormats->setCurrentRow(row);
  const bool any = !formats.Empty();
  ui_->bEditUserFormat->setEnabled(any);
  ui_->bDeleteUserFormat->setEnabled(any);
  ui_->bClearUserFormats->setEnabled(any);
}

// ---- captions ---------------------------------------------------------------------------------

void TExportDialogF::BindCaptions() {
  QTableWidget* grid = ui_->sgCaptions;
  grid->setItemDelegate(new TCaptionsDelegate(grid));
  grid->verticalHeader()->setVisible(false);
  grid->horizontalHeader()->setHighlightSections(false);
  QFont bold = grid->horizontalHeader()->font();
  bold.setBold(true);
  grid->horizontalHeader()->setFont(bold);
  grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
  connect(grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (refreshing_) return;
    auto& rows = model_.Settings().Captions;
    if (item->row() >= static_cast<int>(rows.size())) return;
    TCaptionRow& r = rows[item->row()];
    const int kind = item->data(Qt::UserRole).toInt();
    if (item->column() == 1) r.Caption = S(item->text());
    if (kind == TCaptionsDelegate::kAlign) r.Align = AlignFromCellText(S(item->text()));
    if (kind == TCaptionsDelegate::kWidth) {
      bool ok = false;
      int w = item->text().toInt(&ok);
      if (ok && w >= 0 && w <= 1000) r.Width = w;
    }
    Edited();
  });
}

void TExportDialogF::RefreshCaptions() {
  QTableWidget* grid = ui_->sgCaptions;
  const TCaptionLayout layout = model_.CaptionLayout();
  QStringList headers{tr("Имя поля"), tr("Заголовок")};
  std::vector<int> kinds;
  if (layout == clWidth) kinds = {TCaptionsDelegate::kWidth};
  if (layout == clAlign) kinds = {TCaptionsDelegate::kAlign};
  if (layout == clAlignWidth) kinds = {TCaptionsDelegate::kAlign, TCaptionsDelegate::kWidth};
  for (int k : kinds)
    headers << (k == TCaptionsDelegate::kWidth ? tr("Ширина") : tr("Выравнивание"));
  const auto& rows = model_.Settings().Captions;
  if (grid->columnCount() != headers.size()) grid->setColumnCount(static_cast<int>(headers.size()));
  grid->setHorizontalHeaderLabels(headers);
  grid->setRowCount(static_cast<int>(rows.size()));
  auto cell = [grid](int r, int c, const QString& text, int kind) {
    QTableWidgetItem* item = grid->item(r, c);
    if (!item) {
      item = new QTableWidgetItem;
      grid->setItem(r, c, item);
    }
    if (item->text() != text) item->setText(text);
    item->setData(Qt::UserRole, kind);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (c > 0) flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    if (kind == TCaptionsDelegate::kWidth)
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  };
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    cell(r, 0, Q(rows[r].FieldName), 0);
    cell(r, 1, Q(rows[r].Caption), 0);
    for (size_t k = 0; k < kinds.size(); ++k) {
      QString text = kinds[k] == TCaptionsDelegate::kWidth ? QString::number(rows[r].Width)
                                                           : Q(AlignCellText(rows[r].Align));
      cell(r, static_cast<int>(2 + k), text, kinds[k]);
    }
  }
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  grid->horizontalHeader()->setStretchLastSection(true);
  grid->setColumnWidth(0, 160);
  grid->setColumnWidth(1, kinds.empty() ? 260 : 220);
  if (kinds.size() == 2) grid->setColumnWidth(2, 120);
}

// ---- start and the tools menu -----------------------------------------------------------------

void TExportDialogF::bStartClick() {
  RunShowingErrors(this, [this] {
    TExport& exporter = model_.PrepareExporter();
    model_.Changed();
    TProgressRun run(exporter, this);
    if (model_.ManyTables())
      run.Run([&] { run.Summary(model_.RunTables(&run, &run)); });
    else
      run.Run([&] { model_.RunExporter(exporter, &run); });
  });
  RefreshAll();
}

void TExportDialogF::OptionsFile(bool save) {
  QString name = Q(model_.Settings().OptionsFileName);
  const TFileFilter filter{QString::fromUtf8(kOptionsFileFilter),
                           QString::fromUtf8(kOptionsFileExt)};
  if (!(save ? Prompts().SaveFileName(this, filter, QString(), name)
             : Prompts().OpenFileName(this, filter, name)))
    return;
  model_.Settings().OptionsFileName = S(name);
  RunShowingErrors(this, [&] {
    if (save)
      model_.SaveOptions(S(name));
    else
      model_.LoadOptions(S(name));
  });
  RefreshAll();
}

void TExportDialogF::bResetClick() {
  if (!Prompts().Question(this, tr("Сбросить"),
                          tr("Вернуть все настройки экспорта к исходным значениям?"),
                          IPrompts::TButtons::YesNo, false))
    return;
  model_.ResetToDefaults();
  RefreshAll();
}

void TExportDialogF::miSaveOptionsClick() {
  OptionsFile(true);
}

void TExportDialogF::miLoadOptionsClick() {
  OptionsFile(false);
}

void InstallExportDialogForm(QWidget* parent) {
  SetExportDialogForm([parent](TExportDialogModel& model) {
    TExportDialogF form(model, parent);
    form.exec();
  });
}

}  // namespace morvale::form
