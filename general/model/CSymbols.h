#pragma once
// All symbols of one trading session, keyed by the symbol ID as decimal text
// in insertion order, and the only place where symbols are built.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "general/common/CGenerals.h"
#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "general/model/CSymbol.h"
#include "general/model/MModelItems.h"
#include "runtime/Collection.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CSymbols : public runtime::Object, public ISafeObject {
public:
    using Variant = runtime::Variant;
    using SymbolPtr = std::shared_ptr<CSymbol>;
    using Collection = runtime::Collection<SymbolPtr>;

    // The values of one symbol row, in the order the server's row gives them.
    // Add applies them in its own fixed order (PipLocation before any price).
    struct AddArgs {
        Variant Spread;
        int16_t SourcePlus = 0;
        Variant TickPips, RefPriceCase, PriceCase, Factor, LastQuteTime, Low, High, Bid, Ask, Last;
        bool isDisplay = false;
        bool isUsed = false;
        Variant RefID, PipLocation;
        SymbolTypeEnum SymbolType = static_cast<SymbolTypeEnum>(0);
        Variant name, ID;
        std::string OpenDay, OpenTime, CloseDay, CloseTime;
        Variant DailyCloseTime1, DailyOpenTime1, DailyCloseTime2, DailyOpenTime2, DailyCloseTime3,
            DailyOpenTime3;
        bool Closed = false;
        std::string DDEItems;
        bool MoveIfClosed = false;
        HighLowComputeTypeEnum HighType = FromBid;
        HighLowComputeTypeEnum LowType = FromBid;
        bool GiveQuoteHL = false;
        bool StopFeed = false;
        int16_t PriceOffset = 0, SpreadOffset = 0, SortOrder = 0, AmountUnitID = 0;
        Variant Bank;
        bool StopTrade = false;
        int16_t StopTradeSeconds = 0;
        Variant ParentID;
        double MWColor = 0;
        bool Requotable = false;
        MarketOrderTypeEnum MOType = static_cast<MarketOrderTypeEnum>(0);
        std::string Description;
        SpreadCalTypeEnum SpreadType = FromBidSpread;
        bool JustClose = false, BuyOnly = false, HasPriv = false;
        std::string ExpDate;
        double DayOpen = 0, DayClose = 0;
        CSymbol::ObjectRef Ref1, Ref2, Ref3, Ref4;
    };

    CSymbols();
    ~CSymbols() override;
    CSymbols(const CSymbols&) = delete;
    CSymbols& operator=(const CSymbols&) = delete;

    // Adds Sym under its ID's text and returns it; runtime::Error(457) for an
    // ID already present, runtime::Error(91) for no symbol.
    SymbolPtr AddByObject(const SymbolPtr& Sym);
    // Releases and removes every symbol.
    void ClearSymbols();
    // Builds, fills and adds one symbol; nothing (and no change) on any error.
    SymbolPtr Add(const AddArgs& a);

    // A text is a key, a number a 1-based position; nothing on a miss.
    SymbolPtr Item(const modelitems::Index& vntIndexKey) const;
    SymbolPtr ItemByIndex(const modelitems::Index& vntIndexKey) const { return Item(vntIndexKey); }
    // runtime::Error(91) after Deallocate.
    int32_t Count() const;
    // Releases the symbol found with Item, then removes it; a miss is ignored.
    void Remove(const modelitems::Index& vntIndexKey);
    // Takes the entry out without releasing the symbol, for holders that go
    // on using it; answers the symbol, or nothing on a miss.
    SymbolPtr Detach(const modelitems::Index& vntIndexKey);
    // Links every symbol to the symbol its RefID names (nothing when absent).
    void SetSymbolsRefSymbols();
    // The symbols in insertion order, a snapshot safe to walk while the
    // collection changes.
    std::vector<SymbolPtr> NewEnum() const;
    // The collection itself (shared, not a copy); nothing after Deallocate.
    std::shared_ptr<const Collection> Items() const { return symbols_; }
    // Items without taking a share, for a read that runs no handler.
    const Collection* PeekItems() const { return symbols_.get(); }
    // Applies a client-parameter list to the symbols' own parameters. Errors
    // of the list reach the caller, symbols handled before stay changed.
    void UpdateParameters(const std::string& vPars);
    bool DestroyObjects() const { return destroyObjects_; }
    void setDestroyObjects(bool value) { destroyObjects_ = value; }

    void Deallocate() override;

private:
    void Terminate();

    std::shared_ptr<Collection> symbols_;
    std::shared_ptr<CGenerals> generals_;
    // The lists read by the last UpdateParameters, 1-based.
    std::vector<int32_t> symID_;
    std::vector<Variant> spreadVal_;
    std::vector<int16_t> sourcePlus_;
    std::vector<double> limitOff_, stopOff_, comm_, maxLots_, minLots_;
    bool destroyObjects_ = true;
};

}  // namespace OrbanelGeneral10
