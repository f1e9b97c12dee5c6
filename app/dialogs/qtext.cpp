#include "app/dialogs/qtext.h"

namespace morvale {

std::string LinesText(const TStringList& lines) {
  std::string text;
  for (const std::string& line : lines) text.append(line).append("\r\n");
  return text;
}

}  // namespace morvale
