#pragma once
// One login session to one trading server over one TCP connection: connect
// and re-login after every drop (at once only after a drop of a logged-on
// connection, see ReconnectIntervalMs), the handshake watchdog, the request queue
// with one outstanding request, multi-row results and the routing of answers
// to the registered request objects. Everything runs on the event loop's
// thread; events are raised synchronously and a handler may call back in
// (Login, Disconnect, requests) or release the session.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "connection/CClientServerManager.h"
#include "connection/CTcpClient.h"
#include "connection/Enums.h"
#include "connection/IClientServer.h"
#include "platform/Timer.h"
#include "protocol/CProcess.h"
#include "protocol/CQueue.h"
#include "protocol/ITokens.h"
#include "runtime/Event.h"

namespace KVClientDLL10 {

class CKVClient {
public:
    // The most rows a multi-row answer may announce; a larger count is refused
    // (ShowError). What an answer holds grows with the rows that arrived, not
    // with the count.
    static constexpr int32_t kMaxResultRows = 1'000'000;
    // The most values a received message may carry (its count is 16-bit).
    static constexpr size_t kMaxMessageParameters = 32766;

    // The handshake watchdog gives a server this long until its first accepted login.
    static constexpr int32_t kWatchdogBeforeLoginMs = 10000;
    // After a login the watchdog waits the server's handshake interval plus
    // 15000 ms (10000 added on reading the reply, 5000 on setting the timer),
    // rounded half to even; Overflow when the sum leaves 32 bits.
    static int32_t WatchdogAfterLoginMs(double serverIntervalMs);
    // How often a connected session asks whether the socket can take its login.
    static constexpr int32_t kLoginTickMs = 1000;
    // How often a request that could not go out is tried again.
    static constexpr int32_t kSendRetryMs = 500;
    // How long after a connection loss the session connects again, unless it
    // reconnects at once: the socket client's connect interval (3000-5999 ms,
    // drawn at creation). Only a loss of a connection that had an accepted
    // login reply reconnects at once, and not when a connection made again
    // after an earlier loss came up within this interval; so a server that
    // closes every connection, before or after granting the login, or that
    // asks for a new login each time (LoginAgain), sees about one connection
    // per interval.
    int32_t ReconnectIntervalMs() const { return m_oTCPClient->ConnectInterval(); }
    // LoginUser before any accepted login, and while closed for good.
    static constexpr double kNotLoggedIn = -100;
    static constexpr double kClosedForGood = -200;

    CKVClient();
    ~CKVClient();
    CKVClient(const CKVClient&) = delete;
    CKVClient& operator=(const CKVClient&) = delete;

    // Gives the object the session's request relay and appends it to the
    // routing list. Errors reach the caller.
    void AddClientServerObject(std::shared_ptr<IClientServer> vObject);
    // Connects (at once) and logs in with LoginUN, LoginPW and LoginType.
    void Login();
    // Login on the server's word (an answer or a push asking for it). Its
    // connection counts as one made again after a loss: asked for again within
    // ReconnectIntervalMs of such a connection coming up, it connects one
    // interval later instead of at once.
    void LoginAgain();
    // Closes the connection; what was sent still reaches the server. With
    // False the session is closed for good (LoginUser -200) until the next
    // Login; with True the reported close logs in again (in login mode). A
    // connection the session gives up on itself (the watchdog, an unreadable
    // answer) is reset instead.
    void Disconnect(bool AutoRelogin);
    // Connects to ServerIP:ServerPort and asks for a demo account; the answer
    // arrives as OpenDemoAccountResultRecieved and the session is then closed.
    void OpenDemoAccount(const std::string& ServerIP, int32_t ServerPort,
                         const std::string& Address, const std::string& Email,
                         const std::string& Name, const std::string& Mobile,
                         const std::string& Country, double Deposit, const std::string& Password);

    bool LogedOn() const { return logedOn_; }
    // "localhost" and 4401 at creation; a port below 1 or above 65535 is ignored.
    double ServerPort() const { return m_oTCPClient->ServerPort(); }
    void setServerPort(double value) { m_oTCPClient->setServerPort(value); }
    const std::string& ServerAddress() const { return m_oTCPClient->ServerAddress(); }
    void setServerAddress(const std::string& value) { m_oTCPClient->setServerAddress(value); }
    const std::string& LoginUN() const { return loginUN_; }
    void setLoginUN(const std::string& value) { loginUN_ = value; }
    const std::string& LoginPW() const { return loginPW_; }
    void setLoginPW(const std::string& value) { loginPW_ = value; }
    const std::string& LoginType() const { return loginType_; }
    void setLoginType(const std::string& value) { loginType_ = value; }
    // Whether the socket client reconnects on its own timer after a drop.
    // (In login mode the session logs in again after a drop either way.)
    bool AutoRelogin() const { return m_oTCPClient->AutoReloginOption(); }
    void setAutoRelogin(bool value) { m_oTCPClient->setAutoReloginOption(value); }
    // The user id of the last accepted login; -100 before any, -200 while
    // closed for good.
    double LoginUser() const { return loginUser_; }

