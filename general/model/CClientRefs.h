#pragma once
// Clients listed without being owned (a client's children, the clients with
// alerts on one symbol), keyed by the client id's decimal text.
#include <cstdint>
#include <memory>
#include <vector>

#include "general/common/ISafeObject.h"
#include "general/model/MModelItems.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CClient;
class CClientRef;

class CClientRefs : public runtime::Object, public ISafeObject {
public:
    using Collection = modelitems::KeyedItems<CClientRef>;

    CClientRefs();
    ~CClientRefs() override;
    CClientRefs(const CClientRefs&) = delete;
    CClientRefs& operator=(const CClientRefs&) = delete;

    // A client listed already has its entry replaced (moved to the end);
    // nothing when no client is given.
    std::shared_ptr<CClientRef> Add(const std::shared_ptr<CClient>& Client);
    std::shared_ptr<CClientRef> Item(const modelitems::Index& vntIndexKey) const;
    int32_t Count() const;
    // Drops the entry; the client is untouched.
    void Remove(const modelitems::Index& vntIndexKey);
    std::vector<std::shared_ptr<CClientRef>> NewEnum() const;
    std::shared_ptr<const Collection> Items() const { return items_; }

    void Deallocate() override;

private:
    std::shared_ptr<Collection> items_;
};

}  // namespace OrbanelGeneral10
