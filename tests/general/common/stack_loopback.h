#pragma once
// Loopback fixtures for the server-side result dispatchers: a connected socket
// pair with an inbox of whole messages, and a small serving host that logs the
// connection library's session in and answers its requests through a
// dispatcher. What the dispatcher writes reaches the client through a tap that
// can blank chosen rows on their first passage, so the client reports them lost
// and the dispatcher must send them again.
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "connection/IClientServer.h"
#include "connection/ResultTable.h"
#include "general/common/CDataProtocol.h"
#include "general/common/CProcess.h"
#include "general/common/CSession.h"
#include "general/common/Enums.h"
#include "general/common/MCommandMessage.h"
#include "platform/EventLoop.h"
#include "platform/TcpSocket.h"
#include "runtime/Convert.h"
#include "runtime/Variant.h"

namespace stacktest {

inline constexpr int32_t kWaitMs = 5000;
inline constexpr int32_t kSessionSid = 4242;

inline bool Wait(const std::function<bool()>& done) {
    return platform::EventLoop::RunUntil(done, kWaitMs);
}

// The whole messages (without end markers) that arrive on a socket.
class Inbox {
public:
    explicit Inbox(const std::shared_ptr<platform::TcpSocket>& socket) : socket_(socket) {
        socket->OnReceive.Connect([this] {
            std::string chunk;
            socket_->Receive(chunk);
            std::vector<std::string> rows;
            const size_t n = buffer_.Split(chunk, rows);
            for (size_t i = 1; i <= n; ++i) {
                messages.push_back(rows[i]);
                if (onMessage) onMessage(rows[i]);
            }
        });
    }
    bool WaitFor(size_t count) {
        return Wait([&] { return messages.size() >= count; });
    }

    std::vector<std::string> messages;
    std::function<void(const std::string&)> onMessage;

private:
    std::shared_ptr<platform::TcpSocket> socket_;
    OrbanelGeneral10::wire::ReceiveBuffer buffer_;
};

inline std::shared_ptr<OrbanelGeneral10::CSession> SessionTag(
    const std::shared_ptr<platform::TcpSocket>& socket, int32_t sid) {
    auto session = std::make_shared<OrbanelGeneral10::CSession>();
    session->setSid(sid);
    session->setChild(socket);
    socket->Tag = runtime::Variant(std::static_pointer_cast<runtime::Object>(session));
    return session;
}

// Two connected loopback sockets: `near` writes, `far` reads into `inbox`.
// `near`'s tag holds a session with kSessionSid.
class SocketPair {
public:
    SocketPair() : near(std::make_shared<platform::TcpSocket>()) {
        server_.Listen("127.0.0.1", 0);
        server_.OnAccept.Connect([this](std::shared_ptr<platform::TcpSocket> s) {
            if (!far) {
                far = std::move(s);
                inbox = std::make_unique<Inbox>(far);
            }
        });
        near->Connect("127.0.0.1", server_.Port());
        open = Wait([&] { return far && near->State() == platform::TcpSocket::kStateConnected; });
        session = SessionTag(near, kSessionSid);
    }

    bool open = false;
    std::shared_ptr<platform::TcpSocket> near;
    std::shared_ptr<platform::TcpSocket> far;
    std::unique_ptr<Inbox> inbox;
    std::shared_ptr<OrbanelGeneral10::CSession> session;

private:
    platform::TcpServer server_;
};

// A serving host for one connection session: it accepts the login, hands
// every other request to onRequest and every lost-row report to onLost. A
// dispatcher it drives writes on Child(); the tap forwards that to the client,
// giving each row listed in blankRows an empty text the first time it passes.
class DispatchServer {
public:
    DispatchServer() {
        listener_.Listen("127.0.0.1", 0);
        listener_.OnAccept.Connect([this](std::shared_ptr<platform::TcpSocket> s) {
            if (client_) return;
            client_ = std::move(s);
            session_ = SessionTag(client_, kSessionSid);
            client_->OnReceive.Connect([this] { FromClient(); });
        });
        if (tap_.inbox) tap_.inbox->onMessage = [this](const std::string& m) { FromDispatcher(m); };
    }

