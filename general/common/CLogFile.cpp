#include "general/common/CLogFile.h"

#include <cstdio>

#include "general/common/CGenerals.h"
#include "general/common/MGenerals.h"
#include "platform/Paths.h"
#include "runtime/Clock.h"
#include "runtime/Error.h"

namespace OrbanelGeneral10 {

CLogFile::CLogFile() : formatter_(std::make_shared<CGenerals>()) {}

CLogFile::~CLogFile() {
    Deallocate();
}

void CLogFile::Deallocate() {
    SafeRelease(formatter_);
}

std::string CLogFile::TimeStamp(runtime::Date now) const {
    if (!formatter_) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    return formatter_->MonthDayYearTime(now);
}

bool CLogFile::AddEntry(const std::string& entry, int16_t EntryLevel) {
    if (!LogEnabled() || EntryLevel > LogLevel()) return false;

    const std::string line = TimeStamp(runtime::Now()) + " : " + entry + "\r\n";
    if (fileName_.empty()) return true;  // nowhere to write: the line is lost, as for any bad path
    std::FILE* file = nullptr;
    try {
        file = std::fopen(platform::ResolvePath(fileName_).c_str(), "ab");
    } catch (const runtime::Error&) {
        file = nullptr;  // a name the resolver refuses
    }
    if (file) {
        std::fwrite(line.data(), 1, line.size(),
                    file);  // a failed write is not the caller's problem
        std::fclose(file);
    }
    return true;
}

}  // namespace OrbanelGeneral10
