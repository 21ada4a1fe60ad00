#pragma once
// Docking panes of the shell on QMainWindow's dock widgets. A pane's window is
// asked for through Attach just before the pane is first shown. Closing a pane
// (its close button or Close) raises Action with code 3; selecting it, 14.
// Closed means hidden, not merely behind another tab.
//
// A pane behind another tab of its group stays open but takes neither the focus
// nor a key: the window moves it out of sight, and it is disabled until it comes
// to the front again. When the pane that holds its window's focus goes behind,
// the focus goes to the pane that came to the front; focus elsewhere stays.
//
// The panes docked on the left and right stand between those on the top and the
// bottom; whatever sides the panes are docked on, they fill the window between
// its bars and every divider moves both ways. When the window changes size, each
// docked pane keeps its share of the room the docked panes fill: the shares
// change only when the panes are moved (a divider dragged; a pane shown, closed,
// floated, docked or tabbed; a layout loaded), never by a window too small for
// them, so the panes come back to their places when the window comes back to
// its size. A pane (or tab group) closed and shown again comes back at its
// share, the panes that took its room giving it back. A pane the dealer docks
// by drag gets room to show its title, its list's header and three rows, and
// so do the panes above and below it, what they lack taken from the others in
// proportion to what they have beyond that; where the room cannot hold them
// all, they share it as they need it, each at least at its minimum.
#include <QByteArray>
#include <QDockWidget>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/Event.h"

class QMainWindow;
class QTabBar;

namespace platform::widgets {

class DockingPanes;

class DockingPane {
public:
    int32_t Id() const { return id_; }
    std::string Title() const;
    void setTitle(const std::string& title);
    bool Closed() const { return dock_->isHidden(); }
    void Close();
    // Shows the pane and brings it to the front of its tab group.
    void Select();
    // Joins the tab group of `other`.
    void AttachTo(DockingPane& other);
    const std::string& Tag() const { return tag_; }
    void setTag(const std::string& tag) { tag_ = tag; }
    // The pane's window; the pane owns it. Its one-line labels no longer hold the
    // pane wider than its other controls: a text that does not fit is elided.
    QWidget* Widget() const { return dock_->widget(); }
    void setWidget(QWidget* widget);
    bool Attached() const { return attached_; }
    // Raises Attach now unless it came already.
    void Attach();

    QDockWidget& Dock() const { return *dock_; }

private:
    friend class DockingPanes;
    DockingPane(DockingPanes& owner, int32_t id, QDockWidget* dock)
        : owner_(owner), id_(id), dock_(dock) {}

    DockingPanes& owner_;
    int32_t id_;
    QDockWidget* dock_;
    std::string tag_;
    bool attached_ = false;
};

class DockingPanes {
public:
    // side: 0 left, 1 right, 2 top, 3 bottom.
    enum Side : int32_t { Left = 0, Right = 1, Top = 2, Bottom = 3 };

    explicit DockingPanes(QMainWindow& window);
    ~DockingPanes();
    DockingPanes(const DockingPanes&) = delete;
    DockingPanes& operator=(const DockingPanes&) = delete;

    // Sizes in pixels; with a neighbour, the pane is docked beside it, else below
    // the side's other panes, as wide as the side.
    DockingPane& CreatePane(int32_t id, int width, int height, int32_t side,
                            DockingPane* neighbour = nullptr);
    struct PaneShare {
        DockingPane* pane;
        double width, height;  // from 0 to 1
    };
    // Gives each docked pane (with its tab group) its shares of the width and
    // height of the room the docked panes fill; they keep them from then on.
    void SharePanes(const std::vector<PaneShare>& shares);
    // nullptr for an unknown id.
    DockingPane* FindPane(int32_t id) const;
    size_t PaneCount() const { return panes_.size(); }
    DockingPane& Pane(size_t index) const { return *panes_.at(index - 1); }

    // The panes' arrangement as one line, with the sizes of the window and of the
    // panes' room (no room from a window given less than the panes' minimum: no
    // window holds that room, and every text written loads again). Loading
    // refuses a foreign, damaged or other-version text, or one with sizes no
    // window has (a room larger than its window or too small for its panes, a
    // window larger than any screen), with false, and then changes nothing; the
    // window's toolbars keep their places either way, and a floating pane off
    // every screen docks. Loaded in another room than it was saved in (another
    // window size, other bars), each pane keeps its share of the room; loaded at
    // another window size, it is laid out exactly again once the window reaches
    // the size it was saved at, unless the dealer moved the panes before (a
    // divider or a pane's title dragged; a pane closed, shown, floated, docked or
    // tabbed). What the program does before its loop turns again after the load
    // (panes it shows at its start), the window's own settling and a press and
    // move anywhere else (a label in a pane, the status bar) are no moves.
    // A floating toolbar larger than any screen or off every one comes onto a
    // screen within its size.
    std::string SaveLayout() const;
    bool LoadLayout(const std::string& text);

