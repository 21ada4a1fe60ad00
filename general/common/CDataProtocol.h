#pragma once
// The general library's codec of the command message. It holds the whole
// command-token table itself (words and public descriptions of slots 0 to
// 350), so it needs no dictionary; through CTokens it is the dictionary of the
// protocol framework.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "general/common/CRow.h"
#include "general/common/ISafeObject.h"
#include "general/common/MCommandMessage.h"
#include "platform/TcpSocket.h"

namespace OrbanelGeneral10 {

class CDataProtocol : public ISafeObject {
public:
    CDataProtocol();
    ~CDataProtocol() override;

    // Empty after Deallocate.
    const std::shared_ptr<CRow>& RowString() const { return rowString_; }

    // "UNDEFINED" for 0, for numbers outside 1-317 and for slots without a description.
    std::string TokenPublicDesc(int32_t Token) const;
    // The command word of a slot (empty for an empty slot); runtime::Error(9) outside 0-350.
    std::string TokenDescription(int32_t TokenID) const;

    // Releases the owned objects, as destruction does.
    void Deallocate() override;

    size_t SplitBuffer(std::string_view RecievedBuffer, std::vector<std::string>& Rows) {
        return buffer_.Split(RecievedBuffer, Rows);
    }
    void ClearBuffer() { buffer_.Clear(); }

    // Token of a received message; 0 for a missing "s?<" or an unknown word.
    int32_t TokenID(std::string_view Cmd) const;

    // Up to 51 parameters; the word comes from the slot itself (no fallback):
    // runtime::Error(9) for a Token outside 0-350.
    std::string Request(int32_t Token, const std::vector<std::string>& p) const;
    std::string Response(int32_t Token, const std::vector<std::string>& p) const;
    // Every parameter value passes through here on its way into the list.
    std::string ParamValue(std::string_view value) const { return std::string(value); }

    std::string ParameterValue(std::string_view Cmd, int64_t Index) const {
        return std::string(parameters_.View(Cmd, Index));
    }
    int32_t RequestSID(std::string_view Cmd) const { return wire::RequestSID(Cmd); }

    int32_t sid() const { return sid_; }
    void setSid(int32_t value) { sid_ = value; }

    std::string ErrorMsg(int32_t err) const { return wire::ErrorText(err); }
    std::string InvalidParameter() const { return std::string(wire::kInvalidParameter); }
    std::string ParameterDefaultValue() const { return std::string(wire::kNotSent); }
    std::string TokenEnd() const { return std::string(wire::kSessionMarker.text); }

    // Only a login or a demo-account request may open a connection.
    bool IsValidFirstCommand(std::string_view Cmd) const;
    // "<sid> address(port)" of a socket whose tag holds a session; empty on any error.
    std::string SessionDescription(const std::shared_ptr<platform::TcpSocket>& Child) const;
    // Reports (through ShowMessage) every word that two slots share.
    void TestUniquness() const;

private:
    friend class CTokens;
    // Token of a bare command word (slot 0 excluded), 0 when unknown.
    static int32_t WordTokenID(std::string_view word);
    std::string Build(int32_t Token, const std::vector<std::string>& p, bool request) const;

    std::shared_ptr<CRow> rowString_;
    int32_t sid_ = -1;
    wire::ReceiveBuffer buffer_;
    mutable wire::ParameterCache parameters_;
};

}  // namespace OrbanelGeneral10
