#pragma once
// The accounts window, pane 100004: the two notices above the account rows. Its
// work is AccountsWindowCore's; the window forwards the list's events and the
// ports' calls there, and keeps the sound allowance re-armed every 10 seconds.
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "desk/accounts/AccountsWindowCore.h"
#include "desk/accounts/CLoginOptions.h"
#include "desk/common/DeskProcedures.h"
#include "desk/common/Ports.h"
#include "platform/ListView.h"
#include "platform/Timer.h"
#include "platform/widgets/FileChooser.h"

class QLabel;

namespace platform::widgets {
class ListView;
}  // namespace platform::widgets

namespace OrbanexDesk {

class DeskServices;
class frmaccount;
class frmAboutOrbanel;
class frmSure;

class frmMain : public QWidget, public IfrmMain {
public:
    static constexpr const char* kColumnWidths = "4,9,9,10,10,8,8,8,8,8,8,8,8";
    static constexpr int32_t kSoundInterval = 10000;

    // `services` answers at call time: the window exists before the desk's services.
    explicit frmMain(std::function<DeskServices*()> services, QWidget* parent = nullptr);
    ~frmMain() override;

    // Timer, server list, column widths, the two account lists of the run. Runs once.
    void Form_Load();
    bool Loaded() const { return core_.has_value(); }
    AccountsWindowCore& Core();
    // The view of pane 100004, which a loaded account list shows.
    void setWindowView(IPaneView* view);
    CLoginOptions& LoginOptions();
    platform::widgets::ListView& ClientsView() { return *view_; }
    platform::Timer& SoundTimer() { return timer_; }

    // Opens the edit mode with user, password, account and the ticks of the row's
    // saved line (the dialog's by default).
    using EditHandler = std::function<void(const std::string& UserName, const std::string& Password,
                                           const std::string& AccountText, const SaveTicks& ticks)>;
    void setEditHandler(EditHandler handler) { edit_ = std::move(handler); }
    void lvwClients_DblClick();
    // The add-account dialog in add mode.
    void mnuLogin_Click();
    frmaccount* AccountDialog() { return account_; }
    // The dialog's port; it reaches the dialog once the window has loaded.
    Ifrmaccount& AccountDialogPort() { return accountPort_; }

    // ---- Account commands of the shell ----
    // Logs every row in, in list order, with "New Position" in front.
    void mnuLogin_all();
    // The shell's remove-all command: asks first, then removes every account.
    void mnuclear_Click();
    // Replaces the desk's accounts with those of a chosen list file.
    void mnuload_Click();
    // Copies the run's connected accounts to a chosen list file.
    void mnusaveas_Click();
    // The confirmation of "Logout All" and "Remove All".
    frmSure& SureDialog();
    platform::widgets::FileChooser& ListChooser() { return chooser_; }

    // ---- IfrmMain ----
    ManagersPtr CClientAPIManagers() override;
    platform::ListView& lvwClients() override { return rows_; }
    void addToListView(const std::string& Username, int32_t AccountID, bool Connected,
                       const std::string& Fifth, const std::string& Fourth, int16_t n) override;
    void refreshsummery_Click(const std::string& Key) override;
    void MnuDisconnecte_Click() override;
    bool SoundAllowed() const override { return soundAllowed_; }
    void setSoundAllowed(bool allowed) override { soundAllowed_ = allowed; }
    std::string LoadedFileName() const override { return {}; }
    void ValidateData() override;
    void Distribute(double total, int16_t rule, const SymbolPtr& Symbol) override;
    int16_t askycodekeypress(int16_t& KeyAscii, const std::string& Text) override;
    void clearammountfromlistview() override {}
    void MnuAbout_Click() override;
    frmAboutOrbanel& AboutBox();
    void Result(int32_t code, const std::string& key, int32_t account,
                bool deletion = false) override;
    void textchanged() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    DeskServices& Services();
    void Form_Resize();
    void lvwClients_MouseDown(int32_t Button);
    void lvwClients_MouseUp();
    // The "Accounts Popup" with the commands the selected row allows.
    void ShowAccountsPopup(bool rightButton);
    void RegisterAccountCommands();
    void ListChosen(const std::string& path);

    class AccountPort : public Ifrmaccount {
    public:
        explicit AccountPort(frmMain& owner) : owner_(owner) {}
        void setEnabled(bool enabled) override;

    private:
        frmMain& owner_;
    };

    std::function<DeskServices*()> services_;
    platform::ListView rows_;
    QLabel* labelinfo1_;
    QLabel* labelinfo2_;
    platform::widgets::ListView* view_;
    platform::Timer timer_;
    runtime::ScopedConnection tick_;
    runtime::ScopedConnection dblClick_;
    runtime::ScopedConnection mouseDown_;
    runtime::ScopedConnection mouseUp_;
    runtime::ScopedConnection chosen_;
    platform::widgets::FileChooser chooser_;
    platform::widgets::FileChooser::Mode chooserMode_ = platform::widgets::FileChooser::Mode::Open;
    AccountPort accountPort_{*this};
    frmSure* sure_ = nullptr;
    frmAboutOrbanel* about_ = nullptr;
    std::unique_ptr<CLoginOptions> options_;
    IPaneView* windowView_ = nullptr;
    std::optional<AccountsWindowCore> core_;
    std::string widths_;
    ColumnPercentages percentages_;
    bool soundAllowed_ = false;
    bool rightButton_ = false;
    EditHandler edit_;
    frmaccount* account_ = nullptr;
};

}  // namespace OrbanexDesk
