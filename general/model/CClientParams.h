#pragma once
// One client's parameter objects, one per symbol, keyed by the symbol ID as
// decimal text in insertion order.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "general/common/ISafeObject.h"
#include "general/model/CClientParam.h"
#include "general/model/MModelItems.h"
#include "runtime/Collection.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CSymbol;

class CClientParams : public runtime::Object, public ISafeObject {
public:
    using Variant = runtime::Variant;
    using ParamPtr = std::shared_ptr<CClientParam>;
    using Collection = runtime::Collection<ParamPtr>;

    CClientParams();
    ~CClientParams() override;
    CClientParams(const CClientParams&) = delete;
    CClientParams& operator=(const CClientParams&) = delete;

    // Links every member to the member of its symbol's reference symbol
    // (nothing when absent). A member without a symbol raises runtime::Error(91).
    void SetParamsRefParams();
    // ClientOrServer 1 makes a CClientParamCl, any other value a
    // CClientParamSvr. Nothing (and no change) for a symbol already present
    // or no symbol.
    ParamPtr Add(const Variant& Spread, int16_t SourcePlus, double Commission, double MaxLots,
                 double MinLots, double LimitOffset, double StopOffset,
                 const std::shared_ptr<CSymbol>& Symbol, int16_t ClientOrServer);
    // A text is a key, a number a 1-based position; nothing on a miss.
    ParamPtr ItemByIndex(const modelitems::Index& vntIndexKey) const { return Item(vntIndexKey); }
    ParamPtr Item(const modelitems::Index& vntIndexKey) const;
    // runtime::Error(91) after Deallocate.
    int32_t Count() const;
    // Releases the member found with Item, then removes it; a miss is ignored.
    void Remove(const modelitems::Index& vntIndexKey);
    // Takes the entry out without releasing the member, for holders (the
    // positions and orders of the symbol) that go on using it; answers the
    // member, or nothing on a miss.
    ParamPtr Detach(const modelitems::Index& vntIndexKey);
    // The members in insertion order, a snapshot safe to walk while the
    // collection changes.
    std::vector<ParamPtr> NewEnum() const;
    // The collection itself (shared, not a copy); nothing after Deallocate.
    std::shared_ptr<const Collection> Items() const { return params_; }

    // Releases every member, then drops the collection.
    void Deallocate() override;

private:
    void Terminate();

    std::shared_ptr<Collection> params_;
};

}  // namespace OrbanelGeneral10
