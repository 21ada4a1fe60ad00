#pragma once
// The public enumerations of the protocol framework. Those it shares with the
// general library are the same types, so values pass between the two unchanged.
#include <cstdint>

#include "general/common/Enums.h"

namespace KVGeneralDLL10 {

// Token numbers of the protocol's sixteen system command words.
enum LowLevelTokensEnum : int32_t {
    UNDEFINED = 0,
    LOGIN_TOKEN = 1,
    RESULT_LOST_TOKEN = 2,
    RESULT_OK_TOKEN = 3,
    RESULT_TOKEN = 4,
    ERROR_TOKEN = 5,
    RESULT_COUNT_TOKEN = 6,
    NO_ROWS_TOKEN = 7,
    CONNECT_HANDCHAKE_TOKEN = 8,
    MESSAGE_TOKEN = 9,
    SESSION_LOGGED_ON_TOKEN = 10,
    SESSION_LOGGED_OFF_TOKEN = 11,
    DISCONNECT_TOKEN = 12,
    TIME_TOKEN = 13,
    ROUT_SERVER_TOKEN = 14,
    GENERATE_DEMO_ACCOUNT = 15,
};

// Codes of error messages (texts: CDataProtocol::ErrorMSG).
enum ErrorsEnum : int32_t {
    INVALID_SID_ERR = -500,
    UNKNOWN_COMMAND_ERR = -501,
    INVALID_PARAMETERS_ERR = -502,
};

// Event numbers of CEventManager::TriggerEvent.
enum EventsEnum : int32_t {
    AddLogEntryEvent = 1,
    ProcessHandledEvent = 2,
    AccountAddedEvent = 3,
    ShowErrorEvent = 4,
    AddSessionEvent = 6,
    RequestFromServerEvent = 7,
};

using SendResultEnum = OrbanelGeneral10::SendResultEnum;
using enum OrbanelGeneral10::SendResultEnum;
using QueueStatus = OrbanelGeneral10::QueueStatus;
using enum OrbanelGeneral10::QueueStatus;
using OpenTypeEnum = OrbanelGeneral10::OpenTypeEnum;
using enum OrbanelGeneral10::OpenTypeEnum;
using ReadFileResultEnum = OrbanelGeneral10::ReadFileResultEnum;
using enum OrbanelGeneral10::ReadFileResultEnum;

}  // namespace KVGeneralDLL10
