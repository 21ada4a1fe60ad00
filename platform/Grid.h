#pragma once
// The headless grid store: rows and columns from 0 (row 0 is the fixed header),
// a current cell, and per cell a text, back and fore colour, alignment, picture
// and picture alignment. The desk keeps state in cells (a check mark is a back
// colour), so the store is the one copy and a view only mirrors it.
// A Qt model adapter follows the change feed: inserts, removals and resets are
// announced before the store changes and confirmed after; every cell write that
// changes something gives one notice, a write of the same value none. Handlers of
// the feed must not change the store. While Redraw is off the feed announces one
// reset at the start and confirms it when Redraw is on again, and is silent between.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Event.h"

namespace platform {

namespace grid_errc {
constexpr int32_t InvalidRow = 30009;
constexpr int32_t InvalidColumn = 30010;
}  // namespace grid_errc

// Colours are 0xBBGGRR; a cell never given one holds kNoColor (the view's own).
constexpr int32_t kNoColor = -1;
// Alignments as the desk numbers them: 0 left top, 1 left centre, 2 left bottom,
// 3-5 centre, 6-8 right (top, centre, bottom), 9 general (text left, numbers right).
constexpr int32_t kAlignGeneral = 9;

struct GridChange {
    enum class Kind {
        AboutToInsert,  // first..last = the new rows' indexes
        Inserted,
        AboutToRemove,  // first..last = the rows going away
        Removed,
        AboutToReset,  // Clear, a column count change, Redraw off
        Reset,
        Cell,         // first = row, column, role
        Current,      // the current cell moved
        ColumnWidth,  // column
        Refresh,      // a repaint after bulk changes
    };
    enum class Role { Text, BackColor, ForeColor, Alignment, Picture, PictureAlignment };
    Kind kind;
    size_t first = 0;
    size_t last = 0;
    size_t column = 0;
    Role role = Role::Text;
};

struct GridCell {
    std::string text;
    int32_t backColor = kNoColor;
    int32_t foreColor = kNoColor;
    int32_t alignment = kAlignGeneral;
    int32_t picture = 0;  // a picture id; 0 = none
    int32_t pictureAlignment = 0;
};

class Grid {
public:
    explicit Grid(size_t rows = 2, size_t cols = 2);
    Grid(const Grid&) = delete;
    Grid& operator=(const Grid&) = delete;

    size_t Rows() const { return cells_.size(); }
    // Blank rows are appended or the last rows dropped; the current row stays in range.
    void setRows(size_t rows);
    size_t Cols() const { return cols_; }
    void setCols(size_t cols);

    // The current cell. Raise 30009/30010 outside the grid.
    size_t Row() const { return row_; }
    void setRow(size_t row);
    size_t Col() const { return col_; }
    void setCol(size_t col);

    // Any cell; raise 30009/30010 outside the grid.
    const GridCell& Cell(size_t row, size_t col) const;
    const std::string& TextMatrix(size_t row, size_t col) const { return Cell(row, col).text; }
    void setTextMatrix(size_t row, size_t col, std::string_view text);
    void setCellBackColor(size_t row, size_t col, int32_t color);
    void setCellForeColor(size_t row, size_t col, int32_t color);
    void setCellAlignment(size_t row, size_t col, int32_t alignment);
    void setCellPicture(size_t row, size_t col, int32_t picture);
    void setCellPictureAlignment(size_t row, size_t col, int32_t alignment);

    // The current cell's look, as the desk's forms address it.
    const std::string& Text() const { return TextMatrix(row_, col_); }
    void setText(std::string_view text) { setTextMatrix(row_, col_, text); }
    int32_t CellBackColor() const { return Cell(row_, col_).backColor; }
    void setCellBackColor(int32_t color) { setCellBackColor(row_, col_, color); }
    int32_t CellForeColor() const { return Cell(row_, col_).foreColor; }
    void setCellForeColor(int32_t color) { setCellForeColor(row_, col_, color); }
    int32_t CellAlignment() const { return Cell(row_, col_).alignment; }
    void setCellAlignment(int32_t alignment) { setCellAlignment(row_, col_, alignment); }
    int32_t CellPicture() const { return Cell(row_, col_).picture; }
    void setCellPicture(int32_t picture) { setCellPicture(row_, col_, picture); }
    int32_t CellPictureAlignment() const { return Cell(row_, col_).pictureAlignment; }
    void setCellPictureAlignment(int32_t a) { setCellPictureAlignment(row_, col_, a); }

    // Inserts a row at `index` (0..Rows); `text` fills its cells from column 0,
    // split on tabs. Raises 30009 for an index past the end.
    void AddItem(std::string_view text, size_t index);
    void AddItem(std::string_view text) { AddItem(text, Rows()); }
    // Every cell back to blank; rows, columns and widths stay.
    void Clear();

    // Column widths in twips; -1 = the view's default.
    double ColWidth(size_t col) const;
    void setColWidth(size_t col, double width);

    bool Redraw() const { return redraw_; }
    void setRedraw(bool on);
    void Refresh();

    runtime::Event<const GridChange&> Changed;

private:
    GridCell& Writable(size_t row, size_t col);
    void CheckRow(size_t row) const;
    void CheckCol(size_t col) const;
    void Emit(GridChange::Kind kind, size_t first = 0, size_t last = 0, size_t column = 0);
    void Notify(size_t row, size_t col, GridChange::Role role);
    template <class T>
    void Write(size_t row, size_t col, T GridCell::*member, T value, GridChange::Role role);

    size_t cols_;
    std::vector<std::vector<GridCell>> cells_;
    std::vector<double> widths_;
    size_t row_ = 0;
    size_t col_ = 0;
    bool redraw_ = true;
};

}  // namespace platform
