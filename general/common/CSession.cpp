#include "general/common/CSession.h"

namespace OrbanelGeneral10 {

CSession::CSession() : security_(std::make_shared<CSecurity>()) {}

std::string CSession::UserFullName() const {
    return userFirstName_ + " " + userSecondName_ + " " + userThirdName_ + " " + userLastName_;
}

void CSession::AddSymbolPriv(int32_t SymbolID) {
    if (!symbolsPriv_.empty()) symbolsPriv_.append(",");
    symbolsPriv_.append(std::to_string(SymbolID));
}

size_t CSession::SplitBuffer(std::string_view RecievedBuffer, std::vector<std::string>& Rows) {
    return codec_.SplitBuffer(RecievedBuffer, Rows);
}

}  // namespace OrbanelGeneral10
