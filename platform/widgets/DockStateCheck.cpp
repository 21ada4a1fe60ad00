#include "platform/widgets/DockStateCheck.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <set>
#include <string_view>
#include <vector>

namespace platform::widgets {

namespace {
// ---- The format ----

constexpr int32_t kVersionMarker = 0xff;
// Sections, in the order the window writes them: the dock areas once, the
// toolbars once (floating tab groups would stand between them).
constexpr uint8_t kDockAreasMarker = 0xfd;
constexpr uint8_t kToolBarsMarker = 0xfe;  // lines without floating places
constexpr uint8_t kToolBarsMarkerEx = 0xfc;
// Within an area: a split, a tab group, a pane.
constexpr uint8_t kSplitMarker = 0xfc;
constexpr uint8_t kTabsMarker = 0xfa;
constexpr uint8_t kPaneMarker = 0xfb;
constexpr uint8_t kPaneShown = 1, kPaneFloating = 2;
constexpr uint8_t kToolBarShown = 1, kToolBarVertical = 2;
constexpr int32_t kAreas = 4;
constexpr int32_t kHorizontal = 1, kVertical = 2;
constexpr int32_t kCornerAreas[] = {1, 2, 4, 8};  // left, right, top, bottom
// No window lays anything out farther or larger (its widgets' largest size).
constexpr int32_t kFarthest = 16777215;
// A floating toolbar's place in two numbers: the floating flag in the lowest
// bit, x (offset by kPackedOrigin) in 16 bits above it and the width in the 15
// bits above those; y (offset) and the height in 16 bits each.
constexpr uint32_t kPackedFloating = 1;
constexpr int32_t kPackedOrigin = 0x7fff;
constexpr uint32_t kPacked16 = 0xffff;
constexpr int32_t kPackedWidest = 0x7fff;  // the width keeps 15 bits
constexpr uint32_t kNullString = 0xffffffff;
// The fewest bytes of an item of a group (a pane: a marker, an empty name,
// flags, four numbers; a split takes more), a toolbar line (area, count) and a
// toolbar (an empty name, flags, four numbers).
constexpr qsizetype kSmallestItem = 1 + 4 + 1 + 16;
constexpr qsizetype kSmallestLine = 8;
constexpr qsizetype kSmallestToolBar = 4 + 1 + 16;

// ---- Reading ----

// Big-endian numbers, as the window's data stream writes them; every read stays
// inside the bytes and fails at their end. It reads them where they are: never
// a temporary.
class Reader {
public:
    explicit Reader(QByteArray&&) = delete;
    explicit Reader(const QByteArray& bytes)
        : at_(reinterpret_cast<const uint8_t*>(bytes.constData())),
          size_(bytes.size()),
          left_(bytes.size()) {}
    qsizetype Left() const { return left_; }
    qsizetype At() const { return size_ - left_; }
    bool Byte(uint8_t& value) {
        if (left_ < 1) return false;
        value = *at_;
        Skip(1);
        return true;
    }
    bool Int(int32_t& value) {
        if (left_ < 4) return false;
        value = static_cast<int32_t>(uint32_t{at_[0]} << 24 | uint32_t{at_[1]} << 16 |
                                     uint32_t{at_[2]} << 8 | uint32_t{at_[3]});
        Skip(4);
        return true;
    }
    // A number the window lays out with.
    bool Place(int32_t& value) { return Int(value) && value >= -kFarthest && value <= kFarthest; }
    bool Places(int count) {
        int32_t value = 0;
        for (int i = 0; i < count; ++i)
            if (!Place(value)) return false;
        return true;
    }
    bool Ints(int count) {
        int32_t value = 0;
        for (int i = 0; i < count; ++i)
            if (!Int(value)) return false;
        return true;
    }
    // A text: its length in bytes (or none), then UTF-16 code units.
    bool Text(std::string_view& text) {
        int32_t length = 0;
        if (!Int(length)) return false;
        text = {};
        if (static_cast<uint32_t>(length) == kNullString) return true;
        if (length < 0 || length % 2 != 0 || length > left_) return false;
        text = std::string_view(reinterpret_cast<const char*>(at_), length);
        Skip(length);
        return true;
    }
    // A count of items of at least `smallest` bytes each that the bytes left can hold.
    bool Count(int32_t& count, qsizetype smallest) {
        return Int(count) && count >= 0 && count <= left_ / smallest;
    }

private:
    void Skip(qsizetype bytes) {
        at_ += bytes;
        left_ -= bytes;
    }
    const uint8_t* at_;
    qsizetype size_;
    qsizetype left_;
};

// ---- The walk ----

class StateWalk {
public:
    explicit StateWalk(const QByteArray& state) : in_(state) {}
    bool Whole();
    // Where the floating toolbars' two packed numbers start.
    const std::vector<qsizetype>& FloatingToolBars() const { return floatingToolBars_; }

private:
    bool DockAreas();
    bool ToolBars(bool withPlaces);
    bool Group(int depth);
    bool Item(int depth);
    bool Pane();
    bool ToolBar(bool withPlaces);

