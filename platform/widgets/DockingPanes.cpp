#include "platform/widgets/DockingPanes.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <utility>

namespace platform::widgets {

namespace {
constexpr const char* kLayoutTag = "DP1:";
// DP1 after the window's width and height, then those of the panes' room (texts
// written before the panes kept their shares have no room).
constexpr const char* kSizedLayoutTag = "DP2:";
// The window's state as saved with the middle between the side panes, and as
// saved before there was one.
constexpr int kStateVersion = 2;
constexpr int kStateVersionBeforeMiddle = 1;

// Reports its close button, its first showing and its size changes to the pane.
class PaneDock : public QDockWidget {
public:
    using QDockWidget::QDockWidget;
    std::function<bool()> onClose;  // false keeps the pane open
    std::function<void()> onShow;
    std::function<void()> onResize;

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
    void resizeEvent(QResizeEvent* event) override {
        QDockWidget::resizeEvent(event);
        if (onResize) onResize();
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
    // Without a central widget the middle between the top and bottom panes never
    // grows, so the divider above the bottom panes would only move up. It takes
    // no width: the side panes share it. A window with a centre of its own keeps it.
    if (!window_.centralWidget()) {
        middle_ = new QWidget;
        middle_->setObjectName("PanesMiddle");
        middle_->setMaximumWidth(0);
        window_.setCentralWidget(middle_);
    }
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
        dock->onResize = nullptr;
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
    dock->onResize = [this] { PaneResized(); };
    const auto followSides = [this] { ShowMiddleForSidePanes(); };
    QObject::connect(dock, &QDockWidget::dockLocationChanged, life_.get(), followSides);
    QObject::connect(dock, &QDockWidget::topLevelChanged, life_.get(), followSides);
    QObject::connect(dock, &QDockWidget::visibilityChanged, life_.get(), followSides);
    const Qt::Orientation orientation =
        side == Left || side == Right ? Qt::Horizontal : Qt::Vertical;
    if (neighbour) {
        window_.splitDockWidget(neighbour->dock_, dock, orientation);
    } else {
        // Below the side's other panes: the window would set a top or bottom pane
        // beside them.
        window_.addDockWidget(AreaOf(side), dock, Qt::Vertical);
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
    const QSize room = window_.isVisible() ? Room().size() : QSize(0, 0);
    return kSizedLayoutTag + std::to_string(window_.width()) + ":" +
           std::to_string(window_.height()) + ":" + std::to_string(room.width()) + ":" +
           std::to_string(room.height()) + ":" + std::to_string(state.size()) + ":" +
           std::to_string(qChecksum(state)) + ":" + state.toBase64().toStdString();
}

namespace {
// Two whole numbers; nothing when either does not read.
std::optional<QSize> ReadSize(const QByteArray& width, const QByteArray& height) {
    bool widthOk = false, heightOk = false;
    const QSize size(width.toInt(&widthOk), height.toInt(&heightOk));
    if (!widthOk || !heightOk || size.width() < 0 || size.height() < 0) return std::nullopt;
    return size;
}
}  // namespace

bool DockingPanes::LoadLayout(const std::string& text) {
    const std::string plain = kLayoutTag, sized = kSizedLayoutTag;
    const bool hasSize = text.compare(0, sized.size(), sized) == 0;
    if (!hasSize && text.compare(0, plain.size(), plain) != 0) return false;
    QList<QByteArray> fields = QByteArray::fromStdString(text.substr(plain.size())).split(':');
    QSize windowSize, roomSize;
    if (hasSize) {
        if (fields.size() != 5 && fields.size() != 7) return false;
        const std::optional<QSize> window = ReadSize(fields[0], fields[1]);
        const std::optional<QSize> room =
            fields.size() == 7 ? ReadSize(fields[2], fields[3]) : QSize();
        if (!window || window->isEmpty() || !room) return false;
        windowSize = *window;
        roomSize = *room;
        fields.remove(0, fields.size() - 3);
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
    if (!RestoreAt(decoded.decoded, windowSize, roomSize)) return false;
    pendingState_.clear();
    if (hasSize && window_.size() != windowSize) {
        pendingState_ = decoded.decoded;
        pendingSize_ = windowSize;
        pendingRoom_ = roomSize;
    }
    return true;
}

// Lays the state out in a room of the size it was saved in (or, for a text that
// has no room, in a window of its size), takes each pane's share of that, then
// fits the shares to the room as it is: the same shares, whatever toolbars or
// screen the window has now.
bool DockingPanes::RestoreAt(const QByteArray& state, QSize windowSize, QSize roomSize) {
    QLayout& layout = *window_.layout();
    layout.invalidate();  // so that it lays out now and knows its rectangle
    layout.activate();
    const QRect present = layout.geometry();
    const QSize room = window_.isVisible() ? Room().size() : QSize();
    QSize saved = present.size();
    if (!roomSize.isEmpty() && !room.isEmpty())
        saved += roomSize - room;
    else if (!windowSize.isEmpty())
        saved += windowSize - window_.size();
    const bool outer = std::exchange(fitting_, true);
    const bool restored = Restore(state, QRect(present.topLeft(), saved));
    layout.setGeometry(present);
    fitting_ = outer;
    if (restored) FitShares();
    return restored;
}

// A layout loaded while the window had another size is laid out exactly again
// when the window first reaches the size it was saved at.
void DockingPanes::WindowResized() {
    if (pendingState_.isEmpty() || window_.size() != pendingSize_) return;
    // After the window has laid itself out at that size.
    QTimer::singleShot(0, life_.get(), [this, state = std::exchange(pendingState_, {})] {
        if (window_.size() == pendingSize_) RestoreAt(state, pendingSize_, pendingRoom_);
    });
}

// Laid out in `inner`, as the window's rectangle below its menu, and the panes'
// shares taken there. A state saved before there was a middle is laid out
// without it: the window gives a state the sizes it was saved with only as it
// was then. The middle, shown again, lays the window out at its own size.
bool DockingPanes::Restore(const QByteArray& state, const QRect& inner) {
    // The window's state holds its toolbars too; they belong to the command bars.
    std::vector<ToolBarPlace> toolBars;
    for (QToolBar* bar : window_.findChildren<QToolBar*>(Qt::FindDirectChildrenOnly))
        toolBars.push_back({bar, window_.toolBarArea(bar), bar->isHidden()});
    window_.layout()->setGeometry(inner);
    restoring_ = true;
    bool restored = window_.restoreState(state, kStateVersion);
    if (!restored && middle_) middle_->hide();
    if (!restored) restored = window_.restoreState(state, kStateVersionBeforeMiddle);
    restoring_ = false;
    if (!restored) {
        ShowMiddleForSidePanes();
        return false;
    }
    TakeShares();
    for (const ToolBarPlace& place : toolBars) {
        const bool moved = window_.toolBarArea(place.bar) != place.area;
        if (moved && place.area == Qt::NoToolBarArea)
            window_.removeToolBar(place.bar);  // a bar taken out of the window stays out
        else if (moved)
            window_.addToolBar(place.area, place.bar);
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
    ShowMiddleForSidePanes();
    return true;
}

// The middle stands only between side panes: without them it would leave a
// blank band between the top and bottom panes.
void DockingPanes::ShowMiddleForSidePanes() {
    if (restoring_ || !middle_) return;
    bool sidePane = false;
    for (const auto& pane : panes_) {
        const QDockWidget* dock = pane->dock_;
        const Qt::DockWidgetArea area = window_.dockWidgetArea(pane->dock_);
        sidePane =
            sidePane || (!dock->isHidden() && !dock->isFloating() &&
                         (area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea));
    }
    if (middle_->isHidden() == sidePane) middle_->setVisible(sidePane);
}

void DockingPanes::SharePanes(const std::vector<PaneShare>& shares) {
    window_.layout()->activate();
    shares_.clear();
    for (const PaneShare& share : shares)
        shares_.push_back({share.pane->dock_, share.width, share.height});
    FitShares();
}

// ---- Shares of the room ----

// Docked, shown and in front of its tab group: the window moves the tabs behind
// to negative coordinates.
std::vector<QDockWidget*> DockingPanes::DocksInSight() const {
    const QRect window(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    std::vector<QDockWidget*> docks;
    for (const auto& pane : panes_) {
        QDockWidget* dock = pane->dock_;
        if (!dock->isHidden() && !dock->isFloating() && window.intersects(dock->geometry()))
            docks.push_back(dock);
    }
    return docks;
}

// The pane with the tab bar of its group, which the window shows right below it
// and counts in the group's size.
QRect DockingPanes::GroupRect(QDockWidget* dock) const {
    const QRect rect = dock->geometry();
    if (window_.tabifiedDockWidgets(dock).isEmpty()) return rect;
    for (const QTabBar* bar : window_.findChildren<QTabBar*>(Qt::FindDirectChildrenOnly))
        if (!bar->isHidden() && bar->x() == rect.x() && bar->y() == rect.bottom() + 1 &&
            bar->width() == rect.width())
            return rect | bar->geometry();
    return rect;
}

QRect DockingPanes::Room() const {
    QRect room;
    for (QDockWidget* dock : DocksInSight()) room |= GroupRect(dock);
    return room;
}

// Looked at once the window has laid itself out, whatever moved the panes.
void DockingPanes::PaneResized() {
    if (fitting_ || settling_) return;
    settling_ = true;
    QTimer::singleShot(0, life_.get(), [this] {
        settling_ = false;
        Settled();
    });
}

// Panes resized in a room of the same size were moved by the user, or shown,
// closed or docked elsewhere: their shares follow. A room of another size (the
// window resized, a bar shown or hidden) gets the shares it had.
void DockingPanes::Settled() {
    if (Room().size() == sharesRoom_)
        TakeShares();
    else
        FitShares();
}

void DockingPanes::TakeShares() {
    shares_.clear();
    // A window not shown yet has laid nothing out.
    const QRect room = window_.isVisible() ? Room() : QRect();
    sharesRoom_ = room.size();
    if (room.isEmpty()) return;
    for (QDockWidget* dock : DocksInSight()) {
        const QRect group = GroupRect(dock);
        shares_.push_back(
            {dock, double(group.width()) / room.width(), double(group.height()) / room.height()});
    }
}

// What the minimum sizes left of the shares is what the next resize starts from.
void DockingPanes::FitShares() {
    if (!window_.isVisible()) return TakeShares();
    const QRect room = Room();
    const std::vector<QDockWidget*> inSight = DocksInSight();
    const auto seen = [&](QDockWidget* dock) {
        return std::find(inSight.begin(), inSight.end(), dock) != inSight.end();
    };
    QList<QDockWidget*> docks;
    QList<int> widths, heights;
    for (const Share& share : shares_) {
        // Another tab of the group may have come to the front meanwhile.
        QDockWidget* front = seen(share.dock) ? share.dock : nullptr;
        for (QDockWidget* tab : window_.tabifiedDockWidgets(share.dock))
            if (!front && seen(tab)) front = tab;
        if (!front || docks.contains(front)) continue;
        docks.append(front);
        widths.append(std::max(1, int(std::lround(share.width * room.width()))));
        heights.append(std::max(1, int(std::lround(share.height * room.height()))));
    }
    if (!docks.isEmpty()) ResizeDocksNow(docks, widths, heights);
    TakeShares();
}

// Laid out now rather than at the window's next turn, so that a resize coming at
// once starts from these sizes; the panes' own resizes meanwhile are ours.
void DockingPanes::ResizeDocksNow(const QList<QDockWidget*>& docks, const QList<int>& widths,
                                  const QList<int>& heights) {
    const bool outer = std::exchange(fitting_, true);
    window_.resizeDocks(docks, widths, Qt::Horizontal);
    window_.resizeDocks(docks, heights, Qt::Vertical);
    window_.layout()->activate();
    fitting_ = outer;
}

}  // namespace platform::widgets
