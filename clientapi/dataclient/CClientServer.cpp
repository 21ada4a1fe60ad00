#include "clientapi/dataclient/CClientServer.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <utility>

#include "clientapi/dataclient/RequestParams.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"

namespace OrbanexClientAPI10 {

namespace og = OrbanelGeneral10;
using runtime::Variant;

namespace {

// ---- Parameter texts ----

std::string IntText(int32_t value) {
    return std::to_string(value);
}

// Always "." as the decimal point: the server must not depend on the desk's settings.
std::string DoubleText(double value) {
    return runtime::NumberToText(value);
}

// Effective margins travel with two places, halves to even.
std::string TwoPlaceText(double value) {
    return runtime::NumberToText(runtime::RoundHalfEven(value, 2));
}

std::string FlagText(bool value) {
    return value ? "1" : "0";
}

std::string DealerFlag(og::UserTypeEnum WhoType) {
    return FlagText(WhoType == og::DEALER_USER_TYPE);
}

// Empty gives "", numbers their "." text, text travels unchanged; Null raises 94.
std::string VariantText(const Variant& value) {
    switch (value.Type()) {
        case runtime::VarType::Null:
            throw runtime::Error(runtime::errc::InvalidUseOfNull);
        case runtime::VarType::Integer:
        case runtime::VarType::Long:
        case runtime::VarType::Double:
            return runtime::NumberToText(value.ToDouble());
        default:
            return value.ToString();
    }
}

// The tokens whose answers come to this object.
constexpr std::array<int16_t, 39> kClaimedTokens{102, 103, 104, 106, 107, 108, 109, 110, 111, 113,
                                                 115, 116, 117, 119, 120, 121, 132, 133, 134, 137,
                                                 138, 140, 141, 142, 153, 156, 160, 169, 178, 180,
                                                 192, 204, 215, 224, 306, 311, 312, 313, 314};

// Converts every argument first, in order, so a failing field raises no event.
template <class... Args>
void Raise(const runtime::Event<Args...>& event, std::tuple<Args...> args) {
    std::apply(event, args);
}

}  // namespace

// ---- Answer fields ----

// The fields of a one-row answer, 1-based, read in place. One spare empty
// field follows the last; reading further raises 9.
class CClientServer::Fields {
public:
    explicit Fields(const std::vector<std::string>& values)
        : values_(values), count_(values.empty() ? 0 : values.size() - 1) {}

    size_t Count() const { return count_; }
    // Fields up to `last` that the answer does not carry read as empty.
    void MissingReadEmptyUpTo(size_t last) { emptyUpTo_ = last; }

    const std::string& Text(size_t i) const {
        if (i >= 1 && i <= count_) return values_[i];
        if (i >= 1 && (i == count_ + 1 || i <= emptyUpTo_)) return kEmpty;
        throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    }
    double Dbl(size_t i) const { return runtime::Val(Text(i)); }
    int32_t Lng(size_t i) const { return runtime::CLng(Dbl(i)); }
    int16_t Int(size_t i) const { return runtime::CInt(Dbl(i)); }
    OperationType Operation(size_t i) const { return static_cast<OperationType>(Lng(i)); }
    // The whole text as a number in the locale; not a number raises 13.
    bool StrictIsOne(size_t i) const {
        const auto number = runtime::ParseNumber(Text(i));
        if (!number) throw runtime::Error(runtime::errc::TypeMismatch);
        return *number == 1;
    }

private:
    static inline const std::string kEmpty;
    const std::vector<std::string>& values_;
    size_t count_;
    size_t emptyUpTo_ = 0;
};

// ---- IClientServer ----

bool CClientServer::HasThisToken(int16_t vToken) {
    return std::binary_search(kClaimedTokens.begin(), kClaimedTokens.end(), vToken);
}

void CClientServer::SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager> vEventManager) {
    eventManager_ = std::move(vEventManager);
}

