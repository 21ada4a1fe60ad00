#include "desk/sessions/CClientAPIManager.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "desk/common/AccountLines.h"
#include "desk/common/DeskProcedures.h"
#include "desk/common/MGeneral.h"
#include "desk/common/PaneTable.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/sessions/SummaryDisplay.h"
#include "platform/Paths.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace OrbanexDesk {

namespace {
constexpr int32_t kRed = 255;
constexpr int32_t kWhite = 16777215;
constexpr int32_t kGreen = 51200;
constexpr int32_t kLoginBarControls[] = {100020, 100018, 100019};

std::string Money(const DeskState& state, double value) {
    return state.StringValues->ToCurrencyVal(runtime::Variant(value), true);
}

// A path given as an absolute POSIX path (a dealer-chosen list) is used as it
// stands.
std::filesystem::path FilePath(const std::string& systemPath) {
    return !systemPath.empty() && systemPath.front() == '/' ? std::filesystem::path(systemPath)
                                                            : platform::ResolvePath(systemPath);
}

// Lines of a text file read in one pass, as the saved lists are.
std::vector<std::string> FileLines(const std::string& systemPath) {
    return ReadLines(FilePath(systemPath));
}

// A list file that is not there holds no lines: an account that logged in must
// still be tradeable when the run's list was never written or was removed. One
// beyond the bound, a pipe or a device raises, naming the file and why.
std::vector<std::string> FileLinesOrNone(const std::string& systemPath) {
    const std::filesystem::path path = FilePath(systemPath);
    try {
        return SplitLines(platform::ReadFileWithin(path, kLargestAccountLinesFile));
    } catch (const runtime::Error& e) {
        if (e.Number() != runtime::errc::FileNotFound) throw;
        return {};
    }
}
}  // namespace

// ---- Creation and release ----

CClientAPIManager::CClientAPIManager(DeskServices& desk) : desk_(desk), ports_(desk.Ports()) {}

std::shared_ptr<CClientAPIManager> CClientAPIManager::Create(DeskServices& desk) {
    std::shared_ptr<CClientAPIManager> session(new CClientAPIManager(desk));
    session->setCLAPICLASS(std::make_shared<API>());
    return session;
}

CClientAPIManager::~CClientAPIManager() {
    Release();
}

void CClientAPIManager::Release() {
    if (released_) return;
    released_ = true;
    connections_.clear();
    priceChanged_.Dismiss();
    try {
        ReportUnanswered();  // the logout below answers nothing
    } catch (const std::exception&) {
    }
    try {
        TakeShareOut(false);
    } catch (const std::exception&) {
        // the desk's views are going away with it
    }
    std::shared_ptr<API> api = std::move(api_);
    if (!api) return;
    try {
        api->Disconnect();
    } catch (const runtime::Error& e) {
        Journal("Disconnect failed: " + e.Description());
    } catch (const std::exception& e) {
        Journal(std::string("Disconnect failed: ") + e.what());
    }
}

void CClientAPIManager::setCLAPICLASS(std::shared_ptr<API> api) {
    connections_.clear();
    api_ = std::move(api);
    if (api_ && !released_) ConnectHandlers();
}

template <class... A, class F>
void CClientAPIManager::Handle(runtime::Event<A...>& event, const char* name, F member) {
    std::weak_ptr<CClientAPIManager> weak = weak_from_this();
    connections_.emplace_back(event.Connect([weak, name, member](A... args) {
        auto self = weak.lock();  // a running handler keeps its session alive
        if (!self || self->released_) return;
        try {
            ((*self).*member)(args...);
        } catch (const runtime::Error& e) {
            self->Journal(std::string(name) + " failed: " + e.Description());
        } catch (const std::exception& e) {
            self->Journal(std::string(name) + " failed: " + e.what());
        }
    }));
}

