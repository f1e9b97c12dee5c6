// The main window's frame: start-up, the clock, the settings dialog, About and closing.
#include "app/main/form1.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QLocale>
#include <QMenu>
#include <QStyle>
#include <algorithm>

#include "app/dialogs/about.h"
#include "app/dialogs/setconnect.h"
#include "app/dialogs/setup.h"
#include "app/engine/messages.h"
#include "app/helpers/files.h"
#include "app/helpers/prompts.h"
#include "app/main/exportlaunch.h"
#include "app/main/rangeexport.h"

namespace morvale {

TForm1::TForm1(std::string programFolder, TDlg_SetUp& setUp, TAboutBox& about, QWidget* parent)
    : QMainWindow(parent),
      programFolder_(WithSlash(std::move(programFolder))),
      setUp_(setUp),
      about_(about),
      session_(std::make_unique<TSession>(kSessionName)) {
  setupUi(this);
  model_ = std::make_unique<TQueryModel>(query_);
  DBGrid1->setModel(model_.get());
  DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 6);
  gridSource_ = std::make_unique<TGridSource>(*DBGrid1, *model_);
  InitExportDialog1(ExportDialog1, &query_, gridSource_.get(),
                    programFolder_ + kRememberedExportOptions);
  query_.AfterOpen = [this](TObject*) { Query1AfterOpen(); };
  WireRangeReads();
  connectDialog_ = std::make_unique<TDlg_SetConnect_to_DB>(slots_, this);
  connectDialog_->ResetConnection = [this] { ResetConnection(); };
  connectDialog_->ShowError = [](const QString& text) { ShowError(text.toStdString()); };
  Label_YesModify->setVisible(false);
  // Description and pattern pairs, first entry selected.
  const QStringList filter =
      tr("dbf-файлы|*.dbf|DB-файлы|*.db|Все файлы|*.*").split(QLatin1Char('|'));
  for (int i = 0; i + 1 < filter.size(); i += 2) FilterExt1->addItem(filter[i], filter[i + 1]);
  FilterExt1->setCurrentIndex(0);
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({300, 880});
  Splitter2->setStretchFactor(0, 3);
  Splitter2->setStretchFactor(1, 1);
  Splitter2->setSizes({430, 170});
  SetIcons();
  SteadyLayout();
  BuildMenus();
  ConnectSignals();
  FormCreate();
}

TForm1::~TForm1() {
  connectDialog_.reset();
  slots_.SlotsFreeAll();
  query_.AfterOpen = nullptr;
  DBGrid1->setModel(nullptr);
}

// Nothing moves when a marker shows or the mode changes: the marker and the users-only switch
// keep their room while hidden, and the mode switches are as wide as their bold captions.
void TForm1::SteadyLayout() {
  for (QWidget* w : {static_cast<QWidget*>(Label_YesModify), static_cast<QWidget*>(CB_UsersOnly)}) {
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
  }
  for (QCheckBox* box : {CheckBox1, CheckBox2}) {
    QFont bold = box->font();
    bold.setBold(true);
    const int extra = QFontMetrics(bold).horizontalAdvance(box->text()) -
                      box->fontMetrics().horizontalAdvance(box->text());
    box->setMinimumWidth(box->sizeHint().width() + qMax(0, extra));
  }
}

void TForm1::SetIcons() {
  QStyle* s = style();
  nbFirst->setIcon(s->standardIcon(QStyle::SP_MediaSkipBackward));
  nbPrior->setIcon(s->standardIcon(QStyle::SP_MediaSeekBackward));
  nbNext->setIcon(s->standardIcon(QStyle::SP_MediaSeekForward));
  nbLast->setIcon(s->standardIcon(QStyle::SP_MediaSkipForward));
  SpeedButton1->setIcon(s->standardIcon(QStyle::SP_DirOpenIcon));
  SpeedButton6->setIcon(s->standardIcon(QStyle::SP_DirOpenIcon));
  SpeedButton2->setIcon(s->standardIcon(QStyle::SP_BrowserReload));
  SpeedButton3->setIcon(s->standardIcon(QStyle::SP_DialogOpenButton));
  SpeedButton4->setIcon(s->standardIcon(QStyle::SP_DialogSaveButton));
  SpeedButton5->setIcon(s->standardIcon(QStyle::SP_MediaPlay));
  SpeedButton7->setIcon(s->standardIcon(QStyle::SP_MessageBoxInformation));
}

void TForm1::SetInfo(const QString& text) {
  Label_Info->setText(text);
  Label_Info->repaint();  // seen while the action runs, before control returns to the loop
}

void TForm1::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    ShowError(DatabaseMessageText(e.what()));
  }
}

