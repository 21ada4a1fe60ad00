#pragma once
// Helpers the engine's source files share: reading the server's loosely typed
// values, finding a symbol's account references, and the reusable buffers
// that let the quote path walk snapshots without allocating.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "general/model/CAccountsTransactions.h"
#include "general/model/CCurAccount.h"
#include "general/model/CSymbol.h"
#include "general/model/MModelItems.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10::engine {

using modelitems::Follow;
using modelitems::KeyText;

// A server value read as a number: text by its leading number ("." is the
// decimal point whatever the locale, no number reads 0), numbers as they are.
// Null raises the invalid-use-of-Null error.
inline double NumberOf(const runtime::Variant& v) {
    switch (v.Type()) {
        case runtime::VarType::Empty:
        case runtime::VarType::Boolean:  // True/False hold no leading number
            return 0;
        case runtime::VarType::Integer:
        case runtime::VarType::Long:
        case runtime::VarType::Double:
            return v.ToDouble();
        case runtime::VarType::String:
            return runtime::Val(v.StringRef());
        default:
            return runtime::Val(v.ToString());
    }
}

// The whole number of a server value: its number rounded, halves to even.
inline int32_t WholeOf(const runtime::Variant& v) {
    return runtime::CLng(NumberOf(v));
}

// A value's text; Null reads as the empty text.
inline std::string TextOf(const runtime::Variant& v) {
    return v.IsNull() ? std::string() : v.ToString();
}

// The error for a row that names something the model does not hold; raised
// before anything changes.
[[noreturn]] inline void Unknown(const char* what, int32_t id) {
    throw runtime::Error(runtime::errc::ObjectVariableNotSet,
                         std::string(what) + " " + std::to_string(id) + " is not known");
}

// A money result rounded to 2 decimals, halves to even.
inline double RoundMoney(double x) {
    return runtime::RoundHalfEven(x, 2);
}

// The account references kept in a symbol's first slot; nothing when the
// slot holds none.
inline CCurAccount* CurAccountOf(const CSymbol& symbol) {
    return modelitems::SlotAs<CCurAccount>(symbol.Ref1().get());
}

// Whether `item` is still the member stored under `key` of a collection that
// a handler may have changed since the snapshot was taken.
template <class Items, class T>
bool StillHeld(const Items& items, const std::string& key, const std::shared_ptr<T>& item) {
    if (!items) return false;
    const auto* found = items->Find(key, nullptr);
    return found && *found == item;
}

// Buffers for snapshots, one per nesting level (a handler may start another
// walk of the same kind), kept with their capacity between calls.
template <class T>
class SnapshotPool {
public:
    class Lease {
    public:
        explicit Lease(SnapshotPool& pool) : pool_(pool), items_(pool.Acquire()) {}
        ~Lease() {
            items_.clear();  // lets go of the references, keeps the capacity
            --pool_.depth_;
        }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        std::vector<T>& operator*() { return items_; }
        std::vector<T>* operator->() { return &items_; }

    private:
        SnapshotPool& pool_;
        std::vector<T>& items_;
    };

private:
    std::vector<T>& Acquire() {
        if (depth_ == levels_.size()) levels_.push_back(std::make_unique<std::vector<T>>());
        return *levels_[depth_++];
    }

    std::vector<std::unique_ptr<std::vector<T>>> levels_;
    size_t depth_ = 0;
};

}  // namespace OrbanelGeneral10::engine

namespace OrbanelGeneral10 {

class CAccount;
class CClient;
class COrder;
class CAlert;

// The engine's snapshot buffers.
struct CAccountsTransactions::Scratch {
    engine::SnapshotPool<std::shared_ptr<CAccount>> accounts;
    engine::SnapshotPool<std::shared_ptr<CClient>> clients;
    engine::SnapshotPool<std::shared_ptr<COrder>> orders;
    engine::SnapshotPool<std::shared_ptr<CAlert>> alerts;
    engine::SnapshotPool<std::shared_ptr<COpenPosition>> positions;
};

}  // namespace OrbanelGeneral10
