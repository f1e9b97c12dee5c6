// Screen text metrics from Qt's font engine, for the column widths of the workbook exporter.
#pragma once

#include "export/core/platform.h"

namespace morvale::cli {

// Makes the program's Qt application (a GUI one on the offscreen platform) unless one exists. The
// engine's server drivers make theirs through it, so that fonts still work after a server query.
void EnsureGuiApplication();

// Measures with QFontMetrics. The font machinery starts on the first measurement, on Qt's
// offscreen platform, so exports that measure nothing never pay for it and no display is needed.
class TQtTextMetrics : public ITextMetrics {
 public:
  int TextWidth(const TFont& font, const std::string& text) override;
  int TextHeight(const TFont& font, const std::string& text) override;
};

}  // namespace morvale::cli
