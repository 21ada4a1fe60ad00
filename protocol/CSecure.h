#pragma once
// The string coder every sent text passes through. It is a pass-through: the
// server speaks plain text.
#include <string>
#include <string_view>

namespace KVGeneralDLL10 {

class CSecure {
public:
    std::string Code(std::string_view str) const { return std::string(str); }
    std::string DeCode(std::string_view str) const { return std::string(str); }
};

}  // namespace KVGeneralDLL10
