#pragma once
// The keyboard's road to a list's context menu: the Menu key or Shift+F10 on the
// list selects its current row when that row is not selected, opens the menu as
// the right button's release does, and puts the menu at the selected row. Nothing
// of the right button's press runs. Installed on the list, it lives as long as
// the list does. GUI thread only.
#include <QObject>
#include <functional>

namespace platform::widgets {
class ListView;
}

namespace OrbanexDesk {

class PopupKeys : public QObject {
public:
    // `open` opens the list's menu as its right-button release would (it may open
    // nothing, as over an empty list).
    static void Install(platform::widgets::ListView& list, std::function<void()> open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PopupKeys(platform::widgets::ListView& list, std::function<void()> open);
    void Open();
    // Where the menu goes: below the selected row's left end, or the list's top left.
    QPoint RowPlace() const;

    platform::widgets::ListView& list_;
    std::function<void()> open_;
};

}  // namespace OrbanexDesk
