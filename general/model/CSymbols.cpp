#include "general/model/CSymbols.h"

#include <exception>

#include "general/common/MGenerals.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"

namespace OrbanelGeneral10 {

using modelitems::Follow;
using modelitems::KeyText;

namespace {

// A value of the server's symbol row read as a number: text is read for its
// leading number with "." as the decimal point (no number reads 0); numbers
// are taken as they are, so no locale comes between.
double NumberOf(const runtime::Variant& v) {
    switch (v.Type()) {
        case runtime::VarType::Empty:
        case runtime::VarType::Boolean:  // its text, True or False, holds no number
            return 0;
        case runtime::VarType::Integer:
        case runtime::VarType::Long:
        case runtime::VarType::Double:
            return v.ToDouble();
        case runtime::VarType::Null:
            throw runtime::Error(runtime::errc::InvalidUseOfNull);
        case runtime::VarType::String:
            return runtime::Val(v.StringRef());
        default:
            return runtime::Val(v.ToString());
    }
}

}  // namespace

CSymbols::CSymbols()
    : symbols_(std::make_shared<Collection>()), generals_(std::make_shared<CGenerals>()) {}

CSymbols::~CSymbols() {
    Terminate();
}

void CSymbols::Deallocate() {
    Terminate();
}

void CSymbols::Terminate() {
    if (symbols_) {
        if (destroyObjects_) {
            for (SymbolPtr sym : symbols_->Items()) SafeRelease(sym);
        }
        symbols_.reset();
    }
    SafeRelease(generals_);
}

CSymbols::SymbolPtr CSymbols::AddByObject(const SymbolPtr& Sym) {
    if (!Sym) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    Follow(symbols_).Add(Sym, KeyText(Sym->ID()));
    return Sym;
}

void CSymbols::ClearSymbols() {
    const int32_t n = Count();
    for (int32_t i = 0; i < n; ++i) Remove(1);
}

CSymbols::SymbolPtr CSymbols::Add(const AddArgs& a) {
    try {
        auto sym = std::make_shared<CSymbol>();
        sym->setRefSymbol(Item(a.RefID.ToString()));
        // The pip location first: every price below is rounded with it.
        sym->setPipLocation(Variant(NumberOf(a.PipLocation)));
        if (a.Spread.IsNullOrEmptyText())
            sym->setSpread(a.Spread);
        else
            sym->setSpread(Variant(NumberOf(a.Spread)));
        sym->setSourcePlus(a.SourcePlus);
        sym->setTickPips(Variant(NumberOf(a.TickPips)));
        sym->setRefPriceCase(runtime::CInt(NumberOf(a.RefPriceCase)));
        sym->setPriceCase(runtime::CInt(NumberOf(a.PriceCase)));
        sym->setFactor(NumberOf(a.Factor));
        sym->setLastQuteTime(a.LastQuteTime.ToString());
        sym->setLow(NumberOf(a.Low));
        sym->setHigh(NumberOf(a.High));
        sym->setBid(NumberOf(a.Bid));
        sym->setAsk(NumberOf(a.Ask));
        sym->setLast(NumberOf(a.Last));
        sym->setIsDisplay(a.isDisplay);
        sym->setIsUsed(a.isUsed);
        sym->setRefID(a.RefID);
        sym->setSymbolType(a.SymbolType);
        sym->setName(a.name);
        // After the prices, so the fixed price of ID 1 does not apply while adding.
        sym->setID(a.ID.ToLong());
        sym->setDDESymbols(a.DDEItems);
        sym->setMoveIfClosed(a.MoveIfClosed);
        sym->setHighType(a.HighType);
        sym->setLowType(a.LowType);
        sym->setGiveQuoteFromNewHighLow(a.GiveQuoteHL);
        sym->setStopFeed(a.StopFeed);
        sym->setPriceOffset(a.PriceOffset);
        sym->setSpreadOffset(a.SpreadOffset);
        sym->setSortOrder(a.SortOrder);
        sym->setAmountUnitID(a.AmountUnitID);
        sym->setBank(a.Bank.IsNullOrEmptyText() ? std::string() : a.Bank.ToString());
        sym->setStopTradeIfNoPrices(a.StopTrade);
        sym->setStopTradeAfterSeconds(a.StopTradeSeconds);
        sym->setParentID(a.ParentID);
        sym->setRequotable(a.Requotable);
        sym->setMWColor(a.MWColor);
        sym->setMarketOrderType(a.MOType);
        sym->setDescription(Variant(a.Description));
        sym->setSpreadType(a.SpreadType);
        sym->setJustClose(a.JustClose);
        sym->setBuyOnly(a.BuyOnly);
        sym->setHasPriv(a.HasPriv);
        sym->setDayClosePrice(a.DayClose);
        sym->setDayOpenPrice(a.DayOpen);
        sym->setExpiryDate(a.ExpDate);
        sym->setRef1(a.Ref1);
        sym->setRef2(a.Ref2);
        sym->setRef3(a.Ref3);
        sym->setRef4(a.Ref4);
        CSymbolTradingTimes& times = *sym->SymbolTradingTimes();
        times.setOpenDay(a.OpenDay);
        times.setOpenTime(Variant(a.OpenTime));
        times.setCloseDay(a.CloseDay);
        times.setCloseTime(Variant(a.CloseTime));
        times.setDailyCloseTime1(a.DailyCloseTime1);
        times.setDailyOpenTime1(a.DailyOpenTime1);
        times.setDailyCloseTime2(a.DailyCloseTime2);
        times.setDailyOpenTime2(a.DailyOpenTime2);
        times.setDailyCloseTime3(a.DailyCloseTime3);
        times.setDailyOpenTime3(a.DailyOpenTime3);
        times.setClosed(a.Closed);
        return AddByObject(sym);
    } catch (const std::exception&) {
        // A bad row (a time that is no time, a duplicate ID, a value that
        // cannot be converted) adds nothing; the half-built symbol is dropped.
        return nullptr;
    }
}

CSymbols::SymbolPtr CSymbols::Item(const modelitems::Index& vntIndexKey) const {
    return modelitems::ItemOf(symbols_, vntIndexKey);
}

int32_t CSymbols::Count() const {
    return modelitems::CountOf(symbols_);
}

void CSymbols::Remove(const modelitems::Index& vntIndexKey) {
    SymbolPtr found = Item(vntIndexKey);
    if (!found) return;
    SafeRelease(found);
    modelitems::RemoveOf(symbols_, vntIndexKey);
}

CSymbols::SymbolPtr CSymbols::Detach(const modelitems::Index& vntIndexKey) {
    SymbolPtr found = Item(vntIndexKey);
    if (found) modelitems::RemoveOf(symbols_, vntIndexKey);
    return found;
}

void CSymbols::SetSymbolsRefSymbols() {
    for (const auto& entry : Follow(symbols_))
        entry.value->setRefSymbol(Item(KeyText(entry.value->RefID())));
}

std::vector<CSymbols::SymbolPtr> CSymbols::NewEnum() const {
    return Follow(symbols_).Items();
}

void CSymbols::UpdateParameters(const std::string& vPars) {
    const int32_t n = Follow(generals_).SplitClientParameters(
        vPars, symID_, spreadVal_, sourcePlus_, limitOff_, stopOff_, comm_, maxLots_, minLots_);
    for (int32_t i = 1; i <= n; ++i) {
        const SymbolPtr sym = Item(KeyText(symID_[i]));
        if (!sym) continue;
        sym->setSpread(spreadVal_[i]);
        sym->setSourcePlus(sourcePlus_[i]);
        sym->setCommission(comm_[i]);
        sym->setMaxLots(maxLots_[i]);
        sym->setMinLots(minLots_[i]);
        sym->setLimitOffset(limitOff_[i]);
        sym->setStopOffset(stopOff_[i]);
    }
}

}  // namespace OrbanelGeneral10
