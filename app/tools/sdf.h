// The program's own SDF file: a line of quoted field names, then one line of quoted values per
// record, every line ended by CR LF.
#pragma once

#include <functional>
#include <string>

#include "export/core/dataset.h"
#include "export/core/streams.h"

namespace morvale {

// Called once per record, so that a window can process its messages during a long walk.
using TSDFProgress = std::function<void()>;

// Writes every field of every record from the first; the dataset is left after its last record.
// Raises "Сначала откройте набор данных ..." for a closed dataset.
void WriteSDF(TDataSet& ds, TStream& out, const TSDFProgress& progress = {});

// The same into a file, which is replaced only once the whole text is written: a failure leaves
// an existing file as it was.
void SaveSDF(TDataSet& ds, const std::string& fileName, const TSDFProgress& progress = {});

}  // namespace morvale
