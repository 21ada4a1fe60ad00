#include "platform/ComboBox.h"

#include "runtime/Error.h"

namespace platform {

namespace {
constexpr int32_t kInvalidPropertyValue = 380;
constexpr int32_t kInvalidPropertyArrayIndex = 381;
}  // namespace

void ComboBox::Clear() {
    items_.clear();
    listIndex_ = -1;
    ListChanged();
    if (text_.empty()) return;
    text_.clear();
    Change();
}

void ComboBox::RemoveItem(size_t index) {
    List(index);  // raises outside the list
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    const auto removed = static_cast<int32_t>(index);
    if (listIndex_ == removed)
        listIndex_ = -1;
    else if (listIndex_ > removed)
        --listIndex_;
    ListChanged();
}

const std::string& ComboBox::List(size_t index) const {
    if (index >= items_.size())
        throw runtime::Error(kInvalidPropertyArrayIndex, "Invalid property array index");
    return items_[index];
}

int32_t ComboBox::IndexOf(std::string_view text) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == text) return static_cast<int32_t>(i);
    return -1;
}

void ComboBox::setText(std::string_view text) {
    listIndex_ = IndexOf(text);
    if (text_ == text) return;
    text_ = text;
    Change();
}

void ComboBox::TypeText(std::string_view text) {
    listIndex_ = -1;
    if (text_ == text) return;
    text_ = text;
    Change();
}

void ComboBox::setListIndex(int32_t index) {
    if (index < -1 || index >= static_cast<int32_t>(items_.size()))
        throw runtime::Error(kInvalidPropertyValue, "Invalid property value");
    if (index == listIndex_) return;
    listIndex_ = index;
    const std::string text = index < 0 ? std::string() : items_[static_cast<size_t>(index)];
    if (text != text_) {
        text_ = text;
        Change();
    }
    Click();
}

}  // namespace platform
