#include "general/common/CEventManager.h"

#include "runtime/Convert.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

namespace {

class Texts {
public:
    explicit Texts(const std::vector<std::string>& p) : p_(p) {}

    // Text n (from 1); "" when not given.
    const std::string& operator()(size_t n) const {
        static const std::string kEmpty;
        return n >= 1 && n <= p_.size() && n <= CEventManager::kMaxParameters ? p_[n - 1] : kEmpty;
    }
    double num(size_t n) const { return runtime::Val((*this)(n)); }
    int32_t whole(size_t n) const { return runtime::CLng(num(n)); }
    int16_t shortint(size_t n) const { return runtime::CInt(num(n)); }
    // Strict: a text that is not a number raises Error(13).
    bool isOne(size_t n) const { return runtime::CDbl(runtime::Variant((*this)(n))) == 1; }

private:
    const std::vector<std::string>& p_;
};

}  // namespace

void CEventManager::TriggerEvent(EventsEnum EventID, const std::vector<std::string>& p) {
    const Texts t(p);
    // Arguments are all read before the call, so a bad one raises no event.
    switch (EventID) {
        case AddLogEntryEvent:
            AddLogEntry(t(1), t.shortint(2));
            break;
        case ProcessHandledEvent:
            ProcessHandled(t.shortint(1));
            break;
        case ShowErrorEvent:
            ShowError(t(1), t(2));
            break;
        case TickOrdersStatusEvent:
            TickOrdersStatus(t.isOne(1));
            break;
        case EventsEnum::HistoryClientStatusEvent:
            HistoryClientStatusEvent(t.isOne(1));
            break;
        case SummariesReflectEvent:
            SummariesReflectE(t.whole(1), t.whole(2), t.num(3), t.num(4), t.num(5), t.num(6),
                              t.num(7), t.num(8), t.num(9));
            break;
        case NewOpenPositionReflectEvent:
            NewOpenPositionReflectE(t.whole(1), t.whole(2), t(3));
            break;
        case DeleteOpenPositionReflectEvent:
            DeleteOpenPositionReflectE(t.whole(1), t.whole(2), t.whole(3));
            break;
        case ClosePositionReflectEvent:
            ClosePositionReflectE(t.whole(1), t.whole(2), t.whole(3), t(4));
            break;
        case UpdateOpenPositionReflectEvent:
            UpdateOpenPositionReflectE(t.whole(1), t.whole(2), t.whole(3), t(4));
            break;
        case DeleteClosePosReflectEvent:
            DeleteClosePosReflectE(t.whole(1), t.whole(2), t.whole(3), t(4));
            break;
        case ChangeConfigReflectEvent:
            ChangeConfigReflectE(t.whole(1), t.shortint(2), t.shortint(3), t.shortint(4),
                                 t.shortint(5), t.shortint(6));
            break;
        case ReflectClientChangeParametersEvent:
            ReflectClientChangeParametersE(t.whole(1), t(2));
            break;
        case ReflectClientGeneralParamEvent:
            ReflectClientGeneralParamE(t.whole(1), t.shortint(2), t(3));
            break;
        case DeleteClientReflectEvent:
            DeleteClientReflectE(t.whole(1));
            break;
        case DeleteAccountReflectEvent:
            DeleteAccountReflectE(t.whole(1), t.whole(2));
            break;
        case StopServerEvent:
            StopServer();
            break;
        case AttackProcessEvent:
            AttackProcessE(t(1), t(2), t.whole(3));
            break;
        case DeleteDealerReflectEvent:
            DeleteDealerReflectE(t.whole(1));
            break;
        default:
            break;
    }
}

}  // namespace OrbanelGeneral10
