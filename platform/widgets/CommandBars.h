#pragma once
// Menu bars, toolbars, the ribbon, context menus, the status bar, window
// actions, key bindings and images of the shell, on QMainWindow. Every control
// carries a command id; using one raises Execute with that control. Context
// menus pop up without a nested loop; key bindings work in every window of the
// program, one binding per key. The menu bar and the ribbon share one menu
// widget, set once, and are switched by visibility.
#include <QIcon>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/Event.h"

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QShortcut;
class QTabBar;
class QStackedWidget;
class QToolButton;
class QBoxLayout;
class QWidget;

namespace platform::widgets {

class CommandBar;
class CommandBars;
class RibbonTab;

struct BarRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class CommandBarControl {
public:
    // 1 button, 2 popup, 4 split button with a drop-down; others act as buttons.
    enum Type : int32_t { Button = 1, Popup = 2, SplitButtonPopup = 4 };

    int32_t Type() const { return type_; }
    int32_t Id() const { return id_; }
    std::string Caption() const;
    void setCaption(const std::string& caption);
    const std::string& Description() const { return description_; }
    void setDescription(const std::string& text);
    bool BeginGroup() const { return beginGroup_; }
    void setBeginGroup(bool on);
    bool Enabled() const;
    void setEnabled(bool on);
    // Shared by every control with this id when a window action has it.
    bool Checked() const;
    void setChecked(bool on);
    int32_t IconId() const { return iconId_; }
    void setIconId(int32_t id);
    const std::string& Category() const { return category_; }
    void setCategory(const std::string& category) { category_ = category; }
    int32_t Style() const { return style_; }
    void setStyle(int32_t style) { style_ = style; }
    int32_t IconSize() const { return iconSize_; }
    void setIconSize(int32_t size);
    // Whether Tab and Shift+Tab reach the control's own button (the ribbon's);
    // the mouse and the control's keys still do. A control without one keeps none.
    void setTabStop(bool on);
    // Popups and split buttons; nullptr otherwise.
    CommandBar* DropDownBar() const { return dropDown_.get(); }
    // What a menu, toolbar or context bar shows; the ribbon's controls also have
    // their own large button.
    QAction* Action() const { return action_; }
    QToolButton* ToolButton() const { return button_; }

private:
    friend class CommandBar;
    friend class CommandBars;
    CommandBarControl(CommandBars& owner, int32_t type, int32_t id);
    void ShowState();

    CommandBars& owner_;
    int32_t type_;
    int32_t id_;
    QAction* action_ = nullptr;
    QAction* separator_ = nullptr;
    QToolButton* button_ = nullptr;
    std::unique_ptr<CommandBar> dropDown_;
    std::string description_;
    std::string category_;
    bool beginGroup_ = false;
    bool enabled_ = true;
    bool checked_ = false;
    int32_t iconId_;
    int32_t style_ = 0;
    int32_t iconSize_ = 0;
};

class CommandBar {
public:
    enum class Kind { MenuBar, ToolBar, Popup, Ribbon, RibbonGroup };
    ~CommandBar();

    Kind BarKind() const { return kind_; }
    const std::string& Title() const { return title_; }
    int32_t BarId() const { return barId_; }
    void setBarId(int32_t id) { barId_ = id; }
    bool Visible() const;
    void setVisible(bool on);
    // 0 top, 1 bottom, 2 left, 3 right.
    int32_t Position() const;
    // In the main window's coordinates.
    BarRect WindowRect() const;
    // Settings the shell applies; kept, not interpreted.
    int32_t DockingFlags() const { return dockingFlags_; }
    void setDockingFlags(int32_t flags) { dockingFlags_ = flags; }

    CommandBarControl& AddControl(int32_t type, int32_t id, const std::string& caption);
    size_t ControlCount() const { return controls_.size(); }
    // 1..ControlCount.
    CommandBarControl& Control(size_t index) const { return *controls_.at(index - 1); }
    // Searches drop-downs too; nullptr when no control has the id.
    CommandBarControl* FindControl(int32_t id) const;
    // Context menus: shows at the cursor and returns at once.
    void ShowPopup();
    void Delete();

    // Ribbon only: tabs at an index (clamped), counted and read from 1. The
    // ribbon's own controls are its system button and that button's menu.
    RibbonTab& InsertTab(int32_t index, const std::string& caption);
    size_t TabCount() const { return tabs_.size(); }
    RibbonTab& Tab(size_t index) const { return *tabs_.at(index - 1); }
    // 1-based; selects the tab's page.
    void setSelectedTab(size_t index);

    QWidget& Widget() const { return *widget_; }

private:
    friend class CommandBars;
    friend class CommandBarControl;
    friend class RibbonTab;
    CommandBar(CommandBars& owner, Kind kind, std::string title, QWidget* widget);
    void ForEachControl(const std::function<void(CommandBarControl&)>& f) const;
    void AddButton(CommandBarControl& control);

    CommandBars& owner_;
    Kind kind_;
    std::string title_;
    QWidget* widget_;
    int32_t barId_ = 0;
    int32_t dockingFlags_ = 0;
    std::vector<std::unique_ptr<CommandBarControl>> controls_;
    // Ribbon: the row of the system button and the tab strip, the pages; group:
    // the row of its large buttons.
    QBoxLayout* buttons_ = nullptr;
    QTabBar* tabBar_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    std::vector<std::unique_ptr<RibbonTab>> tabs_;
};

// One page of the ribbon: captioned groups of large buttons, in order.
class RibbonTab {
public:
    ~RibbonTab();
    const std::string& Caption() const { return caption_; }
    // A group is a bar whose id is the group's.
    CommandBar& AddGroup(const std::string& caption, int32_t id);
    size_t GroupCount() const { return groups_.size(); }
    CommandBar& Group(size_t index) const { return *groups_.at(index - 1); }

private:
    friend class CommandBar;
    RibbonTab(CommandBar& ribbon, std::string caption, QWidget* page);

