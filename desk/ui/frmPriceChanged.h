#pragma once
// The re-quote dialog's window: the order as first quoted and the new price in
// two frames, Accept and Reject, the countdown as its caption. It only shows
// what its presenter writes; its buttons and its close box go to the presenter
// (cmdAccept_Click, cmdReject_Click, Form_QueryUnload then Form_Unload), once
// per use. The presenter owns the window; hiding it is never a close.
// Each showing opens on Accept, drawn as focused; Enter, keypad Enter and Space
// press the focused button and Esc closes, but only once the window has been on
// screen for kKeysAfterShownMs: it takes the focus by itself, and a key meant
// for the window the dealer was typing in must not answer a price unseen.
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include "desk/common/DeskServices.h"
#include "desk/sessions/PriceChangedPresenter.h"
#include "platform/Timer.h"
#include "runtime/Event.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace OrbanexDesk {

class frmPriceChanged : public QWidget, public IfrmPriceChanged {
public:
    // How long a showing holds the keys back, counted on the desk's timers.
    static constexpr int32_t kKeysAfterShownMs = 500;

    explicit frmPriceChanged(PriceChangedPresenter& presenter);
    ~frmPriceChanged() override;

    // What the desk registers so that every session's dialog gets this window.
    static DeskServices::PriceChangedFactory Factory();

    void setLblOrder(const std::string& text) override;
    void setLblNewPrice(const std::string& text) override;
    void setCaption(const std::string& text) override;
    void SetTopMost(bool onTop) override;
    void Hide() override;
    void CenterForm() override;

    QGroupBox& framOriginal() const { return *framOriginal_; }
    QGroupBox& framNew() const { return *framNew_; }
    QLabel& lblOrder() const { return *lblOrder_; }
    QLabel& lblNewPrice() const { return *lblNewPrice_; }
    QPushButton& cmdAccept() const { return *cmdAccept_; }
    QPushButton& cmdReject() const { return *cmdReject_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Holds back the buttons' answering keys until the window takes keys.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PriceChangedPresenter& presenter_;
    QGroupBox* framOriginal_;
    QGroupBox* framNew_;
    QLabel* lblOrder_;
    QLabel* lblNewPrice_;
    QPushButton* cmdAccept_;
    QPushButton* cmdReject_;
    platform::Timer keysWait_;
    runtime::ScopedConnection keysWaited_;
    bool takesKeys_ = false;
};

}  // namespace OrbanexDesk
