#pragma once
// The selected account's open positions in one symbol, keyed by the ticket's
// decimal text; it sits in the symbol's Ref2 slot. Its entries hold the
// positions, which hold the symbol: whoever replaces the symbol table empties
// Ref2 first.
#include <cstdint>
#include <memory>
#include <vector>

#include "clientapi/facade/COpenPosRef.h"
#include "general/model/MModelItems.h"
#include "runtime/Collection.h"
#include "runtime/Variant.h"

namespace OrbanexClientAPI10 {

class COpenPosRefs : public runtime::Object {
public:
    using RefPtr = std::shared_ptr<COpenPosRef>;
    using Collection = runtime::Collection<RefPtr>;

    // A ticket already held raises runtime::Error(457) and adds nothing;
    // no position raises runtime::Error(91).
    RefPtr Add(const std::shared_ptr<OrbanelGeneral10::COpenPosition>& OpenPos);
    // A ticket's text or a 1-based position; nothing on a miss.
    RefPtr Item(const OrbanelGeneral10::modelitems::Index& Key) const { return Key.In(items_); }
    int32_t Count() const { return items_.Count(); }
    // A miss is ignored.
    void Remove(const OrbanelGeneral10::modelitems::Index& Key) {
        Key.RemoveFrom(items_);
        ++changes_;
    }
    // A snapshot, safe to walk while handlers change the collection.
    std::vector<RefPtr> NewEnum() const { return items_.Items(); }
    const Collection& Items() const { return items_; }
    // Counts the calls that change the collection: while it stays the same, a
    // snapshot of the entries still matches them place for place.
    uint64_t Changes() const { return changes_; }

private:
    Collection items_;
    uint64_t changes_ = 0;
};

}  // namespace OrbanexClientAPI10
