#pragma once
// A reference to a client that does not own it.
#include <memory>
#include <string>

#include "general/common/ISafeObject.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CClient;

class CClientRef : public runtime::Object, public ISafeObject {
public:
    CClientRef() = default;
    ~CClientRef() override { Deallocate(); }
    CClientRef(const CClientRef&) = delete;
    CClientRef& operator=(const CClientRef&) = delete;

    // The client's id as decimal text; error 91 when the client is gone.
    std::string IndexKey() const;
    std::shared_ptr<CClient> Client() const { return client_.lock(); }
    void setClient(const std::shared_ptr<CClient>& value) { client_ = value; }

    // Forgets the client; the client itself is not released.
    void Deallocate() override { client_.reset(); }

private:
    std::weak_ptr<CClient> client_;
};

}  // namespace OrbanelGeneral10