    CommandBar& ribbon_;
    std::string caption_;
    QWidget* page_;
    std::vector<std::unique_ptr<CommandBar>> groups_;
};

struct WindowAction {
    int32_t id;
    std::string caption, tooltip, description, category;
    bool checked = false;
    bool enabled = true;
};

class StatusBarPane {
public:
    int32_t Id() const { return id_; }
    std::string Text() const;
    void setText(const std::string& text);
    int32_t Width() const { return width_; }
    // Pixels; 0 sizes the pane to its text.
    void setWidth(int32_t width);
    int32_t Style() const { return style_; }
    // 256 draws no border.
    void setStyle(int32_t style);

private:
    friend class CommandBars;
    StatusBarPane(int32_t id, QLabel* label) : id_(id), label_(label) {}
    int32_t id_;
    QLabel* label_;
    void FitWidth();
    int32_t width_ = 0;
    int32_t style_ = 0;
};

class CommandBars {
public:
    explicit CommandBars(QMainWindow& window);
    ~CommandBars();
    CommandBars(const CommandBars&) = delete;
    CommandBars& operator=(const CommandBars&) = delete;

    // position: 0 top, 1 bottom, 2 left, 3 right.
    CommandBar& AddToolBar(const std::string& name, int32_t position);
    // The new menu bar replaces the active one.
    CommandBar& AddMenuBar(const std::string& name);
    CommandBar* ActiveMenuBar() const;
    // Above the window's panes, in the menu widget beside the menu bar.
    CommandBar& AddRibbonBar(const std::string& name);
    size_t BarCount() const { return bars_.size(); }
    // 1..BarCount, in the order added.
    CommandBar& Bar(size_t index) const { return *bars_.at(index - 1); }
    void setMenuBarVisible(bool on);
    void RecalcLayout();
    // Docks a toolbar at a place of the window: beside the bar there, else below it.
    void DockToolBar(CommandBar& bar, int left, int top, int right, int bottom);

    CommandBar& AddContextMenu(int32_t id, const std::string& title);
    CommandBar* FindContextMenu(int32_t id) const;

    // Anywhere in the bars and context menus; nullptr when none has the id.
    CommandBarControl* FindControl(int32_t id) const;

    WindowAction& AddAction(int32_t id, const std::string& caption, const std::string& tooltip,
                            const std::string& description, const std::string& category);
    WindowAction* FindAction(int32_t id);
    // After changing an action's checked or enabled state: shows it on every control.
    void UpdateAction(int32_t id);

    // flags: 4 Shift, 8 Ctrl, 16 Alt; keyCode: a letter's or digit's character
    // code, 112.. for F1... A key bound before runs the new id from now on (two
    // application-wide shortcuts on one key would fire neither).
    void AddKeyBinding(int32_t flags, int32_t keyCode, int32_t id);
    size_t KeyBindingCount() const { return keys_.size(); }

    // False for a file that does not load; controls keep their icons then. A
    // picture joins the id's icon as one more size (a later one of the same size
    // replaces the earlier).
    bool LoadIcon(const std::string& path, int32_t id);
    bool LoadPicture(const std::string& path, int32_t id);
    bool HasImage(int32_t id) const { return icons_.count(id) != 0; }

    void setStatusBarVisible(bool on);
    StatusBarPane& AddStatusPane(int32_t id);
    StatusBarPane* StatusPane(int32_t id) const;
    // 134217728 lets the pane stretch.
    void setStatusPaneStyle(size_t index, int32_t style);

    // The toolbars' places and visibility as one line; loading refuses any other
    // text (false) and then changes nothing. While a ribbon shows, loading
    // places the toolbars but shows none.
    std::string SaveLayout() const;
    bool LoadLayout(const std::string& text);

    runtime::Event<CommandBarControl&> Execute;
    runtime::Event<StatusBarPane&> StatusPaneClick;
    runtime::Event<StatusBarPane&> StatusPaneDblClick;

private:
    friend class CommandBar;
    friend class CommandBarControl;
    void ForEachControl(const std::function<void(CommandBarControl&)>& f) const;
    void Raise(CommandBarControl& control);
    void Retire(std::unique_ptr<CommandBar> bar);
    QIcon IconOf(int32_t iconId) const;
    void ShowIcons(int32_t iconId);
    bool RibbonShown() const;

    QMainWindow& window_;
    QWidget* menuContainer_;
    bool menuBarVisible_ = true;
    std::vector<std::unique_ptr<CommandBar>> bars_;
    std::vector<std::unique_ptr<CommandBar>> contextMenus_;
    std::vector<std::unique_ptr<CommandBar>> retired_;
    std::map<int32_t, WindowAction> actions_;
    std::map<int32_t, QIcon> icons_;
    struct KeyBinding {
        QShortcut* shortcut;
        std::unique_ptr<CommandBarControl> control;
    };
    // By key combination.
    std::map<int, KeyBinding> keys_;
    std::vector<std::unique_ptr<StatusBarPane>> panes_;
    // Context of every Qt connection and the pane-click filter: destroyed first,
    // so that no signal of a surviving widget reaches a dead CommandBars.
    std::unique_ptr<QObject> life_;
};

}  // namespace platform::widgets
