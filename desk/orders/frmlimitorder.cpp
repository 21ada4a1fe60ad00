#include "desk/orders/frmlimitorder.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>
#include <optional>

#include "desk/common/DeskProcedures.h"
#include "desk/common/MGeneral.h"
#include "desk/common/OrderPaneProcedures.h"
#include "desk/orders/EntryOrderTypes.h"
#include "desk/orders/EntrySubmission.h"
#include "desk/orders/PriceConditions.h"
#include "desk/positions/OrderDistribution.h"
#include "desk/sessions/CClientAPIManager.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/sessions/SessionLookups.h"
#include "desk/ui/Culf.h"
#include "desk/ui/ListProcedures.h"
#include "desk/ui/WindowProcedures.h"
#include "platform/widgets/ComboBox.h"
#include "platform/widgets/LabelButton.h"
#include "platform/widgets/ListView.h"
#include "runtime/Convert.h"
#include "runtime/Diagnostics.h"
#include "runtime/Strings.h"

namespace OrbanexDesk {

namespace {
constexpr size_t kAmount = 1;
constexpr size_t kResult = 2;
constexpr size_t kPendingAccount = 1, kPendingType = 2, kPendingAmount = 3, kPendingSymbol = 4,
                 kPendingPrice = 5, kPendingSL = 6, kPendingTP = 7;
constexpr size_t kPositionAccount = 1, kPositionSL = 8, kPositionTP = 9;
constexpr int32_t kRed = 255;
constexpr int32_t kBlack = 0;
constexpr const char* kCheckAll = "Check All";
constexpr const char* kUncheckAll = "Uncheck All";

int32_t AccountOf(const platform::ListItem& row) {
    return runtime::CLng(runtime::Val(row.Text()));
}
std::string Text(const QLineEdit* box) {
    return box->text().toStdString();
}
std::string Text(const QLabel* label) {
    return label->text().toStdString();
}
QLineEdit* Box(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}
QLabel* Condition(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setMinimumWidth(60);
    return label;
}
void SetText(QLineEdit* box, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (box->text() != value) box->setText(value);
}
bool IsEntryType(const std::string& type) {
    return type == "Buy stop" || type == "Sell stop" || type == "Sell limit" || type == "Buy limit";
}
}  // namespace

frmlimitorder::frmlimitorder(std::function<DeskServices*()> services, Hooks hooks, QWidget* parent)
    : QWidget(parent), services_(std::move(services)), hooks_(std::move(hooks)) {
    setObjectName("frmlimitorder");
    setMouseTracking(true);
    for (const char* type : {"Buy Limit", "Sell Limit", "Buy Stop", "Sell Stop"})
        types_.AddItem(type);
    for (const char* rule : kDistributionRules) rules_.AddItem(rule);

    cblimiordertype_ = new platform::widgets::ComboBox(types_, this);
    cblimiordertype_->setObjectName("cblimiordertype");
    cblimiordertype_->setEditable(false);
    cblimitordersymbols_ = new platform::widgets::ComboBox(symbols_, this);
    cblimitordersymbols_->setObjectName("cblimitordersymbols");
    CBlimitorderdis_ = new platform::widgets::ComboBox(rules_, this);
    CBlimitorderdis_->setObjectName("CBlimitorderdis");
    CBlimitorderdis_->setEditable(false);
    txtatprice_ = Box("txtatprice", this);
    txtsl_ = Box("txtsl", this);
    txttp_ = Box("txttp", this);
    txtlimitorderammount_ = Box("txtlimitorderammount", this);
    txtEditPrice_ = Box("txtEditPrice", this);
    txtEditPrice_->hide();
    cmdlimiorderdis_ = new QPushButton("Distribute", this);
    cmdlimiorderdis_->setObjectName("cmdlimiorderdis");
    cmdsubmitlimiorder_ = new QPushButton("Submit", this);
    cmdsubmitlimiorder_->setObjectName("cmdsubmitlimiorder");
    cmdcancel_ = new QPushButton("Cancel", this);
    cmdcancel_->setObjectName("cmdcancel");
    chkAllClients_ = new QCheckBox(this);
    chkAllClients_->setObjectName("chkAllClients");
    LblCheck_ = new platform::widgets::LabelButton(this);
    LblCheck_->setObjectName("LblCheck");
    LblCheck_->setText(kCheckAll);
    lblcondition_ = Condition("lblcondition", this);
    lblpricecondition_ = Condition("lblpricecondition", this);
    lblslcondition_ = Condition("lblslcondition", this);
    lblslchanged_ = Condition("lblslchanged", this);
    lbltpcondition_ = Condition("lbltpcondition", this);
    lbltpchanged_ = Condition("lbltpchanged", this);
    lvwConClients_ = new platform::widgets::ListView(rows_, this);
    lvwConClients_->setObjectName("lvwConClients");
    lvwConClients_->setCheckboxes(true);
    for (const char* caption : {"Account", "Amount", "Result"})
        lvwConClients_->AddColumn(caption, 1000);

    auto* grid = new QGridLayout;
    auto caption = [this](const char* text) { return new QLabel(text, this); };
    grid->addWidget(caption("Type"), 0, 0);
    grid->addWidget(cblimiordertype_, 0, 1);
    grid->addWidget(caption("Symbol"), 0, 2);
    grid->addWidget(cblimitordersymbols_, 0, 3);
    grid->addWidget(caption("At Price"), 1, 0);
    grid->addWidget(txtatprice_, 1, 1);
    grid->addWidget(lblcondition_, 1, 2);
    grid->addWidget(lblpricecondition_, 1, 3);
    grid->addWidget(caption("S/L"), 2, 0);
    grid->addWidget(txtsl_, 2, 1);
    grid->addWidget(lblslcondition_, 2, 2);
    grid->addWidget(lblslchanged_, 2, 3);
    grid->addWidget(caption("T/P"), 3, 0);
    grid->addWidget(txttp_, 3, 1);
    grid->addWidget(lbltpcondition_, 3, 2);
    grid->addWidget(lbltpchanged_, 3, 3);
    grid->addWidget(caption("Amount"), 4, 0);
    grid->addWidget(txtlimitorderammount_, 4, 1);
    grid->addWidget(caption("Distribute"), 4, 2);
    grid->addWidget(CBlimitorderdis_, 4, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkAllClients_);
    buttons->addWidget(LblCheck_);
    buttons->addStretch();
    buttons->addWidget(cmdlimiorderdis_);
    buttons->addWidget(cmdsubmitlimiorder_);
    buttons->addWidget(cmdcancel_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addLayout(buttons);
    column->addWidget(lvwConClients_, 1);

    // Code writes run these handlers as the dealer's changes do.
    links_[0] = symbols_.Change.Connect([this] { SymbolChanged(); });
    links_[1] = symbols_.Click.Connect([this] { SymbolChanged(); });
    links_[2] = types_.Change.Connect([this] { TypeChanged(); });
    links_[3] = types_.Click.Connect([this] { TypeChanged(); });
    links_[4] = rules_.Change.Connect([this] { setCmdsubmitlimiorderEnabled(false); });
    links_[5] = rules_.Click.Connect([this] { setCmdsubmitlimiorderEnabled(false); });
    links_[6] = lvwConClients_->ItemCheck.Connect([this](platform::ListItem&) { RowTicked(); });
    links_[7] = lvwConClients_->MouseDown.Connect(
        [this](int32_t, int32_t, double, double) { ListClicked(); });
    links_[8] = LblCheck_->Click.Connect([this] { LblCheck_Click(); });
    links_[9] = LblCheck_->MouseEnter.Connect([this] {
        if (looks_) looks_->LightONButton(*LblCheck_);
    });
    connect(txtatprice_, &QLineEdit::textChanged, this, [this] { PriceTextChanged(); });
    connect(txtlimitorderammount_, &QLineEdit::textChanged, this, [this] { PriceTextChanged(); });
    connect(txtsl_, &QLineEdit::textChanged, this, [this] { TextChanged(); });
    connect(txttp_, &QLineEdit::textChanged, this, [this] { TextChanged(); });
    connect(chkAllClients_, &QCheckBox::toggled, this,
            [this](bool checked) { chkAllClients_Click(checked); });
    connect(cmdlimiorderdis_, &QPushButton::clicked, this, [this] { cmdlimiorderdis_Click(); });
    connect(cmdsubmitlimiorder_, &QPushButton::clicked, this,
            [this] { cmdsubmitlimiorder_Click(); });
    connect(cmdcancel_, &QPushButton::clicked, this, [this] { cmdcancel_Click(); });
    for (QLineEdit* box : {txtatprice_, txtsl_, txttp_, txtlimitorderammount_})
        box->installEventFilter(this);

    // Initialised: Displayed is stored only; the pane is not touched.
    displayed_ = true;
    cmdcancel_->hide();
    resize(420, 320);
}

frmlimitorder::~frmlimitorder() {
    // The list view follows rows_, which goes before QWidget frees its children.
    delete lvwConClients_;
}

IfrmMain* frmlimitorder::Main() const {
    DeskServices* desk = Services();
    return desk ? desk->Ports().frmMain : nullptr;
}

ManagerPtr frmlimitorder::SessionOf(int32_t account) const {
    DeskServices* desk = Services();
    return desk ? SessionOfAccount(*desk->Managers(), account) : nullptr;
}

// ---- Rows ----

void frmlimitorder::Add(int32_t AccountID, int16_t key, const std::string& Text, double Amount) {
    // A session joins with its data loaded, at a re-login too, when its row stays.
    WatchSession(key);
    // Keyed by account: session numbers shift when a session is removed.
    if (rows_.Find(OrderPaneRowKey(AccountID))) return;
    platform::ListItem& row = rows_.Add(OrderPaneRowKey(AccountID), std::to_string(AccountID));
    row.setSubItems(kAmount, Text);
    row.setSubItems(kResult, Amount != 0 ? runtime::CStr(runtime::Variant(Amount)) : "");
}

void frmlimitorder::Remove(int32_t AccountID) {
    const std::string key = OrderPaneRowKey(AccountID);
    if (rows_.Find(key)) rows_.Remove(key);
}

void frmlimitorder::addNote(const std::string& Text, int32_t Account) {
    for (size_t i = 1; i <= rows_.Count(); ++i) {
        platform::ListItem& row = rows_.Item(i);
        if (row.Text() != std::to_string(Account)) continue;
        row.setSubItems(kResult, Text);
        row.setSubItemForeColor(kResult, kRed);
    }
}

void frmlimitorder::updateAmount(int32_t, double Amount, const std::string& Key) {
    if (platform::ListItem* row = rows_.Find(Key))
        row->setSubItems(kAmount, runtime::NumberToText(Amount));
}

void frmlimitorder::UpdateResult(const std::string& Text, int32_t key) {
    DeskServices* desk = Services();
    if (!desk) return;
    for (const auto& entry : desk->Managers()->Children()) {
        if (!entry.value || entry.value->key() != key) continue;
        if (platform::ListItem* row = rows_.Find(OrderPaneRowKey(entry.value->m_lAccount)))
            row->setSubItems(kResult, Text);
        return;
    }
}

std::string frmlimitorder::checkkey(int32_t index) {
    if (index < 1 || static_cast<size_t>(index) > rows_.Count()) return "";
    const ManagerPtr session = SessionOf(AccountOf(rows_.Item(index)));
    return session ? session->RowKey() : "";
}

void frmlimitorder::clearresult() {
    for (size_t i = 1; i <= rows_.Count(); ++i) rows_.Item(i).setSubItems(kResult, "");
}

void frmlimitorder::clearamount() {
    for (size_t i = 1; i <= rows_.Count(); ++i) rows_.Item(i).setSubItems(kAmount, "");
}

void frmlimitorder::uncheckall() {
    for (size_t i = 1; i <= rows_.Count(); ++i) rows_.Item(i).setChecked(false);
}

void frmlimitorder::ResetRows(bool results) {
    for (size_t i = 1; i <= rows_.Count(); ++i) {
        platform::ListItem& row = rows_.Item(i);
        row.setSubItems(kAmount, "");
        if (results) row.setSubItems(kResult, "");
        row.setChecked(false);
    }
}

void frmlimitorder::RowTicked() {
    clearresult();
}

void frmlimitorder::ListClicked() {
    if (platform::ListItem* row = rows_.SelectedItem()) {
        row->setSubItems(kResult, "");
        row->setSubItemForeColor(kResult, kBlack);
    }
}

// ---- Texts and labels ----

std::string frmlimitorder::txtatprice() const {
    return Text(txtatprice_);
}
std::string frmlimitorder::txtsl() const {
    return Text(txtsl_);
}
std::string frmlimitorder::txttp() const {
    return Text(txttp_);
}
std::string frmlimitorder::txtlimitorderammount() const {
    return Text(txtlimitorderammount_);
}
void frmlimitorder::setTxtatprice(const std::string& text) {
    SetText(txtatprice_, text);
}
void frmlimitorder::setTxtsl(const std::string& text) {
    SetText(txtsl_, text);
}
void frmlimitorder::setTxttp(const std::string& text) {
    SetText(txttp_, text);
}
void frmlimitorder::setTxtlimitorderammount(const std::string& text) {
    SetText(txtlimitorderammount_, text);
}
std::string frmlimitorder::lblpricecondition() const {
    return Text(lblpricecondition_);
}
std::string frmlimitorder::lblslchanged() const {
    return Text(lblslchanged_);
}
std::string frmlimitorder::lbltpchanged() const {
    return Text(lbltpchanged_);
}
void frmlimitorder::setLblcondition(const std::string& text) {
    shownFrom_.reset();
    lblcondition_->setText(QString::fromStdString(text));
}
void frmlimitorder::setLblpricecondition(const std::string& text) {
    shownFrom_.reset();
    lblpricecondition_->setText(QString::fromStdString(text));
}
void frmlimitorder::setLblslchanged(const std::string& text) {
    shownFrom_.reset();
    lblslchanged_->setText(QString::fromStdString(text));
}
void frmlimitorder::setLblslcondition(const std::string& text) {
    shownFrom_.reset();
    lblslcondition_->setText(QString::fromStdString(text));
}
void frmlimitorder::setLbltpchanged(const std::string& text) {
    shownFrom_.reset();
    lbltpchanged_->setText(QString::fromStdString(text));
}
void frmlimitorder::setLbltpcondition(const std::string& text) {
    shownFrom_.reset();
    lbltpcondition_->setText(QString::fromStdString(text));
}

void frmlimitorder::setCmdsubmitlimiorderEnabled(bool enabled) {
    cmdsubmitlimiorder_->setEnabled(enabled);
}
void frmlimitorder::setCmdlimiorderdisEnabled(bool enabled) {
    cmdlimiorderdis_->setEnabled(enabled);
}
bool frmlimitorder::SubmitEnabled() const {
    return cmdsubmitlimiorder_->isEnabled();
}
bool frmlimitorder::CancelVisible() const {
    return !cmdcancel_->isHidden();
}

// ---- Change handlers ----

void frmlimitorder::SymbolChanged() {
    DeskServices* desk = Services();
    paneSymbol_ = desk ? GetCollectionItem(desk->State(), symbols_.Text()) : nullptr;
    ResetRows(true);
    if (paneSymbol_ && VisibilityFlag(*desk->Managers(), rows_, paneSymbol_->Name()))
        RunPriceConditions();
    chkAllClients_->setChecked(false);
    setTxtatprice("");
    setTxtlimitorderammount("");
    setCmdsubmitlimiorderEnabled(false);
}

void frmlimitorder::TypeChanged() {
    setTxtsl("");
    setTxttp("");
    setCmdsubmitlimiorderEnabled(false);
    RunPriceConditions();
    if (IfrmMain* main = Main()) main->textchanged();
}

void frmlimitorder::PriceTextChanged() {
    setCmdsubmitlimiorderEnabled(false);
    RunPriceConditions();
    if (IfrmMain* main = Main()) main->textchanged();
}

void frmlimitorder::TextChanged() {
    if (IfrmMain* main = Main()) main->textchanged();
}

bool frmlimitorder::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && event->type() == QEvent::FocusIn) SelectAllTextOnFocus(*box);
    if (box && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        int16_t ascii = 0;
        if (key->key() == Qt::Key_Backspace)
            ascii = 8;
        else if (key->text().size() == 1 && key->text()[0].unicode() >= 32)
            ascii = static_cast<int16_t>(key->text()[0].unicode());
        else
            return QWidget::eventFilter(watched, event);  // moves and edits pass
        IfrmMain* main = Main();
        if (main && main->askycodekeypress(ascii, Text(box)) == 0) return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Price conditions ----

void frmlimitorder::limitorderpricechange() {
    // The sessions call this on every quote of every account: the labels show the
    // prices of the turn's end, one run per turn, and none when the turn's quotes
    // left the pane's symbol as it was.
    if (priceRunQueued_) return;
    priceRunQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        priceRunQueued_ = false;
        // A timer's slot: nothing may leave it for the event loop.
        runtime::RunReported("frmlimitorder price conditions",
                             [this] { RunPriceConditions(true); });
    });
}

