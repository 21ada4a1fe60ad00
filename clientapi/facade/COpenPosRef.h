#pragma once
// Holds one model position for a symbol's list of the selected account's
// positions.
#include <memory>

#include "runtime/Variant.h"

namespace OrbanelGeneral10 {
class COpenPosition;
}

namespace OrbanexClientAPI10 {

class COpenPosRef {
public:
    const std::shared_ptr<OrbanelGeneral10::COpenPosition>& OpenPosRef() const { return pos_; }
    void setOpenPosRef(std::shared_ptr<OrbanelGeneral10::COpenPosition> value) {
        pos_ = std::move(value);
    }

private:
    std::shared_ptr<OrbanelGeneral10::COpenPosition> pos_;
};

}  // namespace OrbanexClientAPI10
