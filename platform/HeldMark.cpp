#include "platform/HeldMark.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

namespace platform {

namespace {
// A mark removed and made again between our open and our lock sends us round
// again; more rounds than this mean someone plays with it: hold none.
constexpr int kMarkTries = 8;

bool SameFile(int fd, const std::filesystem::path& path) {
    struct stat opened {
    }, named{};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}
}  // namespace

HeldMark::HeldMark(std::filesystem::path path, Locker lock)
    : path_(std::move(path)), lock_(lock ? std::move(lock) : Locker(::flock)) {
    for (int tries = 0; tries < kMarkTries; ++tries) {
        if (TakeOver() || found_ != Found::Nothing) return;
        if (errno == ENOENT) {
            if (Make()) return;
            if (errno == ENOENT) return;  // no folder to hold the mark: trying again won't make one
        }
        if (errno != ENOENT && errno != EEXIST) return;
    }
}

HeldMark::~HeldMark() {
    Release();
}

void HeldMark::Release() {
    if (fd_ < 0) return;
    // Removed while still locked: one who opened it meanwhile finds the name gone.
    ::unlink(path_.c_str());
    ::close(std::exchange(fd_, -1));
}

bool HeldMark::Lock(int fd) {
    if (lock_(fd, LOCK_EX | LOCK_NB) == 0) return true;
    // Anything but "another holds it" is the file system refusing locks.
    return errno != EWOULDBLOCK;
}

// The mark that stands, if nobody holds it; errno says why not (ENOENT: none).
bool HeldMark::TakeOver() {
    const int fd = ::open(path_.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return errno != ENOENT && ReplaceUnopenable();
    if (!Lock(fd)) {
        found_ = Found::Held;
        ::close(fd);
        return false;
    }
    if (!SameFile(fd, path_)) {  // removed by its holder before we locked it
        ::close(fd);
        errno = EEXIST;
        return false;
    }
    fd_ = fd;
    found_ = Found::Left;
    return true;
}

// Nobody holds a mark we cannot open, as nobody could lock it: it is left.
bool HeldMark::ReplaceUnopenable() {
    const int err = errno;
    struct stat st {};
    if (::lstat(path_.c_str(), &st) != 0) {  // the folder fails, not the mark
        errno = err;
        return false;
    }
    found_ = Found::Left;
    return ::unlink(path_.c_str()) == 0 && Make();
}

// A new mark, locked before it bears its name so that nobody ever finds it
// unlocked; errno EEXIST when another made one meanwhile.
bool HeldMark::Make() {
    std::string temp = path_.native() + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    // Nobody else knows the file yet: a refusal leaves it standing unlocked.
    Lock(fd);
    const bool linked = ::link(temp.c_str(), path_.c_str()) == 0;
    const int err = errno;
    ::unlink(temp.c_str());
    if (linked) {
        fd_ = fd;
        return true;
    }
    ::close(fd);
    if (err == EEXIST) {
        errno = EEXIST;
        return false;
    }
    // A file system without hard links: made in place, a moment unlocked.
    const int placed = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (placed < 0) return false;
    if (!Lock(placed)) {  // another took it in that moment: it is theirs
        ::close(placed);
        return false;
    }
    fd_ = placed;
    return true;
}

}  // namespace platform