void CClientServer::MultiRowsResultsreceived(int16_t CallerToken, bool NoRows,
                                             const Table& DataArray, int32_t Results,
                                             int16_t Parameters) {
    const ListEvent* event = nullptr;
    switch (CallerToken) {
        case og::GET_ALL_SYMBOLS_TOKEN:
            event = &SymbolsRecieved;
            break;
        case og::GET_ACCOUNTS2_TOKEN:
            event = &AccountsRecieved;
            break;
        case og::GET_CLIENTS_TOKEN:
            event = &ClientsRecieved;
            break;
        case og::GET_FLOATING_STATUS_TOKEN:
            event = &FloatingStatusRecieved;
            break;
        case og::GETOPENPOS_TOKEN:
            event = &OpenPositionsRecieved;
            break;
        case og::GET_ACCOUNT_HISTORY_TOKEN:
            event = &AccountHistoryRecieved;
            break;
        case og::GET_PENDING_ORDERS_TOKEN:
            event = &PendingOrdersRecieved;
            break;
        case og::GET_ALL_DEALERS_TOKEN:
            event = &DealersRecieved;
            break;
        default:
            return;
    }
    (*event)(NoRows, DataArray, Results, Parameters);
}

void CClientServer::OneRowResultreceived(int16_t CallerToken, int16_t /*Parameters*/,
                                         const std::vector<std::string>& ParamVals) {
    Fields f(ParamVals);
    switch (CallerToken) {
        case og::GET_PRIVS_TOKEN:
            return Raise(PrivsRecieved, {f.Text(1), f.Lng(2)});
        case og::DLR_ACCEPT_MARKET_ORDER_TOKEN:
            return Raise(AcceptResultReceived, {f.Lng(1), f.Lng(2)});
        case og::DLR_CHANGE_MARKET_ORDER_TOKEN:
            return Raise(ChangeResultReceived, {f.Lng(2)});
        case og::DLR_REJECT_MARKET_ORDER_TOKEN:
            return Raise(RejectResultReceived, {f.Lng(1), f.Lng(2)});
        case og::GET_SUMMARIES_TOKEN:
            return Raise(SummariesResultReceived, {f.Int(1), f.Dbl(2), f.Dbl(3), f.Dbl(4), f.Dbl(5),
                                                   f.Dbl(6), f.Dbl(7), f.Dbl(8)});
        case og::GET_ACCOUNT_COMPLEMENT_DATA_TOKEN:
            return Raise(CompDataReceived, {f.Lng(1), f.Lng(2), f.Lng(3), f.Dbl(4), f.Text(5),
                                            f.StrictIsOne(6), f.StrictIsOne(7), f.Text(8)});
        case og::GET_VARIABLES_TOKEN:
            return RaiseVariables(f);
        case og::CHAT_ON_TOKEN:
            return SwitchChatResultRecieved(true);
        case og::CHAT_OFF_TOKEN:
            return SwitchChatResultRecieved(false);
        case og::NEW_ORDER_TOKEN:
            return Raise(NewOrderResultRecieved, {f.Lng(1), f.Int(2), f.Text(3), f.Dbl(4),
                                                  f.Operation(5), f.Dbl(6), f.Lng(7), f.Text(8)});
        case og::ACCEPT_ORDER_TOKEN:
            return Raise(AcceptOrderResultRecieved,
                         {f.Lng(1), f.Lng(2), f.Dbl(3), f.Text(4), f.Operation(5), f.Dbl(6),
                          f.Lng(7), f.Text(8), f.Lng(9), f.Lng(10), f.Lng(11)});
        case og::REJECT_ORDER_TOKEN:
            return Raise(RejectOrderResultRecieved, {f.Lng(1)});
        case og::TIMER_EXPIRED_TOKEN:
            return Raise(TimerExpiredResultRecieved, {f.Lng(1)});
        case og::CLOSE_POS_ORDER_TOKEN:
            return Raise(CloseOrderResultRecieved,
                         {f.Lng(1), f.Int(2), f.Text(3), f.Lng(4), f.Lng(5), f.Lng(6), f.Dbl(7),
                          f.Operation(8), f.Dbl(9), f.Lng(10), f.Text(11)});
        case og::NEW_POSITION_TOKEN:
            return Raise(NewPosResultRecieved, {f.Text(1), f.Text(2)});
        case og::CHANGE_SYMBOL_FACTORS_TOKEN:
            return Raise(ChangeSymbolSettingsResultRecieved, {f.Text(1)});
        case og::CHANGE_CLIENT_PARAM_TOKEN:
            return Raise(ChangeParamResultRecieved, {f.Text(1)});
        case og::NEW_CLIENT_TOKEN:
            return Raise(CreateClientResultRecieved, {f.Lng(1), f.Text(2)});
        case og::NEW_OFFICE_TOKEN:
            return Raise(CreateOfficeResultRecieved, {f.Lng(1), f.Text(2)});
        case og::NEW_OTHER_CLIENT_TOKEN:
            return Raise(CreateGroupResultRecieved, {f.Lng(1), f.Text(2)});
        case og::NEW_ACCOUNT_TOKEN:
            return Raise(CreateAccountResultRecieved, {f.Lng(1), f.Text(3)});
        case og::CLOSE_POSITION_TOKEN:
            // The server's answer carries the ticket in the result field.
            return Raise(ClosePosResultRecieved, {f.Lng(1), f.Text(2), f.Lng(1)});
        case og::NEW_LIMIT_ORDER_TOKEN:
            return Raise(NewLimitOrderResultRecieved, {f.Lng(1), f.Text(2), f.Text(3)});
        case og::UPDATE_LIMIT_ORDER_TOKEN:
            return Raise(UpdateLimitOrderResultRecieved, {f.Lng(1), f.Text(2), f.Text(3)});
        case og::DELETE_LIMIT_ORDER_TOKEN:
            return Raise(DeleteLimitOrderResultRecieved, {f.Text(1), f.Text(2), f.Text(3)});
        case og::NEW_SL_TP_TOKEN:
            return Raise(NewSLTPOrderResultRecieved, {f.Lng(1), f.Text(2), f.Text(3)});
        case og::UPDATE_SL_TP_ORDER_TOKEN:
            return Raise(UpdateSLTPOrderResultRecieved, {f.Lng(1), f.Text(2), f.Text(3)});
        case og::DELETE_SL_TP_ORDER_TOKEN:
            return Raise(DeleteSLTPOrderResultRecieved, {f.Text(1), f.Text(2), f.Text(3)});
        case og::BROADCAST_SMS_TOKEN:
            return Raise(SendSMSResultReceived, {static_cast<SendSMSResultsEnum>(f.Lng(1))});
        case og::SWITCH_ORDER_TOKEN:
            return Raise(SwitchOrderResultReceived, {f.Lng(1), f.Lng(2)});
        default:
            return;  // no one-row answer belongs to the token
    }
}

