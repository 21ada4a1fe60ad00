#include "desk/common/DeskServices.h"

#include "runtime/Error.h"

namespace OrbanexDesk {

DeskServices::DeskServices(DeskPorts ports, ManagersFactory factory)
    : ports_(ports), factory_(std::move(factory)) {}

DeskServices::~DeskServices() = default;

ManagersPtr DeskServices::Managers() {
    if (!managers_) {
        if (!factory_) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
        managers_ = factory_(*this);
    }
    return managers_;
}

void DeskServices::ReleaseManagers() {
    ManagersPtr gone = std::move(managers_);
    gone.reset();
}

}  // namespace OrbanexDesk
