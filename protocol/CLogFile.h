#pragma once
// The protocol framework's log file is the general library's: same line
// format, same filtering.
#include "general/common/CLogFile.h"

namespace KVGeneralDLL10 {

using CLogFile = OrbanelGeneral10::CLogFile;

}  // namespace KVGeneralDLL10
