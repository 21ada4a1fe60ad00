#include "general/model/CClientRef.h"

#include "general/model/CClient.h"
#include "general/model/MModelItems.h"

namespace OrbanelGeneral10 {

std::string CClientRef::IndexKey() const {
    return modelitems::KeyText(modelitems::Follow(client_)->ClientID());
}

}  // namespace OrbanelGeneral10
