// What the re-quote presenter relies on of its window, as a typed suite: it runs
// on the recording double now; the real dialog joins with a harness of its own
// (Make, the four read-backs and the three user actions).
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>

#include "DeskUiTesting.h"
#include "desk/sessions/PriceChangedPresenter.h"
#include "desk/ui/frmPriceChanged.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/clientapi/ViewFactory.h"
#include "tests/support/desk/FakeDesk.h"
#include "tests/support/desk/RecordingPriceChangedView.h"

namespace {

using namespace OrbanexDesk;
using testsupport::RecordingPriceChangedView;

struct RecordingHarness {
    using View = RecordingPriceChangedView;
    static void Install(testsupport::FakeDesk& desk) { View::Install(desk); }
    static View& Of(IfrmPriceChanged* view) { return *static_cast<View*>(view); }
    static bool Visible(IfrmPriceChanged* v) { return Of(v).visible; }
    static std::string Caption(IfrmPriceChanged* v) { return Of(v).caption; }
    static std::string LblOrder(IfrmPriceChanged* v) { return Of(v).lblOrder; }
    static std::string LblNewPrice(IfrmPriceChanged* v) { return Of(v).lblNewPrice; }
    static void Accept(IfrmPriceChanged* v) { Of(v).ClickAccept(); }
    static void Reject(IfrmPriceChanged* v) { Of(v).ClickReject(); }
    static void Close(IfrmPriceChanged* v) { Of(v).Close(); }
};

// The real window, offscreen: its own buttons and close box.
struct WindowHarness {
    using View = frmPriceChanged;
    static void Install(testsupport::FakeDesk& desk) {
        desk_ui_testing::App();
        desk.Services().setPriceChangedFactory(frmPriceChanged::Factory());
    }
    static View& Of(IfrmPriceChanged* view) { return *dynamic_cast<View*>(view); }
    static bool Visible(IfrmPriceChanged* v) { return Of(v).isVisible(); }
    static std::string Caption(IfrmPriceChanged* v) { return Of(v).windowTitle().toStdString(); }
    static std::string LblOrder(IfrmPriceChanged* v) {
        return Of(v).lblOrder().text().toStdString();
    }
    static std::string LblNewPrice(IfrmPriceChanged* v) {
        return Of(v).lblNewPrice().text().toStdString();
    }
    static void Accept(IfrmPriceChanged* v) {
        QTest::mouseClick(&Of(v).cmdAccept(), Qt::LeftButton);
    }
    static void Reject(IfrmPriceChanged* v) {
        QTest::mouseClick(&Of(v).cmdReject(), Qt::LeftButton);
    }
    static void Close(IfrmPriceChanged* v) { Of(v).close(); }
};

template <class Harness>
class PriceChangedViewContract : public ::testing::Test {
protected:
    testsupport::TempProgramFolder folder{"pricechanged-contract"};
    testsupport::FakeDesk desk;
    testsupport::ViewFactory views;
    SymbolPtr eur = views.Symbol({.id = 2, .name = "EURUSD", .bid = 1.2343, .ask = 1.2345});
    std::unique_ptr<PriceChangedPresenter> presenter;

    void SetUp() override {
        Harness::Install(desk);
        presenter = std::make_unique<PriceChangedPresenter>(desk.Services());
    }
    void Tick(int32_t order, int16_t current) {
        presenter->SetData(nullptr, order, 81, OrbanelGeneral10::SellType, 2, eur, 1.2343, 1.2340,
                           0, current, 10);
    }
};

using Harnesses = ::testing::Types<RecordingHarness, WindowHarness>;
TYPED_TEST_SUITE(PriceChangedViewContract, Harnesses);

// The first tick makes and shows the window with both labels and the count;
// each user action hides it; a closed window comes back on the next order.
TYPED_TEST(PriceChangedViewContract, TicksShowTheOrderAndEveryAnswerHidesTheWindow) {
    using H = TypeParam;
    EXPECT_EQ(this->presenter->View(), nullptr);
    this->Tick(7001, 10);
    IfrmPriceChanged* view = this->presenter->View();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(H::Visible(view));
    EXPECT_EQ(H::LblOrder(view), "Sell 2 EURUSD at 1.2343");
    EXPECT_EQ(H::LblNewPrice(view), "1.234");
    EXPECT_EQ(H::Caption(view), "10 / 10");
    this->Tick(7001, 9);
    EXPECT_EQ(H::Caption(view), "9 / 10");
    H::Accept(view);
    EXPECT_FALSE(H::Visible(view));
    this->Tick(7002, 10);
    EXPECT_TRUE(H::Visible(view));
    H::Reject(view);
    EXPECT_FALSE(H::Visible(view));
    this->Tick(7003, 10);
    H::Close(view);
    EXPECT_FALSE(H::Visible(view));
    EXPECT_EQ(this->presenter->View(), view);  // one window per presenter
}

}  // namespace
