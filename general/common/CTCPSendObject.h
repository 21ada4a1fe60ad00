#pragma once
// One text on its way through the TCP client's send queue.
#include <string>

#include "general/common/IQueueNode.h"
#include "general/common/ISafeObject.h"

namespace OrbanelGeneral10 {

class CTCPSendObject : public IQueueNode, public ISafeObject {
public:
    const std::string& SendText() const { return sendText_; }
    void setSendText(const std::string& value) { sendText_ = value; }

    // A send text tells nothing about itself.
    std::string ID() override;
    std::string toString() override;
    // Holds no references.
    void Deallocate() override;

private:
    std::string sendText_;
};

}  // namespace OrbanelGeneral10