void frmlimitorder::RunPriceConditions(bool unlessShown) {
    DeskServices* desk = Services();
    if (!desk) return;
    paneSymbol_ = GetCollectionItem(desk->State(), symbols_.Text());
    PriceConditionInputs in;
    in.PaneMode = paneMode_;
    in.PositionSide = positionSide_;
    in.typeIndex = types_.ListIndex();
    in.symbolIndex = symbols_.ListIndex();
    in.txtatprice = txtatprice();
    if (paneSymbol_)
        in.symbol = PriceConditionInputs::Quote{paneSymbol_->Bid(), paneSymbol_->Ask()};
    // The offsets are the listed accounts': an account comes and goes with its row.
    PriceRunInputs inputs{paneSymbol_.get(),
                          in.symbol ? in.symbol->bid : 0,
                          in.symbol ? in.symbol->ask : 0,
                          in.PaneMode,
                          in.symbolIndex,
                          rows_.Generation()};
    if (unlessShown && shownFrom_ == inputs) return;
    const SymbolPtr symbol = paneSymbol_;
    in.visible = [&] { return VisibilityFlag(*desk->Managers(), rows_, symbol->Name()); };
    // Both offsets come from one walk over the rows.
    std::optional<CClientAPIManagers::EntryOffsets> offsets;
    auto offsetsOnce = [&]() -> const CClientAPIManagers::EntryOffsets& {
        if (!offsets) offsets = desk->Managers()->Offsets(symbol->ID());
        return *offsets;
    };
    in.limitOffset = [&] { return offsetsOnce().limit; };
    in.stopOffset = [&] { return offsetsOnce().stop; };
    const ConditionLabels labels = PriceConditions::Compute(in);
    if (labels.lblcondition) setLblcondition(*labels.lblcondition);
    if (labels.lblpricecondition) setLblpricecondition(*labels.lblpricecondition);
    if (labels.lblslcondition) setLblslcondition(*labels.lblslcondition);
    if (labels.lblslchanged) setLblslchanged(*labels.lblslchanged);
    if (labels.lbltpcondition) setLbltpcondition(*labels.lbltpcondition);
    if (labels.lbltpchanged) setLbltpchanged(*labels.lbltpchanged);
    shownFrom_ = std::move(inputs);
}

