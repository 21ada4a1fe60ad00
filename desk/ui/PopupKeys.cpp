#include "desk/ui/PopupKeys.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScreen>
#include <algorithm>

#include "platform/widgets/ListView.h"

namespace OrbanexDesk {

namespace {
bool IsPopupKey(const QKeyEvent& key) {
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    return (key.key() == Qt::Key_Menu && mods == Qt::NoModifier) ||
           (key.key() == Qt::Key_F10 && mods == Qt::ShiftModifier);
}

// The menu's place moved inside the screen it opened on.
QPoint OnScreen(const QWidget& menu, QPoint place) {
    const QScreen* screen = QGuiApplication::screenAt(place);
    if (!screen) screen = menu.screen();
    if (!screen) return place;
    const QRect room = screen->availableGeometry();
    place.setX(std::max(room.left(), std::min(place.x(), room.right() + 1 - menu.width())));
    place.setY(std::max(room.top(), std::min(place.y(), room.bottom() + 1 - menu.height())));
    return place;
}
}  // namespace

void PopupKeys::Install(platform::widgets::ListView& list, std::function<void()> open) {
    list.installEventFilter(new PopupKeys(list, std::move(open)));
}

PopupKeys::PopupKeys(platform::widgets::ListView& list, std::function<void()> open)
    : QObject(&list), list_(list), open_(std::move(open)) {}

bool PopupKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &list_) return false;
    if (event->type() == QEvent::KeyPress && IsPopupKey(*static_cast<QKeyEvent*>(event))) {
        Open();
        return true;
    }
    // Some platforms follow the Menu key's press with a context-menu event of
    // their own: the press has opened the menu already.
    return event->type() == QEvent::ContextMenu &&
           static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard;
}

void PopupKeys::Open() {
    platform::ListView& rows = list_.Store();
    const QModelIndex current = list_.currentIndex();
    if (current.isValid() && static_cast<size_t>(current.row()) < rows.Count()) {
        platform::ListItem& row = rows.Item(static_cast<size_t>(current.row()) + 1);
        if (!row.Selected()) row.setSelected(true);
        // The row a focus-in made current is the store's selection but is not
        // shown as one.
        QItemSelectionModel& shown = *list_.selectionModel();
        if (!shown.isRowSelected(current.row(), current.parent()))
            shown.select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    if (const platform::ListItem* row = rows.SelectedItem())
        list_.scrollTo(list_.model()->index(static_cast<int>(row->Index()) - 1, 0));
    QWidget* const before = QApplication::activePopupWidget();
    if (open_) open_();
    QWidget* const menu = QApplication::activePopupWidget();
    if (menu && menu != before) menu->move(OnScreen(*menu, RowPlace()));
}

QPoint PopupKeys::RowPlace() const {
    const platform::ListItem* row = list_.Store().SelectedItem();
    if (row) {
        const QRect place =
            list_.visualRect(list_.model()->index(static_cast<int>(row->Index()) - 1, 0));
        if (place.isValid()) return list_.viewport()->mapToGlobal(place.bottomLeft());
    }
    return list_.viewport()->mapToGlobal(QPoint(0, 0));
}

}  // namespace OrbanexDesk
