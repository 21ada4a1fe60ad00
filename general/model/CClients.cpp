#include "general/model/CClients.h"

#include "general/common/MGenerals.h"
#include "general/model/CAccount.h"
#include "general/model/CAccounts.h"
#include "general/model/CClient.h"
#include "general/model/CClientRef.h"
#include "general/model/CClientRefs.h"
#include "general/model/MModelStamps.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"

namespace OrbanelGeneral10 {

using modelitems::Follow;
using modelitems::KeyText;

namespace {

// The key a ParentID names; empty (finding nothing) for Null, Empty or a value
// that has no text.
std::string ParentKey(const runtime::Variant& ParentID) {
    if (ParentID.IsNull()) return {};
    try {
        return runtime::CStr(ParentID);
    } catch (const runtime::Error&) {
        return {};
    }
}

std::string Folded(const std::string& text) {
    return runtime::UCase(runtime::Trim(text));
}

// Takes the client out of its parent's child list, if it is listed there.
void Unlist(const CClient& client, const std::shared_ptr<CClient>& parent) {
    if (!parent) return;
    if (const auto& children = parent->ChildrenClients()) {
        const std::string key = KeyText(client.ClientID());
        auto ref = children->Item(key);
        if (ref && ref->Client().get() == &client) children->Remove(key);
    }
}

}  // namespace

CClients::CClients() : items_(std::make_shared<Collection>()) {
    membership::MembersChanged();
}

CClients::~CClients() {
    Deallocate();
}

int32_t CClients::WalkLimit() const {
    return (items_ ? items_->Count() : 0) + 1;
}

bool CClients::WouldCycle(const CClient& client, const std::shared_ptr<CClient>& newParent) const {
    // Walks up from the new parent; meeting the client closes a ring. A chain
    // longer than the collection can hold is a ring already, and refused too.
    const int32_t limit = WalkLimit();
    auto current = newParent;
    for (int32_t steps = 0; current; ++steps) {
        if (current.get() == &client || steps > limit) return true;
        current = current->Parent();
    }
    return false;
}

bool CClients::Link(const std::shared_ptr<CClient>& client,
                    const std::shared_ptr<CClient>& parent) {
    if (WouldCycle(*client, parent)) return false;
    // A client moving to another parent leaves the old one's child list, so
    // the child lists never hold a link the parent links do not.
    auto old = client->Parent();
    if (old != parent) Unlist(*client, old);
    client->setParent(parent);
    Follow(parent->ChildrenClients()).Add(client);
    return true;
}

void CClients::SetClientsParents() {
    for (const auto& client : Follow(items_).Items()) {
        if (client->ParentID().IsNull()) continue;
        if (auto parent = Item(ParentKey(client->ParentID()))) Link(client, parent);
    }
}

std::shared_ptr<CClient> CClients::Add(
    int32_t ClientID, const std::string& Spreads, const runtime::Variant& ParentID,
    ClientTypeEnum vClientType, bool EnableInterest, LiquidationTypeEnum LiqType, double LiqPoint,
    const std::string& fname, const std::string& sname, const std::string& tname,
    const std::string& lname, const std::string& Username, const std::shared_ptr<CSymbols>& Symbols,
    const std::shared_ptr<CGenerals>& Generals, int16_t ClientOrServer) {
    const std::string key = KeyText(ClientID);
    // An id already present changes nothing: checked before the new client
    // could replace the first in its parent's child list.
    if (!items_ || items_->Contains(key)) return nullptr;
    auto client = std::make_shared<CClient>();
    // The parent is a client already present under another id, and nobody has
    // the new client as parent yet, so this link can never close a ring.
    std::shared_ptr<CClient> parent;
    if (!ParentID.IsNull()) parent = Item(ParentKey(ParentID));
    bool listed = false;
    try {
        client->setParent(parent);
        client->setClientID(ClientID);
        client->setParentID(ParentID);
        client->setClientType(vClientType);
        client->setEnableInterest(EnableInterest);
        client->setLiquidationType(LiqType);
        client->setLiquidationPoint(LiqPoint);
        client->setFirstName(fname);
        client->setSecondName(sname);
        client->setThirdName(tname);
        client->setLastName(lname);
        client->setUsername(Username);
        if (parent) {
            Follow(parent->ChildrenClients()).Add(client);
            listed = true;
        }
        if (!Spreads.empty())
            client->RefreshClientParams(Spreads, Symbols, Generals, true, ClientOrServer);
        items_->Add(client, key);
        membership::MembersChanged();
        return client;
    } catch (const runtime::Error&) {
        // A client that is not added is listed nowhere either.
        if (listed) Unlist(*client, parent);
        return nullptr;
    }
}

bool CClients::AccountExists(int32_t vAccountID) const {
    return AccountByAccountID(vAccountID) != nullptr;
}

bool CClients::isChild(int32_t ChildID, int32_t ParentID) const {
    bool result = ChildID == ParentID;
    auto current = Item(KeyText(ChildID));
    // Bounded: a ring of parents (made through setParent) cannot hold the walk.
    const int32_t limit = WalkLimit();
    for (int32_t steps = 0; current && !result && steps <= limit; ++steps) {
        auto parent = current->Parent();
        if (!parent) break;
        if (parent->ClientID() == ParentID)
            result = true;
        else
            current = parent;
    }
    return result;
}

void CClients::InitializeParams(const std::shared_ptr<CSymbols>& Symbols, int16_t ClientOrServer) {
    for (const auto& client : Follow(items_).Items())
        client->InitializeParams(Symbols, ClientOrServer);
}

void CClients::RefreshSymbols(const std::shared_ptr<CSymbols>& Symbols) {
    for (const auto& client : Follow(items_).Items()) client->RefreshSymbols(Symbols);
}

std::shared_ptr<CAccount> CClients::AccountByAccountID(int32_t vAccountID) const {
    // A session asks for its account by number on every summary it shows:
    // the last answer holds while nobody was listed or unlisted anywhere.
    const uint64_t epoch = membership::MembersEpoch();
    if (lastFound_.epoch == epoch && lastFound_.id == vAccountID) return lastFound_.account.lock();
    const std::string key = KeyText(vAccountID);
    std::shared_ptr<CAccount> found;
    for (const auto& entry : Follow(items_)) {
        if (const auto& accounts = entry.value->Accounts())
            if ((found = accounts->Item(key))) break;
    }
    lastFound_ = {epoch, vAccountID, found};
    return found;
}

std::shared_ptr<CAccount> CClients::Account(int32_t ClientID, int32_t AccountID) const {
    auto client = Item(KeyText(ClientID));
    if (!client || !client->Accounts()) return nullptr;
    return client->Accounts()->Item(KeyText(AccountID));
}

std::shared_ptr<CClient> CClients::Item(const modelitems::Index& vntIndexKey) const {
    return modelitems::ItemOf(items_, vntIndexKey);
}

int32_t CClients::Count() const {
    return modelitems::CountOf(items_);
}

bool CClients::Remove(const modelitems::Index& vntIndexKey) {
    auto client = Item(vntIndexKey);
    if (!client) return false;
    Unlist(*client, client->Parent());
    modelitems::RemoveOf(items_, vntIndexKey);
    // No child keeps pointing at a client that is gone; its ParentID stays,
    // so the link comes back if that client is added again.
    for (const auto& entry : *items_)
        if (entry.value->Parent() == client) entry.value->setParent(nullptr);
    SafeRelease(client);
    membership::MembersChanged();
    return true;
}

void CClients::ClientParentChanged(int32_t ClientID, int32_t ParnetID) {
    auto client = Item(KeyText(ClientID));
    if (!client) return;
    auto parent = Item(KeyText(ParnetID));
    if (parent && WouldCycle(*client, parent)) return;
    Unlist(*client, client->Parent());
    if (parent) {
        Follow(parent->ChildrenClients()).Add(client);
        client->setParent(parent);
    } else {
        // A parent not (yet) known: the client stands alone, as one added
        // before its parent does, until SetClientsParents finds it.
        client->setParent(nullptr);
    }
    client->setParentID(ParnetID);
}

std::shared_ptr<CClient> CClients::ClientByName(const std::string& name) const {
    const std::string wanted = Folded(name);
    for (const auto& entry : Follow(items_))
        if (Folded(entry.value->FirstName()) == wanted) return entry.value;
    return nullptr;
}

std::shared_ptr<CClient> CClients::ClientByUserName(const std::string& Username) const {
    const std::string wanted = Folded(Username);
    for (const auto& entry : Follow(items_))
        if (Folded(entry.value->Username()) == wanted) return entry.value;
    return nullptr;
}

void CClients::Deallocate() {
    if (!items_) return;
    auto items = std::move(items_);
    for (auto client : items->Items()) SafeRelease(client);
    membership::MembersChanged();
}

}  // namespace OrbanelGeneral10
