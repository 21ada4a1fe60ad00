#include "desk/accounts/frmaccount.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

#include "desk/common/DeskProcedures.h"
#include "desk/ui/WindowProcedures.h"
#include "platform/widgets/ComboBox.h"

namespace OrbanexDesk {

frmaccount::frmaccount(AccountsWindowCore& core, CLoginOptions& options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), core_(core), options_(options) {
    setObjectName("frmaccount");
    setWindowTitle("Add Account Screen");
    auto* layout = new QFormLayout(this);
    txtusername_ = new QLineEdit(this);
    txtpassword_ = new QLineEdit(this);
    txtpassword_->setEchoMode(QLineEdit::Password);
    txtpassword_->setStyleSheet("QLineEdit { lineedit-password-character: 42; }");  // "*"
    txtaccount_ = new QLineEdit(this);
    CBServer_ = new platform::widgets::ComboBox(servers_, this);
    // The window takes its size before the combo's first show: its width must
    // already follow the server names then, or the first look cuts them.
    CBServer_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    chkSave_ = new QCheckBox("Save Account Info", this);
    chkAutoLogin_ = new QCheckBox("Auto Account Login ", this);
    cmdLoginAA_ = new QPushButton("Add new account", this);
    cmdcancel_ = new QPushButton("Cancel", this);
    auto* Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
    layout->addRow(Image1, new QLabel("Enter your username and password", this));
    layout->addRow("Username", txtusername_);
    layout->addRow("Password", txtpassword_);
    layout->addRow("Account ID", txtaccount_);
    layout->addRow("Server", CBServer_);
    layout->addRow(chkSave_);
    layout->addRow(chkAutoLogin_);
    // One size for both buttons: the longer caption's, with room on both sides.
    constexpr int kCaptionRoom = 16;
    const int buttonWidth =
        std::max(cmdLoginAA_->sizeHint().width(), cmdcancel_->sizeHint().width()) + kCaptionRoom;
    for (QPushButton* button : {cmdLoginAA_, cmdcancel_}) button->setFixedWidth(buttonWidth);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdLoginAA_);
    buttons->addWidget(cmdcancel_);
    layout->addRow(buttons);
    QObject::connect(cmdLoginAA_, &QPushButton::clicked, this, [this] { cmdLoginAA_Click(); });
    QObject::connect(cmdcancel_, &QPushButton::clicked, this, [this] { cmdcancel_Click(); });
    QObject::connect(chkSave_, &QCheckBox::toggled, this, [this](bool checked) {
        if (!checked) chkAutoLogin_->setChecked(false);
        chkAutoLogin_->setEnabled(checked);
    });
    ResetToBuilt();
    FixDialogFrame(*this);
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

frmaccount::~frmaccount() {
    // The combo view follows servers_, which goes before QWidget frees its children.
    delete CBServer_;
}

void frmaccount::closeEvent(QCloseEvent* event) {
    // Ticks left from an abandoned entry would otherwise save and auto-login the next add.
    ResetToBuilt();
    QWidget::closeEvent(event);
}

void frmaccount::ResetToBuilt() {
    txtusername_->clear();
    txtpassword_->clear();
    txtaccount_->clear();
    chkSave_->setChecked(false);
    chkAutoLogin_->setChecked(false);
    chkAutoLogin_->setEnabled(false);
}

void frmaccount::Present() {
    FillServers(servers_, options_, CompanyName());
    cmdLoginAA_->setEnabled(true);  // the account box starts short again
    FitAndCenter(*this);
    show();
    raise();
}

void frmaccount::ShowAdd() {
    // An edit's ticks are its row's saved line's, no choice of the dealer's for a
    // new account; an add's own ticks stay for the next add.
    if (editMode_) {
        chkSave_->setChecked(false);
        chkAutoLogin_->setChecked(false);
        chkAutoLogin_->setEnabled(false);
    }
    editMode_ = false;
    txtusername_->clear();
    txtpassword_->clear();
    txtaccount_->clear();
    Present();
}

void frmaccount::ShowEdit(const std::string& UserName, const std::string& Password,
                          const std::string& AccountText, const SaveTicks& ticks) {
    editMode_ = true;
    txtusername_->setText(QString::fromStdString(UserName));
    txtpassword_->setText(QString::fromStdString(Password));
    txtaccount_->setText(QString::fromStdString(AccountText));
    chkSave_->setChecked(ticks.chkSave);
    chkAutoLogin_->setEnabled(ticks.chkSave);
    chkAutoLogin_->setChecked(ticks.chkSave && ticks.chkAutoLogin);
    Present();
}

bool frmaccount::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        for (QLineEdit* box : {txtusername_, txtpassword_, txtaccount_})
            if (watched == box) SelectAllTextOnFocus(*box);
    }
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto& key = static_cast<QKeyEvent&>(*event);
    // The key filter is about typed characters: Tab moves the focus, as in any dialog.
    if (MovesFocus(key)) return QWidget::eventFilter(watched, event);
    if (key.key() == Qt::Key_Escape) {
        cmdcancel_Click();
        return true;
    }
    return watched == txtaccount_ && txtaccount_KeyPress(key);
}

bool frmaccount::txtaccount_KeyPress(QKeyEvent& event) {
    int16_t ascii = 0;
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            ascii = kKeyEnter;
            break;
        case Qt::Key_Backspace:
            ascii = kKeyBackspace;
            break;
        default:
            // Keys without a character (arrows, Delete) are no key presses here.
            if (event.text().size() != 1) return false;
            ascii = static_cast<int16_t>(event.text().at(0).unicode());
    }
    const AccountKey result =
        OrbanexDesk::txtaccount_KeyPress(txtaccount_->text().toStdString(), ascii);
    cmdLoginAA_->setEnabled(result.addEnabled);
    if (result.add) {
        cmdLoginAA_Click();
        return true;
    }
    return result.key == 0;  // a dropped key never reaches the box
}

void frmaccount::cmdLoginAA_Click() {
    AccountDialogState state;
    state.txtusername = txtusername_->text().toStdString();
    state.txtpassword = txtpassword_->text().toStdString();
    state.txtaccount = txtaccount_->text().toStdString();
    state.CBServer = &servers_;
    state.chkSave = chkSave_->isChecked();
    state.chkAutoLogin = chkAutoLogin_->isChecked();
    state.EditMode = editMode_;
    if (!core_.cmdLoginAA_Click(state)) return;
    txtusername_->clear();
    txtpassword_->clear();
    txtaccount_->clear();
}

}  // namespace OrbanexDesk
