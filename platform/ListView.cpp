#include "platform/ListView.h"

#include "runtime/Error.h"

namespace platform {

namespace {
using Kind = ListViewChange::Kind;
using Role = ListViewChange::Role;

[[noreturn]] void Raise(int32_t number) {
    static const char* const kTexts[] = {"Index out of bounds", "Element not found",
                                         "Key is not unique in collection"};
    throw runtime::Error(number, kTexts[number - listview_errc::IndexOutOfBounds]);
}
}  // namespace

// ---- ListItem ----

ListItem::ListItem(ListView* owner, std::string key, std::string text, int32_t smallIcon)
    : owner_(owner), key_(std::move(key)), cells_(1), smallIcon_(smallIcon) {
    cells_[0].text = std::move(text);
}

const ListItem::CellData& ListItem::Cell(size_t column) const {
    static const CellData kBlank;
    return column <= cells_.size() ? cells_[column - 1] : kBlank;
}

ListItem::CellData& ListItem::WritableCell(size_t column) {
    if (column > cells_.size()) cells_.resize(column);
    return cells_[column - 1];
}

size_t ListItem::SubColumn(size_t i) {
    if (i == 0) Raise(listview_errc::IndexOutOfBounds);
    return i + 1;
}

size_t ListItem::Index() const {
    return static_cast<size_t>(ordinal_ - owner_->base_) + 1;
}

void ListItem::Notify(size_t column, Role role) const {
    owner_->Changed(ListViewChange{Kind::Cell, Index(), column, role});
}

void ListItem::SetCellText(size_t column, std::string_view text) {
    if (column <= cells_.size() && cells_[column - 1].text == text) return;
    WritableCell(column).text = text;
    Notify(column, Role::Text);
}

std::string ListItem::SubItems(size_t i) const {
    return Cell(SubColumn(i)).text;
}
const std::string& ListItem::SubItemText(size_t i) const {
    return Cell(SubColumn(i)).text;
}
void ListItem::setSubItems(size_t i, std::string_view text) {
    SetCellText(SubColumn(i), text);
}

void ListItem::setForeColor(int32_t color) {
    if (cells_[0].foreColor == color) return;
    cells_[0].foreColor = color;
    Notify(1, Role::ForeColor);
}

void ListItem::setBold(bool bold) {
    if (cells_[0].bold == bold) return;
    cells_[0].bold = bold;
    Notify(1, Role::Bold);
}

int32_t ListItem::SubItemForeColor(size_t i) const {
    return Cell(SubColumn(i)).foreColor;
}

void ListItem::setSubItemForeColor(size_t i, int32_t color) {
    const size_t column = SubColumn(i);
    if (Cell(column).foreColor == color) return;
    WritableCell(column).foreColor = color;
    Notify(column, Role::ForeColor);
}

bool ListItem::SubItemBold(size_t i) const {
    return Cell(SubColumn(i)).bold;
}

void ListItem::setSubItemBold(size_t i, bool bold) {
    const size_t column = SubColumn(i);
    if (Cell(column).bold == bold) return;
    WritableCell(column).bold = bold;
    Notify(column, Role::Bold);
}

void ListItem::setChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    Notify(1, Role::Checked);
}

void ListItem::setSelected(bool selected) {
    if (selected_ == selected) return;
    owner_->Select(selected ? this : nullptr);
}

void ListItem::setSmallIcon(int32_t icon) {
    if (smallIcon_ == icon) return;
    smallIcon_ = icon;
    Notify(1, Role::SmallIcon);
}

// ---- ListView: rows ----

ListItem& ListView::Add(std::string_view key, std::string_view text, int32_t smallIcon) {
    std::string k(key);
    if (byKey_.count(k)) Raise(listview_errc::KeyNotUnique);
    const size_t index = rows_.size() + 1;
    Emit(Kind::AboutToInsert, index);
    rows_.push_back(std::unique_ptr<ListItem>(new ListItem(this, k, std::string(text), smallIcon)));
    ListItem* item = rows_.back().get();
    item->ordinal_ = base_ + static_cast<int64_t>(index) - 1;
    byKey_.emplace(std::move(k), item);
    Emit(Kind::Inserted, index);
    return *item;
}

