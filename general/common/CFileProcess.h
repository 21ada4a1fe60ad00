#pragma once
// Line-oriented text files: open one file for reading, writing or appending,
// write lines, read the next line or comma-separated field, read line n,
// count lines, delete line n, test and delete files. Paths are the system's
// Windows-style paths, resolved under the program folder.
//
// Files are bytes as written; lines end in CR LF when written and in CR LF or
// LF when read. A file is never left half rewritten: a file opened for output
// is replaced when it is closed, DeleteLine replaces the file in one step, and
// a file emptied (ClearFile, or opened for output and closed with nothing
// written) keeps its old content until the appends that refill it are closed.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"

namespace OrbanelGeneral10 {

class CFileProcess : public ISafeObject {
public:
    CFileProcess();
    ~CFileProcess() override;
    CFileProcess(const CFileProcess&) = delete;
    CFileProcess& operator=(const CFileProcess&) = delete;

    // Closes the file held, then opens FileName. "" on success, else the
    // error's description (nothing is open then). Never raises.
    std::string OpenFile(const std::string& FileName, OpenTypeEnum OpenType);
    void ClearFile(const std::string& FileName);
    // Raises runtime::Error(75) when a replaced file cannot be written; the
    // file is closed either way and its old content stays.
    void CloseFile();
    // OpenFile, then the line and CloseFile when it opened; OpenFile's result.
    std::string PutEntry(const std::string& entry, const std::string& FileName,
                         OpenTypeEnum OpenType);
    // Raises runtime::Error(52) with no file open, 54 on a file opened for reading.
    void AddEntry(const std::string& entry);
    // The next comma-separated field (leading blanks skipped, a field in double
    // quotes may hold commas). ReadEOF leaves `entry` as it was.
    ReadFileResultEnum CurrentEntry(std::string& entry);
    ReadFileResultEnum CurrentLine(std::string& entry);
    // Field number LineNumber of the file; raises runtime::Error on a missing
    // file (53) or too few fields (62). The file is closed on every path.
    std::string GetEntry(const std::string& FileName, int32_t LineNumber);
    // Line number LineNumber into LineVal; ReadFail leaves LineVal as it was.
    ReadFileResultEnum GetLine(const std::string& FileName, int32_t LineNumber,
                               std::string& LineVal);

    const std::string& FileName() const { return fileName_; }
    void setFileName(const std::string& FileName) { fileName_ = FileName; }

    // These three work on their own file and leave the open one alone.
    // Raises runtime::Error(53) on a missing file.
    int32_t NumberOfLinesInFile(const std::string& File_name);
    // No such line: the file is rewritten with all its lines. Raises
    // runtime::Error when reading or writing fails; the old file is then intact.
    void DeleteLine(const std::string& fname, int32_t LineNumber);
    bool IfFileExists(const std::string& FileName);
    // Every error, a missing file included, is ignored.
    void RemoveFile(const std::string& FileName);

    // Holds no other object; an open file stays open until closed or destroyed.
    void Deallocate() override {}

private:
    struct Session;

    // Writes the emptying that ClearFile left waiting.
    void CommitStaged() noexcept;

    std::unique_ptr<Session> open_;
    // A file emptied but not yet written: the next append session on it
    // writes the new content in one step; any other call empties it first.
    std::optional<std::filesystem::path> staged_;
    std::string fileName_;
};

}  // namespace OrbanelGeneral10
