#pragma once
// Bounded first-in-first-out ring of 5000 nodes. A full queue answers OVERFLOW
// and an empty one UNDERFLOW; nothing here throws.
#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "general/common/Enums.h"
#include "general/common/IQueueNode.h"
#include "general/common/ISafeObject.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

// The ring both libraries deliver. Slots are numbered 1 to kCapacity.
class QueueRing {
public:
    static constexpr size_t kCapacity = 5000;

    QueueRing() = default;
    QueueRing(const QueueRing&) = delete;
    QueueRing& operator=(const QueueRing&) = delete;

    QueueStatus Enqueue(std::shared_ptr<IQueueNode> j);
    QueueStatus Dequeue();
    // The head stays in the queue; `x` is left as it was when the queue is empty.
    QueueStatus Top(std::shared_ptr<IQueueNode>& x) const;
    void Clear();
    bool isEmptyQueue() const { return count_ == 0; }
    bool isFullQueue() const { return count_ == kCapacity; }
    // The number of nodes as a Double variant.
    runtime::Variant Count() const { return runtime::Variant(static_cast<double>(count_)); }
    // A copy of the slots, indexed 1 to kCapacity (index 0 unused).
    std::vector<std::shared_ptr<IQueueNode>> Elements() const;

protected:
    ~QueueRing() = default;
    // Empties every slot; with `deallocate` each node goes through SafeRelease.
    void ReleaseNodes(bool deallocate);

private:
    std::array<std::shared_ptr<IQueueNode>, kCapacity + 1> slots_{};
    size_t front_ = 1;
    size_t rear_ = 0;
    size_t count_ = 0;
};

// The general library's queue: releasing it also deallocates its nodes.
class CQueue : public QueueRing, public ISafeObject {
public:
    CQueue() = default;
    ~CQueue() override;
    void Deallocate() override;
};

}  // namespace OrbanelGeneral10
