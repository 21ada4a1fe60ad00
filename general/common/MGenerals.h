#pragma once
// Procedures the general library's classes share: the one way a value is
// formatted, the one way an object reference is let go, and the notifier that
// stands in for message boxes (a library never blocks on a dialog).
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "general/common/ISafeObject.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

// Formats `value` with `format` so that every "/" and ":" written in the format
// comes out as that very character, whatever the locale's separators are.
std::string SafeFormat(const runtime::Variant& value, std::string_view format);

// Calls Deallocate when the object implements ISafeObject, then empties the
// caller's reference. An empty reference stays empty.
template <class T>
void SafeRelease(std::shared_ptr<T>& ref) {
    if (!ref) return;
    if constexpr (std::is_base_of_v<ISafeObject, T>) {
        static_cast<ISafeObject&>(*ref).Deallocate();
    } else if constexpr (std::is_polymorphic_v<T>) {
        if (auto* safe = dynamic_cast<ISafeObject*>(ref.get())) safe->Deallocate();
    }
    ref.reset();
}

// What a message box would show. The host (the desk) sets the notifier; with
// none set the text is dropped.
using MessageNotifier = std::function<void(const std::string& text)>;
void SetMessageNotifier(MessageNotifier notifier);
void ShowMessage(const std::string& text);

}  // namespace OrbanelGeneral10
