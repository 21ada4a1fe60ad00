#pragma once
// A session's rows of one shared list, kept by a number of its own (a ticket, a
// symbol and side) while the list adds and removes no row. Every quote revalues
// every position of every session; finding each position's rows by key in lists
// of thousands costs more than writing them. A session has a handful of rows, so
// a short vector searched in order beats any table.
//
// The rows lie far apart in memory and are asked for in the same order at every
// quote message, so the cache fetches ahead: at the first row, every row's item;
// at each row, the next row's cells that are written.
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/ListView.h"

namespace OrbanexDesk {

class RowCache {
public:
    // `column` and `other`: the columns a caller writes, fetched ahead.
    RowCache(size_t column, size_t other) : columns_{column, other} {}

    // The row under `id`, found by `key()` in `list` the first time, or nullptr.
    template <typename MakeKey>
    platform::ListItem* Find(const platform::ListView& list, int64_t id, MakeKey&& key) {
        if (&list != list_ || list.Generation() != generation_ || rows_.size() >= kMostRows) {
            rows_.clear();
            list_ = &list;
            generation_ = list.Generation();
        }
        for (size_t i = 0; i < rows_.size(); ++i) {
            if (rows_[i].first != id) continue;
            if (i == 0)
                for (const auto& [known, row] : rows_) __builtin_prefetch(row);
            if (i + 1 < rows_.size() && rows_[i + 1].second)
                for (size_t column : columns_) rows_[i + 1].second->PrefetchCell(column);
            return rows_[i].second;
        }
        platform::ListItem* row = list.Find(key());
        rows_.emplace_back(id, row);
        return row;
    }

private:
    static constexpr size_t kMostRows = 64;
    const platform::ListView* list_ = nullptr;
    uint64_t generation_ = 0;
    std::array<size_t, 2> columns_;
    std::vector<std::pair<int64_t, platform::ListItem*>> rows_;
};

}  // namespace OrbanexDesk
