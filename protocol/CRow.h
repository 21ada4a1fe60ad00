#pragma once
// Builds row strings (cells joined by "R,@") and holds the string list with
// which a message object splits a row string into cells.
#include <string>

#include "general/common/CRow.h"
#include "platform/StringList.h"
#include "runtime/Variant.h"

namespace KVGeneralDLL10 {

class CRow {
public:
    CRow() { dartStrings_.SetDelimiter(OrbanelGeneral10::kCellDelimiter); }

    // The row splitter (delimiter "R,@").
    platform::StringList& DartStrings() { return dartStrings_; }
    const platform::StringList& DartStrings() const { return dartStrings_; }

    void NewRow() { row_ = runtime::Null; }
    void AddCell(const runtime::Variant& CellVal) {
        OrbanelGeneral10::AppendRowCell(row_, CellVal, OrbanelGeneral10::kCellDelimiter);
    }
    std::string CellDelimiter() const { return std::string(OrbanelGeneral10::kCellDelimiter); }
    // Null until a non-Null first cell is added.
    const runtime::Variant& RowVal() const { return row_; }

private:
    platform::StringList dartStrings_;
    runtime::Variant row_{runtime::Null};
};

}  // namespace KVGeneralDLL10
