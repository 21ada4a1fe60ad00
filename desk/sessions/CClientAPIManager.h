#pragma once
// One managed account: owns its client API object, handles its events and mirrors
// them in the desk's views through the ports.
//
// Every event handler catches what is thrown inside it, stops at that step,
// journals "<event> failed: <description>" for its account and returns normally,
// so the client API's event chain goes on (ConnectionState, ClientListItem,
// Summary and RemoveData absorb errors without a word). A running handler keeps
// its session alive. Release() ends the session for good: handlers disconnected,
// then the account logged out (a failure journaled), then the API object dropped;
// destruction releases too.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clientapi/facade/COrbanexClientAPI.h"
#include "desk/common/DeskServices.h"
#include "runtime/Event.h"

namespace OrbanexDesk {

class CClientAPIManager : public std::enable_shared_from_this<CClientAPIManager> {
public:
    using API = OrbanexClientAPI10::COrbanexClientAPI;

    // Creates the session with a fresh client API object whose events it handles.
    static std::shared_ptr<CClientAPIManager> Create(DeskServices& desk);
    ~CClientAPIManager();
    CClientAPIManager(const CClientAPIManager&) = delete;
    CClientAPIManager& operator=(const CClientAPIManager&) = delete;

    int32_t m_lAccount = 0;
    double preBalance = 0, preFltPL = 0, preCredit = 0, preEquity = 0, preMarginReq = 0,
           preMarginLevel = 0, preEffMargin = 0;
    std::string pass;

    // The handled API object; setting one moves the handler connections to it.
    const std::shared_ptr<API>& CLAPICLASS() const { return api_; }
    void setCLAPICLASS(std::shared_ptr<API> api);
    std::shared_ptr<API> ClientAPIF() const { return api_; }

    int16_t key() const { return key_; }
    void setKey(int16_t key) { key_ = key; }
    // "C" & key.
    std::string RowKey() const { return "C" + std::to_string(key_); }
    // The session's accounts-list row, or nullptr.
    platform::ListItem* ClientListItem();

    // Copies the account's seven summaries into the arguments when the API answers with
    // success; otherwise leaves them alone.
    void Summary(int32_t AccountID, double& Balance, double& FltPL, double& Credit, double& Equity,
                 double& marginReq, double& MarginLevel, double& EffMargin);
    std::string SummaryDesc(double Balance, double Equity, double EffMargin) const;
    // The id of the first symbol named Name exactly; 0 when none. 32-bit: ids above
    // 32767 are ordinary.
    int32_t GetIDByName(const std::string& Name);
    // Removes Key from the shared symbol collection; a missing key is ignored.
    void RemoveData(const std::string& Key);
    // Logs the account of row "C" & SessionKeyText out and notes "Invalid account ID".
    void DisInvalidAcc(const std::string& SessionKeyText);

    // Ends the session: see the class comment. Safe to call twice.
    void Release();
    bool Released() const { return released_; }

    // ---- Handlers of the API object's events ----
    void CLAPICLASS_ConnectionState(bool IsConnected);
    void CLAPICLASS_WaitingMode(KVClientDLL10::WaitingModeEnum Mode);
    void CLAPICLASS_ServerTime(const std::string& STime);
    void CLAPICLASS_ServerRouted(const std::string& OldIP, const std::string& NewIP);
    void CLAPICLASS_SessionDisconnected();
    void CLAPICLASS_InvalidUsernamePassword();
    void CLAPICLASS_SymbolsLoaded();
    void CLAPICLASS_OpenPositionsLoaded();
    void CLAPICLASS_PendingOrdersLoaded();
    void CLAPICLASS_AllDataAreLoaded();
    void CLAPICLASS_NewOpenPosition(const PositionPtr& Pos);
    void CLAPICLASS_UpdateOpenPosition(const PositionPtr& Pos);
    void CLAPICLASS_DeleteOpenPosition(const PositionPtr& Pos);
    void CLAPICLASS_NewPendingOrder(const OrderPtr& Order);
    void CLAPICLASS_DeletePendingOrder(const OrderPtr& Order);

private:
    explicit CClientAPIManager(DeskServices& desk);
    void ConnectHandlers();
    template <class... A, class F>
    void Handle(runtime::Event<A...>& event, const char* name, F member);
    void Journal(const std::string& text);
    std::string Sound(const std::string& name) const;
    platform::ListItem& Row();
    void AddMarketWatchRow(const SymbolPtr& symbol);
    void RegisterWithOrderPanes();
    void SaveConnectedLine(const std::string& savedList);
    void ReadDecimalsSetting();

    DeskServices& desk_;
    const DeskPorts& ports_;
    std::shared_ptr<API> api_;
    int16_t key_ = 0;
    bool released_ = false;
    std::vector<runtime::ScopedConnection> connections_;
    std::string settingsPath_;
};

}  // namespace OrbanexDesk
