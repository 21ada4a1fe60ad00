// What multi-row answers cost through a logged-on session: a first row as
// wide as a row may be with short rows after it, and a count announced
// before its rows. The heap holds what arrived, not the row count times the
// first row's width, nor the count alone.
#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "connection/CClientServerManager.h"
#include "general/common/Enums.h"
#include "platform/EventLoop.h"
#include "platform/Timer.h"
#include "runtime/Strings.h"
#include "tests/support/ErrorNumber.h"
#include "tests/support/HeapCounter.h"
#include "tests/support/KVClientProbe.h"
#include "tests/support/ScriptedPeer.h"

namespace {

namespace kv = KVClientDLL10;
namespace og = OrbanelGeneral10;
using testsupport::Rows;
using testsupport::ScriptedPeer;

using testsupport::HeapInUse;

constexpr size_t kWide = kv::CClientServerManager::kMaxRowCells;

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

// A count announced before its rows claims nothing: the session waits for
// the rows of a count up to kMaxResultRows (no error, the request still in
// hand, the next one held back); a larger count is refused and ends the request.
TEST(LargeCounts, ACountAloneHoldsNoMemory) {
    struct Case {
        int32_t count;
        bool refused;
    };
    for (const Case& c : {Case{kv::CKVClient::kMaxResultRows, false},
                          Case{kv::CKVClient::kMaxResultRows + 1, true}}) {
        SCOPED_TRACE(c.count);
        platform::ScopedVirtualTime time;
        ScriptedPeer peer;
        testsupport::KVClientProbe probe{peer};
        auto object = probe.AddObject({og::GET_ACCOUNTS_TOKEN, og::GET_PRIVS_TOKEN});
        peer.Script().AcceptLogin();
        probe.client->Login();
        ASSERT_TRUE(peer.RunUntil([&] { return probe.client->LogedOn(); }));

        size_t before = 0;
        peer.Script()
            .Expect(og::GET_ACCOUNTS_TOKEN)
            .Do([&] { before = HeapInUse(); })
            .Reply(testsupport::RowCount(std::to_string(c.count)));
        if (c.refused) peer.Script().Expect(og::GET_PRIVS_TOKEN);
        object->Request(og::GET_ACCOUNTS_TOKEN);
        object->Request(og::GET_PRIVS_TOKEN);
        ASSERT_TRUE(peer.Finish()) << probe.Dump();
        ASSERT_TRUE(platform::EventLoop::RunUntilIdle(ScriptedPeer::kWaitMs));
        const size_t held = HeapInUse() - before;
        EXPECT_LT(held, size_t{1} << 20);
        if (c.refused) {
            EXPECT_EQ(probe.Count("ShowError(Receive)"), 1u) << probe.Dump();
            continue;
        }
        EXPECT_TRUE(probe.errors.empty()) << probe.Dump();
        EXPECT_EQ(probe.Count("Rows"), 0u);
        EXPECT_TRUE(peer.ReceivedWith(og::GET_PRIVS_TOKEN).empty());
        EXPECT_EQ(probe.modes.back(), kv::WaitingMode);
        EXPECT_TRUE(probe.client->LogedOn());
    }
}

// 1,000 rows, row 500 without its text: row 500 alone is asked for, and the
// table comes whole.
TEST(LargeCounts, ARowWithoutTextIsAskedForAloneAndTheTableComesWhole) {
    platform::ScopedVirtualTime time;
    ScriptedPeer peer;
    testsupport::KVClientProbe probe{peer};
    auto object = probe.AddObject({og::GET_ACCOUNTS_TOKEN});
    std::vector<std::string> texts;
    std::string table;
    for (int i = 1; i <= 1000; ++i) {
        texts.push_back("r" + std::to_string(i));
        table += (i > 1 ? "|" : " ") + texts.back();
    }
    peer.Script()
        .AcceptLogin()
        .Expect(og::GET_ACCOUNTS_TOKEN)
        .Reply(Rows(texts).Drop(500).PushAfter(499, testsupport::Result({"500"})))
        .ExpectLostRows({500})
        .Expect(og::RESULT_OK_TOKEN);
    probe.client->Login();
    ASSERT_TRUE(peer.RunUntil([&] { return probe.client->LogedOn(); }));
    probe.log.clear();
    object->Request(og::GET_ACCOUNTS_TOKEN);
    ASSERT_TRUE(peer.Finish()) << probe.Dump();
    ASSERT_TRUE(peer.RunUntil([&] { return probe.Count("Rows") == 1; })) << probe.Dump();
    EXPECT_EQ(probe.log,
              (std::vector<std::string>{"ShowError(Receive)", "Rows(105, 1000x1:" + table + ")"}));
}

}  // namespace
