#include "clientapi/facade/COClient.h"

#include "general/model/CClient.h"
#include "general/model/MModelItems.h"

namespace OrbanexClientAPI10 {

const OrbanelGeneral10::CClient& COClient::Cl() const {
    return OrbanelGeneral10::modelitems::Follow(client_);
}

int32_t COClient::ClientID() const {
    return Cl().ClientID();
}

std::string COClient::FirstName() const {
    return Cl().FirstName();
}

std::string COClient::SecondName() const {
    return Cl().SecondName();
}

std::string COClient::ThirdName() const {
    return Cl().ThirdName();
}

std::string COClient::LastName() const {
    return Cl().LastName();
}

std::string COClient::FullName() const {
    return Cl().FullName();
}

}  // namespace OrbanexClientAPI10