// Older servers send fewer variables: from three fields on, the ones left
// out read as empty (0, False); fewer than three carry too little to use.
void CClientServer::RaiseVariables(Fields& f) {
    constexpr size_t kFixedFields = 3;
    constexpr size_t kLastVariable = 7;
    if (f.Count() >= kFixedFields) f.MissingReadEmptyUpTo(kLastVariable);
    Raise(VariablesRecieved,
          {f.Text(2), f.Text(3), f.Text(1), f.Dbl(4), f.Int(5), f.Lng(6), f.Dbl(7) == 1});
}

// ---- Sending ----

void CClientServer::Send(int16_t token, std::vector<std::string> params) {
    if (!eventManager_) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    eventManager_->RequestFromServer(token, PaddedRequest(std::move(params)));
}

// ---- Requests ----

Variant CClientServer::TimerExpired(int32_t ClientID, int32_t AccountID, int32_t OrderID) {
    Send(og::TIMER_EXPIRED_TOKEN, {IntText(ClientID), IntText(AccountID), IntText(OrderID)});
    return {};
}

Variant CClientServer::ClientRejectOrder(int32_t ClientID, int32_t AccountID, int32_t OrderID) {
    Send(og::REJECT_ORDER_TOKEN, {IntText(ClientID), IntText(AccountID), IntText(OrderID)});
    return {};
}

Variant CClientServer::ClientAcceptOrder(int32_t ClientID, int32_t AccountID, int32_t OrderID,
                                         double NewPrice, int32_t LoginUser) {
    Send(og::ACCEPT_ORDER_TOKEN, {IntText(ClientID), IntText(AccountID), IntText(OrderID),
                                  DoubleText(NewPrice), IntText(LoginUser)});
    return {};
}

Variant CClientServer::NewOrder(int32_t vClient, int32_t vAccount, int32_t SymID,
                                OperationType BuySell, double vLots, double vPrice,
                                double vEffMargin, int32_t LoginUser,
                                const std::string& LastTickTime, const std::string& LastQTime,
                                const std::string& TransTag, const std::string& Note) {
    Send(og::NEW_ORDER_TOKEN,
         {IntText(vClient), IntText(vAccount), IntText(SymID), IntText(BuySell), DoubleText(vLots),
          DoubleText(vPrice), IntText(LoginUser), TwoPlaceText(vEffMargin), LastTickTime, LastQTime,
          TransTag, Note});
    return {};
}

