#include "protocol/CFileProcess.h"

#include "runtime/Error.h"

namespace KVGeneralDLL10 {

std::string CFileProcess::GetLine(const std::string& FileName, int32_t LineNumber) {
    std::string line;
    if (Base::GetLine(FileName, LineNumber, line) != ReadSuccess) {
        throw runtime::Error(IfFileExists(FileName) ? runtime::errc::InputPastEnd
                                                    : runtime::errc::FileNotFound);
    }
    return line;
}

}  // namespace KVGeneralDLL10
