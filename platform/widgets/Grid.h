#pragma once
// A grid view over the headless platform::Grid store: row 0 is the fixed header,
// rows 1.. are the body. The store stays the one copy; the view shows it through a
// model that follows the store's change feed, gathering cell writes into one notice
// per loop turn (the sessions rewrite prices on every quote). A press on a cell
// makes it the store's current cell before MouseDown is raised, so handlers read
// the row and column they were pressed on; Click follows a press and release on
// one cell. Keys raise KeyDown before the view moves on them; Tab and Shift+Tab
// leave the grid, the arrows move its current cell. Pictures are found by id:
// first those given to setPicture, then the drawings the library carries
// (":/grid/<id>"). Back colours 0xFFFFFF and 0xFFFFFE (a cell's check state) both
// paint white. The store must outlive the view. Widths are in twips.
#include <QPixmap>
#include <QTableView>
#include <cstdint>
#include <unordered_map>

#include "platform/Grid.h"
#include "runtime/Event.h"

namespace platform::widgets {

class GridModel;

class Grid : public QTableView {
public:
    // Item roles of the model besides Qt's own.
    static constexpr int kBackColorRole = Qt::UserRole + 1;  // int32 0xBBGGRR or kNoColor
    static constexpr int kPictureRole = Qt::UserRole + 2;    // picture id, 0 = none
    static constexpr int kPictureAlignmentRole = Qt::UserRole + 3;

    explicit Grid(platform::Grid& store, QWidget* parent = nullptr);
    ~Grid() override;

    platform::Grid& Store() const { return store_; }

    // A picture for `id`, over the library's own; a null pixmap removes it.
    void setPicture(int32_t id, const QPixmap& picture);
    // The picture shown for `id`; null when there is none.
    QPixmap Picture(int32_t id) const;

    // (button: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl, 4 Alt; x; y in twips)
    runtime::Event<int32_t, int32_t, double, double> MouseDown;
    runtime::Event<> Click;
    // (key: kKeyEnter for either Enter key, else Qt's code, which for Space, digits
    // and letters is their character code; shift as MouseDown). The view itself
    // does nothing with Space and Enter, and a held one is raised once.
    runtime::Event<int32_t, int32_t> KeyDown;
    static constexpr int32_t kKeyEnter = 13;
    static constexpr int32_t kKeySpace = 32;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnChange(const GridChange& change);
    void ShowCurrent();
    void ApplyWidth(size_t col);
    void ApplyWidths();
    int ToPixelsX(double twips) const;
    double ToTwipsX(int pixels) const;
    double ToTwipsY(int pixels) const;

    platform::Grid& store_;
    GridModel* model_;
    mutable std::unordered_map<int32_t, QPixmap> pictures_;
    QPersistentModelIndex pressed_;
    bool syncing_ = false;
    runtime::ScopedConnection feed_;
};

}  // namespace platform::widgets
