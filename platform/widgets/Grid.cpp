#include "platform/widgets/Grid.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "platform/widgets/Color.h"
#include "platform/widgets/Twips.h"

namespace platform::widgets {

namespace {
constexpr int kRowHeight = 18;  // the check-box drawings are 16 high
constexpr int kTextGap = 2;
using Kind = GridChange::Kind;

// 1 Shift, 2 Ctrl, 4 Alt.
int32_t ShiftOf(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool LooksNumeric(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

// 0 left top .. 8 right bottom in threes; 9 puts numbers right and text left.
Qt::Alignment ToQtAlignment(int32_t alignment, const std::string& text) {
    if (alignment < 0 || alignment > 8)
        return Qt::AlignVCenter | (LooksNumeric(text) ? Qt::AlignRight : Qt::AlignLeft);
    static const Qt::Alignment kHorizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static const Qt::Alignment kVertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    return kHorizontal[alignment / 3] | kVertical[alignment % 3];
}

// The two check states look the same: only the store tells them apart.
QColor PaintedBack(int32_t back) {
    if (back == 0xFFFFFE) return Qt::white;
    return ToQColor(back);
}
}  // namespace

// ---- Model ----

class GridModel : public QAbstractTableModel {
public:
    GridModel(platform::Grid& store, QObject* parent)
        : QAbstractTableModel(parent), store_(store) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() || store_.Rows() == 0 ? 0 : static_cast<int>(store_.Rows()) - 1;
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(store_.Cols());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
        const GridCell& cell =
            store_.Cell(static_cast<size_t>(index.row()) + 1, static_cast<size_t>(index.column()));
        switch (role) {
            case Qt::DisplayRole:
                return ToQString(cell.text);
            case Qt::BackgroundRole:
                if (cell.backColor == kNoColor) return {};
                return PaintedBack(cell.backColor);
            case Qt::ForegroundRole:
                if (cell.foreColor == kNoColor) return {};
                return ToQColor(cell.foreColor);
            case Qt::TextAlignmentRole:
                return static_cast<int>(ToQtAlignment(cell.alignment, cell.text));
            case Grid::kBackColorRole:
                return cell.backColor;
            case Grid::kPictureRole:
                return cell.picture;
            case Grid::kPictureAlignmentRole:
                return cell.pictureAlignment;
            default:
                return {};
        }
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
            section >= columnCount({}) || store_.Rows() == 0)
            return {};
        return ToQString(store_.TextMatrix(0, static_cast<size_t>(section)));
    }

    // Row 0 is the header: a change that moves it is shown as a reset.
    void OnChange(const GridChange& c) {
        const int first = static_cast<int>(c.first) - 1;
        const int last = static_cast<int>(c.last) - 1;
        switch (c.kind) {
            case Kind::AboutToInsert:
            case Kind::AboutToRemove:
                Flush();
                if (c.first == 0) {
                    beginResetModel();
                } else if (c.kind == Kind::AboutToInsert) {
                    beginInsertRows({}, first, last);
                } else {
                    beginRemoveRows({}, first, last);
                }
                break;
            case Kind::Inserted:
                if (c.first == 0) {
                    endResetModel();
                } else {
                    endInsertRows();
                }
                break;
            case Kind::Removed:
                if (c.first == 0) {
                    endResetModel();
                } else {
                    endRemoveRows();
                }
                break;
            case Kind::AboutToReset:
                dirty_.clear();
                beginResetModel();
                break;
            case Kind::Reset:
                endResetModel();
                break;
            case Kind::Cell:
                if (c.first == 0) {
                    Q_EMIT headerDataChanged(Qt::Horizontal, static_cast<int>(c.column),
                                             static_cast<int>(c.column));
                } else {
                    Mark(first, static_cast<int>(c.column));
                }
                break;
            case Kind::Refresh:
                Flush();
                break;
            case Kind::Current:
            case Kind::ColumnWidth:
                break;
        }
    }

    // One dataChanged per run of consecutive dirty rows, over the columns written.
    void Flush() {
        auto it = dirty_.begin();
        while (it != dirty_.end()) {
            const int first = it->first;
            int last = first, left = it->second.first, right = it->second.second;
            for (++it; it != dirty_.end() && it->first == last + 1; ++it) {
                last = it->first;
                left = std::min(left, it->second.first);
                right = std::max(right, it->second.second);
            }
            Q_EMIT dataChanged(index(first, left), index(last, right));
        }
        dirty_.clear();
    }

private:
    void Mark(int row, int column) {
        auto [it, added] = dirty_.try_emplace(row, column, column);
        if (!added) {
            it->second.first = std::min(it->second.first, column);
            it->second.second = std::max(it->second.second, column);
        }
        if (flushQueued_) return;
        flushQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            flushQueued_ = false;
            Flush();
        });
    }

    platform::Grid& store_;
    std::map<int, std::pair<int, int>> dirty_;  // row -> first, last column written
    bool flushQueued_ = false;
};

// ---- Painting ----

namespace {

// Back colour, then the picture, then the text. A picture narrower than half the
// cell is an icon and the text starts after it; a wider one lies behind the text.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(Grid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        painter->setClipRect(option.rect);
        const int32_t back = index.data(Grid::kBackColorRole).toInt();
        painter->fillRect(option.rect,
                          back == kNoColor ? option.palette.base().color() : PaintedBack(back));
        QRect textRect = option.rect.adjusted(kTextGap, 0, -kTextGap, 0);
        const QPixmap picture = grid_.Picture(index.data(Grid::kPictureRole).toInt());
        if (!picture.isNull()) {
            const int32_t align = index.data(Grid::kPictureAlignmentRole).toInt();
            const QRect place = QStyle::alignedRect(Qt::LeftToRight, ToQtAlignment(align, {}),
                                                    picture.size(), option.rect);
            painter->drawPixmap(place.topLeft(), picture);
            if (picture.width() * 2 < option.rect.width())
                textRect.setLeft(place.right() + 1 + kTextGap);
        }
        const QVariant fore = index.data(Qt::ForegroundRole);
        painter->setPen(fore.isValid() ? fore.value<QColor>() : option.palette.text().color());
        painter->setFont(option.font);
        const auto align = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
        painter->drawText(textRect, static_cast<int>(align | Qt::TextSingleLine),
                          index.data(Qt::DisplayRole).toString());
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(QPen(option.palette.text().color(), 1, Qt::DotLine));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

private:
    Grid& grid_;
};

}  // namespace

