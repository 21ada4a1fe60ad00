#pragma once
// The contract of a data-entry window, for hosts that implement it.
#include <cstdint>
#include <optional>

#include "general/common/Enums.h"

namespace OrbanelGeneral10 {

class IInteractiveForm {
public:
    virtual ~IInteractiveForm() = default;

    virtual void ShowForm() = 0;
    virtual void HideForm() = 0;
    // Whether the user may perform vAction in this window.
    virtual bool SecureForm(TransactionTypeEnum vAction) = 0;
    // Locks or unlocks the window's input; with SpecificID only that element.
    virtual void Freeze(std::optional<int16_t> SpecificID) = 0;
    virtual void UnFreeze(std::optional<int16_t> SpecificID) = 0;
    // Checks the entered data.
    virtual void ValidateData() = 0;
    virtual FormPhaseEnum Phase() const = 0;
    virtual void setPhase(FormPhaseEnum value) = 0;
};

}  // namespace OrbanelGeneral10
