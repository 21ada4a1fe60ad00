// Manager reports: the report request, rows handed on unchanged, and the
// report buffer emptied on disk before the owner hears of the rows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "clientapi/dataclient/CManagerReports.h"
#include "tests/support/TempProgramFolder.h"

namespace {

namespace oc = OrbanexClientAPI10;
using Params = std::vector<std::string>;

TEST(ManagerReports, RequestsAReportAndHandsItsRowsOnWithTheBufferEmptied) {
    testsupport::TempProgramFolder folder;
    std::filesystem::create_directory(folder.Path() / "manage");
    const auto buffer = folder.Path() / "manage" / "manager_report.buf";
    std::ofstream(buffer) << "old report\r\n";

    auto relay = std::make_shared<KVGeneralDLL10::CEventManager>();
    std::vector<std::pair<int16_t, Params>> sent;
    relay->ERequestFromServer.Connect(
        [&](int16_t token, const Params& p) { sent.emplace_back(token, p); });
    oc::CManagerReports reports;
    reports.SetEventManager(relay);

    reports.RequestReportFromServer(oc::SMSReport, "");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].first, 202);
    Params expected(50, "!&NS&!");
    expected[0] = "11";
    expected[1] = "";
    EXPECT_EQ(sent[0].second, expected);

    std::vector<std::string> got;
    reports.ReportDataReceived.Connect([&](bool NoRows, const KVClientDLL10::ResultTable& Data) {
        std::string line = NoRows ? "NoRows" : "Rows";
        for (size_t r = 1; r <= Data.Rows(); ++r) line += " " + Data(r, 1) + "," + Data(r, 2);
        line += " buffer " + std::to_string(std::filesystem::file_size(buffer));
        got.push_back(line);
    });
    KVClientDLL10::ResultTable table(2, 2);
    table(1, 1) = "09/12/2026", table(1, 2) = "sent", table(2, 1) = "10/12/2026",
             table(2, 2) = "failed";
    reports.MultiRowsResultsreceived(202, false, table, 2, 2);
    reports.OneRowResultreceived(202, 1, {"", "ignored"});
    reports.MultiRowsResultsreceived(202, true, {}, 0, 0);
    EXPECT_EQ(got, (std::vector<std::string>{"Rows 09/12/2026,sent 10/12/2026,failed buffer 0",
                                             "NoRows buffer 0"}));

    reports.Disconnection();
    EXPECT_EQ(reports.ReportTitle() + reports.ReportHeaders() + reports.ReportTopTitle() +
                  reports.ReportButtomTitle() + reports.ReportColAlligns(),
              "");
    reports.SetAccountNode(runtime::Variant("node"), false);
    EXPECT_EQ(reports.AccountNode(), runtime::Variant("node"));
    reports.SetAccountNode(runtime::Variant(int32_t{7}), true);
    EXPECT_EQ(reports.AccountNode(), runtime::Variant(int32_t{7}));
}

}  // namespace
