#include "general/common/CResponse.h"

#include <limits>
#include <string_view>

#include "general/common/Enums.h"
#include "general/common/MCommandMessage.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"

namespace OrbanelGeneral10 {

namespace {

template <class T>
T& Require(const std::shared_ptr<T>& object) {
    if (!object) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    return *object;
}

bool HoldsMessageMarker(std::string_view text) {
    return wire::Find(text, wire::kParameterMarker) != wire::npos ||
           wire::Find(text, wire::kEndMarker) != wire::npos;
}

// A response of `token` whose first parameters are `head` and the rest not sent.
std::vector<std::string> Parameters(std::vector<std::string> head) {
    head.resize(wire::kMaxParameters, std::string(wire::kNotSent));
    return head;
}

// The client reads a row text equal to one of these, or empty, as a row it
// did not get, and asks for it again.
bool Receivable(std::string_view row) {
    return !row.empty() && row != wire::kNotSent && row != wire::kInvalidParameter;
}

}  // namespace

CResponse::CResponse() {
    Row().NewRow();
}

CRow& CResponse::Row() const {
    return Require(codec_.RowString());
}

void CResponse::AddCell(const runtime::Variant& CellVal) {
    const std::string text = codec_.ParamValue(runtime::CStr(CellVal));
    CRow& row = Row();
    if (text.find(row.Delimiter()) != std::string::npos || HoldsMessageMarker(text)) {
        throw runtime::Error(
            runtime::errc::InvalidProcedureCall,
            "A cell may not hold \"" + row.Delimiter() + "\", \"G)_\" or \"+3!\": " + text);
    }
    row.AddCell(runtime::Variant(text));
}

void CResponse::AddRow() {
    CRow& row = Row();
    const runtime::Variant& value = row.RowVal();
    const std::string text = value.IsNull() ? std::string() : runtime::CStr(value);
    if (!Receivable(text)) {
        throw runtime::Error(runtime::errc::InvalidProcedureCall,
                             "A row must hold text the client can receive (not empty, not \"" +
                                 std::string(wire::kNotSent) + "\", not \"" +
                                 std::string(wire::kInvalidParameter) + "\")");
    }
    if (rows_.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        throw runtime::Error(runtime::errc::Overflow);
    }
    rows_.push_back(text);
    row.NewRow();
}

void CResponse::ResultNotRecieved(double ResultID) {
    if (!notReceived_.empty()) notReceived_.append(",");
    notReceived_.append(values_.NumberToString(runtime::Variant(ResultID)));
}

void CResponse::SendRow(int32_t i) {
    platform::TcpSocket& socket = Require(child_);
    const std::string& row = rows_[static_cast<size_t>(i) - 1];
    const std::string line = "Dispatcher sent row " + std::to_string(i) + " <<" + row + ">> to " +
                             codec_.SessionDescription(child_);
    Require(eventManager_).TriggerEvent(AddLogEntryEvent, {line, "2"});
    socket.Send(codec_.Response(RESULT_TOKEN, Parameters({std::to_string(i), row})));
}

bool CResponse::Handle() {
    try {
        platform::TcpSocket& socket = Require(child_);
        // Without a manager no row could go: the client would wait for ever
        // after the count.
        if (!rows_.empty()) Require(eventManager_);
        const std::string count = values_.NumberToString(runtime::Variant(Results()));
        socket.Send(codec_.Response(RESULT_COUNT_TOKEN, Parameters({count})));
        for (int32_t i = 1; i <= Results(); ++i) SendRow(i);
        handled_ = true;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool CResponse::SendNotRecievedResults() {
    try {
        while (!notReceived_.empty()) {
            std::string rest;
            const std::string first = values_.get_first_val(notReceived_, rest, ",");
            notReceived_ = std::move(rest);
            const double number = runtime::RoundHalfEven(runtime::CDbl(runtime::Variant(first)));
            if (!(number >= 1 && number <= Results())) {
                throw runtime::Error(runtime::errc::SubscriptOutOfRange);
            }
            SendRow(static_cast<int32_t>(number));
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace OrbanelGeneral10