void CClientAPIManager::ConnectHandlers() {
    API& a = *api_;
    using S = CClientAPIManager;
    Handle(a.ConnectionState, "ConnectionState", &S::CLAPICLASS_ConnectionState);
    Handle(a.WaitingMode, "WaitingMode", &S::CLAPICLASS_WaitingMode);
    Handle(a.ServerTime, "ServerTime", &S::CLAPICLASS_ServerTime);
    Handle(a.ServerRouted, "ServerRouted", &S::CLAPICLASS_ServerRouted);
    Handle(a.SessionDisconnected, "SessionDisconnected", &S::CLAPICLASS_SessionDisconnected);
    Handle(a.InvalidUsernamePassword, "InvalidUsernamePassword",
           &S::CLAPICLASS_InvalidUsernamePassword);
    Handle(a.SymbolsLoaded, "SymbolsLoaded", &S::CLAPICLASS_SymbolsLoaded);
    Handle(a.OpenPositionsLoaded, "OpenPositionsLoaded", &S::CLAPICLASS_OpenPositionsLoaded);
    Handle(a.PendingOrdersLoaded, "PendingOrdersLoaded", &S::CLAPICLASS_PendingOrdersLoaded);
    Handle(a.AllDataAreLoaded, "AllDataAreLoaded", &S::CLAPICLASS_AllDataAreLoaded);
    Handle(a.NewOpenPosition, "NewOpenPosition", &S::CLAPICLASS_NewOpenPosition);
    Handle(a.UpdateOpenPosition, "UpdateOpenPosition", &S::CLAPICLASS_UpdateOpenPosition);
    Handle(a.DeleteOpenPosition, "DeleteOpenPosition", &S::CLAPICLASS_DeleteOpenPosition);
    Handle(a.NewPendingOrder, "NewPendingOrder", &S::CLAPICLASS_NewPendingOrder);
    Handle(a.DeletePendingOrder, "DeletePendingOrder", &S::CLAPICLASS_DeletePendingOrder);
    ConnectPriceHandlers();
    ConnectResultHandlers();
    ConnectUnansweredTracking();
}

void CClientAPIManager::ConnectPriceHandlers() {
    API& a = *api_;
    using S = CClientAPIManager;
    Handle(a.SymbolPricesChanged, "SymbolPricesChanged", &S::CLAPICLASS_SymbolPricesChanged);
    Handle(a.SymbolHighLowChanged, "SymbolHighLowChanged", &S::CLAPICLASS_SymbolHighLowChanged);
    Handle(a.PosFloatingPLChanged, "PosFloatingPLChanged", &S::CLAPICLASS_PosFloatingPLChanged);
    Handle(a.SummariesChanged, "SummariesChanged", &S::CLAPICLASS_SummariesChanged);
}

void CClientAPIManager::ConnectResultHandlers() {
    API& a = *api_;
    using S = CClientAPIManager;
    Handle(a.NewOrderResult, "NewOrderResult", &S::CLAPICLASS_NewOrderResult);
    Handle(a.NewLimitOrderResult, "NewLimitOrderResult", &S::CLAPICLASS_NewLimitOrderResult);
    Handle(a.UpdateLimitOrderResult, "UpdateLimitOrderResult",
           &S::CLAPICLASS_UpdateLimitOrderResult);
    Handle(a.DeleteLimitOrderResult, "DeleteLimitOrderResult",
           &S::CLAPICLASS_DeleteLimitOrderResult);
    Handle(a.NewSLTPOrderResult, "NewSLTPOrderResult", &S::CLAPICLASS_NewSLTPOrderResult);
    Handle(a.UpdateSLTPOrderResult, "UpdateSLTPOrderResult", &S::CLAPICLASS_UpdateSLTPOrderResult);
    Handle(a.DeleteSLTPOrderResult, "DeleteSLTPOrderResult", &S::CLAPICLASS_DeleteSLTPOrderResult);
    Handle(a.MarketOrderAccepted, "MarketOrderAccepted", &S::CLAPICLASS_MarketOrderAccepted);
    Handle(a.MarketOrderRejected, "MarketOrderRejected", &S::CLAPICLASS_MarketOrderRejected);
    Handle(a.OrderTimer, "OrderTimer", &S::CLAPICLASS_OrderTimer);
    Handle(a.CloseOrderResult, "CloseOrderResult", &S::CLAPICLASS_CloseOrderResult);
    Handle(a.LimitOrderAccepted, "LimitOrderAccepted", &S::CLAPICLASS_LimitOrderAccepted);
    Handle(a.LimitOrderCanceledNoMoney, "LimitOrderCanceledNoMoney",
           &S::CLAPICLASS_LimitOrderCanceledNoMoney);
    Handle(a.LimitOrderCanceledCannotHdg, "LimitOrderCanceledCannotHdg",
           &S::CLAPICLASS_LimitOrderCanceledCannotHdg);
    Handle(a.SlTpOrderAccepted, "SlTpOrderAccepted", &S::CLAPICLASS_SlTpOrderAccepted);
    Handle(a.SlTpOrderCanceledNoMoney, "SlTpOrderCanceledNoMoney",
           &S::CLAPICLASS_SlTpOrderCanceledNoMoney);
}

