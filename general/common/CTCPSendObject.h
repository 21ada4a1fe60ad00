#pragma once
// One text on its way through the TCP client's send queue.
#include <string>

#include "general/common/IQueueNode.h"
#include "general/common/ISafeObject.h"

namespace OrbanelGeneral10 {

class CTCPSendObject : public IQueueNode, public ISafeObject {
public:
    const std::string& SendText() const { return SendText_; }
    void setSendText(const std::string& value) { SendText_ = value; }

    // A send text tells nothing about itself.
    std::string ID() override;
    std::string toString() override;
    // Holds no references.
    void Deallocate() override;

private:
    std::string SendText_;
};

}  // namespace OrbanelGeneral10
