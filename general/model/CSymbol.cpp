#include "general/model/CSymbol.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "general/common/MGenerals.h"
#include "runtime/Clock.h"
#include "runtime/Convert.h"
#include "runtime/Date.h"
#include "runtime/Error.h"
#include "runtime/Format.h"
#include "runtime/Locale.h"

namespace OrbanelGeneral10 {

namespace {

// Number pattern with `decimals` fixed decimals and a leading zero, no grouping.
std::string DecimalsPattern(int32_t decimals) {
    std::string pattern = "0";
    if (decimals > 0) {
        pattern += '.';
        pattern.append(static_cast<size_t>(decimals), '0');
    }
    return pattern;
}

// The number that a value's text form (15 significant digits) reads back as.
// Whole numbers and short binary fractions are their own text form; anything
// else goes through a stack buffer, never the heap.
double ThroughNumberText(double t) {
    if (!std::isfinite(t)) return t;
    if (std::fabs(t) < 1e3 && std::trunc(t * 1024.0) == t * 1024.0) return t;
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, t, std::chars_format::scientific, 14);
    double v = t;
    std::from_chars(buf, r.ptr, v);
    return v;
}

int64_t LinearSeconds(runtime::Date d) {
    const runtime::DateParts p = runtime::SplitDate(d);
    const auto day = static_cast<int64_t>(runtime::DateSerial(p.year, p.month, p.day).value);
    return day * 86400 + p.hour * 3600 + p.minute * 60 + p.second;
}

}  // namespace

CSymbol::CSymbol()
    : tradingTimes_(std::make_shared<CSymbolTradingTimes>()),
      converter_(std::make_shared<CStringValues>()) {
    setBid(1);
    setAsk(1);
}

CSymbol::~CSymbol() {
    Terminate();
}

void CSymbol::Deallocate() {
    Terminate();
}

void CSymbol::Terminate() {
    SafeRelease(tradingTimes_);
    SafeRelease(converter_);
    refSymbol_.reset();
    ++pricingStamp_;
    ref1_.reset();
    ref2_.reset();
    ref3_.reset();
    ref4_.reset();
}

// --- Pips and price texts -------------------------------------------------

double CSymbol::PipsFormula(double vPips, int16_t vPipLoc) {
    // Every price text asks for this: the powers a symbol uses are taken once,
    // from the same pow, so each is the same double as before.
    constexpr int kMost = 30;
    static const std::array<double, 2 * kMost + 1> kPowers = [] {
        std::array<double, 2 * kMost + 1> powers{};
        for (int i = -kMost; i <= kMost; ++i) powers[size_t(i + kMost)] = std::pow(10.0, i);
        return powers;
    }();
    if (vPipLoc >= -kMost && vPipLoc <= kMost) return vPips * kPowers[size_t(vPipLoc + kMost)];
    return vPips * std::pow(10.0, vPipLoc);
}

std::string CSymbol::FormatPrice(const Variant& Price) const {
    return FormatPriceFormula(Price, pipLocation_);
}

std::string CSymbol::FormatPriceFormula(const Variant& Price, int16_t vPipLoc) {
    if (Price.IsNullOrEmptyText() || !runtime::IsNumeric(Price)) return "";
    if (vPipLoc == 100) return Price.ToString();
    const double sum = Price.ToDouble() + PipsFormula(0.1, vPipLoc);
    // A quote prices every position of a symbol at the same close, and a desk's
    // sessions value their positions of several symbols in turn: a few recent
    // texts (per thread, by number) are given again for the same number, decimals
    // and decimal sign.
    struct Recent {
        bool valid = false;
        double sum = 0;
        int16_t pipLoc = 0;
        std::string decimal, text;
    };
    constexpr size_t kRecent = 32;
    thread_local std::array<Recent, kRecent> recent;
    uint64_t bits;
    std::memcpy(&bits, &sum, sizeof bits);
    Recent& slot = recent[(bits ^ (bits >> 29) ^ uint64_t(uint16_t(vPipLoc))) % kRecent];
    const std::string& decimal = runtime::Locale().decimal;
    if (slot.valid && std::memcmp(&slot.sum, &sum, sizeof sum) == 0 && slot.pipLoc == vPipLoc &&
        slot.decimal == decimal)
        return slot.text;
    std::string text =
        runtime::FormatNumber(sum, DecimalsPattern(std::abs(static_cast<int32_t>(vPipLoc))));
    slot.valid = true, slot.sum = sum, slot.pipLoc = vPipLoc;
    slot.decimal = decimal;
    slot.text = text;
    return text;
}

