#pragma once
// A new user's walk through the started desk on the demo book of the simulated
// server in the same process: the saved accounts log in, a market order spread
// over the accepting accounts, a Buy Limit for two of them, the market order's
// symbol closed from the close pane, and a market order on the re-quoting
// account answered in the re-quote dialog. Each step works the forms as the user
// would (clicks, typed texts, the forms' own click handlers) and waits, bounded,
// for its end; the caller checks the server's log and the views in between.
//
//   testsupport::TempProgramFolder folder{"walk"};
//   simserver::Server server(simserver::DemoBook());
//   server.Listen("127.0.0.1", 0);
//   testsupport::DeskWalk::SeedHome(server);
//   OrbanexDesk::MGeneral desk;
//   desk.Main();
//   testsupport::DeskWalk walk(desk, server);
//   std::string fault = walk.Run();  // "" when every step reached its end
#include <cstdint>
#include <string>
#include <vector>

#include "desk/accounts/DemoHome.h"

namespace OrbanexDesk {
class MGeneral;
class frmPriceChanged;
}  // namespace OrbanexDesk

namespace platform::widgets {
class MessageBoxWindow;
}  // namespace platform::widgets

namespace simserver {
class Server;
class Book;
}  // namespace simserver

namespace testsupport {

class DeskWalk {
public:
    // The quote walk starts with the server's quotes (StartQuotes) unless running.
    DeskWalk(OrbanexDesk::MGeneral& desk, simserver::Server& server, int32_t waitMs = 5000);

    // The current program folder gets the server and every account of the book,
    // saved to log in at start (before the desk starts).
    static void SeedHome(const simserver::Server& server);
    // The book's credential lines ("user password account") as accounts to seed.
    static std::vector<OrbanexDesk::DemoAccount> DemoAccounts(const simserver::Book& book);

    // Each step returns "" once it reached its end, else what it waited for in vain.
    // Every account "Connected" with its summaries, the symbol's quote moved.
    std::string LogIn();
    // The accepting accounts checked, kLots distributed, Buy: a position each.
    std::string MarketOrder();
    // Buy Limit for the first two accepting accounts below the market: two Pending rows.
    std::string BuyLimitForTwo();
    // The close pane on the symbol, all accounts checked, "Close All Selected", Yes:
    // every position on the symbol leaves Trade.
    std::string CloseSymbol();
    // A market Buy on the re-quoting account, up to its dialog shown.
    std::string RequotedMarketOrder();
    // Accept in the dialog: the re-quoting account's position opens.
    std::string AcceptRequote();
    // Every step in order; stops at the first that fails.
    std::string Run();

    // The visible re-quote dialog, else nullptr.
    static OrbanexDesk::frmPriceChanged* RequoteDialog();
    // The visible "Are you sure" question box, else nullptr.
    static platform::widgets::MessageBoxWindow* QuestionBox();

    static constexpr const char* kSymbol = "EURUSD";
    static constexpr const char* kLots = "1";
    static constexpr const char* kLimitLots = "2";
    const std::vector<int32_t>& Accepting() const { return accepting_; }
    int32_t Requoting() const { return requoting_; }
    // The Trade keys of the symbol's positions when the close began.
    const std::vector<std::string>& Closed() const { return closed_; }
    // The Buy Limit's price as typed.
    const std::string& LimitPrice() const { return limitPrice_; }

private:
    std::vector<std::string> SymbolPositions() const;
    std::string MarketBuy(const std::vector<int32_t>& accounts, const std::string& lots);

    OrbanexDesk::MGeneral& desk_;
    simserver::Server& server_;
    int32_t waitMs_;
    std::vector<int32_t> accepting_;
    int32_t requoting_ = 0;
    std::vector<std::string> closed_;
    std::string limitPrice_;
};

}  // namespace testsupport
