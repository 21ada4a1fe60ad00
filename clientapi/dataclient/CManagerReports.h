#pragma once
// Asks the server for a manager report and hands its rows to the owner.
// It claims the report token only; the rows arrive as one ReportDataReceived,
// raised synchronously inside the session's answer call. Before the event the
// report buffer file is emptied, so the owner starts it afresh.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clientapi/dataclient/Enums.h"
#include "connection/IClientServer.h"
#include "connection/ResultTable.h"
#include "protocol/CEventManager.h"
#include "runtime/Event.h"
#include "runtime/Variant.h"

namespace OrbanexClientAPI10 {

class CManagerReports : public KVClientDLL10::IClientServer {
public:
    // The buffer the owner fills with a report's rows.
    static constexpr const char* kReportBuffer = "\\manage\\manager_report.buf";

    // NoRows, Data: the answer's table as the session built it.
    runtime::Event<bool /*NoRows*/, const KVClientDLL10::ResultTable& /*Data*/> ReportDataReceived;

    // Sends the report request (ReportType, Params unchanged). Before
    // SetEventManager it raises runtime::Error(91) and sends nothing.
    void RequestReportFromServer(ManagerReportsTypeEnum ReportType, const std::string& Params);

    // ---- IClientServer ----
    // Ignored: reports come as rows.
    void OneRowResultreceived(int16_t CallerToken, int16_t Parameters,
                              const std::vector<std::string>& ParamVals) override;
    // Empties the report buffer, then raises ReportDataReceived.
    void MultiRowsResultsreceived(int16_t CallerToken, bool NoRows,
                                  const KVClientDLL10::ResultTable& DataArray, int32_t Results,
                                  int16_t Parameters) override;
    bool HasThisToken(int16_t vToken) override;
    void SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager> vEventManager) override;

    // Nothing to let go of on a lost connection.
    void Disconnection() {}

    // Nothing fills the report texts yet; each reads "".
    const std::string& ReportTitle() const { return reportTitle_; }
    const std::string& ReportHeaders() const { return reportHeaders_; }
    const std::string& ReportTopTitle() const { return reportTopTitle_; }
    const std::string& ReportButtomTitle() const { return reportButtomTitle_; }
    const std::string& ReportColAlligns() const { return reportColAlligns_; }

    // Kept for the owner whatever SetAnyWay says.
    void SetAccountNode(const runtime::Variant& vVal, bool SetAnyWay);
    const runtime::Variant& AccountNode() const { return accountNode_; }

private:
    std::shared_ptr<KVGeneralDLL10::CEventManager> eventManager_;
    ManagerReportsTypeEnum reportType_{};
    runtime::Variant accountNode_;
    std::string reportTitle_, reportHeaders_, reportTopTitle_, reportButtomTitle_,
        reportColAlligns_;
};

}  // namespace OrbanexClientAPI10
