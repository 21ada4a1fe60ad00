#include "platform/widgets/DockingPanes.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>
#include <optional>
#include <utility>

#include "platform/widgets/DockStateCheck.h"

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
// No window system gives a window more pixels a side.
constexpr int kLargestWindowSide = 32767;

// Reports its close button, its first showing, its size and place changes and
// a drag of its title to the pane.
class PaneDock : public QDockWidget {
public:
    using QDockWidget::QDockWidget;
    std::function<bool()> onClose;  // false keeps the pane open
    std::function<void()> onShow;
    std::function<void()> onResize;
    std::function<void()> onPlaced;  // moved or resized
    std::function<void()> onTitleDrag;

protected:
    bool event(QEvent* event) override {
        const bool handled = QDockWidget::event(event);
        // The dock keeps a press only on its title; one on its contents goes on
        // to the window.
        if (event->type() == QEvent::MouseButtonPress) titlePressed_ = event->isAccepted();
        if (event->type() == QEvent::MouseMove && titlePressed_ && onTitleDrag &&
            static_cast<QMouseEvent*>(event)->buttons() != Qt::NoButton)
            onTitleDrag();
        return handled;
    }
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
        if (onPlaced) onPlaced();
        if (onResize) onResize();
    }
    void moveEvent(QMoveEvent* event) override {
        QDockWidget::moveEvent(event);
        if (onPlaced) onPlaced();
    }

private:
    bool titlePressed_ = false;
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

// Reports the window's size changes, each time it has laid itself out (its
// layout sees these events before the filter), and a divider dragged: the
// window itself, under its panes and bars, shows only the dividers. A press on
// a pane or a bar that they leave unused comes to the window too.
class WindowWatch : public QObject {
public:
    WindowWatch(QObject* parent, std::function<void()> onResize, std::function<void()> onLaidOut,
                std::function<void()> onDrag)
        : QObject(parent),
          onResize_(std::move(onResize)),
          onLaidOut_(std::move(onLaidOut)),
          onDrag_(std::move(onDrag)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::Resize) onResize_();
        if (type == QEvent::Resize || type == QEvent::Show || type == QEvent::LayoutRequest)
            onLaidOut_();
        if (type == QEvent::MouseButtonPress)
            onDivider_ = !static_cast<QWidget*>(watched)->childAt(
                static_cast<QMouseEvent*>(event)->position().toPoint());
        if (type == QEvent::MouseMove && onDivider_ &&
            static_cast<QMouseEvent*>(event)->buttons() != Qt::NoButton)
            onDrag_();
        return false;
    }

private:
    std::function<void()> onResize_;
    std::function<void()> onLaidOut_;
    std::function<void()> onDrag_;
    bool onDivider_ = false;  // the last press
};

}  // namespace

struct DockingPanes::ToolBarPlace {
    QToolBar* bar;
    Qt::ToolBarArea area;
    bool hidden;
};

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
    window_.installEventFilter(new WindowWatch(
        life_.get(), [this] { WindowResized(); }, [this] { ReachEdges(); },
        [this] { pendingState_.clear(); }));
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
        dock->onPlaced = nullptr;
        dock->onTitleDrag = nullptr;
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
    dock->onPlaced = [this, dock] { ReachEdge(*dock); };
    dock->onTitleDrag = [this] { pendingState_.clear(); };
    // The window moves the tabs behind the front one of a group out of sight and
    // the front one into it, and tells of each crossing as a change of visibility.
    const auto followSides = [this] {
        ShowMiddleBetweenRows();
        NoteMoves();
        KeepKeysInFront();
    };
    QObject::connect(dock, &QDockWidget::dockLocationChanged, life_.get(), followSides);
    QObject::connect(dock, &QDockWidget::topLevelChanged, life_.get(), followSides);
    QObject::connect(dock, &QDockWidget::topLevelChanged, life_.get(), [this, dock](bool floating) {
        if (floating || restoring_ || fitting_) return;
        dropped_ = dock;
        PaneResized();
    });
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
    std::string sizes = std::to_string(window_.width()) + ":" + std::to_string(window_.height());
    // A window given less than its panes' minimum (a window manager may do so)
    // squeezes them or lays them past its edges, in a room too small for them:
    // such a text leaves the room out and is laid out in a window of its size.
    const QSize holds = room.expandedTo(window_.minimumSizeHint());
    if (window_.size().expandedTo(holds) == window_.size())
        sizes += ":" + std::to_string(room.width()) + ":" + std::to_string(room.height());
    return kSizedLayoutTag + sizes + ":" + std::to_string(state.size()) + ":" +
           std::to_string(qChecksum(state)) + ":" + state.toBase64().toStdString();
}

