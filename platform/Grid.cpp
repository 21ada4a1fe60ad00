#include "platform/Grid.h"

#include <algorithm>

#include "runtime/Error.h"

namespace platform {

namespace {
using Kind = GridChange::Kind;
using Role = GridChange::Role;
constexpr double kDefaultWidth = -1;
}  // namespace

Grid::Grid(size_t rows, size_t cols)
    : cols_(cols), cells_(rows, std::vector<GridCell>(cols)), widths_(cols, kDefaultWidth) {}

// ---- Checks and notices ----

void Grid::CheckRow(size_t row) const {
    if (row >= cells_.size()) throw runtime::Error(grid_errc::InvalidRow, "Invalid Row value");
}

void Grid::CheckCol(size_t col) const {
    if (col >= cols_) throw runtime::Error(grid_errc::InvalidColumn, "Invalid Col value");
}

void Grid::Emit(Kind kind, size_t first, size_t last, size_t column) {
    if (redraw_) Changed(GridChange{kind, first, last, column, Role::Text});
}

void Grid::Notify(size_t row, size_t col, Role role) {
    if (redraw_) Changed(GridChange{Kind::Cell, row, row, col, role});
}

// ---- Shape ----

void Grid::setRows(size_t rows) {
    const size_t old = cells_.size();
    if (rows == old) return;
    if (rows > old) {
        Emit(Kind::AboutToInsert, old, rows - 1);
        cells_.resize(rows, std::vector<GridCell>(cols_));
        Emit(Kind::Inserted, old, rows - 1);
        return;
    }
    Emit(Kind::AboutToRemove, rows, old - 1);
    cells_.resize(rows);
    if (row_ >= rows) row_ = rows == 0 ? 0 : rows - 1;
    Emit(Kind::Removed, rows, old - 1);
}

void Grid::setCols(size_t cols) {
    if (cols == cols_) return;
    Emit(Kind::AboutToReset);
    cols_ = cols;
    for (auto& row : cells_) row.resize(cols);
    widths_.resize(cols, kDefaultWidth);
    if (col_ >= cols) col_ = cols == 0 ? 0 : cols - 1;
    Emit(Kind::Reset);
}

void Grid::setRow(size_t row) {
    CheckRow(row);
    if (row == row_) return;
    row_ = row;
    Emit(Kind::Current, row_, row_, col_);
}

void Grid::setCol(size_t col) {
    CheckCol(col);
    if (col == col_) return;
    col_ = col;
    Emit(Kind::Current, row_, row_, col_);
}

void Grid::AddItem(std::string_view text, size_t index) {
    if (index > cells_.size()) throw runtime::Error(grid_errc::InvalidRow, "Invalid Row value");
    std::vector<GridCell> row(cols_);
    for (size_t col = 0; col < cols_; ++col) {
        const size_t tab = text.find('\t');
        row[col].text = text.substr(0, tab);
        if (tab == std::string_view::npos) break;
        text.remove_prefix(tab + 1);
    }
    Emit(Kind::AboutToInsert, index, index);
    cells_.insert(cells_.begin() + static_cast<std::ptrdiff_t>(index), std::move(row));
    Emit(Kind::Inserted, index, index);
}

void Grid::Clear() {
    Emit(Kind::AboutToReset);
    for (auto& row : cells_) std::fill(row.begin(), row.end(), GridCell{});
    Emit(Kind::Reset);
}

// ---- Cells ----

const GridCell& Grid::Cell(size_t row, size_t col) const {
    CheckRow(row);
    CheckCol(col);
    return cells_[row][col];
}

GridCell& Grid::Writable(size_t row, size_t col) {
    CheckRow(row);
    CheckCol(col);
    return cells_[row][col];
}

template <class T>
void Grid::Write(size_t row, size_t col, T GridCell::*member, T value, Role role) {
    T& slot = Writable(row, col).*member;
    if (slot == value) return;
    slot = std::move(value);
    Notify(row, col, role);
}

void Grid::setTextMatrix(size_t row, size_t col, std::string_view text) {
    std::string& slot = Writable(row, col).text;
    if (slot == text) return;
    slot.assign(text);
    Notify(row, col, Role::Text);
}

void Grid::setCellBackColor(size_t row, size_t col, int32_t color) {
    Write(row, col, &GridCell::backColor, color, Role::BackColor);
}
void Grid::setCellForeColor(size_t row, size_t col, int32_t color) {
    Write(row, col, &GridCell::foreColor, color, Role::ForeColor);
}
void Grid::setCellAlignment(size_t row, size_t col, int32_t alignment) {
    Write(row, col, &GridCell::alignment, alignment, Role::Alignment);
}
void Grid::setCellPicture(size_t row, size_t col, int32_t picture) {
    Write(row, col, &GridCell::picture, picture, Role::Picture);
}
void Grid::setCellPictureAlignment(size_t row, size_t col, int32_t alignment) {
    Write(row, col, &GridCell::pictureAlignment, alignment, Role::PictureAlignment);
}

// ---- Widths and painting ----

double Grid::ColWidth(size_t col) const {
    CheckCol(col);
    return widths_[col];
}

void Grid::setColWidth(size_t col, double width) {
    CheckCol(col);
    if (widths_[col] == width) return;
    widths_[col] = width;
    Emit(Kind::ColumnWidth, 0, 0, col);
}

void Grid::setRedraw(bool on) {
    if (on == redraw_) return;
    if (!on) {
        Emit(Kind::AboutToReset);
        redraw_ = false;
        return;
    }
    redraw_ = true;
    Emit(Kind::Reset);
}

void Grid::Refresh() {
    Emit(Kind::Refresh);
}

}  // namespace platform
