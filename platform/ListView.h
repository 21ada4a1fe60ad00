#pragma once
// The headless list-view store: the rows, keys, texts, check marks and cell looks
// that the desk's lists keep and read back. A Qt model adapter mirrors it through
// the change feed: inserts, removals and resets are announced before the store
// changes and confirmed after, and every visible cell write that changes something
// gives one notice. Handlers of the feed must not change the store.
// Row references stay valid until the row is removed or the list cleared.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/Event.h"

namespace platform {

namespace listview_errc {
constexpr int32_t IndexOutOfBounds = 35600;
constexpr int32_t ElementNotFound = 35601;
constexpr int32_t KeyNotUnique = 35602;
}  // namespace listview_errc

struct ListViewChange {
    enum class Kind {
        AboutToInsert,  // index = the new row's index
        Inserted,
        AboutToRemove,  // index = the row going away
        Removed,
        AboutToReset,  // Clear
        Reset,
        Cell,     // index, column (1 = item text), role
        Refresh,  // a repaint after bulk changes
    };
    enum class Role { Text, ForeColor, Bold, Checked, SmallIcon, Selected };
    Kind kind;
    size_t index = 0;
    size_t column = 0;
    Role role = Role::Text;
};

class ListView;

class ListItem {
public:
    const std::string& Key() const { return key_; }
    size_t Index() const;

    // Column 1.
    const std::string& Text() const { return Cell(1).text; }
    void setText(std::string_view text) { SetCellText(1, text); }

    // Sub-item i is column i + 1; reading one never written gives "".
    // Raises 35600 for i = 0.
    std::string SubItems(size_t i) const;
    void setSubItems(size_t i, std::string_view text);
    // SubItems without a copy: valid until the cell is next written.
    const std::string& SubItemText(size_t i) const;
    // A hint that column `column`'s cell is read soon (a list of thousands of rows
    // rewritten in a known order); no effect otherwise.
    void PrefetchCell(size_t column) const {
        if (column - 1 < cells_.size()) __builtin_prefetch(&cells_[column - 1]);
    }
    size_t SubItemCount() const { return cells_.size() - 1; }

    // Item looks (column 1) and each sub-item's; colours are RGB with red in the low byte.
    int32_t ForeColor() const { return Cell(1).foreColor; }
    void setForeColor(int32_t color);
    bool Bold() const { return Cell(1).bold; }
    void setBold(bool bold);
    int32_t SubItemForeColor(size_t i) const;
    void setSubItemForeColor(size_t i, int32_t color);
    bool SubItemBold(size_t i) const;
    void setSubItemBold(size_t i, bool bold);

    bool Checked() const { return checked_; }
    void setChecked(bool checked);
    bool Selected() const { return selected_; }
    // Selects this row and deselects the previous one (single selection).
    void setSelected(bool selected);
    int32_t SmallIcon() const { return smallIcon_; }
    void setSmallIcon(int32_t icon);
    const std::string& Tag() const { return tag_; }
    void setTag(std::string_view tag) { tag_ = tag; }
    // A number the list's keeper holds with the row (0 until set): where its own
    // record of the row is, found without a look-up when the row's cells change.
    int64_t KeeperData() const { return keeperData_; }
    void setKeeperData(int64_t value) { keeperData_ = value; }

private:
    friend class ListView;
    struct CellData {
        std::string text;
        int32_t foreColor = 0;
        bool bold = false;
    };
    ListItem(ListView* owner, std::string key, std::string text, int32_t smallIcon);
    const CellData& Cell(size_t column) const;
    CellData& WritableCell(size_t column);
    static size_t SubColumn(size_t i);
    void SetCellText(size_t column, std::string_view text);
    void Notify(size_t column, ListViewChange::Role role) const;

    ListView* owner_;
    std::string key_;
    int64_t ordinal_ = 0;          // Index() = ordinal_ - the list's base + 1
    std::vector<CellData> cells_;  // cells_[0] is column 1
    bool checked_ = false;
    bool selected_ = false;
    int32_t smallIcon_ = 0;
    std::string tag_;
    int64_t keeperData_ = 0;
};

class ListView {
public:
    ListView() = default;
    ListView(const ListView&) = delete;
    ListView& operator=(const ListView&) = delete;

    // Appends a row; raises 35602 when the key is present (compared exactly).
    ListItem& Add(std::string_view key, std::string_view text, int32_t smallIcon = 0);
    // Inserts a row without a key at `index` (1..Count + 1; else 35600): O(1) at the
    // top and at the end. Find never returns a keyless row; Key() reads "".
    ListItem& Insert(size_t index, std::string_view text, int32_t smallIcon = 0);
    size_t Count() const { return rows_.size(); }
    // Raises 35600 outside 1..Count.
    ListItem& Item(size_t index) const;
    // Raises 35601 for a key not present.
    ListItem& Item(std::string_view key) const;
    // The row with that key, or nullptr.
    ListItem* Find(std::string_view key) const;
    // The first row whose item text equals `text`, or nullptr.
    ListItem* FindItem(std::string_view text) const;
    // Raise as Item does; later rows shift down by one.
    void Remove(size_t index);
    void Remove(std::string_view key);
    void Clear();
    void Refresh();
    // The selected row, or nullptr.
    ListItem* SelectedItem() const { return selected_; }
    // Changes with every row added, inserted or removed: a row (or its absence)
    // found while it stays the same is still there, so a caller may keep it.
    uint64_t Generation() const { return generation_; }

    // Column headers: widths in the container's units.
    void AddColumn(std::string_view text, double width);
    size_t ColumnCount() const { return columns_.size(); }
    const std::string& ColumnText(size_t i) const { return Column(i).text; }
    double ColumnWidth(size_t i) const { return Column(i).width; }
    void setColumnWidth(size_t i, double width) { Column(i).width = width; }
    double ColumnLeft(size_t i) const;

    runtime::Event<const ListViewChange&> Changed;

private:
    friend class ListItem;
    struct ColumnData {
        std::string text;
        double width = 0;
    };
    const ColumnData& Column(size_t i) const;
    ColumnData& Column(size_t i);
    void Emit(ListViewChange::Kind kind, size_t index = 0);
    void Select(ListItem* item);
    void Renumber(size_t from);

    std::deque<std::unique_ptr<ListItem>> rows_;
    uint64_t generation_ = 0;
    // The ordinal of row 1: lowered by an insertion at the top, raised by a removal there.
    int64_t base_ = 0;
    // Looked up by string_view without building a key: the sessions find rows on every quote.
    struct KeyHash {
        using is_transparent = void;
        size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
    };
    std::unordered_map<std::string, ListItem*, KeyHash, std::equal_to<>> byKey_;
    ListItem* selected_ = nullptr;
    std::vector<ColumnData> columns_;
};

}  // namespace platform
