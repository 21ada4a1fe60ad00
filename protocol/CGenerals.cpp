#include "protocol/CGenerals.h"

#include "platform/StringList.h"
#include "runtime/Format.h"
#include "runtime/Variant.h"

namespace KVGeneralDLL10 {

std::string CGenerals::DateText(runtime::Date d, std::string_view pattern) const {
    return runtime::Format(runtime::Variant(d), pattern);
}

void CGenerals::Split(const std::string& Strings, std::vector<std::string>& vArray,
                      const std::string& Delimiter) const {
    platform::StringList list;
    list.SetDelimiter(Delimiter);
    list.Clear();
    list.Load(Strings);
    std::vector<std::string> pieces(list.Count() + 1);
    for (size_t i = 1; i <= list.Count(); ++i) pieces[i] = list.Item(i);
    vArray = std::move(pieces);
}

}  // namespace KVGeneralDLL10
