#include "general/common/CFileProcess.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/Paths.h"
#include "runtime/Error.h"

namespace fs = std::filesystem;

namespace OrbanelGeneral10 {

using runtime::Error;
namespace errc = runtime::errc;

struct CFileProcess::Session {
    OpenTypeEnum mode = INPUT_TYPE;
    fs::path path;
    // Reading: the file's bytes and the read position.
    std::string data;
    size_t pos = 0;
    // Writing (output and append): lines go to the file as they are written.
    std::FILE* file = nullptr;

    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() {
        if (file) std::fclose(file);
    }
};

namespace {

fs::path Resolve(const std::string& name) {
    if (name.empty()) throw Error(errc::BadFileName);
    return platform::ResolvePath(name);
}

std::string Describe(int32_t number) {
    return Error::DescriptionOf(number);
}

int32_t WriteErrorNumber(int err) {
    return err == ENOENT || err == ENOTDIR ? errc::PathNotFound : errc::PathFileAccess;
}

// Opens for appending (creating the file when missing, as every write mode
// does); the error number when the place cannot be written.
std::FILE* OpenForAppend(const fs::path& path, int32_t& error) {
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file) error = WriteErrorNumber(errno);
    return file;
}

// One line from `pos`: up to LF, a CR before it (or at the very end) dropped.
std::string NextLine(const std::string& data, size_t& pos) {
    const size_t lf = data.find('\n', pos);
    const size_t end = lf == std::string::npos ? data.size() : lf;
    std::string line = data.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    pos = lf == std::string::npos ? data.size() : lf + 1;
    return line;
}

}  // namespace

CFileProcess::CFileProcess() = default;

CFileProcess::~CFileProcess() {
    try {
        CloseFile();
    } catch (const Error&) {
        // nobody is left to tell
    }
}

std::string CFileProcess::OpenFile(const std::string& FileName, OpenTypeEnum OpenType) {
    fileName_ = FileName;
    try {
        CloseFile();
    } catch (const Error& e) {
        return e.Description();
    }

    fs::path path;
    try {
        path = Resolve(FileName);
    } catch (const Error& e) {
        return e.Description();
    }

    auto session = std::make_unique<Session>();
    session->mode = OpenType;
    session->path = path;
    int32_t error = 0;
    switch (OpenType) {
        case INPUT_TYPE:
            try {
                session->data = platform::ReadWholeFile(path);
            } catch (const Error& e) {
                return e.Description();
            }
            break;
        case OUTPUT_TYPE:
        case APPEND_TYPE: {
            session->file = OpenForAppend(path, error);
            if (session->file && OpenType == OUTPUT_TYPE) {
                // Writable, so emptied in one step: every other reader and
                // writer sees it at once. The handle moves to the new file.
                std::fclose(std::exchange(session->file, nullptr));
                try {
                    platform::AtomicWriteFile(path, "");
                } catch (const Error& e) {
                    return e.Description();
                }
                session->file = OpenForAppend(path, error);
            }
            if (!session->file) return Describe(error);
            break;
        }
        default:
            return Describe(errc::BadFileMode);
    }
    open_ = std::move(session);
    return "";
}

void CFileProcess::CloseFile() {
    if (!open_) return;
    const std::unique_ptr<Session> s = std::move(open_);
    std::FILE* file = std::exchange(s->file, nullptr);
    if (file && std::fclose(file) != 0) throw Error(errc::PathFileAccess);
}

void CFileProcess::ClearFile(const std::string& FileName) {
    OpenFile(FileName, OUTPUT_TYPE);
    CloseFile();
}

std::string CFileProcess::PutEntry(const std::string& entry, const std::string& FileName,
                                   OpenTypeEnum OpenType) {
    std::string result = OpenFile(FileName, OpenType);
    if (!result.empty()) return result;
    try {
        AddEntry(entry);
    } catch (const Error&) {
        open_.reset();
        throw;
    }
    CloseFile();
    return result;
}

void CFileProcess::AddEntry(const std::string& entry) {
    if (!open_) throw Error(errc::BadFileName);
    if (open_->mode == INPUT_TYPE) throw Error(errc::BadFileMode);
    const std::string line = entry + "\r\n";
    if (std::fwrite(line.data(), 1, line.size(), open_->file) != line.size() ||
        std::fflush(open_->file) != 0) {
        throw Error(errc::PathFileAccess);
    }
}