void frmlimitorder::WatchSession(int16_t key) {
    shownFrom_.reset();
    DeskServices* desk = Services();
    const ManagerPtr session = desk ? desk->Managers()->Item("C" + std::to_string(key)) : nullptr;
    const auto api = session ? session->CLAPICLASS() : nullptr;
    if (!api) return;
    std::erase_if(watched_, [](const WatchedSession& w) { return w.api.expired(); });
    for (const WatchedSession& w : watched_)
        if (w.api.lock() == api) return;
    // A login writes the symbols' new prices at its symbol load and the account's
    // offsets with its selection's answers, which end with the pending orders; no
    // quote need follow either, so each runs the conditions as a quote does.
    auto rerun = [this] {
        shownFrom_.reset();
        limitorderpricechange();
    };
    watched_.push_back({api, api->ConnectionState.Connect([this](bool) { shownFrom_.reset(); }),
                        api->SymbolsLoaded.Connect(rerun),
                        api->PendingOrdersLoaded.Connect(rerun)});
}

void frmlimitorder::sltpprice() {
    DeskServices* desk = Services();
    if (!desk) return;
    const ManagerPtr first = GetFirstLoggedOnManager(*desk);
    if (txtatprice().empty() || symbols_.ListIndex() == -1 || !first) return;
    const SymbolPtr symbol = GetCollectionItem(desk->State(), symbols_.Text());
    if (!symbol) return;
    const double at = runtime::Val(txtatprice());
    const auto api = first->ClientAPIF();
    setLblslchanged(
        runtime::NumberToText(api->SlTpPrice(OrbanelGeneral10::SellType, symbol->ID(), "SL", at)));
    setLbltpchanged(
        runtime::NumberToText(api->SlTpPrice(OrbanelGeneral10::SellType, symbol->ID(), "TP", at)));
}

