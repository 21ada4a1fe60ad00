#pragma once
// The protocol framework's result dispatcher, the server end of one multi-row
// result: the owner adds complete result messages, Handle sends the client a
// count message (the count in parameter 1, as the connection library reads it)
// and then every result on the client's socket, and the results the client
// reports lost are sent again. Each send is announced through the relay's
// AddLogEntry (level 2).
#include <memory>
#include <string>
#include <vector>

#include "platform/TcpSocket.h"
#include "protocol/CDataProtocol.h"
#include "protocol/CEventManager.h"
#include "protocol/CSecure.h"
#include "protocol/CStringValues.h"
#include "runtime/Variant.h"

namespace KVGeneralDLL10 {

class CResponse {
public:
    CResponse() = default;
    CResponse(const CResponse&) = delete;
    CResponse& operator=(const CResponse&) = delete;

    // Sends the results of the not-received list, first reported first,
    // taking each off the list. False on the first error (a number outside
    // 1..Results, a failing send); the entries after it stay listed.
    bool SendNotRecievedResults();
    // Sends the count message and every result in order; True and Handled
    // once all went. Any error (no socket, no relay, no session in the
    // socket's tag, a failing send) gives False; what was sent stays sent.
    bool Handle();
    // Appends a complete result message (as the codec builds it).
    void AddResult(const std::string& Rslt) { results_.push_back(Rslt); }
    // Lists a result the client reports lost.
    void ResultNotRecieved(double ResultID);

    const std::shared_ptr<platform::TcpSocket>& Child() const { return child_; }
    void setChild(std::shared_ptr<platform::TcpSocket> child) { child_ = std::move(child); }
    // The number of results, as a Double.
    runtime::Variant Results() const { return runtime::Variant(Count()); }
    bool HasNotRecievedResults() const { return !notReceived_.empty(); }
    bool Handled() const { return handled_; }
    // The relay that receives the log lines.
    void setEventManager(std::shared_ptr<CEventManager> manager) {
        eventManager_ = std::move(manager);
    }

private:
    double Count() const { return static_cast<double>(results_.size()); }
    void SendText(const std::string& text);

    std::shared_ptr<platform::TcpSocket> child_;
    std::vector<std::string> results_;  // result i is results_[i - 1]
    std::string notReceived_;
    bool handled_ = false;
    CStringValues values_;
    CDataProtocol codec_;
    CSecure secure_;
    std::shared_ptr<CEventManager> eventManager_;
};

}  // namespace KVGeneralDLL10
