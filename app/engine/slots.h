// The extra connections of a session that a heterogeneous query reads: 30 numbered slots, each
// empty or owning one database named after its alias, and the tool's own alias that the query
// runs on (a folder alias on the program folder; every connected slot's tables are read there as
// ALIAS.table, or ":ALIAS:table"). Widget-free, for the connections dialog and the console.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/engine/session.h"
#include "export/core/translate.h"

namespace morvale {

// The tool's own alias, on which the console runs a heterogeneous query.
inline constexpr const char* kHeteroAliasName = "mvl_STD_Hetero_999";

class TConnectionSlots {
 public:
  static constexpr int kCount = 30;

  // The databases are made in the session of that name, which must exist as long as the slots.
  explicit TConnectionSlots(std::string sessionName);
  // Every database left is disconnected and destroyed.
  ~TConnectionSlots();
  TConnectionSlots(const TConnectionSlots&) = delete;
  TConnectionSlots& operator=(const TConnectionSlots&) = delete;

  const std::string& SessionName() const { return session_; }

  // Each does nothing and returns false for a number outside 0 to 29.
  bool SlotExists(int i) const;
  bool SlotConnected(int i) const;
  bool SlotDisconnect(int i);
  // Disconnects, then connects; a failure (unknown alias, refused login) raises the engine's
  // message and leaves the slot disconnected.
  bool SlotReconnect(int i);
  // Disconnects and destroys the slot's database if any, then gives the slot a new one.
  bool SlotNew(int i);
  bool SlotFree(int i);
  void SlotsFreeAll();

  // The slot's database, or nullptr.
  TDatabase* Database(int i) const;
  // The alias name the slot shows ("" for an empty slot).
  std::string AliasName(int i) const;
  // The slot showing that alias name (without regard to case), or -1.
  int FindAlias(const std::string& alias) const;
  bool AnyExists() const;

  // Gives slot i a new, disconnected database on the alias: AliasName and DatabaseName are the
  // alias name, the session the slots'. False for a bad number or an empty name.
  bool Use(int i, const std::string& alias);

  // From the first slot to the last: `each` is called before a slot is handled (the dialog
  // selects its row and lets the window repaint). ConnectAll stops at the first slot that fails
  // and raises the engine's message, naming the slot's alias; the slots after it are not tried.
  void ConnectAll(const std::function<void(int)>& each = {});
  void DisconnectAll(const std::function<void(int)>& each = {});

 private:
  bool Valid(int i) const { return i >= 0 && i < kCount; }
  std::string session_;
  std::unique_ptr<TDatabase> slots_[kCount];
};

// True when an alias of that name exists in any scope (names trimmed and compared without regard
// to case); false for an empty name.
bool AliasExists(const std::string& name);

// Makes a folder alias and keeps it in the user's engine configuration. Name, path and driver are
// trimmed; an empty driver is "PARADOX"; an empty name or path gives false. An existing alias of
// the name is replaced when `replace` is set, else the answer is false.
bool CreateAlias(bool replace, const std::string& name, const std::string& path,
                 const std::string& driver);

// What the console's "run on the own alias" button does before the console text runs: the own
// alias is made (asking first when it is missing) or pointed again at the program folder.
enum class TOwnAliasResult {
  Cancelled,       // the user said no to creating it
  CreateFailed,    // kOwnAliasCreateFailed was shown
  NotFound,        // kOwnAliasNotFound was shown
  CreatedRestart,  // kOwnAliasCreated was shown: the alias list is read at start-up only
  Ready,           // the alias exists and points at the program folder: run the console text
};
// The messages as written; they are shown through TranslateText("Engine", ...).
inline constexpr const char* kOwnAliasQuestion = MVL_TEXT_NOOP(
    "Engine", "Внимание!  Будет создан Alias BDE-5 = <mvl_STD_Hetero_999>.  Продолжим ?");
inline constexpr const char* kOwnAliasCreateFailed =
    MVL_TEXT_NOOP("Engine", "Ошибка создания Alias BDE5 = mvl_STD_Hetero_999");
inline constexpr const char* kOwnAliasNotFound =
    MVL_TEXT_NOOP("Engine", "Не найден(1) Alias BDE5 = mvl_STD_Hetero_999");
inline constexpr const char* kOwnAliasCreated = MVL_TEXT_NOOP(
    "Engine", "Alias BDE5 = <mvl_STD_Hetero_999>  создан. Закройте и вновь откройте программу!");
// Shown by the main window when the alias cannot be chosen in its alias list.
inline constexpr const char* kOwnAliasNotListed =
    MVL_TEXT_NOOP("Engine", "Не найден(2) Alias BDE5 = mvl_STD_Hetero_999");

struct TOwnAliasSteps {
  std::function<bool(const std::string& question)> AskOkCancel;  // true for OK
  std::function<void()> ResetConnection;                         // the main window's
  std::function<void(const std::string& message)> Message;
};
TOwnAliasResult PrepareOwnAlias(const std::string& programFolder, const TOwnAliasSteps& steps);

}  // namespace morvale