// ---- Check all ----

void frmlimitorder::setChkAllClients(bool checked) {
    chkAllClients_->setChecked(checked);
}

void frmlimitorder::chkAllClients_Click(bool checked) {
    DeskServices* desk = Services();
    if (!checked) {
        LblCheck_->setText("Check all");
        uncheckall();
        return;
    }
    LblCheck_->setText("Uncheck all");
    clearresult();
    if (desk) CheckAllClients(*desk, rows_, true);
}

void frmlimitorder::LblCheck_Click() {
    const bool check = !chkAllClients_->isChecked();
    setChkAllClients(check);
    LblCheck_->setText(check ? kUncheckAll : kCheckAll);
}

void frmlimitorder::mouseMoveEvent(QMouseEvent* event) {
    if (looks_) looks_->LightOFFButton(*LblCheck_);
    QWidget::mouseMoveEvent(event);
}

// ---- Distribution ----

void frmlimitorder::Distribute(double total, int16_t rule, const SymbolPtr& Symbol) {
    DeskServices* desk = Services();
    if (!desk) return;
    DistributeOver(*desk, rows_, total, rule, Symbol, CDistribution::Pane::EntryOrder,
                   [this](int32_t account, double amount, const std::string& key) {
                       updateAmount(account, amount, key);
                   });
}

