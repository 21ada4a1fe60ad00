#include "general/common/CGenerals.h"

#include <limits>

#include "general/common/MGenerals.h"
#include "runtime/Clock.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace OrbanelGeneral10 {

using runtime::Variant;

namespace {

// The value's own text form; Null and Empty are the empty text.
std::string TextOf(const Variant& v) {
    return v.IsNull() || v.IsEmpty() ? "" : runtime::CStr(v);
}

Variant ZeroLong() {
    return Variant(int32_t{0});
}

// Comma lists come in whole groups; anything else is refused before a single
// output is touched.
size_t WholeGroups(size_t values, size_t groupSize) {
    if (values % groupSize != 0) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    return values / groupSize;
}

template <class T>
void CheckIndex(const std::vector<T>& array, size_t index) {
    if (index >= array.size()) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
}

}  // namespace

CGenerals::CGenerals()
    : values_(std::make_shared<CStringValues>()), row_(std::make_shared<CRow>()) {}

CGenerals::~CGenerals() {
    Deallocate();
}

void CGenerals::Deallocate() {
    SafeRelease(values_);
    SafeRelease(row_);
}

CStringValues& CGenerals::Values() const {
    if (!values_) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    return *values_;
}

CRow& CGenerals::Row() const {
    if (!row_) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    return *row_;
}

// --- Comma lists -------------------------------------------------------------

std::string CGenerals::ParametersString(const std::vector<int32_t>& SymID,
                                        const std::vector<Variant>& SpreadVal,
                                        const std::vector<double>& LimitOff,
                                        const std::vector<double>& StopOff,
                                        const std::vector<double>& Comm,
                                        const std::vector<double>& MaxLots,
                                        const std::vector<double>& MinLots) const {
    std::vector<std::string> values;
    for (size_t i = 1; i < SymID.size(); ++i) {
        CheckIndex(SpreadVal, i);
        for (const auto* array : {&LimitOff, &StopOff, &Comm, &MaxLots, &MinLots}) {
            CheckIndex(*array, i);
        }
        values.push_back(std::to_string(SymID[i]));
        values.push_back(TextOf(SpreadVal[i]));
        for (const auto* array : {&LimitOff, &StopOff, &Comm, &MaxLots, &MinLots}) {
            values.push_back(runtime::CStr(Variant((*array)[i])));
        }
    }
    return runtime::Join(values, ",");
}

int32_t CGenerals::SplitClientParameters(
    const std::string& vPars, std::vector<int32_t>& SymID, std::vector<Variant>& SpreadVal,
    std::vector<int16_t>& SourcePlus, std::vector<double>& LimitOff, std::vector<double>& StopOff,
    std::vector<double>& Comm, std::vector<double>& MaxLots, std::vector<double>& MinLots) {
    if (runtime::Trim(vPars).empty()) return 0;
    const std::vector<std::string> values = runtime::Split(vPars, ",");
    const size_t n = WholeGroups(values.size(), 8);

    struct Symbol {
        int32_t id;
        Variant spread;
        int16_t sourcePlus;
        double limitOff, stopOff, comm, maxLots, minLots;
    };
    std::vector<Symbol> read;
    read.reserve(n);
    for (size_t k = 0; k < n; ++k) {
        const std::string* v = &values[8 * k];
        read.push_back({runtime::CLng(Variant(v[0])), Variant(v[1]), runtime::CInt(Variant(v[2])),
                        runtime::CDbl(Variant(v[3])), runtime::CDbl(Variant(v[4])),
                        runtime::CDbl(Variant(v[5])), runtime::CDbl(Variant(v[6])),
                        runtime::Val(v[7])});
    }

    SymID.resize(n + 1);
    SpreadVal.resize(n + 1);
    SourcePlus.resize(n + 1);
    for (auto* array : {&LimitOff, &StopOff, &Comm, &MaxLots, &MinLots}) array->resize(n + 1);
    for (size_t i = 1; i <= n; ++i) {
        const Symbol& s = read[i - 1];
        SymID[i] = s.id;
        SpreadVal[i] = s.spread;
        SourcePlus[i] = s.sourcePlus;
        LimitOff[i] = s.limitOff;
        StopOff[i] = s.stopOff;
        Comm[i] = s.comm;
        MaxLots[i] = s.maxLots;
        MinLots[i] = s.minLots;
    }
    return static_cast<int32_t>(n);
}

