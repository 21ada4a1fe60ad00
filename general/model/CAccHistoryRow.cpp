#include "general/model/CAccHistoryRow.h"

#include "general/common/CDataProtocol.h"
#include "general/common/CRow.h"
#include "general/common/MGenerals.h"
#include "general/model/CSymbols.h"
#include "general/model/MModelItems.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"

namespace OrbanelGeneral10 {

CAccHistoryRow::CAccHistoryRow() : protocol_(std::make_shared<CDataProtocol>()) {}

CAccHistoryRow::~CAccHistoryRow() {
    SafeRelease(protocol_);
}

void CAccHistoryRow::DefineRow(const std::shared_ptr<CSymbols>& Symbols, const std::string& rData) {
    CRow& row = modelitems::Follow(modelitems::Follow(protocol_).RowString());
    row.Add(rData);
    auto cell = [&row](int32_t i) { return runtime::Trim(row.Item(i)); };
    setTicket(runtime::CLng(Variant(cell(1))));
    setHisTime(cell(2));
    setHisType(cell(3));
    setSymbol(modelitems::Follow(Symbols).Item(cell(4)));
    setLots(Variant(cell(5)));
    setBuySell(Variant(cell(6)));
    setOpenTime(cell(7));
    setOpenPrice(Variant(cell(8)));
    setClosePrice(Variant(cell(9)));
    setAccTransAmount(Variant(cell(10)));
    setComm(Variant(cell(11)));
    setInterest(Variant(cell(12)));
    setChecked(runtime::CBool(Variant(cell(13))));
    setRefPrice(Variant(cell(14)));
    setProfit(Variant(cell(15)));
    setSymbolName(Variant(cell(16)));
}

void CAccHistoryRow::Define(const Variant& vTicket, const std::string& vTime,
                            const std::string& vType,
                            const std::shared_ptr<CClientParam>& /*SymbolParam*/,
                            const Variant& vLots, const Variant& vBuySell,
                            const std::string& vOpenTime, const Variant& vOpenPrice,
                            const Variant& vClosePrice, const Variant& vAccTransAmount,
                            const Variant& vComm, const Variant& vInt, bool vChecked,
                            const Variant& vRefPrice, const Variant& vProfit,
                            const Variant& vCurName) {
    setTicket(runtime::CLng(vTicket));
    setHisTime(vTime);
    setHisType(vType);
    setLots(vLots);
    setBuySell(vBuySell);
    setOpenTime(vOpenTime);
    setOpenPrice(vOpenPrice);
    setClosePrice(vClosePrice);
    setAccTransAmount(vAccTransAmount);
    setComm(vComm);
    setInterest(vInt);
    setChecked(vChecked);
    setRefPrice(vRefPrice);
    setProfit(vProfit);
    setSymbolName(vCurName);
}

}  // namespace OrbanelGeneral10
