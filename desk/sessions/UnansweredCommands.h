#pragma once
// The trading commands a session sent whose result event has not come yet,
// oldest first. A connection answers its requests one at a time and in the order
// they went, so a result event answers the oldest command of its kind; a
// re-quote's answer is answered by the notice of its order. An answer that raises
// no result event (an error) still ends its command: once the connection holds no
// request, every command but a re-quote's answer was answered. When the
// connection ends, what is still here was never answered: the session says so,
// once per command, and resends nothing.
//
// A session holds a handful of commands only while their answers travel, so a
// short vector searched in order is all it needs.
#include <cstdint>
#include <string>
#include <vector>

namespace OrbanexDesk {

class UnansweredCommands {
public:
    enum class Kind : uint8_t {
        MarketOrder,
        EntryOrder,
        EntryUpdate,
        EntryCancel,
        SlTpOrder,
        SlTpUpdate,
        SlTpCancel,
        Close,
        RequoteAccept,
        RequoteReject,
    };
    struct Command {
        Kind kind = Kind::MarketOrder;
        int32_t side = 0;    // new orders: the OperationTypeEnum value
        int32_t number = 0;  // the order or ticket number
        double lots = 0;
        std::string price;  // entry orders: the price as the symbol writes it
        std::string name;   // new orders: the symbol's name; cancels and closes: the list sent

        // A new market or entry order.
        static Command Order(Kind kind, int32_t side, double lots, std::string symbol,
                             std::string price = {});
        // A command on one order or ticket.
        static Command Numbered(Kind kind, int32_t number);
        // A cancel or a close of the listed orders or tickets.
        static Command Listed(Kind kind, std::string list);

        // The journal line: what was sent, that no answer came, that its result is
        // not known and where to look for it.
        std::string Text() const;
        // Whether the order panes show the command's result in the account's row.
        bool MarketRow() const { return kind == Kind::MarketOrder; }
        bool EntryRow() const { return kind == Kind::EntryOrder || kind == Kind::EntryUpdate; }
    };

    void Keep(Command command) { commands_.push_back(std::move(command)); }
    // The oldest command of the kind is answered; with none kept, nothing is.
    void Answered(Kind kind);
    // The re-quote answers sent for the order are answered.
    void RequoteAnswered(int32_t order);
    // The connection holds no request: every command but a re-quote's answer,
    // whose notice is still to come, was answered.
    void AllRequestsAnswered();
    // Every command still kept, oldest first; none is kept afterwards.
    std::vector<Command> TakeAll();
    bool empty() const { return commands_.empty(); }
    size_t size() const { return commands_.size(); }

private:
    std::vector<Command> commands_;
};

}  // namespace OrbanexDesk
