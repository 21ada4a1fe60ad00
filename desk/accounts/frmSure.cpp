#include "desk/accounts/frmSure.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace OrbanexDesk {

frmSure::frmSure(Actions actions, QWidget* parent)
    : QWidget(parent, Qt::Dialog), actions_(std::move(actions)) {
    setObjectName("frmSure");
    setWindowTitle("Alert");
    auto* layout = new QVBoxLayout(this);
    lblMsg_ = new QLabel(this);
    cmd1_ = new QPushButton("Yes", this);
    cmd2_ = new QPushButton("No", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmd1_);
    buttons->addWidget(cmd2_);
    layout->addWidget(lblMsg_);
    layout->addLayout(buttons);
    QObject::connect(cmd1_, &QPushButton::clicked, this, [this] { cmd1_Click(); });
    QObject::connect(cmd2_, &QPushButton::clicked, this, [this] { cmd2_Click(); });
}

void frmSure::GeneralQuestionMsg(const std::string& kind) {
    if (kind == "Logout All") {
        lblMsg_->setText(" Are you sure to logout all accounts?");
        kind_ = "L";
    } else if (kind == "Remove All") {
        lblMsg_->setText(" Are you sure to remove all accounts?");
        kind_ = "R";
    }
    show();
    raise();
}

void frmSure::cmd1_Click() {
    // Closed first: the action may take a while and must not be confirmed twice.
    hide();
    if (kind_ == "L" && actions_.mnuLogout_all) actions_.mnuLogout_all();
    if (kind_ == "R" && actions_.mnuremove_all) actions_.mnuremove_all();
}

void frmSure::cmd2_Click() {
    hide();
}

std::string frmSure::Message() const {
    return lblMsg_->text().toStdString();
}

}  // namespace OrbanexDesk