    // Sends one message at once, outside the queue; no answer is routed for it.
    // p holds p1..p50 (missing ones count as not sent). False when it could not
    // be sent: not logged on (NotConnected), not connected, or a value holds a
    // protocol marker (ShowError).
    bool Send(int16_t Token, const std::vector<std::string>& p);
    // Sends a built request when it is a login or demo request or the session
    // is logged on; otherwise raises NotConnected. False when it did not go.
    bool SendRequest(KVGeneralDLL10::CProcess& Request);

    // Every request the queue accepts takes the next number (1, 2, ...); numbers
    // are never reused, neither after a reset nor after a reconnect. The queue's
    // requests are answered one at a time in the order of their numbers, so a
    // request was answered exactly when its number is at most
    // LastAnsweredRequest(). The login and demo requests, which go ahead of
    // the queue, take none.
    // The number of the last request the queue accepted (0 before any).
    uint64_t LastQueuedRequest() const { return queued_; }
    // The number of the last queued request an answer ended: a result, a
    // multi-row answer, a server error or an unreadable answer. It counts from
    // before the answer's handlers run; a request dropped by a reset or a lost
    // connection never counts.
    uint64_t LastAnsweredRequest() const { return answered_; }

    // The token dictionary for every message the session builds and parses.
    void setTokens(std::shared_ptr<KVGeneralDLL10::ITokens> tokens);

    // While True a silent server is not disconnected. Setting it restarts the watchdog.
    bool DontAutoDisconnect() const { return m_oTCPClient->DontAutoDisconnect(); }
    void setDontAutoDisconnect(bool value) { m_oTCPClient->setDontAutoDisconnect(value); }

    // True when the session is set logged on; False after every reported connection loss.
    runtime::Event<bool /*IsConnected*/> State;
    // A received message that nothing else takes (a server push), with its
    // values in ParameterValues[1..Parameters] (slot 0 unused).
    runtime::Event<int16_t /*vToken*/, int16_t /*Parameters*/,
                   const std::vector<std::string>& /*ParameterValues*/>
        DataRecieved;
    runtime::Event<int32_t /*UserID*/> LoggedOn;
    runtime::Event<> InvalidUsernamePassword;
    runtime::Event<WaitingModeEnum /*vMode*/> WaitingMode;
    runtime::Event<> NotConnected;
    runtime::Event<const std::string& /*vTime*/> ServerTime;
    // Raised after the server's disconnect closed the session for good; 0 when
    // its code does not fit (reported through ShowError first).
    runtime::Event<int16_t /*vType*/> DisconnectMessageRecieved;
    runtime::Event<const std::string& /*vTitle*/, const std::string& /*Msg*/> ShowError;
    runtime::Event<GenerateDemoResultEnum /*Result*/, const std::string& /*Username*/>
        OpenDemoAccountResultRecieved;
    runtime::Event<> DisconnectNoHandshakeMsg;

private:
    using ProcessPtr = std::shared_ptr<KVGeneralDLL10::CProcess>;

    // What the session was last asked to do; the values are the tokens of
    // the request each mode sends.
    enum class Mode : int16_t {
        Idle = 0,
        Login = 1,  // LOGIN_TOKEN
        Demo = 15,  // GENERATE_DEMO_ACCOUNT
    };

    // Closed by Disconnect(False), a refused login, the server's disconnect or
    // a demo reply: no connection loss logs in again until the next login.
    bool ClosedForGood() const { return loginUser_ == kClosedForGood; }
    // A connection loss logs in again.
    bool ReloginWanted() const { return mode_ == Mode::Login && !ClosedForGood(); }
    // The loss of the connection in hand is connected again at once (the rule
    // of ReconnectIntervalMs); otherwise one interval later.
    bool ReconnectsAtOnce() const { return loginAccepted_ && !reconnectGuard_->Enabled(); }

    template <class Ev, class... A>
    bool Raise(const char* name, Ev& event, A&&... args);
    void RaiseShowError(const std::string& title, const std::string& msg);
    static bool Alive(const std::weak_ptr<char>& token) { return !token.expired(); }

