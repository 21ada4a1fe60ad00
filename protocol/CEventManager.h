#pragma once
// The request relay: request objects call RequestFromServer and whoever
// listens to ERequestFromServer (the connection session) queues the request.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/TcpSocket.h"
#include "protocol/Enums.h"
#include "runtime/Event.h"

namespace KVGeneralDLL10 {

class CEventManager {
public:
    runtime::Event<const std::string& /*Msg*/, int16_t /*LogLevel*/> AddLogEntry;
    runtime::Event<int16_t /*ThreadID*/> ProcessHandled;
    runtime::Event<const std::string& /*vTitle*/, const std::string& /*Msg*/> ShowError;
    // Declared for a serving host; this class never raises it.
    runtime::Event<std::shared_ptr<platform::TcpSocket> /*Child*/, int32_t /*UserID*/,
                   const std::string& /*UserFirstName*/, const std::string& /*UserSecondName*/,
                   const std::string& /*UserThirdName*/, const std::string& /*UserLastName*/,
                   int16_t /*UserType*/, int16_t /*ClientType*/, int32_t /*StartWithPriv*/,
                   const std::string& /*Username*/>
        AddSession;
    runtime::Event<int16_t /*Tkn*/, const std::vector<std::string>& /*p1..p50*/> ERequestFromServer;

    // Raises AddLogEntry (1), ProcessHandled (2) or ShowError (4); other numbers
    // raise nothing. A number read from p1 or p2 outside 16 bits raises
    // runtime::Error(6) and no event.
    void TriggerEvent(EventsEnum EventID, const std::string& p1, const std::string& p2,
                      const std::string& p3);

    // Raises ERequestFromServer with the values unchanged.
    void RequestFromServer(int16_t Tkn, const std::vector<std::string>& p) {
        ERequestFromServer(Tkn, p);
    }
};

}  // namespace KVGeneralDLL10