int16_t CGenerals::SplitClosesPos(
    const std::string& ClosesPos, std::vector<std::string>& CloseTicket,
    std::vector<std::string>& CloseLots, std::vector<std::string>& ClosePrice,
    std::vector<std::string>& CloseRefPrice, std::vector<std::string>& CloseTime,
    std::vector<std::string>& CloseComm, std::vector<std::string>& CloseInt,
    std::vector<std::string>& CloseProfit) {
    if (ClosesPos.empty()) return 0;
    const std::vector<std::string> values = runtime::Split(ClosesPos, ",");
    const size_t n = WholeGroups(values.size(), 8);
    if (n > static_cast<size_t>(std::numeric_limits<int16_t>::max())) {
        throw runtime::Error(runtime::errc::Overflow);
    }
    std::vector<std::string>* arrays[] = {&CloseTicket, &CloseRefPrice, &CloseTime, &CloseComm,
                                          &CloseInt,    &CloseProfit,   &CloseLots, &ClosePrice};
    for (auto* array : arrays) array->assign(n + 1, std::string());
    for (size_t i = 1; i <= n; ++i) {
        const std::string* v = &values[8 * (i - 1)];
        CloseTicket[i] = v[0];
        CloseLots[i] = v[1];
        ClosePrice[i] = v[2];
        CloseRefPrice[i] = v[3];
        CloseTime[i] = v[4];
        CloseComm[i] = v[5];
        CloseInt[i] = v[6];
        CloseProfit[i] = v[7];
    }
    return static_cast<int16_t>(n);
}

// --- Description texts -------------------------------------------------------

std::string CGenerals::ClientDescription(ClientTypeEnum vType, ClientSubTypeEnum vSubType,
                                         LogicalServerTypeEnum vSubType2) const {
    switch (vType) {
        case CLIENT_TYPE:
            return "Client";
        case OFFICE_TYPE:
            return "Office";
        case OTHER_GROUPS_TYPE:
            if (vSubType == GROUP_SUB_TYPE) return "Group";
            if (vSubType != LOGICAL_SERVER_SUB_TYPE) return "";
            switch (vSubType2) {
                case REAL_SERVER_TYPE:
                    return "Real Server";
                case DEMO_SERVER_TYPE:
                    return "Demo Server";
                case HISTORY_SERVER_TYPE:
                    return "History Server";
            }
            return "";
    }
    return "";
}

std::string CGenerals::OrderDescription(OrdersTypeEnum vType) const {
    switch (vType) {
        case MarketDataType:
            return "Market Order";
        case LimitOrdersType:
            return "Limit/Stop";
        case SlTpType:
            return "SL/TP";
    }
    return "";
}

std::string CGenerals::MarketOrderStatusDesc(MarketOrderStatusEnum vStatus) const {
    switch (vStatus) {
        case HedgingIsNotAllowed:
            return "Hedging is not allowed";
        case NewOrder_RequestType:
            return "New order - Request";
        case Rejected_RequestType:
            return "Rejected";
        case PriceSent_RequestType:
            return "Price Sent - Request";
        case TimerExpired_RequestType:
            return "Sent-Timer expired";
        case RequestNewBuy:
            return "New Buy - Request";
        case RequestNewSell:
            return "New Sell - Request";
        case RequestLiqBuy:
            return "Liq Buy - Request";
        case RequestLiqSell:
            return "Liq Sell - Request";
        case LiqAccepted:
        case NewAccepted:
        case FutureLiqAccepted:
        case FutureNewAccepted:
            return "Accepted";
        case InvalidPrice:
            return "Invalid price";
        case NewBuyPriceChanged:
        case NewSellPriceChanged:
        case LiqBuyPriceChanged:
        case LiqSellPriceChanged:
        case FutureBuyPriceChanged:
        case FutureSellPriceChanged:
            return "Changed - client offline";
        case PriceChangedClientAccept_PendingType:
            return "Changed-client accept";
        case PriceChangedTimerExpired_PendingType:
            return "Changed-Timer expired";
        case PriceChangedClientReject_PendingType:
            return "Changed-client reject";
        case ClientCancelWhenNew_RequestType:
            return "Client cancel-new";
        case ClientCancelWhenPriceSent_RequestType:
            return "Client cancel-price sent";
    }
    return "";
}

