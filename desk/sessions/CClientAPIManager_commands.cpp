// The account session's trading commands, and what it says of those whose answer
// never came: each command queued while logged on is kept until its request is
// answered (by the request numbers of the client API); when the connection is
// lost or closed, every one still waiting gets one journal line, the same line
// with its account in the API log, and a market or entry order's pane row the
// same note.
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

template <class F>
CClientAPIManager::CallingResult CClientAPIManager::Kept(UnansweredCommands::Command command,
                                                         F send) {
    const auto api = Api();
    const uint64_t before = api->LastQueuedRequest();
    const CallingResult code = send(*api);
    // Logged off, the client API sends nothing: nothing can be waiting for it.
    if (code != OrbanexClientAPI10::SuccessResult || released_ || !api->LogedOn()) return code;
    unanswered_.AnsweredUpTo(api->LastAnsweredRequest());
    // Each command queues one request, unless a full queue refused it (the client
    // API reports that): what was never queued waits for no answer.
    const uint64_t request = api->LastQueuedRequest();
    if (request != before) unanswered_.Keep(std::move(command), request);
    return code;
}

CClientAPIManager::CallingResult CClientAPIManager::SendMarketOrder(OperationType BuySell,
                                                                    int32_t SymbolID, double Lots,
                                                                    const std::string& SymbolName) {
    return Kept(Command::Order(Kind::MarketOrder, BuySell, Lots, SymbolName),
                [&](API& api) { return api.NewMarketOrder(BuySell, SymbolID, Lots, "", ""); });
}

CClientAPIManager::CallingResult CClientAPIManager::SendLimitOrder(OperationType OrderType,
                                                                   int32_t SymbolID, double Lots,
                                                                   double AtPrice,
                                                                   const runtime::Variant& SL,
                                                                   const runtime::Variant& TP) {
    // The price as the request line has it: with the symbol's digits.
    const SymbolPtr symbol = Api()->SymbolByID(SymbolID);
    const runtime::Variant price(AtPrice);
    Command command =
        Command::Order(Kind::EntryOrder, OrderType, Lots, symbol ? symbol->Name() : std::string(),
                       symbol ? symbol->FormatPrice(price) : runtime::NumberToText(AtPrice));
    return Kept(std::move(command), [&](API& api) {
        return api.NewLimitOrder(OrderType, SymbolID, Lots, AtPrice, SL, TP, "", "");
    });
}

CClientAPIManager::CallingResult CClientAPIManager::SendLimitOrderUpdate(
    int32_t OrderID, double Lots, double NewPrice, const runtime::Variant& SL,
    const runtime::Variant& TP) {
    return Kept(Command::Numbered(Kind::EntryUpdate, OrderID), [&](API& api) {
        return api.UpdateLimitOrder(OrderID, Lots, NewPrice, SL, TP, "", "");
    });
}

CClientAPIManager::CallingResult CClientAPIManager::SendLimitOrderCancel(
    const std::string& OrderIDs) {
    return Kept(Command::Listed(Kind::EntryCancel, OrderIDs),
                [&](API& api) { return api.DeleteLimitOrder(OrderIDs, ""); });
}

CClientAPIManager::CallingResult CClientAPIManager::SendSLTPOrder(int32_t Ticket, double Lots,
                                                                  const runtime::Variant& SL,
                                                                  const runtime::Variant& TP) {
    return Kept(Command::Numbered(Kind::SlTpOrder, Ticket),
                [&](API& api) { return api.NewSLTPOrder(Ticket, Lots, SL, TP, ""); });
}

CClientAPIManager::CallingResult CClientAPIManager::SendSLTPOrderUpdate(
    int32_t OrderID, double Lots, const runtime::Variant& SL, const runtime::Variant& TP) {
    return Kept(Command::Numbered(Kind::SlTpUpdate, OrderID),
                [&](API& api) { return api.UpdateSLTPOrder(OrderID, Lots, SL, TP, ""); });
}

CClientAPIManager::CallingResult CClientAPIManager::SendSLTPOrderCancel(
    const std::string& OrderIDs) {
    return Kept(Command::Listed(Kind::SlTpCancel, OrderIDs),
                [&](API& api) { return api.DeleteSLTPOrder(OrderIDs, ""); });
}

CClientAPIManager::CallingResult CClientAPIManager::SendClose(const std::string& Tickets,
                                                              const std::string& Lots) {
    return Kept(Command::Listed(Kind::Close, Tickets),
                [&](API& api) { return api.CloseMarketOrder(Tickets, Lots, ""); });
}

CClientAPIManager::CallingResult CClientAPIManager::SendRequoteAnswer(int32_t OrderID,
                                                                      bool Accept) {
    return Kept(
        Command::Numbered(Accept ? Kind::RequoteAccept : Kind::RequoteReject, OrderID),
        [&](API& api) { return Accept ? api.AcceptOrder(OrderID) : api.RejectOrder(OrderID); });
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
    on(a.MarketOrderAccepted, [](CClientAPIManager& s, int32_t, int32_t OrderID, auto&&...) {
        s.unanswered_.RequoteAnswered(OrderID);
    });
    on(a.MarketOrderRejected, [](CClientAPIManager& s, int32_t OrderID, auto&&...) {
        s.unanswered_.RequoteAnswered(OrderID);
    });
    // Keeps the list short while the connection lives.
    on(a.WaitingMode, [](CClientAPIManager& s, KVClientDLL10::WaitingModeEnum) {
        if (s.api_) s.unanswered_.AnsweredUpTo(s.api_->LastAnsweredRequest());
    });
    on(a.ConnectionState, [](CClientAPIManager& s, bool IsConnected) {
        if (!IsConnected) s.ReportUnanswered();
    });
    on(a.SessionDisconnected, [](CClientAPIManager& s) { s.ReportUnanswered(); });
}

void CClientAPIManager::ReportUnanswered() {
    if (api_) unanswered_.AnsweredUpTo(api_->LastAnsweredRequest());
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
