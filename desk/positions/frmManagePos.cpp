#include "desk/positions/frmManagePos.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <algorithm>

#include "desk/positions/CloseGridLayout.h"
#include "desk/positions/frmClosePosLayout.h"
#include "platform/widgets/Grid.h"
#include "platform/widgets/LabelButton.h"
#include "platform/widgets/Twips.h"

namespace OrbanexDesk {

namespace {
constexpr double kGridInsetTwips = 50;
}  // namespace

frmManagePos::frmManagePos(QWidget* parent) : QWidget(parent) {
    setObjectName("frmManagePos");
    Label2_ = new QLabel("Symbol", this);
    Label2_->setObjectName("Label2");
    Combo1_ = new QComboBox(this);
    Combo1_->setObjectName("Combo1");
    Combo1_->setEditable(false);
    Combo1_->setPlaceholderText("Select Symbol");
    chkAllClients_ = new QCheckBox(this);
    chkAllClients_->setObjectName("chkAllClients");
    LblCheck_ = new platform::widgets::LabelButton(this);
    LblCheck_->setObjectName("LblCheck");
    LblCheck_->setText("Manage All Selected");
    MSHView_ = new platform::widgets::Grid(MSH_, this);
    MSHView_->setObjectName("MSH");
    resize(520, 260);
    Form_Load();
}

// The view follows the store, so it goes first (children outlive members).
frmManagePos::~frmManagePos() {
    delete MSHView_;
}

void frmManagePos::Form_Load() {
    const int inset = platform::widgets::TwipsToPixelsX(*this, kGridInsetTwips);
    MSHView_->resize(std::max(0, width() - inset), MSHView_->height());
    SetCloseGridCaptions(MSH_);
}

void frmManagePos::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (const auto gridWidth =
            LayOutClosePane(*this, {*Label2_, *Combo1_, *chkAllClients_, *LblCheck_, *MSHView_}))
        LayOutCloseColumns(MSH_, *gridWidth);
}

}  // namespace OrbanexDesk
