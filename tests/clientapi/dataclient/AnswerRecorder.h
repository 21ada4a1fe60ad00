#pragma once
// Records every answer event of a source that raises the request object's 37
// answer events (the request object itself, or the data client that relays
// them under the same names) as one line each: "Name(arg, arg, ...)" with
// texts as they are, numbers in "." form, flags True/False, enumerations as
// their numbers and tables as "[a,b|c,d]".
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "connection/ResultTable.h"
#include "runtime/Convert.h"
#include "runtime/Event.h"

namespace testsupport {

template <class Source>
class AnswerRecorder {
public:
    explicit AnswerRecorder(Source& s) {
        Record(s.SymbolsRecieved, "SymbolsRecieved");
        Record(s.DealersRecieved, "DealersRecieved");
        Record(s.AccountsRecieved, "AccountsRecieved");
        Record(s.ClientsRecieved, "ClientsRecieved");
        Record(s.FloatingStatusRecieved, "FloatingStatusRecieved");
        Record(s.PrivsRecieved, "PrivsRecieved");
        Record(s.AcceptResultReceived, "AcceptResultReceived");
        Record(s.RejectResultReceived, "RejectResultReceived");
        Record(s.ChangeResultReceived, "ChangeResultReceived");
        Record(s.OpenPositionsRecieved, "OpenPositionsRecieved");
        Record(s.AccountHistoryRecieved, "AccountHistoryRecieved");
        Record(s.PendingOrdersRecieved, "PendingOrdersRecieved");
        Record(s.SummariesResultReceived, "SummariesResultReceived");
        Record(s.CompDataReceived, "CompDataReceived");
        Record(s.VariablesRecieved, "VariablesRecieved");
        Record(s.NewOrderResultRecieved, "NewOrderResultRecieved");
        Record(s.CloseOrderResultRecieved, "CloseOrderResultRecieved");
        Record(s.NewPosResultRecieved, "NewPosResultRecieved");
        Record(s.ChangeSymbolSettingsResultRecieved, "ChangeSymbolSettingsResultRecieved");
        Record(s.ChangeParamResultRecieved, "ChangeParamResultRecieved");
        Record(s.CreateClientResultRecieved, "CreateClientResultRecieved");
        Record(s.CreateOfficeResultRecieved, "CreateOfficeResultRecieved");
        Record(s.CreateGroupResultRecieved, "CreateGroupResultRecieved");
        Record(s.CreateAccountResultRecieved, "CreateAccountResultRecieved");
        Record(s.ClosePosResultRecieved, "ClosePosResultRecieved");
        Record(s.NewLimitOrderResultRecieved, "NewLimitOrderResultRecieved");
        Record(s.UpdateLimitOrderResultRecieved, "UpdateLimitOrderResultRecieved");
        Record(s.DeleteLimitOrderResultRecieved, "DeleteLimitOrderResultRecieved");
        Record(s.NewSLTPOrderResultRecieved, "NewSLTPOrderResultRecieved");
        Record(s.UpdateSLTPOrderResultRecieved, "UpdateSLTPOrderResultRecieved");
        Record(s.DeleteSLTPOrderResultRecieved, "DeleteSLTPOrderResultRecieved");
        Record(s.AcceptOrderResultRecieved, "AcceptOrderResultRecieved");
        Record(s.RejectOrderResultRecieved, "RejectOrderResultRecieved");
        Record(s.TimerExpiredResultRecieved, "TimerExpiredResultRecieved");
        Record(s.SendSMSResultReceived, "SendSMSResultReceived");
        Record(s.SwitchOrderResultReceived, "SwitchOrderResultReceived");
        Record(s.SwitchChatResultRecieved, "SwitchChatResultRecieved");
    }

    // The lines recorded since the last Take.
    std::vector<std::string> Take() { return std::exchange(lines, {}); }

    std::vector<std::string> lines;

    template <class T>
    static std::string Show(const T& value) {
        if constexpr (std::is_same_v<T, bool>) {
            return value ? "True" : "False";
        } else if constexpr (std::is_same_v<T, std::string>) {
            return value;
        } else if constexpr (std::is_floating_point_v<T>) {
            return runtime::NumberToText(value);
        } else if constexpr (std::is_same_v<T, KVClientDLL10::ResultTable>) {
            std::string out = "[";
            for (size_t r = 1; r <= value.Rows(); ++r) {
                if (r > 1) out += "|";
                for (size_t c = 1; c <= value.Cells(); ++c) out += (c > 1 ? "," : "") + value(r, c);
            }
            return out + "]";
        } else {
            return std::to_string(static_cast<int64_t>(value));
        }
    }

private:
    template <class... Args>
    void Record(runtime::Event<Args...>& event, std::string name) {
        connections_.emplace_back(event.Connect([this, name](Args... args) {
            std::string line = name + "(";
            bool first = true;
            ((line += (first ? "" : ", ") + Show<std::decay_t<Args>>(args), first = false), ...);
            lines.push_back(line + ")");
        }));
    }

    std::vector<runtime::ScopedConnection> connections_;
};

}  // namespace testsupport
