#include "platform/widgets/FramePacer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace platform::widgets {

namespace {

class FramePacer : public QObject {
public:
    explicit FramePacer(QObject* parent) : QObject(parent) {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, [this] { Release(); });
        sinceFrame_.start();
    }

    bool eventFilter(QObject* target, QEvent* event) override {
        if (event->type() != QEvent::UpdateRequest || releasing_ || !target->isWidgetType() ||
            !static_cast<QWidget*>(target)->isWindow())
            return false;
        const qint64 since = sinceFrame_.elapsed();
        if (since >= kFrameMs && held_.empty()) {
            sinceFrame_.restart();
            return false;
        }
        // The repaint manager asks again only after this one is served: it is
        // served from Release, in the next frame.
        QPointer<QWidget> window(static_cast<QWidget*>(target));
        bool known = false;
        for (const auto& w : held_) known = known || w == window;
        if (!known) held_.push_back(window);
        if (!timer_.isActive())
            timer_.start(static_cast<int>(std::max<qint64>(1, kFrameMs - since)));
        return true;
    }

private:
    void Release() {
        sinceFrame_.restart();
        const std::vector<QPointer<QWidget>> windows = std::move(held_);
        held_.clear();
        releasing_ = true;
        for (const auto& window : windows) {
            if (!window) continue;
            QEvent request(QEvent::UpdateRequest);
            QCoreApplication::sendEvent(window, &request);
        }
        releasing_ = false;
    }

    QTimer timer_;
    QElapsedTimer sinceFrame_;
    std::vector<QPointer<QWidget>> held_;
    bool releasing_ = false;
};

}  // namespace

void InstallFramePacer() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || app->property("orbanexFramePacer").toBool()) return;
    app->setProperty("orbanexFramePacer", true);
    app->installEventFilter(new FramePacer(app));
}

}  // namespace platform::widgets
