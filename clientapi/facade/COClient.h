#pragma once
// Read-only view of one client of the login. Before the library sets the
// client every read raises runtime::Error(91).
#include <cstdint>
#include <memory>
#include <string>

namespace OrbanelGeneral10 {
class CClient;
}

namespace OrbanexClientAPI10 {

class COClient {
public:
    void setClient(std::shared_ptr<OrbanelGeneral10::CClient> value) { client_ = std::move(value); }
    int32_t ClientID() const;
    std::string FirstName() const;
    std::string SecondName() const;
    std::string ThirdName() const;
    std::string LastName() const;
    std::string FullName() const;

private:
    const OrbanelGeneral10::CClient& Cl() const;

    std::shared_ptr<OrbanelGeneral10::CClient> client_;
};

}  // namespace OrbanexClientAPI10
