#pragma once
// Whether the entry-order pane's Submit may be pressed: the typed prices meet the
// shown conditions strictly (and, for a position's stop-loss/take-profit, the
// amount does not exceed the position's). Texts are read as the number at their
// start; an empty stop-loss or take-profit always passes. Stateless.
#include <cstdint>
#include <string>

namespace OrbanexDesk {

struct EntryInputs {
    std::string PaneMode;
    std::string PositionSide;
    std::string EditAmount;
    int32_t typeIndex = -1;
    std::string txtatprice, txtsl, txttp, txtlimitorderammount;
    std::string lblpricecondition, lblslchanged, lbltpchanged;
};

class EntryInputCheck {
public:
    // True when Submit is to be enabled.
    static bool SubmitEnabled(const EntryInputs& in);

private:
    static bool EntryPasses(const EntryInputs& in);
    static bool PositionPasses(const EntryInputs& in);
    // Empty passes; otherwise the price lies strictly below (or above) the boundary.
    static bool Side(const std::string& price, const std::string& boundary, bool below);
};

}  // namespace OrbanexDesk
