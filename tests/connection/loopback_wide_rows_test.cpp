// A multi-row answer whose first row is as wide as a row may be and whose
// other rows are short, through a logged-on session: the table holds what
// arrived, not the row count times the first row's width.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "connection/CClientServerManager.h"
#include "general/common/Enums.h"
#include "platform/Timer.h"
#include "runtime/Strings.h"
#include "tests/support/ErrorNumber.h"
#include "tests/support/KVClientProbe.h"
#include "tests/support/ScriptedPeer.h"

namespace {

namespace kv = KVClientDLL10;
namespace og = OrbanelGeneral10;
using testsupport::Rows;
using testsupport::ScriptedPeer;

constexpr size_t kWide = kv::CClientServerManager::kMaxRowCells;

// Heap bytes in use, small blocks and mapped ones.
size_t HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// Row 1: "first", kWide - 2 empty cells, "last"; rows 2..n: one cell each.
std::vector<std::string> WideThenShort(size_t n, size_t width) {
    std::string wide = "first";
    for (size_t i = 1; i < width; ++i) wide += "R,@";
    std::vector<std::string> texts{wide + "last"};
    for (size_t i = 2; i <= n; ++i) texts.push_back("r" + std::to_string(i));
    return texts;
}

// What the request object saw of the table, read while the answer is delivered.
class TableReader : public kv::IClientServer {
public:
    void OneRowResultreceived(int16_t, int16_t, const std::vector<std::string>&) override {}
    void MultiRowsResultsreceived(int16_t, bool, const kv::ResultTable& t, int32_t Results,
                                  int16_t Parameters) override {
        grown = HeapInUse() - before;
        const auto cell = [&](size_t r, size_t c) {
            const int32_t error = testsupport::ErrorNumberOf([&] { (void)t(r, c); });
            return error ? "E" + std::to_string(error) : t(r, c);
        };
        seen = runtime::Join({std::to_string(Results) + "x" + std::to_string(Parameters),
                              std::to_string(t.Rows()) + "x" + std::to_string(t.Cells()),
                              cell(1, 1), cell(1, 2), cell(1, kWide), cell(2, 1), cell(2, 2),
                              cell(2, kWide), cell(1000, 1), cell(2, kWide + 1), cell(1001, 1)},
                             " ");
    }
    bool HasThisToken(int16_t token) override { return token == og::GET_ACCOUNTS_TOKEN; }
    void SetEventManager(std::shared_ptr<KVGeneralDLL10::CEventManager> relay) override {
        relay_ = std::move(relay);
    }
    void Ask() { relay_->RequestFromServer(og::GET_ACCOUNTS_TOKEN, {}); }

    size_t before = 0;
    size_t grown = 0;
    std::string seen;

private:
    std::shared_ptr<KVGeneralDLL10::CEventManager> relay_;
};

// 1,000 rows of which only the first is 32,767 cells wide cost a few
// megabytes, read as a full table; a first row wider than that is refused.
TEST(WideRows, AShortRowCostsItsOwnCellsNotTheFirstRowsWidth) {
    platform::ScopedVirtualTime time;
    ScriptedPeer peer;
    testsupport::KVClientProbe probe{peer};
    auto reader = std::make_shared<TableReader>();
    probe.client->AddClientServerObject(reader);
    peer.ServeRowRequests();
    peer.Script().AcceptLogin();
    probe.client->Login();
    ASSERT_TRUE(peer.RunUntil([&] { return probe.client->LogedOn(); }));

    peer.Script()
        .Expect(og::GET_ACCOUNTS_TOKEN)
        .Do([&] { reader->before = HeapInUse(); })
        .Reply(Rows(WideThenShort(1000, kWide)))
        .Expect(og::GET_ACCOUNTS_TOKEN)
        .Reply(Rows(WideThenShort(2, kWide + 1)));
    reader->Ask();
    ASSERT_TRUE(peer.RunUntil([&] { return !reader->seen.empty(); })) << probe.Dump();
    EXPECT_EQ(reader->seen, "1000x1 1000x32767 first  last r2   r1000 E9 E9");
    EXPECT_LT(reader->grown, size_t{8} << 20);

    reader->seen.clear();
    reader->Ask();
    ASSERT_TRUE(peer.Finish()) << probe.Dump();
    ASSERT_TRUE(peer.RunUntil([&] { return probe.Count("ShowError") == 1; })) << probe.Dump();
    EXPECT_EQ(reader->seen, "");
    EXPECT_TRUE(probe.client->LogedOn());
}

}  // namespace
