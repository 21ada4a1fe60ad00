#pragma once
// One tradable symbol: identity, current quote, pip location, spread
// settings, trading limits and times, and the link to its reference symbol.
// The one place where prices are rounded to a symbol's decimals, where
// spread-adjusted prices are computed and where a deal's profit is computed.
//
// Prices are stored as the symbol's formatted price read back as a number.
// RoundedPrice computes that number without going through text (it is equal
// bit for bit), so the quote path allocates nothing.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "general/common/CStringValues.h"
#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "general/model/CSymbolTradingTimes.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CSymbol : public runtime::Object, public ISafeObject {
public:
    using Variant = runtime::Variant;
    using ObjectRef = std::shared_ptr<runtime::Object>;

    CSymbol();
    ~CSymbol() override;
    CSymbol(const CSymbol&) = delete;
    CSymbol& operator=(const CSymbol&) = delete;

    // --- Pips and price texts ---------------------------------------------

    double Pips(double vPips) const { return vPips * pip_; }
    static double PipsFormula(double vPips, int16_t vPipLoc);
    // The price with the symbol's decimals: a tenth of a pip is added before
    // rounding, halves away from zero. Null, "" and non-numeric values give "";
    // PipLocation 100 gives the value's text unchanged.
    std::string FormatPrice(const Variant& Price) const;
    static std::string FormatPriceFormula(const Variant& Price, int16_t vPipLoc);
    // FormatPrice(x) read back as a number, computed without text.
    double RoundedPrice(double x) const;
    static double RoundedPriceFormula(double x, int16_t vPipLoc);
    // Average-price text: the symbol's decimals and up to four more where not zero.
    std::string AvgFormatPrice(const Variant& Price) const;
    std::string MyFormatNumber(const Variant& vNumber, int16_t minDig, int16_t MaxDig) const;

    // --- Prices -----------------------------------------------------------

    double Price(OperationTypeEnum OpType) const { return OpType == BuyType ? Ask() : Bid(); }
    double PriceWithSpread(OperationTypeEnum OpType) const;
    double PriceWithSpread2(const Variant& vSpread, int16_t vSourcePlus,
                            OperationTypeEnum OpType) const;

    // The symbol with ID 1 has the fixed price 1.
    double Ask() const { return id_ == 1 ? 1.0 : ask_; }
    void setAsk(double value);
    double Bid() const { return id_ == 1 ? 1.0 : bid_; }
    void setBid(double value);
    double LastPrice() const;
    double BidWithSpread2(const Variant& vSpread, int16_t vSourcePlus) const;
    double BidWithSpread() const;
    double AskWithSpread() const;
    double AskWithSpread2(const Variant& vSpread, int16_t vSourcePlus) const;
    double High() const { return high_; }
    void setHigh(double value) { high_ = RoundedPrice(value); }
    double Last() const { return last_; }
    void setLast(double value) { last_ = RoundedPrice(value); }
    double Low() const { return low_; }
    void setLow(double value) { low_ = RoundedPrice(value); }
    double ClosePriceWithSpread(OperationTypeEnum vBuySell) const;
    double ClosePriceWithSpread2(const Variant& vSpread, int16_t vSourcePlus,
                                 OperationTypeEnum vBuySell) const;
    double ClosePrice(OperationTypeEnum vBuySell) const {
        return vBuySell == BuyType ? Bid() : Ask();
    }
    double BidAskSpread() const;
    double DayOpenPrice() const { return dayOpenPrice_; }
    void setDayOpenPrice(double value) { dayOpenPrice_ = RoundedPrice(value); }
    double DayClosePrice() const { return dayClosePrice_; }
    void setDayClosePrice(double value) { dayClosePrice_ = RoundedPrice(value); }
    double NetChange() const { return Bid() - dayClosePrice_; }
    double NetChangeWithSpread() const { return BidWithSpread() - dayClosePrice_; }
    double PercentChange() const;
    double PercentChangeWithSpread() const;

    // --- Profit -----------------------------------------------------------

    // The money result of a deal. RefPrice -1 takes the reference symbol's
    // close price with its own spread (runtime::Error(91) without one).
    double DealProfit(double Price, double close_price, double lots, OperationTypeEnum BuySell,
                      double Interest, double RemainOpenComm, CommCalcTypeEnum CommCalcType,
                      double RefPrice = -1, bool ComputeCommInt = true) const;
    double CommissionValue(double lots) const { return commission_ * lots; }
    // Counts the changes of what this symbol's prices with a client's spread
    // and its deal results are computed from (prices, decimals, offsets,
    // spread type, price cases, factor, reference): a memo of values taken at
    // one count holds while the count is the same.
    uint64_t PricingStamp() const { return pricingStamp_; }

    // --- Spread -----------------------------------------------------------

    // Null for a Null spread, otherwise SpreadOffset + vSpread.
    Variant SpreadFormula(const Variant& vSpread) const;
    // Reads SpreadFormula of the stored spread (so it holds SpreadOffset).
    Variant Spread() const { return SpreadFormula(spread_); }
    // Null for "", Null or a non-numeric value; otherwise the value as given.
    void setSpread(const Variant& value);
    int16_t SourcePlus() const { return sourcePlus_; }
    void setSourcePlus(int16_t value) { sourcePlus_ = value; }
    int16_t SpreadOffset() const { return spreadOffset_; }
    void setSpreadOffset(int16_t value) {
        spreadOffset_ = value;
        ++pricingStamp_;
    }
    int16_t PriceOffset() const { return priceOffset_; }
    void setPriceOffset(int16_t value) {
        priceOffset_ = value;
        ++pricingStamp_;
    }
    SpreadCalTypeEnum SpreadType() const { return spreadType_; }
    void setSpreadType(SpreadCalTypeEnum value) {
        spreadType_ = value;
        ++pricingStamp_;
    }

    // --- Identity and settings ----------------------------------------------

    int32_t ID() const { return id_; }
    void setID(int32_t value) {
        id_ = value;
        ++pricingStamp_;
    }
    const std::string& name() const { return name_; }
    void setName(const Variant& value);
    const std::string& Description() const { return description_; }
    void setDescription(const Variant& value);
    SymbolTypeEnum SymbolType() const { return symbolType_; }
    void setSymbolType(SymbolTypeEnum value) { symbolType_ = value; }
    // Stored as a 16-bit integer (runtime::Error(6) or (13) when it cannot be).
    int16_t PipLocation() const { return pipLocation_; }
    void setPipLocation(const Variant& value);
    int32_t RefID() const { return refID_; }
    void setRefID(const Variant& value);
    bool isUsed() const { return isUsed_; }
    void setIsUsed(bool value) { isUsed_ = value; }
    bool isDisplay() const { return isDisplay_; }
    void setIsDisplay(bool value) { isDisplay_ = value; }
    const std::string& LastQuteTime() const { return lastQuteTime_; }
    // Assigned in place: every changed quote sets it, and the text keeps its storage.
    void setLastQuteTime(std::string_view value) { lastQuteTime_.assign(value); }
    // Today's date with LastQuteTime, moved a day when more than 10 hours off now.
    std::string LastQuteDateTime() const;
    double Factor() const { return factor_; }
    void setFactor(double value) {
        factor_ = value;
        ++pricingStamp_;
    }
    int16_t PriceCase() const { return priceCase_; }
    void setPriceCase(int16_t value) {
        priceCase_ = value;
        ++pricingStamp_;
    }
    int16_t RefPriceCase() const { return refPriceCase_; }
    void setRefPriceCase(int16_t value) {
        refPriceCase_ = value;
        ++pricingStamp_;
    }
    double TickPips() const { return tickPips_; }
    void setTickPips(const Variant& value);
    int16_t SortOrder() const { return sortOrder_; }
    void setSortOrder(int16_t value) { sortOrder_ = value; }
    int32_t RowForeColor() const { return rowForeColor_; }
    void setRowForeColor(int32_t value) { rowForeColor_ = value; }
    bool RowBold() const { return rowBold_; }
    void setRowBold(bool value) { rowBold_ = value; }
    const std::string& Bank() const { return bank_; }
    void setBank(std::string value) { bank_ = std::move(value); }
    const std::string& DDESymbols() const { return ddeSymbols_; }
    void setDDESymbols(std::string value) { ddeSymbols_ = std::move(value); }
    bool StopFeed() const { return stopFeed_; }
    void setStopFeed(bool value) { stopFeed_ = value; }
    bool MoveIfClosed() const { return moveIfClosed_; }
    void setMoveIfClosed(bool value) { moveIfClosed_ = value; }
    bool StopTradeIfNoPrices() const { return stopTradeIfNoPrices_; }
    void setStopTradeIfNoPrices(bool value) { stopTradeIfNoPrices_ = value; }
    int16_t StopTradeAfterSeconds() const { return stopTradeAfterSeconds_; }
    void setStopTradeAfterSeconds(int16_t value) { stopTradeAfterSeconds_ = value; }
    HighLowComputeTypeEnum HighType() const { return highType_; }
    void setHighType(HighLowComputeTypeEnum value) { highType_ = value; }
    HighLowComputeTypeEnum LowType() const { return lowType_; }
    void setLowType(HighLowComputeTypeEnum value) { lowType_ = value; }
    bool GiveQuoteFromNewHighLow() const { return giveQuoteFromNewHighLow_; }
    void setGiveQuoteFromNewHighLow(bool value) { giveQuoteFromNewHighLow_ = value; }
    double Commission() const { return commission_; }
    void setCommission(double value) { commission_ = value; }
    double MaxLots() const { return maxLots_; }
    void setMaxLots(double value) { maxLots_ = value; }
    // 0 or below is stored as 0.1.
    double MinLots() const { return minLots_; }
    void setMinLots(double value) { minLots_ = value <= 0 ? 0.1 : value; }
    int16_t AmountUnitID() const { return amountUnitID_; }
    void setAmountUnitID(int16_t value) { amountUnitID_ = value; }
    double LimitOffset() const { return limitOffset_; }
    void setLimitOffset(double value) { limitOffset_ = value; }
    double StopOffset() const { return stopOffset_; }
    void setStopOffset(double value) { stopOffset_ = value; }
    const Variant& ParentID() const { return parentID_; }
    void setParentID(Variant value) { parentID_ = std::move(value); }
    double MWColor() const { return mwColor_; }
    void setMWColor(double value) { mwColor_ = value; }
    bool Requotable() const { return requotable_; }
    void setRequotable(bool value) { requotable_ = value; }
    // Whether the quote time ClientLastQTime is recent enough to trade; any
    // failure (a text that is no date) gives False.
    bool ValidateStopTradeIfNoPrices(const std::string& ClientLastQTime) const;
    MarketOrderTypeEnum MarketOrderType() const { return marketOrderType_; }
    void setMarketOrderType(MarketOrderTypeEnum value) { marketOrderType_ = value; }
    const std::string& DisplayTime() const { return displayTime_; }
    void setDisplayTime(std::string value) { displayTime_ = std::move(value); }
    bool JustClose() const { return justClose_; }
    void setJustClose(bool value) { justClose_ = value; }
    bool BuyOnly() const { return buyOnly_; }
    void setBuyOnly(bool value) { buyOnly_ = value; }
    const std::string& DDEName() const { return ddeName_; }
    void setDDEName(std::string value) { ddeName_ = std::move(value); }
    bool HasPriv() const { return hasPriv_; }
    void setHasPriv(bool value) { hasPriv_ = value; }
    const std::string& ExpiryDate() const { return expiryDate_; }
    void setExpiryDate(std::string value) { expiryDate_ = std::move(value); }

    // --- References -----------------------------------------------------------

    // The reference symbol lives in the same collection; the link does not own it.
    std::shared_ptr<CSymbol> RefSymbol() const { return refSymbol_.lock(); }
    void setRefSymbol(const std::shared_ptr<CSymbol>& value) {
        refSymbol_ = value;
        ++pricingStamp_;
    }
    // Untyped slots: Ref1 holds the symbol's per-symbol account references
    // (it owns them), Ref2 and Ref3 are the client API's, Ref4 is unused.
    const ObjectRef& Ref1() const { return ref1_; }
    void setRef1(ObjectRef value) { ref1_ = std::move(value); }
    const ObjectRef& Ref2() const { return ref2_; }
    void setRef2(ObjectRef value) { ref2_ = std::move(value); }
    const ObjectRef& Ref3() const { return ref3_; }
    void setRef3(ObjectRef value) { ref3_ = std::move(value); }
    const ObjectRef& Ref4() const { return ref4_; }
    void setRef4(ObjectRef value) { ref4_ = std::move(value); }
    // Nothing after Deallocate.
    const std::shared_ptr<CSymbolTradingTimes>& SymbolTradingTimes() const { return tradingTimes_; }
    void setSymbolTradingTimes(std::shared_ptr<CSymbolTradingTimes> value) {
        tradingTimes_ = std::move(value);
    }

    // Releases the trading times and the converter and empties every
    // reference; plain fields stay readable.
    void Deallocate() override;