// ---- Helpers ----

void CClientAPIManager::ForgetShareOfEarlierReset() {
    const uint64_t resets = desk_.State().SummaryResets;
    if (summaryReset_ == resets) return;
    summaryReset_ = resets;
    preBalance = preFltPL = preCredit = preEquity = preMarginReq = preMarginLevel = preEffMargin =
        0;
}

void CClientAPIManager::TakeShareOut(bool showAlways) {
    // A disconnected account's row must not be refreshed as connected afterwards.
    if (summaries_) summaries_->ForgetRow(this);
    // A disconnection reported after the views' reset finds its share gone already.
    ForgetShareOfEarlierReset();
    double* own[kSummaryCount] = {&preBalance,   &preFltPL,       &preCredit,   &preEquity,
                                  &preMarginReq, &preMarginLevel, &preEffMargin};
    bool any = summaries_ && summaries_->UncountLevel(levelShare_);
    for (double* v : own) any = any || *v != 0;
    if (!any && !showAlways) return;
    auto& totals = desk_.State().SummaryTotals;
    for (size_t i = 0; i < kSummaryCount; ++i) totals[i] -= *own[i];
    for (double* v : own) *v = 0;
    static const char* const kLabels[] = {
        "Balance:",        "   Flt P/L:",     "   Credit:",      "   Equity:",
        "   Used Margin:", "   Free Margin:", "   Margin Level:"};
    ShowTotals(kLabels);
}

void CClientAPIManager::ShowTotals(const char* const* labels) {
    if (summaries_) summaries_->ShowTotals(labels);
}

void CClientAPIManager::Journal(const std::string& text) {
    if (ports_.frmJournal) ports_.frmJournal->Add(text, m_lAccount, true);
}

platform::ListItem& CClientAPIManager::Row() {
    return ports_.frmMain->lvwClients().Item(RowKey());
}

// ---- Public members ----

platform::ListItem* CClientAPIManager::ClientListItem() {
    return ports_.frmMain->lvwClients().Find(RowKey());
}

void CClientAPIManager::Summary(int32_t AccountID, double& Balance, double& FltPL, double& Credit,
                                double& Equity, double& marginReq, double& MarginLevel,
                                double& EffMargin) {
    try {
        if (!api_) return;
        double v[kSummaryCount] = {};
        if (api_->AccountSummaries(AccountID, v[0], v[1], v[2], v[3], v[4], v[5], v[6]) !=
            OrbanexClientAPI10::SuccessResult)
            return;
        Balance = v[0], FltPL = v[1], Credit = v[2], Equity = v[3];
        marginReq = v[4], MarginLevel = v[5], EffMargin = v[6];
    } catch (const std::exception&) {
        // absorbed: the caller keeps its values
    }
}

std::string CClientAPIManager::SummaryDesc(double Balance, double Equity, double EffMargin) const {
    const DeskState& s = desk_.State();
    return "Balance: " + Money(s, Balance) + "  Equity: " + Money(s, Equity) +
           "  EffMargin: " + Money(s, EffMargin);
}

int32_t CClientAPIManager::GetIDByName(const std::string& Name) {
    if (!api_) return 0;
    const int16_t count = api_->SymbolsCount();
    for (int16_t i = 1; i <= count; ++i) {
        SymbolPtr symbol = api_->SymbolByIndex(i);
        if (symbol && symbol->Name() == Name) return symbol->ID();
    }
    return 0;
}

void CClientAPIManager::RemoveData(const std::string& Key) {
    try {
        if (desk_.State().DeskSymbols) desk_.State().DeskSymbols->Remove(Key);
    } catch (const std::exception&) {
    }
}

