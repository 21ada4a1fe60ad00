#pragma once
// The recording desk over an in-process simulated server whose book has two
// traders: users U1 and U2 (password "pw") with accounts 81 and 82 (10,000
// deposited), both on the run list, and the recording re-quote dialog installed.
// The client's timers run on virtual time unless asked otherwise.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "desk/sessions/CClientAPIManagers.h"
#include "general/common/MGenerals.h"
#include "platform/EventLoop.h"
#include "platform/Timer.h"
#include "simserver/Server.h"
#include "tests/support/QuoteBook.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/desk/FakeDesk.h"
#include "tests/support/desk/RecordingPriceChangedView.h"

namespace testsupport {

// The quote book with the two traders; callers set their modes and parameters.
inline simserver::Book TwoTraderBook() {
    simserver::Book b = QuoteBook(1.2343, 1.2345, 1.25, 1.22);
    for (int32_t n : {1, 2}) {
        simserver::Client c;
        c.id = 100 + n;
        c.userName = "U" + std::to_string(n);
        b.AddClient(c);
        simserver::User u;
        u.name = c.userName, u.password = "pw", u.clientId = c.id;
        b.AddUser(u);
        simserver::Account a;
        a.id = 80 + n, a.clientId = c.id, a.figures.totDep = 10000;
        b.AddAccount(a);
    }
    return b;
}

class TwoTraderDesk {
public:
    static constexpr int32_t kWaitMs = 5000;

    TwoTraderDesk(simserver::Book book, const std::string& folder, bool virtualTime)
        : folder_(folder), server_(std::move(book)) {
        if (virtualTime) time_.emplace();
        server_.Listen("127.0.0.1", 0);
        std::ofstream(folder_.Path() / "savelvinfo.buf", std::ios::binary)
            << "U1,c1,81\r\nU2,c2,82\r\n";
        OrbanelGeneral10::SetMessageNotifier([](const std::string&) {});
        RecordingPriceChangedView::Install(desk);
    }
    ~TwoTraderDesk() { OrbanelGeneral10::SetMessageNotifier(nullptr); }

    // Trader n's session, once its account has its market-order row.
    OrbanexDesk::ManagerPtr LogIn(int32_t n) {
        OrbanexDesk::ManagerPtr s = desk.Services().Managers()->Add(
            "127.0.0.1", server_.Port(), "U" + std::to_string(n), "pw", true, 80 + n);
        EXPECT_TRUE(Wait([&] {
            return desk.stores().orderClients.Find("C" + std::to_string(80 + n)) != nullptr;
        }));
        return s;
    }
    bool Wait(const std::function<bool()>& done) {
        return platform::EventLoop::RunUntil(done, kWaitMs);
    }
    size_t Sent(int32_t token) const { return server_.book().Requests(token).size(); }
    std::vector<std::string> Params(int32_t token, size_t index) const {
        const auto list = server_.book().Requests(token);
        return index < list.size() ? list[index].params : std::vector<std::string>{};
    }
    simserver::Server& server() { return server_; }
    platform::ScopedVirtualTime& time() { return *time_; }

private:
    TempProgramFolder folder_;
    // The client's timers are made with the sessions' objects, inside the scope.
    std::optional<platform::ScopedVirtualTime> time_;
    simserver::Server server_;

public:
    FakeDesk desk{OrbanexDesk::CClientAPIManagers::Factory()};
};

}  // namespace testsupport
