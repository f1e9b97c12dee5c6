#include "app/engine/slots.h"

#include "export/core/translate.h"

namespace morvale {

TConnectionSlots::TConnectionSlots(std::string sessionName) : session_(std::move(sessionName)) {}

TConnectionSlots::~TConnectionSlots() {
  SlotsFreeAll();
}

bool TConnectionSlots::SlotExists(int i) const {
  return Valid(i) && slots_[i] != nullptr;
}

bool TConnectionSlots::SlotConnected(int i) const {
  return SlotExists(i) && slots_[i]->Connected();
}

bool TConnectionSlots::SlotDisconnect(int i) {
  if (!SlotExists(i)) return false;
  slots_[i]->Close();
  return true;
}

bool TConnectionSlots::SlotReconnect(int i) {
  if (!SlotExists(i)) return false;
  slots_[i]->Close();
  slots_[i]->Open();
  return true;
}

bool TConnectionSlots::SlotNew(int i) {
  if (!Valid(i)) return false;
  SlotFree(i);
  slots_[i] = std::make_unique<TDatabase>();
  slots_[i]->SessionName = session_;
  return true;
}

bool TConnectionSlots::SlotFree(int i) {
  if (!SlotExists(i)) return false;
  slots_[i]->Close();
  slots_[i].reset();
  return true;
}

void TConnectionSlots::SlotsFreeAll() {
  for (int i = 0; i < kCount; ++i) SlotFree(i);
}

TDatabase* TConnectionSlots::Database(int i) const {
  return Valid(i) ? slots_[i].get() : nullptr;
}

std::string TConnectionSlots::AliasName(int i) const {
  return SlotExists(i) ? slots_[i]->AliasName : std::string();
}

int TConnectionSlots::FindAlias(const std::string& alias) const {
  if (Trim(alias).empty()) return -1;
  for (int i = 0; i < kCount; ++i)
    if (SlotExists(i) && SameText(Trim(slots_[i]->AliasName), Trim(alias))) return i;
  return -1;
}

bool TConnectionSlots::AnyExists() const {
  for (int i = 0; i < kCount; ++i)
    if (SlotExists(i)) return true;
  return false;
}

bool TConnectionSlots::Use(int i, const std::string& alias) {
  if (!Valid(i) || Trim(alias).empty()) return false;
  SlotNew(i);
  slots_[i]->AliasName = alias;
  slots_[i]->DatabaseName = alias;
  return true;
}

void TConnectionSlots::ConnectAll(const std::function<void(int)>& each) {
  for (int i = 0; i < kCount; ++i) {
    if (each) each(i);
    try {
      SlotReconnect(i);
    } catch (const Exception& e) {
      throw Exception(Format("%s: %s", {slots_[i]->AliasName, std::string(e.what())}));
    }
  }
}

void TConnectionSlots::DisconnectAll(const std::function<void(int)>& each) {
  for (int i = 0; i < kCount; ++i) {
    if (each) each(i);
    SlotDisconnect(i);
  }
}

bool AliasExists(const std::string& name) {
  const std::string wanted = Trim(name);
  if (wanted.empty()) return false;
  // A short-lived session of its own, so that the main session's state is not touched.
  TSession session("~~77!!QW!!77~~");
  TStringList names;
  session.GetAliasNames(names);
  for (const std::string& n : names)
    if (SameText(Trim(n), wanted)) return true;
  return false;
}

bool CreateAlias(bool replace, const std::string& name, const std::string& path,
                 const std::string& driver) {
  const std::string n = Trim(name), p = Trim(path);
  std::string d = Trim(driver);
  if (d.empty()) d = "PARADOX";
  if (n.empty() || p.empty()) return false;
  TSession session("~~!!QW!!~~");
  TStringList names;
  session.GetAliasNames(names);
  for (const std::string& existing : names) {
    if (!SameText(Trim(existing), n)) continue;
    if (!replace) return false;
    try {
      session.DeleteAlias(existing);
    } catch (const Exception&) {
      return false;  // a read-only alias of that name cannot be replaced
    }
  }
  session.ConfigMode = cmAll;
  session.AddStandardAlias(n, p, d);
  session.SaveConfigFile();
  return true;
}

TOwnAliasResult PrepareOwnAlias(const std::string& programFolder, const TOwnAliasSteps& steps) {
  const bool existed = AliasExists(kHeteroAliasName);
  if (!existed &&
      !(steps.AskOkCancel && steps.AskOkCancel(TranslateText("Engine", kOwnAliasQuestion))))
    return TOwnAliasResult::Cancelled;
  if (steps.ResetConnection) steps.ResetConnection();
  auto fail = [&](const char* message, TOwnAliasResult result) {
    if (steps.Message) steps.Message(TranslateText("Engine", message));
    return result;
  };
  // Made again every time, so that it follows the program folder when the program moves.
  if (!CreateAlias(true, kHeteroAliasName, programFolder, ""))
    return fail(kOwnAliasCreateFailed, TOwnAliasResult::CreateFailed);
  if (!AliasExists(kHeteroAliasName)) return fail(kOwnAliasNotFound, TOwnAliasResult::NotFound);
  if (!existed) return fail(kOwnAliasCreated, TOwnAliasResult::CreatedRestart);
  return TOwnAliasResult::Ready;
}

}  // namespace morvale
