#include "general/common/CTokens.h"

#include "general/common/MCommandMessage.h"

namespace OrbanelGeneral10 {

CTokens::CTokens() : codec_(std::make_unique<CDataProtocol>()) {}

std::string CTokens::TokenDescription(int16_t TokenID) {
    return codec_->TokenDescription(TokenID);
}

int16_t CTokens::TokenID(std::string_view TokenDesc) {
    // Reading TokenDesc & "s?<" takes the text before its first "s?<"; cutting
    // the bare word there gives the same word without building the message.
    const size_t end = wire::Find(TokenDesc, wire::kSessionMarker);
    const std::string_view word = end == wire::npos ? TokenDesc : TokenDesc.substr(0, end);
    return static_cast<int16_t>(CDataProtocol::WordTokenID(word));
}

std::string CTokens::TokenPublicDescription(int16_t TokenID) {
    return codec_->TokenPublicDesc(TokenID);
}

}  // namespace OrbanelGeneral10