void CClientAPIManager::DisInvalidAcc(const std::string& SessionKeyText) {
    auto& rows = ports_.frmMain->lvwClients();
    rows.Item("C" + SessionKeyText).setSelected(true);
    ports_.frmMain->MnuDisconnecte_Click();
    rows.Item("C" + SessionKeyText).setSubItems(4, "Invalid account ID");
}

// ---- Connection events ----

void CClientAPIManager::CLAPICLASS_ConnectionState(bool IsConnected) {
    try {
        if (key_ > 0) {
            platform::ListItem& row = Row();
            row.setSubItems(2, IsConnected ? "Connected" : "Disconnected");
            row.setSubItemForeColor(2, IsConnected ? kWhite : kRed);
            if (!IsConnected)
                for (size_t i = 5; i <= 11; ++i) row.setSubItems(i, "");
        }
        if (IsConnected) return;
        TakeShareOut(true);
        // Nobody answers the order or the re-quote of a lost session any more.
        priceChanged_.Dismiss();
        ports_.frmorder->Enableds(true);
    } catch (const std::exception&) {
        // absorbed: what was done stays done
    }
}

void CClientAPIManager::CLAPICLASS_WaitingMode(KVClientDLL10::WaitingModeEnum Mode) {
    switch (Mode) {
        case KVClientDLL10::ConnectingMode: {
            ports_.Shell->setStatusPaneText(kStatusProgress, "Connecting");
            platform::ListItem& row = Row();
            row.setSubItems(2, "Connecting");
            row.setSubItemForeColor(2, kRed);
            ports_.frmlimitorder->setCmdsubmitlimiorderEnabled(false);
            break;
        }
        case KVClientDLL10::WaitingMode:
            ports_.Shell->setStatusPaneText(kStatusProgress, "Waiting");
            ports_.Shell->setStatusPaneText(kStatusConnection, "Connected");
            ports_.frmlimitorder->setCmdsubmitlimiorderEnabled(false);
            break;
        case KVClientDLL10::NormalMode:
            ports_.Shell->setStatusPaneText(kStatusProgress, "");
            for (int32_t control : kLoginBarControls)
                ports_.Shell->setCommandBarControlEnabled(kBarAccountsPopup, control, true);
            ports_.frmlimitorder->setCmdlimiorderdisEnabled(true);
            break;
        default:
            break;
    }
}

void CClientAPIManager::CLAPICLASS_ServerTime(const std::string& STime) {
    DeskState& s = desk_.State();
    if (!s.GMTOffsetsTaken()) {
        s.EarlyServerTime = STime;
        return;
    }
    ports_.Shell->setStatusPaneText(kStatusServerTime, FormatDateTimeText(s, STime));
}

void CClientAPIManager::TakeGMTOffsets() {
    DeskState& s = desk_.State();
    if (s.GMTOffsetsTaken()) return;
    s.ClientGMTOffset = api_->GMTOffset();
    s.ServerGMTOffset = api_->ServerGMTOffset();
    if (s.EarlyServerTime.empty()) return;
    CLAPICLASS_ServerTime(std::exchange(s.EarlyServerTime, {}));
}

void CClientAPIManager::CLAPICLASS_ServerRouted(const std::string& OldIP,
                                                const std::string& NewIP) {
    ports_.MGeneral->ReplaceInServerFile(OldIP, NewIP);
}

void CClientAPIManager::CLAPICLASS_SessionDisconnected() {
    ports_.Messages->ShowMessage("account " + std::to_string(m_lAccount) + " Session disconnected",
                                 "Session Disconnected", true);
    // The closed connection reports itself only later, after the share was zeroed.
    TakeShareOut(false);
    priceChanged_.Dismiss();
    platform::ListItem& row = Row();
    row.setSubItemForeColor(2, row.SubItems(2) == "Connected" ? kGreen : kRed);
    ports_.Sound->PlayWave(SoundFile("Disconnect.wav"));
}

void CClientAPIManager::CLAPICLASS_InvalidUsernamePassword() {
    Row().setSubItems(4, "Invalid username or password");
}

// ---- Loading events ----

