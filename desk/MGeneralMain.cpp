#include "desk/MGeneralMain.h"

#include "desk/DeskForms.h"
#include "desk/accounts/frmMain.h"
#include "desk/common/DeskProcedures.h"
#include "desk/common/PaneTable.h"
#include "desk/common/ResetTradeViews.h"
#include "desk/orders/frmMW.h"
#include "desk/orders/frmlimitorder.h"
#include "desk/orders/frmorder.h"
#include "desk/positions/PositionForms.h"
#include "desk/positions/frmClosePos.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/sessions/DeleteManagedOrder.h"
#include "desk/sessions/TradeViewProcedures.h"
#include "desk/shell/CHTMLHELP.h"
#include "desk/shell/CQuestionBox.h"
#include "desk/shell/frmAlerts.h"
#include "desk/shell/frmHistory.h"
#include "desk/shell/frmMailbox.h"
#include "desk/shell/frmMdiNew.h"
#include "desk/ui/Culf.h"
#include "desk/ui/DeskMessages.h"
#include "desk/ui/DeskSound.h"
#include "desk/ui/frmMsgBox.h"
#include "desk/ui/frmPriceChanged.h"
#include "general/common/CFileProcess.h"
#include "general/common/CGenerals.h"
#include "general/common/MGenerals.h"
#include "platform/widgets/FramePacer.h"

