#pragma once
// A mark file that stands while the one who holds it runs: it is made under an
// exclusive lock (flock) and stays locked until it is removed, so another
// process can tell a mark held now from one left by a process that ended (the
// system drops the lock with the process). Making and taking over a mark never
// blocks. Not for use from two threads; the mark goes with the object.
#include <filesystem>

namespace platform {

class HeldMark {
public:
    // What stood at the path before this object (Standing).
    enum class Found {
        Nothing,
        Left,  // a mark nobody holds: taken over, it is this object's now
        Held,  // a mark another holds: this object holds none
    };

    // Holds the mark at `path`, making it where there is none. A folder that
    // cannot hold it leaves the object holding none (found Nothing).
    explicit HeldMark(std::filesystem::path path);
    ~HeldMark();
    HeldMark(const HeldMark&) = delete;
    HeldMark& operator=(const HeldMark&) = delete;

    Found Standing() const { return found_; }
    bool Held() const { return fd_ >= 0; }
    // Removes the mark now, if this object holds it.
    void Release();

private:
    bool TakeOver();
    bool Make();

    std::filesystem::path path_;
    int fd_ = -1;
    Found found_ = Found::Nothing;
};

}  // namespace platform
