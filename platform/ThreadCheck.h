#pragma once
// Sockets and timers register with the event loop of the thread they were
// created on (the socket poller is per thread). Used from another thread they
// would register on a loop nobody runs and nothing would report it, so checked
// builds (debug, or ORBANEX_CHECKED as the sanitizer build sets) stop the
// program there, naming the object.
#include <thread>

namespace platform::detail {

#if defined(NDEBUG) && !defined(ORBANEX_CHECKED)
inline constexpr bool kCheckThreads = false;
#else
inline constexpr bool kCheckThreads = true;
#endif

// Remembers the creating thread; Check() aborts on any other one.
class OwnerThread {
public:
    // `object` names the class in the message ("TcpSocket").
    explicit OwnerThread(const char* object) : object_(object) {}
    void Check(const char* member) const {
        if (kCheckThreads && std::this_thread::get_id() != owner_) Fail(member);
    }

private:
    [[noreturn]] void Fail(const char* member) const;

    std::thread::id owner_ = std::this_thread::get_id();
    const char* object_;
};

}  // namespace platform::detail
