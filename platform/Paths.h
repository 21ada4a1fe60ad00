#pragma once
// The program folder and the mapping of the system's Windows-style paths onto it.
//
// Relative paths ("\manage\SERVER.BUF", "Manage/x") resolve against the program
// folder component by component without regard to letter case: an existing
// "Manage" serves "\manage\"; new components take the spelling given. A
// Windows absolute path ("c:\APIlog.txt") becomes <program folder>/logs/APIlog.txt.
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// --home DIR, else $ORBANEX_HOME, else $XDG_DATA_HOME/OrbanexDesk
// (~/.local/share/OrbanexDesk). Creates it when missing and seeds it from
// `assetsDir` (files not already present are copied). Returns the folder.
std::filesystem::path InitProgramFolder(int argc, char** argv,
                                        const std::filesystem::path& assetsDir = {});

std::filesystem::path ProgramFolder();
void SetProgramFolder(const std::filesystem::path& folder);

std::filesystem::path ResolvePath(std::string_view systemPath);

// Replaces `path` with `content` through a temporary file in the same folder
// renamed over it, so a crash leaves either the old or the new content.
// Raises runtime::Error(75) when it cannot write.
void AtomicWriteFile(const std::filesystem::path& path, std::string_view content);

// Whole file as bytes; raises runtime::Error(53) when it does not exist.
std::string ReadWholeFile(const std::filesystem::path& path);

}  // namespace platform
