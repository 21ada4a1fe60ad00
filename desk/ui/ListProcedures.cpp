#include "desk/ui/ListProcedures.h"

#include "desk/ui/WindowProcedures.h"

namespace OrbanexDesk {

double ListWidthTwips(const platform::widgets::ListView& List) {
    return PixelsToTwipsX(static_cast<float>(List.viewport()->width()));
}

namespace {
void Apply(platform::widgets::ListView& List, const std::string& Widths, ColumnPercentages* Cache) {
    const std::vector<double> widths =
        ColumnWidthsFor(ListWidthTwips(List), List.Store().ColumnCount(), Widths, Cache);
    for (size_t k = 0; k < widths.size(); ++k) List.setColumnWidth(k + 1, widths[k]);
}
}  // namespace

void ApplyColumnWidths(platform::widgets::ListView& List, const std::string& Widths,
                       ColumnPercentages* Cache) {
    Apply(List, Widths, Cache);
    // The form's own resize misses the list's later size changes: a pane shown
    // again lays its list out after the form, and scroll bars come and go.
    if (!List.HasWidthRule(Widths))
        List.setWidthRule(Widths, [&List, Widths, percentages = ColumnPercentages{}]() mutable {
            Apply(List, Widths, &percentages);
        });
}

std::string GetColumnWidths(const platform::widgets::ListView& List) {
    return GetColumnWidths(List.Store(), ListWidthTwips(List));
}

}  // namespace OrbanexDesk
