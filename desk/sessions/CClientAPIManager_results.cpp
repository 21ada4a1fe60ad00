// The account session's order results: the answers to its trading commands and
// the server's order notices, as journal lines, notes, messages, sounds and row
// changes. The texts are data, one table per handler, in the order they are shown.
#include <charconv>
#include <initializer_list>

#include "desk/common/DeskProcedures.h"
#include "desk/common/MGeneral.h"
#include "desk/sessions/CClientAPIManager.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"

namespace OrbanexDesk {

namespace {
using Result = OrbanexClientAPI10::NewOrderResultEnum;
using Side = OrbanelGeneral10::OperationTypeEnum;

constexpr const char* kAlert = "##DEF##";

// One reaction of a result row. The texts hold fields: {t} ticket, {a} account,
// {o} order number, {i} the order-number list, {r} the close request line.
enum class Act { Journal, Note, Message, Sound, Status };
struct Step {
    Act act;
    const char* text;
};
struct ResultRow {
    int32_t code;
    std::initializer_list<Step> steps;
};

struct Fields {
    int32_t ticket = 0, account = 0, order = 0;
    std::string_view ids, request;
};

Fields OrderFields(int32_t order) {
    Fields f;
    f.order = order;
    return f;
}

Fields IdsFields(std::string_view ids) {
    Fields f;
    f.ids = ids;
    return f;
}

std::string Expand(std::string_view text, const Fields& f) {
    std::string out;
    out.reserve(text.size() + 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{' && i + 2 < text.size() && text[i + 2] == '}') {
            switch (text[i + 1]) {
                case 't':
                    out += std::to_string(f.ticket);
                    break;
                case 'a':
                    out += std::to_string(f.account);
                    break;
                case 'o':
                    out += std::to_string(f.order);
                    break;
                case 'i':
                    out += f.ids;
                    break;
                case 'r':
                    out += f.request;
                    break;
                default:
                    out.append(text.substr(i, 3));
            }
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

const ResultRow* Find(std::initializer_list<ResultRow> table, int32_t code) {
    for (const ResultRow& row : table)
        if (row.code == code) return &row;
    return nullptr;
}

template <class F>
void RunSteps(const ResultRow& row, const Fields& f, F&& perform) {
    for (const Step& step : row.steps)
        perform(static_cast<int32_t>(step.act), Expand(step.text, f));
}

// Default shortest text of lots and prices.
std::string Num(double v) {
    return runtime::NumberToText(v);
}

const std::string& SymbolName(const SymbolPtr& symbol, std::string& keep) {
    keep = symbol ? symbol->Name() : std::string();
    return keep;
}

// The whole numbers of a comma-separated list; other parts are skipped.
std::vector<int32_t> OrderNumbers(std::string_view ids) {
    std::vector<int32_t> out;
    for (const std::string& part : runtime::Split(std::string(ids), ",")) {
        const std::string text = runtime::Trim(part);
        int32_t id = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id);
        if (!text.empty() && ec == std::errc() && end == text.data() + text.size())
            out.push_back(id);
    }
    return out;
}

// ---- The tables ----

const char* const kCloseSide[] = {" Sell Stop ", " Sell ", "", " Buy ", " Buy Stop "};

// CloseOrderResult 2 to 8: journal, message, the close grid's status, then the rest.
struct CloseRow {
    int32_t code;
    const char* journal;
    const char* message;
    const char* status;
    bool enableChooser;
    bool removeRequest;
};
constexpr CloseRow kCloseRows[] = {
    {2, "Order {t} not enough money", "Order {t} not enough money for account {a}",
     " not enough money", true, false},
    {3, "Order {t} trading is closed", "Order {t} trading is closed for account {a}",
     " Trading is closed", true, true},
    {4, "Unable to get  quote on this symbol due to market conditions",
     "Order {t} is Unable to get  quote on this symbol due to market conditions",
     "Position {t} is Unable to get  quote on this symbol due to market conditions", true, false},
    {5, "Unable to get  quote due to  bad connection, Please try again",
     "Order {t} is Unable to get quote due to bad connection, Please try again ",
     "Position {t} is Unable to get  quote due to  bad connection, Please try again", false, false},
    {6, "Position {t} is closed", "Order {t} is closed", "Position {t} is closed", true, false},
    {7, "{r}", "Position {t} is in pending mode", "Position {t} is in pending mode", false, false},
    {8, "Position {t} has pending orders", "Position {t} has pending orders",
     "Position {t} has pending orders", true, false},
};

// DeleteLimitOrderResult 2 to 12: journal, then message.
const std::initializer_list<ResultRow> kDeleteLimitRows = {
    {2,
     {{Act::Journal, "Order number #{i} Not Enough Money"},
      {Act::Message, "Order number #{i} Not Enough Money"}}},
    {3,
     {{Act::Journal, "Order number #{i} Trading Is Closed"},
      {Act::Message, "Order number #{i} Trading Is Closed"}}},
    {4,
     {{Act::Journal,
       "Order number #{i} Unable to get  quote on this symbol due to market conditions"},
      {Act::Message,
       "Order number #{i} Unable to get  quote on this symbol due to market conditions"}}},
    {5,
     {{Act::Journal, "Order number #{i} Unable Bad Connection"},
      {Act::Message, "Order number #{i} Unable Bad Connection"}}},
    {6,
     {{Act::Journal, "Order number #{i} Position Is Closed "},
      {Act::Message, "Order number #{i} Position Is Closed "}}},
    {7,
     {{Act::Journal, "Order number #{i} Position Is Pending"},
      {Act::Message, "Order number #{i} Position Is Pending"}}},
    {8,
     {{Act::Journal, "Order number #{i} Position Has Pending Orders"},
      {Act::Message, "Order number #{i} Position Has Pending Orders"}}},
    {9,
     {{Act::Journal, "Order number #{i} Invalid Amount"},
      {Act::Message, "Order number #{i} Invalid Amount"}}},
    {10,
     {{Act::Journal, "Order number #{i} NotFound"}, {Act::Message, "Order number #{i} NotFound"}}},
    {11,
     {{Act::Journal, "Order number #{i} All Amount Are Managed"},
      {Act::Message, "Order number #{i} All Amount Are Managed"}}},
    {12,
     {{Act::Journal, "Order number #{i} Unable To Do Operation"},
      {Act::Message, "Order number #{i} Unable ToDo Operation"}}},
};

// NewLimitOrderResult 2 to 11 (1 removes the request row first); notes go to the
// entry-order pane.
const std::initializer_list<ResultRow> kNewLimitRows = {
    {1, {{Act::Sound, "OrderOk.wav"}}},
    {2,
     {{Act::Journal, "Not Enough Money"},
      {Act::Note, "Not Enough Money"},
      {Act::Sound, "NoEquity.wav"}}},
    {3,
     {{Act::Journal, "Trading Is Closed"},
      {Act::Sound, "NoEquity.wav"},
      {Act::Note, "Trading Is Closed"}}},
    {4, {{Act::Journal, "Unable MarketConditions"}, {Act::Sound, "NoEquity.wav"}}},
    {5,
     {{Act::Journal, "Unable_Bad Connection"},
      {Act::Sound, "NoEquity.wav"},
      {Act::Note, "Unable Bad Connection"}}},
    {6,
     {{Act::Journal, "Position Is Closed"},
      {Act::Sound, "NoEquity.wav"},
      {Act::Note, "Position Is Closed"}}},
    {7, {{Act::Journal, "Position Is Pending"}, {Act::Note, "Position Is Pending"}}},
    {8,
     {{Act::Journal, "Position Has Pending Orders"},
      {Act::Note, "Position Has Pending Orders"},
      {Act::Sound, "NoEquity.wav"}}},
    {9, {{Act::Journal, "Invalid Amount"}, {Act::Sound, "NoEquity.wav"}}},
    {10, {{Act::Journal, "Not Found"}, {Act::Note, "Not Found"}, {Act::Sound, "NoEquity.wav"}}},
    {11, {{Act::Journal, "Order {o} :All Lots Are Managed"}}},
};

// NewOrderResult 2 to 13; notes go to the market-order pane.
const std::initializer_list<ResultRow> kNewOrderRows = {
    {2,
     {{Act::Journal, "Not enough money"},
      {Act::Note, "Not enough money"},
      {Act::Sound, "NoEquity.wav"}}},
    {3,
     {{Act::Journal, "Trading Is Closed"},
      {Act::Note, "Trading Is Closed"},
      {Act::Sound, "NoEquity.wav"}}},
    {4,
     {{Act::Journal, "Not Taken According to market Connditions"},
      {Act::Note, "Not Taken According to market Connditions"},
      {Act::Sound, "NoEquity.wav"}}},
    {5,
     {{Act::Journal, "Bad Connection"},
      {Act::Note, "Bad Connection"},
      {Act::Sound, "NoEquity.wav"}}},
    {6,
     {{Act::Journal, "Position Is Closed"},
      {Act::Note, "Position Is Closed"},
      {Act::Sound, "NoEquity.wav"}}},
    {7, {{Act::Journal, "Position in peniding Order"}, {Act::Note, "Position in peniding Order"}}},
    {8,
     {{Act::Journal, "Position Has Pending Orders"},
      {Act::Note, "Position Has Pending Orders"},
      {Act::Sound, "NoEquity.wav"}}},
    {13,
     {{Act::Journal, "Heddging Not Allowed"},
      {Act::Note, "Heddging Not Allowed"},
      {Act::Sound, "Alert.wav"}}},
};

// NewSLTPOrderResult 2 to 12.
const std::initializer_list<ResultRow> kNewSlTpRows = {
    {2, {{Act::Journal, "NotEnoughMoney"}}},
    {3, {{Act::Journal, "Trading Is Closed"}}},
    {4, {{Act::Journal, "Unable to get  quote on this symbol due to market conditions"}}},
    {5, {{Act::Journal, "Unable to get  quote due to a bad connection, Please try again"}}},
    {6, {{Act::Journal, "Position Is Closed "}}},
    {7, {{Act::Journal, "Position Is Pending"}}},
    {8, {{Act::Journal, "Position Has Pending Orders"}}},
    {9, {{Act::Journal, "InvalidAmount"}}},
    {10, {{Act::Journal, "NotFound"}}},
    {11, {{Act::Journal, "All Amount Are Managed"}}},
    {12, {{Act::Journal, "Unable ToDo Operation"}}},
};

// UpdateLimitOrderResult other than 1: a note in the entry-order pane only.
const std::initializer_list<ResultRow> kUpdateLimitRows = {
    {2, {{Act::Note, " Not Enough Money "}}},
    {3, {{Act::Note, " Trading Is Closed "}}},
    {5, {{Act::Note, " Unable Bad Connection"}}},
    {6, {{Act::Note, " Position Is Closed "}}},
    {7, {{Act::Note, " Position Is Pending "}}},
    {8, {{Act::Note, " Position Has Pending Orders "}}},
    {9, {{Act::Note, " Invalid Amount "}}},
    {10, {{Act::Note, " Not Found "}}},
    {11, {{Act::Note, " All Amount Are Managed "}}},
    {13, {{Act::Note, " Hedging Not Allowed "}}},
    {100, {{Act::Note, " Failed Result "}}},
};
}  // namespace

// ---- Texts ----

std::string CClientAPIManager::ResultDescription(NewOrderResult Result) {
    switch (static_cast<int32_t>(Result)) {
        case 1:
            return "Succeeded";
        case 2:
            return "Not enough money";
        case 3:
            return "Trading is closed";
        case 4:
            return "Failed - Market conditions";
        case 5:
            return "Failed - Bad connection";
        case 6:
            return "Position is closed";
        case 8:
            return "Position has pending orders";
        case 9:
            return "Invalid amount";
        case 10:
            return "Order not found";
        case 11:
            return "All amount are managed";
        case 12:
            return "Unable to do operation";
        case 13:
            return "Hedging not allowed";
        case 100:
            return "Failed";
        default:
            return "UNDEFINED RESULT";
    }
}

std::string CClientAPIManager::BuySellDesc(OperationType BuySell) {
    return BuySell == OrbanelGeneral10::BuyType || BuySell == OrbanelGeneral10::BuyStopType
               ? "buy"
               : "sell";
}

// ---- Wiring and shared steps ----

// Notes go to the market-order pane (1) or the entry-order pane (2).
void CClientAPIManager::Perform(int32_t act, const std::string& text, int32_t notePane) {
    switch (static_cast<Act>(act)) {
        case Act::Journal:
            Journal(text);
            break;
        case Act::Message:
            Message(text);
            break;
        case Act::Sound:
            ports_.Sound->PlayWave(SoundFile(text));
            break;
        case Act::Note:
            if (notePane == 1) ports_.frmorder->addNote(text, m_lAccount);
            if (notePane == 2) ports_.frmlimitorder->addNote(text, m_lAccount);
            break;
        case Act::Status:
            break;
    }
}

void CClientAPIManager::Message(const std::string& text) {
    ports_.Messages->ShowMessage(text, kAlert, false);
}

void CClientAPIManager::EnableCloseSymbols() {
    ports_.frmClosePos->CloseSymbols().setEnabled(true);
}

void CClientAPIManager::RefreshPendingRow(int32_t OrderID) {
    const int16_t count = runtime::CInt(static_cast<double>(api_->OrdersCount()));
    for (int16_t i = 1; i <= count; ++i) {
        OrderPtr order = api_->OrderByIndex(i);
        if (!order || order->OrderID() != OrderID) continue;
        ports_.frmPending->Remove(OrderID, m_lAccount);
        ports_.frmPending->AddOrder(order, m_lAccount);
    }
}

// ---- Market orders ----

void CClientAPIManager::CLAPICLASS_NewOrderResult(NewOrderResult Result, double AtPrice,
                                                  int16_t PosOrOrder, int32_t OrderID,
                                                  OperationType BuySell, double Lots,
                                                  const SymbolPtr& Symbol,
                                                  const std::string& ServerTime,
                                                  const std::string& /*TransTag*/) {
    struct Reenable {
        Ifrmorder* pane;
        ~Reenable() { pane->Enableds(true); }
    } reenable{ports_.frmorder};
    auto note = [this](const std::string& text) { ports_.frmorder->addNote(text, m_lAccount); };
    if (Result == OrbanexClientAPI10::DoneResult) {
        ports_.frmPending->Removeorder(OrderID, m_lAccount);
        std::string name;
        if (PosOrOrder == 1) {
            Journal("Order #" + std::to_string(OrderID) + " [" +
                    (BuySell == OrbanelGeneral10::BuyType ? "BUY" : "SELL") + " " + Num(Lots) +
                    " " + SymbolName(Symbol, name) + "] has been accepted");
            note("Market Order Accepted");
        } else if (PosOrOrder == 2) {
            ports_.frmPending->Add(runtime::Variant(OrderID), m_lAccount, "OP", BuySell, Lots,
                                   Symbol,
                                   runtime::Variant(Symbol->FormatPrice(runtime::Variant(AtPrice))),
                                   runtime::Null, runtime::Null, ServerTime, runtime::Null);
            Journal("Order " + std::to_string(OrderID) + " in Pending mode");
            note("Order in Pending mode");
        }
        return;
    }
    const ResultRow* row = Find(kNewOrderRows, Result);
    if (!row) return;
    RunSteps(*row, OrderFields(OrderID),
             [this](int32_t act, const std::string& text) { Perform(act, text, 1); });
    if (Result != OrbanexClientAPI10::HedgingNotAllowed) return;
    platform::ListView& rows = ports_.frmorder->lvwConClients();
    for (size_t i = 1; i <= rows.Count(); ++i) {
        platform::ListItem& r = rows.Item(i);
        const auto number = runtime::ParseNumber(r.Text());
        if (number && *number == m_lAccount) r.setSubItems(2, "Heddging Not Allowed");
    }
}

void CClientAPIManager::CLAPICLASS_MarketOrderAccepted(int32_t AccountID, int32_t OrderID,
                                                       int32_t Ticket, OperationType BuySell,
                                                       double Lots, const SymbolPtr& Symbol,
                                                       double /*Price*/, NewOrLiqType NewOrLiq,
                                                       double /*RequestedPrice*/) {
    ports_.frmorder->setTxtammount("");
    if (NewOrLiq == OrbanelGeneral10::LiquidateType) {
        ports_.frmTrade->RemovePosition(Ticket, AccountID);
        ports_.frmPending->Removeorder(OrderID, m_lAccount);
        Journal("Ticket #" + std::to_string(Ticket) + " has been closed successfully");
        return;
    }
    // Without the account's row the note is skipped; the rest still runs.
    if (platform::ListItem* row =
            ports_.frmorder->lvwConClients().Find(OrderPaneRowKey(m_lAccount)))
        row->setSubItems(2, "Market Order Accepted");
    std::string name;
    Journal("Order #" + std::to_string(OrderID) + " [" +
            (BuySell == OrbanelGeneral10::BuyType ? "BUY" : "SELL") + " " + Num(Lots) + " " +
            SymbolName(Symbol, name) + "] has been accepted");
    ports_.frmPending->Removeorder(OrderID, m_lAccount);
    ports_.frmorder->Enableds(true);
}

void CClientAPIManager::CLAPICLASS_MarketOrderRejected(int32_t OrderID, OperationType /*BuySell*/,
                                                       double /*Lots*/, const SymbolPtr& /*Symbol*/,
                                                       double /*Price*/,
                                                       NewOrLiqType /*NewOrLiq*/) {
    platform::ListItem* row = ports_.frmorder->lvwConClients().Find(OrderPaneRowKey(m_lAccount));
    if (!row) return;
    row->setSubItems(2, "order has been rejected");
    Journal("Order " + std::to_string(OrderID) + " has been rejected");
    ports_.frmPending->Removeorder(OrderID, m_lAccount);
    ports_.frmorder->Enableds(true);
    auto& closes = ports_.frmClosePos->PendingCloses();
    const std::string key = PendingRowKey(m_lAccount, OrderID);
    if (!closes.Contains(key)) return;
    ports_.frmClosePos->searchpos(m_lAccount, closes.Item(key), "Closing has been rejected");
    closes.Remove(key);
    EnableCloseSymbols();
}

void CClientAPIManager::CLAPICLASS_OrderTimer(int32_t OrderID, int32_t AccountID,
                                              OperationType BuySell, double Lots,
                                              const SymbolPtr& Symbol, double OldPrice,
                                              double NewPrice, int32_t OpenTicket,
                                              int16_t CurrentTimer, int16_t AllTimer) {
    // A countdown of a session that is gone can no longer be answered; its last
    // tick (0 left: the connection ended it) still lets the dialog run its expiry.
    if (api_ && (api_->LogedOn() || CurrentTimer <= 0))
        priceChanged_.SetData(shared_from_this(), OrderID, AccountID, BuySell, Lots, Symbol,
                              OldPrice, NewPrice, OpenTicket, CurrentTimer, AllTimer);
    ports_.frmorder->Enableds(true);
}

// ---- Closing positions ----

void CClientAPIManager::CLAPICLASS_CloseOrderResult(
    NewOrderResult Result, double AtPrice, int16_t PosOrOrder, int32_t OrderID,
    OperationType BuySell, double Lots, const SymbolPtr& Symbol, const std::string& ServerTime,
    int32_t OpenTicket, const std::string& /*TransTag*/) {
    const int32_t sideIndex = static_cast<int32_t>(BuySell) + 2;
    std::string name;
    const std::string request = "Request close ticket #" + std::to_string(OpenTicket) +
                                (sideIndex >= 0 && sideIndex <= 4 ? kCloseSide[sideIndex] : "") +
                                " " + Num(Lots) + " " + SymbolName(Symbol, name) + " at " +
                                Num(AtPrice);
    if (Result == OrbanexClientAPI10::DoneResult && PosOrOrder == 1) {
        ports_.frmTrade->RemovePosition(OpenTicket, m_lAccount);
        if (ports_.frmTrade->lvwOpenPos().Count() == 0) ports_.frmTrade->setChkAll(false);
        ports_.frmPending->Removeorder(OrderID, m_lAccount);
        Journal("Postion " + std::to_string(OpenTicket) + " is closed successfuly");
        return;
    }
    if (Result == OrbanexClientAPI10::DoneResult) {
        ports_.frmPending->Add(runtime::Variant(OrderID), m_lAccount, "CP", BuySell, Lots, Symbol,
                               runtime::Variant(Symbol->FormatPrice(runtime::Variant(AtPrice))),
                               runtime::Null, runtime::Null, ServerTime,
                               runtime::Variant(OpenTicket));
        ports_.frmClosePos->searchpos(m_lAccount, OpenTicket, "Position in pending mode");
        Journal(request);
        ports_.frmClosePos->RefreshMSH();
        auto& closes = ports_.frmClosePos->PendingCloses();
        const std::string key = PendingRowKey(m_lAccount, OrderID);
        if (closes.Contains(key)) closes.Remove(key);
        closes.Add(OpenTicket, key);
        return;
    }
    for (const CloseRow& row : kCloseRows) {
        if (row.code != Result) continue;
        Fields f;
        f.ticket = OpenTicket, f.account = m_lAccount, f.request = request;
        Journal(Expand(row.journal, f));
        Message(Expand(row.message, f));
        ports_.frmClosePos->searchpos(m_lAccount, OpenTicket, Expand(row.status, f));
        if (row.enableChooser) EnableCloseSymbols();
        if (row.removeRequest) ports_.frmPending->Removeorder(OrderID, m_lAccount);
        return;
    }
}

// ---- Entry orders ----

void CClientAPIManager::CLAPICLASS_NewLimitOrderResult(NewOrderResult Result, int32_t OrderID,
                                                       const std::string& /*ServerTime*/,
                                                       const std::string& /*TransTag*/) {
    const ResultRow* row = Find(kNewLimitRows, Result);
    if (!row) return;
    if (Result == OrbanexClientAPI10::DoneResult)
        ports_.frmPending->Removeorder(OrderID, m_lAccount);
    RunSteps(*row, OrderFields(OrderID),
             [this](int32_t act, const std::string& text) { Perform(act, text, 2); });
}

void CClientAPIManager::CLAPICLASS_UpdateLimitOrderResult(NewOrderResult Result, int32_t OrderID,
                                                          const std::string& /*ServerTime*/,
                                                          const std::string& /*TransTag*/) {
    if (Result == OrbanexClientAPI10::DoneResult) {
        RefreshPendingRow(OrderID);
        Journal("Order #" + std::to_string(OrderID) + "has been updated");
        return;
    }
    const ResultRow* row = Find(kUpdateLimitRows, Result);
    if (!row) return;
    RunSteps(*row, OrderFields(OrderID),
             [this](int32_t act, const std::string& text) { Perform(act, text, 2); });
}

void CClientAPIManager::CLAPICLASS_DeleteLimitOrderResult(NewOrderResult Result,
                                                          const std::string& OrderIDs,
                                                          const std::string& /*TransTag*/) {
    if (Result == OrbanexClientAPI10::DoneResult) {
        for (int32_t id : OrderNumbers(OrderIDs)) ports_.frmPending->Removeorder(id, m_lAccount);
        Journal("Order number #" + OrderIDs + " Canceled successfully");
        return;
    }
    const ResultRow* row = Find(kDeleteLimitRows, Result);
    if (!row) return;
    RunSteps(*row, IdsFields(OrderIDs),
             [this](int32_t act, const std::string& text) { Perform(act, text, 0); });
}

void CClientAPIManager::CLAPICLASS_LimitOrderAccepted(int32_t AccountID, int32_t OrderID,
                                                      int32_t /*Ticket*/, OperationType BuySell,
                                                      double Lots, const SymbolPtr& Symbol) {
    ports_.frmPending->Removeorder(OrderID, m_lAccount);
    std::string name;
    ports_.frmJournal->Add("Entry Order " + std::to_string(OrderID) + " [" + BuySellDesc(BuySell) +
                               " " + Num(Lots) + " " + SymbolName(Symbol, name) +
                               "] has been executed",
                           AccountID, true);
}

void CClientAPIManager::CLAPICLASS_LimitOrderCanceledCannotHdg(int32_t AccountID, int32_t OrderID,
                                                               int32_t, OperationType, double,
                                                               const SymbolPtr&) {
    Message("Limit Order:" + std::to_string(OrderID) +
            " cancelled because cannot handge for account number #" + std::to_string(AccountID));
    ports_.frmPending->Removeorder(OrderID, m_lAccount);
}

void CClientAPIManager::CLAPICLASS_LimitOrderCanceledNoMoney(int32_t AccountID, int32_t OrderID,
                                                             int32_t, OperationType, double,
                                                             const SymbolPtr&) {
    Message("Limit Order:" + std::to_string(OrderID) +
            " cancelled because there is no money for account number #" +
            std::to_string(AccountID));
    ports_.frmPending->Removeorder(OrderID, m_lAccount);
}

// ---- SL/TP orders ----

void CClientAPIManager::CLAPICLASS_NewSLTPOrderResult(NewOrderResult Result, int32_t OrderID,
                                                      const std::string& /*ServerTime*/,
                                                      const std::string& /*TransTag*/) {
    if (Result == OrbanexClientAPI10::DoneResult) {
        Journal("Request SL/TP for #" + std::to_string(OrderID));
        RefreshPendingRow(OrderID);
        return;
    }
    const ResultRow* row = Find(kNewSlTpRows, Result);
    if (!row) return;
    RunSteps(*row, OrderFields(OrderID),
             [this](int32_t act, const std::string& text) { Perform(act, text, 0); });
}

void CClientAPIManager::CLAPICLASS_UpdateSLTPOrderResult(NewOrderResult Result, int32_t OrderID,
                                                         const std::string& /*ServerTime*/,
                                                         const std::string& /*TransTag*/) {
    Journal("Updating SL/TP order #" + std::to_string(OrderID) + " result #" +
            std::to_string(static_cast<int32_t>(Result)));
}

void CClientAPIManager::CLAPICLASS_DeleteSLTPOrderResult(NewOrderResult Result,
                                                         const std::string& OrderIDs,
                                                         const std::string& /*TransTag*/) {
    if (Result == OrbanexClientAPI10::DoneResult)
        for (int32_t id : OrderNumbers(OrderIDs)) ports_.frmPending->Removeorder(id, m_lAccount);
    Journal("Delete SLTP Order #" + OrderIDs + " " + ResultDescription(Result));
}

void CClientAPIManager::CLAPICLASS_SlTpOrderAccepted(int32_t AccountID, int32_t OrderID,
                                                     int32_t /*Ticket*/) {
    ports_.frmPending->Removeorder(OrderID, m_lAccount);
    ports_.frmJournal->Add("SL/TP request #" + std::to_string(OrderID) + " is accepted", AccountID,
                           true);
}

void CClientAPIManager::CLAPICLASS_SlTpOrderCanceledNoMoney(int32_t AccountID, int32_t OrderID,
                                                            int32_t /*Ticket*/) {
    ports_.frmPending->Removeorder(OrderID, m_lAccount);
    ports_.frmJournal->Add("SL/TP request #" + std::to_string(OrderID) + " is canceled - no money",
                           AccountID, true);
}

}  // namespace OrbanexDesk
