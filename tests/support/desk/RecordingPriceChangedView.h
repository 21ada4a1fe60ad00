#pragma once
// The re-quote dialog's window for tests: keeps what the presenter wrote and
// logs each call to its desk ("pricechanged|1001|caption|9 / 10"), tagged with
// the account the presenter holds when the call is made. Install() registers a
// factory on the desk that makes one per presenter and keeps track of them.
#include <string>
#include <vector>

#include "desk/common/Ports.h"
#include "desk/sessions/PriceChangedPresenter.h"
#include "tests/support/desk/FakeDesk.h"

namespace testsupport {

class RecordingPriceChangedView : public OrbanexDesk::IfrmPriceChanged {
public:
    RecordingPriceChangedView(FakeDesk* desk, OrbanexDesk::PriceChangedPresenter* presenter)
        : desk_(desk), presenter_(presenter) {}
    ~RecordingPriceChangedView() override;

    // Makes every presenter of `desk` get a recording window.
    static void Install(FakeDesk& desk);
    // The windows made so far on `desk`, in order; they live as long as their presenters.
    static std::vector<RecordingPriceChangedView*>& Made(FakeDesk& desk);

    void setLblOrder(const std::string& text) override { lblOrder = text, Log("lblOrder", text); }
    void setLblNewPrice(const std::string& text) override {
        lblNewPrice = text, Log("lblNewPrice", text);
    }
    void setCaption(const std::string& text) override { caption = text, Log("caption", text); }
    void SetTopMost(bool onTop) override {
        visible = true, topMost = onTop, Log("SetTopMost", onTop ? "True" : "False");
    }
    void Hide() override { visible = false, Log("Hide", ""); }
    void CenterForm() override { centred = true, Log("CenterForm", ""); }

    // What the window's own buttons and close box do.
    void ClickAccept() { presenter_->cmdAccept_Click(); }
    void ClickReject() { presenter_->cmdReject_Click(); }
    void Close() {
        presenter_->Form_QueryUnload();
        presenter_->Form_Unload();
    }

    std::string lblOrder, lblNewPrice, caption;
    bool visible = false, topMost = false, centred = false;

private:
    void Log(const char* what, const std::string& text);

    FakeDesk* desk_;
    OrbanexDesk::PriceChangedPresenter* presenter_;
};

}  // namespace testsupport
