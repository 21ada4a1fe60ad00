#include "protocol/CResponse.h"

#include <exception>

#include "general/common/ISessionTag.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"

namespace KVGeneralDLL10 {

namespace {

template <class T>
T& Require(const std::shared_ptr<T>& object) {
    if (!object) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    return *object;
}

}  // namespace

void CResponse::SendText(const std::string& text) {
    platform::TcpSocket& socket = Require(child_);
    CEventManager& relay = Require(eventManager_);
    // The line is made first: a socket whose tag holds no session sends nothing.
    const std::string line = "Dispatcher sends msg to " + socket.RemoteAddress() + "(" +
                             std::to_string(socket.Port()) + ") [" +
                             std::to_string(OrbanelGeneral10::TagSID(socket.Tag)) + "]: " + text;
    socket.Send(secure_.Code(text));
    relay.TriggerEvent(AddLogEntryEvent, line, "2", "");
}

bool CResponse::Handle() {
    try {
        const std::string n = values_.NumberToString(runtime::Variant(Count()));
        SendText(codec_.Response(RESULT_COUNT_TOKEN, {n}));
        for (const std::string& result : results_) SendText(result);
        handled_ = true;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void CResponse::ResultNotRecieved(double ResultID) {
    if (!notReceived_.empty()) notReceived_.append(",");
    notReceived_.append(values_.NumberToString(runtime::Variant(ResultID)));
}

bool CResponse::SendNotRecievedResults() {
    try {
        while (!notReceived_.empty()) {
            std::string rest;
            const std::string first = values_.get_first_val(notReceived_, rest, ",");
            notReceived_ = std::move(rest);
            const double number = runtime::RoundHalfEven(runtime::CDbl(runtime::Variant(first)));
            if (!(number >= 1 && number <= Count())) {
                throw runtime::Error(runtime::errc::SubscriptOutOfRange);
            }
            SendText(results_[static_cast<size_t>(number) - 1]);
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace KVGeneralDLL10
