// The tool's own exports started from the main window (SDF, memo column to text files, INSERT
// framing, the PHP page, the spreadsheet through automation) and the heterogeneous connections of
// the console: the extra databases, their dialog and the own alias the console text runs on.
#include <QApplication>
#include <filesystem>

#include "app/dialogs/setconnect.h"
#include "app/helpers/files.h"
#include "app/helpers/helpers.h"
#include "app/helpers/prompts.h"
#include "app/main/form1.h"
#include "app/tools/automation.h"
#include "app/tools/insertframe.h"
#include "app/tools/memofiles.h"
#include "app/tools/sdf.h"
#include "export/core/formatsettings.h"

namespace morvale {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// A long walk over the records keeps the window answering.
void ProcessMessages() {
  QApplication::processEvents();
}

// The gauge back at 0 however the action ends.
struct TGaugeReset {
  std::function<void()> reset;
  ~TGaugeReset() { reset(); }
};

}  // namespace

void TForm1::SetGauge(int percent) {
  Gauge1->setValue(percent);
}

void TForm1::SDF1Click() {
  if (!query_.Active()) {
    ShowMessage(tr("Сначала откройте набор данных ...").toStdString());
    return;
  }
  std::optional<std::string> file =
      ChooseSaveFile(programFolder_, "", tr("Все файлы|*.*").toStdString(), "");
  if (!file || TrimSpaces(*file).empty()) return;
  SaveSDF(query_, *file, ProcessMessages);
  ShowMessage(tr("Готово").toStdString());
}

void TForm1::SpeedButton11Click() {
  SetGauge(0);
  TGaugeReset gauge{[this] { SetGauge(0); }};
  if (!query_.Active()) return;
  std::string memo = MemoFieldName(Edit_FieldNameMEMO->text().toStdString());
  Edit_FieldNameMEMO->setText(Q(memo));
  // Checked here as well as by the export, so that a wrong name leaves the status as it was.
  TField* field = memo.empty() ? nullptr : query_.FindField(memo);
  if (memo.empty() || (field && field->DataType != ftMemo)) {
    // The refusal says which fields would do, so that the user need not guess.
    QStringList memos;
    for (int i = 0; i < query_.FieldCount(); ++i)
      if (query_.Fields(i).DataType == ftMemo) memos << Q(query_.Fields(i).FieldName);
    ShowMessage(
        (tr("MEMO-поле указано некорректно ...") + QLatin1Char('\n') +
         (memos.isEmpty()
              ? tr("В этом наборе данных нет MEMO-полей.")
              : tr("MEMO-поля этого набора данных: %1").arg(memos.join(QStringLiteral(", ")))))
            .toStdString());
    return;
  }
  TMemoExport job{WithSlash(ExportFolder()), SelectedTable(), memo,
                  Edit_FieldName_FN_MEMO->text().toStdString()};
  SetInfo(tr("Экспортируем MEMO-поле : ") + Q(memo) + QStringLiteral(" ..."));
  TMemoExportResult result = ExportMemoFiles(query_, job, [this](int percent) {
    SetGauge(percent);
    ProcessMessages();
  });
  SetGauge(100);
  SetInfo(tr("Экспорт закончен"));
  ShowMessage(tr("Готово. Маска рез. файлов: ").toStdString() + result.BaseName + "*.txt");
}

bool TForm1::SelectedFieldIsMemo() const {
  TField* field = gridSource_->SelectedField();
  return field && field->DataType == ftMemo;
}

void TForm1::txt1Click() {
  if (SelectedFieldIsMemo())
    Edit_FieldNameMEMO->setText(Q(gridSource_->SelectedField()->FieldName));
}

void TForm1::txt2Click() {
  if (TField* field = gridSource_->SelectedField())
    Edit_FieldName_FN_MEMO->setText(Q(field->FieldName));
}

