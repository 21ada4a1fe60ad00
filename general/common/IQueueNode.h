#pragma once
// What a queued object tells about itself (for logs); the queue never calls it.
#include <string>

namespace OrbanelGeneral10 {

class IQueueNode {
public:
    virtual ~IQueueNode() = default;
    virtual std::string ID() = 0;
    virtual std::string toString() = 0;
};

}  // namespace OrbanelGeneral10
