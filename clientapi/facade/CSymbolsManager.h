#pragma once
// The symbol list of one client API session: fills the model's symbols from
// the symbols answer, keeps a second index by name (letter case ignored),
// and applies the server's quote and high/low buffers, raising an event for
// every symbol whose values really changed. Events are raised synchronously
// from inside the parsers. The quote path allocates nothing per record once
// its buffers have grown.
//
// The symbols' Ref2 and Ref3 slots (the accounts manager's) hold objects
// that hold the symbols again; they are emptied whenever the table is
// reloaded and when the manager goes.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "connection/ResultTable.h"
#include "general/common/CLogFile.h"
#include "general/common/Enums.h"
#include "general/model/CSymbol.h"
#include "general/model/CSymbols.h"
#include "runtime/Collection.h"
#include "runtime/Event.h"

namespace OrbanexClientAPI10 {

class CSymbolsManager {
public:
    using CSymbol = OrbanelGeneral10::CSymbol;
    using SymbolPtr = std::shared_ptr<CSymbol>;

    // The text shown when two rows of the symbols answer share a name.
    static std::string DuplicateNameMessage(const std::string& name);

    CSymbolsManager();
    ~CSymbolsManager();
    CSymbolsManager(const CSymbolsManager&) = delete;
    CSymbolsManager& operator=(const CSymbolsManager&) = delete;

    // Records of three fields (ids joined by "_", high, low). A price that is
    // no number raises runtime::Error(13), a record cut short Error(9); the
    // records before it stay applied.
    void HighLowDataReceived(const std::string& Buffer);
    // The quote time, then records of GWPricesStep fields (ids joined by "_",
    // bid, ask, ...). Nothing while GWPricesStep is 0; errors as above, and a
    // negative step raises Error(9).
    void MarketDataReceived(const std::string& Buffer);
    // Nothing for an unknown name.
    SymbolPtr SymbolByName(const std::string& Name) const;
    // Reloads the list. False when two rows share a name (a message is shown
    // and the later rows are not loaded); a row the model refuses is logged
    // and skipped. Parameters is not used.
    bool SymbolsRecieved(bool NoRows, const KVClientDLL10::ResultTable& DataArray, int32_t Results,
                         int16_t Parameters);
    const std::shared_ptr<OrbanelGeneral10::CSymbols>& Symbols() const { return symbols_; }
    const std::string& LastTickTime() const { return lastTickTime_; }
    void setLastTickTime(const std::string& value) { lastTickTime_ = value; }
    OrbanelGeneral10::CommCalcTypeEnum CommCalcType() const { return commCalcType_; }
    void setCommCalcType(OrbanelGeneral10::CommCalcTypeEnum value) { commCalcType_ = value; }
    int16_t GWPricesStep() const { return gwPricesStep_; }
    void setGWPricesStep(int16_t value) { gwPricesStep_ = value; }

    // Empties every symbol's Ref2 and Ref3 (the rings through the accounts
    // manager's objects).
    void ClearSymbolRefs();

    runtime::Event<const SymbolPtr& /*Symbol*/> SymbolHighLowChanged;
    runtime::Event<const SymbolPtr& /*Symbol*/> DealWithChangedSymbolPrices;

private:
    // Adds one row to the model; nothing when the model refuses it.
    SymbolPtr AddRow(const KVClientDLL10::ResultTable& data, size_t row);
    bool AddSymbolToCollection(const SymbolPtr& symbol);
    // The parsers' working storage: the fields of one buffer (views into it),
    // the key text of one id, and per parser the 1-based place in the symbol
    // collection where the n-th id of its last buffer was found (0: not yet).
    struct Scratch {
        std::vector<std::string_view> fields;
        std::string key;
        std::vector<int32_t> quotePlaces, highLowPlaces;
    };
    static void SplitFields(std::string_view buffer, std::vector<std::string_view>& fields);
    // The symbol an id names, or nothing. `place` remembers where it was
    // found: the server sends the same ids in the same order every time.
    SymbolPtr Lookup(std::string_view id, std::string& key, int32_t& place) const;
    void FetchAhead(const std::vector<std::string_view>& fields, size_t step,
                    const std::vector<int32_t>& places) const;
    void ParseQuotes(std::string_view buffer, Scratch& s);
    void ParseHighLow(std::string_view buffer, Scratch& s);

    std::shared_ptr<OrbanelGeneral10::CSymbols> symbols_;
    std::shared_ptr<runtime::Collection<SymbolPtr>> byName_;
    std::shared_ptr<OrbanelGeneral10::CLogFile> log_;
    std::string lastTickTime_ = "00:00:00";
    int16_t gwPricesStep_ = 0;
    OrbanelGeneral10::CommCalcTypeEnum commCalcType_ =
        static_cast<OrbanelGeneral10::CommCalcTypeEnum>(0);
    // Kept between buffers; a buffer handed in from inside an event handler
    // gets storage of its own.
    Scratch scratch_;
    bool parsing_ = false;
};

}  // namespace OrbanexClientAPI10
