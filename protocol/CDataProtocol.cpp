#include "protocol/CDataProtocol.h"

#include <utility>

#include "general/common/MTokens.h"
#include "protocol/Enums.h"
#include "runtime/Error.h"

namespace KVGeneralDLL10 {

namespace wire = OrbanelGeneral10::wire;

namespace {

// Slots 0 to 14 are the token table's words 0 to 14 and slot 15 its word 177,
// so that both codecs speak one protocol.
constexpr std::array<std::string_view, CDataProtocol::kSystemWordSlots> BuildSystemWords() {
    std::array<std::string_view, CDataProtocol::kSystemWordSlots> words{};
    for (int32_t t = UNDEFINED; t <= ROUT_SERVER_TOKEN; ++t)
        words[t] = OrbanelGeneral10::TokenWord(t);
    words[GENERATE_DEMO_ACCOUNT] =
        OrbanelGeneral10::TokenWord(OrbanelGeneral10::GENERATE_DEMO_ACCOUNT);
    return words;
}

constexpr std::array<std::string_view, CDataProtocol::kSystemWordSlots> kSystemWords =
    BuildSystemWords();

// The system slot (0 to 15) whose word equals `word`, -1 when none does.
int32_t SystemSlotOf(std::string_view word) {
    const int32_t slot = OrbanelGeneral10::FindTokenWord(word);
    if (slot >= UNDEFINED && slot <= ROUT_SERVER_TOKEN) return slot;
    if (slot == OrbanelGeneral10::GENERATE_DEMO_ACCOUNT) return GENERATE_DEMO_ACCOUNT;
    return -1;
}

}  // namespace

CDataProtocol::CDataProtocol() : rowString_(std::make_shared<CRow>()) {}

std::string_view CDataProtocol::SystemWord(int32_t slot) {
    if (slot < 0 || slot >= kSystemWordSlots)
        throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    return kSystemWords[static_cast<size_t>(slot)];
}

ITokens& CDataProtocol::Dictionary() const {
    if (!tokens_) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    return *tokens_;
}

int16_t CDataProtocol::TokenID(std::string_view Cmd) const {
    ITokens& tokens = Dictionary();
    const std::string_view word0 = kSystemWords[UNDEFINED];
    const std::string_view word = wire::CommandWord(Cmd).value_or(word0);

    // A word the dictionary knows is kept, and then its answer is the token,
    // whether or not it is also a system word.
    const int16_t id = tokens.TokenID(word);
    if (id >= 1) return id;
    // A system word is kept too; the dictionary's answer still wins unless negative.
    const int32_t slot = SystemSlotOf(word);
    if (slot >= LOGIN_TOKEN) return id >= 0 ? id : static_cast<int16_t>(slot);
    // Anything else reads as word 0.
    const int16_t id0 = word == word0 ? id : tokens.TokenID(word0);
    return id0 >= 0 ? id0 : static_cast<int16_t>(UNDEFINED);
}

std::string CDataProtocol::CommandWord(int16_t Token) const {
    // Whatever goes wrong here, the message goes out headed by word 0.
    try {
        if (Token < 0) return std::string(kSystemWords[UNDEFINED]);
        if (Token < kSystemWordSlots) return std::string(kSystemWords[Token]);
        if (!tokens_) return std::string(kSystemWords[UNDEFINED]);
        // A token the dictionary has no word for goes out as word 0, like one it
        // cannot look up at all.
        std::string word = tokens_->TokenDescription(Token);
        return word.empty() ? std::string(kSystemWords[UNDEFINED]) : word;
    } catch (...) {
        return std::string(kSystemWords[UNDEFINED]);
    }
}

std::string CDataProtocol::Build(int16_t Token, const std::vector<std::string>& p,
                                 bool request) const {
    std::string text = CommandWord(Token);
    text.append(wire::kSessionMarker.text);
    if (request) {
        text.append(std::to_string(sid_));
        text.append(wire::kParameterListMarker.text);
    }
    wire::AppendParameters(text, p, kMaxParameters);
    text.append(wire::kEndMarker.text);
    return text;
}

std::string CDataProtocol::Request(int16_t Token, const std::vector<std::string>& p) const {
    return Build(Token, p, true);
}

std::string CDataProtocol::Response(int16_t Token, const std::vector<std::string>& p) const {
    return Build(Token, p, false);
}

std::string CDataProtocol::Parameters(const std::vector<std::string>& p) const {
    std::string text;
    wire::AppendParameters(text, p, kMaxParameters);
    return text;
}

std::string CDataProtocol::Error(int32_t code) const {
    return Response(ERROR_TOKEN, {std::to_string(code)});
}

std::string CDataProtocol::TokenPublicDesc(int16_t Token) const {
    return Dictionary().TokenPublicDescription(Token);
}

}  // namespace KVGeneralDLL10
