#include "general/common/CDataProtocol.h"

#include "general/common/Enums.h"
#include "general/common/ISessionTag.h"
#include "general/common/MGenerals.h"
#include "general/common/MTokens.h"
#include "runtime/Error.h"

namespace OrbanelGeneral10 {

namespace {

// The highest slot with a public description.
constexpr int32_t kLastDescribedToken = 317;

void RequireSlot(int32_t token) {
    if (token < 0 || token >= kTokenSlots) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
}

}  // namespace

CDataProtocol::CDataProtocol() : rowString_(std::make_shared<CRow>()) {}

CDataProtocol::~CDataProtocol() {
    Deallocate();
}

void CDataProtocol::Deallocate() {
    SafeRelease(rowString_);
}

std::string CDataProtocol::TokenPublicDesc(int32_t Token) const {
    std::string_view text;
    if (Token >= 1 && Token <= kLastDescribedToken) text = TokenDescriptionText(Token);
    return std::string(text.empty() ? TokenDescriptionText(UNDEFINED) : text);
}

std::string CDataProtocol::TokenDescription(int32_t TokenID) const {
    RequireSlot(TokenID);
    return std::string(TokenWord(TokenID));
}

int32_t CDataProtocol::WordTokenID(std::string_view word) {
    const int32_t slot = FindTokenWord(word);
    return slot > 0 ? slot : 0;
}

int32_t CDataProtocol::TokenID(std::string_view Cmd) const {
    const auto word = wire::CommandWord(Cmd);
    return word ? WordTokenID(*word) : 0;
}

std::string CDataProtocol::Build(int32_t Token, const std::vector<std::string>& p,
                                 bool request) const {
    RequireSlot(Token);
    std::string text(TokenWord(Token));
    text.append(wire::kSessionMarker.text);
    if (request) {
        text.append(std::to_string(sid_));
        text.append(wire::kParameterListMarker.text);
    }
    // ParamValue passes values through unchanged, so they are appended directly.
    wire::AppendParameters(text, p, wire::kMaxParameters);
    text.append(wire::kEndMarker.text);
    return text;
}

std::string CDataProtocol::Request(int32_t Token, const std::vector<std::string>& p) const {
    return Build(Token, p, true);
}

std::string CDataProtocol::Response(int32_t Token, const std::vector<std::string>& p) const {
    return Build(Token, p, false);
}

bool CDataProtocol::IsValidFirstCommand(std::string_view Cmd) const {
    return Cmd.starts_with(TokenWord(LOGIN_TOKEN)) ||
           Cmd.starts_with(TokenWord(GENERATE_DEMO_ACCOUNT));
}

std::string CDataProtocol::SessionDescription(
    const std::shared_ptr<platform::TcpSocket>& Child) const {
    try {
        if (!Child) return {};
        return "<" + std::to_string(TagSID(Child->Tag)) + "> " + Child->RemoteAddress() + "(" +
               std::to_string(Child->Port()) + ")";
    } catch (...) {
        return {};
    }
}

void CDataProtocol::TestUniquness() const {
    for (int32_t i = 0; i < kTokenSlots; ++i) {
        for (int32_t j = 0; j < kTokenSlots; ++j) {
            const std::string_view word = TokenWord(i);
            if (i != j && !word.empty() && word == TokenWord(j)) ShowMessage(std::string(word));
        }
    }
}

}  // namespace OrbanelGeneral10
