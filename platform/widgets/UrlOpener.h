#pragma once
// Hands a web or file address to the machine's viewer. Never waits; an address
// that is not absolute, a web address without a host, or a machine with no
// handler, opens nothing. Tests replace the opener to record what would have been
// handed on.
#include <functional>
#include <string>

namespace platform::widgets {

// Answers whether the address was handed on.
using UrlOpenerFunction = std::function<bool(const std::string& url)>;

bool OpenUrl(const std::string& url);

// Replaces the opener for the whole process; an empty one restores the real one.
void SetUrlOpener(UrlOpenerFunction opener);

}  // namespace platform::widgets
