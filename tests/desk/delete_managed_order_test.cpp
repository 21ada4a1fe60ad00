// Cancelling a confirmed pending order over the fake desk, without a server: the
// row of the right account is ticked while the result is told as a deletion.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desk/sessions/CClientAPIManagers.h"
#include "desk/sessions/DeleteManagedOrder.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;
using Names = std::vector<std::string>;

// After a removal renumbers the sessions, the cancel still reaches the account's
// own row and session; no selected pending row or no session sends nothing.
TEST(DeleteManagedOrder, ReachesTheAccountsRowAfterRenumberingAndReportsAsADeletion) {
    testsupport::TempProgramFolder folder;
    testsupport::FakeDesk d{CClientAPIManagers::Factory()};
    auto& managers = *d.Services().Managers();
    for (int32_t account : {1001, 1002, 1003}) {
        managers.Add("127.0.0.1", 1, "U", "pw", false, account);
        d.Ports().frmlimitorder->Add(account, static_cast<int16_t>(account - 1000), "", 0);
    }
    managers.Remove("C1");
    auto& rows = d.stores().limitClients;
    rows.Remove("C1001");
    auto& pending = d.stores().lvwPending;
    pending.Add("P77", "77").setSubItems(2, "Buy limit");
    d.Take();

    DeleteManagedOrder(d.Services(), 1003, 77);  // nothing selected yet
    EXPECT_EQ(d.Take(), Names{});

    pending.Item("P77").setSelected(true);
    const int32_t notLoggedOn = managers.Item("C2")->ClientAPIF()->DeleteLimitOrder("77", "");
    DeleteManagedOrder(d.Services(), 1003, 77);
    EXPECT_EQ(d.Take(),
              (Names{"limit.setDisplayed|True", "main.Result|" + std::to_string(notLoggedOn) +
                                                    "|C1003|1003|deletion|ticked"}));
    EXPECT_FALSE(rows.Item("C1003").Checked());
    EXPECT_FALSE(rows.Item("C1002").Checked());

    pending.Item("P77").setSubItems(2, "Sell(Manage)");
    DeleteManagedOrder(d.Services(), 4242, 77);
    EXPECT_EQ(d.Take(),
              (Names{"limit.setDisplayed|True",
                     "journal|4242|Unable to cancel order #77, account 4242 is not connected",
                     "message|##DEF##|Unable to cancel order #77, account 4242 is not connected"}));
}

}  // namespace
