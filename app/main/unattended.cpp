#include "app/main/unattended.h"

#include <fstream>

namespace morvale {

void TUnattendedPrompts::Log(const QString& text) {
  std::ofstream log(logFile_, std::ios::app);
  log << text.toStdString() << '\n';
}

}  // namespace morvale
