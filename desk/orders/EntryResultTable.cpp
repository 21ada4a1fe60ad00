#include "desk/orders/EntryResultTable.h"

#include "desk/orders/EntryOrderTypes.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {
constexpr int32_t kSuccess = 1;
constexpr int32_t kUnlistedInvalidPrice = 21;  // a code the result enumeration lacks
constexpr const char* kConnected = "Connected";
constexpr const char* kInvalidAccount = "Invalid account";
}  // namespace

std::optional<EntryResultTable::Texts> EntryResultTable::TextsOf(int32_t code) {
    switch (code) {
        case kSuccess:
            return Texts{"Success Result", nullptr};
        case 2:
            return Texts{"No Privilege Result", "No Privilege Result"};
        case 3:
            return Texts{"Invalid Account Result", "Invalid Account Result"};
        case 4:
            return Texts{"Cannot Change Price ", "Cannot Change Price Result"};
        case 5:
            return Texts{"Invalid SymbolID", "Invalid SymbolID"};
        case 6:
            return Texts{"Timer Expired", "Timer Expired"};
        case 7:
            return Texts{"Invalid Ticket", "Invalid Ticket"};
        case 8:
            return Texts{"Invalid Lots", "Invalid Lots"};
        case 9:
        case kUnlistedInvalidPrice:
            return Texts{"Invalid Price", "Invalid Price"};
        case 10:
            return Texts{"Invalid Order ID", "Invalid Order ID"};
        default:
            return std::nullopt;
    }
}

EntryResultEffects EntryResultTable::Decide(const EntryResultInputs& in) {
    EntryResultEffects out;
    if (!in.row || !in.client) return out;
    if (in.client->remark == kInvalidAccount || in.client->status != kConnected) return out;
    out.red = true;
    if (!in.row->checked || runtime::Val(in.row->text) != in.account) return out;
    const auto texts = TextsOf(in.code);
    if (!texts) return out;
    out.cell = texts->cell;
    if (in.code != kSuccess) {
        out.journal = texts->journal;
        return out;
    }
    out.sound = true;
    if (in.deletion) return out;  // the session journals the cancel when answered
    if (in.PaneMode == kModeSLTP) {
        out.manageSLTP = true;
        return out;
    }
    out.journal = "Request " + in.SubmittedType + " " + in.SubmittedSymbol + " at " +
                  in.SubmittedPrice + " ( SL= " + in.SubmittedSL + " TP= " + in.SubmittedTP + " )";
    return out;
}

}  // namespace OrbanexDesk
