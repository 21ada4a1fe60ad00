#include "clientapi/facade/COrbanexClientAPI.h"

#include "clientapi/dataclient/CClientServer.h"
#include "clientapi/dataclient/CDataClient.h"
#include "clientapi/dataclient/CSecurity.h"
#include "clientapi/facade/CAccountsManager.h"
#include "clientapi/facade/CMOrder.h"
#include "clientapi/facade/CSymbolsManager.h"
#include "general/common/CLogFile.h"
#include "general/common/MGenerals.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CGlobalVar.h"
#include "general/model/CSymbol.h"
#include "general/model/CSymbols.h"
#include "runtime/Convert.h"

namespace OrbanexClientAPI10 {

namespace og = OrbanelGeneral10;

namespace {
constexpr auto kAsClient = static_cast<og::UserTypeEnum>(ClientUser);
}

COrbanexClientAPI::COrbanexClientAPI() : log_(std::make_shared<og::CLogFile>()) {
    log_->setFileName("c:\\apirzk.txt");
    log_->setLogLevel(1);
    log_->setLogEnabled(true);
    symbolsLoaded_ = false;
    symbolView_ = std::make_shared<COSymbol>();
    m_oSymbolsManager = std::make_shared<CSymbolsManager>();
    // The data client's online sessions may hold the manager weakly.
    m_oAccountsManager = std::make_shared<CAccountsManager>();
    ConnectSymbolsManager();
    ConnectAccountsManager();
    m_oClient = std::make_shared<CDataClient>();
    ConnectDataClient();
    m_oClient->setLoginType("CLIENTAPI");
    security_ = std::make_shared<CSecurity>();
    m_oClient->setSecurityRef(security_);
    globalVar_ = std::make_shared<og::CGlobalVar>();
    m_oAccountsManager->SetRefs(m_oSymbolsManager, m_oClient, security_);
}

COrbanexClientAPI::~COrbanexClientAPI() {
    connections_.clear();
    // The manager goes before the data client: its destruction stops every
    // re-quote countdown, so no tick reaches a half-released session.
    m_oAccountsManager.reset();
    m_oClient.reset();
    m_oSymbolsManager.reset();
    security_.reset();
    globalVar_.reset();
    symbolView_.reset();
}

// ---- Members ----

void COrbanexClientAPI::SetLoginInfo(const std::string& Username, const std::string& Password,
                                     const std::string& ServerIP, int32_t ServerPort) {
    m_oClient->setFirstIP(ServerIP);
    m_oClient->setServerAddress(ServerIP);
    m_oClient->setServerPort(ServerPort);
    m_oClient->setLoginUN(Username);
    m_oClient->setLoginPW(Password);
}

void COrbanexClientAPI::Login() {
    symbolsLoaded_ = false;
    m_oClient->Login();
}

std::shared_ptr<COAccount> COrbanexClientAPI::Account(int32_t AccountID) {
    return m_oAccountsManager->Account(AccountID);
}

CallingResultsEnum COrbanexClientAPI::SelectAccount(int32_t AccountID) {
    return m_oAccountsManager->SelectAccount(AccountID);
}

CallingResultsEnum COrbanexClientAPI::GetAccountHistory(int32_t AccID, const std::string& FromDate,
                                                        const std::string& ToDate) {
    return m_oAccountsManager->GetAccountHistory(AccID, FromDate, ToDate);
}

int16_t COrbanexClientAPI::SymbolsCount() const {
    return runtime::CInt(static_cast<double>(m_oSymbolsManager->Symbols()->Count()));
}

std::shared_ptr<COSymbol> COrbanexClientAPI::SymbolByIndex(int16_t Index) {
    return m_oAccountsManager->SymbolByIndex(Index);
}

std::shared_ptr<COSymbol> COrbanexClientAPI::SymbolByID(int32_t ID) {
    return m_oAccountsManager->SymbolByID(ID);
}

std::shared_ptr<COSymbol> COrbanexClientAPI::SymbolByName(const std::string& Name) {
    return m_oAccountsManager->SymbolByName(Name);
}

int32_t COrbanexClientAPI::OpenPositionsCount() const {
    return m_oAccountsManager->OpenPositionsCount();
}

std::shared_ptr<COOpenPosition> COrbanexClientAPI::OpenPositionByIndex(int16_t Index) {
    return m_oAccountsManager->OpenPositionByIndex(Index);
}

std::shared_ptr<COOpenPosition> COrbanexClientAPI::OpenPositionByTicket(int32_t Ticket) {
    return m_oAccountsManager->OpenPositionByTicket(Ticket);
}

int32_t COrbanexClientAPI::OrdersCount() const {
    return m_oAccountsManager->OrdersCount();
}

std::shared_ptr<COOrder> COrbanexClientAPI::OrderByIndex(int16_t Index) {
    return m_oAccountsManager->OrderByIndex(Index);
}

std::shared_ptr<COOrder> COrbanexClientAPI::OrderByID(int32_t OrderID) {
    return m_oAccountsManager->OrderByID(OrderID);
}

CallingResultsEnum COrbanexClientAPI::NewMarketOrder(OperationType BuySell, int32_t SymbolID,
                                                     double Lots, const std::string& TransTag,
                                                     const std::string& Note) {
    return m_oAccountsManager->NewMarketOrder(BuySell, SymbolID, Lots, TransTag, Note);
}

CallingResultsEnum COrbanexClientAPI::NewLimitOrder(OperationType OrderType, int32_t SymbolID,
                                                    double Lots, double AtPrice,
                                                    const runtime::Variant& SL,
                                                    const runtime::Variant& TP,
                                                    const std::string& TransTag,
                                                    const std::string& Note) {
    return m_oAccountsManager->NewLimitOrder(OrderType, SymbolID, Lots, AtPrice, kAsClient, SL, TP,
                                             TransTag, Note);
}

CallingResultsEnum COrbanexClientAPI::UpdateLimitOrder(int32_t OrderID, double Lots,
                                                       double NewPrice, const runtime::Variant& SL,
                                                       const runtime::Variant& TP,
                                                       const std::string& TransTag,
                                                       const std::string& Note) {
    return m_oAccountsManager->UpdateLimitOrder(OrderID, Lots, NewPrice, kAsClient, SL, TP,
                                                TransTag, Note);
}

CallingResultsEnum COrbanexClientAPI::DeleteLimitOrder(const std::string& OrderIDs,
                                                       const std::string& TransTag) {
    return m_oAccountsManager->DeleteLimitOrder(OrderIDs, kAsClient, TransTag);
}

CallingResultsEnum COrbanexClientAPI::AcceptOrder(int32_t OrderID) {
    return m_oAccountsManager->AcceptOrder(OrderID);
}

CallingResultsEnum COrbanexClientAPI::RejectOrder(int32_t OrderID) {
    return m_oAccountsManager->RejectOrder(OrderID);
}

CallingResultsEnum COrbanexClientAPI::CloseMarketOrder(const std::string& Tickets,
                                                       const std::string& Lots,
                                                       const std::string& TransTag) {
    return m_oAccountsManager->CloseMarketOrder(Tickets, Lots, TransTag);
}

bool COrbanexClientAPI::LogedOn() const {
    return m_oClient->LogedOn();
}

uint64_t COrbanexClientAPI::LastQueuedRequest() const {
    return m_oClient->LastQueuedRequest();
}

uint64_t COrbanexClientAPI::LastAnsweredRequest() const {
    return m_oClient->LastAnsweredRequest();
}

void COrbanexClientAPI::Disconnect() {
    m_oClient->Disconnect(false);
}

const std::string& COrbanexClientAPI::ServerIP() const {
    return m_oClient->ServerAddress();
}

int32_t COrbanexClientAPI::ServerPort() const {
    return runtime::CLng(m_oClient->ServerPort());
}

const std::string& COrbanexClientAPI::LoginUsername() const {
    return m_oClient->LoginUN();
}

const std::string& COrbanexClientAPI::LoginPassword() const {
    return m_oClient->LoginPW();
}

CallingResultsEnum COrbanexClientAPI::AccountSummaries(int32_t AccountID, double& Balance,
                                                       double& FltPL, double& Credit,
                                                       double& Equity, double& marginReq,
                                                       double& MarginLevel, double& EffMargin) {
    return m_oAccountsManager->AccountSummaries(AccountID, Balance, FltPL, Credit, Equity,
                                                marginReq, MarginLevel, EffMargin);
}

CallingResultsEnum COrbanexClientAPI::NewSLTPOrder(int32_t Ticket, double Lots,
                                                   const runtime::Variant& SL,
                                                   const runtime::Variant& TP,
                                                   const std::string& TransTag) {
    return m_oAccountsManager->NewSLTPOrder(Ticket, Lots, kAsClient, SL, TP, TransTag);
}

CallingResultsEnum COrbanexClientAPI::UpdateSLTPOrder(int32_t OrderID, double Lots,
                                                      const runtime::Variant& SL,
                                                      const runtime::Variant& TP,
                                                      const std::string& TransTag) {
    return m_oAccountsManager->UpdateSLTPOrder(OrderID, Lots, kAsClient, SL, TP, TransTag);
}

CallingResultsEnum COrbanexClientAPI::DeleteSLTPOrder(const std::string& OrderIDs,
                                                      const std::string& TransTag) {
    return m_oAccountsManager->DeleteSLTPOrder(OrderIDs, kAsClient, TransTag);
}

void COrbanexClientAPI::OpenDemoAccount(const std::string& IP, int32_t Port,
                                        const std::string& Address, const std::string& Email,
                                        const std::string& Name, const std::string& Mobile,
                                        const std::string& Country, double Deposit,
                                        const std::string& Password) {
    m_oClient->GenerateDemoAccount(IP, Port, Address, Email, Name, Mobile, Country, Deposit,
                                   Password);
}

double COrbanexClientAPI::LimitPrice(OperationType OrderType, int32_t SymbolID) {
    return m_oAccountsManager->LimitPrice2(OrderType, SymbolID);
}

std::string COrbanexClientAPI::LimitRelation(OperationType OrderType) const {
    return m_oAccountsManager->LimitRelation(OrderType);
}

std::string COrbanexClientAPI::SlTpRelation(OperationType OrderType,
                                            const std::string& SlORTp) const {
    return m_oAccountsManager->SlTpRelation(OrderType, SlORTp);
}

double COrbanexClientAPI::SlTpPrice(OperationType OrderType, int32_t SymbolID,
                                    const std::string& SlORTp, double FromPrice) {
    return m_oAccountsManager->SlTpPrice2(OrderType, SymbolID, SlORTp, FromPrice);
}

int32_t COrbanexClientAPI::ClientsCount() const {
    return m_oAccountsManager->ClientsCount();
}

std::shared_ptr<COClient> COrbanexClientAPI::ClientByIndex(int16_t Index) {
    return m_oAccountsManager->ClientByIndex(Index);
}

std::shared_ptr<COClient> COrbanexClientAPI::ClientByID(int32_t ID) {
    return m_oAccountsManager->ClientByID(ID);
}

int32_t COrbanexClientAPI::AccountsCount(int32_t ClientID) const {
    return m_oAccountsManager->AccountsCount(ClientID);
}

std::shared_ptr<COAccount> COrbanexClientAPI::AccountByID(int32_t AccountID) {
    return m_oAccountsManager->AccountByID(AccountID);
}

std::shared_ptr<COAccount> COrbanexClientAPI::AccountByIndex(int32_t ClientID, int16_t Index) {
    return m_oAccountsManager->AccountByIndex(ClientID, Index);
}

double COrbanexClientAPI::GMTOffset() const {
    return m_oAccountsManager->GMTOffset();
}

double COrbanexClientAPI::ServerGMTOffset() const {
    return globalVar_->ServerGMT();
}

double COrbanexClientAPI::MinimumAmount(int32_t SymbolID) const {
    return m_oAccountsManager->MinimumAmount(SymbolID);
}

double COrbanexClientAPI::MaximumAmount(int32_t SymbolID) const {
    return m_oAccountsManager->MaximumAmount(SymbolID);
}

double COrbanexClientAPI::Commission(int32_t SymbolID) const {
    return m_oAccountsManager->Commission(SymbolID);
}

double COrbanexClientAPI::LimitOffset(int32_t SymbolID) const {
    return m_oAccountsManager->LimitOffset(SymbolID);
}

double COrbanexClientAPI::StopOffset(int32_t SymbolID) const {
    return m_oAccountsManager->StopOffset(SymbolID);
}

runtime::Variant COrbanexClientAPI::Spread(int32_t SymbolID) const {
    return m_oAccountsManager->Spread(SymbolID);
}

int32_t COrbanexClientAPI::FirstWhiteLabel() const {
    return m_oAccountsManager->FirstWhiteLabel();
}

}  // namespace OrbanexClientAPI10
