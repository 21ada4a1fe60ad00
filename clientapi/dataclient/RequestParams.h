#pragma once
// Every request of the client API's request objects carries p1 to p50; the
// ones a request leaves out hold the not-sent marker, where the codec stops.
#include <cstddef>
#include <string>
#include <vector>

#include "general/common/MCommandMessage.h"

namespace OrbanexClientAPI10 {

inline constexpr size_t kRequestParameters = 50;

// The given parameters (p1 first), padded with the not-sent marker to p50.
inline std::vector<std::string> PaddedRequest(std::vector<std::string> params) {
    params.resize(kRequestParameters, std::string(OrbanelGeneral10::wire::kNotSent));
    return params;
}

}  // namespace OrbanexClientAPI10
