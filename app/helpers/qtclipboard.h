// The desktop's clipboard for the engine's clipboard service.
#pragma once

#include "export/core/platform.h"

namespace morvale {

class TQtClipboard : public IClipboard {
 public:
  void SetText(const std::string& text) override;
  std::string GetText() override;
};

}  // namespace morvale
