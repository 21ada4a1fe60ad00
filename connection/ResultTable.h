#pragma once
// The table of a multi-row answer: text cells indexed (row, cell), both from 1.
// Each row holds only the cells it was given, and a cell past a row's end but
// within Cells() reads empty, so a table costs what its rows hold, not Rows()
// times Cells() (the first row sets the width of a server's answer, the others
// may be far shorter).
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "runtime/Error.h"

namespace KVClientDLL10 {

class ResultTable {
public:
    ResultTable() = default;
    // `rows` rows, `cells` wide, every cell empty.
    ResultTable(size_t rows, size_t cells) : cells_(cells), rows_(rows) {}

    size_t Rows() const { return rows_.size(); }
    size_t Cells() const { return cells_; }
    bool Empty() const { return rows_.empty() || cells_ == 0; }

    // Raises runtime::Error(9) outside 1..Rows, 1..Cells.
    const std::string& operator()(size_t row, size_t cell) const {
        CheckCell(cell);
        const std::vector<std::string>& cells = RowAt(row);
        return cell <= cells.size() ? cells[cell - 1] : Blank();
    }
    // A cell past the row's end lengthens the row up to it.
    std::string& operator()(size_t row, size_t cell) {
        CheckCell(cell);
        std::vector<std::string>& cells = RowAt(row);
        if (cell > cells.size()) cells.resize(cell);
        return cells[cell - 1];
    }

    // Row `row` := `cells`; raises runtime::Error(9) when the row is outside
    // 1..Rows or `cells` is wider than Cells.
    void SetRow(size_t row, std::vector<std::string> cells) {
        std::vector<std::string>& into = RowAt(row);
        if (cells.size() > cells_) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
        into = std::move(cells);
    }

private:
    std::vector<std::string>& RowAt(size_t row) {
        CheckRow(row);
        return rows_[row - 1];
    }
    const std::vector<std::string>& RowAt(size_t row) const {
        CheckRow(row);
        return rows_[row - 1];
    }
    void CheckRow(size_t row) const {
        if (row < 1 || row > rows_.size()) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    }
    void CheckCell(size_t cell) const {
        if (cell < 1 || cell > cells_) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    }
    static const std::string& Blank() {
        static const std::string blank;
        return blank;
    }

    size_t cells_ = 0;
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace KVClientDLL10
