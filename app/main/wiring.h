// The windows of one run of the program, made in their order and wired together: the main
// window, its viewers and dialogs, the export dialog on the main query, and the login box.
#pragma once

#include <memory>
#include <string>

#include "app/dialogs/about.h"
#include "app/dialogs/phpdialog.h"
#include "app/dialogs/setup.h"
#include "app/dialogs/tablestruct.h"
#include "app/dialogs/viewmemo.h"
#include "app/main/form1.h"

namespace morvale {

struct TProgramWindows {
  explicit TProgramWindows(const std::string& programFolder);
  ~TProgramWindows();

  std::unique_ptr<TDlg_SetUp> SetUp;
  std::unique_ptr<TAboutBox> About;
  std::unique_ptr<TForm1> Form1;
  std::unique_ptr<TDlg_ViewMemo> ViewMemo;
  std::unique_ptr<TDlg_TableStruct> TableStruct;
  std::unique_ptr<TDlg_PHP> PHP;
};

}  // namespace morvale
