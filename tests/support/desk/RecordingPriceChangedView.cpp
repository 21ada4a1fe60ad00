#include "tests/support/desk/RecordingPriceChangedView.h"

#include <algorithm>
#include <map>
#include <memory>

namespace testsupport {

namespace {
std::map<FakeDesk*, std::vector<RecordingPriceChangedView*>>& Registry() {
    static std::map<FakeDesk*, std::vector<RecordingPriceChangedView*>> made;
    return made;
}
}  // namespace

RecordingPriceChangedView::~RecordingPriceChangedView() {
    auto it = Registry().find(desk_);
    if (it == Registry().end()) return;
    auto& list = it->second;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (list.empty()) Registry().erase(it);
}

void RecordingPriceChangedView::Install(FakeDesk& desk) {
    FakeDesk* d = &desk;
    desk.Services().setPriceChangedFactory([d](OrbanexDesk::PriceChangedPresenter& presenter) {
        auto view = std::make_unique<RecordingPriceChangedView>(d, &presenter);
        Registry()[d].push_back(view.get());
        return std::unique_ptr<OrbanexDesk::IfrmPriceChanged>(std::move(view));
    });
}

std::vector<RecordingPriceChangedView*>& RecordingPriceChangedView::Made(FakeDesk& desk) {
    return Registry()[&desk];
}

void RecordingPriceChangedView::Log(const char* what, const std::string& text) {
    if (!desk_) return;
    desk_->Record("pricechanged|" + std::to_string(presenter_->AccountID()) + "|" + what +
                  (text.empty() ? "" : "|" + text));
}

}  // namespace testsupport
