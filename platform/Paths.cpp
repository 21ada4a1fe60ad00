#include "platform/Paths.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <optional>
#include <vector>

#include "runtime/Error.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

std::mutex g_folderMutex;
std::optional<fs::path> g_folder;

[[noreturn]] void Refuse(const fs::path& path, const std::string& reason) {
    throw runtime::Error(runtime::errc::PathFileAccess,
                         "Path/File access error: " + path.string() + ": " + reason);
}

[[noreturn]] void AccessError(const fs::path& path, int err) {
    Refuse(path, std::strerror(err));
}

fs::path Tidy(const fs::path& p) {
    fs::path out = fs::absolute(p).lexically_normal();
    if (!out.has_filename() && out.has_parent_path() && out != out.root_path()) {
        out = out.parent_path();  // "dir/" -> "dir"
    }
    return out;
}

fs::path DefaultFolder() {
    if (const char* home = std::getenv("ORBANEX_HOME"); home && *home) return Tidy(home);
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        return Tidy(fs::path(xdg) / "OrbanexDesk");
    }
    std::string home;
    if (const char* h = std::getenv("HOME"); h && *h) {
        home = h;
    } else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) {
        home = pw->pw_dir;
    } else {
        home = ".";
    }
    return Tidy(fs::path(home) / ".local" / "share" / "OrbanexDesk");
}

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The spelling under which `name` exists in `dir`: itself when it exists as
// given, else the first entry equal but for letter case, else `name` as given.
std::string MatchEntry(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) return name;
    if (fs::exists(fs::symlink_status(dir / name, ec))) return name;
    std::string best;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (SameNoCase(entry, name) && (best.empty() || entry < best)) best = std::move(entry);
    }
    return best.empty() ? name : best;
}

std::vector<std::string> SplitComponents(std::string_view text) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\\' || text[i] == '/') {
            if (i > start) parts.emplace_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// Walks `parts` down from `root`; ".." steps back but never above `root`.
fs::path ResolveUnder(const fs::path& root, const std::vector<std::string>& parts) {
    std::vector<std::string> names;
    fs::path cur = root;
    for (const std::string& part : parts) {
        if (part == ".") continue;
        if (part == "..") {
            if (!names.empty()) {
                names.pop_back();
                cur = cur.parent_path();
            }
            continue;
        }
        names.push_back(MatchEntry(cur, part));
        cur /= names.back();
    }
    return cur;
}

bool IsWindowsAbsolute(std::string_view text) {
    const bool drive = text.size() >= 2 && text[1] == ':' &&
                       ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
    const bool unc = text.size() >= 2 && text[0] == '\\' && text[1] == '\\';
    return drive || unc;
}

void SeedTree(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path target = to / MatchEntry(to, it->path().filename().string());
        if (it->is_directory(ec)) {
            // Like the folder itself: the manage folder comes from here on a fresh home.
            if (fs::create_directories(target, ec)) ::chmod(target.c_str(), 0700);
            if (fs::is_directory(target, ec)) SeedTree(it->path(), target);
        } else if (it->is_regular_file(ec) && !fs::exists(fs::symlink_status(target, ec))) {
            AtomicWriteFile(target, ReadWholeFile(it->path()));
        }
    }
    if (ec) AccessError(from, ec.value());
}

// The saved passwords live in the folder and its manage folder: another user's
// folder, or one that others may write to, would hand them over.
void CheckPrivate(const fs::path& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) AccessError(folder, errno);
    if (st.st_uid != ::geteuid())
        Refuse(folder,
               "it belongs to another user, and the desk keeps saved passwords there; "
               "choose a folder of your own with --home");
    if ((st.st_mode & S_IWOTH) != 0)
        Refuse(folder,
               "other users may write to it, and the desk keeps saved passwords there; "
               "take that right away (chmod o-w) or choose another folder with --home");
}

}  // namespace

fs::path InitProgramFolder(int argc, char** argv, const fs::path& assetsDir) {
    std::optional<std::string> homeArg;
    for (int i = 1; i < argc && argv[i]; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--home") {
            if (i + 1 >= argc || !argv[i + 1] || !*argv[i + 1]) {
                throw runtime::Error(runtime::errc::BadFileName, "--home needs a folder");
            }
            homeArg = argv[++i];
        } else if (arg.starts_with("--home=")) {
            if (arg.size() == 7) {
                throw runtime::Error(runtime::errc::BadFileName, "--home needs a folder");
            }
            homeArg = std::string(arg.substr(7));
        }
    }
    const fs::path folder = homeArg ? Tidy(*homeArg) : DefaultFolder();

    std::error_code ec, made;
    const bool existed = fs::exists(folder, ec);
    fs::create_directories(folder, made);
    // The making's own error: a look at the folder afterwards says only that it is not there.
    if (!fs::is_directory(folder, ec))
        AccessError(folder, existed || !made ? ENOTDIR : made.value());
    // Saved credentials live here: a folder made now is the owner's alone.
    if (!existed) ::chmod(folder.c_str(), 0700);
    CheckPrivate(folder);
    if (const fs::path manage = folder / MatchEntry(folder, "manage"); fs::is_directory(manage, ec))
        CheckPrivate(manage);
    if (!assetsDir.empty() && fs::is_directory(assetsDir, ec)) SeedTree(assetsDir, folder);
    fs::create_directories(folder / MatchEntry(folder, "logs"), ec);

    SetProgramFolder(folder);
    return folder;
}

fs::path ProgramFolder() {
    std::lock_guard lock(g_folderMutex);
    if (!g_folder) g_folder = DefaultFolder();
    return *g_folder;
}

void SetProgramFolder(const fs::path& folder) {
    std::lock_guard lock(g_folderMutex);
    g_folder = Tidy(folder);
}

