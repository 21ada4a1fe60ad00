#include "general/common/CQueue.h"

#include <utility>

#include "general/common/MGenerals.h"

namespace OrbanelGeneral10 {

QueueStatus QueueRing::Enqueue(std::shared_ptr<IQueueNode> j) {
    if (isFullQueue()) return OVERFLOW;
    rear_ = rear_ == kCapacity ? 1 : rear_ + 1;
    slots_[rear_] = std::move(j);
    ++count_;
    return SUCCESS;
}

QueueStatus QueueRing::Dequeue() {
    if (isEmptyQueue()) return UNDERFLOW;
    // Moved out first: the node's destructor may reach back into this queue.
    std::shared_ptr<IQueueNode> head = std::move(slots_[front_]);
    front_ = front_ == kCapacity ? 1 : front_ + 1;
    --count_;
    head.reset();
    return SUCCESS;
}

QueueStatus QueueRing::Top(std::shared_ptr<IQueueNode>& x) const {
    if (isEmptyQueue()) return UNDERFLOW;
    x = slots_[front_];
    return SUCCESS;
}

void QueueRing::Clear() {
    ReleaseNodes(false);
}

std::vector<std::shared_ptr<IQueueNode>> QueueRing::Elements() const {
    return std::vector<std::shared_ptr<IQueueNode>>(slots_.begin(), slots_.end());
}

void QueueRing::ReleaseNodes(bool deallocate) {
    // Taken out of the ring before any node is released, so a node's release
    // that reaches back into the queue finds it already empty.
    auto taken = std::make_unique<std::array<std::shared_ptr<IQueueNode>, kCapacity + 1>>();
    taken->swap(slots_);
    front_ = 1;
    rear_ = 0;
    count_ = 0;
    if (!deallocate) return;
    for (size_t i = 1; i <= kCapacity; ++i) SafeRelease((*taken)[i]);
}

CQueue::~CQueue() {
    ReleaseNodes(true);
}

void CQueue::Deallocate() {
    ReleaseNodes(true);
}

}  // namespace OrbanelGeneral10
