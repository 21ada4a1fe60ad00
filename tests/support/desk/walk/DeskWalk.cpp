#include "tests/support/desk/walk/DeskWalk.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "desk/MGeneralMain.h"
#include "desk/accounts/AccountInput.h"
#include "desk/common/DeskProcedures.h"
#include "desk/common/PaneTable.h"
#include "desk/orders/frmlimitorder.h"
#include "desk/orders/frmorder.h"
#include "desk/positions/frmClosePos.h"
#include "desk/shell/frmMdiNew.h"
#include "desk/ui/frmPriceChanged.h"
#include "platform/EventLoop.h"
#include "platform/widgets/CommandBars.h"
#include "platform/widgets/MessageBoxWindow.h"
#include "runtime/Strings.h"
#include "simserver/Demo.h"
#include "simserver/Server.h"

namespace testsupport {

namespace {

using namespace OrbanexDesk;

constexpr int32_t kCmdShowClosePosition = 100054;
constexpr size_t kTradeAccount = 1;
constexpr size_t kTradeSymbol = 5;
constexpr size_t kPendingType = 2;
// Far enough below the walking quotes to stay a valid Buy Limit.
constexpr double kLimitBelow = 0.0100;

std::string Key(int32_t account) {
    return "C" + std::to_string(account);
}

const simserver::Symbol* FindSymbol(const simserver::Book& book, const std::string& name) {
    for (const simserver::Symbol& s : book.symbols)
        if (s.name == name) return &s;
    return nullptr;
}

void TypeInto(QLineEdit& box, const std::string& text) {
    box.clear();
    QTest::keyClicks(&box, QString::fromStdString(text));
}

}  // namespace

DeskWalk::DeskWalk(MGeneral& desk, simserver::Server& server, int32_t waitMs)
    : desk_(desk), server_(server), waitMs_(waitMs) {
    if (!server_.QuotesRunning()) server_.StartQuotes(100, 25);
    for (const simserver::Account& a : server_.book().accounts) {
        if (a.mode.kind == simserver::AnswerMode::Accept) accepting_.push_back(a.id);
        if (a.mode.kind == simserver::AnswerMode::Requote && !requoting_) requoting_ = a.id;
    }
}

void DeskWalk::SeedHome(const simserver::Server& server) {
    SeedDemoHome("127.0.0.1", server.Port(), DemoAccounts(server.book()));
}

std::vector<DemoAccount> DeskWalk::DemoAccounts(const simserver::Book& book) {
    std::vector<DemoAccount> accounts;
    for (const std::string& line : simserver::CredentialLines(book)) {
        const auto parts = runtime::Split(line, " ");
        if (parts.size() == 3) accounts.push_back({parts[0], parts[1], std::stoi(parts[2])});
    }
    return accounts;
}

std::string DeskWalk::Run() {
    using Step = std::string (DeskWalk::*)();
    for (Step step :
         {&DeskWalk::LogIn, &DeskWalk::MarketOrder, &DeskWalk::BuyLimitForTwo,
          &DeskWalk::CloseSymbol, &DeskWalk::RequotedMarketOrder, &DeskWalk::AcceptRequote}) {
        std::string fault = (this->*step)();
        if (!fault.empty()) return fault;
    }
    return {};
}

std::string DeskWalk::LogIn() {
    const DeskPorts& ports = desk_.Services().Ports();
    platform::ListView& clients = desk_.Accounts().lvwClients();
    const size_t expected = simserver::CredentialLines(server_.book()).size();
    auto* pane = dynamic_cast<frmorder*>(ports.frmorder);
    if (!pane) return "no market-order pane";
    const bool ready = platform::EventLoop::RunUntil(
        [&] {
            if (clients.Count() != expected || pane->lvwConClients().Count() != expected)
                return false;
            for (size_t i = 1; i <= clients.Count(); ++i)
                if (clients.Item(i).SubItems(kStatusColumn) != "Connected" ||
                    clients.Item(i).SubItems(kBalanceColumn).empty())
                    return false;
            return true;
        },
        waitMs_);
    if (!ready) return "every account Connected with its summaries";
    const simserver::Symbol* symbol = FindSymbol(server_.book(), kSymbol);
    if (!symbol) return "the symbol in the book";
    const std::string row = "S" + std::to_string(symbol->id);
    platform::ListView& watch = ports.frmMW->lvmw();
    if (!platform::EventLoop::RunUntil([&] { return watch.Find(row) != nullptr; }, waitMs_))
        return "the symbol in Market Watch";
    const std::string first = watch.Find(row)->SubItems(1) + "|" + watch.Find(row)->SubItems(2);
    if (!platform::EventLoop::RunUntil(
            [&] {
                const platform::ListItem* item = watch.Find(row);
                return item && item->SubItems(1) + "|" + item->SubItems(2) != first;
            },
            waitMs_))
        return "a Market Watch quote that moves";
    return {};
}

std::vector<std::string> DeskWalk::SymbolPositions() const {
    std::vector<std::string> keys;
    platform::ListView& trades = desk_.Services().Ports().frmTrade->lvwOpenPos();
    for (size_t i = 1; i <= trades.Count(); ++i)
        if (trades.Item(i).SubItems(kTradeSymbol) == kSymbol) keys.push_back(trades.Item(i).Key());
    return keys;
}

std::string DeskWalk::MarketBuy(const std::vector<int32_t>& accounts, const std::string& lots) {
    auto* pane = dynamic_cast<frmorder*>(desk_.Services().Ports().frmorder);
    if (!pane) return "no market-order pane";
    desk_.Shell().SelectPane(kPaneNewPosition);
    SelectComboText(pane->cbsymbols(), kSymbol);
    if (pane->cbsymbols().Text() != kSymbol) return std::string(kSymbol) + " in the pane";
    platform::ListView& rows = pane->lvwConClients();
    for (size_t i = 1; i <= rows.Count(); ++i) {
        const std::string key = rows.Item(i).Key();
        rows.Item(i).setChecked(std::any_of(accounts.begin(), accounts.end(),
                                            [&](int32_t a) { return Key(a) == key; }));
    }
    TypeInto(pane->Txtammount(), lots);
    QTest::mouseClick(&pane->Cmddis(), Qt::LeftButton);
    if (!pane->Cmdbuy().isVisible() || !pane->Cmdbuy().isEnabled()) return "Buy after Distribute";
    QTest::mouseClick(&pane->Cmdbuy(), Qt::LeftButton);
    return {};
}

std::string DeskWalk::MarketOrder() {
    const size_t before = SymbolPositions().size();
    if (std::string fault = MarketBuy(accepting_, kLots); !fault.empty()) return fault;
    if (!platform::EventLoop::RunUntil(
            [&] { return SymbolPositions().size() == before + accepting_.size(); }, waitMs_))
        return "a position for each accepting account";
    return {};
}

std::string DeskWalk::BuyLimitForTwo() {
    const DeskPorts& ports = desk_.Services().Ports();
    auto* pane = dynamic_cast<frmlimitorder*>(ports.frmlimitorder);
    if (!pane) return "no entry-order pane";
    if (accepting_.size() < 2) return "two accepting accounts";
    const simserver::Symbol* symbol = FindSymbol(server_.book(), kSymbol);
    char price[32];
    std::snprintf(price, sizeof price, "%.4f", symbol->bid - kLimitBelow);
    limitPrice_ = price;
    desk_.Shell().SelectPane(kPaneNewEntryOrder);
    SelectComboText(pane->cblimitordersymbols(), kSymbol);
    pane->cblimiordertype().setListIndex(0);
    platform::ListView& rows = pane->lvwConClients();
    for (size_t i = 1; i <= rows.Count(); ++i) {
        const std::string key = rows.Item(i).Key();
        rows.Item(i).setChecked(key == Key(accepting_[0]) || key == Key(accepting_[1]));
    }
    auto* atPrice = pane->findChild<QLineEdit*>("txtatprice");
    auto* amount = pane->findChild<QLineEdit*>("txtlimitorderammount");
    auto* distribute = pane->findChild<QPushButton*>("cmdlimiorderdis");
    auto* submit = pane->findChild<QPushButton*>("cmdsubmitlimiorder");
    if (!atPrice || !amount || !distribute || !submit) return "the entry pane's controls";
    TypeInto(*atPrice, limitPrice_);
    TypeInto(*amount, kLimitLots);
    QTest::mouseClick(distribute, Qt::LeftButton);
    if (!pane->SubmitEnabled()) return "Submit enabled for " + limitPrice_;
    platform::ListView& pending = ports.frmPending->lvwPending();
    auto buyLimits = [&] {
        size_t n = 0;
        for (size_t i = 1; i <= pending.Count(); ++i)
            n += pending.Item(i).SubItems(kPendingType) == "Buy limit";
        return n;
    };
    const size_t before = buyLimits();
    QTest::mouseClick(submit, Qt::LeftButton);
    if (!platform::EventLoop::RunUntil([&] { return buyLimits() == before + 2; }, waitMs_))
        return "two Buy limit rows in Pending";
    return {};
}

std::string DeskWalk::CloseSymbol() {
    closed_ = SymbolPositions();
    frmMdiNew& shell = desk_.Shell();
    platform::widgets::CommandBarControl* show =
        shell.GetCommandBarControl(kBarView, kCmdShowClosePosition);
    if (!show) return "the View bar's Close Position";
    shell.CommandBars_Execute(*show);
    frmClosePos& pane = desk_.ClosePos();
    if (!pane.Window()) return "the close pane's window";
    SelectComboText(pane.CloseSymbols(), kSymbol);
    auto* all = pane.Window()->findChild<QCheckBox*>("chkAllClients");
    auto* closeAll = pane.Window()->findChild<QLabel*>("LblCheck");
    if (!all || !closeAll) return "the close pane's controls";
    if (!all->isChecked()) QTest::mouseClick(all, Qt::LeftButton);
    QTest::mouseClick(closeAll, Qt::LeftButton);
    platform::widgets::MessageBoxWindow* box = nullptr;
    if (!platform::EventLoop::RunUntil([&] { return (box = QuestionBox()) != nullptr; }, waitMs_))
        return "the question box";
    QTest::mouseClick(&box->Button(1), Qt::LeftButton);
    if (!platform::EventLoop::RunUntil([&] { return SymbolPositions().empty(); }, waitMs_))
        return "no position left on the symbol";
    return {};
}

std::string DeskWalk::RequotedMarketOrder() {
    if (!requoting_) return "a re-quoting account";
    if (std::string fault = MarketBuy({requoting_}, kLots); !fault.empty()) return fault;
    if (!platform::EventLoop::RunUntil([] { return RequoteDialog() != nullptr; }, waitMs_))
        return "the re-quote dialog";
    return {};
}

std::string DeskWalk::AcceptRequote() {
    frmPriceChanged* dialog = RequoteDialog();
    if (!dialog) return "the re-quote dialog";
    platform::ListView& trades = desk_.Services().Ports().frmTrade->lvwOpenPos();
    auto opened = [&] {
        for (size_t i = 1; i <= trades.Count(); ++i)
            if (trades.Item(i).SubItems(kTradeSymbol) == kSymbol &&
                trades.Item(i).SubItems(kTradeAccount) == std::to_string(requoting_))
                return true;
        return false;
    };
    QTest::mouseClick(&dialog->cmdAccept(), Qt::LeftButton);
    if (!platform::EventLoop::RunUntil(opened, waitMs_)) return "the re-quoted position in Trade";
    return {};
}

frmPriceChanged* DeskWalk::RequoteDialog() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = dynamic_cast<frmPriceChanged*>(w); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

platform::widgets::MessageBoxWindow* DeskWalk::QuestionBox() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = dynamic_cast<platform::widgets::MessageBoxWindow*>(w);
            box && box->isVisible() && box->Label().text().contains("Are you sure"))
            return box;
    return nullptr;
}

}  // namespace testsupport
