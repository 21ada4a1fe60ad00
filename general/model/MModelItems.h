#pragma once
// What the model's keyed collections share: the key text of an id, the lookup
// by key text or 1-based position that answers nothing on a miss, and the one
// way an emptied reference is followed (an error, never a crash).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <typeinfo>

#include "runtime/Collection.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10::modelitems {

// An id's key: its plain decimal text ("-5", never " 5").
inline std::string KeyText(int32_t id) {
    return std::to_string(id);
}

// The object behind a reference that may have been emptied by a release.
template <class T>
T& Follow(const std::shared_ptr<T>& ref) {
    if (!ref) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    return *ref;
}
template <class T>
std::shared_ptr<T> Follow(const std::weak_ptr<T>& ref) {
    auto strong = ref.lock();
    if (!strong) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    return strong;
}

template <class T>
using KeyedItems = runtime::Collection<std::shared_ptr<T>>;

// The object in an untyped slot as a T, nothing when it is none. A slot most
// often holds exactly a Likely, which its type alone tells, far cheaper than
// the cast that any other type needs.
template <class T, class Likely = T>
T* SlotAs(runtime::Object* object) {
    if (!object) return nullptr;
    if (typeid(*object) == typeid(Likely)) return static_cast<Likely*>(object);
    return dynamic_cast<T*>(object);
}
template <class T, class Likely = T>
std::shared_ptr<T> SlotAs(const std::shared_ptr<runtime::Object>& slot) {
    T* object = SlotAs<T, Likely>(slot.get());
    return object ? std::shared_ptr<T>(slot, object) : nullptr;
}

// What Item and Remove take: a key text or a 1-based position. A Variant
// holding text is a key, one holding a number a position; any other Variant
// finds nothing. Lives only for the call (it may view the caller's text).
class Index {
public:
    Index(const runtime::Variant& v) {
        try {
            if (v.IsString()) {
                key_ = v.StringRef();
                kind_ = Kind::Key;
            } else if (v.IsNumber()) {
                position_ = runtime::CLng(v);
                kind_ = Kind::Position;
            }
        } catch (const runtime::Error&) {
            // a position beyond the 32-bit range is simply not there
        }
    }
    Index(std::string_view key) : kind_(Kind::Key), key_(key) {}
    Index(const std::string& key) : kind_(Kind::Key), key_(key) {}
    Index(const char* key) : kind_(Kind::Key), key_(key) {}
    Index(int32_t position) : kind_(Kind::Position), position_(position) {}

    template <class T>
    std::shared_ptr<T> In(const KeyedItems<T>& items) const {
        switch (kind_) {
            case Kind::Key:
                return items.Item(key_);
            case Kind::Position:
                return items.Item(position_);
            default:
                return nullptr;
        }
    }
    template <class T>
    void RemoveFrom(KeyedItems<T>& items) const {
        if (kind_ == Kind::Key)
            items.Remove(key_);
        else if (kind_ == Kind::Position)
            items.Remove(position_);
    }

private:
    enum class Kind { None, Key, Position };
    Kind kind_ = Kind::None;
    std::string_view key_;
    int32_t position_ = 0;
};

// Nothing for a miss, a wrong kind of index or a collection already released.
template <class T>
std::shared_ptr<T> ItemOf(const std::shared_ptr<KeyedItems<T>>& items, const Index& index) {
    return items ? index.In(*items) : nullptr;
}

// Removes the entry; an absent key or position is ignored.
template <class T>
void RemoveOf(const std::shared_ptr<KeyedItems<T>>& items, const Index& index) {
    if (items) index.RemoveFrom(*items);
}

// Count of a collection that a release may have dropped.
template <class T>
int32_t CountOf(const std::shared_ptr<KeyedItems<T>>& items) {
    return Follow(items).Count();
}

}  // namespace OrbanelGeneral10::modelitems
