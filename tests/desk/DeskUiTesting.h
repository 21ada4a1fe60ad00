#pragma once
// One QApplication for the desk's test program (never destroyed: Qt's own
// globals are gone by the time statics end), and a turn of its loop.
#include <QApplication>
#include <QCoreApplication>

namespace desk_ui_testing {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "desk_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Runs posted work and deletes what asked to be deleted later.
inline void Turn() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

}  // namespace desk_ui_testing
