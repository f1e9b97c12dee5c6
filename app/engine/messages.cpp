#include "app/engine/messages.h"

#include "export/core/classes.h"
#include "export/core/translate.h"

namespace morvale {
namespace {

// SQLite's phrases, with at most one name in them; the English text is SQLite's own.
constexpr const char* kPhrases[] = {
    MVL_TEXT_NOOP("Engine", "no such table: %s"),
    MVL_TEXT_NOOP("Engine", "no such column: %s"),
    MVL_TEXT_NOOP("Engine", "no such function: %s"),
    MVL_TEXT_NOOP("Engine", "ambiguous column name: %s"),
    MVL_TEXT_NOOP("Engine", "near \"%s\": syntax error"),
    MVL_TEXT_NOOP("Engine", "unrecognized token: \"%s\""),
    MVL_TEXT_NOOP("Engine", "incomplete input"),
};

// Where the name of a phrase without closing text ends: before the explanation the engine added
// (": why", " (what)") or at the end.
size_t NameEnd(const std::string& message, size_t from) {
  size_t end = message.size();
  for (const char* stop : {": ", " ("}) {
    size_t at = message.find(stop, from);
    if (at != std::string::npos && at < end) end = at;
  }
  return end;
}

}  // namespace

std::string DatabaseMessageText(const std::string& message) {
  for (const char* phrase : kPhrases) {
    std::string pattern = phrase;
    size_t hole = pattern.find("%s");
    if (hole == std::string::npos) {
      if (message.compare(0, pattern.size(), pattern) != 0) continue;
      return TranslateText("Engine", phrase) + message.substr(pattern.size());
    }
    std::string before = pattern.substr(0, hole), after = pattern.substr(hole + 2);
    if (message.compare(0, before.size(), before) != 0) continue;
    size_t end =
        after.empty() ? NameEnd(message, before.size()) : message.find(after, before.size());
    if (end == std::string::npos) continue;
    std::string name = message.substr(before.size(), end - before.size());
    std::string rest = message.substr(end + after.size());
    return Format(TranslateText("Engine", phrase), {name}) + rest;
  }
  return message;
}

}  // namespace morvale
