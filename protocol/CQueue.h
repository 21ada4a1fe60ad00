#pragma once
// The connection's request queue: the shared ring of 5000 nodes. Unlike the
// general library's queue, releasing it only drops its references.
#include "general/common/CQueue.h"
#include "general/common/IQueueNode.h"
#include "protocol/Enums.h"

namespace KVGeneralDLL10 {

using IQueueNode = OrbanelGeneral10::IQueueNode;

class CQueue : public OrbanelGeneral10::QueueRing {
public:
    CQueue() = default;
    ~CQueue() { ReleaseNodes(false); }
};

}  // namespace KVGeneralDLL10