Variant CClientServer::NewLimitOrder(int32_t vClient, int32_t vAccount, int32_t SymID, double vLots,
                                     double vPrice, OperationType OrderType, const Variant& SL,
                                     const Variant& TP, og::UserTypeEnum WhoType, int32_t WhoID,
                                     const std::string& LastTickTime, const std::string& LastQTime,
                                     const std::string& TransTag, const std::string& Note) {
    Send(
        og::NEW_LIMIT_ORDER_TOKEN,
        {IntText(vClient), IntText(vAccount), IntText(SymID), DoubleText(vLots), DoubleText(vPrice),
         IntText(OrderType), VariantText(SL), VariantText(TP), IntText(WhoType), IntText(WhoID),
         DealerFlag(WhoType), LastTickTime, LastQTime, TransTag, Note});
    return {};
}

Variant CClientServer::UpdateLimitOrder(int32_t ClientID, int32_t AccountID, int32_t OrID,
                                        int32_t SymID, double vNewPrice, const Variant& vNewSL,
                                        const Variant& vNewTP, double vNewLots,
                                        og::UserTypeEnum WhoType, int32_t WhoID,
                                        const std::string& LastTickTime,
                                        const std::string& LastQTime, const std::string& TransTag,
                                        const std::string& Note) {
    Send(og::UPDATE_LIMIT_ORDER_TOKEN,
         {IntText(ClientID), IntText(AccountID), IntText(OrID), IntText(SymID),
          DoubleText(vNewPrice), DealerFlag(WhoType), VariantText(vNewSL), VariantText(vNewTP),
          IntText(WhoType), IntText(WhoID), DoubleText(vNewLots), LastTickTime, LastQTime, TransTag,
          Note});
    return {};
}

Variant CClientServer::DeleteLimitOrder(int32_t ClientID, int32_t AccountID,
                                        const std::string& OrIDs, og::UserTypeEnum WhoType,
                                        int32_t WhoID, const std::string& TransTag) {
    Send(og::DELETE_LIMIT_ORDER_TOKEN,
         {IntText(ClientID), IntText(AccountID), OrIDs, IntText(WhoType), IntText(WhoID),
          DealerFlag(WhoType), TransTag});
    return {};
}

Variant CClientServer::NewSLTPOrder(int32_t vClient, int32_t vAccount, int32_t Ticket,
                                    int32_t SymID, double Lots, const Variant& SL,
                                    const Variant& TP, og::UserTypeEnum WhoType, int32_t WhoID,
                                    const std::string& LastTickTime, const std::string& LastQTime,
                                    const std::string& TransTag) {
    Send(og::NEW_SL_TP_TOKEN,
         {IntText(vClient), IntText(vAccount), IntText(Ticket), IntText(SymID), DoubleText(Lots),
          VariantText(SL), VariantText(TP), IntText(WhoType), IntText(WhoID), DealerFlag(WhoType),
          LastTickTime, LastQTime, TransTag});
    return {};
}

Variant CClientServer::UpdateSLTPOrder(int32_t ClientID, int32_t AccountID, int32_t OrID,
                                       int32_t SymID, double NewLots, const Variant& NewSL,
                                       const Variant& NewTP, og::UserTypeEnum WhoType,
                                       int32_t WhoID, const std::string& LastTickTime,
                                       const std::string& LastQTime, const std::string& TransTag) {
    Send(og::UPDATE_SL_TP_ORDER_TOKEN,
         {IntText(ClientID), IntText(AccountID), IntText(OrID), IntText(SymID), DoubleText(NewLots),
          DealerFlag(WhoType), VariantText(NewSL), VariantText(NewTP), IntText(WhoType),
          IntText(WhoID), LastTickTime, LastQTime, TransTag});
    return {};
}

Variant CClientServer::DeleteSLTPOrder(int32_t ClientID, int32_t AccountID,
                                       const std::string& OrIDs, og::UserTypeEnum WhoType,
                                       int32_t WhoID, const std::string& TransTag) {
    Send(og::DELETE_SL_TP_ORDER_TOKEN,
         {IntText(ClientID), IntText(AccountID), OrIDs, IntText(WhoType), IntText(WhoID),
          DealerFlag(WhoType), TransTag});
    return {};
}

