#include "general/common/CRow.h"

#include "runtime/Error.h"

namespace OrbanelGeneral10 {

void AppendRowCell(runtime::Variant& row, const runtime::Variant& cell,
                   std::string_view delimiter) {
    if (row.IsNull()) {
        row = cell;
        return;
    }
    std::string text = row.ToString();
    text.append(delimiter);
    if (!cell.IsNull()) text.append(cell.ToString());
    row = runtime::Variant(std::move(text));
}

void CRow::Add(std::string_view vStrings) {
    split_ = true;
    noCells_ = vStrings.empty();
    cells_.SetDelimiter(delimiter_);
    if (noCells_) {
        cells_.Clear();
    } else {
        cells_.Load(vStrings, 0);
    }
}

int32_t CRow::Count() const {
    if (!split_) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    return noCells_ ? 0 : static_cast<int32_t>(cells_.Count());
}

std::string CRow::Item(int32_t Index) const {
    if (Index < 1 || Index > Count()) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    return cells_.Item(static_cast<size_t>(Index));
}

}  // namespace OrbanelGeneral10
