#include "desk/ui/DeskMessages.h"

namespace OrbanexDesk {

namespace {
constexpr const char* kAlertCaption = "Alert";
}  // namespace

DeskMessages::DeskMessages() : default_(frmMsgBox::Create()) {}

DeskMessages::~DeskMessages() = default;

void DeskMessages::ShowMessage(const std::string& Text, const std::string& Caption, bool Option) {
    std::shared_ptr<frmMsgBox> box = frmMsgBox::Create();
    box->MessageBox(Text, Caption == kDefaultCaption ? kAlertCaption : Caption,
                    frmMsgBox::kAlertIcon, runtime::Variant("OK"), runtime::Variant(runtime::Null),
                    Option);
    lastShown_ = box;
}

void DeskMessages::GeneralNoteMsg(const std::string& Text) {
    default_->GeneralNoteMsg(Text);
}

void DeskMessages::SystemMessage(const std::string& Text, const std::string& Caption) {
    std::shared_ptr<frmMsgBox> box = frmMsgBox::Create();
    box->MessageBox(Text, Caption, frmMsgBox::kAlertIcon, runtime::Variant("OK"),
                    runtime::Variant(runtime::Null), false);
    lastShown_ = box;
}

std::shared_ptr<IfrmMsgBox> DeskMessages::NewMsgBox() {
    return frmMsgBox::Create();
}

}  // namespace OrbanexDesk
