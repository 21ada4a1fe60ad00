#include "desk/positions/PositionForms.h"

#include <QCheckBox>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include "desk/common/PaneTable.h"
#include "desk/ui/Culf.h"
#include "desk/ui/ListProcedures.h"
#include "desk/ui/PopupKeys.h"
#include "platform/widgets/LabelButton.h"

namespace OrbanexDesk {

namespace {
// The first width a column gets, before the form knows its own width.
constexpr double kInitialColumnTwips = 1200;
}  // namespace

// ---- The list every form shows ----

ListForm::ListForm(const char* name, std::initializer_list<const char*> captions,
                   std::string widths)
    : view_(new platform::widgets::ListView(store_, this)), widths_(std::move(widths)) {
    setObjectName(name);
    for (const char* caption : captions) view_->AddColumn(caption, kInitialColumnTwips);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view_);
}

// The view follows the store, so it goes first (children outlive members).
ListForm::~ListForm() {
    delete view_;
}

void ListForm::setColumnWidthsPer(const std::string& widths) {
    widths_ = widths;
    ApplyColumnWidths(*view_, widths_, &cache_);
}

void ListForm::setPopup(int32_t PopupID) {
    auto open = [this, PopupID] {
        if (store_.Count() > 0 && ShowPopup) ShowPopup(PopupID);
    };
    mouseDown_ = view_->MouseDown.Connect(
        [this](int32_t button, int32_t, double, double) { rightButtonDown_ = button == 2; });
    mouseUp_ = view_->MouseUp.Connect([this, open](int32_t, int32_t, double, double) {
        if (rightButtonDown_) open();
    });
    PopupKeys::Install(*view_, open);
}

void ListForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyColumnWidths(*view_, widths_, &cache_);
}

// ---- Trade ----

namespace {
// The summary line is rewritten as quotes come in, and a label asks its parent's
// layout to lay out again at every new text, which here would lay out the whole
// main window. So the label sits alone in a strip with no layout of its own; the
// strip's size is one line of the label's font at any width (a longer text is cut
// where it is drawn).
class SummaryStrip : public QWidget {
public:
    explicit SummaryStrip(QWidget* parent) : QWidget(parent), label_(new QLabel("   ", this)) {}
    QLabel* Label() const { return label_; }
    QSize sizeHint() const override { return {Metrics().averageCharWidth() * 40, Height()}; }
    QSize minimumSizeHint() const override { return {1, Height()}; }

protected:
    void resizeEvent(QResizeEvent*) override { label_->setGeometry(rect()); }

private:
    QFontMetrics Metrics() const { return label_->fontMetrics(); }
    int Height() const {
        return Metrics().height() + 2 * (label_->margin() + label_->frameWidth());
    }
    QLabel* label_;
};
}  // namespace

frmTrade::frmTrade(CoreFactory makeCore)
    : ListForm("frmTrade",
               {"Ticket", "Account", "Date/Time", "Type", "Amount", "Symbol", "Open Price",
                "Current Price", "S/L", "T/P", "Comm", "Interest", "P/L"},
               "9,9,12,4,8,8,6,8,6,6,6,5,9"),
      makeCore_(std::move(makeCore)),
      chkAll_(new QCheckBox(this)),
      summaryStrip_(new SummaryStrip(this)),
      lbmSummaries_(static_cast<SummaryStrip*>(summaryStrip_)->Label()),
      lbbClose_(new platform::widgets::LabelButton(this)) {
    view_->setCheckboxes(true);
    // imlTrade: image 1 marks a buy, image 2 a sell.
    view_->setSmallIcons(
        {style()->standardIcon(QStyle::SP_ArrowUp), style()->standardIcon(QStyle::SP_ArrowDown)});
    setPopup(kBarTradePopup);
    lbbClose_->setObjectName("lbbClose");
    lbbClose_->setText("Close Selected Positions");
    lbbClose_->setCursor(Qt::PointingHandCursor);
    // A label to the mouse, a button to the keyboard.
    lbbClose_->setTabStop(true);
    closeClick_ = lbbClose_->Click.Connect([this] { lbbClose_Click(); });
    lightOn_ = lbbClose_->MouseEnter.Connect([this] {
        if (const Culf* looks = Looks ? Looks() : nullptr) looks->LightONButton(*lbbClose_);
    });
    lightOff_ = lbbClose_->MouseLeave.Connect([this] {
        if (const Culf* looks = Looks ? Looks() : nullptr) looks->LightOFFButton(*lbbClose_);
    });
    chkAll_->setObjectName("chkAll");
    chkAll_->setFixedWidth(16);
    // Code's writes run it too: resetting it after the closes unticks every row.
    connect(chkAll_, &QCheckBox::toggled, this, [this](bool on) { Core().SetAllChecked(on); });
    lbmSummaries_->setObjectName("lbmSummaries");
    lbmSummaries_->setFont(QFont("Courier New"));
    auto* strip = new QHBoxLayout;
    strip->setContentsMargins(2, 2, 2, 2);
    strip->addWidget(chkAll_);
    strip->addWidget(summaryStrip_, 1);
    static_cast<QVBoxLayout*>(layout())->insertLayout(0, strip);
    static_cast<QVBoxLayout*>(layout())->insertWidget(1, lbbClose_);
}