ReadFileResultEnum CFileProcess::CurrentLine(std::string& entry) {
    if (!open_ || open_->mode != INPUT_TYPE) return ReadFail;
    if (open_->pos >= open_->data.size()) return ReadEOF;
    entry = NextLine(open_->data, open_->pos);
    return ReadSuccess;
}

ReadFileResultEnum CFileProcess::CurrentEntry(std::string& entry) {
    if (!open_ || open_->mode != INPUT_TYPE) return ReadFail;
    const std::string& d = open_->data;
    size_t& p = open_->pos;
    if (p >= d.size()) return ReadEOF;

    while (p < d.size() && (d[p] == ' ' || d[p] == '\t')) ++p;
    std::string field;
    if (p < d.size() && d[p] == '"') {
        const size_t close = d.find('"', p + 1);
        const size_t end = close == std::string::npos ? d.size() : close;
        field = d.substr(p + 1, end - p - 1);
        p = end == d.size() ? end : end + 1;
        while (p < d.size() && d[p] != ',' && d[p] != '\n') ++p;  // text after the quote
    } else {
        const size_t stop = d.find_first_of(",\n", p);
        const size_t end = stop == std::string::npos ? d.size() : stop;
        field = d.substr(p, end - p);
        if (!field.empty() && field.back() == '\r') field.pop_back();
        while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.pop_back();
        p = end;
    }
    if (p < d.size()) ++p;  // the comma or the line feed ending the field
    entry = std::move(field);
    return ReadSuccess;
}

std::string CFileProcess::GetEntry(const std::string& FileName, int32_t LineNumber) {
    const bool opened = OpenFile(FileName, INPUT_TYPE).empty();
    std::string field;
    for (int32_t i = 1; i <= LineNumber; ++i) {
        const ReadFileResultEnum r = CurrentEntry(field);
        if (r != ReadSuccess) {
            open_.reset();
            throw Error(opened ? errc::InputPastEnd : errc::FileNotFound);
        }
    }
    CloseFile();
    return LineNumber < 1 ? std::string() : field;
}

ReadFileResultEnum CFileProcess::GetLine(const std::string& FileName, int32_t LineNumber,
                                         std::string& LineVal) {
    if (!OpenFile(FileName, INPUT_TYPE).empty()) return ReadFail;
    std::string line;
    for (int32_t i = 1; i <= LineNumber; ++i) {
        if (CurrentLine(line) != ReadSuccess) {
            CloseFile();
            return ReadFail;
        }
    }
    CloseFile();
    LineVal = LineNumber < 1 ? std::string() : line;
    return ReadSuccess;
}

int32_t CFileProcess::NumberOfLinesInFile(const std::string& File_name) {
    const std::string data = platform::ReadWholeFile(Resolve(File_name));
    int64_t lines = 0;
    for (char c : data) lines += c == '\n';
    if (!data.empty() && data.back() != '\n') ++lines;  // a last line without a break counts
    return static_cast<int32_t>(lines);
}

void CFileProcess::DeleteLine(const std::string& fname, int32_t LineNumber) {
    const fs::path path = Resolve(fname);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return;
    const std::string data = platform::ReadWholeFile(path);
    std::string kept;
    kept.reserve(data.size() + 2);
    size_t pos = 0;
    for (int64_t number = 1; pos < data.size(); ++number) {
        std::string line = NextLine(data, pos);
        if (number != LineNumber) kept.append(line).append("\r\n");
    }
    platform::AtomicWriteFile(path, kept);
}

bool CFileProcess::IfFileExists(const std::string& FileName) {
    try {
        const fs::path path = Resolve(FileName);
        std::error_code ec;
        if (!fs::is_regular_file(path, ec)) return false;
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) return false;
        std::fclose(file);
        return true;
    } catch (const Error&) {
        return false;
    }
}

void CFileProcess::RemoveFile(const std::string& FileName) {
    try {
        const fs::path path = Resolve(FileName);
        std::error_code ec;
        if (!fs::is_directory(path, ec)) fs::remove(path, ec);
    } catch (const Error&) {
        // a bad name removes nothing
    }
}

}  // namespace OrbanelGeneral10
