#pragma once
// The columns of the close-positions grid and of the grids laid out like it:
// their captions and how they share a grid's width. Qt-free.
#include <array>

#include "platform/Grid.h"

namespace OrbanexDesk {

inline constexpr std::array<const char*, 4> kCloseGridCaptions{"Account", "Status", "Amount",
                                                               "Action"};

// Row 0 gets the four captions.
void SetCloseGridCaptions(platform::Grid& grid);
// Over 2500 twips wide, the columns get 15, 40, 10 and 35 % of the width;
// narrower grids keep their widths.
void LayOutCloseColumns(platform::Grid& grid, double gridWidth);

}  // namespace OrbanexDesk
