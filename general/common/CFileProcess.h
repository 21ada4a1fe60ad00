#pragma once
// Line-oriented text files: open one file for reading, writing or appending,
// write lines, read the next line or comma-separated field, read line n,
// count lines, delete line n, test and delete files. Paths are the system's
// Windows-style paths, resolved under the program folder.
//
// Files are bytes as written; lines end in CR LF when written and in CR LF or
// LF when read. Opening for output (ClearFile too) replaces the file by an
// empty one in one step, so every reader and writer sees it emptied at once;
// lines are then appended to the file as they are written, by output and
// append alike. DeleteLine replaces the file in one step. A caller rewriting
// a whole file writes it to a temporary file and renames it
// (platform::AtomicWriteFile), never by emptying and appending.
#include <cstdint>
#include <memory>
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
    // Raises runtime::Error(75) when the file cannot be closed cleanly; it is
    // closed either way.
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

    std::unique_ptr<Session> open_;
    std::string fileName_;
};

}  // namespace OrbanelGeneral10