Variant CClientServer::CloseOrder(int32_t ClientID, int32_t AccountID, const std::string& Ticket,
                                  const std::string& SymbolID, const std::string& Price,
                                  const std::string& RefPrice, const std::string& Lots,
                                  int32_t LoginUser, double EffMargin,
                                  const std::string& LastTickTime, const std::string& LastQTime,
                                  const std::string& TransTag) {
    Send(og::CLOSE_POS_ORDER_TOKEN,
         {IntText(ClientID), IntText(AccountID), Ticket, SymbolID, Price, RefPrice, Lots,
          IntText(LoginUser), DoubleText(EffMargin), "0", LastTickTime, LastQTime, TransTag});
    return {};
}

bool CClientServer::NewPosition(const std::string& vClient, const std::string& vAccount,
                                const std::string& SymID, const std::string& BuySell,
                                const std::string& vLots, const std::string& vPrice,
                                int16_t /*vForce*/, double EffMargin, double vInt, int32_t WhoID,
                                const std::string& Note) {
    Send(og::NEW_POSITION_TOKEN,
         {vClient, vAccount, SymID, BuySell, vLots, vPrice, "", IntText(WhoID), "1",
          TwoPlaceText(EffMargin), DoubleText(vInt), Note});
    return false;
}

bool CClientServer::ChangeSymbolSettings(
    const std::string& ID, const std::string& Name, const std::string& OpenDay,
    const std::string& OpenTime, const std::string& CloseDay, const std::string& CloseTime,
    const std::string& Close1, const std::string& Open1, const std::string& Close2,
    const std::string& Open2, const std::string& Close3, const std::string& Open3,
    const std::string& TickPips, const std::string& Closed, const std::string& DDESource,
    const std::string& Used, const std::string& PipLoc, const std::string& SymbolType,
    const std::string& RefSymbol, const std::string& Contract, const std::string& Direct,
    const std::string& RefCalc, const std::string& MoveIfClosed, const std::string& GiveQuote,
    const std::string& HighType, const std::string& LowType, const std::string& Unit,
    const std::string& IntEnabled, const std::string& IntBuyRate, const std::string& IntSellRate,
    const std::string& IntYearDays, const std::string& IntDayClose, const std::string& IntSatDays,
    const std::string& IntSunDays, const std::string& IntMonDays, const std::string& IntTusDays,
    const std::string& IntWedDays, const std::string& IntThrDays, const std::string& IntFriDays,
    const std::string& StopTrade, const std::string& StopTradeSeconds,
    const std::string& Requotable, const std::string& BColor, const std::string& MOType,
    const std::string& PairNo, const std::string& desc, const std::string& SpreadType,
    const std::string& JustClose, const std::string& BuyOnly, const std::string& ExpDate) {
    Send(og::CHANGE_SYMBOL_FACTORS_TOKEN,
         {ID,          Name,        OpenDay,    OpenTime,   CloseDay,         CloseTime,
          Close1,      Open1,       Close2,     Open2,      Close3,           Open3,
          TickPips,    Closed,      DDESource,  Used,       PipLoc,           SymbolType,
          RefSymbol,   Contract,    Direct,     RefCalc,    MoveIfClosed,     GiveQuote,
          HighType,    LowType,     Unit,       IntEnabled, IntBuyRate,       IntSellRate,
          IntYearDays, IntDayClose, IntSatDays, IntSunDays, IntMonDays,       IntTusDays,
          IntWedDays,  IntThrDays,  IntFriDays, StopTrade,  StopTradeSeconds, Requotable,
          BColor,      MOType,      PairNo,     desc,       SpreadType,       JustClose,
          BuyOnly,     ExpDate});
    return false;
}

bool CClientServer::DisconnectSession(og::UserTypeEnum UserType, int32_t UserID) {
    Send(og::DISCONNECT_SESSION_TOKEN, {IntText(UserType), IntText(UserID)});
    return false;
}

bool CClientServer::ChangeParam(int32_t NodeID, og::ParamTypeEnum ParamType, bool InheritValue,
                                const std::string& newValue, const std::string& SymbolIDs) {
    Send(og::CHANGE_CLIENT_PARAM_TOKEN,
         {IntText(NodeID), SymbolIDs, IntText(ParamType), InheritValue ? "1" : "2", newValue});
    return false;
}

