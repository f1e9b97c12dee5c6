// The alias and table browser: where tables come from, the table list, and the SQL texts the
// window writes itself to open a table or show its structure.
#include <QDir>
#include <QFont>

#include "app/engine/connect.h"
#include "app/engine/remotevtab.h"
#include "app/engine/sqltext.h"
#include "app/helpers/helpers.h"
#include "app/helpers/prompts.h"
#include "app/main/form1.h"

namespace morvale {
namespace {

std::string Text(const QLineEdit* edit) {
  return edit->text().toStdString();
}

// The alias's parameter lines for the info box, its password not shown.
QString AliasInfo(const TStringList& params) {
  QStringList lines;
  for (const std::string& line : params) {
    if (SameText(Trim(TStringList::NamePart(line)), "PASSWORD"))
      lines << QString::fromStdString(std::string(TStringList::NamePart(line)) + "=********");
    else
      lines << QString::fromStdString(line);
  }
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

void TForm1::ResetConnection() {
  List_Tables->clear();
  InfoAboutAlias->clear();
  query_.Close();
  query_.SQL.Clear();
  model_->Reload();
  database_.Close();
  database_.AliasName.clear();
  database_.DatabaseName.clear();
  database_.SessionName.clear();
  query_.DatabaseName.clear();
  query_.SessionName.clear();
}

void TForm1::SetModeCaptions() {
  Field_IndexName->clear();
  for (QCheckBox* box : {CheckBox1, CheckBox2}) {
    QFont f = box->font();
    f.setBold(box->isChecked());
    box->setFont(f);
  }
}

void TForm1::ModeChanged(QCheckBox* changed, QCheckBox* other) {
  ResetConnection();
  other->setChecked(!changed->isChecked());
  SetModeCaptions();
  CB_UsersOnly->setVisible(AliasMode());
}

void TForm1::CheckBox1Click() {
  ModeChanged(CheckBox1, CheckBox2);
}
void TForm1::CheckBox2Click() {
  ModeChanged(CheckBox2, CheckBox1);
}

void TForm1::CheckBox3Click() {
  ResetConnection();
  database_.Params.Clear();
  database_.LoginPrompt = true;
  if (CheckBox3->isChecked()) {
    database_.Params.Add("USER NAME=SYSDBA");
    database_.Params.Add("password=brickmoss");
    database_.LoginPrompt = false;
  }
}

void TForm1::SpeedButton1Click() {
  std::string folder = TrimSpaces(Text(Edit_DirFileTable));
  if (!ChooseFolder(folder)) return;
  Edit_DirFileTable->setText(QString::fromStdString(TrimSpaces(folder)));
  if (!AliasMode()) {
    List_Tables->clear();
    query_.Close();
    query_.SQL.Clear();
    model_->Reload();
  }
}

void TForm1::SpeedButton2Click() {
  ResetConnection();
  std::string pattern = "*.*";
  TStringList names;
  if (AliasMode()) {
    std::string alias = TrimSpaces(CB_AliasBDE5->currentText().toStdString());
    database_.AliasName = alias;
    database_.DatabaseName = alias;
    database_.SessionName = kSessionName;
    query_.DatabaseName = database_.DatabaseName;
    query_.SessionName = kSessionName;
    SetInfo(tr("Читаем список таблиц ..."));
    session_->SetActive(true);
    database_.Open();
    std::string user = TrimSpaces(database_.Params.Value("USER NAME"));
    if (CB_UsersOnly->isChecked()) pattern = user + ".%";
    session_->GetTableNames(database_.DatabaseName, pattern, false, false, names);
    // The session stays active: deactivating it closes every database it has, the heterogeneous
    // connections' too, and a query on the own alias would then find none of them.
    for (const std::string& name : names) List_Tables->addItem(QString::fromStdString(name));
    SetInfo(tr("Список таблиц прочитан"));
    TStringList params;
    session_->GetAliasParams(alias, params);
    InfoAboutAlias->setPlainText(AliasInfo(params));
    SetInfo(tr("USER_NAME = ") + QString::fromStdString(user));
  } else {
    SetInfo(tr("Читаем список таблиц ..."));
    QDir folder(Edit_DirFileTable->text());
    // A folder deleted or renamed since it was chosen lists nothing: say so rather than show an
    // empty list as if it had been read.
    if (!folder.exists() || !folder.isReadable())
      throw Exception(tr("Папка таблиц не найдена или недоступна: %1")
                          .arg(Edit_DirFileTable->text())
                          .toStdString());
    const QStringList files = folder.entryList({FilterExt1->currentData().toString()},
                                               QDir::Files | QDir::Readable, QDir::Name);
    List_Tables->addItems(files);
    SetInfo(tr("Список таблиц прочитан"));
  }
}

std::string TForm1::SelectedTable() const {
  QListWidgetItem* item = List_Tables->currentItem();
  return item && item->isSelected() ? item->text().toStdString() : std::string();
}

TSqlNameDialect TForm1::NameDialect() {
  return AliasMode() && database_.Connected() ? database_.Connection().NameDialect()
                                              : TSqlNameDialect::Standard;
}

TConnection& TForm1::QueryConnection() {
  TSession* session = TSession::Find(query_.SessionName);
  if (!session) throw Exception(Format("Session '%s' not found", {query_.SessionName}));
  return session->OpenDatabase(query_.DatabaseName).Connection();
}

std::string TForm1::TableReference(TConnection& connection, const std::string& name) {
  // A table file is named by its path, which the folder's SQL reads only in quotes.
  if (!AliasMode()) return SqlName(TSqlNameDialect::Standard, Text(Edit_DirFileTable) + name);
  return connection.TableReference(name);
}

void TForm1::OpenSelected(const QString& running, const std::vector<std::string>& head,
                          bool withSort, bool withFrom, const QString& done, bool hideMarker) {
  query_.Close();
  query_.SQL.Clear();
  model_->Reload();
  if (CheckBox4->isChecked()) {
    SQL->clear();
    Label_YesModify->setVisible(false);
  }
  std::string name = SelectedTable();
  if (!name.empty()) {
    SetInfo(running);
    query_.DatabaseName = database_.DatabaseName;
    TConnection& connection = QueryConnection();
    const std::string reference = TableReference(connection, name);
    for (const std::string& line : head) query_.SQL.Add(line);
    query_.SQL.Add((withFrom ? "FROM " : "") + reference);
    if (withSort) {
      std::string sort = TrimSpaces(Text(Field_IndexName));
      Field_IndexName->setText(QString::fromStdString(sort));
      if (!sort.empty()) query_.SQL.Add("ORDER BY " + SortClause(connection, reference, sort));
    }
    query_.Open();
    SetInfo(done.arg(QString::fromStdString(name)));
  }
  if (CheckBox4->isChecked()) {
    SQL->setPlainText(QString::fromStdString(query_.SQL.Text()));
    if (hideMarker) Label_YesModify->setVisible(false);
  }
}

void TForm1::List_TablesDblClick() {
  OpenSelected(tr("Пытаемся открыть таблицу ..."), {"SELECT *"}, true, true,
               tr("Таблица %1 - открыта"), true);
}

void TForm1::index1Click() {
  OpenSelected(tr("Пытаемся выполнить команду SHOW fields ..."), {"SHOW FIELDS"}, false, true,
               tr("Таблица %1 - команда выполнена"), false);
}

void TForm1::fields1Click() {
  OpenSelected(tr("Пытаемся выполнить команду SHOW index ..."), {"SHOW INDEX"}, false, true,
               tr("Таблица %1 - команда выполнена"), false);
}

void TForm1::DESC1Click() {
  OpenSelected(tr("Пытаемся выполнить команду DESCRIBE ..."), {"DESCRIBE "}, false, false,
               tr("Таблица %1 - команда выполнена"), false);
}

void TForm1::N4Click() {
  std::vector<std::string> lines;
  for (int i = 0; i < List_Tables->count(); ++i)
    lines.push_back(List_Tables->item(i)->text().toStdString());
  LinesToClipboard(lines);
}

}  // namespace morvale
