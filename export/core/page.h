// Page orientation, shared by the document formats that lay out pages (PDF, RTF).
#pragma once

namespace morvale {

enum TExportPageOrientation : int { poPortrait, poLandscape };

}  // namespace morvale
