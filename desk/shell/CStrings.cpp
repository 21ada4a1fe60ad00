#include "desk/shell/CStrings.h"

#include "runtime/Error.h"

namespace OrbanexDesk {

std::shared_ptr<CString> CStrings::Add(const std::string& param, const std::string& delimiter,
                                       const std::string& value) {
    auto item = std::make_shared<CString>();
    item->setParam(param);
    item->setDelimeter(delimiter);
    item->setPAramVal(value);
    children_.Add(item);
    return item;
}

std::shared_ptr<CString> CStrings::Item(int32_t index) const {
    CheckIndex(index);
    return children_.Item(index);
}

void CStrings::Remove(int32_t index) {
    CheckIndex(index);
    children_.Remove(index);
}

void CStrings::CheckIndex(int32_t index) const {
    if (index < 1 || index > children_.Count())
        throw runtime::Error(runtime::errc::SubscriptOutOfRange,
                             "no item " + std::to_string(index));
}

}  // namespace OrbanexDesk
