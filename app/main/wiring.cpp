#include "app/main/wiring.h"

#include "app/engine/session.h"
#include "app/helpers/prompts.h"

namespace morvale {

TProgramWindows::TProgramWindows(const std::string& programFolder) {
  // The settings dialog and About exist before the main window reads into them.
  SetUp = std::make_unique<TDlg_SetUp>();
  About = std::make_unique<TAboutBox>();
  Form1 = std::make_unique<TForm1>(programFolder, *SetUp, *About);
  SetUp->setParent(Form1.get(), SetUp->windowFlags());
  About->setParent(Form1.get(), About->windowFlags());
  SetLoginHandler([](TDatabase& database, TStringList& login) {
    std::string user = login.Value("USER NAME"), password;
    std::string name = database.AliasName.empty() ? database.DatabaseName : database.AliasName;
    if (!Prompts().Login(name, user, password)) return false;
    login.SetValue("USER NAME", user);
    login.SetValue("PASSWORD", password);
    return true;
  });
}

TProgramWindows::~TProgramWindows() {
  SetLoginHandler(nullptr);
  // The dialogs were given the main window as parent for their placement; they are ours to free.
  if (SetUp) SetUp->setParent(nullptr);
  if (About) About->setParent(nullptr);
  Form1.reset();
}

}  // namespace morvale
