#include "simserver/Messages.h"

#include <array>
#include <cstdio>

#include "general/common/CDataProtocol.h"
#include "general/common/Enums.h"
#include "general/common/MCommandMessage.h"
#include "general/common/MTokens.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace simserver {

namespace og = OrbanelGeneral10;
namespace wire = OrbanelGeneral10::wire;

namespace {

constexpr std::string_view kCellDelimiter = "R,@";

constexpr std::array<std::string_view, og::kTokenSlots> BuildNames() {
    std::array<std::string_view, og::kTokenSlots> names{};
#define TOKEN(number, member, word, description) names[number] = #member;
#include "general/common/Tokens.def"
#undef TOKEN
    return names;
}

constexpr auto kNames = BuildNames();

const og::CDataProtocol& Codec() {
    static const og::CDataProtocol codec;
    return codec;
}

std::string JoinParams(const std::vector<std::string>& params, size_t maxEach = 60) {
    std::string out = "[";
    for (size_t i = 0; i < params.size(); ++i) {
        if (i) out += '|';
        out += Printable(params[i], maxEach);
    }
    return out + "]";
}

}  // namespace

std::string TokenName(int32_t token) {
    if (token >= 0 && token < og::kTokenSlots && !kNames[token].empty()) {
        return std::string(kNames[token]) + "(" + std::to_string(token) + ")";
    }
    return "token " + std::to_string(token);
}

std::string Printable(std::string_view text, size_t max) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i == max) {
            out += "...(" + std::to_string(text.size()) + " bytes)";
            break;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c >= 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string Received::Describe() const {
    std::string out = TokenName(token);
    if (sid != wire::kNoSessionId) out += " sid=" + std::to_string(sid);
    out += " " + JoinParams(params);
    if (token == 0) out += " text \"" + Printable(text) + "\"";
    return out;
}

Received ParseMessage(std::string_view text) {
    Received r;
    r.text = std::string(text);
    r.token = Codec().TokenID(text);
    try {
        r.sid = wire::RequestSID(text);
    } catch (const runtime::Error&) {
        r.sid = wire::kNoSessionId;  // an overflowing id reads as none
    }
    wire::ReadParameters(text, r.params);
    return r;
}

std::string RenderMessage(int32_t token, const std::vector<std::string>& params) {
    if (params.size() <= wire::kMaxParameters) return Codec().Response(token, params);
    // More parameters than a codec builds: the same layout, written out here.
    std::string text(og::TokenWord(token));
    text.append(wire::kSessionMarker.text);
    wire::AppendParameters(text, params, params.size());
    text.append(wire::kEndMarker.text);
    return text;
}

std::string JoinCells(const std::vector<std::string>& cells) {
    return runtime::Join(cells, kCellDelimiter);
}

std::vector<std::string> SplitCells(std::string_view row) {
    return runtime::Split(row, kCellDelimiter);
}

}  // namespace simserver
