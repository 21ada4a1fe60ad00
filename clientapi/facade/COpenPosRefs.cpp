#include "clientapi/facade/COpenPosRefs.h"

#include "general/model/COpenPosition.h"

namespace OrbanexClientAPI10 {

COpenPosRefs::RefPtr COpenPosRefs::Add(
    const std::shared_ptr<OrbanelGeneral10::COpenPosition>& OpenPos) {
    const auto& pos = OrbanelGeneral10::modelitems::Follow(OpenPos);
    auto ref = std::make_shared<COpenPosRef>();
    ref->setOpenPosRef(OpenPos);
    items_.Add(ref, OrbanelGeneral10::modelitems::KeyText(pos.Ticket()));
    ++changes_;
    return ref;
}

}  // namespace OrbanexClientAPI10
