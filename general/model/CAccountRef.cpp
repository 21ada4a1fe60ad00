#include "general/model/CAccountRef.h"

#include "general/model/CAccount.h"
#include "general/model/MModelItems.h"

namespace OrbanelGeneral10 {

std::string CAccountRef::IndexKey() const {
    return modelitems::Follow(account_)->IndexKey();
}

}  // namespace OrbanelGeneral10