// Process start, once the guard let this copy run and the dialogs exist.
void TForm1::FormCreate() {
  firstTick_ = true;
  Edit_DirExport->setText(QString::fromStdString(programFolder_));
  if (DriveWritable(programFolder_)) {
    ForceFolders(programFolder_ + "mvl_Export/");
    Edit_DirExport->setText(QString::fromStdString(programFolder_ + "mvl_Export/"));
    ForceFolders(programFolder_ + "mvl_SQL/");
  }
  Guarded([this] {
    session_->SetActive(true);
    TStringList aliases;
    session_->GetAliasNames(aliases);
    std::vector<std::string> names = aliases.Lines();
    std::sort(names.begin(), names.end());  // a sorted drop-down list
    QSignalBlocker block(CB_AliasBDE5);
    for (const std::string& name : names) CB_AliasBDE5->addItem(QString::fromStdString(name));
  });
  ResetConnection();
  CheckBox3Click();
  SetModeCaptions();
  timer1_.setSingleShot(false);
  timer1_.setInterval(100);
  timer1_.start();
}

void TForm1::Timer1Timer() {
  timer1_.stop();
  QLocale locale;
  QDateTime now = QDateTime::currentDateTime();
  // The locale's long time form without the zone name that Qt's long form adds.
  QString timeFormat = locale.timeFormat(QLocale::LongFormat);
  timeFormat.remove(QLatin1Char('t')).replace(QLatin1String("  "), QLatin1String(" "));
  Label_DT->setText(locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                    locale.toString(now.time(), timeFormat.trimmed()) + QLatin1String("   "));
  if (firstTick_) {
    firstTick_ = false;
    timer1_.setInterval(1000);
    setUp_.ReadSettings(IniFile());
  }
  timer1_.start();
}

void TForm1::N2Click() {
  setUp_.Execute(IniFile());
}

void TForm1::SpeedButton7Click() {
  about_.Version()->setText(tr("Версия 1.14  (30.04.2008)"));
  about_.exec();
}

void TForm1::closeEvent(QCloseEvent* event) {
  // Closing is always allowed: the extra connections are dropped first, and the main one is reset
  // even when dropping them failed.
  Guarded([this] { SB_DisConnect_DBClick(); });
  ResetConnection();
  timer1_.stop();
  event->accept();
}

void TForm1::BuildMenus() {
  tablesMenu_ = new QMenu(this);
  tablesMenu_->setObjectName(QStringLiteral("PopupMenu1"));
  QMenu* copy = tablesMenu_->addMenu(tr("Скопировать в буфер обмена"));
  copy->setObjectName(QStringLiteral("N3"));
  copy->addAction(N4);
  tablesMenu_->addSeparator();
  tablesMenu_->addAction(N5);
  tablesMenu_->addSeparator();
  QMenu* structure = tablesMenu_->addMenu(tr("Структура"));
  structure->setObjectName(QStringLiteral("N6"));
  QMenu* show = structure->addMenu(QStringLiteral("SHOW"));
  show->setObjectName(QStringLiteral("SHOW1"));
  show->addAction(index1);
  show->addAction(fields1);
  structure->addAction(DESC1);
  tablesMenu_->addSeparator();
  tablesMenu_->addAction(N7);
  tablesMenu_->addSeparator();
  tablesMenu_->addAction(N8);
  tablesMenu_->addAction(N9);
  // Ctrl+F3 works wherever the focus is in the window.
  addAction(N7);

  gridMenu_ = new QMenu(this);
  gridMenu_->setObjectName(QStringLiteral("PopupMenu2"));
  gridMenu_->addAction(Memo1);
  gridMenu_->addSeparator();
  gridMenu_->addAction(N11);
  gridMenu_->addAction(N12);
  gridMenu_->addSeparator();
  gridMenu_->addAction(N15);
  gridMenu_->addSeparator();
  gridMenu_->addAction(N16);
  DBGrid1->addAction(Memo1);
  Memo1->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  // Enabled once a slot owns a database.
  SB_DisConnect_DB->setEnabled(false);
}