bool CClientServer::CreateClient(int32_t vParent, const std::string& vFName,
                                 const std::string& vSName, const std::string& vTName,
                                 const std::string& vLName, const std::string& vUsername,
                                 const std::string& vPassword, const std::string& vTel,
                                 const std::string& vMobile, const std::string& vTelPW,
                                 const std::string& vPop, const std::string& vFax,
                                 const std::string& vEmail, const std::string& vAddress, bool vDemo,
                                 bool vReadOnly, const std::string& vCountry,
                                 const std::string& vTag) {
    Send(og::NEW_CLIENT_TOKEN, {IntText(vParent), vFName, vSName, vTName, vLName, vUsername,
                                vPassword, vTel, vMobile, vTelPW, vPop, vFax, vEmail, vAddress,
                                FlagText(vDemo), FlagText(vReadOnly), vCountry, vTag});
    return false;
}

bool CClientServer::CreateOffice(int32_t vParent, const std::string& vName, double vRepComm,
                                 double vFRepComm, double RepPips, const std::string& vUN,
                                 const std::string& vPW, bool vLight, bool vDemo, bool vReadOnly,
                                 const std::string& vPhone, const std::string& vFax,
                                 const std::string& vMobile, const std::string& vTelFax,
                                 const std::string& vPOB, const std::string& vEmail,
                                 const std::string& vAddress, const std::string& /*vTag*/) {
    Send(og::NEW_OFFICE_TOKEN,
         {IntText(vParent), vName, DoubleText(vRepComm), DoubleText(vFRepComm), DoubleText(RepPips),
          vUN, vPW, FlagText(vLight), FlagText(vDemo), FlagText(vReadOnly), vPhone, vFax, vMobile,
          vTelFax, vPOB, vEmail, vAddress});
    return false;
}

bool CClientServer::CreateGroup(int32_t vParent, const std::string& vName, const std::string& vUN,
                                const std::string& vPW, bool vReadOnly, const std::string& vPhone,
                                const std::string& vFax, const std::string& vMobile,
                                const std::string& vTelFax, const std::string& vPOB,
                                const std::string& vEmail, const std::string& vAddress,
                                const std::string& /*vTag*/) {
    Send(og::NEW_OTHER_CLIENT_TOKEN,
         {IntText(vParent), vName, vUN, vPW, "1", "1", FlagText(vReadOnly), vPhone, vFax, vMobile,
          vTelFax, vPOB, vEmail, vAddress});
    return false;
}

bool CClientServer::CreateAccount(int32_t vClient, int32_t vAccount,
                                  og::AccountTypeEnum AccountType, double InitMargin, bool vDemo,
                                  bool vLocked, int32_t WhoID, bool vDontLiquidate,
                                  const std::string& vTag) {
    Send(og::NEW_ACCOUNT_TOKEN,
         {IntText(vClient), IntText(vAccount), IntText(AccountType), DoubleText(InitMargin), "",
          FlagText(vDemo), FlagText(vLocked), IntText(WhoID), FlagText(vDontLiquidate), vTag});
    return false;
}

bool CClientServer::SendSMS(int32_t vClient, const std::string& vText) {
    Send(og::BROADCAST_SMS_TOKEN, {IntText(vClient), vText});
    return false;
}

bool CClientServer::SwitchOrder(int32_t OrderID, int32_t DlrID) {
    Send(og::SWITCH_ORDER_TOKEN, {IntText(OrderID), IntText(DlrID)});
    return false;
}

bool CClientServer::ClosePosition(int32_t vClient, int32_t vAccount, int32_t vIoID, double vLots,
                                  double vPrice, double vRefPrice, int16_t vAlsoIfHasSlTp,
                                  double vComm, int16_t vForce, double EffMargin, int32_t WhoID) {
    Send(og::CLOSE_POSITION_TOKEN,
         {IntText(vClient), IntText(vAccount), IntText(vIoID), DoubleText(vLots),
          DoubleText(vPrice), DoubleText(vRefPrice), "", IntText(WhoID), IntText(vAlsoIfHasSlTp),
          DoubleText(vComm), IntText(vForce), TwoPlaceText(EffMargin)});
    return false;
}

bool CClientServer::GetAccComplementData(int32_t ClientID, int32_t AccountID) {
    Send(og::GET_ACCOUNT_COMPLEMENT_DATA_TOKEN, {IntText(ClientID), IntText(AccountID)});
    return false;
}

bool CClientServer::GetAccSummaries(int32_t ClientID, int32_t AccountID) {
    Send(og::GET_SUMMARIES_TOKEN, {IntText(ClientID), IntText(AccountID)});
    return false;
}