private:
    // The parameter objects hand over their spread already read as a number,
    // so a quote parses no text.
    friend class CClientParamSvr;

    // A spread as the price routines take it: Null, or its number.
    struct SpreadArg {
        bool null = false;
        double pips = 0;
    };
    static SpreadArg ReadSpread(const Variant& vSpread);
    // The effective spread in pips of a spread; false for a Null spread.
    bool EffectiveSpread(SpreadArg spread, double& s) const;
    // SpreadFormula of the stored spread.
    SpreadArg OwnSpread() const;
    double BidWith(SpreadArg spread, int16_t vSourcePlus) const;
    double AskWith(SpreadArg spread, int16_t vSourcePlus) const;
    double PriceWith(SpreadArg spread, int16_t vSourcePlus, OperationTypeEnum OpType) const {
        return OpType == BuyType ? AskWith(spread, vSourcePlus) : BidWith(spread, vSourcePlus);
    }
    double ClosePriceWith(SpreadArg spread, int16_t vSourcePlus, OperationTypeEnum vBuySell) const {
        return vBuySell == BuyType ? BidWith(spread, vSourcePlus) : AskWith(spread, vSourcePlus);
    }

    void Terminate();
    double Rounded(double x) const;

    std::weak_ptr<CSymbol> refSymbol_;
    ObjectRef ref1_, ref2_, ref3_, ref4_;
    std::shared_ptr<CSymbolTradingTimes> tradingTimes_;
    std::shared_ptr<CStringValues> converter_;

    uint64_t pricingStamp_ = 0;
    int32_t id_ = 0;
    Variant parentID_;
    std::string name_;
    std::string description_;
    SymbolTypeEnum symbolType_ = static_cast<SymbolTypeEnum>(0);
    int16_t pipLocation_ = 0;
    double pip_ = 1.0;    // 10 ^ PipLocation
    double tenth_ = 0.1;  // a tenth of a pip, added before rounding
    int32_t refID_ = 0;
    bool isUsed_ = false;
    bool isDisplay_ = false;
    double bid_ = 1.0;
    double ask_ = 1.0;
    double high_ = 0;
    double low_ = 0;
    double last_ = 0;
    double dayOpenPrice_ = 0;
    double dayClosePrice_ = 0;
    std::string expiryDate_;
    std::string lastQuteTime_ = "01/01/1900 00:00:00";
    std::string displayTime_;
    std::string bank_;
    std::string ddeSymbols_;
    double factor_ = 0;
    int16_t priceCase_ = 0;
    int16_t refPriceCase_ = 0;
    double tickPips_ = 0;
    Variant spread_ = runtime::Null;
    SpreadArg spreadArg_{true, 0};  // spread_ read as a number
    int16_t sourcePlus_ = 0;
    int16_t sortOrder_ = 0;
    int32_t rowForeColor_ = 0;
    bool rowBold_ = false;
    int16_t spreadOffset_ = 0;
    int16_t priceOffset_ = 0;
    bool stopFeed_ = false;
    bool moveIfClosed_ = false;
    bool stopTradeIfNoPrices_ = false;
    int16_t stopTradeAfterSeconds_ = 60;
    HighLowComputeTypeEnum highType_ = FromBid;
    HighLowComputeTypeEnum lowType_ = FromBid;
    bool giveQuoteFromNewHighLow_ = false;
    double commission_ = 0;
    double maxLots_ = 0;
    double minLots_ = 0;
    int16_t amountUnitID_ = 0;
    double limitOffset_ = 0;
    double stopOffset_ = 0;
    double mwColor_ = 0;
    bool requotable_ = false;
    MarketOrderTypeEnum marketOrderType_ = static_cast<MarketOrderTypeEnum>(0);
    SpreadCalTypeEnum spreadType_ = FromBidSpread;
    bool justClose_ = false;
    bool buyOnly_ = false;
    std::string ddeName_;
    bool hasPriv_ = false;
};

}  // namespace OrbanelGeneral10
