#pragma once
// The older two-member form of the request-object interface, kept for hosts
// that implement it: answers arrive through the two members and a request
// leaves through the object's own event, not through an event manager. (The
// connection library's IClientServer is the current form.)
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/Event.h"

namespace OrbanelGeneral10 {

class IClientServer {
public:
    virtual ~IClientServer() = default;

    // A one-row answer to the request with token CallerToken: ParamVals[1..Parameters]
    // (slot 0 unused).
    virtual void OneRowResultreceived(int16_t CallerToken, int16_t Parameters,
                                      const std::vector<std::string>& ParamVals) = 0;
    // A multi-row answer: DataArray[row][cell] for rows 1..Results and cells
    // 1..Parameters (slot 0 of each unused); NoRows when the result is empty.
    virtual void MultiRowsResultsreceived(int16_t CallerToken, bool NoRows,
                                          const std::vector<std::vector<std::string>>& DataArray,
                                          int32_t Results, int16_t Parameters) = 0;

    // The object asks its session to send request Tkn with ParamVals[1..Parameters].
    runtime::Event<int16_t /*Tkn*/, int16_t /*Parameters*/,
                   const std::vector<std::string>& /*ParamVals*/>
        RequestFromServer;
};

}  // namespace OrbanelGeneral10
