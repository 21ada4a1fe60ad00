#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "general/common/CEventManager.h"
#include "general/common/CProcess.h"
#include "general/common/CSecurity.h"
#include "general/common/CSession.h"
#include "general/common/MTokens.h"
#include "platform/TcpSocket.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "tests/support/ErrorNumber.h"

namespace {

using testsupport::ErrorNumberOf;

using namespace OrbanelGeneral10;

TEST(Session, NamesSymbolsAndDefaults) {
    CSession s;
    EXPECT_EQ(s.sid(), 0);
    EXPECT_EQ(s.UserType(), 0);
    EXPECT_FALSE(s.APILogin());
    EXPECT_EQ(s.Child(), nullptr);
    EXPECT_EQ(s.UserFullName(), "   ");
    s.setUserFirstName("Ann");
    s.setUserLastName("Lee");
    EXPECT_EQ(s.UserFullName(), "Ann   Lee");
    s.setUserSecondName("B");
    s.setUserThirdName("C");
    EXPECT_EQ(s.UserFullName(), "Ann B C Lee");

    s.AddSymbolPriv(12);
    s.AddSymbolPriv(5);
    EXPECT_EQ(s.SymbolsPriv(), "12,5");
    s.setSymbolsPriv("");
    s.AddSymbolPriv(-3);
    EXPECT_EQ(s.SymbolsPriv(), "-3");
}

TEST(Session, ItsSocketsTagGivesMessagesTheSessionId) {
    auto socket = std::make_shared<platform::TcpSocket>();
    auto session = std::make_shared<CSession>();
    session->setSid(808);
    session->setChild(socket);
    socket->Tag = runtime::Variant(std::static_pointer_cast<runtime::Object>(session));
    EXPECT_EQ(session->Child(), socket);

    CProcess message;
    message.setChild(socket);
    message.DefineProcessByCommand(1, std::string(TokenWord(GET_PRICES_TOKEN)) + "s?<808&h,G)_x");
    EXPECT_TRUE(message.ValidateSID());
    session->setSid(809);
    EXPECT_FALSE(message.ValidateSID());

    // The tag keeps the session alive, not the other way round: letting go of
    // the socket frees both.
    std::weak_ptr<CSession> weak = session;
    message.setChild(nullptr);
    session.reset();
    socket.reset();
    EXPECT_TRUE(weak.expired());
}

class Security : public ::testing::Test {
protected:
    void SetUp() override {
        security.ExecuteSecurityPrivs.Connect([this] { ++executed; });
    }
    std::vector<int32_t> Granted() const {
        std::vector<int32_t> out;
        for (int32_t i = 1; i <= CSecurity::kPrivCount; ++i) {
            if (security.UserHasPriv(PrivsEnum(i))) out.push_back(i);
        }
        return out;
    }
    CSecurity security;
    int executed = 0;
};

TEST_F(Security, ReplacesEveryFlagFromTheList) {
    struct Case {
        std::string list;
        std::vector<int32_t> granted;
    };
    const std::vector<Case> cases = {
        {"3,7", {3, 7}},    {"200,1", {1, 200}},
        {" 4 ,9x", {4, 9}}, {"2.5,3.5", {2, 4}},  // halves to even
        {"5,5", {5}},       {"", {}},
    };
    int raised = 0;
    for (const auto& c : cases) {
        security.UserHasThesePrivs(c.list);
        EXPECT_EQ(Granted(), c.granted) << c.list;
        EXPECT_EQ(executed, ++raised) << c.list;
    }
    EXPECT_TRUE(security.UserHasPriv(NonePriv));
}

TEST_F(Security, AnInvalidListChangesNothing) {
    security.UserHasThesePrivs("3,7");
    for (const char* list : {"1,,5", "999", "0", "x", "4,201", "-1", ","}) {
        EXPECT_EQ(ErrorNumberOf([&] { security.UserHasThesePrivs(list); }),
                  runtime::errc::SubscriptOutOfRange)
            << list;
        EXPECT_EQ(Granted(), (std::vector<int32_t>{3, 7})) << list;
    }
    EXPECT_EQ(executed, 1);
    for (int32_t priv : {-1, 201, 100000}) EXPECT_FALSE(security.UserHasPriv(PrivsEnum(priv)));
}

std::string Text(const std::string& v) {
    return v;
}
std::string Text(double v) {
    return runtime::NumberToText(v);
}

// Every event of the table, logged as "Name(arg,arg,...)".
class Events : public ::testing::Test {
protected:
    template <class... A>
    void Log(runtime::Event<A...>& event, std::string name) {
        event.Connect([this, name](A... args) {
            std::string line = name + "(";
            ((line += Text(args) + ","), ...);
            if (line.back() == ',') line.pop_back();
            log.push_back(line + ")");
        });
    }
    void SetUp() override {
        auto& m = manager;
        Log(m.AddLogEntry, "AddLogEntry");
        Log(m.ProcessHandled, "ProcessHandled");
        Log(m.ShowError, "ShowError");
        Log(m.StopServer, "StopServer");
        Log(m.TickOrdersStatus, "TickOrdersStatus");
        Log(m.HistoryClientStatusEvent, "HistoryClientStatusEvent");
        Log(m.SummariesReflectE, "Summaries");
        Log(m.NewOpenPositionReflectE, "NewOpenPosition");
        Log(m.DeleteOpenPositionReflectE, "DeleteOpenPosition");
        Log(m.ClosePositionReflectE, "ClosePosition");
        Log(m.UpdateOpenPositionReflectE, "UpdateOpenPosition");
        Log(m.DeleteClosePosReflectE, "DeleteClosePos");
        Log(m.ChangeConfigReflectE, "ChangeConfig");
        Log(m.ReflectClientChangeParametersE, "ClientChangeParameters");
        Log(m.ReflectClientGeneralParamE, "ClientGeneralParam");
        Log(m.DeleteClientReflectE, "DeleteClient");
        Log(m.DeleteAccountReflectE, "DeleteAccount");
        Log(m.AttackProcessE, "AttackProcess");
        Log(m.DeleteDealerReflectE, "DeleteDealer");
    }
    CEventManager manager;
    std::vector<std::string> log;
};

TEST_F(Events, EachNumberRaisesItsEventWithItsParameters) {
    struct Case {
        int32_t id;
        std::vector<std::string> p;
        std::string raised;  // "" for none
    };
    const std::vector<Case> cases = {
        {1, {"line", "2.5"}, "AddLogEntry(line,2)"},
        {1, {"line", "x"}, "AddLogEntry(line,0)"},
        {2, {" 7abc"}, "ProcessHandled(7)"},
        {3, {"1"}, ""},
        {4, {"Title", "text"}, "ShowError(Title,text)"},
        {5, {"1"}, ""},
        {6, {"1"}, "TickOrdersStatus(1)"},
        {6, {"1.0"}, "TickOrdersStatus(1)"},
        {6, {"2"}, "TickOrdersStatus(0)"},
        {7, {"1"}, "HistoryClientStatusEvent(1)"},
        {7, {"0"}, "HistoryClientStatusEvent(0)"},
        {8,
         {"3", "2001.5", "1.5", "2", "-3", "4", "5", "6", "7x"},
         "Summaries(3,2002,1.5,2,-3,4,5,6,7)"},
        {8, {"3"}, "Summaries(3,0,0,0,0,0,0,0,0)"},
        {9, {"3", "4", "aR,@b"}, "NewOpenPosition(3,4,aR,@b)"},
        {10, {"3", "4", "90001"}, "DeleteOpenPosition(3,4,90001)"},
        {11, {"3", "4", "5", "row"}, "ClosePosition(3,4,5,row)"},
        {12, {"3", "4", "5", "row"}, "UpdateOpenPosition(3,4,5,row)"},
        {13, {"3", "4", "5", "row"}, "DeleteClosePos(3,4,5,row)"},
        {14, {"1", "2", "3", "4", "5", "6"}, "ChangeConfig(1,2,3,4,5,6)"},
        {15, {"3", "1,2,3"}, "ClientChangeParameters(3,1,2,3)"},
        {16, {"3", "107", "+2"}, "ClientGeneralParam(3,107,+2)"},
        {17, {"3"}, "DeleteClient(3)"},
        {18, {"3", "4"}, "DeleteAccount(3,4)"},
        {19, {}, "StopServer()"},
        {20, {"flood", "10.0.0.9", "50123"}, "AttackProcess(flood,10.0.0.9,50123)"},
        {21, {"12"}, "DeleteDealer(12)"},
        {0, {"x"}, ""},
        {22, {"x"}, ""},
        {-1, {"x"}, ""},
    };
    for (const auto& c : cases) {
        log.clear();
        manager.TriggerEvent(EventsEnum(c.id), c.p);
        EXPECT_EQ(
            log, c.raised.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.raised})
            << "event " << c.id;
    }
}

TEST_F(Events, ANumberThatDoesNotFitRaisesNoEvent) {
    struct Case {
        int32_t id;
        std::vector<std::string> p;
        int32_t error;
    };
    const std::vector<Case> cases = {
        {1, {"m", "40000"}, runtime::errc::Overflow},
        {2, {"-40000"}, runtime::errc::Overflow},
        {6, {"abc"}, runtime::errc::TypeMismatch},
        {7, {""}, runtime::errc::TypeMismatch},
        {8, {"1", "3000000000"}, runtime::errc::Overflow},
        {14, {"1", "2", "3", "4", "5", "70000"}, runtime::errc::Overflow},
        {16, {"1", "1e6", "v"}, runtime::errc::Overflow},
        {21, {"1e10"}, runtime::errc::Overflow},
    };
    for (const auto& c : cases) {
        log.clear();
        EXPECT_EQ(ErrorNumberOf([&] { manager.TriggerEvent(EventsEnum(c.id), c.p); }), c.error)
            << "event " << c.id;
        EXPECT_TRUE(log.empty()) << "event " << c.id;
    }
}

}  // namespace
