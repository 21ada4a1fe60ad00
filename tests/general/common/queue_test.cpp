#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "general/common/CQueue.h"
#include "general/common/MGenerals.h"

namespace {

using namespace OrbanelGeneral10;

struct Node : IQueueNode {
    explicit Node(int n = 0) : n(n) {}
    std::string ID() override { return std::to_string(n); }
    std::string toString() override { return "node " + std::to_string(n); }
    int n;
};

struct SafeNode : Node, ISafeObject {
    void Deallocate() override { ++deallocations; }
    int deallocations = 0;
};

std::shared_ptr<IQueueNode> Make(int n) {
    return std::make_shared<Node>(n);
}

int NumberOf(const std::shared_ptr<IQueueNode>& node) {
    return node ? std::stoi(node->ID()) : -1;
}

double CountOf(const CQueue& q) {
    runtime::Variant count = q.Count();
    EXPECT_EQ(count.Type(), runtime::VarType::Double);
    return count.ToDouble();
}

TEST(Queue, EmptyQueueAnswersUnderflowAndLeavesTopsArgument) {
    CQueue q;
    EXPECT_TRUE(q.isEmptyQueue());
    EXPECT_FALSE(q.isFullQueue());
    EXPECT_EQ(CountOf(q), 0.0);
    EXPECT_EQ(q.Dequeue(), UNDERFLOW);
    auto x = Make(9);
    EXPECT_EQ(q.Top(x), UNDERFLOW);
    EXPECT_EQ(NumberOf(x), 9);
}

TEST(Queue, HoldsFiveThousandAndRefusesTheNext) {
    CQueue q;
    for (int i = 1; i <= 5000; ++i) ASSERT_EQ(q.Enqueue(Make(i)), SUCCESS) << i;
    EXPECT_TRUE(q.isFullQueue());
    EXPECT_EQ(q.Enqueue(Make(5001)), OVERFLOW);
    EXPECT_EQ(CountOf(q), 5000.0);
    std::shared_ptr<IQueueNode> head;
    EXPECT_EQ(q.Top(head), SUCCESS);
    EXPECT_EQ(NumberOf(head), 1);
    EXPECT_EQ(NumberOf(q.Elements()[5000]), 5000);
}

TEST(Queue, RingWrapsToSlotOne) {
    CQueue q;
    for (int i = 1; i <= 5000; ++i) q.Enqueue(Make(i));
    EXPECT_EQ(q.Dequeue(), SUCCESS);
    EXPECT_EQ(q.Enqueue(Make(5001)), SUCCESS);
    const auto slots = q.Elements();
    ASSERT_EQ(slots.size(), 5001u);
    EXPECT_EQ(NumberOf(slots[1]), 5001);
    std::shared_ptr<IQueueNode> head;
    q.Top(head);
    EXPECT_EQ(NumberOf(head), 2);
}

TEST(Queue, KeepsOrderOverManyWraps) {
    CQueue q;
    int next = 0, expected = 0;
    for (int round = 0; round < 7; ++round) {
        while (q.Enqueue(Make(next)) == SUCCESS) ++next;
        for (int i = 0; i < 3333; ++i) {
            std::shared_ptr<IQueueNode> head;
            ASSERT_EQ(q.Top(head), SUCCESS);
            ASSERT_EQ(NumberOf(head), expected++);
            ASSERT_EQ(q.Dequeue(), SUCCESS);
        }
    }
    EXPECT_EQ(CountOf(q), static_cast<double>(next - expected));
}

TEST(Queue, ClearEmptiesAWrappedQueueAndStartsAtSlotOne) {
    CQueue q;
    for (int i = 1; i <= 5000; ++i) q.Enqueue(Make(i));
    for (int i = 0; i < 10; ++i) q.Dequeue();
    for (int i = 0; i < 5; ++i) q.Enqueue(Make(6000 + i));
    q.Clear();
    EXPECT_TRUE(q.isEmptyQueue());
    EXPECT_EQ(q.Dequeue(), UNDERFLOW);
    for (const auto& slot : q.Elements()) EXPECT_EQ(slot, nullptr);
    q.Enqueue(Make(77));
    EXPECT_EQ(NumberOf(q.Elements()[1]), 77);
}

TEST(Queue, DequeueAndClearDropTheQueuesReferenceOnly) {
    CQueue q;
    auto safe = std::make_shared<SafeNode>();
    auto held = std::make_shared<Node>(1);
    std::weak_ptr<IQueueNode> watched = held;
    q.Enqueue(held);
    held.reset();
    EXPECT_FALSE(watched.expired());
    q.Dequeue();
    EXPECT_TRUE(watched.expired());

    q.Enqueue(safe);
    q.Clear();
    EXPECT_EQ(safe->deallocations, 0);
    EXPECT_EQ(safe.use_count(), 1);
}

TEST(Queue, ReleaseDeallocatesSafeNodes) {
    auto safe = std::make_shared<SafeNode>();
    auto plain = std::make_shared<Node>(2);
    auto q = std::make_shared<CQueue>();
    q->Enqueue(safe);
    q->Enqueue(plain);
    q->Deallocate();
    EXPECT_EQ(safe->deallocations, 1);
    EXPECT_EQ(CountOf(*q), 0.0);
    EXPECT_EQ(plain.use_count(), 1);

    q->Enqueue(safe);
    SafeRelease(q);  // Deallocate, then the destructor: each node is released once
    EXPECT_EQ(q, nullptr);
    EXPECT_EQ(safe->deallocations, 2);
    EXPECT_EQ(safe.use_count(), 1);
}

// A node whose release reaches back into its queue must find it consistent.
struct ReentrantNode : Node, ISafeObject {
    explicit ReentrantNode(CQueue* q) : q(q) {}
    void Deallocate() override {
        seenEmpty = q->isEmptyQueue();
        q->Enqueue(std::make_shared<Node>(5));
    }
    CQueue* q;
    bool seenEmpty = false;
};

TEST(Queue, ReleaseSurvivesANodeThatReachesBack) {
    CQueue q;
    auto node = std::make_shared<ReentrantNode>(&q);
    q.Enqueue(node);
    q.Deallocate();
    EXPECT_TRUE(node->seenEmpty);
    EXPECT_EQ(CountOf(q), 1.0);
}

}  // namespace