void frmlimitorder::cmdlimiorderdis_Click() {
    DeskServices* desk = Services();
    auto message = [desk](const char* text) {
        if (desk && desk->Ports().Messages)
            desk->Ports().Messages->ShowMessage(text, EntrySubmission::kDefaultCaption, false);
    };
    const std::string total = txtlimitorderammount();
    if (total.empty()) return message(CDistribution::kFillFields);
    // A pasted total ("-1", "1e1", " 1 ") is refused before any row is touched, as
    // the market pane refuses it.
    if (!IsLotsText(total)) return message(kInvalidLots);
    if (desk && (!symbols_.Text().empty() || !paneSymbol_))
        paneSymbol_ = GetCollectionItem(desk->State(), symbols_.Text());
    clearamount();
    clearresult();
    Distribute(runtime::Val(total), static_cast<int16_t>(rules_.ListIndex()), paneSymbol_);
    setCmdsubmitlimiorderEnabled(true);
}

// ---- Modes and resets ----

void frmlimitorder::SelectTypeText(const std::string& text) {
    // "Buy limit" of the pending list selects "Buy Limit": Submit reads the position.
    for (size_t i = 0; i < types_.ListCount(); ++i) {
        if (runtime::LCase(types_.List(i)) == runtime::LCase(text)) {
            types_.setListIndex(static_cast<int32_t>(i));
            return;
        }
    }
    types_.setText(text);
}

