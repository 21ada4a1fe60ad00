#pragma once
// What the online-sessions list needs of the accounts manager: the trading
// model's engine, whose client list admits dealer sessions. The manager holds
// the data client, so the list keeps only a weak reference to it.
#include <memory>

namespace OrbanelGeneral10 {
class CAccountsTransactions;
}

namespace OrbanexClientAPI10 {

class IAccountsManager {
public:
    virtual ~IAccountsManager() = default;
    // The engine, or nothing when the manager has none.
    virtual std::shared_ptr<OrbanelGeneral10::CAccountsTransactions> AccountsTransactions() = 0;
};

}  // namespace OrbanexClientAPI10
