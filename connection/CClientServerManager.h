#pragma once
// The session's router: it owns the request relay that the request objects
// send through, keeps the registry of request objects and hands each answer
// to the first one that claims the answered request's token.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "connection/CClientServerObjects.h"
#include "connection/IClientServer.h"
#include "connection/ResultTable.h"
#include "protocol/CEventManager.h"
#include "protocol/CProcess.h"
#include "runtime/Event.h"

namespace KVClientDLL10 {

class CClientServerManager {
public:
    // The most cells a row of a multi-row answer may have (the cell count is 16-bit).
    static constexpr size_t kMaxRowCells = 32767;

    CClientServerManager();
    ~CClientServerManager();
    CClientServerManager(const CClientServerManager&) = delete;
    CClientServerManager& operator=(const CClientServerManager&) = delete;

    // Gives the object the relay, then appends it. Errors of either step reach the caller.
    void AddClientServerObject(std::shared_ptr<IClientServer> vObject);

    // Routes a one-row answer (the values of Process) to the first object that
    // claims WaitingToken; an unclaimed answer is dropped. A handler's error
    // reaches the caller.
    void OneRowResultreceived(int16_t WaitingToken, const KVGeneralDLL10::CProcess& Process);
    // ParVals[1..n] := the n values of Process (slot 0 empty).
    void GenerateParamsArr(const KVGeneralDLL10::CProcess& Process,
                           std::vector<std::string>& ParVals) const;
    // Builds the table of DataArr[1..n] (row strings; slot 0 unused) and routes
    // it. Unless NoRows the table is built even when no object claims the
    // token, so a malformed result is reported either way: a row wider than
    // row 1 or wider than kMaxRowCells raises runtime::Error(9) and nothing is
    // delivered. The table is row 1's width; it holds each row's own cells, so
    // it grows with the rows' text, not with the row count times that width.
    void MultiRowsResultsreceived(int16_t WaitingToken, bool NoRows,
                                  const std::vector<std::string>& DataArr);

    void setSID(int32_t value);
    // The session's parsing message object: it reads values and splits rows.
    void setDataProtocol(std::shared_ptr<KVGeneralDLL10::CProcess> process);

    const std::shared_ptr<KVGeneralDLL10::CEventManager>& EventManager() const {
        return m_oEventManager;
    }
    const CClientServerObjects& Objects() const { return registry_; }

    // A request object's request, relayed to the session: token and p1..p50.
    runtime::Event<int16_t /*Tkn*/, const std::vector<std::string>& /*p*/> RequestFromServer;

private:
    std::shared_ptr<IClientServer> FindHandler(int16_t token) const;

    std::shared_ptr<KVGeneralDLL10::CEventManager> m_oEventManager;
    // The relay outlives us in the request objects: never call into a dead router.
    runtime::ScopedConnection relayConnection_;
    CClientServerObjects registry_;
    std::shared_ptr<KVGeneralDLL10::CProcess> dataProtocol_;
    std::vector<std::string> params_;  // reused for every one-row answer
    // A handler may release the session, and with it this router.
    std::shared_ptr<char> life_ = std::make_shared<char>();
};

}  // namespace KVClientDLL10
