#include "platform/widgets/DockingPanes.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <functional>
#include <utility>

namespace platform::widgets {

namespace {
constexpr const char* kLayoutTag = "DP1:";
constexpr const char* kSizedLayoutTag = "DP2:";  // DP1 after the window's width and height
constexpr int kStateVersion = 1;

// Reports its close button and its first showing to the pane.
class PaneDock : public QDockWidget {
public:
    using QDockWidget::QDockWidget;
    std::function<bool()> onClose;  // false keeps the pane open
    std::function<void()> onShow;

protected:
    void closeEvent(QCloseEvent* event) override {
        if (onClose && !onClose()) {
            event->ignore();
            return;
        }
        QDockWidget::closeEvent(event);
    }
    void showEvent(QShowEvent* event) override {
        if (onShow) onShow();
        QDockWidget::showEvent(event);
    }
};

Qt::DockWidgetArea AreaOf(int32_t side) {
    switch (side) {
        case DockingPanes::Right:
            return Qt::RightDockWidgetArea;
        case DockingPanes::Top:
            return Qt::TopDockWidgetArea;
        case DockingPanes::Bottom:
            return Qt::BottomDockWidgetArea;
        default:
            return Qt::LeftDockWidgetArea;
    }
}

// Draws a plain one-line label whose text is wider than the label elided at the
// right, as a list cell would; a text that fits is the label's own affair.
class ElidingPainter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        auto* label = static_cast<QLabel*>(watched);
        const QRect room = label->contentsRect();
        const QString text = label->text();
        const QFontMetrics metrics = label->fontMetrics();
        if (text.isEmpty() || label->wordWrap() || Qt::mightBeRichText(text) ||
            metrics.horizontalAdvance(text) <= room.width())
            return false;
        QPainter painter(label);
        if (label->autoFillBackground())
            painter.fillRect(label->rect(), label->palette().color(label->backgroundRole()));
        const Qt::Alignment vertical = label->alignment() & Qt::AlignVertical_Mask;
        label->style()->drawItemText(
            &painter, room, int(Qt::AlignLeft | vertical), label->palette(), label->isEnabled(),
            metrics.elidedText(text, Qt::ElideRight, room.width()), label->foregroundRole());
        return true;
    }
};

// Reports the window's size changes.
class ResizeWatch : public QObject {
public:
    ResizeWatch(QObject* parent, std::function<void()> onResize)
        : QObject(parent), onResize_(std::move(onResize)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) onResize_();
        return false;
    }

private:
    std::function<void()> onResize_;
};

struct ToolBarPlace {
    QToolBar* bar;
    Qt::ToolBarArea area;
    bool hidden;
};
}  // namespace

std::string DockingPane::Title() const {
    return dock_->windowTitle().toStdString();
}

void DockingPane::setTitle(const std::string& title) {
    dock_->setWindowTitle(QString::fromStdString(title));
}

void DockingPane::setWidget(QWidget* widget) {
    if (widget) owner_.LetLabelsShrink(*widget);
    dock_->setWidget(widget);
}

void DockingPane::Close() {
    if (!Closed()) dock_->close();
}

void DockingPane::Select() {
    Attach();
    dock_->show();
    owner_.selecting_ = true;  // raising a tab reports it too
    dock_->raise();
    owner_.selecting_ = false;
    bool cancel = false;
    owner_.Action(14, *this, cancel);
}

void DockingPane::AttachTo(DockingPane& other) {
    if (&other != this) owner_.window_.tabifyDockWidget(other.dock_, dock_);
    owner_.HideEmptyTabBars();
}

void DockingPane::Attach() {
    if (attached_) return;
    attached_ = true;
    owner_.AttachPane(*this);
}

DockingPanes::DockingPanes(QMainWindow& window)
    : window_(window),
      life_(std::make_unique<QObject>()),
      eliding_(new ElidingPainter(life_.get())) {
    window_.installEventFilter(new ResizeWatch(life_.get(), [this] { WindowResized(); }));
    window_.setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks |
                           QMainWindow::AllowNestedDocks);
    QObject::connect(&window_, &QMainWindow::tabifiedDockWidgetActivated, life_.get(),
                     [this](QDockWidget* dock) {
                         if (selecting_) return;
                         for (const auto& pane : panes_) {
                             if (pane->dock_ != dock) continue;
                             bool cancel = false;
                             Action(14, *pane, cancel);
                         }
                     });
}

DockingPanes::~DockingPanes() {
    for (const auto& pane : panes_) {
        auto* dock = static_cast<PaneDock*>(pane->dock_);
        dock->onClose = nullptr;
        dock->onShow = nullptr;
    }
}