bool CClientServer::GetOpenPositions(int32_t ClientID, int32_t AccountID) {
    Send(og::GETOPENPOS_TOKEN, {IntText(ClientID), IntText(AccountID)});
    return false;
}

bool CClientServer::GetAccountHistory(int32_t v_client, int32_t v_account,
                                      const std::string& FromDate, const std::string& ToDate,
                                      const std::string& AfterDate, const std::string& LastXDays) {
    Send(og::GET_ACCOUNT_HISTORY_TOKEN,
         {IntText(v_client), IntText(v_account), AfterDate, LastXDays, FromDate, ToDate});
    return false;
}

bool CClientServer::GetReport(ManagerReportsTypeEnum ReportType, const std::string& ParamsString) {
    Send(og::GET_REPORT_TOKEN, {IntText(ReportType), ParamsString});
    return false;
}

bool CClientServer::GetPendingOrders(int32_t ClientID, int32_t AccountID) {
    Send(og::GET_PENDING_ORDERS_TOKEN, {IntText(ClientID), IntText(AccountID)});
    return false;
}

bool CClientServer::ChatOn(int32_t vLoginUser) {
    Send(og::CHAT_ON_TOKEN, {IntText(vLoginUser)});
    return false;
}

bool CClientServer::AcceptOrder(int32_t ClientID, int32_t AccountID, int32_t OrderID,
                                og::MarketOrLimitOrderEnum MarketOrLimitOrder, int32_t vLoginUser) {
    Send(og::DLR_ACCEPT_MARKET_ORDER_TOKEN,
         {IntText(ClientID), IntText(AccountID), IntText(MarketOrLimitOrder), IntText(OrderID),
          IntText(vLoginUser)});
    return false;
}

bool CClientServer::RejectOrder(int32_t ClientID, int32_t AccountID, int32_t OrderID,
                                og::MarketOrLimitOrderEnum MarketOrLimitOrder, int32_t vLoginUser) {
    Send(og::DLR_REJECT_MARKET_ORDER_TOKEN,
         {IntText(ClientID), IntText(AccountID), IntText(MarketOrLimitOrder), IntText(OrderID),
          IntText(vLoginUser)});
    return false;
}

bool CClientServer::ChangeOrder(int32_t ClientID, int32_t AccountID, int32_t OrderID,
                                og::MarketOrLimitOrderEnum MarketOrLimitOrder, double NewPrice,
                                bool Requotable, OperationType BuySell, int32_t vLoginUser) {
    Send(og::DLR_CHANGE_MARKET_ORDER_TOKEN,
         {IntText(ClientID), IntText(AccountID), IntText(MarketOrLimitOrder), IntText(OrderID),
          IntText(vLoginUser), DoubleText(NewPrice), FlagText(Requotable), IntText(BuySell)});
    return false;
}

bool CClientServer::ChatOff(int32_t vLoginUser) {
    Send(og::CHAT_OFF_TOKEN, {IntText(vLoginUser)});
    return false;
}

void CClientServer::GetAllSymbols(int32_t vLoginID, const std::string& ClientOrBo,
                                  int32_t LoginUser) {
    Send(og::GET_ALL_SYMBOLS_TOKEN, {IntText(vLoginID), ClientOrBo, IntText(LoginUser)});
}

void CClientServer::GetAllDealers() {
    Send(og::GET_ALL_DEALERS_TOKEN, {"-1"});
}

void CClientServer::GetClients(int32_t vFromClientID) {
    Send(og::GET_CLIENTS_TOKEN, {IntText(vFromClientID)});
}

void CClientServer::GetAccounts(int32_t vFromClientID) {
    Send(og::GET_ACCOUNTS2_TOKEN, {IntText(vFromClientID)});
}

void CClientServer::StartMarket() {
    Send(og::START_MARKET_TOKEN, {});
}

void CClientServer::GetPrivs(int32_t vLoginID, const std::string& DealerOrClient) {
    Send(og::GET_PRIVS_TOKEN, {IntText(vLoginID), DealerOrClient});
}

void CClientServer::GetVariables(const std::string& LoginType, int32_t LoginUser) {
    Send(og::GET_VARIABLES_TOKEN, {LoginType, IntText(LoginUser)});
}

void CClientServer::GetFloatingStatus(int32_t vFromID) {
    Send(og::GET_FLOATING_STATUS_TOKEN, {IntText(vFromID), "", "", "", "1"});
}

}  // namespace OrbanexClientAPI10
