#include "platform/widgets/CommandBars.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace platform::widgets {

namespace {
constexpr int32_t kStretch = 134217728;
constexpr int32_t kNoBorders = 256;
constexpr const char* kLayoutTag = "CB1";

QString Q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

Qt::ToolBarArea AreaOf(int32_t position) {
    switch (position) {
        case 1:
            return Qt::BottomToolBarArea;
        case 2:
            return Qt::LeftToolBarArea;
        case 3:
            return Qt::RightToolBarArea;
        default:
            return Qt::TopToolBarArea;
    }
}

int32_t PositionOf(Qt::ToolBarArea area) {
    switch (area) {
        case Qt::BottomToolBarArea:
            return 1;
        case Qt::LeftToolBarArea:
            return 2;
        case Qt::RightToolBarArea:
            return 3;
        default:
            return 0;
    }
}

int KeyOf(int32_t code) {
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) return code;
    if (code >= 112 && code <= 135) return Qt::Key_F1 + (code - 112);
    switch (code) {
        case 8:
            return Qt::Key_Backspace;
        case 9:
            return Qt::Key_Tab;
        case 13:
            return Qt::Key_Return;
        case 27:
            return Qt::Key_Escape;
        case 32:
            return Qt::Key_Space;
        case 45:
            return Qt::Key_Insert;
        case 46:
            return Qt::Key_Delete;
        default:
            return 0;
    }
}

// Clicks on status-bar panes.
class PaneClicks : public QObject {
public:
    explicit PaneClicks(CommandBars& bars) : bars_(bars) {}
    std::map<QObject*, StatusBarPane*> panes;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto it = panes.find(watched);
        if (it != panes.end()) {
            if (event->type() == QEvent::MouseButtonRelease) bars_.StatusPaneClick(*it->second);
            if (event->type() == QEvent::MouseButtonDblClick) bars_.StatusPaneDblClick(*it->second);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    CommandBars& bars_;
};
}  // namespace

// ---- CommandBarControl ----

CommandBarControl::CommandBarControl(CommandBars& owner, int32_t type, int32_t id)
    : owner_(owner), type_(type), id_(id), iconId_(id) {}

std::string CommandBarControl::Caption() const {
    return action_ ? action_->text().toStdString() : std::string();
}

void CommandBarControl::setCaption(const std::string& caption) {
    if (action_) action_->setText(Q(caption));
}

void CommandBarControl::setDescription(const std::string& text) {
    description_ = text;
    if (action_) action_->setStatusTip(Q(text));
}

void CommandBarControl::setBeginGroup(bool on) {
    beginGroup_ = on;
    if (separator_) separator_->setVisible(on);
}

bool CommandBarControl::Enabled() const {
    const WindowAction* a = owner_.FindAction(id_);
    return a ? a->enabled && enabled_ : enabled_;
}

void CommandBarControl::setEnabled(bool on) {
    enabled_ = on;
    ShowState();
}

bool CommandBarControl::Checked() const {
    const WindowAction* a = owner_.FindAction(id_);
    return a ? a->checked : checked_;
}

void CommandBarControl::setChecked(bool on) {
    if (WindowAction* a = owner_.FindAction(id_)) {
        a->checked = on;
        owner_.UpdateAction(id_);
        return;
    }
    checked_ = on;
    ShowState();
}

void CommandBarControl::setIconId(int32_t id) {
    iconId_ = id;
    if (action_) action_->setIcon(owner_.IconOf(iconId_));
}

void CommandBarControl::setIconSize(int32_t size) {
    iconSize_ = size;
    if (button_ && size > 0) button_->setIconSize(QSize(size, size));
}

void CommandBarControl::setTabStop(bool on) {
    if (button_) button_->setFocusPolicy(on ? Qt::TabFocus : Qt::NoFocus);
}

void CommandBarControl::ShowState() {
    if (!action_) return;
    const bool checked = Checked();
    const QSignalBlocker block(action_);
    if (checked) action_->setCheckable(true);
    action_->setChecked(checked);
    action_->setEnabled(Enabled());
}