DockingPane& DockingPanes::CreatePane(int32_t id, int width, int height, int32_t side,
                                      DockingPane* neighbour) {
    auto* dock = new PaneDock(&window_);
    // Named so that the window's saved state can place it.
    dock->setObjectName(QString("Pane%1").arg(id));
    panes_.push_back(std::unique_ptr<DockingPane>(new DockingPane(*this, id, dock)));
    DockingPane* pane = panes_.back().get();
    dock->onClose = [this, pane] {
        bool cancel = false;
        Action(3, *pane, cancel);
        return !cancel;
    };
    dock->onShow = [pane] { pane->Attach(); };
    const Qt::Orientation orientation =
        side == Left || side == Right ? Qt::Horizontal : Qt::Vertical;
    if (neighbour) {
        window_.splitDockWidget(neighbour->dock_, dock, orientation);
    } else {
        window_.addDockWidget(AreaOf(side), dock);
    }
    window_.resizeDocks({dock}, {orientation == Qt::Horizontal ? width : height}, orientation);
    // A child added to a shown window stays hidden until shown: a new pane is open.
    if (window_.isVisible()) dock->show();
    return *pane;
}

// The window keeps the tab bar of a group it took apart and may leave it shown,
// empty, over whatever lies there now.
void DockingPanes::HideEmptyTabBars() {
    for (QTabBar* bar : window_.findChildren<QTabBar*>(Qt::FindDirectChildrenOnly))
        if (bar->count() == 0) bar->hide();
}

// A summary line set after the pane was laid out would otherwise push the
// dividers of every pane beside it.
void DockingPanes::LetLabelsShrink(QWidget& widget) {
    for (QLabel* label : widget.findChildren<QLabel*>()) {
        if (label->wordWrap() || label->minimumWidth() > 0) continue;
        label->setMinimumWidth(1);
        label->installEventFilter(eliding_);
    }
}

DockingPane* DockingPanes::FindPane(int32_t id) const {
    for (const auto& pane : panes_)
        if (pane->Id() == id) return pane.get();
    return nullptr;
}

// The window's state itself takes a cut-off text for a whole one: the line
// carries the state's size and checksum.
std::string DockingPanes::SaveLayout() const {
    const QByteArray state = window_.saveState(kStateVersion);
    return kSizedLayoutTag + std::to_string(window_.width()) + ":" +
           std::to_string(window_.height()) + ":" + std::to_string(state.size()) + ":" +
           std::to_string(qChecksum(state)) + ":" + state.toBase64().toStdString();
}

bool DockingPanes::LoadLayout(const std::string& text) {
    const std::string plain = kLayoutTag, sized = kSizedLayoutTag;
    const bool hasSize = text.compare(0, sized.size(), sized) == 0;
    if (!hasSize && text.compare(0, plain.size(), plain) != 0) return false;
    QList<QByteArray> fields = QByteArray::fromStdString(text.substr(plain.size())).split(':');
    QSize windowSize;
    if (hasSize) {
        if (fields.size() != 5) return false;
        bool widthOk = false, heightOk = false;
        windowSize = QSize(fields[0].toInt(&widthOk), fields[1].toInt(&heightOk));
        if (!widthOk || !heightOk || windowSize.isEmpty()) return false;
        fields.remove(0, 2);
    }
    if (fields.size() != 3) return false;
    bool sizeOk = false, sumOk = false;
    const qsizetype size = fields[0].toLongLong(&sizeOk);
    const quint16 sum = fields[1].toUShort(&sumOk);
    const auto decoded =
        QByteArray::fromBase64Encoding(fields[2], QByteArray::AbortOnBase64DecodingErrors);
    if (!sizeOk || !sumOk || !decoded || decoded.decoded.isEmpty() ||
        decoded.decoded.size() != size || qChecksum(decoded.decoded) != sum)
        return false;
    if (!Restore(decoded.decoded)) return false;
    pendingState_.clear();
    if (hasSize && window_.size() != windowSize) {
        pendingState_ = decoded.decoded;
        pendingSize_ = windowSize;
    }
    return true;
}

// A layout loaded while the window had another size is laid out again when the
// window first reaches the size it was saved at: the window's own refitting
// would have shifted every divider.
void DockingPanes::WindowResized() {
    if (pendingState_.isEmpty() || window_.size() != pendingSize_) return;
    // After the window has laid itself out at that size.
    QTimer::singleShot(0, life_.get(), [this, state = std::exchange(pendingState_, {})] {
        if (window_.size() == pendingSize_) Restore(state);
    });
}

bool DockingPanes::Restore(const QByteArray& state) {  // The window's state holds its toolbars too;
                                                       // they belong to the command bars.
    std::vector<ToolBarPlace> toolBars;
    for (QToolBar* bar : window_.findChildren<QToolBar*>(Qt::FindDirectChildrenOnly))
        toolBars.push_back({bar, window_.toolBarArea(bar), bar->isHidden()});
    if (!window_.restoreState(state, kStateVersion)) return false;
    for (const ToolBarPlace& place : toolBars) {
        if (window_.toolBarArea(place.bar) != place.area) window_.addToolBar(place.area, place.bar);
        place.bar->setHidden(place.hidden);
    }
    for (const auto& pane : panes_) {
        QDockWidget* dock = pane->dock_;
        if (!dock->isFloating()) continue;
        bool onScreen = false;
        for (QScreen* screen : QGuiApplication::screens())
            onScreen = onScreen || screen->availableGeometry().intersects(dock->geometry());
        if (!onScreen) dock->setFloating(false);
    }
    HideEmptyTabBars();
    return true;
}

}  // namespace platform::widgets
