#include "general/common/MGenerals.h"

#include <utility>

#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace OrbanelGeneral10 {

std::string SafeFormat(const runtime::Variant& value, std::string_view format) {
    // Hide the separators from the format function, which would localise them.
    std::string pattern = runtime::Replace(runtime::Replace(format, "/", "&&"), ":", "__");
    std::string text = runtime::Format(value, pattern);
    return runtime::Replace(runtime::Replace(text, "&&", "/"), "__", ":");
}

namespace {
MessageNotifier& Notifier() {
    static MessageNotifier notifier;
    return notifier;
}
}  // namespace

void SetMessageNotifier(MessageNotifier notifier) {
    Notifier() = std::move(notifier);
}

void ShowMessage(const std::string& text) {
    // A copy, so a notifier that replaces itself keeps running to its end.
    MessageNotifier notifier = Notifier();
    if (notifier) notifier(text);
}

}  // namespace OrbanelGeneral10
