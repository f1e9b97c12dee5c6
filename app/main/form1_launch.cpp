// What the main window starts on the open query: the export dialog, the export folder, and the
// viewers of a field, a record and the result's structure.
#include <map>

#include "app/helpers/helpers.h"
#include "app/helpers/prompts.h"
#include "app/main/form1.h"
#include "app/main/rangeexport.h"

namespace morvale {

void TForm1::SpeedButton4Click() {
  const std::vector<std::string> tables = SelectedTables();
  if (tables.size() > 1) {
    ExportTables(tables);
    return;
  }
  if (!query_.Active()) return;
  SetInfo(tr("Экспортируем инфу ..."));
  std::string table = SelectedTable();
  std::string fileName = ExportFolder() + (table.empty() ? std::string("Unknown") : table);
  ExportDialog1.FileName = fileName;
  ExportDialog1.TableName = table.empty() ? std::string() : TableTitle(table);
  ExportDialog1.Execute();
  SetInfo(tr("Экспорт закончен"));
}

void TForm1::WireRangeReads() {
  ExportDialog1.RangeReads.Why = [this](TAllowedExport type) -> std::string {
    // A query over the heterogeneous connections names databases only this window has.
    if (!query_.Active() || ExportDialog1.ExportSource != esDataSet || !AliasMode() ||
        !database_.Connected() || query_.DatabaseName != database_.DatabaseName)
      return tr("Частями читается только запрос к базе открытого псевдонима.").toStdString();
    return RangeReadsWhy(database_.Kind(), query_.SQL.Text(), type);
  };
  ExportDialog1.RangeReads.Run = [this](const TRangeRun& run) {
    return RunRangeExport(RangeSourceOf(database_), query_.SQL.Text(), run);
  };
}

std::vector<std::string> TForm1::SelectedTables() const {
  std::vector<std::string> names;
  for (int i = 0; i < List_Tables->count(); ++i)
    if (List_Tables->item(i)->isSelected())
      names.push_back(List_Tables->item(i)->text().toStdString());
  return names;
}

std::string TForm1::TableTitle(const std::string& item) const {
  const std::string ext = ".dbf";
  if (AliasMode() || item.size() <= ext.size() ||
      !SameText(std::string_view(item).substr(item.size() - ext.size()), ext))
    return item;
  return item.substr(0, item.size() - ext.size());
}

void TForm1::ExportTables(const std::vector<std::string>& items) {
  // The dialog is set up on the first table's columns: it opens as a double click opens it, the
  // selection staying as it is.
  const QList<QListWidgetItem*> first =
      List_Tables->findItems(QString::fromStdString(items.front()), Qt::MatchExactly);
  if (first.isEmpty()) return;
  List_Tables->selectionModel()->setCurrentIndex(List_Tables->indexFromItem(first.front()),
                                                 QItemSelectionModel::NoUpdate);
  List_TablesDblClick();
  if (!query_.Active()) return;
  SetInfo(tr("Экспортируем инфу ..."));
  // Two table files that differ only in their extension's case keep their whole names apart.
  std::vector<std::string> titles;
  std::map<std::string, std::string> itemOf;
  for (const std::string& item : items) {
    std::string title = TableTitle(item);
    if (itemOf.count(title)) title = item;
    titles.push_back(title);
    itemOf.emplace(title, item);
  }
  ExportDialog1.FileName = ExportFolder() + "${table}";
  ExportDialog1.TableName = titles.front();
  ExportDialog1.Tables = titles;
  ExportDialog1.OpenTable = [this, itemOf](const std::string& title) {
    return OpenTableQuery(itemOf.at(title));
  };
  struct TForget {
    TExportDialog& d;
    ~TForget() {
      d.Tables.clear();
      d.OpenTable = nullptr;
      d.TableName.clear();
    }
  } forget{ExportDialog1};
  ExportDialog1.Execute();
  SetInfo(tr("Экспорт закончен"));
}

std::unique_ptr<TDataSet> TForm1::OpenTableQuery(const std::string& item) {
  auto query = std::make_unique<TQuery>();
  query->SetFormatSettings(query_.FormatSettings());
  query->SessionName = query_.SessionName;
  query->DatabaseName = query_.DatabaseName;
  query->SQL.Add("SELECT *");
  query->SQL.Add("FROM " + TableReference(QueryConnection(), item));
  query->Open();
  return query;
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
    ShowMessage(tr("Сначала откройте таблицу ...").toStdString());
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
