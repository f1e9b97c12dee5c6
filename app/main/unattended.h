// The prompts of a copy started without a person (MORVALE_PROMPTS_LOG, as tests and scripts start
// a second copy): every text that would have been shown is appended to a log file instead, a
// question is answered OK, and a chooser, input or login box is cancelled.
#pragma once

#include <string>

#include "export/dialog/form/prompts.h"

namespace morvale {

class TUnattendedPrompts : public IPrompts {
 public:
  explicit TUnattendedPrompts(std::string logFile) : logFile_(std::move(logFile)) {}

  void Information(QWidget*, const QString&, const QString& text) override { Log(text); }
  void Error(QWidget*, const QString&, const QString& text) override { Log(text); }
  bool Question(QWidget*, const QString&, const QString& text, TButtons, bool) override {
    Log(text);
    return true;
  }
  bool InputText(QWidget*, const QString&, const QString&, QString&) override { return false; }
  bool Login(QWidget*, const QString& database, QString&, QString&) override {
    Log("login " + database);
    return false;
  }
  bool ChooseFolder(QWidget*, QString&) override { return false; }
  bool SaveFileName(QWidget*, const TFileFilter&, const QString&, QString&) override {
    return false;
  }
  bool OpenFileName(QWidget*, const TFileFilter&, QString&) override { return false; }
  bool ChooseColor(QWidget*, QColor&) override { return false; }
  bool ChoosePaletteColor(QWidget*, QColor&) override { return false; }

 private:
  void Log(const QString& text);
  std::string logFile_;
};

}  // namespace morvale