namespace {
// A layout text read: the window's state, and the sizes of the window and of
// the panes' room (QSize() where the text has none).
struct LayoutText {
    QByteArray state;
    QSize window, room;
};

// Two whole numbers; nothing when either does not read.
std::optional<QSize> ReadSize(const QByteArray& width, const QByteArray& height) {
    bool widthOk = false, heightOk = false;
    const QSize size(width.toInt(&widthOk), height.toInt(&heightOk));
    if (!widthOk || !heightOk || size.width() < 0 || size.height() < 0) return std::nullopt;
    return size;
}

// What a window can have written: a window no screen outgrows, and a room
// inside it, or 0 x 0 when no pane was docked or the window was not shown.
bool SizesAWindowCanHave(QSize window, QSize room) {
    const bool windowOk = !window.isEmpty() && window.width() <= kLargestWindowSide &&
                          window.height() <= kLargestWindowSide;
    const bool roomOk =
        room.isEmpty() ? room == QSize(0, 0) || room == QSize() : window.expandedTo(room) == window;
    return windowOk && roomOk;
}

// The fields after "DP2:": the window's and the room's sizes, which it removes.
bool ReadSizes(QList<QByteArray>& fields, LayoutText& read) {
    if (fields.size() != 5 && fields.size() != 7) return false;
    const std::optional<QSize> window = ReadSize(fields[0], fields[1]);
    const std::optional<QSize> room = fields.size() == 7 ? ReadSize(fields[2], fields[3]) : QSize();
    if (!window || !room || !SizesAWindowCanHave(*window, *room)) return false;
    read.window = *window;
    read.room = *room;
    fields.remove(0, fields.size() - 3);
    return true;
}

// The state's size, checksum and text.
bool ReadState(const QList<QByteArray>& fields, LayoutText& read) {
    if (fields.size() != 3) return false;
    bool sizeOk = false, sumOk = false;
    const qsizetype size = fields[0].toLongLong(&sizeOk);
    const quint16 sum = fields[1].toUShort(&sumOk);
    const auto decoded =
        QByteArray::fromBase64Encoding(fields[2], QByteArray::AbortOnBase64DecodingErrors);
    // The window itself would crash on some damaged states that its checks pass.
    if (!sizeOk || !sumOk || !decoded || decoded.decoded.isEmpty() ||
        decoded.decoded.size() != size || qChecksum(decoded.decoded) != sum)
        return false;
    std::optional<QByteArray> state = ToolBarsOnScreens(decoded.decoded);
    if (!state) return false;
    read.state = std::move(*state);
    return true;
}

std::optional<LayoutText> ReadLayout(const std::string& text) {
    const std::string plain = kLayoutTag, sized = kSizedLayoutTag;
    const bool hasSize = text.compare(0, sized.size(), sized) == 0;
    if (!hasSize && text.compare(0, plain.size(), plain) != 0) return std::nullopt;
    QList<QByteArray> fields = QByteArray::fromStdString(text.substr(plain.size())).split(':');
    LayoutText read;
    if ((hasSize && !ReadSizes(fields, read)) || !ReadState(fields, read)) return std::nullopt;
    return read;
}
}  // namespace

