#include "general/common/CTCPSendObject.h"

namespace OrbanelGeneral10 {

std::string CTCPSendObject::ID() {
    return {};
}

std::string CTCPSendObject::toString() {
    return {};
}

void CTCPSendObject::Deallocate() {}

}  // namespace OrbanelGeneral10