std::string CGenerals::AccountTransDesc(AccountTransTypeEnum vType) const {
    switch (vType) {
        case DepositAccTrans:
            return "Deposit";
        case WithdrawalAccTrans:
            return "Withdrawal";
        case AdjustmentAccTrans:
            return "Adjusment";
        case CreditInAccTrans:
            return "Credit in";
        case CreditOutAccTrans:
            return "Credit out";
    }
    return "";
}

Variant CGenerals::TransactionDesc(TransactionTypeEnum vType) const {
    switch (vType) {
        case InsertTransType:
            return Variant("New");
        case UpdateTransType:
            return Variant("Update");
        default:
            return Variant("Delete");
    }
}

std::string CGenerals::TransactionLogDesc(TransactionLogTypeEnum tType, int16_t SubType,
                                          const Variant& Ticket2) const {
    switch (tType) {
        case NewPositionTransLog:
            return "N";
        case LiqPositionTransLog:
            return "L-" + TextOf(Ticket2);
        case AccountTransTransLog:
            return AccountTransDesc(static_cast<AccountTransTypeEnum>(SubType));
        case TakeProfitStopLossTransLog:
            return "TP/SL";
        case LimitStopTransLog:
            return BuySellDesc(static_cast<OperationTypeEnum>(SubType), true);
    }
    return "";
}

std::string CGenerals::UserTypeDesc(UserTypeEnum UserType) const {
    switch (UserType) {
        case DEALER_USER_TYPE:
            return "Dealer";
        case CLIENT_USER_TYPE:
            return "Client";
        default:
            return "Demo Client";
    }
}

std::string CGenerals::AccountHistoryDesc(AccountHistoryTypeEnum vType, int16_t SubType) const {
    switch (vType) {
        case NewPositionAccHis:
            return "N";
        case LiquidatePositionAccHis:
            return "L";
        case AccountTransAccHis:
            switch (SubType) {
                case CreditOutAccTrans:
                    return "CO";
                case WithdrawalAccTrans:
                    return "WD";
                case DepositAccTrans:
                    return "DP";
                case AdjustmentAccTrans:
                    return "AJ";
                case CreditInAccTrans:
                    return "CI";
            }
            return "";
    }
    return "";
}

std::string CGenerals::BuySellDesc(OperationTypeEnum b_s, bool WithLimitStop) const {
    switch (b_s) {
        case BuyType:
            return WithLimitStop ? "Buy Limit" : "Buy";
        case SellType:
            return WithLimitStop ? "Sell Limit" : "Sell";
        case BuyStopType:
            return WithLimitStop ? "Buy Stop" : "Buy";
        default:
            return WithLimitStop ? "Sell Stop" : "Sell";
    }
}

OperationTypeEnum CGenerals::BuySellCode(const std::string& b_sDesc) const {
    for (OperationTypeEnum code : {BuyType, SellType, BuyStopType, SellStopType}) {
        if (b_sDesc == BuySellDesc(code, true) || b_sDesc == BuySellDesc(code, false)) return code;
    }
    return static_cast<OperationTypeEnum>(0);
}

OperationTypeEnum CGenerals::BuySellRevCode(OperationTypeEnum b_s) const {
    switch (b_s) {
        case BuyType:
            return SellType;
        case SellType:
            return BuyType;
        case BuyStopType:
            return SellStopType;
        case SellStopType:
            return BuyStopType;
    }
    return static_cast<OperationTypeEnum>(0);
}