bool DockingPanes::LoadLayout(const std::string& text) {
    const std::optional<LayoutText> read = ReadLayout(text);
    if (!read || !RestoreAt(read->state, read->window, read->room)) return false;
    pendingState_.clear();
    if (read->window.isValid() && window_.size() != read->window) {
        pendingState_ = read->state;
        pendingSize_ = read->window;
        pendingRoom_ = read->room;
        // What the program does before the loop turns again (its panes shown
        // at its start, say) is its own settling, not the dealer's move.
        settlingLoad_ = true;
        QTimer::singleShot(0, life_.get(), [this] {
            settlingLoad_ = false;
            placed_ = Placements();
        });
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
    const bool inRoom = !roomSize.isEmpty() && !room.isEmpty();
    QSize saved = present.size();
    if (inRoom)
        saved += roomSize - room;
    else if (!windowSize.isEmpty())
        saved += windowSize - window_.size();
    const bool outer = std::exchange(fitting_, true);
    const bool restored = RestoreWhole(state, QRect(present.topLeft(), saved), inRoom, present);
    layout.setGeometry(present);
    fitting_ = outer;
    if (restored) FitShares();
    return restored;
}

// A room too small for the panes the state docks was never theirs: such a text
// is damaged, and the arrangement it met is put back.
bool DockingPanes::RestoreWhole(const QByteArray& state, const QRect& inner, bool inRoom,
                                const QRect& present) {
    const QByteArray before = window_.saveState(kStateVersion);
    const std::vector<Share> held = shares_;
    const QSize heldRoom = sharesRoom_;
    if (!Restore(state, inner)) return false;
    QLayout& layout = *window_.layout();
    layout.invalidate();  // its minimum is that of the panes it holds now
    if (!inRoom || inner.size().expandedTo(layout.minimumSize()) == inner.size()) return true;
    Restore(before, present);
    shares_ = held;
    sharesRoom_ = heldRoom;
    return false;
}

// A layout loaded while the window had another size is laid out exactly again
// when the window first reaches the size it was saved at, unless the dealer
// moved a pane before.
void DockingPanes::WindowResized() {
    if (pendingState_.isEmpty() || window_.size() != pendingSize_) return;
    // After the window has laid itself out at that size.
    QTimer::singleShot(0, life_.get(), [this, state = std::exchange(pendingState_, {})] {
        if (window_.size() != pendingSize_) return;
        LayingOutWaiting(true);
        RestoreAt(state, pendingSize_, pendingRoom_);
        LayingOutWaiting(false);
    });
}

// Where each pane stands: closed, floating, its side and the others of its tab
// group; not its size, which follows the window.
std::vector<DockingPanes::Placement> DockingPanes::Placements() const {
    std::vector<Placement> placements;
    for (const auto& pane : panes_) {
        QDockWidget* dock = pane->dock_;
        QList<QDockWidget*> tabs = window_.tabifiedDockWidgets(dock);
        std::sort(tabs.begin(), tabs.end());
        placements.push_back(
            {dock->isHidden(), dock->isFloating(), window_.dockWidgetArea(dock), tabs});
    }
    return placements;
}

// A pane closed, shown, floated, docked or tabbed by the dealer: laid out again,
// the layout waiting for its window size would undo it.
void DockingPanes::NoteMoves() {
    if (pendingState_.isEmpty() || settlingLoad_ || restoring_ || fitting_) return;
    if (Placements() != placed_) pendingState_.clear();
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
    const QSize bars = inner.size() - PanesEdges(inner).size();
    restoring_ = true;
    const bool restored = RestoreState(state);
    // The state's own toolbars show meanwhile: laid out again so that they leave
    // the panes the room the bars of now will leave them.
    const QSize stateBars = inner.size() - PanesEdges(inner).size();
    if (restored && window_.isVisible() && stateBars != bars) {
        window_.layout()->setGeometry(QRect(inner.topLeft(), inner.size() + stateBars - bars));
        RestoreState(state);
    }
    restoring_ = false;
    if (!restored) {
        ShowMiddleBetweenRows();
        return false;
    }
    TakeShares();
    PutBack(toolBars);
    DockPanesOffScreen();
    HideEmptyTabBars();
    ShowMiddleBetweenRows();
    return true;
}

// The state as saved with the middle, else as saved before there was one.
bool DockingPanes::RestoreState(const QByteArray& state) {
    if (window_.restoreState(state, kStateVersion)) return true;
    if (middle_) middle_->hide();
    return window_.restoreState(state, kStateVersionBeforeMiddle);
}

void DockingPanes::PutBack(const std::vector<ToolBarPlace>& toolBars) {
    for (const ToolBarPlace& place : toolBars) {
        const bool moved = window_.toolBarArea(place.bar) != place.area;
        if (moved && place.area == Qt::NoToolBarArea)
            window_.removeToolBar(place.bar);  // a bar taken out of the window stays out
        else if (moved)
            window_.addToolBar(place.area, place.bar);
        place.bar->setHidden(place.hidden);
    }
}

// A floating pane off every screen docks, where the operator sees it.
void DockingPanes::DockPanesOffScreen() {
    for (const auto& pane : panes_) {
        QDockWidget* dock = pane->dock_;
        if (!dock->isFloating()) continue;
        bool onScreen = false;
        for (QScreen* screen : QGuiApplication::screens())
            onScreen = onScreen || screen->availableGeometry().intersects(dock->geometry());
        if (!onScreen) dock->setFloating(false);
    }
}

// The middle stands between the side panes and the panes above or below them,
// so that the dividers between those move both ways. Elsewhere it would leave a
// blank band between the top and bottom panes, or a strip beside a side's panes.
void DockingPanes::ShowMiddleBetweenRows() {
    if (restoring_ || !middle_) return;
    const DockedSides docked = Docked();
    const bool shown = (docked.left || docked.right) && docked.rows;
    if (middle_->isHidden() == shown) middle_->setVisible(shown);
}

// The sides that hold open docked panes, in front of their tab groups or not.
DockingPanes::DockedSides DockingPanes::Docked() const {
    DockedSides docked;
    for (const auto& pane : panes_) {
        QDockWidget* dock = pane->dock_;
        if (dock->isHidden() || dock->isFloating()) continue;
        const Qt::DockWidgetArea area = window_.dockWidgetArea(dock);
        docked.left = docked.left || area == Qt::LeftDockWidgetArea;
        docked.right = docked.right || area == Qt::RightDockWidgetArea;
        docked.rows =
            docked.rows || area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
    }
    return docked;
}

void DockingPanes::SharePanes(const std::vector<PaneShare>& shares) {
    window_.layout()->activate();
    shares_.clear();
    away_.clear();
    for (const PaneShare& share : shares)
        shares_.push_back({share.pane->dock_, share.width, share.height, QSize()});
    FitShares();
}

// ---- A side alone beside the middle ----

// With the middle shown, the window sets a divider between each side's panes
// and it. Where no pane stands across the middle, that divider would be a
// strip at the window's edge that moves nothing: the side's panes (and the tab
// bars of their groups) reach over it instead, each time the window places them.
void DockingPanes::ReachEdge(QDockWidget& dock) {
    if (reaching_ || dock.isHidden() || dock.isFloating()) return;
    const Qt::DockWidgetArea side = LoneSide();
    if (side == Qt::NoDockWidgetArea || window_.dockWidgetArea(&dock) != side) return;
    const QRect placed = dock.geometry();
    const QRect reached = OverTheStrip(placed, side);
    if (reached == placed) return;
    reaching_ = true;
    if (QTabBar* bar = TabBarBelow(placed)) bar->setGeometry(OverTheStrip(bar->geometry(), side));
    dock.setGeometry(reached);
    reaching_ = false;
}

void DockingPanes::ReachEdges() {
    if (LoneSide() == Qt::NoDockWidgetArea) return;
    for (QDockWidget* dock : DocksInSight()) ReachEdge(*dock);
}

// The side whose panes stand beside the middle with none across it.
Qt::DockWidgetArea DockingPanes::LoneSide() const {
    if (!middle_ || middle_->isHidden()) return Qt::NoDockWidgetArea;
    const DockedSides docked = Docked();
    if (docked.left == docked.right) return Qt::NoDockWidgetArea;
    return docked.left ? Qt::LeftDockWidgetArea : Qt::RightDockWidgetArea;
}

// The rectangle stretched to the panes' edge of the window when it stops a
// divider short of it.
QRect DockingPanes::OverTheStrip(QRect rect, Qt::DockWidgetArea side) const {
    const int divider =
        window_.style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, &window_);
    const QRect edges = PanesEdges(window_.layout()->geometry());
    if (side == Qt::LeftDockWidgetArea && rect.right() + divider == edges.right())
        rect.setRight(edges.right());
    if (side == Qt::RightDockWidgetArea && rect.left() - divider == edges.left())
        rect.setLeft(edges.left());
    return rect;
}

