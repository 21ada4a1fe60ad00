#pragma once
// The trading commands a session sent whose answer has not come yet, oldest
// first, each with the number its request took in the connection's queue. The
// connection answers its requests one at a time and in the order of their
// numbers, errors included, so a command was answered once its number is at
// most the connection's last answered one; a re-quote's answer is ended by the
// notice of its order instead. When the connection ends, what is still here was
// never answered: the session says so, once per command, and resends nothing.
//
// A session holds a handful of commands only while their answers travel, so a
// short vector is all it needs.
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
        int32_t side = 0;      // new orders: the OperationTypeEnum value
        int32_t number = 0;    // the order or ticket number
        uint64_t request = 0;  // the number its request took in the connection's queue
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
        bool RequoteAnswer() const {
            return kind == Kind::RequoteAccept || kind == Kind::RequoteReject;
        }
    };

    // Keeps a command whose request took the number `request`.
    void Keep(Command command, uint64_t request);
    // Every command whose request number is at most `lastAnswered` was answered,
    // but a re-quote's answer, which waits for its order's notice.
    void AnsweredUpTo(uint64_t lastAnswered);
    // The re-quote answers sent for the order are answered.
    void RequoteAnswered(int32_t order);
    // Every command still kept, oldest first; none is kept afterwards.
    std::vector<Command> TakeAll();
    bool empty() const { return commands_.empty(); }
    size_t size() const { return commands_.size(); }

private:
    std::vector<Command> commands_;
};

}  // namespace OrbanexDesk
