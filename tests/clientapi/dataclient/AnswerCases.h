#pragma once
// One table of the request object's answers: every one-row answer token with
// a distinct text per field and the event line it raises, and every list
// answer token with its event's name. The request object's tests and the
// data client's relays read the same table.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct AnswerCase {
    int16_t token;
    std::vector<std::string> fields;
    std::string event;
};

inline const std::vector<AnswerCase>& OneRowAnswers() {
    static const std::vector<AnswerCase> cases = {
        {132, {"privs", "12"}, "PrivsRecieved(privs, 12)"},
        {140, {"1", "22"}, "AcceptResultReceived(1, 22)"},
        {142, {"9", "22"}, "ChangeResultReceived(22)"},
        {141, {"1", "23"}, "RejectResultReceived(1, 23)"},
        {106,
         {"3", "1.5", "2.5", "3.5", "4.5", "5.5", "6.5", "7.5"},
         "SummariesResultReceived(3, 1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5)"},
        {224,
         {"1", "11", "12", "500.5", "01/02/2026", "1", "0", "prm"},
         "CompDataReceived(1, 11, 12, 500.5, 01/02/2026, True, False, prm)"},
        {306, {"a", "b", "c", "2.5", "7", "9", "1"}, "VariablesRecieved(b, c, a, 2.5, 7, 9, True)"},
        {137, {}, "SwitchChatResultRecieved(True)"},
        {138, {"1"}, "SwitchChatResultRecieved(False)"},
        {107,
         {"5", "2", "d3", "1.5", "-1", "1.2345", "7", "tag"},
         "NewOrderResultRecieved(5, 2, d3, 1.5, -1, 1.2345, 7, tag)"},
        {108,
         {"21", "31", "1.25", "t4", "1", "0.5", "7", "OP", "41", "11", "12"},
         "AcceptOrderResultRecieved(21, 31, 1.25, t4, 1, 0.5, 7, OP, 41, 11, 12)"},
        {109, {"21"}, "RejectOrderResultRecieved(21)"},
        {110, {"22"}, "TimerExpiredResultRecieved(22)"},
        {113,
         {"1", "2", "d3", "11", "12", "41", "0.5", "-1", "1.25", "7", "tag"},
         "CloseOrderResultRecieved(1, 2, d3, 11, 12, 41, 0.5, -1, 1.25, 7, tag)"},
        {133, {"ok", "d2"}, "NewPosResultRecieved(ok, d2)"},
        {204, {"done"}, "ChangeSymbolSettingsResultRecieved(done)"},
        {178, {"0.5"}, "ChangeParamResultRecieved(0.5)"},
        {153, {"1", "tagc"}, "CreateClientResultRecieved(1, tagc)"},
        {156, {"2", "tago"}, "CreateOfficeResultRecieved(2, tago)"},
        {215, {"3", "tagg"}, "CreateGroupResultRecieved(3, tagg)"},
        {160, {"4", "skip", "taga"}, "CreateAccountResultRecieved(4, taga)"},
        {134, {"41", "d2"}, "ClosePosResultRecieved(41, d2, 41)"},
        {115, {"1", "d2", "t3"}, "NewLimitOrderResultRecieved(1, d2, t3)"},
        {116, {"2", "d2", "t3"}, "UpdateLimitOrderResultRecieved(2, d2, t3)"},
        {117, {"r1", "5;6", "t3"}, "DeleteLimitOrderResultRecieved(r1, 5;6, t3)"},
        {119, {"3", "d2", "t3"}, "NewSLTPOrderResultRecieved(3, d2, t3)"},
        {169, {"4", "d2", "t3"}, "UpdateSLTPOrderResultRecieved(4, d2, t3)"},
        {120, {"r2", "7;8", "t3"}, "DeleteSLTPOrderResultRecieved(r2, 7;8, t3)"},
        {311, {"-2"}, "SendSMSResultReceived(-2)"},
        {312, {"1", "21"}, "SwitchOrderResultReceived(1, 21)"},
    };
    return cases;
}

inline const std::vector<std::pair<int16_t, std::string>>& ListAnswers() {
    static const std::vector<std::pair<int16_t, std::string>> lists = {
        {104, "SymbolsRecieved"},        {192, "DealersRecieved"},
        {314, "AccountsRecieved"},       {313, "ClientsRecieved"},
        {180, "FloatingStatusRecieved"}, {102, "OpenPositionsRecieved"},
        {121, "AccountHistoryRecieved"}, {111, "PendingOrdersRecieved"},
    };
    return lists;
}

}  // namespace testsupport