std::string CGenerals::SlTpDesc(const Variant& sl_tp_number) const {
    const Variant level = NVL(sl_tp_number, ZeroLong());
    if (runtime::IsNumeric(level)) {
        try {
            if (runtime::CDbl(level) == 0) return "";
        } catch (const runtime::Error&) {
            // too large for a double: certainly set
        }
    }
    return "M";
}

// --- Date texts --------------------------------------------------------------

std::string CGenerals::DateText(runtime::Date d, std::string_view pattern) const {
    return SafeFormat(Variant(d), pattern);
}

std::string CGenerals::MonthDayYear(runtime::Date d) const {
    return DateText(d, "dd-mm-yy");
}

std::string CGenerals::MonthDayYearTime(runtime::Date d) const {
    return MonthDayYear(d) + " " + HourMinuteSecond(d);
}

std::string CGenerals::HourMinuteSecond(runtime::Date d) const {
    return DateText(d, "hh:mm:ss");
}

std::string CGenerals::YearMonthDateFileName(runtime::Date d) const {
    return DateText(d, "dd-mm-yyyy");
}

std::string CGenerals::YearMonthDateTimeFileName(runtime::Date d) const {
    return DateText(d, "dd-mm-yyyy hh-mm-ss");
}

std::string CGenerals::FormatDateString(runtime::Date d) const {
    if (runtime::Year(d) == runtime::Year(runtime::Now())) return DateText(d, "mmm dd hh:mm");
    return DateText(d, "mmm dd  yyyy");
}

Variant CGenerals::NVL(const Variant& Exp, const Variant& NvlVal) const {
    return Exp.IsNullOrEmptyText() ? NvlVal : Exp;
}

// --- Row strings -------------------------------------------------------------

std::string CGenerals::BuildRow(const std::vector<std::string>& cells) const {
    CRow& row = Row();
    row.NewRow();
    for (const std::string& cell : cells) row.AddCell(Variant(cell));
    return TextOf(row.RowVal());
}

std::vector<std::string> CGenerals::RowCells(const std::string& rowText, int32_t count) const {
    CRow& row = Row();
    row.Add(rowText);
    if (row.Count() < count) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    std::vector<std::string> cells;
    cells.reserve(static_cast<size_t>(count));
    for (int32_t i = 1; i <= count; ++i) cells.push_back(row.Item(i));
    return cells;
}

std::string CGenerals::PosRowString(const Variant& vClient, const Variant& vAccount,
                                    const Variant& vTicket, const Variant& vTime,
                                    const Variant& vop_type, const Variant& vLots,
                                    const Variant& vCur, const Variant& vPrice, const Variant& vSL,
                                    const Variant& vTP, const Variant& vChecked,
                                    const Variant& vOriginalAllLots, const Variant& vCurName,
                                    const Variant& vInt, const Variant& vMethod,
                                    const Variant& vNote) {
    const CStringValues& sv = Values();
    auto number = [&](const Variant& v) { return sv.NumberToString(v); };
    auto nvl = [&](const Variant& v) { return TextOf(NVL(v, Variant(""))); };

    // The account cell keeps the leading number of whatever the caller gave.
    std::string account;
    if (!vAccount.IsNullOrEmptyText()) account = number(Variant(runtime::Val(TextOf(vAccount))));

    // Only the side travels: "Buy" or "Sell".
    std::string side;
    if (!vop_type.IsNullOrEmptyText() && runtime::IsNumeric(vop_type)) {
        OperationTypeEnum code = SellType;
        try {
            code = static_cast<OperationTypeEnum>(runtime::CLng(vop_type));
        } catch (const runtime::Error&) {
            // out of range: neither buy code, so a sell
        }
        side = BuySellDesc(code, false);
    }

    return BuildRow({number(vClient), account, number(vTicket), TextOf(vTime), side, number(vLots),
                     runtime::Trim(nvl(vCur)), number(vPrice), SlTpDesc(vSL), SlTpDesc(vTP),
                     number(vChecked), number(vOriginalAllLots), nvl(vCurName), number(vInt),
                     nvl(vMethod), nvl(vNote)});
}

