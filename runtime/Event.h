#pragma once
// Synchronous multicast event. A handler may disconnect itself or others, connect
// new handlers (they are called from the next raise on) or raise the event
// again while it runs. Raising allocates nothing.
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace runtime {

class Connection {
public:
    Connection() = default;
    explicit Connection(std::shared_ptr<std::function<void()>> disconnect)
        : disconnect_(std::move(disconnect)) {}
    void Disconnect() {
        if (disconnect_ && *disconnect_) {
            auto f = std::move(*disconnect_);
            *disconnect_ = nullptr;
            f();
        }
    }
    bool Connected() const { return disconnect_ && *disconnect_; }

private:
    std::shared_ptr<std::function<void()>> disconnect_;
};

// Disconnects when it goes out of scope.
class ScopedConnection {
public:
    ScopedConnection() = default;
    ScopedConnection(Connection c) : c_(std::move(c)) {}
    ScopedConnection(ScopedConnection&&) = default;
    ScopedConnection& operator=(ScopedConnection&& o) noexcept {
        if (this != &o) {
            c_.Disconnect();
            c_ = std::move(o.c_);
        }
        return *this;
    }
    ~ScopedConnection() { c_.Disconnect(); }
    void Disconnect() { c_.Disconnect(); }

private:
    Connection c_;
};

template <class... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    Event() : state_(std::make_shared<State>()) {}
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    Connection Connect(Handler handler) {
        auto slot = std::make_shared<Slot>(Slot{std::move(handler), true});
        state_->slots.push_back(slot);
        std::weak_ptr<State> weakState = state_;
        std::weak_ptr<Slot> weakSlot = slot;
        return Connection(std::make_shared<std::function<void()>>([weakState, weakSlot] {
            auto st = weakState.lock();
            auto sl = weakSlot.lock();
            if (!st || !sl) return;
            sl->alive = false;
            st->Compact();
        }));
    }

    void DisconnectAll() {
        for (auto& s : state_->slots) s->alive = false;
        state_->Compact();
    }

    size_t HandlerCount() const {
        size_t n = 0;
        for (auto& s : state_->slots) n += s->alive ? 1 : 0;
        return n;
    }

    // Calls the handlers connected when the raise began, skipping any that were
    // disconnected meanwhile. Survives the event object being destroyed by a handler.
    template <class... A>
    void operator()(A&&... args) const {
        auto st = state_;  // keep the slot list alive even if *this goes away
        const size_t n = st->slots.size();
        ++st->raising;
        struct Guard {
            State* s;
            ~Guard() {
                if (--s->raising == 0) s->Compact();
            }
        } guard{st.get()};
        for (size_t i = 0; i < n && i < st->slots.size(); ++i) {
            Slot* slot = st->slots[i].get();
            if (slot->alive) slot->fn(args...);
        }
    }

private:
    struct Slot {
        Handler fn;
        bool alive;
    };
    struct State {
        std::vector<std::shared_ptr<Slot>> slots;
        int raising = 0;
        void Compact() {
            if (raising) return;  // indices stay stable while raising
            std::erase_if(slots, [](const std::shared_ptr<Slot>& s) { return !s->alive; });
        }
    };
    std::shared_ptr<State> state_;
};

}  // namespace runtime
