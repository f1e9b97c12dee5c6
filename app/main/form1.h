// The main window: where tables come from (an alias or a folder of dBASE files), the table list,
// the grid of the open query, the SQL console and the launch of exports. It owns the main
// connection: the session "~~!!QW_2!!~~", one database and the query every view and export reads.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/engine/query.h"
#include "app/engine/session.h"
#include "app/engine/slots.h"
#include "app/main/gridsource.h"
#include "app/main/querymodel.h"
#include "export/core/columns.h"
#include "export/dialog/exportdialog.h"
#include "ui_form1.h"

class QMenu;

namespace morvale {

class IShell;
class ISpreadsheetAutomation;
class TDlg_SetConnect_to_DB;

class TDlg_SetUp;
class TAboutBox;

class TForm1 : public QMainWindow, public Ui::TForm1 {
  Q_OBJECT

 public:
  static constexpr const char* kSessionName = "~~!!QW_2!!~~";

  // programFolder ends in '/'; the dialogs are the process's own, made at start-up.
  TForm1(std::string programFolder, TDlg_SetUp& setUp, TAboutBox& about, QWidget* parent = nullptr);
  ~TForm1() override;

  const std::string& ProgramFolder() const { return programFolder_; }
  std::string IniFile() const { return programFolder_ + "Morvale.ini"; }
  std::string ExportFolder() const { return Edit_DirExport->text().toStdString(); }
  TQuery& Query1() { return query_; }
  TDatabase& Database1() { return database_; }
  TQueryModel& GridModel() { return *model_; }
  TGridSource& GridSource() { return *gridSource_; }
  bool FirstTick() const { return firstTick_; }
  QMenu* TablesMenu() const { return tablesMenu_; }
  QMenu* GridMenu() const { return gridMenu_; }

  // Empties the table list, the alias info and the grid and drops the connection.
  void ResetConnection();
  // How the SQL of the open connection quotes names (a folder of table files: the standard way).
  TSqlNameDialect NameDialect();

  // The handlers, named after their control and event.
  void FormCreate();
  void Timer1Timer();
  void N2Click();  // Сервис / Настройка
  void SpeedButton7Click();
  void CheckBox1Click();
  void CheckBox2Click();
  void CheckBox3Click();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void List_TablesDblClick();
  void index1Click();   // "fields"
  void fields1Click();  // "index"
  void DESC1Click();
  void N4Click();
  void SpeedButton5Click();
  void SQLChange();
  void Query1AfterOpen();
  void SpeedButton8Click();
  void SpeedButton9Click();
  void SpeedButton4Click();
  void SpeedButton6Click();
  void Memo1Click();
  void N15Click();
  void N7Click();
  // The tool's own exports.
  void SDF1Click();
  void SpeedButton11Click();
  void txt1Click();  // offered on a memo column only
  void txt2Click();
  void SpeedButton10Click();
  void Cphp1Click();
  void ExportExcelOLE1Click();
  // The heterogeneous connections.
  void SB_Connect_DBClick();
  void SB_DisConnect_DBClick();
  void SpeedButton14Click();

  TConnectionSlots& ConnectionSlots() { return slots_; }
  TDlg_SetConnect_to_DB& ConnectDialog() { return *connectDialog_; }

  // The export dialog component on the main query and grid.
  TExportDialog ExportDialog1;

  // The viewers the process made at start-up, shown on the open query.
  struct TViewers {
    // The caption and the text of one field.
    std::function<void(const std::string& caption, const std::string& text)> ShowText;
    // The current record.
    std::function<void(const TDataSet& dataSet)> ShowRow;
    // The structure of the result and its SQL text.
    std::function<bool(const TDataSet* dataSet, const TStringList& sql)> ShowStructure;
    // Lines under a caption; true when the viewer closed with OK.
    std::function<bool(const std::string& caption, const TStringList& lines)> ShowLines;
    // The PHP page dialog on the open query and the console's lines.
    std::function<void(TDataSet* dataSet, const TStringList& consoleLines)> ShowPHP;
  } Viewers;

  // What the spreadsheet export through automation drives; the workbook layer opened by the
  // desktop when unset.
  std::function<std::unique_ptr<ISpreadsheetAutomation>()> MakeAutomation;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void SetInfo(const QString& text);
  // Runs a handler; an engine failure ends it with its message in a box.
  void Guarded(const std::function<void()>& action);
  void ConnectSignals();
  void BuildMenus();
  void SetIcons();
  void SteadyLayout();
  void SetModeCaptions();
  bool AliasMode() const { return CheckBox1->isChecked(); }
  // The connection the query runs on (connected now).
  TConnection& QueryConnection();
  // The reference to the selected table the SQL text names, quoted where the connection's SQL
  // needs it.
  std::string TableReference(TConnection& connection, const std::string& name);
  std::string SelectedTable() const;
  // The selected tables in the list's order; several are exported in one run.
  std::vector<std::string> SelectedTables() const;
  // The name a table goes by in file names: the list's item, a table file without ".dbf".
  std::string TableTitle(const std::string& item) const;
  // "Экспорт" with several tables selected: the first opens as a double click opens it, the
  // dialog is set up on it and exports every selected table with those settings.
  void ExportTables(const std::vector<std::string>& items);
  // "Параллельное чтение" of the export dialog, on the open query of the window's own database.
  void WireRangeReads();
  // The query of a whole table of the list, on the main query's database, open.
  std::unique_ptr<TDataSet> OpenTableQuery(const std::string& item);
  // The shared steps of opening a table and of SHOW and DESCRIBE.
  void OpenSelected(const QString& running, const std::vector<std::string>& head, bool withSort,
                    bool withFrom, const QString& done, bool hideMarker);
  void RunQuery();
  void ModeChanged(QCheckBox* changed, QCheckBox* other);
  TStringList ConsoleLines() const;
  void SetGauge(int percent);
  bool SelectedFieldIsMemo() const;

  std::string programFolder_;
  TDlg_SetUp& setUp_;
  TAboutBox& about_;
  std::unique_ptr<TSession> session_;
  // Made after the session, whose name their databases use, and freed before it.
  TConnectionSlots slots_{kSessionName};
  std::unique_ptr<TDlg_SetConnect_to_DB> connectDialog_;
  TDatabase database_;
  TQuery query_;
  std::unique_ptr<TQueryModel> model_;
  std::unique_ptr<TGridSource> gridSource_;
  QTimer timer1_;
  bool firstTick_ = true;
  QMenu* tablesMenu_ = nullptr;
  QMenu* gridMenu_ = nullptr;
};

}  // namespace morvale
