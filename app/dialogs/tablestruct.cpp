#include "app/dialogs/tablestruct.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>

#include "app/dialogs/qtext.h"
#include "app/helpers/prompts.h"
#include "app/tools/views.h"
#include "ui_tablestruct.h"

namespace morvale {

TDlg_TableStruct::TDlg_TableStruct(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TDlg_TableStruct>()) {
  ui->setupUi(this);
  ui->SG_Str->verticalHeader()->setDefaultSectionSize(18);
  connect(ui->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  Reset();
}

TDlg_TableStruct::~TDlg_TableStruct() = default;

void TDlg_TableStruct::Reset() {
  QTableWidget* g = ui->SG_Str;
  g->clear();
  g->setColumnCount(3);
  g->setRowCount(1);
  g->setHorizontalHeaderLabels({tr("Поле"), tr("Тип"), tr("Размер")});
  FitColumns('0');
}

// Each column wide enough for its longest cell in sample characters; the rows never lower than
// the text of a Cyrillic capital plus an eighth.
void TDlg_TableStruct::FitColumns(char sample) {
  QTableWidget* g = ui->SG_Str;
  QFontMetrics fm(g->font());
  QScreen* screen = QGuiApplication::primaryScreen();
  const int screenWidth = screen ? screen->geometry().width() : 1024;
  for (int c = 0; c < g->columnCount(); ++c) {
    std::vector<std::string> cells;
    if (QTableWidgetItem* h = g->horizontalHeaderItem(c)) cells.push_back(FromQ(h->text()));
    for (int r = 0; r < g->rowCount(); ++r)
      if (QTableWidgetItem* item = g->item(r, c)) cells.push_back(FromQ(item->text()));
    int chars = FitColumnChars(cells);
    g->setColumnWidth(
        c, FitColumnWidth(fm.horizontalAdvance(QString(chars, QChar(sample))), screenWidth));
  }
  QHeaderView* rows = g->verticalHeader();
  int h = fm.height();
  rows->setDefaultSectionSize(std::max(rows->defaultSectionSize(), h + h / 8));
}

bool TDlg_TableStruct::Fill(const TDataSet* ds, const TStringList& sql) {
  Reset();
  if (!ds || !ds->Active()) {
    ShowMessage(FromQ(tr("Сначала откройте таблицу ...")));
    return false;
  }
  ui->RE_SQL->setPlainText(ToQ(sql.Text()));
  std::vector<TStructureRow> rows = StructureRows(*ds);
  QTableWidget* g = ui->SG_Str;
  g->setRowCount(std::max<int>(1, static_cast<int>(rows.size())));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    g->setItem(r, 0, new QTableWidgetItem(ToQ(rows[r].Field)));
    g->setItem(r, 1, new QTableWidgetItem(ToQ(rows[r].Type)));
    auto* size = new QTableWidgetItem(ToQ(rows[r].Size));
    size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    g->setItem(r, 2, size);
  }
  FitColumns('W');
  return true;
}

bool TDlg_TableStruct::ShowStructure(const TDataSet* ds, const TStringList& sql) {
  if (!Fill(ds, sql)) return false;
  bool ok = exec() == QDialog::Accepted;
  ui->RE_SQL->clear();
  Reset();
  return ok;
}

}  // namespace morvale
