#include "desk/shell/frmJournal.h"

#include <QVBoxLayout>

#include "desk/common/PaneTable.h"
#include "desk/ui/ListProcedures.h"
#include "desk/ui/PopupKeys.h"
#include "runtime/Clock.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

frmJournal::frmJournal(QWidget* parent)
    : QWidget(parent), view_(new platform::widgets::ListView(store_, this)) {
    setObjectName("frmJournal");
    for (const char* caption : {"Time", "Account", "Message"}) view_->AddColumn(caption, 1500);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    mouseDown_ = view_->MouseDown.Connect(
        [this](int32_t button, int32_t, double, double) { rightButtonDown_ = button == 2; });
    auto open = [this] {
        if (store_.Count() > 0 && ShowPopup) ShowPopup(kBarJournalPopup);
    };
    mouseUp_ = view_->MouseUp.Connect([this, open](int32_t, int32_t, double, double) {
        if (rightButtonDown_) open();
    });
    PopupKeys::Install(*view_, open);
}

// The view follows the store, so it goes first (children outlive members).
frmJournal::~frmJournal() {
    delete view_;
}

void frmJournal::Add(const std::string& Text, int32_t AccountID, bool) {
    addToListView(runtime::CStr(runtime::Variant(runtime::Now())), AccountID, Text);
    store_.Refresh();
}

void frmJournal::addToListView(const std::string& Time, int32_t AccountID,
                               const std::string& Text) {
    platform::ListItem& row = store_.Insert(1, Time);
    row.setSubItems(1, std::to_string(AccountID));
    row.setSubItems(2, Text);
}

void frmJournal::setColumnWidthsPer(const std::string& widths) {
    widths_ = widths;
    ApplyColumnWidths(*view_, widths_, &cache_);
}

void frmJournal::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyColumnWidths(*view_, widths_, &cache_);
}

}  // namespace OrbanexDesk