    // Connection and login.
    // Disconnect's steps; with giveUp the connection is reset (CTcpClient::GiveUp).
    void EndConnection(bool AutoRelogin, bool giveUp);
    // Login's steps; with atOnce False the first attempt waits one connect interval.
    void ConnectForLogin(bool atOnce);
    void OnTcpState(int32_t currentStatus);
    void OnLoginTick();
    void SendLoginRequest();
    void SendDemoRequest();
    // Returns the report of what the reset dropped ("" when nothing), which
    // the caller raises once the session is whole again.
    std::string ResetSession();
    // With value True the watchdog takes `watchdogMs` (WatchdogAfterLoginMs).
    void SetLogedOn(bool value, int32_t watchdogMs, double user);
    void SetSID(int32_t sid);
    void RaiseWaitingMode();
    void LoginReplyReceived(const ProcessPtr& answered);
    void DemoReplyReceived(const ProcessPtr& answered);
    void FailLoginRequest(const ProcessPtr& answered, const std::string& why);

    // Requests.
    bool AddRequest(int16_t Tkn, const std::vector<std::string>& p);
    bool DoTopRequest();
    bool SendTopRequest();
    void OnSendTick();
    void RequestDone(const ProcessPtr& answered);
    // The queued request in hand was answered (before its answer is handed on).
    void AnswerCame(const ProcessPtr& answered);
    void DequeueHead();
    void CompleteWithError(const ProcessPtr& answered, const std::string& title,
                           const std::string& why);
    // Refuses (ShowError) a request with a value that holds a protocol marker.
    bool RefuseMarkers(const std::string& title, int16_t token,
                       const std::vector<std::string>& values);
    void RefuseMarker(const std::string& title, int16_t token, size_t parameter);
    bool HasPending() const;
    std::string OverflowReport() const;

    // Receiving.
    void OnTcpReceive(const std::string& rData);
    int16_t WordToken(std::string_view message) const;
    void Dispatch(int16_t token, const ProcessPtr& answered, bool answeredSent, bool wasReceiving);
    void MessageFailed(int16_t token, const ProcessPtr& answered, bool answeredSent,
                       bool wasReceiving, const std::string& why);
    void HandleServerError(const ProcessPtr& answered, bool answeredSent, bool wasReceiving);
    void StartRows();
    void ClearRows();
    void RowReceived();
    void KeepRow(int32_t number, std::string text);
    void CountDownRow();
    void AskLostRows();
    void DeliverMultiRows(bool NoRows);
    void OneRowReceived(const ProcessPtr& answered);

    // Declared in the order of creation.
    ProcessPtr m_oProcess;
    ProcessPtr m_oSendProcess;
    std::unique_ptr<KVGeneralDLL10::CQueue> m_oQueue;
    std::unique_ptr<CTcpClient> m_oTCPClient;
    std::unique_ptr<CClientServerManager> m_oClientServerObjects;
    std::unique_ptr<platform::Timer> m_oLoginTimer;
    std::unique_ptr<platform::Timer> m_oSendTimer;
    // Runs one connect interval from the moment a connection made again after
    // a loss came up; a loss meanwhile waits its interval.
    std::unique_ptr<platform::Timer> reconnectGuard_;

    Mode mode_ = Mode::Idle;
    // The connection in hand had an accepted login reply; its loss, also the
    // one a Login on a live session reports, clears it, as a new connection does.
    bool loginAccepted_ = false;
    bool reconnecting_ = false;  // the connection being made follows a loss or LoginAgain
    bool logedOn_ = false;
    double loginUser_ = kNotLoggedIn;
    std::string loginUN_;
    std::string loginPW_;
    std::string loginType_;
    int32_t sid_ = 0;  // the copy SetSID keeps (Send uses it)

    // The login or demo request goes ahead of the queue, so that requests
    // queued while logged off can never hold the session off its login.
    ProcessPtr loginRequest_;
    // The request dispatched last and not yet answered (the login request or
    // the queue's head); nullptr while nothing is outstanding.
    ProcessPtr current_;
    bool currentSent_ = false;  // current_ went out and awaits its answer
    // The request whose answer a handler is being given (not dropped by a reset meanwhile).
    ProcessPtr answering_;
    // The numbers of the requests the queue accepted and of those that left it
    // (answered or dropped): the queue's head is number left_ + 1.
    uint64_t queued_ = 0;
    uint64_t left_ = 0;
    uint64_t answered_ = 0;
    // Requests refused by a full queue since it last had room.
    std::vector<int16_t> refused_;

    // Multi-row state.
    bool receiving_ = false;
    // The rows arrived so far with a text, by number (1..expected_): a count
    // alone claims nothing.
    std::map<int32_t, std::string> rows_;
    // From the first ask on, the numbers still lacking a text: made once from
    // the gaps between the rows that came, then kept as rows come and go, so
    // a row message never walks the whole answer.
    std::set<int32_t> missing_;
    bool askedLost_ = false;
    int32_t expected_ = 0;
    int32_t remaining_ = 0;

    // Demo fields.
    std::string address_, email_, name_, mobile_, country_, password_;
    double deposit_ = 0;

    std::vector<std::string> values_;  // reused for DataRecieved
    std::shared_ptr<char> life_ = std::make_shared<char>();
};

}  // namespace KVClientDLL10
