#include "desk/positions/frmClosePos.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalBlocker>

#include "desk/positions/frmClosePosLayout.h"
#include "desk/ui/Culf.h"
#include "platform/widgets/ComboBox.h"
#include "platform/widgets/Grid.h"
#include "platform/widgets/LabelButton.h"

namespace OrbanexDesk {

class frmClosePos::Form : public QWidget {
public:
    Form(ClosePosGrid& core, const Culf* looks) : core_(core), looks_(looks) {
        setObjectName("frmClosePos");
        setMouseTracking(true);
        Label2_ = new QLabel("Symbol", this);
        Label2_->setObjectName("Label2");
        CloseSymbols_ = new platform::widgets::ComboBox(core.CloseSymbols(), this);
        CloseSymbols_->setObjectName("CloseSymbols");
        CloseSymbols_->setEditable(false);
        chkAllClients_ = new QCheckBox("all accounts", this);
        chkAllClients_->setObjectName("chkAllClients");
        chkAllClients_->setChecked(core.chkAllClients());
        LblCheck_ = new platform::widgets::LabelButton(this);
        LblCheck_->setText("Close All Selected");
        LblCheck_->setObjectName("LblCheck");
        // A label to the mouse, a button to the keyboard.
        LblCheck_->setTabStop(true);
        if (looks_) looks_->LightOFFButton(*LblCheck_);
        MSH_ = new platform::widgets::Grid(core.MSH(), this);
        MSH_->setObjectName("MSH");

        // The operator's tick only: a change by code comes back through the core.
        connect(chkAllClients_, &QCheckBox::clicked, this,
                [this](bool checked) { core_.setchkAllClients(checked); });
        boxChanged_ = core.chkAllClientsChanged.Connect([this](bool checked) {
            const QSignalBlocker block(chkAllClients_);
            chkAllClients_->setChecked(checked);
        });
        mouseDown_ = MSH_->MouseDown.Connect(
            [this](int32_t button, int32_t, double, double) { core_.MSH_MouseDown(button); });
        click_ = MSH_->Click.Connect([this] { core_.MSH_Click(); });
        key_ = MSH_->KeyDown.Connect([this](int32_t key, int32_t) { core_.MSH_KeyDown(key); });
        checkClick_ = LblCheck_->Click.Connect([this] { core_.LblCheck_Click(); });
        lightOn_ = LblCheck_->MouseEnter.Connect([this] {
            if (looks_) looks_->LightONButton(*LblCheck_);
        });
        resize(520, 260);
    }

    QCheckBox& chkAllClients() const { return *chkAllClients_; }
    QLabel& LblCheck() const { return *LblCheck_; }

protected:
    void mouseMoveEvent(QMouseEvent* event) override {
        if (looks_) looks_->LightOFFButton(*LblCheck_);
        QWidget::mouseMoveEvent(event);
    }
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        LayOut();
    }

private:
    void LayOut() {
        if (const auto gridWidth = LayOutClosePane(
                *this, {*Label2_, *CloseSymbols_, *chkAllClients_, *LblCheck_, *MSH_}))
            core_.LayOutColumns(*gridWidth);
    }

    ClosePosGrid& core_;
    const Culf* looks_;
    QLabel* Label2_;
    platform::widgets::ComboBox* CloseSymbols_;
    QCheckBox* chkAllClients_;
    platform::widgets::LabelButton* LblCheck_;
    platform::widgets::Grid* MSH_;
    runtime::ScopedConnection boxChanged_;
    runtime::ScopedConnection mouseDown_;
    runtime::ScopedConnection click_;
    runtime::ScopedConnection key_;
    runtime::ScopedConnection checkClick_;
    runtime::ScopedConnection lightOn_;
};

static_assert(ClosePosGrid::kKeyEnter == platform::widgets::Grid::kKeyEnter &&
              ClosePosGrid::kKeySpace == platform::widgets::Grid::kKeySpace);

frmClosePos::frmClosePos(const DeskPorts& ports, ClosePosGrid::Hooks hooks)
    : core_(ports, std::move(hooks)) {}

frmClosePos::~frmClosePos() {
    // The shell normally deletes the window first; a window still open must not
    // outlive the stores it shows.
    delete window_.data();
}

QWidget* frmClosePos::MakeForm(const Culf* looks) {
    auto* form = new Form(core_, looks);
    window_ = form;
    return form;
}

}  // namespace OrbanexDesk
