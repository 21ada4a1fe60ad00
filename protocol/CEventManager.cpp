#include "protocol/CEventManager.h"

#include "runtime/Convert.h"

namespace KVGeneralDLL10 {

void CEventManager::TriggerEvent(EventsEnum EventID, const std::string& p1, const std::string& p2,
                                 const std::string& /*p3*/) {
    switch (EventID) {
        case AddLogEntryEvent: {
            const int16_t level = runtime::CInt(runtime::Val(p2));
            AddLogEntry(p1, level);
            break;
        }
        case ProcessHandledEvent: {
            const int16_t thread = runtime::CInt(runtime::Val(p1));
            ProcessHandled(thread);
            break;
        }
        case ShowErrorEvent:
            ShowError(p1, p2);
            break;
        default:
            break;
    }
}

}  // namespace KVGeneralDLL10
