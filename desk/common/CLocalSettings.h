#pragma once
// The desk's number convention: creating the one desk-wide object sets the
// process-wide separators ("." decimal, "," thousands, "/" date, ":" time; the
// machine's own locale is never touched) and reads the two number separators
// back; number texts written with them are then read as values. The settings
// stay in force after the object is gone.
#include <cstdint>
#include <string>

#include "general/common/CStringValues.h"

namespace OrbanexDesk {

class CLocalSettings {
public:
    // The separator items.
    static constexpr int32_t kDecimalItem = 14;
    static constexpr int32_t kThousandItem = 15;
    static constexpr int32_t kDateItem = 29;
    static constexpr int32_t kTimeItem = 30;

    // InitializeSystemVariables, then the decimal and thousands separators.
    CLocalSettings();

    const std::string& LocalDecimal() const { return localDecimal_; }
    const std::string& LocalThousand() const { return localThousand_; }

    // Sets the four separators of the desk's convention.
    void InitializeSystemVariables();
    // The separator in force for an item; 256 blanks for any other item.
    std::string GetSystemCharacter(int32_t item) const;
    // A numeric text without thousands separators and with "." as the decimal
    // point; "" for anything that is not numeric.
    std::string FormatStringAsNumber(const std::string& text) const;
    // The value of such a text; 0 when it is not numeric.
    double StringToNumber(const std::string& text) const;

private:
    OrbanelGeneral10::CStringValues values_;
    std::string localDecimal_;
    std::string localThousand_;
};

}  // namespace OrbanexDesk
