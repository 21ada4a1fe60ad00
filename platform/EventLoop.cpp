#include "platform/EventLoop.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>

#include <algorithm>
#include <exception>

#include "runtime/Diagnostics.h"

namespace platform {

namespace {

// An exception must not unwind through Qt's dispatch; the loop carries on.
void RunGuarded(const std::function<void()>& fn) {
    runtime::RunReported("EventLoop", fn);
}

}  // namespace

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
