// The account session's trading commands, and what it says of those whose answer
// never came: each command sent while logged on is kept until it is answered;
// when the connection is lost or closed, every one still waiting gets one journal
// line, the same line with its account in the API log, and a market or entry
// order's pane row the same note.
#include "desk/sessions/CClientAPIManager.h"
#include "general/common/CLogFile.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"

namespace OrbanexDesk {

namespace {
using Kind = UnansweredCommands::Kind;
using Command = UnansweredCommands::Command;
// Where the client API logs the requests a session reset dropped.
constexpr const char* kApiLogFile = "c:\\APIlog.txt";
}  // namespace

std::shared_ptr<CClientAPIManager::API> CClientAPIManager::Api() {
    if (!api_) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    return api_;
}

void CClientAPIManager::Keep(CallingResult code, UnansweredCommands::Command command) {
    // Logged off, the client API sends nothing: nothing can be waiting for it.
    if (code == OrbanexClientAPI10::SuccessResult && api_ && api_->LogedOn())
        unanswered_.Keep(std::move(command));
}

CClientAPIManager::CallingResult CClientAPIManager::SendMarketOrder(OperationType BuySell,
                                                                    int32_t SymbolID, double Lots,
                                                                    const std::string& SymbolName) {
    const CallingResult code = Api()->NewMarketOrder(BuySell, SymbolID, Lots, "", "");
    Keep(code, Command::Order(Kind::MarketOrder, BuySell, Lots, SymbolName));
    return code;
}

CClientAPIManager::CallingResult CClientAPIManager::SendLimitOrder(OperationType OrderType,
                                                                   int32_t SymbolID, double Lots,
                                                                   double AtPrice,
                                                                   const runtime::Variant& SL,
                                                                   const runtime::Variant& TP) {
    const auto api = Api();
    const CallingResult code =
        api->NewLimitOrder(OrderType, SymbolID, Lots, AtPrice, SL, TP, "", "");
    if (code != OrbanexClientAPI10::SuccessResult) return code;
    // The price as the request line has it: with the symbol's digits.
    const SymbolPtr symbol = api->SymbolByID(SymbolID);
    const runtime::Variant price(AtPrice);
    Keep(code,
         Command::Order(Kind::EntryOrder, OrderType, Lots, symbol ? symbol->Name() : std::string(),
                        symbol ? symbol->FormatPrice(price) : runtime::NumberToText(AtPrice)));
    return code;
}

CClientAPIManager::CallingResult CClientAPIManager::SendLimitOrderUpdate(
    int32_t OrderID, double Lots, double NewPrice, const runtime::Variant& SL,
    const runtime::Variant& TP) {
    const CallingResult code = Api()->UpdateLimitOrder(OrderID, Lots, NewPrice, SL, TP, "", "");
    Keep(code, Command::Numbered(Kind::EntryUpdate, OrderID));
    return code;
}

CClientAPIManager::CallingResult CClientAPIManager::SendLimitOrderCancel(
    const std::string& OrderIDs) {
    const CallingResult code = Api()->DeleteLimitOrder(OrderIDs, "");
    Keep(code, Command::Listed(Kind::EntryCancel, OrderIDs));
    return code;
}

CClientAPIManager::CallingResult CClientAPIManager::SendSLTPOrder(int32_t Ticket, double Lots,
                                                                  const runtime::Variant& SL,
                                                                  const runtime::Variant& TP) {
    const CallingResult code = Api()->NewSLTPOrder(Ticket, Lots, SL, TP, "");
    Keep(code, Command::Numbered(Kind::SlTpOrder, Ticket));
    return code;
}

CClientAPIManager::CallingResult CClientAPIManager::SendSLTPOrderUpdate(
    int32_t OrderID, double Lots, const runtime::Variant& SL, const runtime::Variant& TP) {
    const CallingResult code = Api()->UpdateSLTPOrder(OrderID, Lots, SL, TP, "");
    Keep(code, Command::Numbered(Kind::SlTpUpdate, OrderID));
    return code;
}

CClientAPIManager::CallingResult CClientAPIManager::SendSLTPOrderCancel(
    const std::string& OrderIDs) {
    const CallingResult code = Api()->DeleteSLTPOrder(OrderIDs, "");
    Keep(code, Command::Listed(Kind::SlTpCancel, OrderIDs));
    return code;
}

CClientAPIManager::CallingResult CClientAPIManager::SendClose(const std::string& Tickets,
                                                              const std::string& Lots) {
    const CallingResult code = Api()->CloseMarketOrder(Tickets, Lots, "");
    Keep(code, Command::Listed(Kind::Close, Tickets));
    return code;
}

CClientAPIManager::CallingResult CClientAPIManager::SendRequoteAnswer(int32_t OrderID,
                                                                      bool Accept) {
    const auto api = Api();
    const CallingResult code = Accept ? api->AcceptOrder(OrderID) : api->RejectOrder(OrderID);
    Keep(code, Command::Numbered(Accept ? Kind::RequoteAccept : Kind::RequoteReject, OrderID));
    return code;
}

// ---- Answers and the connection's end ----

void CClientAPIManager::ConnectUnansweredTracking() {
    API& a = *api_;
    std::weak_ptr<CClientAPIManager> weak = weak_from_this();
    // Runs after the event's handler; a released session keeps nothing.
    auto on = [this, &weak](auto& event, auto&& action) {
        connections_.emplace_back(event.Connect([weak, action](auto&&... args) {
            auto self = weak.lock();
            if (!self || self->released_) return;
            try {
                action(*self, args...);
            } catch (const std::exception&) {
                // a journal that cannot take the line must not break the event chain
            }
        }));
    };
    auto answers = [&on](auto& event, Kind kind) {
        on(event, [kind](CClientAPIManager& s, auto&&...) { s.unanswered_.Answered(kind); });
    };
    answers(a.NewOrderResult, Kind::MarketOrder);
    answers(a.NewLimitOrderResult, Kind::EntryOrder);
    answers(a.UpdateLimitOrderResult, Kind::EntryUpdate);
    answers(a.DeleteLimitOrderResult, Kind::EntryCancel);
    answers(a.NewSLTPOrderResult, Kind::SlTpOrder);
    answers(a.UpdateSLTPOrderResult, Kind::SlTpUpdate);
    answers(a.DeleteSLTPOrderResult, Kind::SlTpCancel);
    answers(a.CloseOrderResult, Kind::Close);
    on(a.MarketOrderAccepted, [](CClientAPIManager& s, int32_t, int32_t OrderID, auto&&...) {
        s.unanswered_.RequoteAnswered(OrderID);
    });
    on(a.MarketOrderRejected, [](CClientAPIManager& s, int32_t OrderID, auto&&...) {
        s.unanswered_.RequoteAnswered(OrderID);
    });
    // An answer that raises no result event (an error answer, a result with no
    // account selected) still ended its command: once nothing is outstanding on a
    // logged-on connection, every request sent before was answered. A session
    // reset empties the queue too, but only after it has logged off.
    on(a.WaitingMode, [](CClientAPIManager& s, KVClientDLL10::WaitingModeEnum Mode) {
        if (Mode == KVClientDLL10::NormalMode && s.api_ && s.api_->LogedOn())
            s.unanswered_.AllRequestsAnswered();
    });
    on(a.ConnectionState, [](CClientAPIManager& s, bool IsConnected) {
        if (!IsConnected) s.ReportUnanswered();
    });
    on(a.SessionDisconnected, [](CClientAPIManager& s) { s.ReportUnanswered(); });
}

void CClientAPIManager::ReportUnanswered() {
    const std::vector<Command> commands = unanswered_.TakeAll();
    if (commands.empty()) return;
    // The journal closes with the window; the log of the dropped requests keeps
    // each line, with its account, past an exit.
    OrbanelGeneral10::CLogFile log;
    log.setFileName(kApiLogFile);
    for (const Command& command : commands) {
        const std::string text = command.Text();
        log.AddEntry("account " + std::to_string(m_lAccount) + ": " + text, 1);
        Journal(text);
        if (command.MarketRow() && ports_.frmorder) ports_.frmorder->addNote(text, m_lAccount);
        if (command.EntryRow() && ports_.frmlimitorder)
            ports_.frmlimitorder->addNote(text, m_lAccount);
    }
}

}  // namespace OrbanexDesk