namespace OrbanexDesk {

namespace {
constexpr int32_t kLabelButtonOn = 0xD2B54D;
constexpr int32_t kLabelButtonOff = 0x800000;
}  // namespace

MGeneral::MGeneral() = default;

MGeneral::~MGeneral() {
    End();
    OrbanelGeneral10::SetMessageNotifier(nullptr);
    shell_.reset();
    delete accounts_.data();
    services_.reset();
    sound_.reset();
    messages_.reset();
    forms_.reset();
}

void MGeneral::Main() {
    platform::widgets::InstallFramePacer();
    culf_ = std::make_unique<Culf>();
    CreateDeskObjects();
    RegisterForms();
    shell_->Show(services_->State());
    ResetTradeViews();
    accounts_->Core().LoadAccountInfoFile();
    culf_->setDockFormLabelButtonOn(kLabelButtonOn);
    culf_->setDockFormLabelButtonOff(kLabelButtonOff);
    if (auto* limit = dynamic_cast<frmlimitorder*>(ports_.frmlimitorder))
        limit->setLooks(culf_.get());
    shell_->SelectPane(kPaneTrade);
    shell_->SelectPane(kPaneNewPosition);
    help_ = std::make_unique<CHTMLHELP>();
    shell_->AddCommandHandler(kCmdGeneralHelp, [this] { ShowGeneralHelp(*help_); });
}

void MGeneral::End() {
    if (services_) services_->ReleaseManagers();
}

void MGeneral::CreateDeskObjects() {
    // In their order; the string values live in the desk state.
    fileProcess_ = std::make_shared<OrbanelGeneral10::CFileProcess>();
    localSettings_ = std::make_unique<CLocalSettings>();
    generals_ = std::make_shared<OrbanelGeneral10::CGenerals>();
    forms_ = std::make_unique<DeskForms>([this] { return services_.get(); },
                                         [this]() -> IShell* { return shell_.get(); });
    messages_ = std::make_unique<DeskMessages>();
    sound_ = std::make_unique<DeskSound>(
        [this]() -> IfrmMain* { return services_ ? services_->Ports().frmMain : nullptr; });
    shell_ = std::make_unique<frmMdiNew>();
    accounts_ = new frmMain([this] { return services_.get(); });
    accounts_->setWindowView(&forms_->View(kPaneAccountsList));
    closePos_ = std::make_unique<frmClosePos>(
        ports_, ClosePosGrid::Hooks{.ClosePositionForAccount =
                                        [this](int32_t ticket, double lots, int32_t account) {
                                            ClosePositionForAccount(*services_, ticket, lots,
                                                                    account);
                                        },
                                    .AskQuestion =
                                        [this](const std::string& message, int32_t type) {
                                            if (questionBox_) questionBox_->Show(message, type);
                                        }});
    marketWatch_ = std::make_unique<frmMW>(
        ports_,
        MarketWatch::Hooks{
            .clearFrmlimit =
                [this] {
                    if (auto* limit = dynamic_cast<frmlimitorder*>(ports_.frmlimitorder))
                        limit->clearFrmlimit();
                },
            .ShowMarketOrders = [this] { forms_->View(kPaneNewPosition).setDisplayed(true); },
            .SelectComboText = [](platform::ComboBox& combo,
                                  const std::string& text) { SelectComboText(combo, text); }});
    DeskPorts ports = forms_->Ports();
    ports.frmMain = accounts_.data();
    ports.frmaccount = &accounts_->AccountDialogPort();
    ports.Sound = sound_.get();
    ports.Messages = messages_.get();
    ports.Shell = shell_.get();
    ports.frmClosePos = closePos_.get();
    ports.frmMW = marketWatch_.get();
    ports_ = ports;
    services_ = std::make_unique<DeskServices>(ports, CClientAPIManagers::Factory());
    CreateQuestionBox();
    shell_->setDesk(services_.get());
    shell_->setQuestionBox(questionBox_.get());
}

void MGeneral::RegisterForms() {
    for (const PaneRow& row : kPaneTable)
        shell_->RegisterPane(
            row.id, [this, id = row.id] { return MakeForm(id); }, &forms_->View(row.id));
    for (auto [id, form] : forms_->RealForms())
        shell_->RegisterPane(
            id, [form = form] { return form; }, &forms_->View(id));
    services_->setPriceChangedFactory(frmPriceChanged::Factory());
    OrbanelGeneral10::SetMessageNotifier([this](const std::string& text) {
        if (messages_) messages_->ShowMessage(text, kDefaultCaption, false);
    });
}

QWidget* MGeneral::MakeForm(int32_t PaneID) {
    if (PaneID == kPaneAccountsList) {
        accounts_->Form_Load();
        return accounts_.data();
    }
    if (PaneID == kPaneClosePosition) return closePos_->MakeForm(culf_.get());
    if (PaneID == kPaneMarketWatch) return marketWatch_->MakeForm();
    // Known to the attaching step, though no pane is made for them.
    const auto barsBuilt = [this] { return shell_ && shell_->Loaded(); };
    if (PaneID == kPaneAlerts) return new frmAlerts(barsBuilt);
    if (PaneID == kPaneMailbox)
        return new frmMailbox([this]() -> IShell* { return shell_.get(); }, barsBuilt);
    if (PaneID == kPaneHistory) return new frmHistory(barsBuilt);
    return nullptr;
}

// The question box asks in a message box of its own, so a note shown meanwhile
// never takes its answer.
void MGeneral::CreateQuestionBox() {
    questionMsgBox_ = messages_->NewMsgBox();
    questionBox_ = std::make_unique<CQuestionBox>(
        services_->Ports(), services_->State(),
        CQuestionBox::Hooks{
            .GeneralQuestionMsg =
                [this](const std::string& text) { questionMsgBox_->GeneralQuestionMsg(text); },
            .HideMsgBox =
                [this] {
                    auto box = std::dynamic_pointer_cast<frmMsgBox>(questionMsgBox_);
                    if (QWidget* window = box ? box->Window() : nullptr) {
                        window->hide();
                        window->deleteLater();
                    }
                },
            .DeleteManagedOrder =
                [this](int32_t account, int32_t orderID) {
                    DeleteManagedOrder(*services_, account, orderID);
                }});
    questionAnswer_ = questionMsgBox_->ButtonPessed.Connect(
        [this](int32_t button) { questionBox_->m_oMsgBox_ButtonPessed(button); });
    if (auto* trade = dynamic_cast<frmTrade*>(services_->Ports().frmTrade)) {
        trade->AskQuestion = [this](const std::string& text, int32_t type) {
            questionBox_->Show(text, type);
        };
        trade->Looks = [this] { return culf_.get(); };
    }
    if (auto* order = dynamic_cast<frmorder*>(services_->Ports().frmorder))
        order->setLooks([this] { return culf_.get(); });
}

void MGeneral::ResetTradeViews() {
    OrbanexDesk::ResetTradeViews(*services_);
}

}  // namespace OrbanexDesk
