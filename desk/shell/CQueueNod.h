#pragma once
// A queue node that carries a web-service request's address parts. Nothing in
// the desk queues one; it answers the queue's log questions with fixed texts.
#include <cstdint>
#include <string>

#include "general/common/IQueueNode.h"

namespace OrbanexDesk {

class CQueueNod : public OrbanelGeneral10::IQueueNode {
public:
    // "-1", whatever Token holds.
    std::string ID() override { return "-1"; }
    // "To String".
    std::string toString() override { return "To String"; }

    int32_t Token() const { return Token_; }
    void setToken(int32_t value) { Token_ = value; }
    const std::string& WSPage() const { return WSPage_; }
    void setWSPage(const std::string& value) { WSPage_ = value; }
    const std::string& NSURL() const { return NSURL_; }
    void setNSURL(const std::string& value) { NSURL_ = value; }
    const std::string& WebServiceName() const { return WebServiceName_; }
    void setWebServiceName(const std::string& value) { WebServiceName_ = value; }

private:
    int32_t Token_ = 0;
    std::string WSPage_;
    std::string NSURL_;
    std::string WebServiceName_;
};

}  // namespace OrbanexDesk