// The panes' part of `edges`, the window's rectangle below its menu: less its
// toolbars and status bar, placed before the panes each time the window lays
// itself out.
QRect DockingPanes::PanesEdges(QRect edges) const {
    for (QToolBar* bar : window_.findChildren<QToolBar*>(Qt::FindDirectChildrenOnly)) {
        if (bar->isHidden() || bar->isFloating()) continue;
        const QRect placed = bar->geometry();
        switch (window_.toolBarArea(bar)) {
            case Qt::LeftToolBarArea:
                edges.setLeft(std::max(edges.left(), placed.right() + 1));
                break;
            case Qt::RightToolBarArea:
                edges.setRight(std::min(edges.right(), placed.left() - 1));
                break;
            case Qt::TopToolBarArea:
                edges.setTop(std::max(edges.top(), placed.bottom() + 1));
                break;
            case Qt::BottomToolBarArea:
                edges.setBottom(std::min(edges.bottom(), placed.top() - 1));
                break;
            default:
                break;
        }
    }
    const auto* status = window_.findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
    if (status && !status->isHidden()) edges.setBottom(std::min(edges.bottom(), status->y() - 1));
    return edges;
}

// The tab bar the window shows right below a pane of a tab group.
QTabBar* DockingPanes::TabBarBelow(const QRect& pane) const {
    for (QTabBar* bar : window_.findChildren<QTabBar*>(Qt::FindDirectChildrenOnly))
        if (!bar->isHidden() && bar->x() == pane.x() && bar->y() == pane.bottom() + 1 &&
            bar->width() == pane.width())
            return bar;
    return nullptr;
}

// ---- Shares of the room ----