platform::ListItem& CClientAPIManager::AddMarketWatchPrices(const SymbolPtr& symbol) {
    platform::ListItem& row =
        ports_.frmMW->lvmw().Add(MarketWatchKey(symbol->ID()), symbol->Name());
    row.setSubItems(1, symbol->FormatPrice(runtime::Variant(symbol->Bid())));
    row.setSubItems(2, symbol->FormatPrice(runtime::Variant(symbol->Ask())));
    row.setSubItems(3, symbol->FormatPrice(runtime::Variant(symbol->High())));
    row.setSubItems(4, symbol->FormatPrice(runtime::Variant(symbol->Low())));
    return row;
}

void CClientAPIManager::AddMarketWatchRow(const SymbolPtr& symbol) {
    platform::ListItem& row = AddMarketWatchPrices(symbol);
    row.setSubItems(5, FormatTimeText(desk_.State(), symbol->LastQuteTime()));
}

void CClientAPIManager::CLAPICLASS_SymbolsLoaded() {
    // The server's offset has arrived by now; the quote times below need it.
    TakeGMTOffsets();
    DeskState& s = desk_.State();
    if (!s.DeskSymbols) s.DeskSymbols = std::make_shared<SymbolCollection>();
    IfrmMW& mw = *ports_.frmMW;
    const int16_t count = api_->SymbolsCount();
    for (int16_t i = 0; i <= count; ++i) {
        SymbolPtr symbol = api_->SymbolByIndex(i);
        if (!symbol) continue;
        const int32_t id = symbol->ID();
        const std::string key = std::to_string(id);
        const bool known = GetSymbolItem(s, key) != nullptr;
        if (known) s.DeskSymbols->Remove(key);
        s.DeskSymbols->Add(symbol, key);
        if (IsSymbolInMarketWatch(mw, id)) {
            if (!known) continue;
            mw.lvmw().Remove(MarketWatchKey(id));
            AddMarketWatchRow(symbol);
            continue;
        }
        AddMarketWatchRow(symbol);
        ports_.frmorder->cbsymbols().AddItem(symbol->Name());
        if (!known) ports_.frmClosePos->CloseSymbols().AddItem(symbol->Name());
        ports_.frmlimitorder->cblimitordersymbols().AddItem(symbol->Name());
    }
    for (platform::ComboBox* combo :
         {&ports_.frmorder->cbsymbols(), &ports_.frmlimitorder->cblimitordersymbols()})
        combo->setText(combo->ListCount() ? combo->List(0) : std::string());
}

void CClientAPIManager::CLAPICLASS_OpenPositionsLoaded() {
    const int16_t count = runtime::CInt(static_cast<double>(api_->OpenPositionsCount()));
    for (int16_t i = 1; i <= count; ++i)
        ports_.frmTrade->AddPosition(api_->OpenPositionByIndex(i), m_lAccount);
    ports_.frmClosePos->CloseSymbols_Click();
}

void CClientAPIManager::CLAPICLASS_PendingOrdersLoaded() {
    const int16_t count = runtime::CInt(static_cast<double>(api_->OrdersCount()));
    for (int16_t i = 1; i <= count; ++i)
        ports_.frmPending->AddOrder(api_->OrderByIndex(i), m_lAccount);
    ports_.frmPending->Updateaccount();
}

void CClientAPIManager::RegisterWithOrderPanes() {
    ports_.frmorder->Add(m_lAccount, "", 0);
    ports_.frmClosePos->Add(m_lAccount);
    ports_.frmlimitorder->Add(m_lAccount, key_, "", 0);
}

void CClientAPIManager::SaveConnectedLine(const std::string& line) {
    // One line per account: a re-login after a drop replaces the account's line
    // rather than adding one, so a list saved from this file holds no account twice.
    const auto path = platform::ProgramFolder() / "saveconnected.buf";
    std::vector<std::string> lines;
    if (std::filesystem::exists(path)) lines = ReadLines(path);
    const auto accountOf = [](std::string_view l) { return l.substr(l.rfind(',') + 1); };
    const auto same = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
        return accountOf(l) == accountOf(line);
    });
    if (same != lines.end())
        *same = line;
    else
        lines.push_back(line);
    // Holds coded passwords: the file is the owner's alone.
    platform::AtomicWriteFile(path, JoinLines(lines), platform::FileAccess::OwnerOnly);
}