fs::path ResolvePath(std::string_view systemPath) {
    const fs::path root = ProgramFolder();
    if (systemPath.empty()) return root;
    if (systemPath.find('\0') != std::string_view::npos) {
        throw runtime::Error(runtime::errc::BadFileName, "Bad file name");
    }

    if (IsWindowsAbsolute(systemPath)) {
        // Logs and such that went to a drive's root land in our logs folder.
        std::vector<std::string> parts = SplitComponents(systemPath);
        if (!parts.empty() && parts.front().size() >= 2 && parts.front()[1] == ':') {
            parts.front().erase(0, 2);  // "c:" or "c:name"
        }
        std::vector<std::string> tail{"logs"};
        for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
            if (!it->empty() && *it != "." && *it != "..") {
                tail.push_back(*it);
                break;
            }
        }
        std::error_code ec;
        fs::create_directories(root / MatchEntry(root, "logs"), ec);
        return ResolveUnder(root, tail);
    }

    // A path already resolved (inside the folder) resolves to itself.
    const std::string rootText = root.string();
    if (systemPath.starts_with(rootText) &&
        (systemPath.size() == rootText.size() || systemPath[rootText.size()] == '/')) {
        systemPath.remove_prefix(rootText.size());
    }
    return ResolveUnder(root, SplitComponents(systemPath));
}

void AtomicWriteFile(const fs::path& path, std::string_view content, FileAccess access) {
    if (!path.has_filename()) {
        throw runtime::Error(runtime::errc::BadFileName, "Bad file name: " + path.string());
    }
    const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
    static std::atomic<unsigned> counter{0};

    fs::path temp;
    int fd = -1;
    for (int tries = 0; fd < 0; ++tries) {
        temp = dir / ("." + path.filename().string() + ".tmp" + std::to_string(getpid()) + "-" +
                      std::to_string(counter++));
        // 0666 so the umask decides, as for any new file; owner-only content is
        // never readable by others, not even while it is being written.
        const mode_t mode = access == FileAccess::OwnerOnly ? 0600 : 0666;
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && (errno != EEXIST || tries > 100)) AccessError(path, errno);
    }
    auto fail = [&](int err) {
        if (fd >= 0) ::close(fd);
        ::unlink(temp.c_str());
        AccessError(path, err);
    };

    const char* p = content.data();
    size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    struct stat old {};
    if (access == FileAccess::OwnerOnly) {
        if (::fchmod(fd, 0600) != 0) fail(errno);
    } else if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(fd, old.st_mode & 07777);  // a rewrite keeps the file's permissions
    }
    if (::fsync(fd) != 0) fail(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) fail(errno);
    if (::rename(temp.c_str(), path.c_str()) != 0) fail(errno);

    // Make the rename itself durable; a failure here loses nothing already written.
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

namespace {
// The file's bytes up to `limit` and one byte more, to tell a larger one.
// A pipe or a device is what stands there, not a file, when `regularOnly`.
std::string ReadAtMost(const fs::path& path, int flags, size_t limit, bool regularOnly = false) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC | flags);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT) {
            throw runtime::Error(runtime::errc::FileNotFound, "File not found: " + path.string());
        }
        AccessError(path, err);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        AccessError(path, err);
    }
    if (regularOnly && !S_ISREG(st.st_mode)) {
        ::close(fd);
        Refuse(path, "it is not a regular file");
    }
    std::string data;
    // A file's own size and the byte that tells a larger one.
    data.reserve(std::min(static_cast<size_t>(st.st_size), limit) + 1);
    char buf[65536];
    while (data.size() <= limit) {
        const size_t room = limit - data.size();
        const ssize_t n = ::read(fd, buf, room < sizeof buf ? room + 1 : sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            AccessError(path, err);
        }
        // Grown by doubling but never past the bound's one byte more (a string's own
        // growth would double past it), so an endless device costs no more than that.
        const size_t needed = data.size() + static_cast<size_t>(n);
        if (needed > data.capacity() && limit < std::numeric_limits<size_t>::max()) {
            std::string grown;
            grown.reserve(std::min(std::max(needed, 2 * data.capacity()), limit + 1));
            grown.append(data);
            data.swap(grown);
        }
        data.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}
}  // namespace

std::string ReadWholeFile(const fs::path& path) {
    return ReadAtMost(path, 0, std::numeric_limits<size_t>::max());
}

std::optional<std::string> ReadFileUpTo(const fs::path& path, size_t limit) {
    // Non-blocking, so that a pipe without a writer gives nothing instead of a wait.
    std::string data = ReadAtMost(path, O_NONBLOCK, limit);
    if (data.size() > limit) return std::nullopt;
    return data;
}

std::string SizeText(size_t bytes) {
    constexpr size_t kKB = 1024, kMB = 1024 * kKB;
    if (bytes >= kMB && bytes % kMB == 0) return std::to_string(bytes / kMB) + " MB";
    if (bytes >= kKB && bytes % kKB == 0) return std::to_string(bytes / kKB) + " KB";
    return std::to_string(bytes) + " bytes";
}

std::string ReadFileWithin(const fs::path& path, size_t limit) {
    std::string data = ReadAtMost(path, O_NONBLOCK, limit, true);
    if (data.size() > limit) Refuse(path, "the file is larger than " + SizeText(limit));
    return data;
}

bool MakeOwnerOnly(const fs::path& path) {
    // Opened, not named: what is checked is what is changed, and a link (to a
    // device, or to another user's file) is never followed.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool changed = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
                         (st.st_mode & 07777) != 0600 && ::fchmod(fd, 0600) == 0;
    ::close(fd);
    return changed;
}

}  // namespace platform
