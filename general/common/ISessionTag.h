#pragma once
// A serving host keeps its session object in the socket's Tag; message objects
// and codecs read the session id from it without knowing the host's class.
#include <cstdint>
#include <memory>

#include "runtime/Error.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class ISessionTag : public runtime::Object {
public:
    virtual int32_t SID() const = 0;
};

// Session id of the object held in `tag`. Raises runtime::Error(424) when the tag
// holds no object and Error(438) when the object carries no session id.
inline int32_t TagSID(const runtime::Variant& tag) {
    if (!tag.IsObject() || !tag.ToObject()) throw runtime::Error(runtime::errc::ObjectRequired);
    auto session = std::dynamic_pointer_cast<ISessionTag>(tag.ToObject());
    if (!session) throw runtime::Error(runtime::errc::ObjectDoesNotSupport);
    return session->SID();
}

}  // namespace OrbanelGeneral10
