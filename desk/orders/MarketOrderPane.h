#pragma once
// The market-order pane without its window: the account rows, the symbol and
// rule combos, the total, the buttons' states and every handler of the pane. The
// form shows this state and forwards the operator's acts; code that writes a
// control here runs its change handler as the operator's change would.
// It reaches the accounts window's helpers only through IfrmMain. GUI thread only.
#include <cstdint>
#include <functional>
#include <string>

#include "desk/common/Ports.h"

namespace OrbanexDesk {

class MarketOrderPane : public Ifrmorder {
public:
    static constexpr const char* kColumnWidths = "20,12,67";
    static constexpr int32_t kNoteColor = 255;
    static constexpr size_t kAmount = 1;
    static constexpr size_t kResult = 2;

    struct Hooks {
        std::function<IfrmMain*()> frmMain;
        std::function<Ifrmlimitorder*()> frmlimitorder;
        // The desk's shared symbol of that name, or none.
        std::function<SymbolPtr(const std::string& Name)> GetCollectionItem;
        // The desk's message box with the default caption.
        std::function<void(const std::string& Text)> ShowMessage;
        // Check-all over the pane's rows (equity read from the sessions).
        std::function<void(platform::ListView& rows, bool Checked)> CheckAllClients;
    };
    struct Button {
        bool enabled = true;
        bool visible = true;
    };

    explicit MarketOrderPane(Hooks hooks);
    ~MarketOrderPane() override;
    MarketOrderPane(const MarketOrderPane&) = delete;
    MarketOrderPane& operator=(const MarketOrderPane&) = delete;

    // ---- Ifrmorder ----
    platform::ListView& lvwConClients() override { return rows_; }
    // A listed account's row moves to the end keeping its tick and amount, its
    // result emptied; a new row takes the amount and the value (0: no result).
    void Add(int32_t AccountID, const std::string& Text, double Amount) override;
    void Remove(int32_t AccountID) override;
    void addNote(const std::string& Text, int32_t Account) override;
    void Enableds(bool Enable) override;
    bool Enabled() const override { return enabled_; }
    void setEnabled(bool enabled) override;
    platform::ComboBox& cbsymbols() override { return symbols_; }
    // Runs the total's change handler when the text differs.
    void setTxtammount(const std::string& text) override;
    std::string txtammount() const override { return total_; }
    platform::ComboBox& CBdis() override { return rules_; }
    void setCmddisEnabled(bool enabled) override { Set(cmddis_.enabled, enabled); }
    void setCmddisVisible(bool visible) override { Set(cmddis_.visible, visible); }
    void setCmdbuyEnabled(bool enabled) override { Set(cmdbuy_.enabled, enabled); }
    void setCmdbuyVisible(bool visible) override { Set(cmdbuy_.visible, visible); }
    void setCmdsellEnabled(bool enabled) override { Set(cmdsell_.enabled, enabled); }
    void setCmdsellVisible(bool visible) override { Set(cmdsell_.visible, visible); }
    // Runs the box's click when the state differs.
    void setChkAllClients(bool checked) override;
    void updateAmount(int32_t AccountID, double Amount, const std::string& Key) override;

    void UpdateResult(const std::string& Text, int32_t Account);

    // ---- The operator's acts ----
    void Form_Load();
    // Enter runs Distribute first and leaves Buy and Sell usable; the key then
    // passes the accounts window's filter: the result is the key kept, 0 dropped.
    int16_t txtammount_KeyPress(int16_t KeyAscii);
    int16_t txtLvw_KeyPress(int16_t KeyAscii, const std::string& EditorText);
    void cmddis_Click();
    void cmdbuy_Click() { Send(true); }
    void cmdsell_Click() { Send(false); }
    void LblCheck_Click();
    // The operator's tick of a row.
    void lvwConClients_ItemCheck();
    // Opens the editor over the "Amount" of row `index` (1-based) when `column` is
    // 2; the editor's text, or nothing when no edit opens.
    bool BeginEdit(size_t index, size_t column, std::string& text);
    // Writes the trimmed text back; a text that is not a lot count keeps the
    // amount and marks the row "Invalid Lots".
    void CommitEdit(const std::string& text);
    bool Editing() const { return !editKey_.empty(); }
    size_t EditingRow() const;

    // ---- What the form shows ----
    const Button& cmddis() const { return cmddis_; }
    const Button& cmdbuy() const { return cmdbuy_; }
    const Button& cmdsell() const { return cmdsell_; }
    bool chkAllClients() const { return checkAll_; }
    const std::string& LblCheckCaption() const { return checkCaption_; }
    bool ControlsEnabled() const { return controlsEnabled_; }
    bool TxtammountVisible() const { return totalVisible_; }
    const SymbolPtr& PaneSymbol() const { return paneSymbol_; }

    // Raised after any of the shown states above changed (not the stores).
    std::function<void()> StateChanged;

private:
    void Set(bool& field, bool value);
    void Changed();
    void SymbolChanged();
    void RuleChanged();
    void txtammount_Change();
    void chkAllClients_Click();
    void ShowDistribute();
    void EmptyResults();
    void Send(bool buy);
    IfrmMain* Main() const;

    Hooks hooks_;
    platform::ListView rows_;
    platform::ComboBox symbols_;
    platform::ComboBox rules_;
    std::string total_;
    Button cmddis_, cmdbuy_, cmdsell_;
    bool enabled_ = true;
    bool controlsEnabled_ = true;
    bool totalVisible_ = true;
    bool checkAll_ = false;
    std::string checkCaption_ = "Check All";
    SymbolPtr paneSymbol_;
    // The edited row by key: a logout meanwhile must not move the edit to another row.
    std::string editKey_;
    runtime::ScopedConnection symbolClick_, symbolChange_, ruleClick_, ruleChange_;
};

}  // namespace OrbanexDesk