// Format rounds the 15-digit decimal text of the sum, halves away from zero,
// and prints exactly the kept digits; RoundHalfAway keeps the same digits and
// returns the double nearest to them, which is what reading the text back
// gives. So this equals FormatPriceFormula read back, bit for bit.
double CSymbol::RoundedPriceFormula(double x, int16_t vPipLoc) {
    if (vPipLoc == 100) return x;
    return runtime::RoundHalfAway(x + PipsFormula(0.1, vPipLoc),
                                  std::abs(static_cast<int32_t>(vPipLoc)));
}

double CSymbol::RoundedPrice(double x) const {
    return Rounded(x);
}

double CSymbol::Rounded(double x) const {
    if (pipLocation_ == 100) return x;
    return runtime::RoundHalfAway(x + tenth_, std::abs(static_cast<int32_t>(pipLocation_)));
}

std::string CSymbol::AvgFormatPrice(const Variant& Price) const {
    if (Price.IsNullOrEmptyText()) return "";
    const int32_t digits = std::abs(static_cast<int32_t>(pipLocation_));
    return MyFormatNumber(Price, runtime::CInt(static_cast<double>(digits)),
                          runtime::CInt(static_cast<double>(digits + 4)));
}

std::string CSymbol::MyFormatNumber(const Variant& vNumber, int16_t minDig, int16_t MaxDig) const {
    const double x = runtime::RoundHalfEven(vNumber.ToDouble(), MaxDig);
    int32_t n = 0;
    while (n < MaxDig && runtime::RoundHalfAway(x, n) != x) ++n;
    return runtime::FormatNumber(x, DecimalsPattern(std::max<int32_t>(n, minDig)));
}

// --- Prices -----------------------------------------------------------------

void CSymbol::setAsk(double value) {
    ask_ = id_ == 1 ? 1.0 : Rounded(value);
    ++pricingStamp_;
}

void CSymbol::setBid(double value) {
    bid_ = id_ == 1 ? 1.0 : Rounded(value);
    ++pricingStamp_;
}

double CSymbol::LastPrice() const {
    if (id_ == 1) return 1.0;
    return Rounded((Bid() + Ask()) / 2);
}

CSymbol::SpreadArg CSymbol::ReadSpread(const Variant& vSpread) {
    if (vSpread.IsNull()) return {true, 0};
    return {false, vSpread.ToDouble()};
}

CSymbol::SpreadArg CSymbol::OwnSpread() const {
    if (spreadArg_.null) return spreadArg_;
    return {false, static_cast<double>(spreadOffset_) + spreadArg_.pips};
}

bool CSymbol::EffectiveSpread(SpreadArg spread, double& s) const {
    if (spread.null) return false;
    s = ThroughNumberText(static_cast<double>(spreadOffset_) + spread.pips);
    return true;
}

double CSymbol::BidWith(SpreadArg spread, int16_t vSourcePlus) const {
    if (id_ == 1) return 1.0;
    double s = 0;
    const bool hasSpread = EffectiveSpread(spread, s);
    const double off = Pips(priceOffset_);
    if (spreadType_ == FromBidSpread) return bid_ + off;
    if (hasSpread) return Rounded(LastPrice() - (s - std::floor(s / 2)) * pip_ + off);
    return Rounded(bid_ - runtime::RoundHalfEven(vSourcePlus / 2.0 + 0.1) * pip_ + off);
}

double CSymbol::AskWith(SpreadArg spread, int16_t vSourcePlus) const {
    if (id_ == 1) return 1.0;
    double s = 0;
    const bool hasSpread = EffectiveSpread(spread, s);
    const double off = Pips(priceOffset_);
    if (spreadType_ == FromBidSpread) {
        if (hasSpread) return Rounded(bid_ + s * pip_ + off);
        return Rounded(ask_ + vSourcePlus * pip_ + off);
    }
    if (hasSpread) return Rounded(LastPrice() + std::floor(s / 2) * pip_ + off);
    return Rounded(ask_ + std::floor(vSourcePlus / 2.0) * pip_ + off);
}

double CSymbol::BidWithSpread2(const Variant& vSpread, int16_t vSourcePlus) const {
    return BidWith(ReadSpread(vSpread), vSourcePlus);
}

double CSymbol::AskWithSpread2(const Variant& vSpread, int16_t vSourcePlus) const {
    return AskWith(ReadSpread(vSpread), vSourcePlus);
}

// The stored spread already holds SpreadOffset and the formula adds it again:
// the symbol's own prices use the spread plus twice the offset.
double CSymbol::BidWithSpread() const {
    return BidWith(OwnSpread(), sourcePlus_);
}

double CSymbol::AskWithSpread() const {
    return AskWith(OwnSpread(), sourcePlus_);
}

double CSymbol::PriceWithSpread(OperationTypeEnum OpType) const {
    return PriceWith(OwnSpread(), sourcePlus_, OpType);
}

