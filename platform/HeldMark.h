#pragma once
// A mark file that stands while the one who holds it runs: it is made under an
// exclusive lock (flock) and stays locked until it is removed, so another
// process can tell a mark held now from one left by a process that ended (the
// system drops the lock with the process). Where the file system refuses locks
// (a network share without its lock service) marks stand unlocked, and any
// mark found standing counts as left. Making and taking over a mark never
// blocks. Not for use from two threads; the mark goes with the object.
#include <filesystem>
#include <functional>

namespace platform {

class HeldMark {
public:
    // What stood at the path before this object (Standing).
    enum class Found {
        Nothing,
        Left,  // a mark nobody holds: taken over, it is this object's now
        Held,  // a mark another holds: this object holds none
    };
    // flock's contract: 0, or -1 and errno (EWOULDBLOCK: another holds it).
    using Locker = std::function<int(int fd, int operation)>;

    // Holds the mark at `path`, making it where there is none. A folder that
    // cannot hold it leaves the object holding none (found Nothing). A mark
    // that cannot be opened for writing counts as left; it is replaced by this
    // object's where the folder lets it go. `lock` stands in for flock.
    explicit HeldMark(std::filesystem::path path, Locker lock = {});
    ~HeldMark();
    HeldMark(const HeldMark&) = delete;
    HeldMark& operator=(const HeldMark&) = delete;

    Found Standing() const { return found_; }
    bool Held() const { return fd_ >= 0; }
    // Removes the mark now, if this object holds it.
    void Release();

private:
    bool TakeOver();
    bool ReplaceUnopenable();
    bool Make();
    // Locked, or the file system refuses locks; false when another holds it.
    bool Lock(int fd);

    std::filesystem::path path_;
    Locker lock_;
    int fd_ = -1;
    Found found_ = Found::Nothing;
};

}  // namespace platform
