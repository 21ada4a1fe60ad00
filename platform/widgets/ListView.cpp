#include "platform/widgets/ListView.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QHeaderView>
#include <QIcon>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

#include "platform/widgets/Color.h"
#include "platform/widgets/Twips.h"

namespace platform::widgets {

namespace {
using Kind = ListViewChange::Kind;
using Role = ListViewChange::Role;

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

class ListModel : public QAbstractTableModel {
public:
    ListModel(platform::ListView& store, QObject* parent)
        : QAbstractTableModel(parent), store_(store) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(store_.Count());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(store_.ColumnCount());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
        const ListItem& item = store_.Item(static_cast<size_t>(index.row()) + 1);
        const size_t sub = static_cast<size_t>(index.column());  // 0 = the item itself
        switch (role) {
            case Qt::DisplayRole:
                return ToQString(sub == 0 ? item.Text() : item.SubItems(sub));
            case Qt::ForegroundRole:
                return ToQColor(sub == 0 ? item.ForeColor() : item.SubItemForeColor(sub));
            case Qt::FontRole:
                if (sub == 0 ? item.Bold() : item.SubItemBold(sub)) {
                    QFont font;
                    font.setBold(true);
                    return font;
                }
                return {};
            case Qt::CheckStateRole:
                if (sub != 0 || !checkable_) return {};
                return item.Checked() ? Qt::Checked : Qt::Unchecked;
            case Qt::DecorationRole: {
                const int32_t icon = item.SmallIcon();
                if (sub != 0 || icon < 1 || static_cast<size_t>(icon) > icons_.size()) return {};
                return icons_[static_cast<size_t>(icon) - 1];
            }
            default:
                return {};
        }
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::CheckStateRole || !checkable_ || index.column() != 0 ||
            !checkIndex(index, CheckIndexOption::IndexIsValid))
            return false;
        ListItem& item = store_.Item(static_cast<size_t>(index.row()) + 1);
        const bool checked = value.toInt() == Qt::Checked;
        if (item.Checked() == checked) return true;
        item.setChecked(checked);
        if (onTick_) onTick_(item);
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
        if (checkable_ && index.column() == 0) f |= Qt::ItemIsUserCheckable;
        return f;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
            section >= columnCount({}))
            return {};
        return ToQString(store_.ColumnText(static_cast<size_t>(section) + 1));
    }

    void OnChange(const ListViewChange& c) {
        const int row = static_cast<int>(c.index) - 1;
        switch (c.kind) {
            case Kind::AboutToInsert:
                Flush();
                beginInsertRows({}, row, row);
                break;
            case Kind::Inserted:
                endInsertRows();
                break;
            case Kind::AboutToRemove:
                Flush();
                beginRemoveRows({}, row, row);
                break;
            case Kind::Removed:
                endRemoveRows();
                break;
            case Kind::AboutToReset:
                dirty_.clear();
                columns_.clear();
                beginResetModel();
                break;
            case Kind::Reset:
                endResetModel();
                break;
            case Kind::Cell:
                if (c.role != Role::Selected) Mark(row, static_cast<int>(c.column) - 1);
                break;
            case Kind::Refresh:
                Flush();
                break;
        }
    }

    // One dataChanged per run of consecutive dirty rows, over the columns written,
    // cut to the rows the view shows: a shown view works out the screen area of
    // every row it is told of, which for thousands of rows repriced at once costs
    // more than the repricing. Rows out of sight are read afresh when they come
    // into sight (all rows are one height, so no layout depends on them).
    void Flush() {
        // Rows come and go one by one around here: asking the view what it shows
        // would lay it out each time.
        if (dirty_.empty()) return;
        const int lastColumn = columnCount({}) - 1;
        const auto [shownFirst, shownLast] =
            shownRows_ ? shownRows_() : std::pair{0, std::numeric_limits<int>::max()};
        std::sort(dirty_.begin(), dirty_.end());
        auto it = dirty_.begin();
        while (it != dirty_.end()) {
            int first = *it;
            int last = first, left = columns_[first].first, right = columns_[first].second;
            for (++it; it != dirty_.end() && *it == last + 1; ++it) {
                last = *it;
                left = std::min(left, columns_[last].first);
                right = std::max(right, columns_[last].second);
            }
            right = std::min(right, lastColumn);
            first = std::max(first, shownFirst);
            last = std::min(last, shownLast);
            if (left <= right && first <= last)
                Q_EMIT dataChanged(index(first, left), index(last, right));
        }
        for (int row : dirty_) columns_[row] = kClean;
        dirty_.clear();
    }
    // The rows a shown view has in sight; unset: every row.
    void SetShownRows(std::function<std::pair<int, int>()> shownRows) {
        shownRows_ = std::move(shownRows);
    }

    void BeginAddColumn() {
        const int n = columnCount({});
        beginInsertColumns({}, n, n);
    }
    void EndAddColumn() { endInsertColumns(); }

    void SetCheckable(bool on) {
        if (checkable_ == on) return;
        checkable_ = on;
        EveryRowChanged();
    }
    void SetIcons(std::vector<QIcon> icons) {
        icons_ = std::move(icons);
        EveryRowChanged();
    }
    void SetOnTick(std::function<void(ListItem&)> onTick) { onTick_ = std::move(onTick); }