// ---- CommandBar ----

CommandBar::CommandBar(CommandBars& owner, Kind kind, std::string title, QWidget* widget)
    : owner_(owner), kind_(kind), title_(std::move(title)), widget_(widget) {}

CommandBar::~CommandBar() = default;

bool CommandBar::Visible() const {
    return !widget_->isHidden();
}

void CommandBar::setVisible(bool on) {
    if (kind_ != Kind::Popup) widget_->setVisible(on);
}

int32_t CommandBar::Position() const {
    if (kind_ != Kind::ToolBar) return 0;
    return PositionOf(owner_.window_.toolBarArea(static_cast<QToolBar*>(widget_)));
}

BarRect CommandBar::WindowRect() const {
    const QRect r(widget_->mapTo(&owner_.window_, QPoint(0, 0)), widget_->size());
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

CommandBarControl& CommandBar::AddControl(int32_t type, int32_t id, const std::string& caption) {
    auto control = std::unique_ptr<CommandBarControl>(new CommandBarControl(owner_, type, id));
    CommandBarControl* c = control.get();
    c->separator_ = new QAction(widget_);
    c->separator_->setSeparator(true);
    c->separator_->setVisible(false);
    widget_->addAction(c->separator_);
    if (type == CommandBarControl::Popup || type == CommandBarControl::SplitButtonPopup) {
        auto* menu = new QMenu(Q(caption), widget_);
        c->dropDown_.reset(new CommandBar(owner_, Kind::Popup, caption, menu));
        if (type == CommandBarControl::Popup) {
            c->action_ = menu->menuAction();
        } else {
            c->action_ = new QAction(Q(caption), widget_);
            c->action_->setMenu(menu);
        }
    } else {
        c->action_ = new QAction(Q(caption), widget_);
    }
    widget_->addAction(c->action_);
    c->action_->setIcon(owner_.IconOf(c->iconId_));
    if (kind_ == Kind::Ribbon || kind_ == Kind::RibbonGroup) AddButton(*c);
    if (type != CommandBarControl::Popup)
        QObject::connect(c->action_, &QAction::triggered, owner_.life_.get(),
                         [this, c] { owner_.Raise(*c); });
    c->ShowState();
    controls_.push_back(std::move(control));
    return *c;
}

void CommandBar::AddButton(CommandBarControl& control) {
    auto* button = new QToolButton(widget_);
    button->setDefaultAction(control.action_);
    button->setAutoRaise(true);
    if (control.type_ == CommandBarControl::SplitButtonPopup)
        button->setPopupMode(QToolButton::MenuButtonPopup);
    else if (control.type_ == CommandBarControl::Popup)
        button->setPopupMode(QToolButton::InstantPopup);
    if (kind_ == Kind::RibbonGroup) {
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        buttons_->addWidget(button);
    } else {
        // The ribbon's system button, left of the tabs.
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        buttons_->insertWidget(0, button);
    }
    control.button_ = button;
}

void CommandBar::ForEachControl(const std::function<void(CommandBarControl&)>& f) const {
    for (const auto& c : controls_) {
        f(*c);
        if (c->dropDown_) c->dropDown_->ForEachControl(f);
    }
    for (const auto& tab : tabs_)
        for (const auto& group : tab->groups_) group->ForEachControl(f);
}

RibbonTab& CommandBar::InsertTab(int32_t index, const std::string& caption) {
    if (kind_ != Kind::Ribbon) throw std::logic_error("tabs are the ribbon's");
    const int at = std::clamp<int>(index, 0, static_cast<int>(tabs_.size()));
    auto* page = new QWidget(pages_);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addStretch(1);
    pages_->insertWidget(at, page);
    tabBar_->insertTab(at, Q(caption));
    tabs_.insert(tabs_.begin() + at,
                 std::unique_ptr<RibbonTab>(new RibbonTab(*this, caption, page)));
    return *tabs_[static_cast<size_t>(at)];
}

void CommandBar::setSelectedTab(size_t index) {
    if (tabBar_ && index >= 1 && index <= tabs_.size())
        tabBar_->setCurrentIndex(static_cast<int>(index - 1));
}

// ---- RibbonTab ----

RibbonTab::RibbonTab(CommandBar& ribbon, std::string caption, QWidget* page)
    : ribbon_(ribbon), caption_(std::move(caption)), page_(page) {}

RibbonTab::~RibbonTab() = default;

CommandBar& RibbonTab::AddGroup(const std::string& caption, int32_t id) {
    auto* frame = new QFrame(page_);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(0);
    auto* buttons = new QWidget(frame);
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    column->addWidget(buttons);
    auto* label = new QLabel(Q(caption), frame);
    label->setAlignment(Qt::AlignCenter);
    column->addWidget(label);
    auto* pageLayout = static_cast<QHBoxLayout*>(page_->layout());
    pageLayout->insertWidget(pageLayout->count() - 1, frame);
    auto group = std::unique_ptr<CommandBar>(
        new CommandBar(ribbon_.owner_, CommandBar::Kind::RibbonGroup, caption, buttons));
    group->buttons_ = row;
    group->setBarId(id);
    groups_.push_back(std::move(group));
    return *groups_.back();
}

CommandBarControl* CommandBar::FindControl(int32_t id) const {
    CommandBarControl* found = nullptr;
    ForEachControl([&](CommandBarControl& c) {
        if (!found && c.Id() == id) found = &c;
    });
    return found;
}

void CommandBar::ShowPopup() {
    if (kind_ == Kind::Popup) static_cast<QMenu*>(widget_)->popup(QCursor::pos());
}

void CommandBar::Delete() {
    for (auto* list : {&owner_.bars_, &owner_.contextMenus_}) {
        for (auto it = list->begin(); it != list->end(); ++it) {
            if (it->get() != this) continue;
            std::unique_ptr<CommandBar> self = std::move(*it);
            list->erase(it);
            owner_.Retire(std::move(self));
            return;
        }
    }
}

// ---- StatusBarPane ----

std::string StatusBarPane::Text() const {
    return label_->text().toStdString();
}

void StatusBarPane::setText(const std::string& text) {
    // Every account's order says the same, hundreds of times in one click.
    const QString shown = Q(text);
    if (shown == label_->text()) return;
    label_->setText(shown);
    if (width_ > 0) FitWidth();
}

void StatusBarPane::setWidth(int32_t width) {
    width_ = width;
    if (width > 0) {
        FitWidth();
    } else {
        label_->setMinimumWidth(0);
        label_->setMaximumWidth(QWIDGETSIZE_MAX);
    }
}

// The pane's width, widened where the font makes its text longer: a pane cuts no
// text (a server time in a wider font than the width was chosen for).
void StatusBarPane::FitWidth() {
    const QMargins m = label_->contentsMargins();
    const int text = label_->fontMetrics().horizontalAdvance(label_->text()) + m.left() +
                     m.right() + 2 * label_->frameWidth() + 2 * label_->margin() + 4;
    label_->setFixedWidth(std::max(width_, text));
}

void StatusBarPane::setStyle(int32_t style) {
    style_ = style;
    label_->setFrameShape(style & kNoBorders ? QFrame::NoFrame : QFrame::StyledPanel);
}

// ---- CommandBars ----

CommandBars::CommandBars(QMainWindow& window)
    : window_(window),
      menuContainer_(new QWidget(&window)),
      life_(std::make_unique<PaneClicks>(*this)) {
    // One menu widget for good: setting another would delete the first.
    auto* layout = new QVBoxLayout(menuContainer_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    window_.setMenuWidget(menuContainer_);
}

CommandBars::~CommandBars() = default;

CommandBar& CommandBars::AddToolBar(const std::string& name, int32_t position) {
    auto* toolBar = new QToolBar(Q(name), &window_);
    // Named so that the window's saved state can place it.
    toolBar->setObjectName(Q("Bar" + std::to_string(bars_.size() + 1) + ":" + name));
    window_.addToolBar(AreaOf(position), toolBar);
    bars_.push_back(std::unique_ptr<CommandBar>(
        new CommandBar(*this, CommandBar::Kind::ToolBar, name, toolBar)));
    return *bars_.back();
}

CommandBar& CommandBars::AddMenuBar(const std::string& name) {
    for (auto it = bars_.begin(); it != bars_.end();) {
        if ((*it)->BarKind() != CommandBar::Kind::MenuBar) {
            ++it;
            continue;
        }
        std::unique_ptr<CommandBar> old = std::move(*it);
        it = bars_.erase(it);
        Retire(std::move(old));
    }
    auto* menuBar = new QMenuBar(menuContainer_);
    menuBar->setVisible(menuBarVisible_);
    menuContainer_->layout()->addWidget(menuBar);
    bars_.push_back(std::unique_ptr<CommandBar>(
        new CommandBar(*this, CommandBar::Kind::MenuBar, name, menuBar)));
    return *bars_.back();
}

CommandBar& CommandBars::AddRibbonBar(const std::string& name) {
    auto* widget = new QWidget(menuContainer_);
    widget->setObjectName(Q(name));
    auto* column = new QVBoxLayout(widget);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* top = new QHBoxLayout;
    auto* tabBar = new QTabBar(widget);
    tabBar->setDrawBase(false);
    top->addWidget(tabBar);
    top->addStretch(1);
    column->addLayout(top);
    auto* pages = new QStackedWidget(widget);
    column->addWidget(pages);
    QObject::connect(tabBar, &QTabBar::currentChanged, pages, [tabBar, pages](int index) {
        // A key that switches pages from a button of the ribbon leaves the focus
        // where the next key can only switch pages again, never on a button the
        // page switch happens to pass it to.
        if (pages->isAncestorOf(QApplication::focusWidget()))
            tabBar->setFocus(Qt::OtherFocusReason);
        pages->setCurrentIndex(index);
    });
    menuContainer_->layout()->addWidget(widget);
    auto bar =
        std::unique_ptr<CommandBar>(new CommandBar(*this, CommandBar::Kind::Ribbon, name, widget));
    bar->buttons_ = top;
    bar->tabBar_ = tabBar;
    bar->pages_ = pages;
    bars_.push_back(std::move(bar));
    return *bars_.back();
}

bool CommandBars::RibbonShown() const {
    for (const auto& bar : bars_)
        if (bar->BarKind() == CommandBar::Kind::Ribbon && !bar->widget_->isHidden()) return true;
    return false;
}

CommandBar* CommandBars::ActiveMenuBar() const {
    for (auto it = bars_.rbegin(); it != bars_.rend(); ++it)
        if ((*it)->BarKind() == CommandBar::Kind::MenuBar) return it->get();
    return nullptr;
}

void CommandBars::setMenuBarVisible(bool on) {
    menuBarVisible_ = on;
    for (const auto& bar : bars_)
        if (bar->BarKind() == CommandBar::Kind::MenuBar) bar->widget_->setVisible(on);
}

void CommandBars::RecalcLayout() {
    if (window_.layout()) window_.layout()->activate();
}

void CommandBars::DockToolBar(CommandBar& bar, int left, int top, int, int) {
    if (bar.BarKind() != CommandBar::Kind::ToolBar) return;
    auto* toolBar = static_cast<QToolBar*>(bar.widget_);
    Qt::ToolBarArea area = Qt::TopToolBarArea;
    bool below = false;
    for (const auto& other : bars_) {
        if (other.get() == &bar || other->BarKind() != CommandBar::Kind::ToolBar) continue;
        const BarRect r = other->WindowRect();
        const bool beside = left >= r.right - 1 && top >= r.top && top < r.bottom;
        const bool under = top >= r.bottom - 1 && left >= r.left && left < r.right;
        if (!beside && !under) continue;
        area = window_.toolBarArea(static_cast<QToolBar*>(other->widget_));
        below = under && !beside;
        break;
    }
    window_.removeToolBar(toolBar);
    if (below) window_.addToolBarBreak(area);
    window_.addToolBar(area, toolBar);
    toolBar->setVisible(true);
}

CommandBar& CommandBars::AddContextMenu(int32_t id, const std::string& title) {
    auto* menu = new QMenu(Q(title), &window_);
    contextMenus_.push_back(
        std::unique_ptr<CommandBar>(new CommandBar(*this, CommandBar::Kind::Popup, title, menu)));
    contextMenus_.back()->setBarId(id);
    return *contextMenus_.back();
}

CommandBar* CommandBars::FindContextMenu(int32_t id) const {
    for (const auto& menu : contextMenus_)
        if (menu->BarId() == id) return menu.get();
    return nullptr;
}

void CommandBars::ForEachControl(const std::function<void(CommandBarControl&)>& f) const {
    for (const auto& bar : bars_) bar->ForEachControl(f);
    for (const auto& menu : contextMenus_) menu->ForEachControl(f);
}

CommandBarControl* CommandBars::FindControl(int32_t id) const {
    CommandBarControl* found = nullptr;
    ForEachControl([&](CommandBarControl& c) {
        if (!found && c.Id() == id) found = &c;
    });
    return found;
}

WindowAction& CommandBars::AddAction(int32_t id, const std::string& caption,
                                     const std::string& tooltip, const std::string& description,
                                     const std::string& category) {
    WindowAction& a = actions_[id];
    a = WindowAction{id, caption, tooltip, description, category};
    UpdateAction(id);
    return a;
}

WindowAction* CommandBars::FindAction(int32_t id) {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : &it->second;
}

void CommandBars::UpdateAction(int32_t id) {
    ForEachControl([id](CommandBarControl& c) {
        if (c.Id() == id) c.ShowState();
    });
}

void CommandBars::Raise(CommandBarControl& control) {
    // Qt has toggled a checkable entry already; the handler reads the state
    // from before the click and sets the new one itself.
    control.ShowState();
    Execute(control);
}

void CommandBars::Retire(std::unique_ptr<CommandBar> bar) {
    // The bar may be deleted from a handler of one of its own controls.
    bar->widget_->hide();
    if (bar->kind_ == CommandBar::Kind::ToolBar)
        window_.removeToolBar(static_cast<QToolBar*>(bar->widget_));
    bar->widget_->deleteLater();
    retired_.push_back(std::move(bar));
    QTimer::singleShot(0, life_.get(), [this] { retired_.clear(); });
}

void CommandBars::AddKeyBinding(int32_t flags, int32_t keyCode, int32_t id) {
    const int key = KeyOf(keyCode);
    if (key == 0) return;
    int modifiers = 0;
    if (flags & 4) modifiers |= Qt::SHIFT;
    if (flags & 8) modifiers |= Qt::CTRL;
    if (flags & 16) modifiers |= Qt::ALT;
    const int combination = modifiers | key;
    if (auto old = keys_.find(combination); old != keys_.end()) {
        // May run inside the old shortcut's own signal: silenced now, freed later.
        QObject::disconnect(old->second.shortcut, nullptr, nullptr, nullptr);
        old->second.shortcut->setEnabled(false);
        old->second.shortcut->deleteLater();
        keys_.erase(old);
    }
    auto* shortcut = new QShortcut(QKeySequence(combination), &window_);
    // A floating pane is a window of its own: the keys work there too.
    shortcut->setContext(Qt::ApplicationShortcut);
    KeyBinding& binding = keys_[combination];
    binding.shortcut = shortcut;
    binding.control.reset(new CommandBarControl(*this, 1, id));
    CommandBarControl* control = binding.control.get();
    QObject::connect(shortcut, &QShortcut::activated, life_.get(),
                     [this, control] { Execute(*control); });
}

QIcon CommandBars::IconOf(int32_t iconId) const {
    auto it = icons_.find(iconId);
    return it == icons_.end() ? QIcon() : it->second;
}

void CommandBars::ShowIcons(int32_t iconId) {
    ForEachControl([&](CommandBarControl& c) {
        if (c.IconId() == iconId && c.action_) c.action_->setIcon(IconOf(iconId));
    });
}

bool CommandBars::LoadIcon(const std::string& path, int32_t id) {
    QIcon icon(Q(path));
    if (icon.availableSizes().isEmpty()) return false;
    icons_[id] = icon;
    ShowIcons(id);
    return true;
}

bool CommandBars::LoadPicture(const std::string& path, int32_t id) {
    const QPixmap picture(Q(path));
    if (picture.isNull()) return false;
    QIcon merged;
    if (auto it = icons_.find(id); it != icons_.end())
        for (const QSize& size : it->second.availableSizes())
            if (size != picture.size()) merged.addPixmap(it->second.pixmap(size));
    merged.addPixmap(picture);
    icons_[id] = merged;
    ShowIcons(id);
    return true;
}

void CommandBars::setStatusBarVisible(bool on) {
    window_.statusBar()->setVisible(on);
}

StatusBarPane& CommandBars::AddStatusPane(int32_t id) {
    auto* label = new QLabel(window_.statusBar());
    label->setFrameShape(QFrame::StyledPanel);
    window_.statusBar()->addWidget(label);
    label->installEventFilter(life_.get());
    panes_.push_back(std::unique_ptr<StatusBarPane>(new StatusBarPane(id, label)));
    static_cast<PaneClicks*>(life_.get())->panes[label] = panes_.back().get();
    return *panes_.back();
}

StatusBarPane* CommandBars::StatusPane(int32_t id) const {
    for (const auto& pane : panes_)
        if (pane->Id() == id) return pane.get();
    return nullptr;
}

void CommandBars::setStatusPaneStyle(size_t index, int32_t style) {
    if (index >= panes_.size()) return;
    StatusBarPane& pane = *panes_[index];
    pane.setStyle(style);
    QStatusBar* bar = window_.statusBar();
    bar->removeWidget(pane.label_);
    bar->insertWidget(static_cast<int>(index), pane.label_, style & kStretch ? 1 : 0);
    pane.label_->show();
}

std::string CommandBars::SaveLayout() const {
    std::string text = kLayoutTag;
    for (const auto& bar : bars_) {
        if (bar->BarKind() != CommandBar::Kind::ToolBar) continue;
        text +=
            ";" + std::to_string(bar->Visible() ? 1 : 0) + "," + std::to_string(bar->Position());
    }
    return text;
}

bool CommandBars::LoadLayout(const std::string& text) {
    std::vector<std::pair<int, int>> places;
    std::istringstream in(text);
    std::string field;
    if (!std::getline(in, field, ';') || field != kLayoutTag || text.back() == ';') return false;
    while (std::getline(in, field, ';')) {
        if (field.size() != 3 || field[1] != ',' || (field[0] != '0' && field[0] != '1') ||
            field[2] < '0' || field[2] > '3')
            return false;
        places.emplace_back(field[0] - '0', field[2] - '0');
    }
    std::vector<CommandBar*> toolBars;
    for (const auto& bar : bars_)
        if (bar->BarKind() == CommandBar::Kind::ToolBar) toolBars.push_back(bar.get());
    if (places.size() != toolBars.size()) return false;
    for (size_t i = 0; i < toolBars.size(); ++i) {
        auto* toolBar = static_cast<QToolBar*>(toolBars[i]->widget_);
        if (toolBars[i]->Position() != places[i].second)
            window_.addToolBar(AreaOf(places[i].second), toolBar);
        toolBar->setVisible(places[i].first == 1 && !RibbonShown());
    }
    return true;
}

}  // namespace platform::widgets
