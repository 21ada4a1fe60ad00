// Quotes and the server's position and order pushes into the model, and the
// lookups of the selected account's positions and orders.
#include <charconv>
#include <string_view>

#include "clientapi/facade/CAccountsManager.h"
#include "general/model/CAccount.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CClientParam.h"
#include "general/model/CClientParamCl.h"
#include "general/model/COpenPosition.h"
#include "general/model/COpenPositions.h"
#include "general/model/COrder.h"
#include "general/model/COrders.h"
#include "general/model/CSymbol.h"
#include "general/model/CSymbols.h"
#include "general/model/MModelItems.h"

namespace OrbanexClientAPI10 {

namespace og = OrbanelGeneral10;
using og::modelitems::Follow;
using og::modelitems::KeyText;

// ---- Lookups of the selected account ----

int32_t CAccountsManager::OpenPositionsCount() const {
    return selected_ ? Follow(selected_->OpenPositions()).Count() : -1;
}

int32_t CAccountsManager::OrdersCount() const {
    return selected_ ? Follow(selected_->Orders()).Count() : -1;
}

std::shared_ptr<COOpenPosition> CAccountsManager::OpenPositionByIndex(int16_t Index) {
    if (!selected_) return nullptr;
    const PositionPtr position = Follow(selected_->OpenPositions()).Item(int32_t{Index});
    if (!position) return nullptr;
    auto view = std::make_shared<COOpenPosition>();
    MakeOOpenPosition(*view, position);
    return view;
}

std::shared_ptr<COOpenPosition> CAccountsManager::OpenPositionByTicket(int32_t Ticket) {
    const PositionPtr position = SelectedPosition(Ticket);
    if (!position) return nullptr;
    auto view = std::make_shared<COOpenPosition>();
    MakeOOpenPosition(*view, position);
    return view;
}

std::shared_ptr<COOrder> CAccountsManager::OrderByIndex(int16_t Index) {
    if (!selected_) return nullptr;
    const OrderPtr order = Follow(selected_->Orders()).Item(int32_t{Index});
    if (!order) return nullptr;
    auto view = std::make_shared<COOrder>();
    MakeOOrder(*view, order);
    return view;
}

std::shared_ptr<COOrder> CAccountsManager::OrderByID(int32_t ID) {
    if (!selected_) return nullptr;
    const OrderPtr order = Follow(selected_->Orders()).Item(KeyText(ID));
    if (!order) return nullptr;
    auto view = std::make_shared<COOrder>();
    MakeOOrder(*view, order);
    return view;
}

void CAccountsManager::MakeOOpenPosition(COOpenPosition& view, const PositionPtr& position) const {
    if (!position) return;
    view.setOpenPos(position);
    view.setCommCalcType(engine_->CommCalcType());
}

void CAccountsManager::MakeOOrder(COOrder& view, const OrderPtr& order) {
    if (order) view.setOrder(order);
}

// ---- Quotes ----

void CAccountsManager::DealWithChangedSymbolPrices(const SymbolPtr& vSymbol) {
    engine_->DealWithChangedSymbolPrices(vSymbol);
    const og::CSymbol& symbol = Follow(vSymbol);
    const auto* sole = og::modelitems::SlotAs<COpenPosRefs>(symbol.Ref2().get());
    if (sole && sole->Items().Count() == 1) {
        // One reference, the usual case: nothing of it is read after its
        // handler runs, so it needs neither a snapshot nor a share.
        const PositionPtr& position = sole->Items().begin()->value->OpenPosRef();
        if (StillReferencedAt(symbol, *sole, sole->Changes(), 1, position)) {
            MakeOOpenPosition(*positionView_, position);
            PosFloatingPLChanged(positionView_);
        }
    } else if (const auto refs = PositionRefs(symbol)) {
        // A snapshot: a handler may close positions while the walk goes on.
        // The kept buffer serves every quote; a quote handled from inside a
        // handler gets one of its own.
        std::vector<std::shared_ptr<COpenPosRef>> snapshot;
        snapshot.swap(refsScratch_);
        snapshot.clear();
        for (const auto& entry : refs->Items()) snapshot.push_back(entry.value);
        const uint64_t taken = refs->Changes();
        for (size_t i = 0; i < snapshot.size(); ++i) {
            const auto& ref = snapshot[i];
            if (!StillReferencedAt(symbol, *refs, taken, static_cast<int32_t>(i + 1),
                                   ref->OpenPosRef()))
                continue;
            MakeOOpenPosition(*positionView_, ref->OpenPosRef());
            PosFloatingPLChanged(positionView_);
        }
        snapshot.clear();
        if (refsScratch_.capacity() < snapshot.capacity()) refsScratch_.swap(snapshot);
    }
    bool pointed = true;
    if (apiType_ == BackofficeAPIType)
        CopySymbolBO(*symbolView_, vSymbol);
    else
        pointed =
            CopySymbol(*symbolView_,
                       og::modelitems::SlotAs<og::CClientParam, og::CClientParamCl>(symbol.Ref3()));
    // A symbol the selected client has no parameters for has no view to show.
    if (pointed) SymbolPricesChanged(symbolView_);
}

// ---- Position references ----

std::shared_ptr<COpenPosRefs> CAccountsManager::PositionRefs(const og::CSymbol& symbol) {
    return og::modelitems::SlotAs<COpenPosRefs>(symbol.Ref2());
}

CAccountsManager::SymbolPtr CAccountsManager::SymbolOf(const og::COpenPosition& position) {
    const ParamPtr& param = position.SymbolParam();
    return param ? param->Symbol() : nullptr;
}

// A handler earlier in a quote's walk may have removed the position or
// rebuilt the references.
bool CAccountsManager::StillReferenced(const og::CSymbol& symbol, const PositionPtr& position) {
    if (!position) return false;
    // A look, not a share: nothing here runs a handler.
    const auto* refs = og::modelitems::SlotAs<COpenPosRefs>(symbol.Ref2().get());
    const auto* ref = refs ? refs->Items().Find(KeyText(position->Ticket()), nullptr) : nullptr;
    return ref && *ref && (*ref)->OpenPosRef() == position;
}

bool CAccountsManager::StillReferencedAt(const og::CSymbol& symbol, const COpenPosRefs& refs,
                                         uint64_t taken, int32_t place,
                                         const PositionPtr& position) {
    // Unchanged and still the symbol's, the collection holds the snapshot's
    // entry at the same place; when its key is the position's ticket, that
    // entry is the one the look-up would find, and it holds the position.
    if (position && symbol.Ref2().get() == &refs && refs.Changes() == taken) {
        char ticket[16];
        const auto end = std::to_chars(ticket, ticket + sizeof ticket, position->Ticket()).ptr;
        const std::string_view key(ticket, static_cast<size_t>(end - ticket));
        if (runtime::detail::FoldedEqual{}(refs.Items().KeyAt(place), key)) return true;
    }
    return StillReferenced(symbol, position);
}

void CAccountsManager::RemovePositionRef(const PositionPtr& position) {
    const SymbolPtr symbol = SymbolOf(Follow(position));
    if (!symbol) return;
    if (const auto refs = PositionRefs(*symbol)) refs->Remove(KeyText(position->Ticket()));
}

void CAccountsManager::AddPositionRef(const PositionPtr& position) {
    const SymbolPtr symbol = SymbolOf(Follow(position));
    if (!symbol) return;
    auto refs = PositionRefs(*symbol);
    if (!refs) {
        refs = std::make_shared<COpenPosRefs>();
        symbol->setRef2(refs);
    }
    if (!refs->Item(KeyText(position->Ticket()))) refs->Add(position);
}

void CAccountsManager::BuildPositionRefs() {
    ClearSymbolRefs(false);
    if (!selected_) return;
    for (const PositionPtr& position : Follow(selected_->OpenPositions()).NewEnum())
        AddPositionRef(position);
}

// ---- Pushes ----

bool CAccountsManager::IsSelected(int32_t vAccount) const {
    return selected_ && selected_->AccountID() == vAccount;
}

CAccountsManager::PositionPtr CAccountsManager::SelectedPosition(int32_t Ticket) const {
    if (!selected_) return nullptr;
    return Follow(selected_->OpenPositions()).Item(KeyText(Ticket));
}

void CAccountsManager::NewOpenPosMsg(int32_t vClient, int32_t vAccount, const std::string& PosRow) {
    const PositionPtr position = engine_->DefineOpenPosRow(vClient, vAccount, -1, PosRow);
    if (!IsSelected(vAccount)) return;
    BuildPositionRefs();
    if (!position) return;
    MakeOOpenPosition(*positionView_, position);
    NewOpenPosition(positionView_);
}

void CAccountsManager::ApplyPositionRow(int32_t vClient, int32_t vAccount, int32_t Ticket,
                                        const std::string& row) {
    const bool selected = IsSelected(vAccount);
    const PositionPtr before = selected ? SelectedPosition(Ticket) : nullptr;
    const PositionPtr position = engine_->DefineOpenPosRow(vClient, vAccount, Ticket, row);
    if (!selected) return;
    if (position) {
        // A position the row brought back must be revalued like the others.
        AddPositionRef(position);
        MakeOOpenPosition(*positionView_, position);
        UpdateOpenPosition(positionView_);
    } else if (before) {
        MakeOOpenPosition(*positionView_, before);
        RemovePositionRef(before);
        DeleteOpenPosition(positionView_);
    }
}

void CAccountsManager::UpdateOpenPosMsg(int32_t vClient, int32_t vAccount, int32_t Ticket,
                                        const std::string& /*OldPosRow*/,
                                        const std::string& NewPosRow,
                                        const std::string& /*ClosesPos*/) {
    ApplyPositionRow(vClient, vAccount, Ticket, NewPosRow);
}

void CAccountsManager::DeleteOpenPosMsg(int32_t vClient, int32_t vAccount, int32_t Ticket,
                                        const std::string& /*RowString*/,
                                        const std::string& /*ClosesPos*/) {
    if (IsSelected(vAccount)) {
        if (const PositionPtr before = SelectedPosition(Ticket)) {
            MakeOOpenPosition(*positionView_, before);
            RemovePositionRef(before);
            DeleteOpenPosition(positionView_);
        }
    }
    engine_->DeleteOpenPosition(vClient, vAccount, runtime::Variant(Ticket));
}

void CAccountsManager::CloseOpenPosMsg(int32_t vClient, int32_t vAccount, int32_t /*Ticket*/,
                                       int32_t OpenTicket, const std::string& OpenPosRow,
                                       const std::string& /*HisOpenRow*/,
                                       const std::string& /*HisCloseRow*/) {
    // Every account's model follows its closes; only the selection hears of them.
    ApplyPositionRow(vClient, vAccount, OpenTicket, OpenPosRow);
}

void CAccountsManager::DeleteClosePosMsg(int32_t ClientID, int32_t vAccount, int32_t /*Ticket*/,
                                         int32_t OpenTicket, const std::string& /*RowString*/,
                                         const std::string& OpenPosRowString) {
    ApplyPositionRow(ClientID, vAccount, OpenTicket, OpenPosRowString);
}

void CAccountsManager::NewPendingOrderMsg(int32_t vClient, int32_t vAccount,
                                          const std::string& OrderRow) {
    const OrderPtr order = engine_->DefineOrder(vClient, vAccount, OrderRow);
    if (!IsSelected(vAccount) || !order) return;
    MakeOOrder(*orderView_, order);
    NewPendingOrder(orderView_);
}

void CAccountsManager::DeletePendingOrderMsg(int32_t vClient, int32_t vAccount, int32_t OrderID) {
    const OrderPtr order = engine_->DeleteOrder(vClient, vAccount, OrderID);
    if (!IsSelected(vAccount) || !order) return;
    MakeOOrder(*orderView_, order);
    DeletePendingOrder(orderView_);
}

}  // namespace OrbanexClientAPI10
