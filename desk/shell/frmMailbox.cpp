#include "desk/shell/frmMailbox.h"

#include <QLabel>
#include <QStyle>

#include "platform/widgets/LabelButton.h"

namespace OrbanexDesk {

namespace {
constexpr int kBarHeight = 24;
constexpr int kMargin = 4;
constexpr int kButtonGap = 8;
}  // namespace

frmMailbox::frmMailbox(ShellGetter shell, BarsBuilt barsBuilt, QWidget* parent)
    : ShellListForm("frmMailbox", "lvwMails", {"From", "Subject", "Data/Time", ""}, "20,35,20,10",
                    std::move(barsBuilt), parent),
      display_(kPaneMailbox, std::move(shell)) {
    // imlMails
    view_->setSmallIcons({style()->standardIcon(QStyle::SP_FileIcon)});
    lblSelect_ = new QLabel("Select", this);
    lblSelect_->setObjectName("lblSelect");
    lblSelect_->adjustSize();
    lblSelect_->move(kMargin, kMargin);
    barRight_ = lblSelect_->geometry().right() + kButtonGap;
    AddButton("lbbAll", "All");
    AddButton("lbbNone", "None");
    AddButton("lbbUnread", "Unseen");
    AddButton("lbbRead", "Seen");
    AddButton("lbbNewMail", "New");
    AddButton("lbbReply", "Reply");
    AddButton("lbbDeleteForEver", "Delete");
    AddAndRemoveRow();
}

QRect frmMailbox::ListArea() const {
    return rect().adjusted(0, kBarHeight + kMargin, 0, 0);
}

platform::widgets::LabelButton* frmMailbox::AddButton(const char* name, const char* caption) {
    auto* button = new platform::widgets::LabelButton(this);
    button->setObjectName(name);
    button->setText(caption);
    button->adjustSize();
    button->move(barRight_, kMargin);
    barRight_ = button->geometry().right() + kButtonGap;
    return button;
}

}  // namespace OrbanexDesk
