#include "desk/accounts/frmSure.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "desk/ui/WindowProcedures.h"
#include "platform/Paths.h"
#include "platform/widgets/MessageBoxWindow.h"

namespace OrbanexDesk {

namespace {
constexpr const char* kPicture = "\\images and icons\\QDsk\\PicAsk.png";
constexpr int kPictureSide = 32;
constexpr int kTextRoom = 240;  // the question on one line with room to spare
}  // namespace

frmSure::frmSure(Actions actions, QWidget* parent)
    : QWidget(parent, Qt::Dialog), actions_(std::move(actions)) {
    setObjectName("frmSure");
    setWindowTitle("Alert");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setSpacing(14);
    Image1_ = new QLabel(this);
    Image1_->setObjectName("Image1");
    Image1_->setFixedSize(kPictureSide, kPictureSide);
    try {
        const QPixmap picture(QString::fromStdString(platform::ResolvePath(kPicture).string()));
        if (!picture.isNull())
            Image1_->setPixmap(picture.scaled(kPictureSide, kPictureSide, Qt::KeepAspectRatio,
                                              Qt::SmoothTransformation));
    } catch (...) {
        // Without its picture the question still asks.
    }
    lblMsg_ = new QLabel(this);
    lblMsg_->setMinimumWidth(kTextRoom);
    cmd1_ = new QPushButton("Yes", this);
    cmd2_ = new QPushButton("No", this);
    platform::widgets::TakeEnterOnce(*cmd1_);
    platform::widgets::TakeEnterOnce(*cmd2_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmd1_);
    buttons->addWidget(cmd2_);
    auto* question = new QHBoxLayout;
    question->setSpacing(12);
    question->addWidget(Image1_, 0, Qt::AlignTop);
    question->addWidget(lblMsg_, 1);
    layout->addLayout(question);
    layout->addLayout(buttons);
    FixDialogFrame(*this);
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
    FitAndCenter(*this);
    // Above every window of the desk, the add-account dialog's own top-most one
    // included: a question behind it would still take the keys.
    SetTopMost(*this, true);
    raise();
    // Each question starts on the same button, whatever the last one ended on:
    // the safe one where Yes loses every saved account, so Enter keeps them.
    (kind_ == "R" ? cmd2_ : cmd1_)->setFocus();
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

void frmSure::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmd2_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

std::string frmSure::Message() const {
    return lblMsg_->text().toStdString();
}

}  // namespace OrbanexDesk