private:
    void Mark(int row, int column) {
        if (static_cast<size_t>(row) >= columns_.size()) columns_.resize(row + 1, kClean);
        auto& written = columns_[row];
        if (written == kClean) {
            dirty_.push_back(row);
            written = {column, column};
        } else {
            written.first = std::min(written.first, column);
            written.second = std::max(written.second, column);
        }
        if (flushQueued_) return;
        flushQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            flushQueued_ = false;
            Flush();
        });
    }

    void EveryRowChanged() {
        if (rowCount({}) > 0 && columnCount({}) > 0)
            Q_EMIT dataChanged(index(0, 0), index(rowCount({}) - 1, 0));
    }

    platform::ListView& store_;
    // Rows written since the last notice, and per row the first and last column
    // written (kClean when none): a quote marks thousands of cells a turn.
    static constexpr std::pair<int, int> kClean{-1, -1};
    std::vector<int> dirty_;
    std::vector<std::pair<int, int>> columns_;
    bool flushQueued_ = false;
    bool checkable_ = false;
    std::vector<QIcon> icons_;
    std::function<void(ListItem&)> onTick_;
    std::function<std::pair<int, int>()> shownRows_;
};

ListView::ListView(platform::ListView& store, QWidget* parent)
    : QTreeView(parent), store_(store), model_(new ListModel(store, this)) {
    setModel(model_);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Widths are the store's: a stretched last section would rewrite them.
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    for (size_t i = 1; i <= store_.ColumnCount(); ++i)
        header()->resizeSection(static_cast<int>(i) - 1, ToPixelsX(store_.ColumnWidth(i)));

    model_->SetOnTick([this](ListItem& item) { ItemCheck(item); });
    model_->SetShownRows([this]() -> std::pair<int, int> {
        constexpr int kAll = std::numeric_limits<int>::max();
        // A hidden view does no screen work. Asking the view for the rows at its
        // edges would lay out all rows after every insert; the scroll bar counts in
        // rows and knows a page, and a row more on each side covers a bar not yet
        // updated.
        if (!isVisible() || verticalScrollMode() != ScrollPerItem) return {0, kAll};
        const QScrollBar* bar = verticalScrollBar();
        const int first = std::max(0, bar->value() - 1);
        return {first, first + bar->pageStep() + 2};
    });
    feed_ = store_.Changed.Connect([this](const ListViewChange& c) {
        // Qt moves the current row off a removed one; that must not reach the
        // store, which keeps no selection then and takes no writes from its feed.
        const bool announce = c.kind == Kind::AboutToInsert || c.kind == Kind::AboutToRemove ||
                              c.kind == Kind::AboutToReset;
        if (announce) syncing_ = true;
        model_->OnChange(c);
        if (c.kind == Kind::Inserted || c.kind == Kind::Removed || c.kind == Kind::Reset) {
            syncing_ = false;
            ShowSelection();
        }
        if (c.kind == Kind::Cell && c.role == Role::Selected) ShowSelection();
        if (c.kind == Kind::Refresh) viewport()->update();
    });
    connect(header(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (syncing_ || section < 0 || static_cast<size_t>(section) >= store_.ColumnCount()) return;
        store_.setColumnWidth(static_cast<size_t>(section) + 1, ToTwipsX(size));
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                if (syncing_ || !current.isValid()) return;
                syncing_ = true;
                store_.Item(static_cast<size_t>(current.row()) + 1).setSelected(true);
                syncing_ = false;
            });
    ShowSelection();
}