void frmlimitorder::EdirMode() {
    DeskServices* desk = Services();
    IfrmPending* pendingPane = desk ? desk->Ports().frmPending : nullptr;
    const platform::ListItem* pending =
        pendingPane ? pendingPane->lvwPending().SelectedItem() : nullptr;
    const std::string type = pending ? pending->SubItems(kPendingType) : std::string();
    const bool manageSell = type == "Sell(Manage)", manageBuy = type == "Buy(Manage)";
    if (!IsEntryType(type) && !manageSell && !manageBuy) {
        cmdcancel_Click();
        return;
    }
    // The row's texts now: the handlers below may change the pending list.
    const std::string orderId = pending->Text(), account = pending->SubItems(kPendingAccount),
                      amount = pending->SubItems(kPendingAmount),
                      symbol = pending->SubItems(kPendingSymbol),
                      price = pending->SubItems(kPendingPrice), sl = pending->SubItems(kPendingSL),
                      tp = pending->SubItems(kPendingTP);
    isEditing_ = true;
    editAmount_ = amount;
    positionRow_.clear();  // a pending order's request serves no position row
    if (symbols_.Contains(symbol)) SelectComboText(symbols_, symbol);
    txtatprice_->setEnabled(true);
    setDisplayed(true);
    cblimiordertype_->setEnabled(false);
    cblimitordersymbols_->setEnabled(false);
    cmdcancel_->show();
    cmdlimiorderdis_->hide();
    CBlimitorderdis_->setEnabled(false);
    setCmdsubmitlimiorderEnabled(true);
    if (IsEntryType(type)) {
        paneMode_ = kModeLimitOrders;
        SelectTypeText(type);
    } else if (manageSell) {
        positionSide_ = "Buy";
        SelectTypeText("Buy Limit");
        paneMode_ = kModeSLTP;
        txtatprice_->setEnabled(false);
    } else {
        positionSide_ = "Sell";
        SelectTypeText("Sell Limit");
        txtatprice_->setEnabled(false);
        paneMode_ = kModeSLTP;
    }
    setTxtlimitorderammount(amount);
    setTxtatprice(price);
    setTxttp(tp);
    setTxtsl(sl);
    uncheckall();
    chkAllClients_->setEnabled(false);
    for (size_t i = 1; i <= rows_.Count(); ++i) {
        platform::ListItem& row = rows_.Item(i);
        const bool mine = row.Text() == account;
        row.setSubItems(kAmount, mine ? txtlimitorderammount() : "");
        row.setSubItems(kResult, "");
        if (mine) row.setChecked(true);
    }
    lvwConClients_->setEnabled(false);
    editID_ = runtime::CLng(runtime::Val(orderId));
}

