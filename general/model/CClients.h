#pragma once
// All clients of one session, keyed by the client id's decimal text: the root
// of the data model. Parent links always form a tree: a link that would make
// a client its own ancestor is refused.
#include <cstdint>
#include <memory>
#include <string>

#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "general/model/MModelItems.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CAccount;
class CClient;
class CGenerals;
class CSymbols;

class CClients : public runtime::Object, public ISafeObject {
public:
    using Collection = modelitems::KeyedItems<CClient>;

    CClients();
    ~CClients() override;
    CClients(const CClients&) = delete;
    CClients& operator=(const CClients&) = delete;

    // Links every client whose parent was added after it.
    void SetClientsParents();
    // Nothing, with no change anywhere, for an id already present or a
    // parameter list that cannot be applied.
    std::shared_ptr<CClient> Add(int32_t ClientID, const std::string& Spreads,
                                 const runtime::Variant& ParentID, ClientTypeEnum vClientType,
                                 bool EnableInterest, LiquidationTypeEnum LiqType, double LiqPoint,
                                 const std::string& fname, const std::string& sname,
                                 const std::string& tname, const std::string& lname,
                                 const std::string& Username,
                                 const std::shared_ptr<CSymbols>& Symbols,
                                 const std::shared_ptr<CGenerals>& Generals,
                                 int16_t ClientOrServer);
    bool AccountExists(int32_t vAccountID) const;
    // True when ChildID is ParentID or lies below it.
    bool isChild(int32_t ChildID, int32_t ParentID) const;
    void InitializeParams(const std::shared_ptr<CSymbols>& Symbols, int16_t ClientOrServer);
    void RefreshSymbols(const std::shared_ptr<CSymbols>& Symbols);
    std::shared_ptr<CAccount> AccountByAccountID(int32_t vAccountID) const;
    std::shared_ptr<CAccount> Account(int32_t ClientID, int32_t AccountID) const;
    std::shared_ptr<CClient> Item(const modelitems::Index& vntIndexKey) const;
    int32_t Count() const;
    // Releases the client and takes it out of the tree; False when absent.
    bool Remove(const modelitems::Index& vntIndexKey);
    std::shared_ptr<const Collection> Items() const { return items_; }
    // Moves a client under another; a move that would make it its own
    // ancestor changes nothing.
    void ClientParentChanged(int32_t ClientID, int32_t ParnetID);
    // Compared trimmed and upper-cased.
    std::shared_ptr<CClient> ClientByName(const std::string& name) const;
    std::shared_ptr<CClient> ClientByUserName(const std::string& Username) const;

    void Deallocate() override;

private:
    // Whether making newParent the parent of client would close a ring.
    bool WouldCycle(const CClient& client, const std::shared_ptr<CClient>& newParent) const;
    // Parent link and child entry together, after the ring check.
    bool Link(const std::shared_ptr<CClient>& client, const std::shared_ptr<CClient>& parent);
    // An upper bound on the length of any chain of parents.
    int32_t WalkLimit() const;

    std::shared_ptr<Collection> items_;
    // AccountByAccountID's last answer and the membership count it was found at.
    struct Found {
        uint64_t epoch = 0;  // 0: nothing found yet
        int32_t id = 0;
        std::weak_ptr<CAccount> account;
    };
    mutable Found lastFound_;
};

}  // namespace OrbanelGeneral10