namespace {
// Not moved out of sight: the window moves the tabs behind the front one of a
// group to negative coordinates.
bool InSight(const QDockWidget& dock) {
    return QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX).intersects(dock.geometry());
}
}  // namespace

// Docked, shown and in front of its tab group.
std::vector<QDockWidget*> DockingPanes::DocksInSight() const {
    std::vector<QDockWidget*> docks;
    for (const auto& pane : panes_) {
        QDockWidget* dock = pane->dock_;
        if (!dock->isHidden() && !dock->isFloating() && InSight(*dock)) docks.push_back(dock);
    }
    return docks;
}

// The pane with the tab bar of its group, which the window shows right below it
// and counts in the group's size.
QRect DockingPanes::GroupRect(QDockWidget* dock) const {
    const QRect rect = dock->geometry();
    if (window_.tabifiedDockWidgets(dock).isEmpty()) return rect;
    const QTabBar* bar = TabBarBelow(rect);
    return bar ? rect | bar->geometry() : rect;
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
        MakeRoomForDropped();
    });
}

// Panes resized in a room of the same size were moved by the user, or shown,
// closed or docked elsewhere: the shares of the sizes that changed follow. A
// room of another size (the window resized, a bar shown or hidden) gets the
// shares it had. A group shown again takes back the share it had.
void DockingPanes::Settled() {
    NoteMoves();
    if (GiveBackShares()) return;
    if (Room().size() == sharesRoom_)
        KeepShares(true);
    else
        FitShares();
}

// The share held in `shares` for the dock's tab group, whichever tab is in front.
const DockingPanes::Share* DockingPanes::GroupShare(const std::vector<Share>& shares,
                                                    QDockWidget* dock) const {
    const QList<QDockWidget*> tabs = window_.tabifiedDockWidgets(dock);
    for (const Share& share : shares)
        if (share.dock == dock || tabs.contains(share.dock)) return &share;
    return nullptr;
}

const DockingPanes::Share* DockingPanes::HeldShare(QDockWidget* dock) const {
    return GroupShare(shares_, dock);
}

void DockingPanes::TakeShares() {
    shares_.clear();
    away_.clear();
    KeepShares(false);
}

// A group closed whole and shown again comes back at the share it had, and the
// groups that took its room and have not moved since give it back: the panes
// stand as before the close, in the room as it is now.
bool DockingPanes::GiveBackShares() {
    bool given = false;
    for (QDockWidget* dock : DocksInSight()) {
        if (HeldShare(dock)) continue;
        const auto away = std::find_if(away_.begin(), away_.end(), [&](const Away& group) {
            return GroupShare({group.share}, dock) != nullptr;
        });
        if (away == away_.end()) continue;
        for (Share& share : shares_) {
            const Share* before = GroupShare(away->before, share.dock);
            const Share* after = GroupShare(away->after, share.dock);
            if (!before || !after) continue;
            if (after->width == share.width) share.width = before->width;
            if (after->height == share.height) share.height = before->height;
        }
        shares_.push_back(away->share);
        away_.erase(away);
        given = true;
    }
    if (given) FitShares();
    return given;
}

// Notes each docked group's size as laid out now. A group keeps the shares it
// holds, but for a size that changed since it was last laid out when
// `retakeMoved`; a group that holds none, or a size retaken, takes its part of
// the room as it stands.
void DockingPanes::KeepShares(bool retakeMoved) {
    // A window not shown yet has laid nothing out.
    const QRect room = window_.isVisible() ? Room() : QRect();
    sharesRoom_ = room.size();
    if (room.isEmpty()) return;
    std::vector<Share> kept;
    std::vector<const Share*> inSight;
    for (QDockWidget* dock : DocksInSight()) {
        const QSize group = GroupRect(dock).size();
        Share share{dock, double(group.width()) / room.width(),
                    double(group.height()) / room.height(), group};
        if (const Share* held = HeldShare(dock)) {
            if (!retakeMoved || held->laid.width() == group.width()) share.width = held->width;
            if (!retakeMoved || held->laid.height() == group.height()) share.height = held->height;
            inSight.push_back(held);
        }
        kept.push_back(share);
    }
    // A group closed whole keeps its share, and the shares the others had
    // before they took its room, until it is shown again.
    std::erase_if(away_, [](const Away& group) { return !group.share.dock->isHidden(); });
    for (const Share& share : shares_) {
        if (!share.dock->isHidden() ||
            std::find(inSight.begin(), inSight.end(), &share) != inSight.end())
            continue;
        std::erase_if(away_, [&](const Away& group) { return group.share.dock == share.dock; });
        away_.push_back({share, shares_, kept});
    }
    shares_ = std::move(kept);
}

