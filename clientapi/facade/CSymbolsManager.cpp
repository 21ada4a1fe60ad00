#include "clientapi/facade/CSymbolsManager.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "general/common/MGenerals.h"
#include "general/model/CCurAccount.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Locale.h"
#include "runtime/Strings.h"

namespace OrbanexClientAPI10 {

using namespace OrbanelGeneral10;
using runtime::Variant;

namespace {

// The locale-aware strict conversion used to compare a price with the
// stored one; text that is no number raises runtime::Error(13).
double StrictNumber(std::string_view text) {
    std::optional<double> v = runtime::ParseNumber(text);
    if (!v) throw runtime::Error(runtime::errc::TypeMismatch);
    return *v;
}

// A price text as the quote path reads it: strictly, with the locale's
// separators (nothing when it is no number), and by its leading number. A
// desk's sessions get the same prices from one server, so a few recent texts
// are read once per thread for all of them (neither reading can fail).
class PriceText {
public:
    explicit PriceText(std::string_view text) {
        const Recent& r = Read(text);
        strict_ = r.strict;
        leading_ = r.leading;
    }
    // Text that is no number raises runtime::Error(13).
    double Strict() const {
        if (!strict_) throw runtime::Error(runtime::errc::TypeMismatch);
        return *strict_;
    }
    double Leading() const { return leading_; }

private:
    struct Recent {
        bool valid = false;
        std::string text, decimal, thousands;
        std::optional<double> strict;
        double leading = 0;
    };

    static const Recent& Read(std::string_view text) {
        constexpr size_t kRecent = 64;
        thread_local std::array<Recent, kRecent> recent;
        const runtime::LocaleSettings& locale = runtime::Locale();
        Recent& r = recent[std::hash<std::string_view>{}(text) % kRecent];
        if (r.valid && r.text == text && r.decimal == locale.decimal &&
            r.thousands == locale.thousands)
            return r;
        r.valid = false;  // stays empty if a copy below fails
        r.strict = runtime::ParseNumber(text);
        r.leading = runtime::Val(text);
        r.text.assign(text);
        r.decimal = locale.decimal;
        r.thousands = locale.thousands;
        r.valid = true;
        return r;
    }

