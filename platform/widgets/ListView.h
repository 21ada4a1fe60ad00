#pragma once
// A report-view list over the headless platform::ListView store. The store stays
// the one copy of the rows; the view shows it through a model that follows the
// store's change feed. Cell writes are gathered and announced once per loop turn
// (the sessions rewrite cells on every quote); the store's Refresh announces them
// at once. The store must outlive the view. Positions and widths are in twips.
#include <QTreeView>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ListView.h"
#include "runtime/Event.h"

class QIcon;

namespace platform::widgets {

class ListModel;

class ListView : public QTreeView {
public:
    explicit ListView(platform::ListView& store, QWidget* parent = nullptr);
    ~ListView() override;

    platform::ListView& Store() const { return store_; }

    // Column headers; add columns through the view so that it can announce them.
    void AddColumn(std::string_view caption, double width);
    double ColumnWidth(size_t i) const { return store_.ColumnWidth(i); }
    void setColumnWidth(size_t i, double width);
    double ColumnLeft(size_t i) const { return store_.ColumnLeft(i); }
    // Runs whenever the width the columns share changes, whatever changed it: the
    // pane docked, floated or shown again, a scroll bar came or went. `key` names
    // the rule, so that setting the same one again costs nothing.
    void setWidthRule(std::string key, std::function<void()> rule);
    bool HasWidthRule(const std::string& key) const { return widthRule_ && widthKey_ == key; }

    // The row's place relative to the list's top edge; 0 for a row not laid out.
    double ItemTop(const ListItem& item) const;
    double ItemHeight(const ListItem& item) const;

    void setCheckboxes(bool on);
    // The image list: small icon n is icons[n - 1]; other numbers show none.
    void setSmallIcons(std::vector<QIcon> icons);

    // (button: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl, 4 Alt; x; y)
    runtime::Event<int32_t, int32_t, double, double> MouseDown;
    runtime::Event<int32_t, int32_t, double, double> MouseUp;
    runtime::Event<> DblClick;
    // Only the operator's ticks; code writing Checked raises nothing.
    runtime::Event<ListItem&> ItemCheck;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;  // the viewport's
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;

private:
    void OnChange(const ListViewChange& change);
    void ShowSelection();
    void RaiseMouse(runtime::Event<int32_t, int32_t, double, double>& event, QMouseEvent* e);
    int ToPixelsX(double twips) const;
    double ToTwipsX(int pixels) const;
    double ToTwipsY(int pixels) const;

    platform::ListView& store_;
    ListModel* model_;
    bool syncing_ = false;
    runtime::ScopedConnection feed_;
    std::string widthKey_;
    std::function<void()> widthRule_;
};

}  // namespace platform::widgets
