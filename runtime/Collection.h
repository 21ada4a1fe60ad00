#pragma once
// Insertion-ordered collection with optional text keys, compared without
// regard to letter case. Item by key or by 1-based position gives an empty
// value on a miss; Add with a key already present raises Error(457).
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "runtime/Error.h"

namespace runtime {

namespace detail {
std::string FoldKey(std::string_view key);  // ASCII upper-case

constexpr char FoldChar(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Hash and equality of keys as folded, so a lookup needs no folded copy of its key.
struct FoldedHash {
    using is_transparent = void;
    size_t operator()(std::string_view key) const {
        uint64_t h = 14695981039346656037ull;  // FNV-1a
        for (char c : key) h = (h ^ static_cast<unsigned char>(FoldChar(c))) * 1099511628211ull;
        return static_cast<size_t>(h);
    }
};
struct FoldedEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (FoldChar(a[i]) != FoldChar(b[i])) return false;
        return true;
    }
};
}  // namespace detail

template <class T>
class Collection {
public:
    // Appends `item` under `key` (empty key: no key). Raises Error(457) when
    // the key is present already; nothing is added then.
    void Add(T item, std::string_view key = {}) {
        std::string folded;
        if (!key.empty()) {
            folded = detail::FoldKey(key);
            if (index_.find(std::string_view(folded)) != index_.end())
                throw Error(errc::DuplicateKey,
                            "This key is already associated with an element of this collection");
        }
        entries_.push_back(Entry{std::string(key), std::move(item)});
        if (!key.empty()) index_.emplace(std::move(folded), entries_.size() - 1);
    }

    bool Contains(std::string_view key) const { return Find(key) != npos; }

    // Nothing (a default T) on a miss.
    T Item(std::string_view key) const {
        size_t i = Find(key);
        return i == npos ? T{} : entries_[i].value;
    }
    T Item(int32_t position) const {
        if (position < 1 || static_cast<size_t>(position) > entries_.size()) return T{};
        return entries_[position - 1].value;
    }
    // Pointer to the stored value, nullptr on a miss (no copy).
    const T* Find(std::string_view key, std::nullptr_t) const {
        size_t i = Find(key);
        return i == npos ? nullptr : &entries_[i].value;
    }

    // An absent key or position is ignored. Returns whether something was removed.
    bool Remove(std::string_view key) {
        size_t i = Find(key);
        if (i == npos) return false;
        Erase(i);
        return true;
    }
    bool Remove(int32_t position) {
        if (position < 1 || static_cast<size_t>(position) > entries_.size()) return false;
        Erase(static_cast<size_t>(position - 1));
        return true;
    }

    void Clear() {
        entries_.clear();
        index_.clear();
    }

    int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
    bool Empty() const { return entries_.empty(); }

    // Snapshot of the values in order; safe to iterate while the collection changes.
    std::vector<T> Items() const {
        std::vector<T> out;
        out.reserve(entries_.size());
        for (const auto& e : entries_) out.push_back(e.value);
        return out;
    }
    // Raises Error(9) outside 1..Count.
    const std::string& KeyAt(int32_t position) const {
        if (position < 1 || static_cast<size_t>(position) > entries_.size())
            throw Error(errc::SubscriptOutOfRange);
        return entries_[static_cast<size_t>(position - 1)].key;
    }

    // Direct iteration over values (do not change the collection meanwhile).
    struct Entry {
        std::string key;
        T value;
    };
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    static constexpr size_t npos = static_cast<size_t>(-1);

    size_t Find(std::string_view key) const {
        if (key.empty()) return npos;
        auto it = index_.find(key);
        return it == index_.end() ? npos : it->second;
    }

    void Erase(size_t i) {
        if (!entries_[i].key.empty()) {
            if (auto it = index_.find(std::string_view(entries_[i].key)); it != index_.end())
                index_.erase(it);
        }
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
        for (auto& [k, pos] : index_)
            if (pos > i) --pos;
    }

    std::vector<Entry> entries_;
    std::unordered_map<std::string, size_t, detail::FoldedHash, detail::FoldedEqual> index_;
};

}  // namespace runtime
