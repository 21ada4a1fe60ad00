#include "desk/accounts/frmaccount.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "desk/common/DeskProcedures.h"
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
    txtaccount_ = new QLineEdit(this);
    CBServer_ = new platform::widgets::ComboBox(servers_, this);
    chkSave_ = new QCheckBox("Save", this);
    chkAutoLogin_ = new QCheckBox("Auto Account Login ", this);
    cmdLoginAA_ = new QPushButton("Add", this);
    layout->addRow("Username", txtusername_);
    layout->addRow("Password", txtpassword_);
    layout->addRow("Account", txtaccount_);
    layout->addRow("Server", CBServer_);
    layout->addRow(chkSave_);
    layout->addRow(chkAutoLogin_);
    layout->addRow(cmdLoginAA_);
    QObject::connect(cmdLoginAA_, &QPushButton::clicked, this, [this] { cmdLoginAA_Click(); });
}

frmaccount::~frmaccount() {
    // The combo view follows servers_, which goes before QWidget frees its children.
    delete CBServer_;
}

void frmaccount::Present() {
    FillServers(servers_, options_, CompanyName());
    show();
    raise();
}

void frmaccount::ShowAdd() {
    editMode_ = false;
    txtusername_->clear();
    txtpassword_->clear();
    txtaccount_->clear();
    Present();
}

void frmaccount::ShowEdit(const std::string& UserName, const std::string& Password,
                          const std::string& AccountText) {
    editMode_ = true;
    txtusername_->setText(QString::fromStdString(UserName));
    txtpassword_->setText(QString::fromStdString(Password));
    txtaccount_->setText(QString::fromStdString(AccountText));
    Present();
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
