#pragma once
// Records the data client's own events (those the request object has not)
// as one line each, in the AnswerRecorder's notation; sessions read
// "SID:LoginTime/Username/Name/IP/UserType/UserID/api-or-/DealerPriv".
// Record adds further events to the same ordered log.
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "clientapi/dataclient/CDataClient.h"
#include "runtime/Event.h"
#include "tests/clientapi/dataclient/AnswerRecorder.h"

namespace testsupport {

inline std::string ShowSession(const OrbanexClientAPI10::CDataClient::SessionPtr& s) {
    return std::to_string(s->SID()) + ":" + s->LoginTime() + "/" + s->Username() + "/" + s->Name() +
           "/" + s->IP() + "/" + std::to_string(s->UserType()) + "/" + std::to_string(s->UserID()) +
           "/" + (s->APILogin() ? "api" : "-") + "/" + std::to_string(s->DealerPriv());
}

// The data client's own events (those the request object has not), one line each.
class PushRecorder {
public:
    explicit PushRecorder(OrbanexClientAPI10::CDataClient& c) {
        Record(c.ReceivePrices, "ReceivePrices");
        Record(c.KillOrder, "KillOrder");
        Record(c.ServerTime, "ServerTime");
        Record(c.ReceiveHighLowPrices, "ReceiveHighLowPrices");
        Record(c.SessionDisconnected, "SessionDisconnected");
        Record(c.InvalidUsernamePassword, "InvalidUsernamePassword");
        Record(c.State, "State");
        Record(c.AllSessionsLoaded, "AllSessionsLoaded");
        Record(c.NewOpenPosMsg, "NewOpenPosMsg");
        Record(c.DeleteOpenPosMsg, "DeleteOpenPosMsg");
        Record(c.UpdateOpenPosMsg, "UpdateOpenPosMsg");
        Record(c.DeleteClosePosMsg, "DeleteClosePosMsg");
        Record(c.CloseOpenPosMsg, "CloseOpenPosMsg");
        Record(c.NewPendingOrderMsg, "NewPendingOrderMsg");
        Record(c.DeletePendingOrderMsg, "DeletePendingOrderMsg");
        Record(c.NewChatOrder, "NewChatOrder");
        Record(c.ClientParametersChanged, "ClientParametersChanged");
        Record(c.SummariesMsg, "SummariesMsg");
        Record(c.OrderStatusChanged, "OrderStatusChanged");
        Record(c.ReportDataReceived, "ReportDataReceived");
        Record(c.TransactionLogMsg, "TransactionLogMsg");
        Record(c.MoneyTransResultReceived, "MoneyTransResultReceived");
        Record(c.SessionLoggedON, "SessionLoggedON");
        Record(c.SessionLoggedOff, "SessionLoggedOff");
        Record(c.DisconnectNoHandshakeMsg, "DisconnectNoHandshakeMsg");
        Record(c.ServerRouted, "ServerRouted");
    }
    std::vector<std::string> Take() { return std::exchange(lines, {}); }
    std::vector<std::string> lines;

private:
    template <class T>
    static std::string Show(const T& value) {
        if constexpr (std::is_same_v<T, OrbanexClientAPI10::CDataClient::SessionPtr>) {
            return ShowSession(value);
        } else {
            return testsupport::AnswerRecorder<OrbanexClientAPI10::CDataClient>::Show(value);
        }
    }

public:
    template <class... Args>
    void Record(runtime::Event<Args...>& event, std::string name) {
        connections_.emplace_back(event.Connect([this, name](Args... args) {
            std::string line = name + "(";
            bool first = true;
            ((line += (first ? "" : ", ") + Show<std::decay_t<Args>>(args), first = false), ...);
            lines.push_back(line + ")");
        }));
    }

private:
    std::vector<runtime::ScopedConnection> connections_;
};

}  // namespace testsupport
