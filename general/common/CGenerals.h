#pragma once
// Small shared functions: fixed date texts, a null-or-empty default (NVL), the
// description texts of the trading enumerations, and the building and
// splitting of row strings and comma lists.
//
// Arrays are 1-based as the callers index them: element 0 is unused.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "general/common/CRow.h"
#include "general/common/CStringValues.h"
#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "runtime/Date.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CGenerals : public ISafeObject {
public:
    using Variant = runtime::Variant;

    CGenerals();
    ~CGenerals() override;
    CGenerals(const CGenerals&) = delete;
    CGenerals& operator=(const CGenerals&) = delete;

    // --- Comma lists ---------------------------------------------------------

    // Seven values a symbol (no source-plus value); raises runtime::Error(9)
    // when an array is shorter than SymID.
    std::string ParametersString(const std::vector<int32_t>& SymID,
                                 const std::vector<Variant>& SpreadVal,
                                 const std::vector<double>& LimitOff,
                                 const std::vector<double>& StopOff,
                                 const std::vector<double>& Comm,
                                 const std::vector<double>& MaxLots,
                                 const std::vector<double>& MinLots) const;
    // Eight values a symbol. Arrays grow to 1..n keeping what they held. A list
    // that is not whole groups raises runtime::Error(9), a value that is not a
    // number runtime::Error(13); the arrays are untouched on every error.
    int32_t SplitClientParameters(const std::string& vPars, std::vector<int32_t>& SymID,
                                  std::vector<Variant>& SpreadVal, std::vector<int16_t>& SourcePlus,
                                  std::vector<double>& LimitOff, std::vector<double>& StopOff,
                                  std::vector<double>& Comm, std::vector<double>& MaxLots,
                                  std::vector<double>& MinLots);
    // Eight texts a close; the arrays are rebuilt as 1..n. Same errors as above.
    int16_t SplitClosesPos(const std::string& ClosesPos, std::vector<std::string>& CloseTicket,
                           std::vector<std::string>& CloseLots,
                           std::vector<std::string>& ClosePrice,
                           std::vector<std::string>& CloseRefPrice,
                           std::vector<std::string>& CloseTime, std::vector<std::string>& CloseComm,
                           std::vector<std::string>& CloseInt,
                           std::vector<std::string>& CloseProfit);

    // --- Description texts ---------------------------------------------------

    std::string ClientDescription(ClientTypeEnum vType, ClientSubTypeEnum vSubType = GROUP_SUB_TYPE,
                                  LogicalServerTypeEnum vSubType2 = REAL_SERVER_TYPE) const;
    std::string OrderDescription(OrdersTypeEnum vType) const;
    std::string MarketOrderStatusDesc(MarketOrderStatusEnum vStatus) const;
    std::string AccountTransDesc(AccountTransTypeEnum vType) const;
    Variant TransactionDesc(TransactionTypeEnum vType) const;
    std::string TransactionLogDesc(TransactionLogTypeEnum tType, int16_t SubType,
                                   const Variant& Ticket2) const;
    std::string UserTypeDesc(UserTypeEnum UserType) const;
    std::string AccountHistoryDesc(AccountHistoryTypeEnum vType, int16_t SubType = -1) const;
    std::string BuySellDesc(OperationTypeEnum b_s, bool WithLimitStop = false) const;
    // Exact text (case and blanks count); 0 for any other text.
    OperationTypeEnum BuySellCode(const std::string& b_sDesc) const;
    OperationTypeEnum BuySellRevCode(OperationTypeEnum b_s) const;
    // "M" when a stop-loss or take-profit level is set, else "".
    std::string SlTpDesc(const Variant& sl_tp_number) const;

    // --- Date texts ("/" and ":" literal whatever the locale) ---------------

    std::string MonthDayYear(runtime::Date d) const;               // dd-mm-yy
    std::string MonthDayYearTime(runtime::Date d) const;           // dd-mm-yy hh:mm:ss
    std::string HourMinuteSecond(runtime::Date d) const;           // hh:mm:ss
    std::string YearMonthDateFileName(runtime::Date d) const;      // dd-mm-yyyy
    std::string YearMonthDateTimeFileName(runtime::Date d) const;  // dd-mm-yyyy hh-mm-ss
    // "mmm dd hh:mm" in the current year, else "mmm dd  yyyy".
    std::string FormatDateString(runtime::Date d) const;

    // NvlVal when Exp is Null, Empty or the empty text; otherwise Exp.
    Variant NVL(const Variant& Exp, const Variant& NvlVal) const;

    // --- Row strings ---------------------------------------------------------

    std::string PosRowString(const Variant& vClient, const Variant& vAccount,
                             const Variant& vTicket, const Variant& vTime, const Variant& vop_type,
                             const Variant& vLots, const Variant& vCur, const Variant& vPrice,
                             const Variant& vSL, const Variant& vTP, const Variant& vChecked,
                             const Variant& vOriginalAllLots, const Variant& vCurName,
                             const Variant& vInt, const Variant& vMethod, const Variant& vNote);
    std::string OrderRowString(const Variant& vTicket, const Variant& vTime,
                               const Variant& vop_type, const Variant& vLots, const Variant& vCur,
                               const Variant& vPrice, const Variant& vOpCpLoST,
                               const Variant& vCpIoID, const Variant& vSL, const Variant& vTP,
                               const Variant& vStatus, const Variant& vNote);
    // Cell 8 is the current local date and time.
    std::string OrdersAuditRowString(int32_t vClient, int32_t vAccount, OrdersTypeEnum OrderType,
                                     int32_t vOrderID, int32_t vStatus, const Variant& OrIoID,
                                     const Variant& OrCpIoID, const Variant& NewBuy,
                                     const Variant& NewSell, const Variant& OrAmount,
                                     const Variant& SymID, const Variant& OldBuy,
                                     const Variant& OldSell, OperationTypeEnum BuySell);
    std::string AccHistoryRowString(const Variant& vTicket, const Variant& vTime,
                                    const Variant& vType, const Variant& vCur, const Variant& vLots,
                                    const Variant& vop_type, const Variant& vOpenTime,
                                    const Variant& vOpenPrice, const Variant& vClosePrice,
                                    const Variant& vAccTransAmount, const Variant& vComm,
                                    const Variant& vInterest, const Variant& vChecked,
                                    const Variant& RefPrice, const Variant& vProfit,
                                    const Variant& vCurName, const Variant& vMethod,
                                    const Variant& vNote);

    // Splitters: a row with too few cells raises runtime::Error(9), a cell that
    // must be a whole number and is not runtime::Error(13); the outputs are
    // untouched on every error.
    // Reads 17 of the 18 built cells: vNote receives the method cell.
    void SplitHistoryRow(const std::string& rData, std::string& Ticket, std::string& HisTime,
                         std::string& HisType, std::string& SymbolID, std::string& lots,
                         std::string& BuySell, std::string& OpenTime, std::string& OpenPrice,
                         std::string& ClosePrice, std::string& AccTransAmount, std::string& Comm,
                         std::string& Interest, std::string& Checked, std::string& RefPrice,
                         std::string& Profit, std::string& SymbolName, std::string& vNote);
    void SplitPosRow(const std::string& rData, int32_t& vClient, int32_t& vAccount, int32_t& Ticket,
                     std::string& PosTime, OperationTypeEnum& BuySell, double& lots, int32_t& vCur,
                     double& Price, std::string& SLDesc, std::string& TPDesc, int16_t& Checked,
                     double& OriginalAllLots, std::string& SymName, double& OpenInt,
                     std::string& OpenMethod, std::string& OpenNote);
    void SplitOrderRow(const std::string& OrderRow, std::string& vOrder, std::string& vTime,
                       std::string& vBuySell, std::string& vLots, std::string& vCur,
                       std::string& vPrice, std::string& vOpCpLoST, std::string& vCpIoID,
                       std::string& vSL, std::string& vTP, std::string& vStatus,
                       std::string& vNote);
    void SplitOrderAuditRow(const std::string& OrderRow, std::string& Client, std::string& Account,
                            std::string& OrType, std::string& OrID, std::string& OrStatus,
                            std::string& OrIoID, std::string& OrCpIoID, std::string& vTime,
                            std::string& OrNewBuy, std::string& OrNewSell, std::string& OrAmount,
                            std::string& OrCur, std::string& OrOldBuy, std::string& OrOldSell,
                            std::string& OrBuySell);

    // Releases the conversion and row objects; members that need them raise
    // runtime::Error(91) afterwards.
    void Deallocate() override;

protected:
    // The format function behind the date texts.
    virtual std::string DateText(runtime::Date d, std::string_view pattern) const;

private:
    CStringValues& Values() const;
    CRow& Row() const;
    std::string BuildRow(const std::vector<std::string>& cells) const;
    // Cells 1..count of a row string; raises runtime::Error(9) when it has fewer.
    std::vector<std::string> RowCells(const std::string& row, int32_t count) const;

    std::shared_ptr<CStringValues> values_;
    std::shared_ptr<CRow> row_;
};

}  // namespace OrbanelGeneral10
