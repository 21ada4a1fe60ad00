#pragma once
// An ordered collection of name/value pairs, made and released with the object.
// Positions count from 1; a position outside 1..Count raises
// runtime::Error(9) rather than yielding nothing.
#include <cstdint>
#include <memory>
#include <string>

#include "desk/shell/CString.h"
#include "runtime/Collection.h"

namespace OrbanexDesk {

class CStrings {
public:
    // Appends a new pair (without a key) and returns it.
    std::shared_ptr<CString> Add(const std::string& param, const std::string& delimiter,
                                 const std::string& value);
    std::shared_ptr<CString> Item(int32_t index) const;
    int32_t Count() const { return children_.Count(); }
    void Remove(int32_t index);
    runtime::Collection<std::shared_ptr<CString>>& Children() { return children_; }

private:
    void CheckIndex(int32_t index) const;

    runtime::Collection<std::shared_ptr<CString>> children_;
};

}  // namespace OrbanexDesk
