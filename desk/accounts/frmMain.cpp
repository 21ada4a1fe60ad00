#include "desk/accounts/frmMain.h"

#include <QLabel>
#include <QResizeEvent>
#include <cstdio>

#include "desk/accounts/frmAboutOrbanel.h"
#include "desk/accounts/frmSure.h"
#include "desk/accounts/frmaccount.h"

#include "desk/common/DeskServices.h"
#include "desk/common/OrderPaneProcedures.h"
#include "desk/common/PaneTable.h"
#include "desk/orders/EntryInputCheck.h"
#include "desk/orders/EntryResultTable.h"
#include "desk/positions/OrderDistribution.h"
#include "desk/sessions/CClientAPIManager.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/sessions/SessionLookups.h"
#include "desk/ui/ListProcedures.h"
#include "desk/ui/PopupKeys.h"
#include "platform/widgets/ListView.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"

namespace OrbanexDesk {

namespace {
constexpr const char* kNotice1 =
    "Note:- No guarantee to deliver your order to the server with the requested prices as "
    "this depends on your internet speed.";
constexpr const char* kNotice2 =
    "         - Trade will be made at  market prices not at the displayed prices.";
constexpr const char* kCaptions[] = {
    "Index",  "Username", "Connection Status ", "Account",      "Notes",      "Balance", "Flt P/L",
    "Credit", "Equity",   "Used Margin",        "Margin Level", "Free Margin"};
constexpr double kInitialColumnWidth = 1200;
constexpr int32_t kDisconnect = 100019;
constexpr int32_t kRemove = 100020;
constexpr int32_t kLogoutAll = 100033;
constexpr int32_t kAddAccounts = 100057;
constexpr int32_t kLoginAll = 100032;
constexpr int32_t kRemoveAll = 100034;
constexpr int32_t kSaveAs = 100006;
constexpr int32_t kLoad = 100007;
constexpr int32_t kAbout = 100010;

QLabel* Notice(const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setStyleSheet("color: red;");
    return label;
}
}  // namespace

frmMain::frmMain(std::function<DeskServices*()> services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
    setObjectName("frmMain");
    labelinfo1_ = Notice(kNotice1, this);
    labelinfo2_ = Notice(kNotice2, this);
    view_ = new platform::widgets::ListView(rows_, this);
    view_->setObjectName("lvwClients");
    for (const char* caption : kCaptions) view_->AddColumn(caption, kInitialColumnWidth);
    tick_ = timer_.Tick.Connect([this] { soundAllowed_ = true; });
    dblClick_ = view_->DblClick.Connect([this] { lvwClients_DblClick(); });
    mouseDown_ = view_->MouseDown.Connect(
        [this](int32_t button, int32_t, double, double) { lvwClients_MouseDown(button); });
    mouseUp_ =
        view_->MouseUp.Connect([this](int32_t, int32_t, double, double) { lvwClients_MouseUp(); });
    // The keys open the popup as the right button's release does.
    PopupKeys::Install(*view_, [this] { ShowAccountsPopup(true); });
    chosen_ = chooser_.Chosen.Connect([this](const std::string& path) { ListChosen(path); });
}

frmMain::~frmMain() {
    // The list view follows rows_, which goes before QWidget frees its children;
    // the dialog works on core_.
    delete view_;
    delete account_;
}

DeskServices& frmMain::Services() {
    return *services_();
}

void frmMain::Form_Load() {
    if (core_) return;
    timer_.SetInterval(kSoundInterval);
    timer_.SetEnabled(true);
    soundAllowed_ = false;
    options_ = std::make_unique<CLoginOptions>(Services());
    core_.emplace(Services(), *options_);
    core_->setWindowView(windowView_);
    if (Ifrmorder* order = Services().Ports().frmorder) order->CBdis().setListIndex(0);
    Form_Resize();
    widths_ = kColumnWidths;
    Form_Resize();
    if (Ifrmlimitorder* limit = Services().Ports().frmlimitorder)
        if (platform::ComboBox* rules = limit->CBlimitorderdis()) rules->setListIndex(0);
    core_->CreateListFiles();
    ValidateData();
    account_ = new frmaccount(*core_, *options_, this);
    RegisterAccountCommands();
    if (!edit_)
        edit_ = [this](const std::string& user, const std::string& password,
                       const std::string& account, const SaveTicks& ticks) {
            account_->ShowEdit(user, password, account, ticks);
        };
}

AccountsWindowCore& frmMain::Core() {
    Form_Load();
    return *core_;
}

void frmMain::setWindowView(IPaneView* view) {
    windowView_ = view;
    if (core_) core_->setWindowView(view);
}

CLoginOptions& frmMain::LoginOptions() {
    Form_Load();
    return *options_;
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize() {
    const int top = labelinfo1_->sizeHint().height() + labelinfo2_->sizeHint().height();
    labelinfo1_->setGeometry(0, 0, width(), labelinfo1_->sizeHint().height());
    labelinfo2_->setGeometry(0, labelinfo1_->sizeHint().height(), width(),
                             labelinfo2_->sizeHint().height());
    if (height() - top >= 0) view_->setGeometry(0, top, width(), height() - top);
    if (!widths_.empty()) ApplyColumnWidths(*view_, widths_, &percentages_);
}

void frmMain::lvwClients_MouseDown(int32_t Button) {
    rightButton_ = Button == 2;
    if (DeskServices* desk = services_(); desk && desk->Ports().frmorder)
        desk->Ports().frmorder->setTxtammount("");
}

void frmMain::mnuLogin_Click() {
    Form_Load();
    account_->ShowAdd();
}

void frmMain::lvwClients_DblClick() {
    const platform::ListItem* row = rows_.SelectedItem();
    if (rows_.Count() == 0 || !row || !edit_) return;
    const std::string accountText = row->SubItems(kAccountColumn);
    const ManagerPtr session =
        SessionOfAccount(*CClientAPIManagers(), runtime::CLng(runtime::Val(accountText)));
    edit_(row->SubItems(kUsernameColumn), session ? session->pass : "", accountText,
          Core().EditTicks(row->Key()));
}

// ---- IfrmMain ----

ManagersPtr frmMain::CClientAPIManagers() {
    return Services().Managers();
}

void frmMain::addToListView(const std::string& Username, int32_t AccountID, bool Connected,
                            const std::string& Fifth, const std::string& Fourth, int16_t n) {
    std::string key, index;
    if (n != -1) {
        char text[8];
        std::snprintf(text, sizeof text, "%02d", n);
        key = "C" + std::to_string(n);
        index = text;
    }
    platform::ListItem* row = key.empty() ? nullptr : rows_.Find(key);
    if (!row) row = &rows_.Add(key, index);
    row->setText(index);
    row->setSubItems(kUsernameColumn, runtime::UCase(Username));
    row->setSubItems(kStatusColumn, Connected ? "Connected" : "Disconnected");
    row->setSubItems(kAccountColumn, std::to_string(AccountID));
    row->setSubItems(kNotesColumn, Fourth);
    row->setSubItems(kBalanceColumn, Fifth);
    row->setSubItemForeColor(kStatusColumn, Connected ? AccountsWindowCore::kConnectedColor
                                                      : AccountsWindowCore::kAlertColor);
    row->setSubItemForeColor(kNotesColumn, Fourth == "Invalid account"
                                               ? AccountsWindowCore::kConnectedColor
                                               : AccountsWindowCore::kAlertColor);
}

void frmMain::refreshsummery_Click(const std::string& Key) {
    Core().refreshsummery_Click(Key);
}

void frmMain::MnuDisconnecte_Click() {
    Core().MnuDisconnecte_Click();
}

void frmMain::ValidateData() {
    if (Ifrmorder* order = Services().Ports().frmorder) OrbanexDesk::ValidateData(*order);
}

void frmMain::Distribute(double total, int16_t rule, const SymbolPtr& Symbol) {
    OrbanexDesk::Distribute(Services(), total, rule, Symbol);
}

int16_t frmMain::askycodekeypress(int16_t& KeyAscii, const std::string& Text) {
    return OrbanexDesk::askycodekeypress(KeyAscii, Text);
}

// ---- Account commands of the shell ----

void frmMain::RegisterAccountCommands() {
    IShell* shell = Services().Ports().Shell;
    if (!shell) return;
    shell->AddCommandHandler(AccountsWindowCore::kConnectCommand,
                             [this] { Core().MnuConnecte_Click(); });
    shell->AddCommandHandler(kDisconnect, [this] { Core().MnuDisconnecte_Click(); });
    shell->AddCommandHandler(kRemove, [this] { Core().mnuRemove_Click(); });
    for (int32_t command : {kCmdAddAccount, kAddAccounts})
        shell->AddCommandHandler(command, [this] { mnuLogin_Click(); });
    shell->AddCommandHandler(kLoginAll, [this] { mnuLogin_all(); });
    shell->AddCommandHandler(kLogoutAll, [this] { SureDialog().GeneralQuestionMsg("Logout All"); });
    shell->AddCommandHandler(kRemoveAll, [this] { mnuclear_Click(); });
    shell->AddCommandHandler(kSaveAs, [this] { mnusaveas_Click(); });
    shell->AddCommandHandler(kLoad, [this] { mnuload_Click(); });
    shell->AddCommandHandler(kAbout, [this] { MnuAbout_Click(); });
}

frmSure& frmMain::SureDialog() {
    if (!sure_)
        sure_ = new frmSure({.mnuLogout_all = [this] { Core().mnuLogout_all(); },
                             .mnuremove_all = [this] { Core().mnuremove_all(); }},
                            this);
    return *sure_;
}

void frmMain::mnuclear_Click() {
    SureDialog().GeneralQuestionMsg("Remove All");
}

void frmMain::mnuLogin_all() {
    const DeskPorts& ports = Services().Ports();
    if (ports.Shell) ports.Shell->SelectPane(kPaneNewPosition);
    Core().LoginAll();
    if (ports.frmClosePos) ports.frmClosePos->CloseSymbols().setEnabled(true);
}

void frmMain::mnuload_Click() {
    chooser_.DialogTitle = AccountsWindowCore::kLoadTitle;
    chooser_.InitDir = AccountsWindowCore::LoadStartFolder().string();
    chooser_.Filter = AccountsWindowCore::kListFilter;
    chooserMode_ = platform::widgets::FileChooser::Mode::Open;
    chooser_.Show(chooserMode_, this);
}

void frmMain::mnusaveas_Click() {
    // With no rows there is nothing to save: the core says so without a chooser.
    if (rows_.Count() == 0) {
        Core().SaveListAs({});
        return;
    }
    // Where the load looks, and named so that the load's filter shows it.
    chooser_.InitDir = AccountsWindowCore::LoadStartFolder().string();
    chooser_.Filter = AccountsWindowCore::kListFilter;
    chooser_.DefaultExt = AccountsWindowCore::kListExtension;
    chooserMode_ = platform::widgets::FileChooser::Mode::Save;
    chooser_.Show(chooserMode_, this);
}

void frmMain::ListChosen(const std::string& path) {
    if (path.empty()) return;  // cancelled: nothing changes
    if (chooserMode_ == platform::widgets::FileChooser::Mode::Open)
        Core().LoadListFile(path);
    else
        Core().SaveListAs(path);
}

void frmMain::lvwClients_MouseUp() {
    ShowAccountsPopup(rightButton_);
}

void frmMain::ShowAccountsPopup(bool rightButton) {
    const auto commands = AccountsPopup(rows_, rightButton);
    IShell* shell = services_() ? Services().Ports().Shell : nullptr;
    if (!commands || !shell) return;
    for (size_t i = 0; i < kPopupCommandIds.size(); ++i)
        shell->setCommandBarControlEnabled(kBarAccountsPopup, kPopupCommandIds[i], (*commands)[i]);
    shell->ShowPopup(kBarAccountsPopup);
}

frmAboutOrbanel& frmMain::AboutBox() {
    if (!about_) about_ = new frmAboutOrbanel(this);
    return *about_;
}

void frmMain::MnuAbout_Click() {
    AboutBox().ShowForm();
}

void frmMain::AccountPort::setEnabled(bool enabled) {
    if (owner_.account_) owner_.account_->setEnabled(enabled);
}

// The entry-order pane's Submit: enabled only while its prices meet the shown
// conditions.
void frmMain::textchanged() {
    Ifrmlimitorder* limit = Services().Ports().frmlimitorder;
    if (!limit) return;
    limit->setCmdsubmitlimiorderEnabled(false);
    const EntryInputs in{.PaneMode = limit->PaneMode(),
                         .PositionSide = limit->PositionSide(),
                         .EditAmount = limit->EditAmount(),
                         .typeIndex = limit->cblimiordertypeListIndex(),
                         .txtatprice = limit->txtatprice(),
                         .txtsl = limit->txtsl(),
                         .txttp = limit->txttp(),
                         .txtlimitorderammount = limit->txtlimitorderammount(),
                         .lblpricecondition = limit->lblpricecondition(),
                         .lblslchanged = limit->lblslchanged(),
                         .lbltpchanged = limit->lbltpchanged()};
    if (EntryInputCheck::SubmitEnabled(in)) limit->setCmdsubmitlimiorderEnabled(true);
}

void frmMain::Result(int32_t code, const std::string& key, int32_t account, bool deletion) {
    const DeskPorts& ports = Services().Ports();
    Ifrmlimitorder* limit = ports.frmlimitorder;
    platform::ListItem* row = limit ? limit->lvwConClients().Find(key) : nullptr;
    if (!row) return;
    const int32_t rowAccount = runtime::CLng(runtime::Val(row->Text()));
    EntryResultInputs in;
    in.code = code;
    in.account = account;
    in.deletion = deletion;
    in.row = EntryResultInputs::Row{row->Text(), row->Checked()};
    if (const platform::ListItem* client = ReturnList(rows_, std::to_string(rowAccount)))
        in.client = EntryResultInputs::Client{client->SubItems(kStatusColumn),
                                              client->SubItems(kNotesColumn)};
    in.PaneMode = limit->PaneMode();
    in.SubmittedType = limit->SubmittedType();
    in.SubmittedSymbol = limit->SubmittedSymbol();
    in.SubmittedPrice = limit->SubmittedPrice();
    in.SubmittedSL = limit->SubmittedSL();
    in.SubmittedTP = limit->SubmittedTP();
    const EntryResultEffects out = EntryResultTable::Decide(in);
    constexpr size_t kResultCell = 2;
    if (out.red) row->setSubItemForeColor(kResultCell, EntryResultTable::kRed);
    if (out.cell) row->setSubItems(kResultCell, *out.cell);
    if (out.journal && ports.frmJournal) ports.frmJournal->Add(*out.journal, rowAccount, true);
    if (out.manageSLTP) limit->ManageSuccSLTPResult();
    if (out.sound && ports.Sound) ports.Sound->PlayWave(SoundFile("OrderOk.wav"));
}

}  // namespace OrbanexDesk
