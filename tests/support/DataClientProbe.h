#pragma once
// Seams for driving a data client without a socket: its requests diverted to
// a recorder, answers handed to its request objects, and its connection
// session reachable so that a test raises DataRecieved, State, ShowError ...
// as the socket would. Header-only: it needs the client API library, which
// only the programs that test it link.
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "clientapi/dataclient/CDataClient.h"
#include "connection/CKVClient.h"
#include "connection/IClientServer.h"
#include "connection/ResultTable.h"
#include "protocol/CEventManager.h"
#include "runtime/Error.h"
#include "runtime/Event.h"

namespace testsupport {

// A request relay that records each request as "token[p1|p2|...]", the
// parameters up to the first not-sent marker.
class RequestRecorder {
public:
    RequestRecorder() : relay(std::make_shared<KVGeneralDLL10::CEventManager>()) {
        connection_ = relay->ERequestFromServer.Connect(
            [this](int16_t token, const std::vector<std::string>& p) {
                std::string line = std::to_string(token) + "[";
                for (size_t i = 0; i < p.size() && p[i] != "!&NS&!"; ++i)
                    line += (i ? "|" : "") + p[i];
                lines.push_back(line + "]");
            });
    }

    std::vector<std::string> Take() {
        std::vector<std::string> out;
        out.swap(lines);
        return out;
    }

    std::shared_ptr<KVGeneralDLL10::CEventManager> relay;
    std::vector<std::string> lines;

private:
    runtime::ScopedConnection connection_;
};

// Gives the recorder to all four request objects of the data client.
inline void DivertRequests(OrbanexClientAPI10::CDataClient& client, RequestRecorder& recorder) {
    client.ClientServer()->SetEventManager(recorder.relay);
    client.Reports()->SetEventManager(recorder.relay);
    client.MoneyTrans()->SetEventManager(recorder.relay);
    client.OnlineSessions()->SetEventManager(recorder.relay);
}

// The 1-based field vector of a one-row answer or a push (slot 0 unused).
inline std::vector<std::string> Fields(std::vector<std::string> values) {
    values.insert(values.begin(), std::string());
    return values;
}

// The table of a multi-row answer; rows shorter than the first leave empty cells.
inline KVClientDLL10::ResultTable Table(const std::vector<std::vector<std::string>>& rows) {
    const size_t width = rows.empty() ? 0 : rows[0].size();
    KVClientDLL10::ResultTable table(rows.size(), width);
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size() && c < width; ++c) table(r + 1, c + 1) = rows[r][c];
    }
    return table;
}

inline void AnswerOneRow(KVClientDLL10::IClientServer& object, int16_t token,
                         const std::vector<std::string>& values) {
    const std::vector<std::string> fields = Fields(values);
    object.OneRowResultreceived(token, static_cast<int16_t>(values.size()), fields);
}

inline void AnswerRows(KVClientDLL10::IClientServer& object, int16_t token,
                       const std::vector<std::vector<std::string>>& rows) {
    if (rows.empty()) {
        object.MultiRowsResultsreceived(token, true, KVClientDLL10::ResultTable{}, 0, 0);
        return;
    }
    const KVClientDLL10::ResultTable table = Table(rows);
    object.MultiRowsResultsreceived(token, false, table, static_cast<int32_t>(table.Rows()),
                                    static_cast<int16_t>(table.Cells()));
}

// The data client's one friend: its connection session.
class DataClientAccess {
public:
    static KVClientDLL10::CKVClient& Session(OrbanexClientAPI10::CDataClient& client) {
        return *client.m_oKVClient;
    }

    // Raises the session's DataRecieved as a received push would, and returns
    // the error number a handler raised (0 for none). The caller's client may
    // be gone afterwards.
    static int32_t Push(OrbanexClientAPI10::CDataClient& client, int16_t token,
                        const std::vector<std::string>& values) {
        const std::vector<std::string> fields = Fields(values);
        try {
            Session(client).DataRecieved(token, static_cast<int16_t>(values.size()), fields);
        } catch (const runtime::Error& e) {
            return e.Number();
        }
        return 0;
    }
};

}  // namespace testsupport
