#pragma once
// The public enumerations of the connection library.
#include <cstdint>

namespace KVClientDLL10 {

// What the session is waiting for (the WaitingMode event).
enum WaitingModeEnum : int32_t {
    NormalMode = 0,      // nothing queued
    WaitingMode = 1,     // requests queued or outstanding
    ConnectingMode = 2,  // connecting, or the login (demo) request is pending
};

// Outcome of OpenDemoAccount (the OpenDemoAccountResultRecieved event).
enum GenerateDemoResultEnum : int32_t {
    GeneratedSuccessfully = 1,
    NotGeneratedError = 2,
    NotGeneratedSameIP = 3,
};

}  // namespace KVClientDLL10
