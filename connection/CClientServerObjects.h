#pragma once
// The router's registry of request objects, in registration order.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "connection/IClientServer.h"
#include "runtime/Collection.h"

namespace KVClientDLL10 {

class CClientServerObjects {
public:
    using Objects = runtime::Collection<std::shared_ptr<IClientServer>>;

    // Appends without a key and returns the object.
    std::shared_ptr<IClientServer> Add(std::shared_ptr<IClientServer> ClientServerObject);
    // Nothing on a miss. Positions count from 1.
    std::shared_ptr<IClientServer> Item(int32_t position) const { return objects_.Item(position); }
    std::shared_ptr<IClientServer> Item(std::string_view key) const { return objects_.Item(key); }
    int32_t Count() const { return objects_.Count(); }
    // An absent position or key is ignored.
    void Remove(int32_t position) { objects_.Remove(position); }
    void Remove(std::string_view key) { objects_.Remove(key); }
    // A snapshot to walk while the registry changes.
    std::vector<std::shared_ptr<IClientServer>> NewEnum() const { return objects_.Items(); }
    const Objects& Children() const { return objects_; }

private:
    Objects objects_;
};

}  // namespace KVClientDLL10
