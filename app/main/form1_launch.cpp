// What the main window starts on the open query: the export dialog, the export folder, and the
// viewers of a field, a record and the result's structure.
#include "app/helpers/helpers.h"
#include "app/helpers/prompts.h"
#include "app/main/form1.h"

namespace morvale {

void TForm1::SpeedButton4Click() {
  if (!query_.Active()) return;
  SetInfo(tr("Экспортируем инфу ..."));
  std::string table = SelectedTable();
  std::string fileName = ExportFolder() + (table.empty() ? std::string("Unknown") : table);
  ExportDialog1.FileName = fileName;
  ExportDialog1.Execute();
  SetInfo(tr("Экспорт закончен"));
}

void TForm1::SpeedButton6Click() {
  std::string folder = TrimSpaces(ExportFolder());
  if (ChooseFolder(folder)) Edit_DirExport->setText(QString::fromStdString(TrimSpaces(folder)));
}

void TForm1::Memo1Click() {
  TField* field = gridSource_->SelectedField();
  if (!field || !Viewers.ShowText) return;
  model_->MakeCurrent(DBGrid1->currentIndex().row());
  Viewers.ShowText(tr("Содержание поля").toStdString(), field->AsString());
}

void TForm1::N15Click() {
  if (!query_.Active() || !Viewers.ShowRow) return;
  QModelIndex current = DBGrid1->currentIndex();
  model_->MakeCurrent(current.isValid() ? current.row() : 0);
  Viewers.ShowRow(query_);
}

void TForm1::N7Click() {
  if (!query_.Active()) {
    Prompts().Message(tr("Сначала откройте таблицу ...").toStdString());
    return;
  }
  if (!Viewers.ShowStructure) return;
  SetInfo(tr("Пытаемся прочитать структуру ..."));
  Viewers.ShowStructure(&query_, query_.SQL);
  std::string table = SelectedTable();
  // A query run from the console names no table of the list: say what was read instead.
  SetInfo(table.empty() ? tr("SQL-запрос - структура считана")
                        : tr("Таблица %1 - структура считана").arg(QString::fromStdString(table)));
}

}  // namespace morvale
