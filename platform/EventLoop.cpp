#include "platform/EventLoop.h"

#include <fcntl.h>
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaObject>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <exception>
#include <iterator>

#include "runtime/Diagnostics.h"

namespace platform {

namespace {

// An exception must not unwind through Qt's dispatch; the loop carries on.
void RunGuarded(const std::function<void()>& fn) {
    runtime::RunReported("EventLoop", fn);
}

// ---- Ending by signal ----

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};
// Those the desk was started ignoring (nohup) stay ignored.
bool g_endNoted[std::size(kEndSignals)] = {};
int g_endPipe[2] = {-1, -1};
volatile sig_atomic_t g_endSignal = 0;

// The handlers make async-signal-safe calls only.
void SetAction(int sig, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    ::sigaction(sig, &action, nullptr);
}

// The first signal's own end: its default action, which ends the program.
void EndOverdue(int) {
    const int sig = g_endSignal;
    SetAction(sig, SIG_DFL);
    ::raise(sig);
    ::_exit(128 + sig);
}

void NoteEndSignal(int sig) {
    const int saved = errno;
    g_endSignal = sig;
    for (size_t i = 0; i < std::size(kEndSignals); ++i)
        if (g_endNoted[i]) SetAction(kEndSignals[i], SIG_DFL);
    ::alarm(EventLoop::kEndGraceSeconds);
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(g_endPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

void EventLoop::EndOnSignals(std::function<void()> end) {
    Ensure();
    if (g_endPipe[0] >= 0 || ::pipe2(g_endPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier =
        new QSocketNotifier(g_endPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [notifier, end = std::move(end)] {
                         char bytes[16];
                         while (::read(g_endPipe[0], bytes, sizeof bytes) > 0) {
                         }
                         // The end runs once; the next signal takes its default.
                         notifier->setEnabled(false);
                         RunGuarded(end);
                     });
    SetAction(SIGALRM, EndOverdue);
    for (size_t i = 0; i < std::size(kEndSignals); ++i) {
        struct sigaction before {};
        g_endNoted[i] =
            ::sigaction(kEndSignals[i], nullptr, &before) == 0 && before.sa_handler != SIG_IGN;
        if (g_endNoted[i]) SetAction(kEndSignals[i], NoteEndSignal);
    }
}

void EventLoop::Ensure() {
    if (QCoreApplication::instance()) return;
    // Qt keeps references to argc/argv for the application's lifetime.
    static int argc = 1;
    static char name[] = "OrbanexDesk";
    static char* argv[] = {name, nullptr};
    // Lives for the rest of the process, like the application object a host makes.
    new QCoreApplication(argc, argv);
}

void EventLoop::Post(std::function<void()> fn) {
    Ensure();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [fn = std::move(fn)] { RunGuarded(fn); },
        Qt::QueuedConnection);
}

void EventLoop::ProcessEvents(int32_t maxWaitMs) {
    Ensure();
    if (maxWaitMs <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // Wakes the dispatcher when nothing else arrives in time.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(maxWaitMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void EventLoop::RunFor(int32_t ms) {
    Ensure();
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const qint64 left = ms - clock.elapsed();
        if (left <= 0) break;
        ProcessEvents(static_cast<int32_t>(left));
    }
    ProcessEvents(0);
}

bool EventLoop::RunUntil(const std::function<bool()>& done, int32_t timeoutMs) {
    Ensure();
    QElapsedTimer clock;
    clock.start();
    ProcessEvents(0);
    while (!done()) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0) return done();
        ProcessEvents(static_cast<int32_t>(std::min<qint64>(left, 50)));
    }
    return true;
}

bool EventLoop::RunUntilIdle(int32_t timeoutMs) {
    Ensure();
    QElapsedTimer clock;
    clock.start();
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    while (dispatcher->processEvents(QEventLoop::AllEvents)) {
        if (clock.elapsed() >= timeoutMs) return false;
    }
    return true;
}

int EventLoop::Exec() {
    Ensure();
    return QCoreApplication::exec();
}

void EventLoop::Quit(int code) {
    Ensure();
    QCoreApplication::exit(code);
}

}  // namespace platform
