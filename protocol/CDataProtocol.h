#pragma once
// The protocol framework's codec of the command message: builds requests,
// responses and error messages, reads a received message's token, session id
// and parameters, and cuts the received stream into whole messages. It knows
// the sixteen system words itself and asks the token dictionary for the rest.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "general/common/MCommandMessage.h"
#include "protocol/CRow.h"
#include "protocol/ITokens.h"

namespace KVGeneralDLL10 {

class CDataProtocol {
public:
    // The most parameters a message of this codec carries; later ones are ignored.
    static constexpr size_t kMaxParameters = 50;
    // Slots of the system command words, indexed by token number; empty from 16 on.
    static constexpr int32_t kSystemWordSlots = 100;

    CDataProtocol();

    const std::shared_ptr<CRow>& RowString() const { return rowString_; }

    // Appends to the receive buffer and gives back every complete message in
    // Rows[1..n] (Rows[0] and Rows[n + 1] empty); returns n.
    size_t SplitBuffer(std::string_view RecievedBuffer, std::vector<std::string>& Rows) {
        return buffer_.Split(RecievedBuffer, Rows);
    }
    void ClearBuffer() { buffer_.Clear(); }

    // Token number of a received message. Raises runtime::Error(91) with no
    // dictionary set; a dictionary's own errors reach the caller too.
    int16_t TokenID(std::string_view Cmd) const;

    // Parameters beyond those given, and from the first not-sent marker on, are not sent.
    std::string Request(int16_t Token, const std::vector<std::string>& p) const;
    std::string Response(int16_t Token, const std::vector<std::string>& p) const;
    std::string Parameters(const std::vector<std::string>& p) const;
    std::string Error(int32_t code) const;

    // "%$#InVaLID" past the last parameter; raises runtime::Error(9) for a negative Index.
    std::string ParameterValue(std::string_view Cmd, int64_t Index) const {
        return std::string(parameters_.View(Cmd, Index));
    }
    // -100 when the message carries no session id; runtime::Error(6) past 32 bits.
    int32_t RequestSID(std::string_view Cmd) const {
        return OrbanelGeneral10::wire::RequestSID(Cmd);
    }

    int32_t SID() const { return sid_; }
    void setSID(int32_t value) { sid_ = value; }

    std::string ErrorMSG(int32_t code) const { return OrbanelGeneral10::wire::ErrorText(code); }
    std::string InvalidParameter() const {
        return std::string(OrbanelGeneral10::wire::kInvalidParameter);
    }
    std::string ParameterDefaultValue() const {
        return std::string(OrbanelGeneral10::wire::kNotSent);
    }

    // Held, not owned: the application hands the same dictionary to many codecs.
    const std::shared_ptr<ITokens>& Tokens() const { return tokens_; }
    void setTokens(std::shared_ptr<ITokens> tokens) { tokens_ = std::move(tokens); }

    // The dictionary's public description; runtime::Error(91) with no dictionary set.
    std::string TokenPublicDesc(int16_t Token) const;

    // The system command word of a slot (0 to 99); empty from 16 on;
    // runtime::Error(9) outside 0 to 99.
    static std::string_view SystemWord(int32_t slot);

private:
    ITokens& Dictionary() const;
    std::string CommandWord(int16_t Token) const;
    std::string Build(int16_t Token, const std::vector<std::string>& p, bool request) const;

    std::shared_ptr<CRow> rowString_;
    std::shared_ptr<ITokens> tokens_;
    int32_t sid_ = -1;
    OrbanelGeneral10::wire::ReceiveBuffer buffer_;
    mutable OrbanelGeneral10::wire::ParameterCache parameters_;
};

}  // namespace KVGeneralDLL10
