#pragma once
// Small builders for the account-side model tests: symbols with a quote,
// client parameters linked to their reference symbol's, and error capture.
#include <cstdint>
#include <functional>
#include <memory>

#include "general/model/CClientParam.h"
#include "general/model/CClientParamCl.h"
#include "general/model/CSymbol.h"
#include "runtime/Error.h"
#include "runtime/Variant.h"

namespace tradingfixture {

using namespace OrbanelGeneral10;

inline std::shared_ptr<CSymbol> MakeSymbol(int32_t id, int16_t pipLocation, double bid, double ask,
                                           double factor = 1, int16_t priceCase = 1,
                                           int16_t refPriceCase = 1) {
    auto s = std::make_shared<CSymbol>();
    s->setPipLocation(runtime::Variant(pipLocation));
    s->setBid(bid);
    s->setAsk(ask);
    s->setFactor(factor);
    s->setPriceCase(priceCase);
    s->setRefPriceCase(refPriceCase);
    s->setID(id);
    return s;
}

// A client's parameters for `symbol`, without a spread of its own unless given.
inline std::shared_ptr<CClientParam> MakeParam(const std::shared_ptr<CSymbol>& symbol,
                                               const std::shared_ptr<CClientParam>& parent,
                                               double commission = 0,
                                               runtime::Variant spread = runtime::Null) {
    auto p = std::make_shared<CClientParamCl>();
    p->setSymbol(symbol);
    p->setParent(parent);
    p->setCommission(commission);
    p->setSpread(spread);
    return p;
}

// The error number a call raises, 0 when it raises none.
inline int32_t ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const runtime::Error& e) {
        return e.Number();
    }
    return 0;
}

// The fixed-price symbol (ID 1) and its parameters: the reference of every
// symbol quoted in the account's currency.
struct Market {
    std::shared_ptr<CSymbol> unit = MakeSymbol(1, -4, 1, 1);
    std::shared_ptr<CClientParam> unitParam = MakeParam(unit, nullptr);
};

}  // namespace tradingfixture
