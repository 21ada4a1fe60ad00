#pragma once
// The table of a multi-row answer: text cells indexed (row, cell), both from 1.
#include <cstddef>
#include <string>
#include <vector>

#include "runtime/Error.h"

namespace KVClientDLL10 {

class ResultTable {
public:
    ResultTable() = default;
    ResultTable(size_t rows, size_t cells) : rows_(rows), cells_(cells), data_(rows * cells) {}

    size_t Rows() const { return rows_; }
    size_t Cells() const { return cells_; }
    bool Empty() const { return rows_ == 0 || cells_ == 0; }

    // Raises runtime::Error(9) outside 1..Rows, 1..Cells.
    const std::string& operator()(size_t row, size_t cell) const { return data_[Index(row, cell)]; }
    std::string& operator()(size_t row, size_t cell) { return data_[Index(row, cell)]; }

private:
    size_t Index(size_t row, size_t cell) const {
        if (row < 1 || row > rows_ || cell < 1 || cell > cells_)
            throw runtime::Error(runtime::errc::SubscriptOutOfRange);
        return (row - 1) * cells_ + (cell - 1);
    }

    size_t rows_ = 0;
    size_t cells_ = 0;
    std::vector<std::string> data_;
};

}  // namespace KVClientDLL10