void frmlimitorder::ResetControls() {
    txtEditPrice_->hide();
    txtEditPrice_->clear();
    cblimiordertype_->setEnabled(true);
    cblimitordersymbols_->setEnabled(true);
    cmdcancel_->hide();
    CBlimitorderdis_->setEnabled(true);
    cmdlimiorderdis_->show();
    lblcondition_->show();
    lblpricecondition_->show();
    paneMode_.clear();
    setTxtlimitorderammount("");
    setTxtatprice("");
    setTxttp("");
    setTxtsl("");
    chkAllClients_->setEnabled(true);
    lvwConClients_->setEnabled(true);
    chkAllClients_->setChecked(false);
}

void frmlimitorder::cmdcancel_Click() {
    ResetControls();
    ResetRows(true);
    isEditing_ = false;
    positionRow_.clear();
    txtatprice_->setEnabled(true);
}

void frmlimitorder::clearFrmlimit() {
    setDisplayed(true);
    ResetControls();
    ResetRows(false);  // the submission's results stay in sight
    isEditing_ = false;
    positionRow_.clear();
    txtatprice_->setEnabled(true);
}

void frmlimitorder::setDisplayed(bool shown) {
    displayed_ = shown;
    if (hooks_.Displayed) hooks_.Displayed(shown);
}

void frmlimitorder::ManageSuccSLTPResult() {
    DeskServices* desk = Services();
    IfrmTrade* trade = desk ? desk->Ports().frmTrade : nullptr;
    // Looked up now: the sessions replace the row on every update of the position.
    platform::ListItem* row =
        trade && !positionRow_.empty() ? trade->lvwOpenPos().Find(positionRow_) : nullptr;
    if (!row) return;
    row->setSubItems(kPositionSL, txtsl());
    row->setSubItems(kPositionTP, txttp());
}

// ---- Submit ----

