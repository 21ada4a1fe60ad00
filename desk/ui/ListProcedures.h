#pragma once
// Column widths of a shown list: the percentages of its present width (twips),
// applied to the store and the view's header alike.
#include <string>

#include "desk/common/DeskProcedures.h"
#include "platform/widgets/ListView.h"

namespace OrbanexDesk {

// The list's width in twips (its viewport's, where the columns live).
double ListWidthTwips(const platform::widgets::ListView& List);
// Applies the percentages now and again on every later change of the list's
// width, with the text of the latest call.
void ApplyColumnWidths(platform::widgets::ListView& List, const std::string& Widths,
                       ColumnPercentages* Cache = nullptr);
std::string GetColumnWidths(const platform::widgets::ListView& List);

}  // namespace OrbanexDesk
