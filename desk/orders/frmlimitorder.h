#pragma once
// The entry-order pane, pane 100001: one entry order for many accounts, the edit
// of a pending entry order and the stop-loss/take-profit request of a position.
// The window gathers what the dealer typed and applies what the Qt-free classes
// decide (price conditions, submission plan, distribution); the accounts window
// decides Submit's enabling and tells the results. Rows are keyed "C" & account.
// GUI thread only.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desk/common/DeskProcedures.h"
#include "desk/common/DeskServices.h"
#include "platform/ComboBox.h"
#include "platform/ListView.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace platform::widgets {
class ComboBox;
class LabelButton;
class ListView;
}  // namespace platform::widgets

namespace OrbanexDesk {

class CClientAPIManager;
class Culf;

class frmlimitorder : public QWidget, public Ifrmlimitorder {
public:
    static constexpr const char* kInitialWidths = "14,12,73";
    static constexpr const char* kResizedWidths = "20,12,67";

    struct Hooks {
        // Shows and activates pane 100001 (true) or closes it.
        std::function<void(bool)> Displayed;
    };

    // `services` answers at call time: the pane exists before the desk's services.
    frmlimitorder(std::function<DeskServices*()> services, Hooks hooks, QWidget* parent = nullptr);
    ~frmlimitorder() override;

    // ---- Ifrmlimitorder ----
    platform::ListView& lvwConClients() override { return rows_; }
    void Add(int32_t AccountID, int16_t key, const std::string& Text, double Amount) override;
    void Remove(int32_t AccountID) override;
    void addNote(const std::string& Text, int32_t Account) override;
    // The sessions' call on every quote: one run per event-loop turn.
    void limitorderpricechange() override;
    platform::ComboBox& cblimitordersymbols() override { return symbols_; }
    platform::ComboBox* CBlimitorderdis() override { return &rules_; }
    void setCmdsubmitlimiorderEnabled(bool enabled) override;
    void setCmdlimiorderdisEnabled(bool enabled) override;
    void cmdcancel_Click() override;
    void EdirMode() override;
    void setDisplayed(bool shown) override;
    void ManageSuccSLTPResult() override;
    std::string PaneMode() const override { return paneMode_; }
    std::string PositionSide() const override { return positionSide_; }
    std::string EditAmount() const override { return editAmount_; }
    int32_t cblimiordertypeListIndex() const override { return types_.ListIndex(); }
    std::string txtatprice() const override;
    std::string txtsl() const override;
    std::string txttp() const override;
    std::string txtlimitorderammount() const override;
    void setTxtatprice(const std::string& text) override;
    void setTxtsl(const std::string& text) override;
    void setTxttp(const std::string& text) override;
    void setTxtlimitorderammount(const std::string& text) override;
    std::string lblpricecondition() const override;
    std::string lblslchanged() const override;
    std::string lbltpchanged() const override;
    void setLblcondition(const std::string& text) override;
    void setLblpricecondition(const std::string& text) override;
    void setLblslchanged(const std::string& text) override;
    void setLblslcondition(const std::string& text) override;
    void setLbltpchanged(const std::string& text) override;
    void setLbltpcondition(const std::string& text) override;
    std::string SubmittedPrice() const override { return submittedPrice_; }
    std::string SubmittedType() const override { return submittedType_; }
    std::string SubmittedSymbol() const override { return submittedSymbol_; }
    std::string SubmittedSL() const override { return submittedSL_; }
    std::string SubmittedTP() const override { return submittedTP_; }

    bool IsEditing() const override { return isEditing_; }
    int32_t EditID() const override { return editID_; }
    std::string PositionRow() const override { return positionRow_; }
    void setPaneMode(const std::string& mode) override { paneMode_ = mode; }
    void setIsEditing(bool editing) override { isEditing_ = editing; }
    void setEditID(int32_t id) override { editID_ = id; }
    void setPositionSide(const std::string& side) override { positionSide_ = side; }
    void setEditAmount(const std::string& amount) override { editAmount_ = amount; }
    void setPositionRow(const std::string& key) override { positionRow_ = key; }

    // ---- The pane's own fields and operations ----
    SymbolPtr PaneSymbol() const { return paneSymbol_; }
    bool Displayed() const { return displayed_; }
    // Lights LblCheck while the mouse is over it; null: no lighting.
    void setLooks(const Culf* looks) { looks_ = looks; }

