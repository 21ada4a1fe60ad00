#include "general/common/CSession.h"

namespace OrbanelGeneral10 {

CSession::CSession() : Security_(std::make_shared<CSecurity>()) {}

std::string CSession::UserFullName() const {
    return UserFirstName_ + " " + UserSecondName_ + " " + UserThirdName_ + " " + UserLastName_;
}

void CSession::AddSymbolPriv(int32_t SymbolID) {
    if (!SymbolsPriv_.empty()) SymbolsPriv_.append(",");
    SymbolsPriv_.append(std::to_string(SymbolID));
}

size_t CSession::SplitBuffer(std::string_view RecievedBuffer, std::vector<std::string>& Rows) {
    return codec_.SplitBuffer(RecievedBuffer, Rows);
}

}  // namespace OrbanelGeneral10
