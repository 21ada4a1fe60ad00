#include "desk/sessions/CClientAPIManagers.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "desk/common/DeskProcedures.h"
#include "desk/common/MGeneral.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"

namespace OrbanexDesk {

namespace {
constexpr int32_t kRed = 255;
constexpr const char* kNotLoggedOnNote = "No order was sent: the account is not logged in";
using OrbanexClientAPI10::SuccessResult;

std::string SessionKey(int32_t n) {
    return "C" + std::to_string(n);
}

// The position number of a key "C<n>", or 0 when the key is not of that form.
int32_t KeyNumber(const std::string& key) {
    if (key.size() < 2 || key.size() > 8) return 0;
    for (size_t i = 1; i < key.size(); ++i)
        if (key[i] < '0' || key[i] > '9') return 0;
    return std::stoi(key.substr(1));
}

// A look without taking a share: these run on every quote of every session.
bool LoggedOn(const CClientAPIManager* session) {
    if (!session) return false;
    const auto& api = session->CLAPICLASS();
    return api && api->LogedOn();
}
bool LoggedOn(const ManagerPtr& session) {
    return LoggedOn(session.get());
}
}  // namespace

// ---- Creation ----

CClientAPIManagers::CClientAPIManagers(DeskServices& desk) : desk_(desk), ports_(desk.Ports()) {}

CClientAPIManagers::~CClientAPIManagers() {
    for (const auto& entry : sessions_)
        if (entry.value) entry.value->Release();
    summaries_->Close();
}

DeskServices::ManagersFactory CClientAPIManagers::Factory() {
    return [](DeskServices& desk) { return std::make_shared<CClientAPIManagers>(desk); };
}

ManagerPtr CClientAPIManagers::Add(const std::string& ServerIP, int32_t ServerPort,
                                   const std::string& Username, const std::string& Password,
                                   bool LoginNow, int32_t AccountID, const std::string&) {
    if (Count() >= kMaxSessions) {
        ports_.Messages->SystemMessage("Maximum account number exceeded", "Alert");
        return nullptr;
    }
    ManagerPtr session = CClientAPIManager::Create(desk_);
    session->summaries_ = summaries_;
    session->ClientAPIF()->SetLoginInfo(Username, Password, ServerIP, ServerPort);
    session->pass = Password;
    session->m_lAccount = AccountID;
    const int16_t n = static_cast<int16_t>(Count() + 1);
    session->setKey(n);
    sessions_.Add(session, SessionKey(n));
    byAccount_[AccountID].push_back(session.get());
    ports_.frmMain->addToListView(Username, AccountID, false, "", "", n);
    // Without an address the login would try to connect to nothing.
    if (LoginNow && !ServerIP.empty()) session->ClientAPIF()->Login();
    ManagerPtr current = desk_.State().CurrentManager.lock();
    if (!current || current->Released()) desk_.State().CurrentManager = session;
    return session;
}

void CClientAPIManagers::AddToListView2(int16_t Index, const std::string& Username,
                                        int32_t AccountID, bool Connected) {
    platform::ListItem& row =
        ports_.frmMain->lvwClients().Add(SessionKey(Index), std::to_string(Index));
    row.setSubItems(1, Username);
    row.setSubItems(2, Connected ? "Connected" : "Disconnected");
    row.setSubItems(3, std::to_string(AccountID));
}

// ---- Removal and renumbering ----

void CClientAPIManagers::Forget(const ManagerPtr& session) {
    auto it = byAccount_.find(session->m_lAccount);
    if (it != byAccount_.end()) {
        auto& list = it->second;
        list.erase(std::remove(list.begin(), list.end(), session.get()), list.end());
        if (list.empty()) byAccount_.erase(it);
    }
    session->Release();
}

void CClientAPIManagers::RepickCurrent() {
    ManagerPtr current = desk_.State().CurrentManager.lock();
    if (!current || current->Released())
        desk_.State().CurrentManager = GetFirstLoggedOnManager(desk_);
}

void CClientAPIManagers::Remove(const std::string& key) {
    const int32_t n = KeyNumber(key);
    ManagerPtr session = n ? sessions_.Item(key) : nullptr;
    if (!session) return;
    sessions_.Remove(key);
    Forget(session);
    session.reset();
    auto& rows = ports_.frmMain->lvwClients();
    if (rows.Find(key)) rows.Remove(key);
    ReArrangeList(static_cast<int16_t>(n));
    RepickCurrent();
}

namespace {
// Every cell but the item text, which holds the row's own number.
void CopyCells(const platform::ListItem& from, platform::ListItem& to) {
    to.setForeColor(from.ForeColor());
    to.setBold(from.Bold());
    for (size_t i = 1; i <= from.SubItemCount(); ++i) {
        to.setSubItems(i, from.SubItemText(i));
        to.setSubItemForeColor(i, from.SubItemForeColor(i));
        to.setSubItemBold(i, from.SubItemBold(i));
    }
}
}  // namespace

void CClientAPIManagers::ReArrangeList(int16_t Start) {
    const int32_t count = Count();
    auto& rows = ports_.frmMain->lvwClients();
    for (int32_t i = Start; i <= count; ++i) {
        const std::string oldKey = SessionKey(i + 1);
        ManagerPtr session = sessions_.Item(oldKey);
        if (!session) continue;
        std::string user, note, fifth;
        int32_t account = session->m_lAccount;
        platform::ListItem* row = rows.Find(oldKey);
        if (row) {
            user = row->SubItems(1);
            account = runtime::CLng(runtime::Val(row->SubItems(3)));
            note = row->SubItems(4);
            fifth = row->SubItems(5);
        }
        ports_.frmMain->addToListView(user, account, LoggedOn(session), fifth, note,
                                      static_cast<int16_t>(i));
        // A session writes its figures and status only when they change: the
        // renumbered row shows what the old one showed, not a rebuilt few cells.
        if (row) {
            CopyCells(*row, rows.Item(SessionKey(i)));
            rows.Remove(oldKey);
        }
        sessions_.Add(session, SessionKey(i));
        sessions_.Remove(oldKey);
        session->setKey(static_cast<int16_t>(i));
    }
}

void CClientAPIManagers::RClear(const std::string& key) {
    try {
        auto& rows = ports_.frmMain->lvwClients();
        if (rows.Find(key)) rows.Remove(key);
        ManagerPtr session = sessions_.Item(key);
        if (!session) return;
        sessions_.Remove(key);
        Forget(session);
    } catch (const std::exception&) {
        // absorbed: nothing more to remove
    }
}

void CClientAPIManagers::RClear(int32_t position) {
    if (position < 1 || position > Count()) return;
    RClear(sessions_.KeyAt(position));
}

void CClientAPIManagers::Clear() {
    for (int32_t i = Count(); i >= 1; --i) RClear(i);
    RepickCurrent();
}

// ---- Questions of the entry-order pane ----

CClientAPIManager* CClientAPIManagers::FirstLoggedOn(int32_t account) const {
    auto it = byAccount_.find(account);
    if (it == byAccount_.end()) return nullptr;
    for (CClientAPIManager* session : it->second)
        if (LoggedOn(session)) return session;
    return nullptr;
}

bool CClientAPIManagers::Check_Visibility(const std::string& SymbolName,
                                          const std::string& AccountText) {
    CClientAPIManager* session = FirstLoggedOn(runtime::CLng(runtime::Val(AccountText)));
    return session && session->CLAPICLASS()->SymbolByName(SymbolName) != nullptr;
}

double CClientAPIManagers::Limit_Offset(int32_t SymbolID) {
    return Offsets(SymbolID).limit;
}
double CClientAPIManagers::Stop_Offset(int32_t SymbolID) {
    return Offsets(SymbolID).stop;
}

CClientAPIManagers::EntryOffsets CClientAPIManagers::Offsets(int32_t SymbolID) {
    SymbolPtr shared = GetSymbolItem(desk_.State(), std::to_string(SymbolID));
    if (!shared) return {};
    const std::string name = shared->Name();
    // Compared in pips; only the largest is converted, by the account that gave it.
    struct Best {
        double pips = -1;
        SymbolPtr symbol;
        double Price() const { return symbol ? symbol->Pips(pips) : -1; }
    } limit, stop;
    const auto& rows = ports_.frmlimitorder->lvwConClients();
    for (size_t r = 1; r <= rows.Count(); ++r) {
        auto it = byAccount_.find(runtime::CLng(runtime::Val(rows.Item(r).Text())));
        if (it == byAccount_.end()) continue;
        // Only questions below, no handler runs: the account's list stays as it is.
        bool asked = false;
        for (CClientAPIManager* session : it->second) {
            if (!LoggedOn(session)) continue;
            const auto& api = session->CLAPICLASS();
            // The row's account sees the symbol or not, whichever of its sessions
            // asks: the first logged-on one answers, as Check_Visibility does.
            if (!asked) {
                asked = true;
                if (!api->SymbolByName(name)) break;
            }
            const double limitPips = api->LimitOffset(SymbolID);
            const double stopPips = api->StopOffset(SymbolID);
            const bool newLimit = limitPips > limit.pips, newStop = stopPips > stop.pips;
            if (!newLimit && !newStop) continue;
            SymbolPtr own = api->SymbolByID(SymbolID);
            if (!own) continue;
            if (newLimit) limit = {limitPips, own};
            if (newStop) stop = {stopPips, std::move(own)};
        }
    }
    return {limit.Price(), stop.Price()};
}

// ---- Order fan-out ----

void CClientAPIManagers::FanOut(OrbanelGeneral10::OperationTypeEnum side) {
    const char* name = side == OrbanelGeneral10::BuyType ? "BuyFunction" : "SellFunction";
    Ifrmorder& order = *ports_.frmorder;
    const std::string symbolName = order.cbsymbols().Text();
    const std::string sound = SoundFile("OrderOk.wav");
    std::unordered_set<int32_t> served;
    int32_t qualified = 0, sent = 0;
    // A snapshot: a release during the loop must not shift the walk.
    const std::vector<ManagerPtr> sessions = sessions_.Items();
    for (const ManagerPtr& session : sessions) {
        if (session->Released() || !LoggedOn(session)) continue;
        const int32_t account = session->m_lAccount;
        if (!served.insert(account).second) continue;  // one order per account
        platform::ListItem* row = order.lvwConClients().Find(SessionKey(account));
        if (!row || !row->Checked()) continue;
        ++qualified;
        try {
            const int32_t symbolId = session->GetIDByName(symbolName);
            const double lots = runtime::Val(row->SubItems(1));
            const auto code = session->SendMarketOrder(side, symbolId, lots, symbolName);
            Result(code, account, session->RowKey());
            ports_.Sound->PlayWave(sound);
            ++sent;
        } catch (const std::exception& e) {
            const auto* error = dynamic_cast<const runtime::Error*>(&e);
            const std::string text =
                std::string(name) + " failed: " + (error ? error->Description() : e.what());
            ports_.frmJournal->Add(text, account, true);
            if (platform::ListItem* cell = order.lvwConClients().Find(SessionKey(account)))
                cell->setSubItems(2, text);
        }
    }
    NoteNotLoggedOn(order.lvwConClients());
    if (sent > 0) return;
    if (qualified == 0) ports_.Messages->GeneralNoteMsg("No account selected");
    order.setEnabled(true);
}

void CClientAPIManagers::NoteNotLoggedOn(platform::ListView& rows) {
    // A ticked row whose account has no logged-on session would otherwise be
    // left out of the order without a word.
    for (size_t i = 1; i <= rows.Count(); ++i) {
        platform::ListItem& row = rows.Item(i);
        if (!row.Checked()) continue;
        const int32_t account = runtime::CLng(runtime::Val(row.Text()));
        if (FirstLoggedOn(account)) continue;
        ports_.frmJournal->Add(kNotLoggedOnNote, account, true);
        row.setSubItems(2, kNotLoggedOnNote);
        row.setSubItemForeColor(2, kRed);
    }
}

CClientAPIManagers::ResultText CClientAPIManagers::ResultTextOf(int32_t code) {
    switch (code) {
        case 2:
            return {"No Privilege ", true, true};
        case 3:
            return {"Invalid Account ", true, false};
        case 4:
            return {"Cannot Change Price ", true, true};
        case 6:
            return {"Timer Expired", true, true};
        case 7:
            return {"Invalid Ticket", true, true};
        case 8:
            return {"Invalid Lots", true, true};
        case 10:
            return {"Invalid Order ID", true, true};
        case 21:
            return {"Invalid Price", true, true};
        default:
            return {nullptr, false, false};
    }
}

void CClientAPIManagers::Result(int32_t ResultCode, int32_t AccountID,
                                const std::string& SessionKey) {
    Ifrmorder& order = *ports_.frmorder;
    if (platform::ListItem* row = order.lvwConClients().Find(OrderPaneRowKey(AccountID))) {
        row->setSubItemForeColor(2, kRed);
        platform::ListItem* client = ports_.frmMain->lvwClients().Find(SessionKey);
        const bool invalid = client && client->SubItems(4) == "Invalid account ID";
        const ResultText result = ResultTextOf(ResultCode);
        if (row->Checked() && !invalid && result.text) {
            if (result.journal) ports_.frmJournal->Add(result.text, AccountID, true);
            if (result.cell) row->setSubItems(2, result.text);
        }
    }
    if (ResultCode != SuccessResult) order.Enableds(true);
}

// ---- Session look-ups ----

ManagerPtr GetFirstLoggedOnManager(DeskServices& desk) {
    for (const auto& entry : desk.Managers()->Children())
        if (LoggedOn(entry.value)) return entry.value;
    return nullptr;
}

ManagerPtr CurrentManagerForPrices(DeskServices& desk) {
    ManagerPtr current = desk.State().CurrentManager.lock();
    if (LoggedOn(current)) return current;
    current = GetFirstLoggedOnManager(desk);
    desk.State().CurrentManager = current;
    return current;
}

ManagerPtr PriceWriterFor(DeskServices& desk, int32_t SymbolID) {
    // Asked for every symbol of every session's quote: the sessions are looked
    // at without taking a share of them.
    auto knows = [SymbolID](const CClientAPIManager& s) {
        return s.CLAPICLASS()->SymbolByID(SymbolID) != nullptr;
    };
    ManagerPtr current = CurrentManagerForPrices(desk);
    if (!current || knows(*current)) return current;
    for (const auto& entry : desk.Managers()->Children())
        if (LoggedOn(entry.value) && knows(*entry.value)) return entry.value;
    return nullptr;
}

}  // namespace OrbanexDesk
