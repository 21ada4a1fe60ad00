#pragma once
// One result row of the server protocol: its cells joined by "R,@". Building
// (NewRow, AddCell, RowVal) and splitting (Add, Count, Item) are independent.
#include <cstdint>
#include <string>
#include <string_view>

#include "general/common/ISafeObject.h"
#include "platform/StringList.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

inline constexpr std::string_view kCellDelimiter = "R,@";

// Appends one cell to a row value: a Null row takes the cell itself (so a Null
// first cell leaves the row Null); otherwise row & delimiter & cell, with a
// Null cell written as the empty text.
void AppendRowCell(runtime::Variant& row, const runtime::Variant& cell, std::string_view delimiter);

class CRow : public ISafeObject {
public:
    CRow() = default;

    // Cells := vStrings cut at every delimiter, empty cells kept; the empty
    // text gives no cells.
    void Add(std::string_view vStrings);
    // Raises runtime::Error(9) before any Add.
    int32_t Count() const;
    // Cell Index from 1; raises runtime::Error(9) outside 1..Count.
    std::string Item(int32_t Index) const;

    void NewRow() { row_ = runtime::Null; }
    void AddCell(const runtime::Variant& CellVal) { AppendRowCell(row_, CellVal, delimiter_); }
    const std::string& Delimiter() const { return delimiter_; }
    void setDelimiter(std::string_view delimiter) { delimiter_ = delimiter; }
    // Null until a non-Null first cell is added.
    const runtime::Variant& RowVal() const { return row_; }

    // The row holds no other objects.
    void Deallocate() override {}

private:
    std::string delimiter_{kCellDelimiter};
    runtime::Variant row_{runtime::Null};
    platform::StringList cells_;
    bool split_ = false;    // Add was called
    bool noCells_ = false;  // the last Add was given the empty text
};

}  // namespace OrbanelGeneral10
