// The query: SQL lines run on a database of a session, as a dataset of streamed rows.
#pragma once

#include <functional>
#include <string>

#include "app/engine/cursordataset.h"
#include "export/core/classes.h"

namespace morvale {

class TQuery : public TCursorDataSet {
 public:
  std::string DatabaseName;  // a database of the session, an alias, a database text, or ""
  std::string SessionName;   // "" is the default session
  TStringList SQL;
  // Called after every successful opening.
  std::function<void(TObject* sender)> AfterOpen;

  // Runs SQL; a database of the session that is not connected connects now.
  void Open();
  void SetActive(bool active) { active ? Open() : Close(); }

 protected:
  void DoAfterOpen() override {
    if (AfterOpen) AfterOpen(this);
  }
};

}  // namespace morvale
