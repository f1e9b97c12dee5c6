// Texts travel as bytes in the system code page (std::string); Qt's widgets hold QString. The
// locale's 8-bit encoding is that code page.
#pragma once

#include <QString>
#include <string>

#include "export/core/classes.h"

namespace morvale {

inline QString ToQ(const std::string& s) {
  return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::string FromQ(const QString& s) {
  QByteArray b = s.toLocal8Bit();
  return std::string(b.constData(), static_cast<size_t>(b.size()));
}
// The lines each ended by CR LF, as the clipboard copies of the viewers give them.
std::string LinesText(const TStringList& lines);

}  // namespace morvale
