#pragma once
// The two lines of a layout file: the panes' text and the command bars' text.
// A missing or unreadable file or line reads as empty; so does a line over the
// cap, which no layout the desk writes comes near, so a damaged file cannot
// swallow memory; the line after it is read as it stands. No more of the file
// is read than two lines at their caps, whatever it is, and nothing waits for
// it: a larger file, a link to an endless device or a pipe reads as two empty
// lines.
#include <array>
#include <cstddef>
#include <filesystem>
#include <string>

#include "platform/HeldMark.h"

namespace OrbanexDesk {

constexpr size_t kMaxLayoutLine = size_t{1} << 20;

std::array<std::string, 2> ReadLayoutLines(const std::filesystem::path& path);

// A load of a layout, marked on disk (the file's name and kLoadMarkSuffix) while
// it runs, since the window may crash on a layout that no check foresaw. The
// mark is held under a lock, so a mark that another start holds now is no
// sign of a crash. At the start, a mark nobody holds is one that never ended:
// the start sets the file aside (its name and kSetAsideSuffix, replacing an
// older one), says so in one line on standard error and loads no layout, as a
// first start does. The mark goes with this object; a folder that cannot hold
// it, or a mark another holds, leaves the load unmarked.
class LayoutLoadMark {
public:
    static constexpr const char* kLoadMarkSuffix = ".loading";
    static constexpr const char* kSetAsideSuffix = ".bad";
    enum class Judge { LastLoad, Nothing };

    // With Judge::Nothing (a later load of a layout read at the start), a mark
    // found standing sets nothing aside.
    explicit LayoutLoadMark(const std::filesystem::path& layout, Judge judge = Judge::LastLoad);

    // The last load never ended: this start loads no layout.
    bool Interrupted() const { return interrupted_; }

private:
    platform::HeldMark mark_;
    bool interrupted_ = false;
};

}  // namespace OrbanexDesk