void CClientAPIManager::ReadDecimalsSetting() {
    settingsPath_ = platform::ProgramFolder().string() + "\\manage\\settings.buf";
    std::string line;
    try {
        const auto lines = FileLines("\\manage\\settings.buf");
        if (!lines.empty()) line = runtime::Trim(lines.front());
    } catch (const runtime::Error&) {
        // a missing settings file reads as no setting
    }
    desk_.State().AmountDecimals = line.empty() || !runtime::IsNumericText(line) ? "1" : line;
}

void CClientAPIManager::CLAPICLASS_AllDataAreLoaded() {
    ports_.Sound->PlayWave(SoundFile("Connect.WAV"));
    DeskState& s = desk_.State();
    const std::string rowKey = RowKey();
    platform::ListItem* row = &Row();
    ports_.frmaccount->setEnabled(true);
    ports_.frmorder->setEnabled(true);
    TakeGMTOffsets();
    const std::string account = row->SubItems(3);
    if (api_->SelectAccount(runtime::CLng(runtime::Variant(account))) !=
        OrbanexClientAPI10::SuccessResult) {
        row->setSubItems(4, "Invalid account");
        ports_.frmPending->removeClientinfo(m_lAccount);
        ports_.frmJournal->Add(account + " is invalid account",
                               runtime::CLng(runtime::Variant(account)), true);
        row->setSubItemForeColor(4, kRed);
        DisInvalidAcc(std::to_string(key_));
        ports_.MGeneral->RefreshNetPositions(false, m_lAccount);
        for (size_t i = 5; i <= 11; ++i) Row().setSubItems(i, "");
        ports_.frmorder->Remove(runtime::CLng(runtime::Variant(account)));
        ports_.frmClosePos->CloseSymbols_Click();
        auto current = s.CurrentManager.lock();
        if (!current) return;
        if (current->m_lAccount == m_lAccount) s.CurrentManager = GetFirstLoggedOnManager(desk_);
        ReadDecimalsSetting();
        return;
    }
    // Rows of the account's previous login go before its positions and orders arrive.
    ports_.MGeneral->RefreshNetPositions(false, m_lAccount);
    ports_.frmPending->removeClientinfo(m_lAccount);
    row = &ports_.frmMain->lvwClients().Item(rowKey);
    if (row->SubItems(2) == "Connected" && row->SubItems(4) != "Invalid account") {
        const std::string fallback = row->SubItems(1) + "," + row->SubItems(3);
        const std::string loaded = ports_.frmMain->LoadedFileName();
        // The account joins the order panes first: a list file that cannot be read
        // or written is reported, but never leaves a "Connected" row untradeable.
        RegisterWithOrderPanes();
        const auto lines = FileLinesOrNone(loaded.empty() ? "\\savelvinfo.buf" : loaded);
        SaveConnectedLine(
            MatchAccountListLine(lines, row->SubItems(1), row->SubItems(3), fallback));
        if (loaded.empty()) ports_.Sound->PlayWave(SoundFile("Connect.wav"));
    }
    ReadDecimalsSetting();
}

// ---- Position and pending-order events ----

void CClientAPIManager::CLAPICLASS_NewOpenPosition(const PositionPtr& Pos) {
    ports_.frmTrade->AddPosition(Pos, m_lAccount);
    ports_.frmClosePos->CloseSymbols_Click();
}

void CClientAPIManager::CLAPICLASS_UpdateOpenPosition(const PositionPtr& Pos) {
    ports_.frmTrade->RemovePosition(Pos->Ticket(), m_lAccount);
    ports_.frmTrade->AddPosition(Pos, m_lAccount);
}

void CClientAPIManager::CLAPICLASS_DeleteOpenPosition(const PositionPtr& Pos) {
    ports_.frmTrade->RemovePosition(Pos->Ticket(), m_lAccount);
    ports_.frmClosePos->Remove();
    ports_.frmClosePos->CloseSymbols().setEnabled(true);
}

void CClientAPIManager::CLAPICLASS_NewPendingOrder(const OrderPtr& Order) {
    ports_.frmPending->AddOrder(Order, m_lAccount);
}

void CClientAPIManager::CLAPICLASS_DeletePendingOrder(const OrderPtr& Order) {
    ports_.frmPending->Removeorder(Order->OrderID(), m_lAccount);
}

}  // namespace OrbanexDesk