void TForm1::ConnectSignals() {
  connect(&timer1_, &QTimer::timeout, this, &TForm1::Timer1Timer);
  connect(N2, &QAction::triggered, this, &TForm1::N2Click);
  connect(SpeedButton7, &QToolButton::clicked, this, &TForm1::SpeedButton7Click);
  auto guarded = [this](void (TForm1::*handler)()) {
    return [this, handler] { Guarded([this, handler] { (this->*handler)(); }); };
  };
  // Browser.
  connect(CheckBox1, &QCheckBox::toggled, this, [this] { SetModeCaptions(); });
  connect(CheckBox2, &QCheckBox::toggled, this, [this] { SetModeCaptions(); });
  connect(CheckBox1, &QCheckBox::clicked, this, guarded(&TForm1::CheckBox1Click));
  connect(CheckBox2, &QCheckBox::clicked, this, guarded(&TForm1::CheckBox2Click));
  connect(CheckBox3, &QCheckBox::clicked, this, guarded(&TForm1::CheckBox3Click));
  connect(CB_AliasBDE5, &QComboBox::currentTextChanged, this, [this] { ResetConnection(); });
  connect(Edit_DirFileTable, &QLineEdit::textChanged, this, [this] { ResetConnection(); });
  connect(CB_UsersOnly, &QCheckBox::clicked, this, [this] { ResetConnection(); });
  connect(FilterExt1, &QComboBox::currentIndexChanged, this, [this] {
    if (!AliasMode()) ResetConnection();
  });
  connect(SpeedButton1, &QToolButton::clicked, this, guarded(&TForm1::SpeedButton1Click));
  connect(SpeedButton2, &QToolButton::clicked, this, guarded(&TForm1::SpeedButton2Click));
  connect(List_Tables, &QListWidget::itemDoubleClicked, this,
          guarded(&TForm1::List_TablesDblClick));
  connect(SpeedButton3, &QToolButton::clicked, this, guarded(&TForm1::List_TablesDblClick));
  connect(N5, &QAction::triggered, this, guarded(&TForm1::List_TablesDblClick));
  connect(index1, &QAction::triggered, this, guarded(&TForm1::index1Click));
  connect(fields1, &QAction::triggered, this, guarded(&TForm1::fields1Click));
  connect(DESC1, &QAction::triggered, this, guarded(&TForm1::DESC1Click));
  connect(N4, &QAction::triggered, this, guarded(&TForm1::N4Click));
  connect(List_Tables, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { tablesMenu_->popup(List_Tables->mapToGlobal(at)); });
  // Console.
  connect(SpeedButton5, &QToolButton::clicked, this, guarded(&TForm1::SpeedButton5Click));
  connect(SQL, &QPlainTextEdit::textChanged, this, &TForm1::SQLChange);
  connect(SpeedButton8, &QToolButton::clicked, this, guarded(&TForm1::SpeedButton8Click));
  connect(SpeedButton9, &QToolButton::clicked, this, guarded(&TForm1::SpeedButton9Click));
  // Grid, viewers and export.
  // The navigator moves the grid's current row; the column stays.
  auto move = [this](int (*target)(int current, int rows)) {
    return [this, target] {
      int rows = model_->rowCount();
      if (rows == 0) return;
      QModelIndex at = DBGrid1->currentIndex();
      int row = std::clamp(target(at.isValid() ? at.row() : 0, rows), 0, rows - 1);
      DBGrid1->setCurrentIndex(model_->index(row, qMax(0, at.column())));
    };
  };
  connect(nbFirst, &QToolButton::clicked, this, move([](int, int) { return 0; }));
  connect(nbPrior, &QToolButton::clicked, this, move([](int row, int) { return row - 1; }));
  connect(nbNext, &QToolButton::clicked, this, move([](int row, int) { return row + 1; }));
  connect(nbLast, &QToolButton::clicked, this, move([](int, int rows) { return rows - 1; }));
  connect(SpeedButton4, &QToolButton::clicked, this, guarded(&TForm1::SpeedButton4Click));
  connect(SpeedButton6, &QToolButton::clicked, this, guarded(&TForm1::SpeedButton6Click));
  connect(DBGrid1, &QTableView::doubleClicked, this, guarded(&TForm1::Memo1Click));
  connect(Memo1, &QAction::triggered, this, guarded(&TForm1::Memo1Click));
  connect(N15, &QAction::triggered, this, guarded(&TForm1::N15Click));
  connect(N7, &QAction::triggered, this, guarded(&TForm1::N7Click));
  // The own exports.
  connect(SpeedButton13, &QToolButton::clicked, this, guarded(&TForm1::SDF1Click));
  connect(N8, &QAction::triggered, this, guarded(&TForm1::SDF1Click));
  connect(SpeedButton11, &QToolButton::clicked, this, guarded(&TForm1::SpeedButton11Click));
  connect(N11, &QAction::triggered, this, guarded(&TForm1::txt1Click));
  connect(N12, &QAction::triggered, this, guarded(&TForm1::txt2Click));
  connect(SpeedButton10, &QToolButton::clicked, this, guarded(&TForm1::SpeedButton10Click));
  connect(SpeedButton12, &QToolButton::clicked, this, guarded(&TForm1::Cphp1Click));
  connect(N9, &QAction::triggered, this, guarded(&TForm1::Cphp1Click));
  connect(N16, &QAction::triggered, this, guarded(&TForm1::ExportExcelOLE1Click));
  // Heterogeneous connections.
  connect(SB_Connect_DB, &QToolButton::clicked, this, guarded(&TForm1::SB_Connect_DBClick));
  connect(SB_DisConnect_DB, &QToolButton::clicked, this, guarded(&TForm1::SB_DisConnect_DBClick));
  connect(SpeedButton14, &QToolButton::clicked, this, guarded(&TForm1::SpeedButton14Click));
  connect(DBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    // The menu is about the cell it was opened on; the entry that takes a memo column's name is
    // offered on memo columns only.
    QModelIndex under = DBGrid1->indexAt(at);
    if (under.isValid()) DBGrid1->setCurrentIndex(under);
    N11->setEnabled(SelectedFieldIsMemo());
    gridMenu_->popup(DBGrid1->viewport()->mapToGlobal(at));
  });
}

}  // namespace morvale