    std::optional<double> strict_;
    double leading_ = 0;
};

// A cell compared with 1 as a number (text that is no number raises Error(13)).
bool IsOne(const std::string& cell) {
    return runtime::CDbl(Variant(cell)) == 1;
}

int32_t WholeVal(const std::string& cell) {
    return runtime::CLng(runtime::Val(cell));
}

// Runs the parser on the kept storage unless a handler re-enters.
template <class F>
void WithScratch(bool& busy, F&& parse) {
    if (busy) {
        parse(false);
        return;
    }
    busy = true;
    struct Reset {
        bool& b;
        ~Reset() { b = false; }
    } reset{busy};
    parse(true);
}

}  // namespace

std::string CSymbolsManager::DuplicateNameMessage(const std::string& name) {
    return "Orbanex BO API does not support having 2 symbols of the same name (" + name + ")";
}

CSymbolsManager::CSymbolsManager()
    : symbols_(std::make_shared<CSymbols>()),
      byName_(std::make_shared<runtime::Collection<SymbolPtr>>()),
      log_(std::make_shared<CLogFile>()) {
    log_->setFileName("c:\\log.txt");
}

CSymbolsManager::~CSymbolsManager() {
    ClearSymbolRefs();
    byName_.reset();
    SafeRelease(symbols_);
}

void CSymbolsManager::ClearSymbolRefs() {
    if (!symbols_ || !symbols_->Items()) return;
    for (const SymbolPtr& symbol : symbols_->NewEnum()) {
        symbol->setRef2(nullptr);
        symbol->setRef3(nullptr);
    }
}

CSymbolsManager::SymbolPtr CSymbolsManager::SymbolByName(const std::string& Name) const {
    return byName_->Item(Name);
}

// ---- Symbol list ----

bool CSymbolsManager::SymbolsRecieved(bool NoRows, const KVClientDLL10::ResultTable& DataArray,
                                      int32_t Results, int16_t /*Parameters*/) {
    ClearSymbolRefs();
    symbols_->ClearSymbols();
    byName_ = std::make_shared<runtime::Collection<SymbolPtr>>();
    bool result = true;
    if (NoRows) return result;
    for (int32_t row = 1; row <= Results; ++row) {
        SymbolPtr symbol;
        try {
            symbol = AddRow(DataArray, static_cast<size_t>(row));
        } catch (const runtime::Error& e) {
            log_->AddEntry("SymbolsRecieved row " + std::to_string(row) + ": " +
                               std::to_string(e.Number()) + " " + e.Description(),
                           1);
            continue;
        }
        if (!symbol) {
            log_->AddEntry("SymbolsRecieved row " + std::to_string(row) + ": refused", 1);
            continue;
        }
        if (!AddSymbolToCollection(symbol)) {
            result = false;
            break;
        }
    }
    symbols_->SetSymbolsRefSymbols();
    return result;
}

CSymbolsManager::SymbolPtr CSymbolsManager::AddRow(const KVClientDLL10::ResultTable& data,
                                                   size_t row) {
    auto cell = [&](size_t column) -> const std::string& { return data(row, column); };
    CSymbols::AddArgs a;
    a.Spread = Variant("");
    a.SourcePlus = 0;
    a.TickPips = Variant(cell(15));
    a.RefPriceCase = Variant(cell(14));
    a.PriceCase = Variant(cell(13));
    a.Factor = Variant(cell(12));
    a.LastQuteTime = Variant(cell(9));
    a.Low = Variant(cell(11));
    a.High = Variant(cell(10));
    a.Bid = Variant(cell(8));
    a.Ask = Variant(cell(7));
    a.Last = Variant(runtime::Val(cell(34)));
    a.isDisplay = IsOne(cell(6));
    a.isUsed = a.isDisplay;
    a.RefID = Variant(cell(5));
    a.PipLocation = Variant(cell(4));
    a.SymbolType = static_cast<SymbolTypeEnum>(WholeVal(cell(3)));
    a.name = Variant(cell(2));
    a.ID = Variant(cell(1));
    a.OpenDay = "SUNDAY";
    a.OpenTime = "00:00";
    a.CloseDay = "SUNDAY";
    a.CloseTime = "00:00";
    a.DailyCloseTime1 = a.DailyOpenTime1 = a.DailyCloseTime2 = a.DailyOpenTime2 =
        a.DailyCloseTime3 = a.DailyOpenTime3 = Variant("00:00");
    a.Closed = false;
    a.DDEItems = "";
    a.MoveIfClosed = false;
    a.HighType = FromBid;
    a.LowType = FromBid;
    a.GiveQuoteHL = true;
    a.StopFeed = false;
    a.PriceOffset = 0;
    a.SpreadOffset = 0;
    a.SortOrder = 1;
    a.AmountUnitID = 1;
    a.Bank = Variant("");
    a.StopTrade = false;
    a.StopTradeSeconds = 60;
    a.ParentID = Variant(int32_t{1});
    a.MWColor = 0;
    a.Requotable = IsOne(cell(23));
    a.MOType = AtMarketMO;
    a.Description = "";
    a.SpreadType = static_cast<SpreadCalTypeEnum>(WholeVal(cell(27)));
    a.JustClose = false;
    a.BuyOnly = false;
    a.HasPriv = IsOne(cell(28));
    a.ExpDate = cell(31);
    a.DayOpen = runtime::Val(cell(32));
    a.DayClose = runtime::Val(cell(33));
    a.Ref1 = std::make_shared<CCurAccount>();
    return symbols_->Add(a);
}

bool CSymbolsManager::AddSymbolToCollection(const SymbolPtr& symbol) {
    if (byName_->Contains(symbol->name())) {
        ShowMessage(DuplicateNameMessage(symbol->name()));
        return false;
    }
    byName_->Add(symbol, symbol->name());
    return true;
}

// ---- Price buffers ----

void CSymbolsManager::SplitFields(std::string_view buffer, std::vector<std::string_view>& fields) {
    fields.clear();
    size_t start = 0;
    for (;;) {
        const size_t comma = buffer.find(',', start);
        if (comma == std::string_view::npos) {
            fields.push_back(buffer.substr(start));
            return;
        }
        fields.push_back(buffer.substr(start, comma - start));
        start = comma + 1;
    }
}

CSymbolsManager::SymbolPtr CSymbolsManager::Lookup(std::string_view id, std::string& key,
                                                   int32_t& place) const {
    const auto* items = symbols_->PeekItems();
    if (!items || id.empty()) return nullptr;
    // Keys are unique, so the entry at the remembered place is the one the
    // key finds when it still carries exactly this key.
    if (place >= 1 && place <= items->Count() && items->KeyAt(place) == id)
        return items->Item(place);
    key.assign(id);
    SymbolPtr found = symbols_->Item(key);
    place = 0;
    if (!found) return found;
    int32_t at = 0;
    for (const auto& entry : *items) {
        ++at;
        if (entry.value == found && entry.key == id) {
            place = at;
            break;
        }
    }
    return found;
}

// The remembered place of the n-th id of a buffer, grown as buffers grow.
static int32_t& PlaceOf(std::vector<int32_t>& places, size_t n) {
    if (n >= places.size()) places.resize(n + 1, 0);
    return places[n];
}

// Calls visit(symbol) for every known symbol of an ids field ("5_7").
template <class F>
static void ForEachId(std::string_view ids, F&& visit) {
    size_t start = 0;
    for (;;) {
        const size_t sep = ids.find('_', start);
        visit(ids.substr(start,
                         sep == std::string_view::npos ? std::string_view::npos : sep - start));
        if (sep == std::string_view::npos) return;
        start = sep + 1;
    }
}

void CSymbolsManager::MarketDataReceived(const std::string& Buffer) {
    if (gwPricesStep_ == 0) return;
    WithScratch(parsing_, [&](bool kept) {
        if (kept) return ParseQuotes(Buffer, scratch_);
        Scratch own;
        ParseQuotes(Buffer, own);
    });
}

// Asks for the symbols a buffer names, at the places they were found last
// time, and then for what their quotes reach first, before any of them is
// applied: one symbol after the other, each would be a miss of its own on a
// session not in the cache. Only hints: nothing is checked or changed.
void CSymbolsManager::FetchAhead(const std::vector<std::string_view>& f, size_t step,
                                 const std::vector<int32_t>& places) const {
    const auto* items = symbols_->PeekItems();
    if (!items) return;
    constexpr size_t kAhead = 32;
    const CSymbol* ahead[kAhead];
    size_t count = 0, n = 0;
    for (size_t i = 1; i + 2 < f.size() && count < kAhead; i += step) {
        ForEachId(f[i], [&](std::string_view) {
            const int32_t place = n < places.size() ? places[n] : 0;
            ++n;
            if (place < 1 || place > items->Count() || count == kAhead) return;
            const CSymbol* symbol = (items->begin() + (place - 1))->value.get();
            if (!symbol) return;
            const char* at = reinterpret_cast<const char*>(symbol);
            __builtin_prefetch(at - 16);  // the share count beside it
            for (size_t line = 0; line < sizeof(CSymbol); line += 64) __builtin_prefetch(at + line);
            ahead[count++] = symbol;
        });
    }
    for (size_t k = 0; k < count; ++k) {
        const CSymbol& symbol = *ahead[k];
        __builtin_prefetch(symbol.LastQuteTime().data(), 1);
        __builtin_prefetch(symbol.Ref1().get());
        __builtin_prefetch(symbol.Ref2().get());
        __builtin_prefetch(symbol.Ref3().get());
    }
}

void CSymbolsManager::ParseQuotes(std::string_view buffer, Scratch& s) {
    SplitFields(buffer, s.fields);
    const std::vector<std::string_view>& f = s.fields;
    lastTickTime_.assign(f[0]);
    const size_t step = gwPricesStep_ > 0 ? static_cast<size_t>(gwPricesStep_) : 0;
    if (step == 0) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    FetchAhead(f, step, s.quotePlaces);
    const size_t last = f.size() - 1;
    size_t n = 0;
    for (size_t i = 1; i <= last; i += step) {
        if (i + 2 > last) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
        const std::string_view bid = f[i + 1], ask = f[i + 2];
        ForEachId(f[i], [&](std::string_view id) {
            SymbolPtr symbol = Lookup(id, s.key, PlaceOf(s.quotePlaces, n++));
            if (!symbol) return;
            // Both prices are converted, so a bad one fails even beside a changed one.
            const PriceText bidText(bid);
            const bool bidSame = bidText.Strict() == symbol->Bid();
            const PriceText askText(ask);
            const bool askSame = askText.Strict() == symbol->Ask();
            if (bidSame && askSame) return;
            symbol->setBid(bidText.Leading());
            symbol->setAsk(askText.Leading());
            symbol->setLastQuteTime(lastTickTime_);
            DealWithChangedSymbolPrices(symbol);
        });
    }
}

void CSymbolsManager::HighLowDataReceived(const std::string& Buffer) {
    WithScratch(parsing_, [&](bool kept) {
        if (kept) return ParseHighLow(Buffer, scratch_);
        Scratch own;
        ParseHighLow(Buffer, own);
    });
}

void CSymbolsManager::ParseHighLow(std::string_view buffer, Scratch& s) {
    SplitFields(buffer, s.fields);
    const std::vector<std::string_view>& f = s.fields;
    const size_t last = f.size() - 1;
    size_t n = 0;
    for (size_t i = 0; i <= last; i += 3) {
        if (i + 2 > last) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
        const std::string_view high = f[i + 1], low = f[i + 2];
        ForEachId(f[i], [&](std::string_view id) {
            SymbolPtr symbol = Lookup(id, s.key, PlaceOf(s.highLowPlaces, n++));
            if (!symbol) return;
            const bool highSame = StrictNumber(high) == symbol->High();
            const bool lowSame = StrictNumber(low) == symbol->Low();
            if (highSame && lowSame) return;
            symbol->setHigh(runtime::Val(high));
            symbol->setLow(runtime::Val(low));
            SymbolHighLowChanged(symbol);
        });
    }
}

}  // namespace OrbanexClientAPI10
