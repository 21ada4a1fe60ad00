#include "clientapi/dataclient/CManagerReports.h"

#include <utility>

#include "clientapi/dataclient/RequestParams.h"
#include "general/common/CFileProcess.h"
#include "general/common/Enums.h"
#include "runtime/Error.h"

namespace OrbanexClientAPI10 {

void CManagerReports::RequestReportFromServer(ManagerReportsTypeEnum ReportType,
                                              const std::string& Params) {
    if (!eventManager_) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    reportType_ = ReportType;
    eventManager_->RequestFromServer(OrbanelGeneral10::GET_REPORT_TOKEN,
                                     PaddedRequest({std::to_string(ReportType), Params}));
}

void CManagerReports::OneRowResultreceived(int16_t, int16_t, const std::vector<std::string>&) {}

void CManagerReports::MultiRowsResultsreceived(int16_t /*CallerToken*/, bool NoRows,
                                               const KVClientDLL10::ResultTable& DataArray,
                                               int32_t /*Results*/, int16_t /*Parameters*/) {
    // Emptying takes effect on disk at once: handlers find the buffer empty.
    OrbanelGeneral10::CFileProcess().ClearFile(kReportBuffer);
    ReportDataReceived(NoRows, DataArray);
}

bool CManagerReports::HasThisToken(int16_t vToken) {
    return vToken == OrbanelGeneral10::GET_REPORT_TOKEN;
}

void CManagerReports::SetEventManager(
    std::shared_ptr<KVGeneralDLL10::CEventManager> vEventManager) {
    eventManager_ = std::move(vEventManager);
}

void CManagerReports::SetAccountNode(const runtime::Variant& vVal, bool /*SetAnyWay*/) {
    accountNode_ = vVal;
}

}  // namespace OrbanexClientAPI10