    Reader in_;
    std::set<std::string_view> panes_;  // the names met, each once
    std::vector<qsizetype> floatingToolBars_;
};

bool StateWalk::Whole() {
    int32_t marker = 0, version = 0;
    uint8_t section = 0;
    if (!in_.Int(marker) || marker != kVersionMarker || !in_.Int(version)) return false;
    if (!in_.Byte(section) || section != kDockAreasMarker || !DockAreas()) return false;
    if (!in_.Byte(section)) return false;
    const bool toolBars = section == kToolBarsMarker || section == kToolBarsMarkerEx;
    return toolBars && ToolBars(section == kToolBarsMarkerEx) && in_.Left() == 0;
}

// The areas that hold panes, in the order of their numbers, then the middle's
// size and the four corners' areas.
bool StateWalk::DockAreas() {
    int32_t count = 0, area = -1;
    if (!in_.Int(count) || count < 0 || count > kAreas) return false;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t last = area;
        if (!in_.Int(area) || area <= last || area >= kAreas) return false;
        if (!in_.Places(2) || !Group(0)) return false;
    }
    if (!in_.Places(2)) return false;
    for (int corner = 0; corner < 4; ++corner) {
        int32_t value = 0;
        if (!in_.Int(value) || std::find(std::begin(kCornerAreas), std::end(kCornerAreas), value) ==
                                   std::end(kCornerAreas))
            return false;
    }
    return true;
}

// A split or tab group: its panes and the splits within it.
bool StateWalk::Group(int depth) {
    uint8_t marker = 0, orientation = 0;
    int32_t front = -1, count = 0;
    if (depth > kDeepestNesting || !in_.Byte(marker)) return false;
    if (marker != kSplitMarker && (marker != kTabsMarker || !in_.Int(front))) return false;
    if (!in_.Byte(orientation) || (orientation != kHorizontal && orientation != kVertical))
        return false;
    if (!in_.Count(count, kSmallestItem) || front < -1 || front >= count) return false;
    for (int32_t i = 0; i < count; ++i)
        if (!Item(depth)) return false;
    return true;
}

bool StateWalk::Item(int depth) {
    uint8_t marker = 0;
    if (!in_.Byte(marker)) return false;
    if (marker == kPaneMarker) return Pane();
    // Its place and size, then the minimum and maximum that the window works out anew.
    return marker == kSplitMarker && in_.Places(2) && in_.Ints(2) && Group(depth + 1);
}

// A pane docked (its place and size, then its minimum and maximum, which the
// window works out anew) or floating (its window's rectangle).
bool StateWalk::Pane() {
    std::string_view name;
    uint8_t flags = 0;
    if (!in_.Text(name) || !in_.Byte(flags) || (flags & ~(kPaneShown | kPaneFloating)) != 0)
        return false;
    if (!name.empty() && !panes_.insert(name).second) return false;
    if (flags & kPaneFloating) {
        int32_t x = 0, y = 0, width = 0, height = 0;
        return in_.Place(x) && in_.Place(y) && in_.Place(width) && in_.Place(height) &&
               width >= 0 && height >= 0;
    }
    return in_.Places(2) && in_.Ints(2);
}

bool StateWalk::ToolBars(bool withPlaces) {
    int32_t lines = 0;
    if (!in_.Count(lines, kSmallestLine)) return false;
    for (int32_t line = 0; line < lines; ++line) {
        int32_t area = 0, count = 0;
        if (!in_.Int(area) || area < 0 || area >= kAreas) return false;
        if (!in_.Count(count, kSmallestToolBar - (withPlaces ? 0 : 4))) return false;
        for (int32_t i = 0; i < count; ++i)
            if (!ToolBar(withPlaces)) return false;
    }
    return true;
}

// Its name, shown and vertical flags, place and size, and its floating
// rectangle packed in one or two numbers.
bool StateWalk::ToolBar(bool withPlaces) {
    std::string_view name;
    uint8_t flags = 0;
    int32_t packed = 0, sizes = 0;
    if (!in_.Text(name) || !in_.Byte(flags) || (flags & ~(kToolBarShown | kToolBarVertical)) != 0)
        return false;
    if (!in_.Places(2)) return false;
    const qsizetype at = in_.At();
    if (!in_.Int(packed)) return false;
    if (!withPlaces) return true;  // the window takes no rectangle from this form
    if (!in_.Int(sizes)) return false;
    if (static_cast<uint32_t>(packed) & kPackedFloating) floatingToolBars_.push_back(at);
    return true;
}

// ---- Floating toolbars ----

QRect PlaceAt(const QByteArray& state, qsizetype at) {
    const QByteArray place = state.sliced(at, 8);
    Reader in(place);
    int32_t packed = 0, sizes = 0;
    in.Int(packed);
    in.Int(sizes);
    const auto x = uint32_t(packed), y = uint32_t(sizes);
    return QRect(int((x >> 1) & kPacked16) - kPackedOrigin, int(y & kPacked16) - kPackedOrigin,
                 int(x >> 17), int(y >> 16));
}

void WritePacked(QByteArray& state, qsizetype at, uint32_t value) {
    for (int i = 0; i < 4; ++i) state[at + i] = char(value >> (24 - 8 * i));
}

uint32_t PackedOffset(int value) {
    return uint32_t(std::clamp(value + kPackedOrigin, 0, int(kPacked16)));
}

// On the screen it overlaps most (else the first), within that screen's size.
QRect OntoAScreen(const QRect& bar, const QList<QRect>& screens) {
    const QRect* best = &screens.first();
    qint64 most = 0;
    for (const QRect& screen : screens) {
        const QRect common = screen & bar;
        const qint64 area = qint64(common.width()) * common.height();
        if (area > most) {
            most = area;
            best = &screen;
        }
    }
    const QRect& screen = *best;
    // A side of nothing is none the window takes: with both, it keeps the size the
    // toolbar had docked, however long; with one, it grows that side to the
    // toolbar's least. A pixel each way has it set the size and start on the screen.
    const QSize size = bar.size()
                           .expandedTo({1, 1})
                           .boundedTo(screen.size())
                           .boundedTo({kPackedWidest, kPacked16});
    const int x = std::clamp(bar.x(), screen.left(), screen.left() + screen.width() - size.width());
    const int y = std::clamp(bar.y(), screen.top(), screen.top() + screen.height() - size.height());
    return QRect(QPoint(x, y), size);
}

bool FitsTheScreens(const QRect& bar, const QList<QRect>& screens) {
    QSize largest;
    bool onScreen = false;
    for (const QRect& screen : screens) {
        largest = largest.expandedTo(screen.size());
        onScreen = onScreen || screen.intersects(bar);
    }
    return onScreen && largest.expandedTo(bar.size()) == largest;
}
}  // namespace

bool DockStateWhole(const QByteArray& state) {
    return StateWalk(state).Whole();
}

namespace {
std::optional<QByteArray> Fitted(const QByteArray& state, const QList<QRect>& screens) {
    StateWalk walk(state);
    if (!walk.Whole()) return std::nullopt;
    if (screens.isEmpty()) return state;
    QByteArray fitted = state;
    for (const qsizetype at : walk.FloatingToolBars()) {
        const QRect bar = PlaceAt(state, at);
        if (FitsTheScreens(bar, screens)) continue;
        const QRect onto = OntoAScreen(bar, screens);
        WritePacked(fitted, at,
                    uint32_t(onto.width()) << 17 | PackedOffset(onto.x()) << 1 | kPackedFloating);
        WritePacked(fitted, at + 4, uint32_t(onto.height()) << 16 | PackedOffset(onto.y()));
    }
    return fitted;
}
}  // namespace

QByteArray ToolBarsOnScreens(const QByteArray& state, const QList<QRect>& screens) {
    return Fitted(state, screens).value_or(state);
}

std::optional<QByteArray> ToolBarsOnScreens(const QByteArray& state) {
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    return Fitted(state, screens);
}

}  // namespace platform::widgets
