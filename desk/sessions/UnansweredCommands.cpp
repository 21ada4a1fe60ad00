#include "desk/sessions/UnansweredCommands.h"

#include <algorithm>
#include <utility>

#include "general/common/CGenerals.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {
constexpr const char* kNotKnown =
    ": no answer came before the connection closed; its result is not known; see Trade and "
    "Pending Order once the account is logged in again";

std::string MarketSide(int32_t side) {
    return side == 1 ? "BUY" : "SELL";
}

}  // namespace

UnansweredCommands::Command UnansweredCommands::Command::Order(Kind kind, int32_t side, double lots,
                                                               std::string symbol,
                                                               std::string price) {
    Command c;
    c.kind = kind, c.side = side, c.lots = lots;
    c.price = std::move(price);
    c.name = std::move(symbol);
    return c;
}

UnansweredCommands::Command UnansweredCommands::Command::Numbered(Kind kind, int32_t number) {
    Command c;
    c.kind = kind, c.number = number;
    return c;
}

UnansweredCommands::Command UnansweredCommands::Command::Listed(Kind kind, std::string list) {
    Command c;
    c.kind = kind;
    c.name = std::move(list);
    return c;
}

std::string UnansweredCommands::Command::Text() const {
    const std::string lotsText = runtime::NumberToText(lots);
    const std::string id = std::to_string(number);
    std::string what;
    switch (kind) {
        case Kind::MarketOrder:
            what = "Market order [" + MarketSide(side) + " " + lotsText + " " + name + "]";
            break;
        case Kind::EntryOrder:
            what = "Entry order [" +
                   OrbanelGeneral10::CGenerals().BuySellDesc(
                       static_cast<OrbanelGeneral10::OperationTypeEnum>(side), true) +
                   " " + lotsText + " " + name + " at " + price + "]";
            break;
        case Kind::EntryUpdate:
            what = "Update of entry order #" + id;
            break;
        case Kind::EntryCancel:
            what = "Cancel of entry order #" + name;
            break;
        case Kind::SlTpOrder:
            what = "SL/TP order for ticket #" + id;
            break;
        case Kind::SlTpUpdate:
            what = "Update of SL/TP order #" + id;
            break;
        case Kind::SlTpCancel:
            what = "Cancel of SL/TP order #" + name;
            break;
        case Kind::Close:
            what = "Close of ticket #" + name;
            break;
        case Kind::RequoteAccept:
            what = "Accept of re-quoted order #" + id;
            break;
        case Kind::RequoteReject:
            what = "Reject of re-quoted order #" + id;
            break;
    }
    return what + kNotKnown;
}

void UnansweredCommands::Keep(Command command, uint64_t request) {
    command.request = request;
    commands_.push_back(std::move(command));
}

void UnansweredCommands::AnsweredUpTo(uint64_t lastAnswered) {
    std::erase_if(commands_, [lastAnswered](const Command& c) {
        return !c.RequoteAnswer() && c.request <= lastAnswered;
    });
}

void UnansweredCommands::RequoteAnswered(int32_t order) {
    std::erase_if(commands_,
                  [order](const Command& c) { return c.RequoteAnswer() && c.number == order; });
}

std::vector<UnansweredCommands::Command> UnansweredCommands::TakeAll() {
    std::vector<Command> out;
    out.swap(commands_);
    return out;
}

}  // namespace OrbanexDesk