frmTrade::~frmTrade() = default;

COpenPos& frmTrade::Core() {
    if (!core_) core_ = makeCore_(store_);
    return *core_;
}

void frmTrade::AddPosition(const PositionPtr& Position, int32_t AccountID) {
    Core().AddPosition(Position, AccountID);
}

void frmTrade::RemovePosition(int32_t Ticket, int32_t AccountID) {
    Core().RemovePosition(Ticket, AccountID);
}

void frmTrade::setChkAll(bool checked) {
    chkAll_->setChecked(checked);
}

void frmTrade::setLbmSummaries(const std::string& text) {
    lbmSummaries_->setText(QString::fromStdString(text));
}

void frmTrade::closeAllse() {
    Core().closeAllse();
    setChkAll(false);
}

void frmTrade::lbbClose_Click() {
    for (size_t i = 1; i <= store_.Count(); ++i) {
        if (!store_.Item(i).Checked()) continue;
        if (AskQuestion)
            AskQuestion(
                "Are you sure you want to close selected postion(s) at current market price(s)?",
                1);
        return;
    }
    if (ShowMessage) ShowMessage("No selected positions");
}

// ---- Net Trade ----

frmNetTrade::frmNetTrade(std::function<platform::ListView&()> lvwClients)
    : ListForm("frmNetTrade",
               {"Symbol", "Account", "Amount", "NH", "Buy/Sell", "Avg Open Price", "Current Price",
                "Comm", "Interest", "Profit/Loss"},
               "8,8,8,8,8,8,8,8,8,25"),
      clients_(std::move(lvwClients)) {}

frmNetTrade::~frmNetTrade() = default;

CNetPos& frmNetTrade::Core() {
    if (!core_) core_ = std::make_unique<CNetPos>(store_, clients_());
    return *core_;
}

double frmNetTrade::caluclate_profit(const std::string& SymbolName, const std::string& Side) {
    return Core().caluclate_profit(SymbolName, Side);
}

void frmNetTrade::PositionAdded(const SymbolPtr& Symbol, int32_t Side, double Lots, double Price,
                                double Commission, double Interest,
                                const runtime::Variant& ProfitLoss, int32_t AccountID) {
    Core().PositionAdded(Symbol, Side, Lots, Price, Commission, Interest, ProfitLoss, AccountID);
}

// ---- Pending ----

frmPending::frmPending(CoreFactory makeCore)
    : ListForm("frmPending",
               {"Order", "Account", "Type", "Amount", "Symbol", "Price", "S/L", "T/P", "Date/Time"},
               ""),
      makeCore_(std::move(makeCore)) {
    setPopup(kBarPendingPopup);
    dblClick_ = view_->DblClick.Connect([this] { lvwPending_DblClick(); });
}

frmPending::~frmPending() = default;

void frmPending::lvwPending_DblClick() {
    const platform::ListItem* row = store_.SelectedItem();
    if (store_.Count() == 0 || !row) return;
    const std::string symbol = row->SubItems(4);
    platform::ComboBox* symbols = EntrySymbols ? EntrySymbols() : nullptr;
    if (!symbols || !symbols->Contains(symbol)) {
        if (ShowMessage) ShowMessage(symbol + " is not visible for any of the connected accounts");
        return;
    }
    SelectComboText(*symbols, symbol);
    if (EditOrder) EditOrder();
}

CPendingOrds& frmPending::Core() {
    if (!core_) core_ = makeCore_(store_);
    return *core_;
}

void frmPending::Add(const runtime::Variant& ID, int32_t AccountID, const std::string& Code,
                     OrbanelGeneral10::OperationTypeEnum BuySell, double Lots,
                     const SymbolPtr& Symbol, const runtime::Variant& Price,
                     const runtime::Variant& SL, const runtime::Variant& TP,
                     const std::string& OrderTime, const runtime::Variant& CloseTicket) {
    Core().Add(ID, AccountID, Code, BuySell, Lots, Symbol, Price, SL, TP, OrderTime, CloseTicket);
}

void frmPending::AddOrder(const OrderPtr& Order, int32_t AccountID) {
    Core().AddOrder(Order, AccountID);
}

}  // namespace OrbanexDesk
