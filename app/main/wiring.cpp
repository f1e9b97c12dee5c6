#include "app/main/wiring.h"

#include "app/dialogs/viewlist.h"
#include "app/engine/session.h"
#include "app/helpers/prompts.h"
#include "export/dialog/form/exportdialogform.h"

namespace morvale {

TProgramWindows::TProgramWindows(const std::string& programFolder) {
  // The settings dialog and About exist before the main window reads into them.
  SetUp = std::make_unique<TDlg_SetUp>();
  About = std::make_unique<TAboutBox>();
  Form1 = std::make_unique<TForm1>(programFolder, *SetUp, *About);
  ViewMemo = std::make_unique<TDlg_ViewMemo>(Form1.get());
  TableStruct = std::make_unique<TDlg_TableStruct>(Form1.get());
  PHP = std::make_unique<TDlg_PHP>(Form1.get());
  SetUp->setParent(Form1.get(), SetUp->windowFlags());
  About->setParent(Form1.get(), About->windowFlags());

  form::InstallExportDialogForm(Form1.get());
  TDlg_ViewMemo* viewMemo = ViewMemo.get();
  TDlg_TableStruct* tableStruct = TableStruct.get();
  QWidget* owner = Form1.get();
  Form1->Viewers.ShowText = [viewMemo](const std::string& caption, const std::string& text) {
    viewMemo->setWindowTitle(QString::fromStdString(caption));
    viewMemo->ShowText(true, text);
  };
  Form1->Viewers.ShowRow = [owner](const TDataSet& dataSet) { ShowRowView(owner, dataSet); };
  Form1->Viewers.ShowStructure = [tableStruct](const TDataSet* dataSet, const TStringList& sql) {
    return tableStruct->ShowStructure(dataSet, sql);
  };
  // The viewer's text box is the line buffer: it shows the lines, and is empty again afterwards.
  Form1->Viewers.ShowLines = [viewMemo](const std::string& caption, const TStringList& lines) {
    viewMemo->setWindowTitle(QString::fromStdString(caption));
    viewMemo->SetLines(lines);
    bool ok = viewMemo->ShowText(false, std::string());
    viewMemo->SetText(std::string());
    return ok;
  };
  TDlg_PHP* php = PHP.get();
  TForm1* form = Form1.get();
  Form1->Viewers.ShowPHP = [php, form](TDataSet* dataSet, const TStringList& consoleLines) {
    php->PageSettings.QueryDialect = form->NameDialect();
    php->Execute(dataSet, consoleLines);
  };
  SetLoginHandler([](TDatabase& database, TStringList& login) {
    std::string user = login.Value("USER NAME"), password;
    std::string name = database.AliasName.empty() ? database.DatabaseName : database.AliasName;
    if (!AskLogin(name, user, password)) return false;
    login.SetValue("USER NAME", user);
    login.SetValue("PASSWORD", password);
    return true;
  });
}

TProgramWindows::~TProgramWindows() {
  SetLoginHandler(nullptr);
  SetExportDialogForm(nullptr);
  // The dialogs were given the main window as parent for their placement; they are ours to free.
  if (SetUp) SetUp->setParent(nullptr);
  if (About) About->setParent(nullptr);
  PHP.reset();
  TableStruct.reset();
  ViewMemo.reset();
  Form1.reset();
}

}  // namespace morvale
