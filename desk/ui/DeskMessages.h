#pragma once
// The desk's message calls: ShowMessage opens a box of its own for every
// message (the alert icon, one "OK"); notes go to the one default box; callers
// that wait for an answer get a new box. Nothing here waits for the operator.
#include <memory>
#include <string>

#include "desk/common/Ports.h"
#include "desk/ui/frmMsgBox.h"

namespace OrbanexDesk {

// The caption that stands for "Alert".
inline constexpr const char* kDefaultCaption = "##DEF##";

class DeskMessages : public IDeskMessages {
public:
    DeskMessages();
    ~DeskMessages() override;

    // Caption "##DEF##" shows as "Alert". Option has no effect.
    void ShowMessage(const std::string& Text, const std::string& Caption, bool Option) override;
    // On the default box.
    void GeneralNoteMsg(const std::string& Text) override;
    // ShowMessage's box with the caption as given.
    void SystemMessage(const std::string& Text, const std::string& Caption) override;
    std::shared_ptr<IfrmMsgBox> NewMsgBox() override;

    frmMsgBox& DefaultBox() { return *default_; }
    // The box of the last ShowMessage or SystemMessage while it is open (tests,
    // screenshots); nullptr otherwise.
    std::shared_ptr<frmMsgBox> LastShown() const { return lastShown_.lock(); }

private:
    std::shared_ptr<frmMsgBox> default_;
    std::weak_ptr<frmMsgBox> lastShown_;
};

}  // namespace OrbanexDesk