std::string CGenerals::OrderRowString(const Variant& vTicket, const Variant& vTime,
                                      const Variant& vop_type, const Variant& vLots,
                                      const Variant& vCur, const Variant& vPrice,
                                      const Variant& vOpCpLoST, const Variant& vCpIoID,
                                      const Variant& vSL, const Variant& vTP,
                                      const Variant& vStatus, const Variant& vNote) {
    const CStringValues& sv = Values();
    auto nvl = [&](const Variant& v) { return TextOf(NVL(v, Variant(""))); };
    return BuildRow({sv.NumberToString(vTicket), TextOf(vTime), TextOf(vop_type),
                     sv.NumberToString(vLots), runtime::Trim(nvl(vCur)), nvl(vPrice),
                     nvl(vOpCpLoST), nvl(vCpIoID), nvl(vSL), nvl(vTP), nvl(vStatus), nvl(vNote)});
}

std::string CGenerals::OrdersAuditRowString(int32_t vClient, int32_t vAccount,
                                            OrdersTypeEnum OrderType, int32_t vOrderID,
                                            int32_t vStatus, const Variant& OrIoID,
                                            const Variant& OrCpIoID, const Variant& NewBuy,
                                            const Variant& NewSell, const Variant& OrAmount,
                                            const Variant& SymID, const Variant& OldBuy,
                                            const Variant& OldSell, OperationTypeEnum BuySell) {
    const std::string stamp = Values().DateToString(Variant(runtime::Now()), "dd/mm/yyyy hh:nn:ss");
    auto trimmed = [](const Variant& v) { return runtime::Trim(TextOf(v)); };
    return BuildRow({std::to_string(vClient), std::to_string(vAccount),
                     std::to_string(static_cast<int32_t>(OrderType)), std::to_string(vOrderID),
                     std::to_string(vStatus), TextOf(NVL(OrIoID, ZeroLong())),
                     runtime::Trim(TextOf(NVL(OrCpIoID, ZeroLong()))), stamp, trimmed(NewBuy),
                     trimmed(NewSell), trimmed(OrAmount), trimmed(SymID), trimmed(OldBuy),
                     trimmed(OldSell), std::to_string(static_cast<int32_t>(BuySell))});
}

std::string CGenerals::AccHistoryRowString(
    const Variant& vTicket, const Variant& vTime, const Variant& vType, const Variant& vCur,
    const Variant& vLots, const Variant& vop_type, const Variant& vOpenTime,
    const Variant& vOpenPrice, const Variant& vClosePrice, const Variant& vAccTransAmount,
    const Variant& vComm, const Variant& vInterest, const Variant& vChecked,
    const Variant& RefPrice, const Variant& vProfit, const Variant& vCurName,
    const Variant& vMethod, const Variant& vNote) {
    const CStringValues& sv = Values();
    auto number = [&](const Variant& v) { return sv.NumberToString(v); };
    auto nvl = [&](const Variant& v) { return TextOf(NVL(v, Variant(""))); };
    return BuildRow({number(vTicket), TextOf(vTime), TextOf(vType), number(vCur), number(vLots),
                     number(vop_type), TextOf(vOpenTime), number(vOpenPrice), number(vClosePrice),
                     number(vAccTransAmount), number(vComm), number(vInterest), number(vChecked),
                     number(RefPrice), nvl(vProfit), nvl(vCurName), nvl(vMethod), nvl(vNote)});
}

