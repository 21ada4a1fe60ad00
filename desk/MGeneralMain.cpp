#include "desk/MGeneralMain.h"

#include "desk/Placeholders.h"
#include "desk/common/PaneTable.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/shell/frmMdiNew.h"
#include "desk/ui/Culf.h"
#include "desk/ui/DeskMessages.h"
#include "desk/ui/DeskSound.h"
#include "desk/ui/frmPriceChanged.h"
#include "general/common/CFileProcess.h"
#include "general/common/CGenerals.h"
#include "general/common/MGenerals.h"

namespace OrbanexDesk {

namespace {
constexpr int32_t kStatusConnection = 100026;
constexpr int32_t kLabelButtonOn = 0xD2B54D;
constexpr int32_t kLabelButtonOff = 0x800000;
}  // namespace

MGeneral::MGeneral() = default;

MGeneral::~MGeneral() {
    End();
    OrbanelGeneral10::SetMessageNotifier(nullptr);
    shell_.reset();
    services_.reset();
    sound_.reset();
    messages_.reset();
    placeholders_.reset();
}

void MGeneral::Main() {
    culf_ = std::make_unique<Culf>();
    CreateDeskObjects();
    RegisterForms();
    shell_->Show(services_->State());
    ResetTradeViews();
    culf_->setDockFormLabelButtonOn(kLabelButtonOn);
    culf_->setDockFormLabelButtonOff(kLabelButtonOff);
    shell_->SelectPane(kPaneTrade);
    shell_->SelectPane(kPaneNewPosition);
}

void MGeneral::End() {
    if (services_) services_->ReleaseManagers();
}

void MGeneral::CreateDeskObjects() {
    // In their order; the string values live in the desk state.
    fileProcess_ = std::make_shared<OrbanelGeneral10::CFileProcess>();
    localSettings_ = std::make_unique<CLocalSettings>();
    generals_ = std::make_shared<OrbanelGeneral10::CGenerals>();
    placeholders_ = std::make_unique<Placeholders>([this] { return services_.get(); },
                                                   [this]() -> IShell* { return shell_.get(); });
    messages_ = std::make_unique<DeskMessages>();
    sound_ = std::make_unique<DeskSound>(
        [this]() -> IfrmMain* { return services_ ? services_->Ports().frmMain : nullptr; });
    shell_ = std::make_unique<frmMdiNew>();
    DeskPorts ports = placeholders_->Ports();
    ports.Sound = sound_.get();
    ports.Messages = messages_.get();
    ports.Shell = shell_.get();
    services_ = std::make_unique<DeskServices>(ports, CClientAPIManagers::Factory());
}

void MGeneral::RegisterForms() {
    for (const PaneRow& row : kPaneTable)
        shell_->RegisterPane(
            row.id, [id = row.id] { return Placeholders::MakeForm(id); },
            &placeholders_->View(row.id));
    for (auto [id, form] : placeholders_->RealForms())
        shell_->RegisterPane(
            id, [form] { return form; }, &placeholders_->View(id));
    services_->setPriceChangedFactory(frmPriceChanged::Factory());
    OrbanelGeneral10::SetMessageNotifier([this](const std::string& text) {
        if (messages_) messages_->ShowMessage(text, kDefaultCaption, false);
    });
}

void MGeneral::ResetTradeViews() {
    services_->State().SummaryTotals.fill(0);
    shell_->setStatusPaneText(kStatusConnection, "Disconnected");
}

}  // namespace OrbanexDesk
