#pragma once
// The general library's event manager for a serving host: turns a numbered
// event request with text parameters into one typed event (log entries,
// errors, server stop, and the reflect notifications that keep other sessions'
// views of accounts, positions, clients, dealers and configuration in step).
#include <cstdint>
#include <string>
#include <vector>

#include "general/common/Enums.h"
#include "runtime/Event.h"

namespace OrbanelGeneral10 {

class CEventManager {
public:
    // The most texts TriggerEvent reads.
    static constexpr size_t kMaxParameters = 13;

    // p holds p1..p13; missing ones read as empty texts. Numbers are the
    // leading numeric value of a text (0 when none), rounded halves to even;
    // one that does not fit its width raises runtime::Error(6). Events 6 and 7
    // read p1 strictly: a text that is not a number raises runtime::Error(13).
    // On any error no event is raised. Numbers without an event raise nothing.
    void TriggerEvent(EventsEnum EventID, const std::vector<std::string>& p);

    runtime::Event<const std::string& /*msg*/, int16_t /*LogLevel*/> AddLogEntry;
    runtime::Event<int16_t /*ThreadID*/> ProcessHandled;
    runtime::Event<const std::string& /*vTitle*/, const std::string& /*msg*/> ShowError;
    runtime::Event<> StopServer;
    runtime::Event<bool /*vConnected*/> TickOrdersStatus;
    runtime::Event<bool /*vConnected*/> HistoryClientStatusEvent;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/, double /*TotComm*/,
                   double /*MarginReq*/, double /*NetProfit*/, double /*TotDep*/, double /*TotCr*/,
                   double /*PrvMargin*/, double /*TotInt*/>
        SummariesReflectE;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/, const std::string& /*RowString*/>
        NewOpenPositionReflectE;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/, int32_t /*vTicket*/>
        DeleteOpenPositionReflectE;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/, int32_t /*vOpenTicket*/,
                   const std::string& /*OpenPosRow*/>
        ClosePositionReflectE;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/, int32_t /*vTicket*/,
                   const std::string& /*NewPosRow*/>
        UpdateOpenPositionReflectE;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/, int32_t /*OpenTicket*/,
                   const std::string& /*OpenRowString*/>
        DeleteClosePosReflectE;
    runtime::Event<int32_t /*CommType*/, int16_t /*MReqType*/, int16_t /*AutoBroker*/,
                   int16_t /*AutoLimitOrders*/, int16_t /*AutoSTOrders*/, int16_t /*AutoLiq*/>
        ChangeConfigReflectE;
    runtime::Event<int32_t /*vClient*/, const std::string& /*Params*/>
        ReflectClientChangeParametersE;
    runtime::Event<int32_t /*vClient*/, int16_t /*ParamType*/, const std::string& /*ParamVal*/>
        ReflectClientGeneralParamE;
    runtime::Event<int32_t /*vClient*/> DeleteClientReflectE;
    runtime::Event<int32_t /*vClient*/, int32_t /*vAccount*/> DeleteAccountReflectE;
    // The port is 32-bit: ports above 32767 are ordinary (ephemeral ones all are).
    runtime::Event<const std::string& /*msg*/, const std::string& /*IPAddress*/, int32_t /*Port*/>
        AttackProcessE;
    runtime::Event<int32_t /*vDlr*/> DeleteDealerReflectE;
};

}  // namespace OrbanelGeneral10
