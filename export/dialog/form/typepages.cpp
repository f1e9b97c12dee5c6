// The pages of the export types: spreadsheet, Word/RTF, HTML, XML, SQL, text and PDF.
#include <QFontComboBox>
#include <QListWidget>
#include <QToolButton>

#include "export/dialog/form/bindkeys.h"
#include "export/dialog/form/exportdialogform.h"
#include "export/dialog/form/prompts.h"
#include "export/dialog/form/xlsextraspage.h"
#include "export/dialog/form/xlsformatspage.h"
#include "export/dialog/pagekeys.h"
#include "export/text/html.h"
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

// The choosers translate their filters (context "Filters").
const char* const kPictureFilter = QT_TRANSLATE_NOOP(
    "Filters",
    "Pictures (*.jpg, *.jpeg, *.png, *.gif, *.bmp)|*.jpg;*.jpeg;*.png;*.gif;*.bmp|All files "
    "(*.*)|*.*");
const char* const kXLSBackgroundFilter = QT_TRANSLATE_NOOP(
    "Filters",
    "All (*.gif;*.jpg;*.jpeg;*.bmp)|*.gif;*.jpg;*.jpeg;*.bmp;|CompuServe GIF Image "
    "(*.gif)|*.gif|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps "
    "(*.bmp)|*.bmp");
const char* const kTemplateFilter =
    QT_TRANSLATE_NOOP("Filters", "HTML colour templates (*.ini)|*.ini|All files (*.*)|*.*");

void Resync(QListWidget* list, const QStringList& items, int row) {
  QStringList now;
  for (int i = 0; i < list->count(); ++i) now << list->item(i)->text();
  if (now != items) {
    list->clear();
    list->addItems(items);
  }
  if (row != list->currentRow()) list->setCurrentRow(row);
}

}  // namespace

// ---- spreadsheet ------------------------------------------------------------------------------

void TExportDialogF::BindXLSPage() {
  TXLSPage& p = model_.Settings().XLS;
  TBindKeys keys{*this, bind_, model_.Settings(), {}, {}};
  pages::XLSSettings(keys);
  // The chooser starts on the current file, so in its folder.
  connect(xls_->bXLSPageBackground, &QToolButton::clicked, this, [this, &p] {
    ChooseFile(xls_->edXLSPageBackground, kXLSBackgroundFilter, "", &p.PageBackground);
  });
  xlsFormats_ = new TXLSFormatsPage(model_, *xls_, xls_->pcXLS);
  bind_.Show([this] { xlsFormats_->Refresh(); });
  QStringList columns;
  for (int i = 0; i < model_.Columns().Count(); ++i) columns << Q(model_.Columns()[i].Name);
  xlsExtras_ = new TxlsExtrasPage(p, columns, xls_->tsExtensions);
  xls_->layoutExtensions->addWidget(xlsExtras_);
  bind_.Show([this] { xlsExtras_->Refresh(); });
}

// ---- Word / RTF -------------------------------------------------------------------------------

TrtfStyle* TExportDialogF::SelectedRTFStyle() {
  TRTFPage& p = model_.Settings().RTF;
  int base = rtf_->lstRTFBaseStyles->currentRow();
  if (base >= 0 && base < static_cast<int>(p.BaseStyles.size()) &&
      rtf_->lstRTFBaseStyles->currentItem()->isSelected())
    return &p.BaseStyles[base].Style;
  int strip = rtf_->lstRTFStripStyles->currentRow();
  if (strip >= 0 && strip < static_cast<int>(p.StripStyles.size()))
    return &p.StripStyles[strip].Style;
  if (base >= 0 && base < static_cast<int>(p.BaseStyles.size())) return &p.BaseStyles[base].Style;
  return nullptr;
}

