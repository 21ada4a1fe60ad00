#include "connection/CClientServerManager.h"

#include <string_view>
#include <utility>

#include "general/common/CRow.h"
#include "general/common/MCommandMessage.h"
#include "runtime/Error.h"

namespace KVClientDLL10 {

namespace {

// The cells of a row string, counted no further than limit + 1: a row too
// wide is refused before the splitter holds a bound for each of its cells.
size_t CellsUpTo(std::string_view row, size_t limit) {
    const std::string_view delimiter = OrbanelGeneral10::kCellDelimiter;
    size_t cells = 1;
    for (size_t at = row.find(delimiter); at != std::string_view::npos && cells <= limit;
         at = row.find(delimiter, at + delimiter.size()))
        ++cells;
    return cells;
}

}  // namespace

CClientServerManager::CClientServerManager()
    : m_oEventManager(std::make_shared<KVGeneralDLL10::CEventManager>()) {
    relayConnection_ = m_oEventManager->ERequestFromServer.Connect(
        [this](int16_t Tkn, const std::vector<std::string>& p) { RequestFromServer(Tkn, p); });
}

CClientServerManager::~CClientServerManager() = default;

void CClientServerManager::AddClientServerObject(std::shared_ptr<IClientServer> vObject) {
    if (!vObject) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    vObject->SetEventManager(m_oEventManager);
    registry_.Add(std::move(vObject));
}

std::shared_ptr<IClientServer> CClientServerManager::FindHandler(int16_t token) const {
    // By position, so that a handler registering another object cannot upset the walk.
    for (int32_t i = 1; i <= registry_.Count(); ++i) {
        std::shared_ptr<IClientServer> object = registry_.Item(i);
        if (object && object->HasThisToken(token)) return object;
    }
    return nullptr;
}

void CClientServerManager::GenerateParamsArr(const KVGeneralDLL10::CProcess& Process,
                                             std::vector<std::string>& ParVals) const {
    const size_t n = Process.Parameters();
    ParVals.resize(n + 1);
    ParVals[0].clear();
    for (size_t i = 1; i <= n; ++i) ParVals[i] = Process.ParameterValue(static_cast<int64_t>(i));
}

void CClientServerManager::OneRowResultreceived(int16_t WaitingToken,
                                                const KVGeneralDLL10::CProcess& Process) {
    // Taken out while the handler runs: a nested answer gets a vector of its own.
    std::vector<std::string> values;
    values.swap(params_);
    GenerateParamsArr(Process, values);
    if (std::shared_ptr<IClientServer> handler = FindHandler(WaitingToken)) {
        std::weak_ptr<char> alive = life_;
        handler->OneRowResultreceived(WaitingToken, static_cast<int16_t>(values.size() - 1),
                                      values);
        if (alive.expired()) return;
    }
    if (params_.empty()) {
        OrbanelGeneral10::wire::TrimSpareTexts(values);
        params_.swap(values);
    }
}

void CClientServerManager::MultiRowsResultsreceived(int16_t WaitingToken, bool NoRows,
                                                    const std::vector<std::string>& DataArr) {
    std::shared_ptr<IClientServer> handler = FindHandler(WaitingToken);
    if (NoRows) {
        if (handler) handler->MultiRowsResultsreceived(WaitingToken, true, ResultTable{}, 0, 0);
        return;
    }
    if (!dataProtocol_) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    const size_t rows = DataArr.empty() ? 0 : DataArr.size() - 1;
    if (rows == 0)
        throw runtime::Error(runtime::errc::SubscriptOutOfRange, "A result without rows");

    KVGeneralDLL10::CProcess& splitter = *dataProtocol_;
    const size_t width = CellsUpTo(DataArr[1], kMaxRowCells);
    if (width > kMaxRowCells) {
        throw runtime::Error(runtime::errc::SubscriptOutOfRange,
                             "Row 1 has more than " + std::to_string(kMaxRowCells) + " cells");
    }
    ResultTable table(rows, width);
    size_t last = 0;
    for (size_t i = 1; i <= rows; ++i) {
        if (CellsUpTo(DataArr[i], width) > width) {
            throw runtime::Error(runtime::errc::SubscriptOutOfRange,
                                 "Row " + std::to_string(i) + " has more cells than row 1 (" +
                                     std::to_string(width) + ")");
        }
        splitter.DifineRow(DataArr[i]);
        const size_t cells = splitter.RowCellsCount();
        std::vector<std::string> row;
        row.reserve(cells);
        for (size_t j = 1; j <= cells; ++j)
            row.push_back(splitter.RowCell(static_cast<int64_t>(j)));
        table.SetRow(i, std::move(row));
        last = cells;
    }
    if (handler) {
        handler->MultiRowsResultsreceived(WaitingToken, false, table, static_cast<int32_t>(rows),
                                          static_cast<int16_t>(last));
    }
}

void CClientServerManager::setSID(int32_t value) {
    if (dataProtocol_) dataProtocol_->setSID(value);
}

void CClientServerManager::setDataProtocol(std::shared_ptr<KVGeneralDLL10::CProcess> process) {
    dataProtocol_ = std::move(process);
}

}  // namespace KVClientDLL10