    bool Ready() const { return tap_.open; }
    int32_t Port() const { return listener_.Port(); }
    const std::shared_ptr<platform::TcpSocket>& Child() const { return tap_.near; }

    std::set<int32_t> blankRows;
    std::function<void(int32_t token)> onRequest;
    std::function<void(double row)> onLost;

    std::vector<double> lostReported;
    int confirmations = 0;
    // Everything the tap passed on, as the client got it.
    std::vector<std::string> forwarded;

private:
    void FromClient() {
        std::string chunk;
        client_->Receive(chunk);
        std::vector<std::string> rows;
        const size_t n = session_->SplitBuffer(chunk, rows);
        for (size_t i = 1; i <= n; ++i) {
            OrbanelGeneral10::CProcess message;
            message.DefineProcessByCommand(5, rows[i]);
            switch (message.TokenID()) {
                case OrbanelGeneral10::LOGIN_TOKEN:
                    client_->Send(
                        codec_.Response(OrbanelGeneral10::RESULT_TOKEN,
                                        {"OK", std::to_string(kSessionSid), "77", "20000"}));
                    break;
                case OrbanelGeneral10::RESULT_LOST_TOKEN: {
                    const double row = runtime::Val(message.ParameterValue(1));
                    lostReported.push_back(row);
                    if (onLost) onLost(row);
                    break;
                }
                case OrbanelGeneral10::RESULT_OK_TOKEN:
                    ++confirmations;
                    break;
                default:
                    if (onRequest) onRequest(message.TokenID());
                    break;
            }
        }
    }

    void FromDispatcher(std::string text) {
        OrbanelGeneral10::CProcess message;
        message.DefineProcessByCommand(5, text);
        if (message.TokenID() == OrbanelGeneral10::RESULT_TOKEN) {
            const auto row = static_cast<int32_t>(runtime::Val(message.ParameterValue(1)));
            if (blankRows.erase(row) > 0) {
                text = codec_.Response(OrbanelGeneral10::RESULT_TOKEN,
                                       {message.ParameterValue(1), ""});
                // Without the end marker, like the texts the split gives.
                text.resize(text.size() - OrbanelGeneral10::wire::kEndMarker.text.size());
            }
        }
        forwarded.push_back(text);
        if (client_) {
            client_->Send(text);
            client_->Send(OrbanelGeneral10::wire::kEndMarker.text);
        }
    }

    platform::TcpServer listener_;
    std::shared_ptr<platform::TcpSocket> client_;
    std::shared_ptr<OrbanelGeneral10::CSession> session_;
    SocketPair tap_;
    OrbanelGeneral10::CDataProtocol codec_;
};

// A request object of the connection library that keeps the table it is given.
class TableCatcher : public KVClientDLL10::IClientServer {
public:
    explicit TableCatcher(int16_t token) : token_(token) {}

    void OneRowResultreceived(int16_t, int16_t, const std::vector<std::string>&) override {
        ++oneRowAnswers;
    }
    void MultiRowsResultsreceived(int16_t CallerToken, bool NoRows,
                                  const KVClientDLL10::ResultTable& DataArray, int32_t Results,
                                  int16_t) override {
        ++tables;
        token = CallerToken;
        noRows = NoRows;
        rows.clear();
        for (int32_t r = 1; r <= Results; ++r) {
            std::vector<std::string> cells;
            for (size_t c = 1; c <= DataArray.Cells(); ++c) cells.push_back(DataArray(r, c));
            rows.push_back(cells);
        }
    }
    bool HasThisToken(int16_t vToken) override { return vToken == token_; }
    void SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager> vEventManager) override {
        relay = std::move(vEventManager);
    }

    std::shared_ptr<KVGeneralDLL10::CEventManager> relay;
    int tables = 0;
    int oneRowAnswers = 0;
    int16_t token = 0;
    bool noRows = false;
    std::vector<std::vector<std::string>> rows;

private:
    int16_t token_;
};

}  // namespace stacktest
