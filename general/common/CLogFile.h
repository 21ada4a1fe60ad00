#pragma once
// Appends time-stamped lines "dd-mm-yy hh:mm:ss : entry" to one text file.
// An entry is written only while logging is on and its level is at most the
// log's level. No file is held open between entries, so the log can be read,
// rotated or deleted at any time.
#include <cstdint>
#include <memory>
#include <string>

#include "general/common/ISafeObject.h"
#include "runtime/Date.h"

namespace OrbanelGeneral10 {

class CGenerals;

class CLogFile : public ISafeObject {
public:
    CLogFile();
    ~CLogFile() override;
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // False only for an entry filtered out by LogEnabled/LogLevel. A file that
    // cannot be opened or written loses the line without an error.
    bool AddEntry(const std::string& entry, int16_t EntryLevel);

    const std::string& FileName() const { return fileName_; }
    void setFileName(const std::string& FileName) { fileName_ = FileName; }
    bool LogEnabled() const { return enabled_; }
    void setLogEnabled(bool LogEnabled) { enabled_ = LogEnabled; }
    int16_t LogLevel() const { return level_; }
    void setLogLevel(int16_t LogLevel) { level_ = LogLevel; }

    // Releases the date formatter; a later entry raises runtime::Error(91).
    void Deallocate() override;

private:
    std::string TimeStamp(runtime::Date now) const;

    std::shared_ptr<CGenerals> formatter_;
    std::string fileName_;
    bool enabled_ = true;
    int16_t level_ = 1;
};

}  // namespace OrbanelGeneral10