void frmlimitorder::cmdsubmitlimiorder_Click() {
    DeskServices* desk = Services();
    if (!desk) return;
    submittedPrice_ = txtatprice();
    submittedType_ = types_.Text();
    submittedSymbol_ = symbols_.Text();
    submittedSL_ = txtsl();
    submittedTP_ = txttp();
    txtEditPrice_->hide();
    txtEditPrice_->clear();
    clearresult();

    SubmissionSnapshot in;
    in.IsEditing = isEditing_;
    in.PaneMode = paneMode_;
    in.EditID = editID_;
    in.typeIndex = types_.ListIndex();
    in.symbol = symbols_.Text();
    in.txtatprice = txtatprice();
    in.txtsl = txtsl();
    in.txttp = txttp();
    in.txtlimitorderammount = txtlimitorderammount();
    in.CBlimitorderdis = rules_.Text();
    std::optional<int32_t> firstChecked;
    for (size_t i = 1; i <= rows_.Count(); ++i) {
        const platform::ListItem& item = rows_.Item(i);
        EntryRow row{.key = item.Key(),
                     .text = item.Text(),
                     .amount = item.SubItems(kAmount),
                     .checked = item.Checked()};
        if (row.checked) {
            const ManagerPtr session = SessionOf(AccountOf(item));
            row.hasSession = session != nullptr;
            if (session && !isEditing_) row.symbolId = session->GetIDByName(in.symbol);
            if (!firstChecked) firstChecked = AccountOf(item);
        }
        in.rows.push_back(std::move(row));
    }
    if (!positionRow_.empty()) {
        const platform::ListItem* position =
            desk->Ports().frmTrade ? desk->Ports().frmTrade->lvwOpenPos().Find(positionRow_)
                                   : nullptr;
        in.positionAccount = position
                                 ? runtime::CLng(runtime::Val(position->SubItems(kPositionAccount)))
                                 : firstChecked.value_or(0);
    }
    if (IfrmPending* pending = desk->Ports().frmPending) {
        platform::ListView& orders = pending->lvwPending();
        for (size_t i = 1; i <= orders.Count(); ++i) {
            const platform::ListItem& order = orders.Item(i);
            const std::string type = order.SubItems(kPendingType);
            if (type != "Buy(Manage)" && type != "Sell(Manage)") continue;
            in.manageOrders.push_back(
                {.orderId = runtime::CLng(runtime::Val(order.Text())),
                 .account = runtime::CLng(runtime::Val(order.SubItems(kPendingAccount))),
                 .ticket = runtime::CLng(runtime::Val(order.Tag()))});
        }
    }

    const SubmissionPlan plan = EntrySubmission::Plan(in);
    for (const auto& [key, text] : plan.amounts)
        if (platform::ListItem* row = rows_.Find(key)) row->setSubItems(kAmount, text);
    for (const auto& [key, text] : plan.results)
        if (platform::ListItem* row = rows_.Find(key)) row->setSubItems(kResult, text);
    for (const EntryCommand& c : plan.commands) {
        const ManagerPtr session = SessionOf(c.account);
        if (!session || !session->ClientAPIF()) continue;
        const runtime::Variant sl(c.sl), tp(c.tp);
        int32_t code = 0;
        switch (c.kind) {
            case EntryCommandKind::NewLimitOrder:
                code =
                    session->SendLimitOrder(static_cast<OrbanelGeneral10::OperationTypeEnum>(c.id),
                                            c.symbolId, c.lots, c.price, sl, tp);
                break;
            case EntryCommandKind::UpdateLimitOrder:
                code = session->SendLimitOrderUpdate(c.id, c.lots, c.price, sl, tp);
                break;
            case EntryCommandKind::NewSLTPOrder:
                code = session->SendSLTPOrder(c.id, c.lots, sl, tp);
                break;
            case EntryCommandKind::UpdateSLTPOrder:
                code = session->SendSLTPOrderUpdate(c.id, c.lots, sl, tp);
                break;
        }
        if (IfrmMain* main = Main()) main->Result(code, c.key, c.account);
    }
    if (plan.reset) clearFrmlimit();
    if (!plan.message.empty() && desk->Ports().Messages)
        desk->Ports().Messages->ShowMessage(plan.message, plan.caption, false);
}

// ---- Window ----

void frmlimitorder::Form_Activate() {
    DeskServices* desk = Services();
    if (!desk || symbols_.ListCount() == 0 || !symbols_.Text().empty()) return;
    types_.setListIndex(0);
    symbols_.setListIndex(0);
}

void frmlimitorder::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Form_Activate();
}

void frmlimitorder::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyColumnWidths(*lvwConClients_, widths_, &percentages_);
    widths_ = kResizedWidths;
}

}  // namespace OrbanexDesk
