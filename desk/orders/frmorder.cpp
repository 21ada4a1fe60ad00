#include "desk/orders/frmorder.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "desk/ui/Culf.h"
#include "desk/ui/ListProcedures.h"
#include "desk/ui/WindowProcedures.h"
#include "platform/widgets/ComboBox.h"
#include "platform/widgets/LabelButton.h"
#include "platform/widgets/ListView.h"
#include "platform/widgets/Twips.h"

namespace OrbanexDesk {

namespace {
constexpr double kInitialColumnTwips = 1200;
constexpr int16_t kKeyEnter = 13;
constexpr int kButtonPadding = 8;  // each side of a narrowed button's caption

// The key as the desk's filters read it: its character code, Enter 13,
// Backspace 8; 0 for keys that type nothing.
int16_t KeyAscii(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) return kKeyEnter;
    if (key.key() == Qt::Key_Backspace) return 8;
    const QString text = key.text();
    if (text.size() != 1 || !text[0].isPrint() || text[0].unicode() > 0x7e) return 0;
    return static_cast<int16_t>(text[0].unicode());
}
bool TypesText(const QKeyEvent& key) {
    return KeyAscii(key) != 0 && !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}
}  // namespace

frmorder::frmorder(Hooks hooks, std::function<const Culf*()> looks)
    : MarketOrderPane(std::move(hooks)), looks_(std::move(looks)) {
    setObjectName("frmorder");
    auto* label15 = new QLabel("Symbol", this);
    cbsymbols_ = new platform::widgets::ComboBox(cbsymbols(), this);
    cbsymbols_->setObjectName("cbsymbols");
    cbsymbols_->setEditable(false);
    auto* label14 = new QLabel("Amount", this);
    txtammount_ = new QLineEdit(this);
    txtammount_->setObjectName("txtammount");
    txtammount_->installEventFilter(this);
    auto* label16 = new QLabel("Distribute", this);
    cbdis_ = new platform::widgets::ComboBox(CBdis(), this);
    cbdis_->setObjectName("CBdis");
    cbdis_->setEditable(false);
    cmddis_ = new QPushButton("Distribute ", this);
    cmddis_->setObjectName("cmddis");
    cmdbuy_ = new QPushButton("Buy", this);
    cmdbuy_->setObjectName("cmdbuy");
    cmdsell_ = new QPushButton("Sell", this);
    cmdsell_->setObjectName("cmdsell");
    chkAllClients_ = new QCheckBox(this);
    chkAllClients_->setObjectName("chkAllClients");
    lblCheck_ = new platform::widgets::LabelButton(this);
    lblCheck_->setObjectName("LblCheck");
    lblCheck_->setCursor(Qt::PointingHandCursor);
    list_ = new platform::widgets::ListView(lvwConClients(), this);
    list_->setObjectName("lvwConClients");
    list_->setCheckboxes(true);
    for (const char* caption : {"Account", "Amount", "Result"})
        list_->AddColumn(caption, kInitialColumnTwips);
    txtLvw_ = new QLineEdit(this);
    txtLvw_->setObjectName("txtLvw");
    txtLvw_->setContextMenuPolicy(Qt::NoContextMenu);
    txtLvw_->installEventFilter(this);
    txtLvw_->hide();
    // Kept hidden and empty: nothing shows it.
    txtEditPrice_ = new QLineEdit(this);
    txtEditPrice_->setObjectName("txtEditPrice");
    txtEditPrice_->hide();

    // Distribute and Buy/Sell alternate: no point of the pane may be one's and
    // then the other's, or a double click on Distribute would send the orders.
    // Each keeps its place while hidden; Distribute stands beside the total
    // whose Enter it shares.
    for (QPushButton* button : {cmddis_, cmdbuy_, cmdsell_}) {
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
    }
    // At the pane's narrowest Buy and Sell give up their width before Check All's
    // caption, which reads whole: a box around the label holds the room the label
    // claims (LabelButton), as the pane lets its one-line labels shrink.
    for (QPushButton* button : {cmdbuy_, cmdsell_})
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) +
                                2 * kButtonPadding);
    checkRoom_ = new QWidget(this);
    auto* room = new QHBoxLayout(checkRoom_);
    room->setContentsMargins(0, 0, 0, 0);
    room->addWidget(lblCheck_);
    auto* total = new QHBoxLayout;
    total->addWidget(txtammount_, 1);
    total->addWidget(cmddis_);
    auto* controls = new QGridLayout;
    controls->addWidget(label15, 0, 0);
    controls->addWidget(cbsymbols_, 0, 1);
    controls->addWidget(label14, 1, 0);
    controls->addLayout(total, 1, 1);
    controls->addWidget(label16, 2, 0);
    controls->addWidget(cbdis_, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdbuy_);
    buttons->addWidget(cmdsell_);
    buttons->addStretch(1);
    buttons->addWidget(chkAllClients_);
    buttons->addWidget(checkRoom_);
    controls->addLayout(buttons, 3, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addLayout(controls);
    layout->addWidget(list_, 1);

    // Code's writes reach the pane through the port; only the operator's acts come here.
    connect(txtammount_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!syncing_) setTxtammount(text.toStdString());
    });
    connect(cmddis_, &QPushButton::clicked, this, [this] { cmddis_Click(); });
    connect(cmdbuy_, &QPushButton::clicked, this, [this] { cmdbuy_Click(); });
    connect(cmdsell_, &QPushButton::clicked, this, [this] { cmdsell_Click(); });
    connect(chkAllClients_, &QCheckBox::toggled, this, [this](bool on) {
        if (!syncing_) setChkAllClients(on);
    });
    checkClick_ = lblCheck_->Click.Connect([this] { LblCheck_Click(); });
    lightOn_ = lblCheck_->MouseEnter.Connect([this] {
        if (const Culf* looks = looks_ ? looks_() : nullptr) looks->LightONButton(*lblCheck_);
    });
    lightOff_ = lblCheck_->MouseLeave.Connect([this] {
        if (const Culf* looks = looks_ ? looks_() : nullptr) looks->LightOFFButton(*lblCheck_);
    });
    itemCheck_ =
        list_->ItemCheck.Connect([this](platform::ListItem&) { lvwConClients_ItemCheck(); });
    mouseUp_ = list_->MouseUp.Connect(
        [this](int32_t button, int32_t, double x, double) { lvwConClients_MouseUp(button, x); });
    StateChanged = [this] { Show(); };
    Form_Load();
    resize(420, 300);
}

