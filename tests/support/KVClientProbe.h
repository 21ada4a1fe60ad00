#pragma once
// A connection session pointed at a scripted peer, with every event it raises
// recorded as one line of text ("State(1)", "LoggedOn(77)", "Rows(105, 2x3:
// a,b,c|d,e,f)"), so tests compare what happened in order. Header-only: it
// needs the connection library, which only the programs that test it link.
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "connection/CKVClient.h"
#include "connection/IClientServer.h"
#include "general/common/CTokens.h"
#include "tests/support/ScriptedPeer.h"

namespace testsupport {

// A request object of the client API's kind: claims a set of tokens, records
// the answers it gets, sends requests through the session's relay.
class RecordingObject : public KVClientDLL10::IClientServer {
public:
    RecordingObject(std::string name, std::set<int16_t> tokens, std::vector<std::string>* log)
        : name_(std::move(name)), tokens_(std::move(tokens)), log_(log) {}

    void OneRowResultreceived(int16_t CallerToken, int16_t Parameters,
                              const std::vector<std::string>& ParamVals) override {
        std::string line = name_ + "OneRow(" + std::to_string(CallerToken) + ", " +
                           std::to_string(Parameters) + ":";
        if (ParamVals.size() != static_cast<size_t>(Parameters) + 1) line += " BAD-ARRAY";
        for (size_t i = 1; i < ParamVals.size(); ++i) line += (i > 1 ? "|" : " ") + ParamVals[i];
        log_->push_back(line + ")");
        if (onAnswer) onAnswer();
    }
    void MultiRowsResultsreceived(int16_t CallerToken, bool NoRows,
                                  const KVClientDLL10::ResultTable& DataArray, int32_t Results,
                                  int16_t Parameters) override {
        if (NoRows) {
            log_->push_back(name_ + "NoRows(" + std::to_string(CallerToken) + ", " +
                            std::to_string(Results) + "x" + std::to_string(Parameters) +
                            (DataArray.Empty() ? "" : " BAD-TABLE") + ")");
        } else {
            std::string line = name_ + "Rows(" + std::to_string(CallerToken) + ", " +
                               std::to_string(Results) + "x" + std::to_string(Parameters) + ":";
            for (size_t r = 1; r <= DataArray.Rows(); ++r) {
                line += r > 1 ? "|" : " ";
                for (size_t c = 1; c <= DataArray.Cells(); ++c) {
                    line += (c > 1 ? "," : "") + DataArray(r, c);
                }
            }
            log_->push_back(line + ")");
        }
        if (onAnswer) onAnswer();
    }
    bool HasThisToken(int16_t vToken) override { return tokens_.count(vToken) > 0; }
    void SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager> vEventManager) override {
        relay_ = std::move(vEventManager);
    }

    // A request as the client API sends one: through the relay.
    void Request(int16_t token, std::vector<std::string> p = {}) {
        relay_->RequestFromServer(token, p);
    }
    bool HasRelay() const { return relay_ != nullptr; }

    // Runs after an answer is recorded (a handler that calls back in).
    std::function<void()> onAnswer;

private:
    std::string name_;
    std::set<int16_t> tokens_;
    std::vector<std::string>* log_;
    std::shared_ptr<KVGeneralDLL10::CEventManager> relay_;
};

class KVClientProbe {
public:
    // Create it inside the ScopedVirtualTime (if any) that is to drive its timers.
    explicit KVClientProbe(ScriptedPeer& peer)
        : client(std::make_unique<KVClientDLL10::CKVClient>()) {
        client->setTokens(std::make_shared<OrbanelGeneral10::CTokens>());
        client->setServerAddress(peer.Address());
        client->setServerPort(peer.Port());
        client->setLoginUN("dealer");
        client->setLoginPW("secret");
        client->setLoginType("CLIENTAPI");
        auto& c = *client;
        c.State.Connect([this](bool on) { Log("State(" + std::to_string(on) + ")"); });
        c.LoggedOn.Connect([this](int32_t user) { Log("LoggedOn(" + std::to_string(user) + ")"); });
        c.InvalidUsernamePassword.Connect([this] { Log("InvalidUsernamePassword"); });
        c.WaitingMode.Connect([this](KVClientDLL10::WaitingModeEnum m) { modes.push_back(m); });
        c.NotConnected.Connect([this] { ++notConnected; });
        c.ServerTime.Connect([this](const std::string& t) { Log("ServerTime(" + t + ")"); });
        c.DisconnectMessageRecieved.Connect([this](int16_t type) {
            Log("DisconnectMessageRecieved(" + std::to_string(type) + ", user " +
                std::to_string(static_cast<int>(client->LoginUser())) + ")");
        });
        c.ShowError.Connect([this](const std::string& title, const std::string& msg) {
            errors.push_back(title + ": " + msg);
            Log("ShowError(" + title + ")");
        });
        c.DataRecieved.Connect(
            [this](int16_t token, int16_t n, const std::vector<std::string>& values) {
                std::string line =
                    "DataRecieved(" + std::to_string(token) + ", " + std::to_string(n) + ":";
                if (values.size() != static_cast<size_t>(n) + 1) line += " BAD-ARRAY";
                for (size_t i = 1; i < values.size(); ++i) line += (i > 1 ? "|" : " ") + values[i];
                Log(line + ")");
                if (onData) onData(token);
            });
        c.OpenDemoAccountResultRecieved.Connect(
            [this](KVClientDLL10::GenerateDemoResultEnum r, const std::string& user) {
                Log("Demo(" + std::to_string(r) + ", " + user + ")");
            });
        c.DisconnectNoHandshakeMsg.Connect([this] { Log("DisconnectNoHandshakeMsg"); });
    }

    // Registers a request object claiming `tokens`; its answers go to the same log.
    std::shared_ptr<RecordingObject> AddObject(std::set<int16_t> tokens, std::string name = "") {
        auto object = std::make_shared<RecordingObject>(std::move(name), std::move(tokens), &log);
        client->AddClientServerObject(object);
        return object;
    }

    // The lines that start with one of the prefixes, in order.
    std::vector<std::string> Only(const std::vector<std::string>& prefixes) const {
        std::vector<std::string> out;
        for (const auto& line : log) {
            for (const auto& p : prefixes) {
                if (line.rfind(p, 0) == 0) {
                    out.push_back(line);
                    break;
                }
            }
        }
        return out;
    }
    bool Has(const std::string& line) const {
        for (const auto& l : log) {
            if (l == line) return true;
        }
        return false;
    }
    size_t Count(const std::string& prefix) const { return Only({prefix}).size(); }
    std::string Dump() const {
        std::string out;
        for (const auto& l : log) out += "  " + l + "\n";
        for (const auto& e : errors) out += "  error " + e + "\n";
        return out;
    }

    std::unique_ptr<KVClientDLL10::CKVClient> client;
    std::vector<std::string> log;
    std::vector<std::string> errors;
    std::vector<KVClientDLL10::WaitingModeEnum> modes;
    int notConnected = 0;
    std::function<void(int16_t)> onData;

private:
    void Log(std::string line) { log.push_back(std::move(line)); }
};

}  // namespace testsupport
