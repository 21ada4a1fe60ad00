#pragma once
// The headless combo-box store: a list of item texts, the edit text and the
// selected index. Code that changes the text raises Change; code that changes the
// selected index raises Click (and Change when the text changes with it), as the
// desk's handlers expect. Handlers may change the combo again.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Event.h"

namespace platform {

class ComboBox {
public:
    void AddItem(std::string_view text) {
        items_.emplace_back(text);
        ListChanged();
    }
    // Empties the list and the text; raises Change when the text was not empty.
    void Clear();
    // Removes item `index` (raises 381 outside the list); the selected item going
    // leaves no item selected and the text as it was.
    void RemoveItem(size_t index);
    size_t ListCount() const { return items_.size(); }
    // Item 0..ListCount-1; raises runtime::Error 381 outside.
    const std::string& List(size_t index) const;
    // True when some item equals `text` exactly.
    bool Contains(std::string_view text) const { return IndexOf(text) >= 0; }

    const std::string& Text() const { return text_; }
    // Selects the first item that equals `text`, else no item; raises Change if it differs.
    void setText(std::string_view text);
    // The operator's typing: the text with no item selected; raises Change if it differs.
    void TypeText(std::string_view text);
    // -1 when no item is selected.
    int32_t ListIndex() const { return listIndex_; }
    // -1 deselects; raises 380 outside -1..ListCount-1.
    void setListIndex(int32_t index);

    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

    runtime::Event<> Click;
    runtime::Event<> Change;
    // The item list was added to or cleared (for a view of the combo).
    runtime::Event<> ListChanged;

private:
    int32_t IndexOf(std::string_view text) const;

    std::vector<std::string> items_;
    std::string text_;
    int32_t listIndex_ = -1;
    bool enabled_ = true;
};

}  // namespace platform