// The views follow the pane's stores, which go before QWidget frees its children.
frmorder::~frmorder() {
    StateChanged = nullptr;
    txtLvw_->removeEventFilter(this);
    txtammount_->removeEventFilter(this);
    delete list_;
    delete cbsymbols_;
    delete cbdis_;
}

void frmorder::Show() {
    const QSignalBlocker block(chkAllClients_);
    syncing_ = true;
    QWidget::setEnabled(MarketOrderPane::Enabled());
    if (txtammount_->text().toStdString() != txtammount())
        txtammount_->setText(QString::fromStdString(txtammount()));
    txtammount_->setEnabled(ControlsEnabled());
    txtammount_->setVisible(TxtammountVisible());
    cbsymbols_->setEnabled(cbsymbols().Enabled());
    cbdis_->setEnabled(CBdis().Enabled());
    for (auto [button, state] : {std::pair{cmddis_, cmddis()}, std::pair{cmdbuy_, cmdbuy()},
                                 std::pair{cmdsell_, cmdsell()}}) {
        button->setEnabled(state.enabled);
        button->setVisible(state.visible);
    }
    chkAllClients_->setChecked(chkAllClients());
    lblCheck_->setText(QString::fromStdString(LblCheckCaption()));
    checkRoom_->setMinimumWidth(lblCheck_->minimumSizeHint().width());
    syncing_ = false;
}

void frmorder::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyColumnWidths(*list_, kColumnWidths, &widths_);
    if (Editing()) PlaceEditor();
}

// The total and the editor take only what the accounts window's filter passes;
// Enter in the total distributes, in the editor it commits.
bool frmorder::eventFilter(QObject* watched, QEvent* event) {
    const bool total = watched == txtammount_, editor = watched == txtLvw_;
    if (total && event->type() == QEvent::FocusIn) SelectAllText(*txtammount_);
    if (editor && event->type() == QEvent::FocusOut) CommitEditor();
    if ((total || editor) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (editor && key->matches(QKeySequence::Paste)) return true;
        if (editor && KeyAscii(*key) == kKeyEnter) {
            CommitEditor();
            return true;
        }
        if (!TypesText(*key)) return QWidget::eventFilter(watched, event);
        const int16_t kept = total ? txtammount_KeyPress(KeyAscii(*key))
                                   : txtLvw_KeyPress(KeyAscii(*key), txtLvw_->text().toStdString());
        if (kept == 0) return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmorder::lvwConClients_MouseUp(int32_t Button, double x) {
    const platform::ListItem* row = lvwConClients().SelectedItem();
    if (Button != 1 || !row) return;
    const double dx =
        platform::widgets::PixelsToTwipsX(*list_, list_->horizontalScrollBar()->value());
    const double frame = platform::widgets::PixelsToTwipsX(*list_, list_->viewport()->x());
    size_t column = 0;
    for (size_t i = 1; i <= 3 && !column; ++i) {
        const double left = frame + list_->ColumnLeft(i);
        if (left < x + dx && x + dx < left + list_->ColumnWidth(i)) column = i;
    }
    std::string text;
    if (!BeginEdit(row->Index(), column, text)) return;
    txtLvw_->setText(QString::fromStdString(text));
    PlaceEditor();
    txtLvw_->show();
    txtLvw_->raise();
    txtLvw_->selectAll();
    txtLvw_->setFocus();
}

void frmorder::PlaceEditor() {
    const size_t index = EditingRow();
    if (index == 0) return;
    QRect cell = list_->visualRect(list_->model()->index(static_cast<int>(index) - 1, 1));
    cell.moveTopLeft(list_->viewport()->mapTo(this, cell.topLeft()));
    txtLvw_->setGeometry(cell);
}

void frmorder::CommitEditor() {
    if (!Editing()) return;
    const std::string text = txtLvw_->text().toStdString();
    txtLvw_->hide();
    txtEditPrice_->hide();
    txtEditPrice_->clear();
    CommitEdit(text);
}

}  // namespace OrbanexDesk