void TExportDialogF::BindRTFPage() {
  TBindKeys keys{*this, bind_, model_.Settings(), {}, {}};
  pages::RTFSettings(keys);

  // Choosing in one list ends the choice in the other: the editor shows one style.
  connect(rtf_->lstRTFBaseStyles, &QListWidget::itemPressed, this, [this] {
    rtf_->lstRTFStripStyles->setCurrentRow(-1);
    RefreshRTFEditor();
  });
  connect(rtf_->lstRTFStripStyles, &QListWidget::itemPressed, this, [this] {
    rtf_->lstRTFBaseStyles->setCurrentRow(-1);
    RefreshRTFEditor();
  });
  for (QListWidget* l : {rtf_->lstRTFBaseStyles, rtf_->lstRTFStripStyles})
    connect(l, &QListWidget::currentRowChanged, this, [this] {
      if (!refreshing_) RefreshRTFEditor();
    });

  // The editor edits the chosen style in place; the sample follows each edit. Its widgets have
  // a binder of their own, which shows them again when another style is chosen.
  TBindKeys editor{*this, rtfStyle_, model_.Settings(), {}, {}};
  const TrtfStyle newStyle;
  TBindChosenKeys<TrtfStyle> style{editor, [this] { return SelectedRTFStyle(); }, newStyle,
                                   [this] { RefreshRTFEditor(); }};
  pages::RTFStyleSettings(style);

  connect(rtf_->bRTFAddStrip, &QPushButton::clicked, this, [this] {
    model_.AddRTFStripStyle();
    model_.Changed();
    rtf_->lstRTFBaseStyles->setCurrentRow(-1);
    rtf_->lstRTFStripStyles->setCurrentRow(rtf_->lstRTFStripStyles->count() - 1);
  });
  connect(rtf_->bRTFDeleteStrip, &QPushButton::clicked, this, [this] {
    int row = rtf_->lstRTFStripStyles->currentRow();
    if (row < 0) return;
    int next = model_.DeleteRTFStripStyle(row);
    model_.Changed();
    rtf_->lstRTFStripStyles->setCurrentRow(next);
  });
  auto move = [this](int delta) {
    int row = rtf_->lstRTFStripStyles->currentRow();
    if (row < 0) return;
    model_.MoveRTFStripStyle(row, delta);
    model_.Changed();
    int to = std::clamp(row + delta, 0, rtf_->lstRTFStripStyles->count() - 1);
    rtf_->lstRTFStripStyles->setCurrentRow(to);
  };
  connect(rtf_->bRTFStripUp, &QPushButton::clicked, this, [move] { move(-1); });
  connect(rtf_->bRTFStripDown, &QPushButton::clicked, this, [move] { move(1); });
  connect(rtf_->bRTFReset, &QPushButton::clicked, this, [this] {
    int strip = rtf_->lstRTFStripStyles->currentRow();
    if (strip >= 0)
      model_.ResetRTFStripStyle(strip);
    else
      model_.ResetRTFBaseStyle(rtf_->lstRTFBaseStyles->currentRow());
    model_.Changed();
  });
  connect(rtf_->bRTFResetAll, &QPushButton::clicked, this, [this] {
    if (!Prompts().Question(
            this, tr("Attention!"),
            tr("All field formats will be reset the default values.\nAre you sure?"),
            IPrompts::TButtons::YesNo, false))
      return;
    model_.ResetAllRTFStyles();
    model_.Changed();
  });
  connect(rtf_->bRTFSaveStyles, &QPushButton::clicked, this, [this] {
    QString name;
    if (!Prompts().SaveFileName(this, {kRTFStyleFileFilter, kRTFStyleFileExt}, QString(), name))
      return;
    RunShowingErrors(this, [&] { model_.SaveRTFStyles(S(name)); });
  });
  connect(rtf_->bRTFLoadStyles, &QPushButton::clicked, this, [this] {
    QString name;
    if (!Prompts().OpenFileName(this, {kRTFStyleFileFilter, kRTFStyleFileExt}, name)) return;
    model_.LoadRTFStyles(S(name));
    model_.Changed();
    rtf_->lstRTFBaseStyles->setCurrentRow(-1);
    rtf_->lstRTFStripStyles->setCurrentRow(rtf_->lstRTFStripStyles->count() > 0 ? 0 : -1);
  });
}