// Rows are one height and the list is flat, so a written cell changes no row's
// height. The tree view would work out the first row's height afresh, shaping
// every cell of it, whenever that row is written.
void ListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                           const QList<int>& roles) {
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

ListView::~ListView() {
    feed_.Disconnect();
}

void ListView::AddColumn(std::string_view caption, double width) {
    model_->BeginAddColumn();
    store_.AddColumn(caption, width);
    model_->EndAddColumn();
    setColumnWidth(store_.ColumnCount(), width);
}

void ListView::setColumnWidth(size_t i, double width) {
    store_.setColumnWidth(i, width);
    syncing_ = true;
    header()->resizeSection(static_cast<int>(i) - 1, ToPixelsX(width));
    syncing_ = false;
}

void ListView::setWidthRule(std::string key, std::function<void()> rule) {
    widthKey_ = std::move(key);
    widthRule_ = std::move(rule);
}

void ListView::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    if (widthRule_ && event->size().width() != event->oldSize().width()) widthRule_();
}

double ListView::ItemTop(const ListItem& item) const {
    const QRect r = visualRect(model_->index(static_cast<int>(item.Index()) - 1, 0));
    return r.isValid() ? ToTwipsY(viewport()->mapTo(this, r.topLeft()).y()) : 0;
}

double ListView::ItemHeight(const ListItem& item) const {
    const QRect r = visualRect(model_->index(static_cast<int>(item.Index()) - 1, 0));
    return r.isValid() ? ToTwipsY(r.height()) : 0;
}

void ListView::setCheckboxes(bool on) {
    model_->SetCheckable(on);
}

void ListView::setSmallIcons(std::vector<QIcon> icons) {
    model_->SetIcons(std::move(icons));
}

void ListView::ShowSelection() {
    if (syncing_) return;
    syncing_ = true;
    ListItem* item = store_.SelectedItem();
    if (item) {
        const QModelIndex index = model_->index(static_cast<int>(item->Index()) - 1, 0);
        selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
        selectionModel()->clear();
    }
    syncing_ = false;
}

void ListView::RaiseMouse(runtime::Event<int32_t, int32_t, double, double>& event, QMouseEvent* e) {
    int32_t button = 0;
    if (e->button() == Qt::LeftButton) button = 1;
    if (e->button() == Qt::RightButton) button = 2;
    if (e->button() == Qt::MiddleButton) button = 4;
    const Qt::KeyboardModifiers m = e->modifiers();
    const int32_t shift = (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
                          (m & Qt::AltModifier ? 4 : 0);
    const QPoint p = viewport()->mapTo(this, e->position().toPoint());
    event(button, shift, ToTwipsX(p.x()), ToTwipsY(p.y()));
}

void ListView::mousePressEvent(QMouseEvent* event) {
    QTreeView::mousePressEvent(event);
    RaiseMouse(MouseDown, event);
}

void ListView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    RaiseMouse(MouseUp, event);
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    DblClick();
}

int ListView::ToPixelsX(double twips) const {
    return TwipsToPixelsX(*this, twips);
}

double ListView::ToTwipsX(int pixels) const {
    return PixelsToTwipsX(*this, pixels);
}

double ListView::ToTwipsY(int pixels) const {
    return PixelsToTwipsY(*this, pixels);
}

}  // namespace platform::widgets
