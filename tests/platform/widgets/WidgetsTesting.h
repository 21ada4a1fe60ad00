#pragma once
// One QApplication for the test program, and a guard that turns the model
// tester's complaints into test failures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QString>
#include <string>
#include <vector>

namespace widgets_testing {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "platform_widgets_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own globals are gone by the time statics end.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Collects warnings of the item-model tester while it lives.
class ModelWarnings {
public:
    ModelWarnings() {
        Messages().clear();
        Previous() = qInstallMessageHandler(&Handle);
    }
    ~ModelWarnings() { qInstallMessageHandler(Previous()); }
    void ExpectNone() const {
        for (const auto& m : Messages()) ADD_FAILURE() << "model tester: " << m;
        Messages().clear();
    }

private:
    static std::vector<std::string>& Messages() {
        static std::vector<std::string> messages;
        return messages;
    }
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type != QtDebugMsg && type != QtInfoMsg && context.category &&
            std::string(context.category) == "qt.modeltest")
            Messages().push_back(text.toStdString());
        else if (Previous())
            Previous()(type, context, text);
    }
    static QtMessageHandler& Previous() {
        static QtMessageHandler previous = nullptr;
        return previous;
    }
};

// Runs queued work (the coalesced cell notices) once.
inline void Turn() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

}  // namespace widgets_testing
