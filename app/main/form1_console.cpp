// The SQL console: runs the read commands typed into it, keeps the change marker and saves every
// changed query that ran; limits the grid's column widths and frames the field captions.
#include <QDateTime>

#include "app/dialogs/setup.h"
#include "app/helpers/console.h"
#include "app/helpers/files.h"
#include "app/helpers/helpers.h"
#include "app/helpers/prompts.h"
#include "app/main/form1.h"

namespace morvale {
namespace {

TStringList Lines(const QPlainTextEdit* memo) {
  TStringList lines;
  QString text = memo->toPlainText();
  if (text.isEmpty()) return lines;
  for (const QString& line : text.split(QLatin1Char('\n'))) lines.Add(line.toStdString());
  return lines;
}

void SetLines(QPlainTextEdit* memo, const TStringList& lines) {
  QStringList text;
  for (const std::string& line : lines) text << QString::fromStdString(line);
  memo->setPlainText(text.join(QLatin1Char('\n')));
}

TClockStamp Now() {
  QDateTime now = QDateTime::currentDateTime();
  return {now.date().year(), now.date().month(),  now.date().day(),
          now.time().hour(), now.time().minute(), now.time().second()};
}

}  // namespace

TStringList TForm1::ConsoleLines() const {
  return Lines(SQL);
}

void TForm1::SQLChange() {
  Label_YesModify->setVisible(true);
}

void TForm1::SpeedButton5Click() {
  query_.Close();
  query_.SQL.Clear();
  model_->Reload();
  bool marked = Label_YesModify->isVisible();
  TStringList kept = Lines(SQL);
  if (kept.Empty() || SQL->toPlainText().trimmed().isEmpty()) {
    // Nothing to run: a press that does nothing would look like a program that hangs.
    SetInfo(tr("SQL-запрос пуст"));
    ShowMessage(
        tr("SQL-запрос пуст. Введите команду SELECT, SHOW или DESC и нажмите кнопку ещё раз")
            .toStdString());
    return;
  }
  SetInfo(tr("Попытка выполнить SQL-запрос"));
  TStringList run = kept;
  RemoveCommentLines(run);
  SetLines(SQL, run);
  bool succeeded = false;
  auto putBack = [&] {
    SetLines(SQL, kept);
    Label_YesModify->setVisible(marked);
  };
  try {
    if (CommandKind(run) != ckNone) {
      query_.SQL = run;
      query_.Open();
      SetInfo(tr("SQL-запрос выполнен"));
      succeeded = true;
    } else {
      SetInfo(tr("SQL-запрос некорректен. Допустима только команда SELECT, SHOW или DESC"));
      ShowMessage(tr("SQL-запрос некорректен. Допустима только команда SELECT").toStdString());
    }
  } catch (...) {
    putBack();
    throw;
  }
  putBack();
  // "Автосохранение" unchecked keeps the text unsaved (and the marker on), as its caption says.
  std::string folder = programFolder_ + "mvl_SQL/";
  if (succeeded && Label_YesModify->isVisible() && CheckBox5->isChecked() &&
      DriveWritable(folder)) {
    ForceFolders(folder);
    SaveQueryText(folder, Now(), kept);
    Label_YesModify->setVisible(false);
  }
}

void TForm1::Query1AfterOpen() {
  if (setUp_.LimitOn()) {
    int limit = setUp_.Limit();
    for (int i = 0; i < query_.FieldCount(); ++i) {
      TField& f = query_.Fields(i);
      if (f.DisplayWidth > limit) f.DisplayWidth = limit;
    }
  }
  model_->Reload();
  gridSource_->FitColumnsToDisplayWidths();
}

void TForm1::SpeedButton8Click() {
  ExportDialog1.ExportSource = esDataSet;
  if (!query_.Active()) return;
  std::string frame = TrimSpaces(EditSimb->text().toStdString());
  for (int i = 0; i < query_.FieldCount(); ++i) {
    TField& f = query_.Fields(i);
    f.DisplayLabel = frame + f.FieldName + frame;
  }
  model_->CaptionsChanged();
}

void TForm1::SpeedButton9Click() {
  ExportDialog1.ExportSource = esDataSet;
  if (!query_.Active()) return;
  for (int i = 0; i < query_.FieldCount(); ++i)
    query_.Fields(i).DisplayLabel = query_.Fields(i).FieldName;
  model_->CaptionsChanged();
}

}  // namespace morvale
