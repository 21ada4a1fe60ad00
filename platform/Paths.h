#pragma once
// The program folder and the mapping of the system's Windows-style paths onto it.
//
// Relative paths ("\manage\SERVER.BUF", "Manage/x") resolve against the program
// folder component by component without regard to letter case: an existing
// "Manage" serves "\manage\"; new components take the spelling given; ".."
// never leads above the folder. A Windows absolute path ("c:\APIlog.txt",
// "\\host\share\x.txt") becomes <program folder>/logs/<its last name>. A path
// already inside the folder resolves to itself.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// --home DIR, else $ORBANEX_HOME, else $XDG_DATA_HOME/OrbanexDesk
// (~/.local/share/OrbanexDesk). Creates it when missing and seeds it from
// `assetsDir` (files not already present, in any letter case, are copied) and
// makes its logs folder. A folder it creates is the owner's alone (0700); an
// existing one keeps its rights. Returns the folder. A --home without a folder raises
// runtime::Error(52); a folder that cannot be made, or a folder or its manage
// folder that another user owns or that other users may write to (it holds the
// saved passwords), raises runtime::Error(75) with the reason.
std::filesystem::path InitProgramFolder(int argc, char** argv,
                                        const std::filesystem::path& assetsDir = {});

// Before InitProgramFolder/SetProgramFolder: the folder the environment names
// (not created).
std::filesystem::path ProgramFolder();
void SetProgramFolder(const std::filesystem::path& folder);

// "" gives the folder itself; a NUL byte raises runtime::Error(52).
std::filesystem::path ResolvePath(std::string_view systemPath);

// Who may read a file that AtomicWriteFile writes.
enum class FileAccess {
    Default,    // a new file as the umask makes it; a rewrite keeps the file's rights
    OwnerOnly,  // 0600 whatever the umask, on a rewrite too (files holding credentials)
};

// Replaces `path` with `content` through a temporary file in the same folder
// renamed over it, so a crash leaves either the old or the new content. Raises
// runtime::Error(75) when it cannot write, leaving the old file as it was.
void AtomicWriteFile(const std::filesystem::path& path, std::string_view content,
                     FileAccess access = FileAccess::Default);

// Whole file as bytes; raises runtime::Error(53) when it does not exist.
std::string ReadWholeFile(const std::filesystem::path& path);

// At most `limit` bytes of a file, whatever stands there (a device or a pipe
// included, which never makes it wait); nothing when the file holds more.
// Raises as ReadWholeFile does.
std::optional<std::string> ReadFileUpTo(const std::filesystem::path& path, size_t limit);
// ReadFileUpTo of a regular file that may hold no more: a larger one, or anything
// but a regular file (a pipe, a device), raises runtime::Error(75) whose reason
// says so ("the file is larger than 4 MB").
std::string ReadFileWithin(const std::filesystem::path& path, size_t limit);
// A size as messages give it: "4 MB", "16 KB", "100 bytes".
std::string SizeText(size_t bytes);

// Makes `path` the owner's alone (0600) when it is a regular file of this user's,
// reached without following a link at its last name; anything else (a link, a
// device, a folder, another user's file, nothing) is left as it is. Returns
// whether the rights were changed.
bool MakeOwnerOnly(const std::filesystem::path& path);

}  // namespace platform
