#pragma once
// The protocol framework's text-file class: the general library's, except
// that GetLine returns the line itself and raises when it cannot read it, and
// that there is no RemoveFile.
#include <cstdint>
#include <string>

#include "general/common/CFileProcess.h"
#include "protocol/Enums.h"

namespace KVGeneralDLL10 {

class CFileProcess : private OrbanelGeneral10::CFileProcess {
    using Base = OrbanelGeneral10::CFileProcess;

public:
    using Base::AddEntry;
    using Base::ClearFile;
    using Base::CloseFile;
    using Base::CurrentEntry;
    using Base::CurrentLine;
    using Base::DeleteLine;
    using Base::FileName;
    using Base::GetEntry;
    using Base::IfFileExists;
    using Base::NumberOfLinesInFile;
    using Base::OpenFile;
    using Base::PutEntry;
    using Base::setFileName;

    // Line number LineNumber ("" when below 1); raises runtime::Error(53) on
    // a missing file, 62 on a file with fewer lines.
    std::string GetLine(const std::string& FileName, int32_t LineNumber);
};

}  // namespace KVGeneralDLL10