// Lays the held shares out in the room as it is now. Rounding and the panes'
// minimum sizes leave the shares as they are, so that the panes come back to
// their places with the window's size.
void DockingPanes::FitShares() {
    if (!window_.isVisible()) {
        sharesRoom_ = QSize();  // laid out when it shows
        return;
    }
    const QRect room = Room();
    QList<QDockWidget*> docks;
    QList<int> widths, heights;
    for (QDockWidget* dock : DocksInSight()) {
        const Share* held = HeldShare(dock);
        if (!held) continue;
        docks.append(dock);
        widths.append(std::max(1, int(std::lround(held->width * room.width()))));
        heights.append(std::max(1, int(std::lround(held->height * room.height()))));
    }
    if (!docks.isEmpty()) ResizeDocksNow(docks, widths, heights);
    KeepShares(false);
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

// ---- Room for a pane docked by drag ----

namespace {
constexpr int kRowsInSight = 3;

// The height at which the pane shows its title, its list's header and three of
// its rows, with what stands above and below the list as it stands now; a pane
// without a list, its smallest height.
int ReadableHeight(QDockWidget& dock) {
    const int smallest = QWidgetItem(&dock).minimumSize().height();
    QAbstractItemView* list = nullptr;
    const auto area = [](const QWidget* view) { return view->width() * (view->height() + 1); };
    if (dock.widget())
        for (auto* view : dock.widget()->findChildren<QAbstractItemView*>())
            if (!qobject_cast<QHeaderView*>(view) && view->isVisibleTo(&dock) &&
                (!list || area(view) > area(list)))
                list = view;
    if (!list) return smallest;
    QHeaderView* header = nullptr;
    if (auto* tree = qobject_cast<QTreeView*>(list)) header = tree->header();
    if (auto* table = qobject_cast<QTableView*>(list)) header = table->horizontalHeader();
    const int headerHeight = header && !header->isHidden() ? header->sizeHint().height() : 0;
    // An empty list's rows are about as high as its header.
    int row = list->model() && list->model()->rowCount() > 0 ? list->sizeHintForRow(0) : -1;
    if (row <= 0) row = headerHeight > 0 ? headerHeight : list->fontMetrics().height() + 4;
    const QScrollBar* across = list->horizontalScrollBar();
    const int wanted = 2 * list->frameWidth() + headerHeight + kRowsInSight * row +
                       (across && across->isVisible() ? across->height() : 0);
    const int above = list->mapTo(&dock, QPoint(0, 0)).y();
    const int below = std::max(0, dock.height() - above - list->height());
    return std::max(smallest, above + wanted + below);
}

// A docked group as laid out: its rectangle (with its tab bar), the height it
// needs, the least the window gives it, and the height it gets.
struct Block {
    QRect rect;
    int need, least;
    bool dropped;
    int height;
};

int Top(const Block& b, bool rows) {
    return rows ? b.rect.top() : b.rect.left();
}
int Bottom(const Block& b, bool rows) {
    return rows ? b.rect.bottom() : b.rect.right();
}

// The blocks cut apart where no block crosses a line across the room: into
// rows (one above the other) or columns. One part where no line runs clear.
std::vector<std::vector<int>> Cut(const std::vector<Block>& blocks, std::vector<int> ids,
                                  bool rows) {
    std::sort(ids.begin(), ids.end(),
              [&](int a, int b) { return Top(blocks[a], rows) < Top(blocks[b], rows); });
    std::vector<std::vector<int>> parts;
    int reach = std::numeric_limits<int>::min();
    for (int id : ids) {
        if (Top(blocks[id], rows) > reach) parts.emplace_back();
        parts.back().push_back(id);
        reach = std::max(reach, Bottom(blocks[id], rows));
    }
    return parts;
}

QRect Span(const std::vector<Block>& blocks, const std::vector<int>& ids) {
    QRect span;
    for (int id : ids) span |= blocks[id].rect;
    return span;
}

bool Holds(const std::vector<Block>& blocks, const std::vector<int>& ids) {
    return std::any_of(ids.begin(), ids.end(), [&](int id) { return blocks[id].dropped; });
}

// The height the blocks need (or the least they get), one above the other or
// side by side: the rows' and the dividers between them, or a column's most.
int Need(const std::vector<Block>& blocks, const std::vector<int>& ids, int Block::*need) {
    if (ids.size() == 1) return blocks[ids[0]].*need;
    const int span = Span(blocks, ids).height();
    const std::vector<std::vector<int>> rows = Cut(blocks, ids, true);
    if (rows.size() > 1) {
        int sum = span;
        for (const auto& row : rows) sum += Need(blocks, row, need) - Span(blocks, row).height();
        return sum;
    }
    const std::vector<std::vector<int>> columns = Cut(blocks, ids, false);
    if (columns.size() == 1) return span;  // no line runs clear: as it stands
    int most = 0;
    for (const auto& column : columns)
        most = std::max(most, Need(blocks, column, need) + span - Span(blocks, column).height());
    return most;
}

// Rows of `heights` adding up to `room`: each its need where the room holds
// them all, what they lack taken from the others in proportion to what they
// have beyond theirs; else shares of the room as their needs, each at least
// the least the window gives it.
std::vector<int> ShareRows(const std::vector<int>& heights, const std::vector<int>& needs,
                           const std::vector<int>& least, int room) {
    const double total = std::accumulate(heights.begin(), heights.end(), 0.0);
    const double needed = std::accumulate(needs.begin(), needs.end(), 0.0);
    std::vector<double> shares(heights.size());
    if (needed > room) {
        std::vector<bool> held(shares.size(), false);
        for (bool again = true; again;) {
            again = false;
            double left = room, asked = 0;
            for (size_t i = 0; i < shares.size(); ++i)
                held[i] ? left -= least[i] : asked += needs[i];
            for (size_t i = 0; i < shares.size(); ++i) {
                if (held[i]) continue;
                shares[i] = asked > 0 ? left * needs[i] / asked : 0;
                if (shares[i] < least[i]) {
                    shares[i] = least[i];
                    held[i] = again = true;
                }
            }
        }
    } else {
        double lack = 0, spare = 0;
        for (size_t i = 0; i < shares.size(); ++i) {
            shares[i] = total > 0 ? heights[i] * room / total : double(room) / shares.size();
            lack += std::max(0.0, needs[i] - shares[i]);
            spare += std::max(0.0, shares[i] - needs[i]);
        }
        for (size_t i = 0; i < shares.size(); ++i)
            shares[i] = shares[i] < needs[i]
                            ? needs[i]
                            : shares[i] - (spare > 0 ? lack * (shares[i] - needs[i]) / spare : 0);
    }
    // Whole pixels, the rounding's remainder to the highest row.
    std::vector<int> rows(shares.size());
    int sum = 0;
    for (size_t i = 0; i < rows.size(); ++i) sum += rows[i] = int(std::lround(shares[i]));
    *std::max_element(rows.begin(), rows.end()) += room - sum;
    return rows;
}

// Gives the blocks `height`: rows that the dropped pane stands in, or whose
// height changes, are shared again; the others keep theirs.
void Lay(std::vector<Block>& blocks, const std::vector<int>& ids, int height) {
    const int span = Span(blocks, ids).height();
    if (ids.size() == 1) {
        blocks[ids[0]].height = height;
        return;
    }
    std::vector<std::vector<int>> rows = Cut(blocks, ids, true);
    if (rows.size() > 1) {
        std::vector<int> heights, needs, least;
        int dividers = span;
        for (const auto& row : rows) {
            heights.push_back(Span(blocks, row).height());
            needs.push_back(Need(blocks, row, &Block::need));
            least.push_back(Need(blocks, row, &Block::least));
            dividers -= heights.back();
        }
        const std::vector<int> laid = height == span && !Holds(blocks, ids)
                                          ? heights
                                          : ShareRows(heights, needs, least, height - dividers);
        for (size_t i = 0; i < rows.size(); ++i) Lay(blocks, rows[i], laid[i]);
        return;
    }
    const std::vector<std::vector<int>> columns = Cut(blocks, ids, false);
    if (columns.size() == 1) {
        for (int id : ids) blocks[id].height = blocks[id].rect.height();
        return;
    }
    for (const auto& column : columns)
        Lay(blocks, column, height - span + Span(blocks, column).height());
}
}  // namespace

// The window gives a dropped pane the gap it opened while the pane hovered,
// sized as the floating pane was within what the panes' minimums leave: from
// no more than its title to so much that its new neighbours keep only theirs.
// The rows of the room that the pane stands in are shared again.
void DockingPanes::MakeRoomForDropped() {
    QDockWidget* dropped = std::exchange(dropped_, nullptr);
    if (!dropped || dropped->isHidden() || dropped->isFloating() || !window_.isVisible()) return;
    // The gap's place still lacks its dividers until the window lays out again.
    window_.layout()->invalidate();
    window_.layout()->activate();
    KeepShares(true);
    const QRect room = Room();
    std::vector<QDockWidget*> docks = DocksInSight();
    std::vector<Block> blocks;
    std::vector<int> ids;
    bool found = false;
    for (QDockWidget* dock : docks) {
        const QRect group = GroupRect(dock);
        // A tab group, with its tab bar, holds the tabs behind at their smallest
        // (their places are the window's own until they come to the front).
        const QList<QDockWidget*> tabs = window_.tabifiedDockWidgets(dock);
        int least = QWidgetItem(dock).minimumSize().height();
        for (QDockWidget* tab : tabs)
            if (!tab->isHidden()) least = std::max(least, QWidgetItem(tab).minimumSize().height());
        const int need = std::max(least, ReadableHeight(*dock));
        const int tabBar = group.height() - dock->height();
        const bool isDropped = dock == dropped || tabs.contains(dropped);
        found = found || isDropped;
        blocks.push_back({group, need + tabBar, least + tabBar, isDropped, group.height()});
        ids.push_back(int(ids.size()));
    }
    if (!found || room.isEmpty()) return;
    Lay(blocks, ids, room.height());
    bool moved = false;
    for (size_t i = 0; i < docks.size(); ++i) {
        moved = moved || blocks[i].height != blocks[i].rect.height();
        const QList<QDockWidget*> tabs = window_.tabifiedDockWidgets(docks[i]);
        for (Share& share : shares_)
            if (share.dock == docks[i] || tabs.contains(share.dock))
                share.height = double(blocks[i].height) / room.height();
    }
    if (moved) FitShares();
}

// ---- Panes behind a tab ----

namespace {
// Where the focus goes in a pane that comes to the front: where it was when the
// pane went behind, else the pane's first control in the Tab chain, else the
// pane itself, as a stacked page takes it.
QWidget* FocusTarget(QWidget& pane) {
    const auto takes = [&](QWidget* w) { return w->isEnabled() && w->isVisibleTo(&pane); };
    if (QWidget* last = pane.focusWidget(); last && pane.isAncestorOf(last) && takes(last))
        return last;
    for (QWidget* w = pane.nextInFocusChain(); w && w != &pane; w = w->nextInFocusChain())
        if (pane.isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && takes(w)) return w;
    return &pane;
}
}  // namespace

// Followed as each pane comes into or goes out of sight, so that no key reaches
// a pane the moment it went behind. What the focus moves run (a pane's own focus
// handlers) may move panes again: those moves are followed, once, when this pass
// ends.
void DockingPanes::KeepKeysInFront() {
    if (followingFronts_) {
        if (!frontsQueued_) {
            frontsQueued_ = true;
            QTimer::singleShot(0, life_.get(), [this] {
                frontsQueued_ = false;
                KeepKeysInFront();
            });
        }
        return;
    }
    followingFronts_ = true;
    FollowFronts();
    followingFronts_ = false;
}

// A pane disabled while behind keeps the enabling its own controls were given,
// and no window state holds it: the layouts stay as they are.
void DockingPanes::FollowFronts() {
    for (const auto& pane : panes_) {
        QDockWidget* dock = pane->dock_;
        const bool behind = Behind(*dock);
        const auto held = std::find(behind_.begin(), behind_.end(), dock);
        if (behind == (held != behind_.end())) continue;
        if (!behind) {
            behind_.erase(held);
            dock->setEnabled(true);
            continue;
        }
        // Disabled with the focus, it would hand it to whatever follows it in
        // the Tab chain: the window holds it until the front pane is known.
        QWidget* window = dock->window();
        if (QWidget* focus = window->focusWidget(); focus && dock->isAncestorOf(focus)) {
            focusLeft_ = dock;
            window->setFocus(Qt::OtherFocusReason);
        }
        behind_.push_back(dock);
        dock->setEnabled(false);
    }
    if (!focusLeft_) return;
    QWidget* window = focusLeft_->window();
    if (window->focusWidget() != window) {
        focusLeft_ = nullptr;  // the focus went elsewhere meanwhile
        return;
    }
    QDockWidget* front = FrontOf(*focusLeft_);
    if (!front) return;  // laid out next
    focusLeft_ = nullptr;
    // Out of the active window (a dialog, a message box over the desk) this only
    // sets where the focus goes when the window is active again.
    FocusTarget(*front)->setFocus(Qt::OtherFocusReason);
}

// Open, docked in a tab group and out of sight.
bool DockingPanes::Behind(QDockWidget& dock) const {
    return !dock.isHidden() && !dock.isFloating() && !InSight(dock) &&
           !window_.tabifiedDockWidgets(&dock).isEmpty();
}

// The open pane in sight in the tab group of `dock`; nullptr while none is.
QDockWidget* DockingPanes::FrontOf(QDockWidget& dock) const {
    for (QDockWidget* tab : window_.tabifiedDockWidgets(&dock))
        if (!tab->isHidden() && !Behind(*tab)) return tab;
    return nullptr;
}

}  // namespace platform::widgets