    platform::ComboBox& cblimiordertype() { return types_; }
    void updateAmount(int32_t AccountID, double Amount, const std::string& Key);
    // The row of the account whose session has key number `key`.
    void UpdateResult(const std::string& Text, int32_t key);
    // "C" & session key of the first session of the row's account; "" when none.
    std::string checkkey(int32_t index);
    void clearresult();
    void uncheckall();
    void clearFrmlimit();
    void sltpprice();
    void Distribute(double total, int16_t rule, const SymbolPtr& Symbol);
    void cmdlimiorderdis_Click();
    void cmdsubmitlimiorder_Click();
    void LblCheck_Click();
    void setChkAllClients(bool checked);
    void Form_Activate();
    // Runs the price conditions now (the pane's own handlers need them at once).
    // Computes the six labels; a quote's run (unlessShown) ends at once when they
    // show its inputs already.
    void RunPriceConditions(bool unlessShown = false);

    bool SubmitEnabled() const;
    bool CancelVisible() const;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    DeskServices* Services() const { return services_(); }
    IfrmMain* Main() const;
    void SymbolChanged();
    void TypeChanged();
    void PriceTextChanged();
    void TextChanged();
    void chkAllClients_Click(bool checked);
    void RowTicked();
    void ListClicked();
    void clearamount();
    // Every row: amount emptied, unchecked; results too when `results`.
    void ResetRows(bool results);
    void ResetControls();
    void SelectTypeText(const std::string& text);
    std::shared_ptr<CClientAPIManager> SessionOf(int32_t account) const;
    // Forgets the shown conditions' inputs now and whenever the session's
    // connection changes; runs them again when its login's loading writes new
    // prices or offsets.
    void WatchSession(int16_t key);

    std::function<DeskServices*()> services_;
    Hooks hooks_;
    platform::ListView rows_;
    platform::ComboBox types_, symbols_, rules_;
    platform::widgets::ComboBox* cblimiordertype_;
    platform::widgets::ComboBox* cblimitordersymbols_;
    platform::widgets::ComboBox* CBlimitorderdis_;
    QLineEdit* txtatprice_;
    QLineEdit* txtsl_;
    QLineEdit* txttp_;
    QLineEdit* txtlimitorderammount_;
    QLineEdit* txtEditPrice_;
    QPushButton* cmdlimiorderdis_;
    QPushButton* cmdsubmitlimiorder_;
    QPushButton* cmdcancel_;
    QCheckBox* chkAllClients_;
    platform::widgets::LabelButton* LblCheck_;
    QLabel* lblcondition_;
    QLabel* lblpricecondition_;
    QLabel* lblslcondition_;
    QLabel* lblslchanged_;
    QLabel* lbltpcondition_;
    QLabel* lbltpchanged_;
    platform::widgets::ListView* lvwConClients_;
    std::string widths_ = kInitialWidths;
    ColumnPercentages percentages_;
    runtime::ScopedConnection links_[10];

    std::string paneMode_, positionSide_, editAmount_, positionRow_;
    bool isEditing_ = false;
    int32_t editID_ = 0;
    SymbolPtr paneSymbol_;
    bool displayed_ = false;
    const Culf* looks_ = nullptr;
    bool priceRunQueued_ = false;
    // What the shown price conditions were computed from; none once a label was
    // written otherwise or a listed session's data or connection changed. A quote
    // that changes none of it needs no run. The type, the side and the at price
    // change only with a run of their own; a session's symbol load can change the
    // symbol object or the list position without one.
    struct PriceRunInputs {
        const void* symbol;
        double bid, ask;
        std::string mode;
        int32_t symbolIndex;
        uint64_t rows;
        bool operator==(const PriceRunInputs&) const = default;
    };
    std::optional<PriceRunInputs> shownFrom_;
    // The connections and loads of the listed accounts' sessions: their offsets
    // and symbols count only while they are logged on.
    struct WatchedSession {
        std::weak_ptr<const void> api;
        runtime::ScopedConnection connection, symbolsLoaded, pendingOrdersLoaded;
    };
    std::vector<WatchedSession> watched_;
    std::string submittedPrice_, submittedType_, submittedSymbol_, submittedSL_, submittedTP_;
};

}  // namespace OrbanexDesk
