#pragma once
// The two lines of a layout file: the panes' text and the command bars' text.
// A missing file or line reads as empty; so does a line over the cap, which no
// layout the desk writes comes near, so a damaged file cannot swallow memory.
#include <array>
#include <cstddef>
#include <filesystem>
#include <string>

namespace OrbanexDesk {

constexpr size_t kMaxLayoutLine = size_t{1} << 20;

std::array<std::string, 2> ReadLayoutLines(const std::filesystem::path& path);

// The start's load of its layout file, marked on disk (the file's name and
// kLoadMarkSuffix) while it runs, since the window may crash on a layout that
// no check foresaw. A start that finds the mark of one that never ended sets
// the file aside (its name and kSetAsideSuffix, replacing an older one), says
// so in one line on standard error and loads no layout, as a first start does.
// The mark goes when this object does; a folder that cannot hold it leaves the
// load unmarked.
class LayoutLoadMark {
public:
    static constexpr const char* kLoadMarkSuffix = ".loading";
    static constexpr const char* kSetAsideSuffix = ".bad";

    explicit LayoutLoadMark(const std::filesystem::path& layout);
    ~LayoutLoadMark();
    LayoutLoadMark(const LayoutLoadMark&) = delete;
    LayoutLoadMark& operator=(const LayoutLoadMark&) = delete;

    // The last load never ended: this start loads no layout.
    bool Interrupted() const { return interrupted_; }

private:
    std::filesystem::path mark_;
    bool interrupted_ = false;
};

}  // namespace OrbanexDesk