// ---- View ----

Grid::Grid(platform::Grid& store, QWidget* parent)
    : QTableView(parent), store_(store), model_(new GridModel(store, this)) {
    setModel(model_);
    setItemDelegate(new GridDelegate(*this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab and Shift+Tab leave the grid like any control; the arrows move inside.
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionsMovable(false);
    ApplyWidths();

    feed_ = store_.Changed.Connect([this](const GridChange& c) { OnChange(c); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) {
                if (syncing_ || section < 0 || static_cast<size_t>(section) >= store_.Cols())
                    return;
                syncing_ = true;
                store_.setColWidth(static_cast<size_t>(section), ToTwipsX(size));
                syncing_ = false;
            });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                if (syncing_ || !current.isValid()) return;
                syncing_ = true;
                store_.setRow(static_cast<size_t>(current.row()) + 1);
                store_.setCol(static_cast<size_t>(current.column()));
                syncing_ = false;
            });
    ShowCurrent();
}

Grid::~Grid() {
    feed_.Disconnect();
}

void Grid::OnChange(const GridChange& c) {
    // Qt moves its current index off removed rows; that must not reach the store,
    // which takes no writes from its own feed.
    const bool announce = c.kind == Kind::AboutToInsert || c.kind == Kind::AboutToRemove ||
                          c.kind == Kind::AboutToReset;
    const bool saved = syncing_;
    if (announce) syncing_ = true;
    model_->OnChange(c);
    switch (c.kind) {
        case Kind::Inserted:
        case Kind::Removed:
        case Kind::Reset:
            syncing_ = false;
            if (c.kind == Kind::Reset) ApplyWidths();
            ShowCurrent();
            break;
        case Kind::Current:
            ShowCurrent();
            break;
        case Kind::ColumnWidth:
            if (!saved) ApplyWidth(c.column);
            break;
        case Kind::Refresh:
            viewport()->update();
            break;
        default:
            break;
    }
}

void Grid::ShowCurrent() {
    if (syncing_) return;
    syncing_ = true;
    if (store_.Row() >= 1 && store_.Row() < store_.Rows() && store_.Col() < store_.Cols()) {
        const QModelIndex index =
            model_->index(static_cast<int>(store_.Row()) - 1, static_cast<int>(store_.Col()));
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    } else {
        selectionModel()->clear();
    }
    syncing_ = false;
}

void Grid::ApplyWidth(size_t col) {
    const double width = store_.ColWidth(col);
    if (width < 0) return;
    const bool saved = syncing_;
    syncing_ = true;
    horizontalHeader()->resizeSection(static_cast<int>(col), ToPixelsX(width));
    syncing_ = saved;
}

void Grid::ApplyWidths() {
    for (size_t col = 0; col < store_.Cols(); ++col) ApplyWidth(col);
}

void Grid::setPicture(int32_t id, const QPixmap& picture) {
    pictures_[id] = picture;
    viewport()->update();
}

QPixmap Grid::Picture(int32_t id) const {
    if (id == 0) return {};
    auto it = pictures_.find(id);
    if (it == pictures_.end()) {
        // Looked up once: a missing or unreadable drawing stays a null picture.
        it = pictures_.emplace(id, QPixmap(QStringLiteral(":/grid/%1").arg(id))).first;
    }
    return it->second;
}

void Grid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    pressed_ = index;
    if (index.isValid()) {
        syncing_ = true;
        store_.setRow(static_cast<size_t>(index.row()) + 1);
        store_.setCol(static_cast<size_t>(index.column()));
        syncing_ = false;
        ShowCurrent();
    }
    int32_t button = 0;
    if (event->button() == Qt::LeftButton) button = 1;
    if (event->button() == Qt::RightButton) button = 2;
    if (event->button() == Qt::MiddleButton) button = 4;
    const QPoint p = viewport()->mapTo(this, event->position().toPoint());
    MouseDown(button, ShiftOf(event->modifiers()), ToTwipsX(p.x()), ToTwipsY(p.y()));
    // The handler may have moved the current cell on purpose; keep the view's
    // own press from moving it back.
    syncing_ = true;
    QTableView::mousePressEvent(event);
    syncing_ = false;
    ShowCurrent();
}

void Grid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    const bool sameCell = index.isValid() && index == pressed_;
    pressed_ = QPersistentModelIndex();
    if (sameCell) Click();
}

// Space and Enter are the handler's alone, once per press: the view would search
// the cells' texts for a blank, moving the current cell.
void Grid::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool own = enter || key == Qt::Key_Space;
    if (!(own && event->isAutoRepeat()))
        KeyDown(enter ? kKeyEnter : key, ShiftOf(event->modifiers()));
    if (own) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

int Grid::ToPixelsX(double twips) const {
    return TwipsToPixelsX(*this, twips);
}

double Grid::ToTwipsX(int pixels) const {
    return PixelsToTwipsX(*this, pixels);
}

double Grid::ToTwipsY(int pixels) const {
    return PixelsToTwipsY(*this, pixels);
}

}  // namespace platform::widgets