double CSymbol::PriceWithSpread2(const Variant& vSpread, int16_t vSourcePlus,
                                 OperationTypeEnum OpType) const {
    return PriceWith(ReadSpread(vSpread), vSourcePlus, OpType);
}

double CSymbol::ClosePriceWithSpread(OperationTypeEnum vBuySell) const {
    return ClosePriceWith(OwnSpread(), sourcePlus_, vBuySell);
}

double CSymbol::ClosePriceWithSpread2(const Variant& vSpread, int16_t vSourcePlus,
                                      OperationTypeEnum vBuySell) const {
    return ClosePriceWith(ReadSpread(vSpread), vSourcePlus, vBuySell);
}

double CSymbol::BidAskSpread() const {
    return std::fabs(Ask() - Bid());
}

double CSymbol::PercentChange() const {
    return dayClosePrice_ == 0 ? 0.0 : NetChange() / dayClosePrice_;
}

double CSymbol::PercentChangeWithSpread() const {
    return dayClosePrice_ == 0 ? 0.0 : NetChangeWithSpread() / dayClosePrice_;
}

// --- Profit -----------------------------------------------------------------

double CSymbol::DealProfit(double Price, double close_price, double lots, OperationTypeEnum BuySell,
                           double Interest, double RemainOpenComm, CommCalcTypeEnum CommCalcType,
                           double RefPrice, bool ComputeCommInt) const {
    if (RefPrice == -1) {
        const auto ref = refSymbol_.lock();
        if (!ref) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
        RefPrice = ref->ClosePriceWithSpread(BuySell);
    }
    const auto invert = [](int16_t priceCase, double x) {
        if (priceCase == 1) return x;
        return x == 0 ? 0.0 : 1 / x;
    };
    const double raw = (invert(priceCase_, close_price) - invert(priceCase_, Price)) *
                       invert(refPriceCase_, RefPrice) * lots * static_cast<double>(BuySell) *
                       factor_;
    if (CommCalcType == ON_CLOSE_TYPE && ComputeCommInt)
        return raw - std::fabs(RemainOpenComm) + Interest;
    return raw;
}

// --- Spread -----------------------------------------------------------------

runtime::Variant CSymbol::SpreadFormula(const Variant& vSpread) const {
    if (vSpread.IsNull()) return Variant(runtime::Null);
    return Variant(static_cast<double>(spreadOffset_) + vSpread.ToDouble());
}

void CSymbol::setSpread(const Variant& value) {
    if (value.IsNullOrEmptyText() || !runtime::IsNumeric(value))
        spread_ = Variant(runtime::Null);
    else
        spread_ = value;
    spreadArg_ = ReadSpread(spread_);
}

// --- Identity and settings ----------------------------------------------------

void CSymbol::setName(const Variant& value) {
    name_ = value.ToString();
}

void CSymbol::setDescription(const Variant& value) {
    description_ = value.ToString();
}

void CSymbol::setPipLocation(const Variant& value) {
    pipLocation_ = value.ToInteger();
    pip_ = PipsFormula(1, pipLocation_);
    tenth_ = PipsFormula(0.1, pipLocation_);
    ++pricingStamp_;
}

void CSymbol::setRefID(const Variant& value) {
    refID_ = value.ToLong();
}

void CSymbol::setTickPips(const Variant& value) {
    tickPips_ = value.ToDouble();
}

bool CSymbol::ValidateStopTradeIfNoPrices(const std::string& ClientLastQTime) const {
    if (!stopTradeIfNoPrices_) return true;
    try {
        const auto quoteTime = runtime::ParseDateText(ClientLastQTime);
        if (!quoteTime) return false;
        const int64_t age = LinearSeconds(runtime::Now()) - LinearSeconds(*quoteTime);
        return std::llabs(age) <= stopTradeAfterSeconds_;
    } catch (const runtime::Error&) {
        return false;
    }
}

std::string CSymbol::LastQuteDateTime() const {
    if (!converter_) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    const auto onDay = [this](runtime::Date day) {
        return converter_->ToDateTime(SafeFormat(Variant(day), "dd/mm/yyyy") + " " + lastQuteTime_,
                                      "/", ":", DDspMMspYYYY_HHspNNspSS);
    };
    const runtime::Date now = runtime::Now();
    const runtime::Date today = runtime::DateOnly(now);
    runtime::Date t = onDay(today);
    // A quote time far ahead of now was yesterday's; one far behind, tomorrow's.
    constexpr double kTenHours = 10.0 / 24.0;
    if (t.value - now.value > kTenHours)
        t = onDay(runtime::Date(today.value - 1));
    else if (now.value - t.value > kTenHours)
        t = onDay(runtime::Date(today.value + 1));
    return SafeFormat(Variant(t), "dd/mm/yyyy hh:nn:ss");
}

}  // namespace OrbanelGeneral10
