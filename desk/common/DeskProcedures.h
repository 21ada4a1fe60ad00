#pragma once
// The desk module procedures over lists, combos, the branding file and the
// sounds folder, Qt-free:
// the panes call them on their stores, the Qt side applies the widths to its
// headers. Look-ups that find nothing return the empty text.
#include <cstdint>
#include <string>
#include <vector>

#include "desk/common/DeskServices.h"
#include "platform/ComboBox.h"
#include "platform/ListView.h"
#include "runtime/Variant.h"

namespace OrbanexDesk {

// Selects the first entry equal to Text (exact), appending Text when none is;
// each entry tried is made current, which raises the combo's handlers.
void SelectComboText(platform::ComboBox& Combo, const std::string& Text);

// Lists narrower than this keep their column widths.
constexpr double kNarrowestSizedList = 300;

// The split of the last percentage text, so that resizes split only new texts.
class ColumnPercentages {
public:
    const std::vector<double>& Of(const std::string& Widths);

private:
    bool split_ = false;
    std::string text_;
    std::vector<double> values_;
};

// New widths (twips) of columns 1..n for a list ListWidth twips wide: with no
// percentages every column gets ListWidth / ColumnCount - 50; otherwise column k
// gets ListWidth * percentage k / 100, up to the first column without one. None
// at kNarrowestSizedList or less.
std::vector<double> ColumnWidthsFor(double ListWidth, size_t ColumnCount, const std::string& Widths,
                                    ColumnPercentages* Cache = nullptr);
// Writes those widths into the list's column headers.
void ApplyColumnWidths(platform::ListView& List, double ListWidth, const std::string& Widths,
                       ColumnPercentages* Cache = nullptr);
// Each column's width as a percentage of ListWidth, joined by ","; "" with no
// columns or no width.
std::string GetColumnWidths(const platform::ListView& List, double ListWidth);

// Empties the amount (sub-item 1) of every account row of the market-order pane.
void ClearOrderAmounts(Ifrmorder& frmorder);
// Removes the entries equal to Name from the two order panes' symbol combos; of
// two equal neighbours only the first goes.
void RemoveSymbolFromCombos(Ifrmorder& frmorder, Ifrmlimitorder& frmlimitorder,
                            const std::string& Name);
// Empties the market watch, the market-order pane's symbols and amount, the
// entry-order pane's symbols and the close-position pane's symbols. Missing
// panes are skipped.
void ClearOrderForms(const DeskPorts& Ports);

// The key of the last accounts row whose account column reads as Account; "".
std::string FindClientKey(IfrmMain& frmMain, int32_t Account);

// The text of a numeric Value; "" for Null and anything not numeric.
std::string NumberOrZero(const runtime::Variant& Value);

// Entry n of the branding file "\manage\dat.cmo"; "" whenever it cannot be read
// (missing, short, unreadable).
std::string BrandingEntry(int32_t n);
// The brand name: entry 1 of the branding file.
std::string CompanyName();

// The path of the sound Name in the program folder's "\sounds\".
std::string SoundFile(const std::string& Name);

}  // namespace OrbanexDesk
