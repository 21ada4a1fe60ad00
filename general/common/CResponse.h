#pragma once
// The general library's result dispatcher, the server end of one multi-row
// result: the host builds the rows cell by cell, Handle sends a count message
// (the count in parameter 1) and one RESULT_TOKEN message per row (row number,
// row string) on the client's socket, and the rows the client reports lost are
// sent again. One log line per row goes out through the event manager.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "general/common/CDataProtocol.h"
#include "general/common/CEventManager.h"
#include "general/common/CStringValues.h"
#include "platform/TcpSocket.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CResponse {
public:
    CResponse();
    CResponse(const CResponse&) = delete;
    CResponse& operator=(const CResponse&) = delete;

    // Sends the rows of the not-received list, first reported first, taking
    // each off the list. False on the first error (a number outside
    // 1..Results, a failing send); the entries after it stay listed.
    bool SendNotRecievedResults();
    // Sends the count message and every row in order; True and Handled once
    // all went. Any error (no socket, no event manager, a failing send) gives
    // False; what was sent stays sent.
    bool Handle();

    // Appends the text of CellVal as a cell of the current row. A Null value
    // raises runtime::Error(94); a text holding the cell delimiter "R,@" or a
    // message marker ("G)_", "+3!") would change the row or cut the message on
    // the wire, and raises runtime::Error(5). The row is unchanged on error.
    void AddCell(const runtime::Variant& CellVal);
    // The current row becomes row Results + 1 and a new row starts. A row
    // whose text is empty (no cells, or one empty cell) or the not-sent marker
    // cannot be received (the client would ask for it again for ever) and
    // raises runtime::Error(5), leaving rows and current row as they were.
    void AddRow();
    // Lists a row the client reports lost.
    void ResultNotRecieved(double ResultID);

    const std::shared_ptr<platform::TcpSocket>& Child() const { return child_; }
    void setChild(std::shared_ptr<platform::TcpSocket> child) { child_ = std::move(child); }
    int32_t Results() const { return static_cast<int32_t>(rows_.size()); }
    bool HasNotRecievedResults() const { return !notReceived_.empty(); }
    bool Handled() const { return handled_; }
    void setEventManager(std::shared_ptr<CEventManager> manager) {
        eventManager_ = std::move(manager);
    }

private:
    CRow& Row() const;
    void SendRow(int32_t i);

    std::shared_ptr<platform::TcpSocket> child_;
    std::vector<std::string> rows_;  // row i is rows_[i - 1]
    std::string notReceived_;
    bool handled_ = false;
    std::shared_ptr<CEventManager> eventManager_;
    CDataProtocol codec_;
    CStringValues values_;
};

}  // namespace OrbanelGeneral10
