#include "desk/common/CPaneDisplay.h"

namespace OrbanexDesk {

CPaneDisplay::CPaneDisplay(int32_t paneId, std::function<IShell*()> shell)
    : paneId_(paneId), flag_(paneId), shell_(std::move(shell)) {}

}  // namespace OrbanexDesk