ListItem& ListView::Insert(size_t index, std::string_view text, int32_t smallIcon) {
    if (index < 1 || index > rows_.size() + 1) Raise(listview_errc::IndexOutOfBounds);
    Emit(Kind::AboutToInsert, index);
    auto row = std::unique_ptr<ListItem>(new ListItem(this, "", std::string(text), smallIcon));
    ListItem* item = row.get();
    if (index == 1) {
        rows_.push_front(std::move(row));
        --base_;
        item->ordinal_ = base_;
    } else {
        rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(index - 1), std::move(row));
        Renumber(index - 1);
    }
    Emit(Kind::Inserted, index);
    return *item;
}

ListItem& ListView::Item(size_t index) const {
    if (index < 1 || index > rows_.size()) Raise(listview_errc::IndexOutOfBounds);
    return *rows_[index - 1];
}

ListItem& ListView::Item(std::string_view key) const {
    ListItem* item = Find(key);
    if (!item) Raise(listview_errc::ElementNotFound);
    return *item;
}

ListItem* ListView::Find(std::string_view key) const {
    auto it = byKey_.find(key);
    return it == byKey_.end() ? nullptr : it->second;
}

ListItem* ListView::FindItem(std::string_view text) const {
    for (const auto& row : rows_)
        if (row->Text() == text) return row.get();
    return nullptr;
}

void ListView::Remove(size_t index) {
    ListItem& item = Item(index);
    Emit(Kind::AboutToRemove, index);
    if (selected_ == &item) selected_ = nullptr;
    const auto keyed = byKey_.find(item.key_);
    if (keyed != byKey_.end() && keyed->second == &item) byKey_.erase(keyed);
    if (index == 1) {
        rows_.pop_front();
        ++base_;
    } else {
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index - 1));
        Renumber(index - 1);
    }
    Emit(Kind::Removed, index);
}

void ListView::Remove(std::string_view key) {
    Remove(Item(key).Index());
}

void ListView::Clear() {
    Emit(Kind::AboutToReset);
    selected_ = nullptr;
    byKey_.clear();
    rows_.clear();
    base_ = 0;
    Emit(Kind::Reset);
}

void ListView::Refresh() {
    Emit(Kind::Refresh);
}

void ListView::Renumber(size_t from) {
    for (size_t i = from; i < rows_.size(); ++i)
        rows_[i]->ordinal_ = base_ + static_cast<int64_t>(i);
}

void ListView::Select(ListItem* item) {
    ListItem* previous = selected_;
    selected_ = item;
    if (previous) {
        previous->selected_ = false;
        previous->Notify(0, Role::Selected);
    }
    if (item) {
        item->selected_ = true;
        item->Notify(0, Role::Selected);
    }
}

void ListView::Emit(Kind kind, size_t index) {
    if (kind == Kind::AboutToInsert || kind == Kind::AboutToRemove || kind == Kind::AboutToReset)
        ++generation_;
    Changed(ListViewChange{kind, index});
}

// ---- ListView: columns ----

void ListView::AddColumn(std::string_view text, double width) {
    columns_.push_back(ColumnData{std::string(text), width});
}

const ListView::ColumnData& ListView::Column(size_t i) const {
    if (i < 1 || i > columns_.size()) Raise(listview_errc::IndexOutOfBounds);
    return columns_[i - 1];
}

ListView::ColumnData& ListView::Column(size_t i) {
    if (i < 1 || i > columns_.size()) Raise(listview_errc::IndexOutOfBounds);
    return columns_[i - 1];
}

double ListView::ColumnLeft(size_t i) const {
    Column(i);
    double left = 0;
    for (size_t c = 0; c + 1 < i; ++c) left += columns_[c].width;
    return left;
}

}  // namespace platform
