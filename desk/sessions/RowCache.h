#pragma once
// A session's rows of one shared list, kept by a number of its own (a ticket, a
// symbol and side) while the list adds and removes no row. Every quote revalues
// every position of every session; finding each position's rows by key in lists
// of thousands costs more than writing them. A session has a handful of rows, so
// a short vector searched in order beats any table.
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/ListView.h"

namespace OrbanexDesk {

class RowCache {
public:
    // The row under `id`, found by `key()` in `list` the first time, or nullptr.
    template <typename MakeKey>
    platform::ListItem* Find(const platform::ListView& list, int64_t id, MakeKey&& key) {
        if (&list != list_ || list.Generation() != generation_ || rows_.size() >= kMostRows) {
            rows_.clear();
            list_ = &list;
            generation_ = list.Generation();
        }
        for (const auto& [known, row] : rows_)
            if (known == id) return row;
        platform::ListItem* row = list.Find(key());
        rows_.emplace_back(id, row);
        return row;
    }

private:
    static constexpr size_t kMostRows = 64;
    const platform::ListView* list_ = nullptr;
    uint64_t generation_ = 0;
    std::vector<std::pair<int64_t, platform::ListItem*>> rows_;
};

}  // namespace OrbanexDesk
