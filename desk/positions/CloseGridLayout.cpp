#include "desk/positions/CloseGridLayout.h"

#include <cmath>

namespace OrbanexDesk {

namespace {
constexpr double kWideGrid = 2500;
constexpr std::array<double, 4> kColumnShares{0.15, 0.40, 0.10, 0.35};
}  // namespace

void SetCloseGridCaptions(platform::Grid& grid) {
    for (size_t col = 0; col < kCloseGridCaptions.size(); ++col)
        grid.setTextMatrix(0, col, kCloseGridCaptions[col]);
}

void LayOutCloseColumns(platform::Grid& grid, double gridWidth) {
    if (gridWidth <= kWideGrid) return;
    for (size_t col = 0; col < kColumnShares.size(); ++col)
        grid.setColWidth(col, std::round(gridWidth * kColumnShares[col]));
}

}  // namespace OrbanexDesk
