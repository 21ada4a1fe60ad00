#include "connection/CClientServerObjects.h"

#include <utility>

namespace KVClientDLL10 {

std::shared_ptr<IClientServer> CClientServerObjects::Add(
    std::shared_ptr<IClientServer> ClientServerObject) {
    objects_.Add(ClientServerObject);
    return ClientServerObject;
}

}  // namespace KVClientDLL10
