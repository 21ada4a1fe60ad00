#include "desk/common/DeskProcedures.h"

#include <exception>

#include "general/common/CFileProcess.h"
#include "platform/Paths.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace OrbanexDesk {

namespace {
constexpr int32_t kAccountColumn = 3;  // sub-item of the accounts rows
constexpr double kEvenColumnShrink = 50;
constexpr const char* kBrandingFile = "\\manage\\dat.cmo";
}  // namespace

void SelectComboText(platform::ComboBox& Combo, const std::string& Text) {
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < Combo.ListCount(); ++i) {
            Combo.setListIndex(static_cast<int32_t>(i));
            if (Combo.Text() == Text) return;
        }
        Combo.AddItem(Text);
    }
}

// ---- Column widths ----

const std::vector<double>& ColumnPercentages::Of(const std::string& Widths) {
    if (split_ && Widths == text_) return values_;
    values_.clear();
    for (const std::string& item : runtime::Split(Widths, ","))
        values_.push_back(runtime::Val(item));
    text_ = Widths;
    split_ = true;
    return values_;
}

std::vector<double> ColumnWidthsFor(double ListWidth, size_t ColumnCount, const std::string& Widths,
                                    ColumnPercentages* Cache) {
    std::vector<double> widths;
    if (ListWidth <= kNarrowestSizedList || ColumnCount == 0) return widths;
    if (Widths.empty()) {
        widths.assign(ColumnCount,
                      ListWidth / static_cast<double>(ColumnCount) - kEvenColumnShrink);
        return widths;
    }
    ColumnPercentages local;
    const std::vector<double>& percentages = (Cache ? *Cache : local).Of(Widths);
    for (size_t k = 0; k < ColumnCount && k < percentages.size(); ++k)
        widths.push_back(ListWidth * percentages[k] / 100);
    return widths;
}

void ApplyColumnWidths(platform::ListView& List, double ListWidth, const std::string& Widths,
                       ColumnPercentages* Cache) {
    const std::vector<double> widths =
        ColumnWidthsFor(ListWidth, List.ColumnCount(), Widths, Cache);
    for (size_t k = 0; k < widths.size(); ++k) List.setColumnWidth(k + 1, widths[k]);
}

std::string GetColumnWidths(const platform::ListView& List, double ListWidth) {
    if (ListWidth <= 0) return "";
    std::vector<std::string> parts;
    for (size_t i = 1; i <= List.ColumnCount(); ++i)
        parts.push_back(runtime::CStr(runtime::Variant(List.ColumnWidth(i) / ListWidth * 100)));
    return runtime::Join(parts, ",");
}

// ---- Order forms ----

void ClearOrderAmounts(Ifrmorder& frmorder) {
    platform::ListView& rows = frmorder.lvwConClients();
    for (size_t i = 1; i <= rows.Count(); ++i) rows.Item(i).setSubItems(1, "");
}

namespace {
void RemoveEntries(platform::ComboBox& combo, const std::string& name) {
    // The entry that moves up into a removed one's place is not looked at.
    for (size_t i = 0; i < combo.ListCount(); ++i)
        if (combo.List(i) == name) combo.RemoveItem(i);
}
}  // namespace

void RemoveSymbolFromCombos(Ifrmorder& frmorder, Ifrmlimitorder& frmlimitorder,
                            const std::string& Name) {
    RemoveEntries(frmorder.cbsymbols(), Name);
    RemoveEntries(frmlimitorder.cblimitordersymbols(), Name);
}

void ClearOrderForms(const DeskPorts& Ports) {
    if (Ports.frmMW) Ports.frmMW->lvmw().Clear();
    if (Ports.frmorder) {
        Ports.frmorder->cbsymbols().Clear();
        Ports.frmorder->setTxtammount("");
    }
    if (Ifrmlimitorder* limit = Ports.frmlimitorder) {
        limit->cblimitordersymbols().Clear();
        limit->setTxtlimitorderammount("");
        limit->setTxtatprice("");
        limit->setTxtsl("");
        limit->setTxttp("");
        limit->setLblcondition("");
        limit->setLblpricecondition("");
        limit->setLblslchanged("");
        limit->setLblslcondition("");
        limit->setLbltpchanged("");
        limit->setLbltpcondition("");
    }
    if (Ports.frmClosePos) Ports.frmClosePos->CloseSymbols().Clear();
}

// ---- Look-ups and texts ----

std::string FindClientKey(IfrmMain& frmMain, int32_t Account) {
    platform::ListView& rows = frmMain.lvwClients();
    for (size_t i = rows.Count(); i >= 1; --i)
        if (runtime::Val(rows.Item(i).SubItems(kAccountColumn)) == Account)
            return rows.Item(i).Key();
    return "";
}

std::string NumberOrZero(const runtime::Variant& Value) {
    if (Value.IsNull() || !runtime::IsNumeric(Value)) return "";
    return runtime::CStr(Value);
}

std::string BrandingEntry(int32_t n) {
    try {
        OrbanelGeneral10::CFileProcess files;
        return files.GetEntry(kBrandingFile, n);
    } catch (const std::exception&) {
        return "";  // missing, short or unreadable: no text
    }
}

std::string CompanyName() {
    return BrandingEntry(1);
}

std::string SoundFile(const std::string& Name) {
    return platform::ProgramFolder().string() + "\\sounds\\" + Name;
}

}  // namespace OrbanexDesk