void CGenerals::SplitHistoryRow(const std::string& rData, std::string& Ticket, std::string& HisTime,
                                std::string& HisType, std::string& SymbolID, std::string& lots,
                                std::string& BuySell, std::string& OpenTime, std::string& OpenPrice,
                                std::string& ClosePrice, std::string& AccTransAmount,
                                std::string& Comm, std::string& Interest, std::string& Checked,
                                std::string& RefPrice, std::string& Profit, std::string& SymbolName,
                                std::string& vNote) {
    std::vector<std::string> c = RowCells(rData, 17);
    for (std::string& cell : c) cell = runtime::Trim(cell);
    std::string* outs[] = {&Ticket,   &HisTime,   &HisType,    &SymbolID,       &lots, &BuySell,
                           &OpenTime, &OpenPrice, &ClosePrice, &AccTransAmount, &Comm, &Interest,
                           &Checked,  &RefPrice,  &Profit,     &SymbolName,     &vNote};
    for (size_t i = 0; i < c.size(); ++i) *outs[i] = std::move(c[i]);
}

void CGenerals::SplitPosRow(const std::string& rData, int32_t& vClient, int32_t& vAccount,
                            int32_t& Ticket, std::string& PosTime, OperationTypeEnum& BuySell,
                            double& lots, int32_t& vCur, double& Price, std::string& SLDesc,
                            std::string& TPDesc, int16_t& Checked, double& OriginalAllLots,
                            std::string& SymName, double& OpenInt, std::string& OpenMethod,
                            std::string& OpenNote) {
    const std::vector<std::string> c = RowCells(rData, 16);
    auto whole = [](const std::string& cell) { return runtime::CLng(Variant(cell)); };
    // Read every cell first so a bad one leaves the caller's fields as they were.
    const int32_t client = whole(c[0]);
    const int32_t account = whole(c[1]);
    const int32_t ticket = whole(runtime::Trim(c[2]));
    const int32_t symbol = whole(c[6]);
    const int16_t checked = runtime::CInt(Variant(c[10]));

    vClient = client;
    vAccount = account;
    Ticket = ticket;
    PosTime = c[3];
    BuySell = BuySellCode(c[4]);
    lots = runtime::Val(c[5]);
    vCur = symbol;
    Price = runtime::Val(c[7]);
    SLDesc = c[8];
    TPDesc = c[9];
    Checked = checked;
    OriginalAllLots = runtime::Val(c[11]);
    SymName = c[12];
    OpenInt = runtime::Val(c[13]);
    OpenMethod = c[14];
    OpenNote = c[15];
}

void CGenerals::SplitOrderRow(const std::string& OrderRow, std::string& vOrder, std::string& vTime,
                              std::string& vBuySell, std::string& vLots, std::string& vCur,
                              std::string& vPrice, std::string& vOpCpLoST, std::string& vCpIoID,
                              std::string& vSL, std::string& vTP, std::string& vStatus,
                              std::string& vNote) {
    std::vector<std::string> c = RowCells(OrderRow, 12);
    std::string* outs[] = {&vOrder,    &vTime,   &vBuySell, &vLots, &vCur,    &vPrice,
                           &vOpCpLoST, &vCpIoID, &vSL,      &vTP,   &vStatus, &vNote};
    for (size_t i = 0; i < c.size(); ++i) *outs[i] = std::move(c[i]);
}

void CGenerals::SplitOrderAuditRow(const std::string& OrderRow, std::string& Client,
                                   std::string& Account, std::string& OrType, std::string& OrID,
                                   std::string& OrStatus, std::string& OrIoID,
                                   std::string& OrCpIoID, std::string& vTime, std::string& OrNewBuy,
                                   std::string& OrNewSell, std::string& OrAmount,
                                   std::string& OrCur, std::string& OrOldBuy,
                                   std::string& OrOldSell, std::string& OrBuySell) {
    std::vector<std::string> c = RowCells(OrderRow, 15);
    std::string* outs[] = {&Client,   &Account,  &OrType,   &OrID,      &OrStatus,
                           &OrIoID,   &OrCpIoID, &vTime,    &OrNewBuy,  &OrNewSell,
                           &OrAmount, &OrCur,    &OrOldBuy, &OrOldSell, &OrBuySell};
    for (size_t i = 0; i < c.size(); ++i) *outs[i] = std::move(c[i]);
}

}  // namespace OrbanelGeneral10
