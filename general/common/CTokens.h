#pragma once
// The token dictionary of the whole system: the general library's token table
// seen through the protocol framework's ITokens.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "general/common/CDataProtocol.h"
#include "protocol/ITokens.h"

namespace OrbanelGeneral10 {

class CTokens : public KVGeneralDLL10::ITokens {
public:
    CTokens();

    // The command word of a slot; runtime::Error(9) outside 0-350 (the protocol
    // codec then uses its word 0).
    std::string TokenDescription(int16_t TokenID) override;
    // The token of a bare word, as the codec reads it from the word followed by
    // "s?<": 0 or a token number, never negative.
    int16_t TokenID(std::string_view TokenDesc) override;
    std::string TokenPublicDescription(int16_t TokenID) override;

private:
    std::unique_ptr<CDataProtocol> codec_;
};

}  // namespace OrbanelGeneral10
