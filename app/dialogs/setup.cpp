#include "app/dialogs/setup.h"

#include <algorithm>

#include "app/helpers/files.h"
#include "app/helpers/language.h"
#include "ui_setup.h"

namespace morvale {

namespace {
constexpr const char* kSection = "TABLES";
constexpr const char* kLimitOn = "Yes_COL_MaxDisplayWidth";
constexpr const char* kLimit = "COL_MaxDisplayWidth";
constexpr int kLowest = 2;
}  // namespace

TDlg_SetUp::TDlg_SetUp(QWidget* parent) : QDialog(parent), ui(new Ui::TDlg_SetUp) {
  ui->setupUi(this);
}

TDlg_SetUp::~TDlg_SetUp() = default;

QCheckBox* TDlg_SetUp::LimitBox() const {
  return ui->CB_Yes_COL_MaxDisplayWidth;
}
QSpinBox* TDlg_SetUp::LimitEdit() const {
  return ui->SE_COL_MaxDisplayWidth;
}
QComboBox* TDlg_SetUp::LanguageBox() const {
  return ui->CB_Language;
}
bool TDlg_SetUp::LimitOn() const {
  return LimitBox()->isChecked();
}

void TDlg_SetUp::ReadSettings(const std::string& iniFile) {
  LimitBox()->setChecked(IniReadBool(iniFile, kSection, kLimitOn, false));
  LimitEdit()->setValue(std::max(kLowest, IniReadInt(iniFile, kSection, kLimit, 20)));
  LanguageBox()->setCurrentIndex(ReadLanguageChoice(iniFile));
}

bool TDlg_SetUp::Execute(const std::string& iniFile) {
  ReadSettings(iniFile);
  if (exec() != QDialog::Accepted) return false;
  IniWriteBool(iniFile, kSection, kLimitOn, LimitBox()->isChecked());
  IniWriteInt(iniFile, kSection, kLimit, LimitEdit()->value());
  WriteLanguageChoice(iniFile, static_cast<TLanguageChoice>(LanguageBox()->currentIndex()));
  return true;
}

int TDlg_SetUp::Limit() {
  if (LimitEdit()->value() < kLowest) LimitEdit()->setValue(kLowest);
  return LimitEdit()->value();
}

}  // namespace morvale
