#include "desk/orders/frmMW.h"

#include "desk/ui/ListProcedures.h"
#include "platform/widgets/ListView.h"

namespace OrbanexDesk {

class frmMW::Form : public QWidget {
public:
    explicit Form(MarketWatch& core) : core_(core) {
        setObjectName("frmMW");
        list_ = new platform::widgets::ListView(core.lvmw(), this);
        list_->setObjectName("lvmw");
        dblClick_ = list_->DblClick.Connect([this] { core_.lvmw_DblClick(); });
        resize(300, 200);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        list_->setGeometry(rect());
        ApplyColumnWidths(*list_, core_.ColumnWidthsPer(), &widths_);
    }

private:
    MarketWatch& core_;
    platform::widgets::ListView* list_;
    ColumnPercentages widths_;
    runtime::ScopedConnection dblClick_;
};

frmMW::frmMW(const DeskPorts& ports, MarketWatch::Hooks hooks) : core_(ports, std::move(hooks)) {}

frmMW::~frmMW() {
    // A window still open must not outlive the list it shows.
    delete window_.data();
}

QWidget* frmMW::MakeForm() {
    auto* form = new Form(core_);
    window_ = form;
    return form;
}

}  // namespace OrbanexDesk
