#pragma once
// Menu bars, toolbars, context menus, the status bar, window actions, key
// bindings and images of the shell, on QMainWindow. Every control carries a
// command id; using one raises Execute with that control. Context menus pop up
// without a nested loop; key bindings work in every window of the program.
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
class QWidget;

namespace platform::widgets {

class CommandBar;
class CommandBars;

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
    void setIconSize(int32_t size) { iconSize_ = size; }
    // Popups only; nullptr otherwise.
    CommandBar* DropDownBar() const { return dropDown_.get(); }

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
    enum class Kind { MenuBar, ToolBar, Popup };
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

    QWidget& Widget() const { return *widget_; }

private:
    friend class CommandBars;
    friend class CommandBarControl;
    CommandBar(CommandBars& owner, Kind kind, std::string title, QWidget* widget);
    void ForEachControl(const std::function<void(CommandBarControl&)>& f) const;

    CommandBars& owner_;
    Kind kind_;
    std::string title_;
    QWidget* widget_;
    int32_t barId_ = 0;
    int32_t dockingFlags_ = 0;
    std::vector<std::unique_ptr<CommandBarControl>> controls_;
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
    CommandBar& AddMenuBar(const std::string& name);
    CommandBar* ActiveMenuBar() const;
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
    // code, 112.. for F1..
    void AddKeyBinding(int32_t flags, int32_t keyCode, int32_t id);

    // False for a file that does not load; controls keep their icons then.
    bool LoadIcon(const std::string& path, int32_t id);
    bool LoadPicture(const std::string& path, int32_t id);

    void setStatusBarVisible(bool on);
    StatusBarPane& AddStatusPane(int32_t id);
    StatusBarPane* StatusPane(int32_t id) const;
    // 134217728 lets the pane stretch.
    void setStatusPaneStyle(size_t index, int32_t style);

    // The toolbars' places and visibility as one line; loading refuses any other
    // text (false) and then changes nothing.
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

    QMainWindow& window_;
    QWidget* menuContainer_;
    bool menuBarVisible_ = true;
    std::vector<std::unique_ptr<CommandBar>> bars_;
    std::vector<std::unique_ptr<CommandBar>> contextMenus_;
    std::vector<std::unique_ptr<CommandBar>> retired_;
    std::map<int32_t, WindowAction> actions_;
    std::map<int32_t, QIcon> icons_;
    std::vector<std::unique_ptr<CommandBarControl>> keyControls_;
    std::vector<std::unique_ptr<StatusBarPane>> panes_;
    // Context of every Qt connection and the pane-click filter: destroyed first,
    // so that no signal of a surviving widget reaches a dead CommandBars.
    std::unique_ptr<QObject> life_;
};

}  // namespace platform::widgets