    runtime::Event<DockingPane&> AttachPane;
    // (code, pane, cancel): 3 closed (cancel keeps it open), 14 selected.
    runtime::Event<int32_t, DockingPane&, bool&> Action;
    // True before a waiting layout is laid out at its window size, false after.
    runtime::Event<bool> LayingOutWaiting;

private:
    friend class DockingPane;

    // ---- Panes behind a tab ----
    void KeepKeysInFront();
    void FollowFronts();
    bool Behind(QDockWidget& dock) const;
    QDockWidget* FrontOf(QDockWidget& dock) const;
    std::vector<QDockWidget*> behind_;  // the panes disabled while behind
    QPointer<QDockWidget> focusLeft_;   // went behind with the focus; its front takes it
    bool followingFronts_ = false;
    bool frontsQueued_ = false;  // a pass waits for the running one to end
    // A docked pane in sight (with its tab group), as a part of the room the
    // docked panes fill, and its size when last laid out.
    struct Share {
        QDockWidget* dock;
        double width, height;
        QSize laid;
    };

    void HideEmptyTabBars();
    void LetLabelsShrink(QWidget& widget);
    struct ToolBarPlace;
    bool Restore(const QByteArray& state, const QRect& inner);
    bool RestoreState(const QByteArray& state);
    void PutBack(const std::vector<ToolBarPlace>& toolBars);
    void DockPanesOffScreen();
    bool RestoreAt(const QByteArray& state, QSize windowSize, QSize roomSize);
    bool RestoreWhole(const QByteArray& state, const QRect& inner, bool inRoom,
                      const QRect& present);
    void WindowResized();
    struct Placement {
        bool closed, floating;
        Qt::DockWidgetArea side;
        QList<QDockWidget*> tabs;
        bool operator==(const Placement&) const = default;
    };
    std::vector<Placement> Placements() const;
    void NoteMoves();
    struct DockedSides {
        bool left = false, right = false, rows = false;  // rows: top or bottom
    };
    DockedSides Docked() const;
    void ShowMiddleBetweenRows();
    void ReachEdge(QDockWidget& dock);
    void ReachEdges();
    Qt::DockWidgetArea LoneSide() const;
    QRect OverTheStrip(QRect rect, Qt::DockWidgetArea side) const;
    QRect PanesEdges(QRect edges) const;
    QTabBar* TabBarBelow(const QRect& pane) const;
    std::vector<QDockWidget*> DocksInSight() const;
    QRect GroupRect(QDockWidget* dock) const;
    QRect Room() const;
    void PaneResized();
    void Settled();
    const Share* GroupShare(const std::vector<Share>& shares, QDockWidget* dock) const;
    const Share* HeldShare(QDockWidget* dock) const;
    bool GiveBackShares();
    void TakeShares();
    void KeepShares(bool retakeMoved);
    void FitShares();
    void ResizeDocksNow(const QList<QDockWidget*>& docks, const QList<int>& widths,
                        const QList<int>& heights);
    void MakeRoomForDropped();

    QMainWindow& window_;
    std::vector<std::unique_ptr<DockingPane>> panes_;
    bool selecting_ = false;
    std::unique_ptr<QObject> life_;  // context of the Qt connections; destroyed first
    QObject* eliding_;               // paints the labels that do not fit; a child of life_
    QPointer<QWidget> middle_;       // the window's central widget, between the sides
    QByteArray pendingState_;        // to lay out again at pendingSize_
    QSize pendingSize_;
    QSize pendingRoom_;
    bool settlingLoad_ = false;      // the program settles what it loaded
    std::vector<Placement> placed_;  // the panes' places once it settled
    std::vector<Share> shares_;
    // A group closed whole: its share, and the shares in sight before and after.
    struct Away {
        Share share;
        std::vector<Share> before, after;
    };
    std::vector<Away> away_;
    // Docked by the dealer's drop, its room still to make.
    QPointer<QDockWidget> dropped_;
    QSize sharesRoom_;      // the room's size when the panes were last laid out
    bool fitting_ = false;  // the panes are being laid out here
    bool restoring_ = false;
    bool settling_ = false;
    bool reaching_ = false;  // a pane is being stretched over a divider
};

}  // namespace platform::widgets
