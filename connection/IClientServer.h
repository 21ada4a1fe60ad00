#pragma once
// The request-object interface: the session hands each answer to the first
// registered object whose HasThisToken claims the token of the request it answers.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "connection/ResultTable.h"
#include "protocol/CEventManager.h"

namespace KVClientDLL10 {

class IClientServer {
public:
    virtual ~IClientServer() = default;

    // A one-row answer to a request of CallerToken: ParamVals[1..Parameters]
    // hold the answer's values (slot 0 is unused; no values leaves only it).
    // An error thrown here reaches the session, which reports it with ShowError.
    virtual void OneRowResultreceived(int16_t CallerToken, int16_t Parameters,
                                      const std::vector<std::string>& ParamVals) = 0;
    // A multi-row answer: DataArray(row, cell) with Results rows and
    // Parameters = the cell count of the last row; with NoRows an empty table
    // and both counts 0.
    virtual void MultiRowsResultsreceived(int16_t CallerToken, bool NoRows,
                                          const ResultTable& DataArray, int32_t Results,
                                          int16_t Parameters) = 0;
    // Asked with the token of the request answered, not of the answer message.
    virtual bool HasThisToken(int16_t vToken) = 0;
    // Called once, at registration, with the relay through which every
    // request of the object leaves.
    virtual void SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager> vEventManager) = 0;
};

}  // namespace KVClientDLL10
