// The four characters HTML and XML reserve, shared by the markup formats' escapes.
#pragma once

#include <string>

namespace morvale {

// Appends the entity of a reserved character (", &, <, >) and answers true; false for any other.
inline bool AppendEntity(char c, std::string& out) {
  switch (c) {
    case '"':
      out += "&quot;";
      return true;
    case '&':
      out += "&amp;";
      return true;
    case '<':
      out += "&lt;";
      return true;
    case '>':
      out += "&gt;";
      return true;
    default:
      return false;
  }
}

}  // namespace morvale