void TExportDialogF::RefreshRTFLists() {
  const TRTFPage& p = model_.Settings().RTF;
  QStringList base, strip;
  for (const auto& s : p.BaseStyles) base << Q(s.Caption);
  for (const auto& s : p.StripStyles) strip << Q(s.Caption);
  int b = rtf_->lstRTFBaseStyles->currentRow(), s = rtf_->lstRTFStripStyles->currentRow();
  if (b < 0 && s < 0) b = 0;
  Resync(rtf_->lstRTFBaseStyles, base, std::min(b, static_cast<int>(base.size()) - 1));
  Resync(rtf_->lstRTFStripStyles, strip, std::min(s, static_cast<int>(strip.size()) - 1));
  const bool any = !strip.isEmpty();
  rtf_->bRTFDeleteStrip->setEnabled(any);
  rtf_->bRTFStripUp->setEnabled(any);
  rtf_->bRTFStripDown->setEnabled(any);
  rtf_->bRTFSaveStyles->setEnabled(any);
}

void TExportDialogF::RefreshRTFEditor() {
  TrtfStyle* st = SelectedRTFStyle();
  rtf_->gbRTFStyle->setEnabled(st != nullptr);
  if (!st) return;
  ++refreshing_;
  rtfStyle_.Refresh();
  rtf_->bRTFBackgroundColor->setEnabled(st->AllowBackground);
  rtf_->bRTFHighlightColor->setEnabled(st->AllowHighlight);
  // The sample shows the style as a reader will.
  QFont f(Q(st->Font.Name));
  f.setPointSize(std::max(1, st->Font.Size));
  f.setBold(st->Font.Style & fsBold);
  f.setItalic(st->Font.Style & fsItalic);
  f.setUnderline(st->Font.Style & fsUnderline);
  f.setStrikeOut(st->Font.Style & fsStrikeOut);
  QLabel* sample = rtf_->laRTFSample;
  sample->setFont(f);
  QPalette pal = sample->palette();
  TColor back = st->AllowHighlight ? st->HighlightColor
                                   : (st->AllowBackground ? st->BackgroundColor : clWhite);
  pal.setColor(QPalette::Window, ToQColor(back));
  pal.setColor(QPalette::WindowText, ToQColor(st->Font.Color));
  sample->setPalette(pal);
  static const Qt::Alignment kQtAlign[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter,
                                           Qt::AlignJustify};
  sample->setAlignment(kQtAlign[st->Alignment & 3] | Qt::AlignVCenter);
  --refreshing_;
}

// ---- HTML -------------------------------------------------------------------------------------