void TForm1::SpeedButton10Click() {
  SetGauge(0);
  TGaugeReset gauge{[this] { SetGauge(0); }};
  std::string current = ExportDialog1.FileName;
  std::string folder =
      current.empty() ? std::string() : std::filesystem::path(current).parent_path().string();
  // The chooser adds the extension the filter shows to a name typed without one.
  std::optional<std::string> file =
      ChooseOpenFile(folder, tr("SQL(insert)|*.sql|Все файлы|*.*").toStdString(), "sql");
  if (!file || file->empty()) return;
  ExportDialog1.FileName = *file;
  SetInfo(tr("Обработка SQL-файла : ") + Q(*file) + QStringLiteral(" ..."));
  TStringList lines = LoadScriptLines(*file);
  FrameInsertFields(
      lines, TrimSpaces(EditSimb->text().toStdString()),
      [](const std::string& message) { ShowMessage(message); },
      [this](int percent) {
        SetGauge(percent);
        ProcessMessages();
      });
  SetGauge(100);
  bool ok = Viewers.ShowLines &&
            Viewers.ShowLines(tr("Содержание файла : ").toStdString() + *file, lines);
  if (ok) {
    std::error_code ec;
    if (!std::filesystem::exists(*file, ec) || AskOkCancel(tr("Перезаписать файл ?").toStdString()))
      SaveScriptLines(*file, lines);
  }
  SetInfo(tr("Обработка закончена"));
}

void TForm1::Cphp1Click() {
  if (!query_.Active()) {
    ShowMessage(tr("Сначала откройте набор данных ...").toStdString());
    return;
  }
  if (!Viewers.ShowPHP) return;
  Viewers.ShowPHP(&query_, ConsoleLines());
  model_->CaptionsChanged();  // a caption edited in the dialog is the field's DisplayLabel
}

void TForm1::ExportExcelOLE1Click() {
  if (!query_.Active()) return;
  if (!AskOkCancel(TranslateText("Engine", kAutomationQuestion))) return;
  std::unique_ptr<ISpreadsheetAutomation> app =
      MakeAutomation ? MakeAutomation() : std::make_unique<TWorkbookAutomation>();
  ExportByAutomation(query_, *app, AutomationNow(DefaultFormatSettings()), ProcessMessages);
}

void TForm1::SB_Connect_DBClick() {
  SB_DisConnect_DB->setEnabled(true);
  QStringList aliases;
  for (int i = 0; i < CB_AliasBDE5->count(); ++i) aliases << CB_AliasBDE5->itemText(i);
  connectDialog_->Execute(aliases);
  SB_DisConnect_DB->setEnabled(slots_.AnyExists());
}

void TForm1::SB_DisConnect_DBClick() {
  query_.Close();
  model_->Reload();
  database_.Close();
  database_.AliasName.clear();
  database_.DatabaseName.clear();
  query_.DatabaseName.clear();
  connectDialog_->SB_Destroy_AllClick();
  SB_DisConnect_DB->setEnabled(slots_.AnyExists());
}

void TForm1::SpeedButton14Click() {
  TOwnAliasSteps steps;
  steps.AskOkCancel = [](const std::string& question) { return AskOkCancel(question); };
  steps.ResetConnection = [this] { ResetConnection(); };
  steps.Message = [](const std::string& message) { ShowMessage(message); };
  if (PrepareOwnAlias(programFolder_, steps) != TOwnAliasResult::Ready) return;
  const QString name = Q(kHeteroAliasName).toUpper();
  int at = CB_AliasBDE5->findText(name, Qt::MatchFixedString);  // without regard to case
  if (at < 0) {
    CB_AliasBDE5->addItem(name);
    at = CB_AliasBDE5->findText(name, Qt::MatchFixedString);
  }
  CB_AliasBDE5->setCurrentIndex(at);
  if (at < 0 || CB_AliasBDE5->currentIndex() != at) {
    ShowMessage(TranslateText("Engine", kOwnAliasNotListed));
    return;
  }
  if (CheckBox3->isChecked()) CheckBox3->setChecked(false);
  CheckBox3Click();
  CheckBox1->setChecked(true);
  CheckBox2->setChecked(false);
  ModeChanged(CheckBox1, CheckBox2);
  SpeedButton2Click();
  SpeedButton5Click();
}

}  // namespace morvale