void TExportDialogF::BindHTMLPage() {
  TDialogSettings& s = model_.Settings();
  TExportHTMLPageOptions& page = s.HTMLPage;
  TExportHTMLTableOptions& table = s.HTMLTable;
  // A colour picked by hand is no template's any more.
  TBindKeys keys{*this, bind_, s, [&s] { s.HTMLTemplate = htCustom; },
                 [this](QFontComboBox* box, std::string* name) {
                   bind_.Show([box, name] {
                     if (box->hasFocus()) return;
                     box->setCurrentFont(QFont(Q(*name)));
                     box->setEditText(Q(*name));
                   });
                   connect(box, &QFontComboBox::currentFontChanged, this,
                           [this, name](const QFont& f) {
                             if (!refreshing_ && !bind_.Refreshing()) *name = S(f.family());
                           });
                 }};
  pages::HTMLSettings(keys);

  // The list starts with "Custom"; the templates follow in their own order.
  bind_.Index(
      html_->cbxHTMLTemplate, [&s] { return s.HTMLTemplate == htCustom ? 0 : s.HTMLTemplate + 1; },
      [this](int i) {
        model_.SetHTMLTemplate(i == 0 ? htCustom : static_cast<THTMLTemplate>(i - 1));
        model_.Changed();
      });
  connect(html_->bHTMLBackground, &QPushButton::clicked, this, [this, &page] {
    ChooseFile(html_->edHTMLBackground, kPictureFilter, "", &page.BackgroundFileName);
  });
  connect(html_->bHTMLTableBackground, &QPushButton::clicked, this, [this, &table] {
    ChooseFile(html_->edHTMLTableBackground, kPictureFilter, "", &table.BackgroundFileName);
  });
  // Template files hold the HTML exporter's colours: the page's go into it before a save, and
  // come back from it after a load.
  const TExportTypeInfo& info = ExportTypeInfo(aeHTML);
  connect(html_->bHTMLSaveTemplate, &QPushButton::clicked, this, [this, &info] {
    QString name;
    if (!Prompts().SaveFileName(this, {kTemplateFilter, QStringLiteral("ini")}, QString(), name))
      return;
    auto& e = static_cast<TExportHTML&>(model_.Exporter(aeHTML));
    RunShowingErrors(this, [&] {
      if (info.Prepare) info.Prepare(model_.Settings(), e);
      e.SaveTemplateToFile(S(name));
    });
  });
  connect(html_->bHTMLLoadTemplate, &QPushButton::clicked, this, [this, &info, &s] {
    QString name;
    if (!Prompts().OpenFileName(this, {kTemplateFilter, QStringLiteral("ini")}, name)) return;
    auto& e = static_cast<TExportHTML&>(model_.Exporter(aeHTML));
    RunShowingErrors(this, [&] {
      if (info.Prepare) info.Prepare(model_.Settings(), e);
      e.LoadTemplateFromFile(S(name));
      if (info.Capture) info.Capture(e, s);
      s.HTMLTemplate = htCustom;
    });
    model_.Changed();
  });
}

// ---- XML, SQL, text ---------------------------------------------------------------------------

void TExportDialogF::BindSmallPages() {
  TDialogSettings& s = model_.Settings();
  TBindKeys keys{*this, bind_, s, {}, {}};
  pages::FormatSettings(keys);
  pages::XMLSettings(keys);

  pages::SQLSettings(keys);

  pages::TXTSettings(keys);
  pages::CSVSettings(keys);
  pages::JSONSettings(keys);
  pages::DBFSettings(keys);
  ascii_->edCSVComma->setToolTip(tr("Один знак; табуляция — #9"));
}

// ---- PDF --------------------------------------------------------------------------------------

TPDFFont* TExportDialogF::SelectedPDFFont() {
  const int row = pdf_->lstPDFFonts->currentRow();
  if (row < 0 || row >= static_cast<int>(std::size(pages::kPDFFonts))) return nullptr;
  return &(model_.Settings().PDF.*pages::kPDFFonts[row].Font);
}

void TExportDialogF::BindPDFPage() {
  // Spacings and the grid width that are no numbers take the component's values. The paper's
  // sizes and margins are edited in points, whatever the units.
  TDialogSettings record = model_.Settings();
  record.PDF = model_.Dialog().PDFOptions;
  TBindKeys keys{*this, bind_, model_.Settings(), {}, {}, &record};
  pages::PDFSettings(keys);

  // The font editor edits the font chosen in the list; a size that is no number, or 0, is a new
  // font's.
  pdf_->lstPDFFonts->setCurrentRow(2);
  connect(pdf_->lstPDFFonts, &QListWidget::currentRowChanged, this, [this] {
    RefreshPDFFont();
    bind_.Refresh();
  });
  const TPDFFont newFont;
  TBindChosenKeys<TPDFFont> font{keys, [this] { return SelectedPDFFont(); }, newFont};
  pages::PDFFontSettings(font);
}

void TExportDialogF::RefreshPDFFont() {
  pdf_->gbPDFFont->setEnabled(SelectedPDFFont() != nullptr);
}

}  // namespace morvale::form
