#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "general/common/CTokens.h"
#include "general/common/MTokens.h"
#include "protocol/CDataProtocol.h"
#include "runtime/Error.h"
#include "tests/support/ErrorNumber.h"

namespace {

using testsupport::ErrorNumberOf;

using KVGeneralDLL10::CDataProtocol;
using KVGeneralDLL10::ITokens;

std::string W(int32_t token) {
    return std::string(OrbanelGeneral10::TokenWord(token));
}
const std::string NS = "!&NS&!";

// A dictionary with a fixed answer for unknown words, to reach the codec's
// own system-word fallback.
struct FakeTokens : ITokens {
    std::map<std::string, int16_t> ids;
    int16_t unknown = 0;
    std::map<int16_t, std::string> words;
    bool fail = false;

    int16_t TokenID(std::string_view desc) override {
        auto it = ids.find(std::string(desc));
        return it == ids.end() ? unknown : it->second;
    }
    std::string TokenPublicDescription(int16_t id) override { return "desc " + std::to_string(id); }
    std::string TokenDescription(int16_t id) override {
        if (fail) throw runtime::Error(5);
        return words.count(id) ? words[id] : std::string();
    }
};

class Codec : public ::testing::Test {
protected:
    void SetUp() override { codec.setTokens(std::make_shared<OrbanelGeneral10::CTokens>()); }
    CDataProtocol codec;
};

TEST(CodecWithoutDictionary, SpeaksTheTokenTablesSystemWords) {
    CDataProtocol codec;
    for (int16_t t = 0; t <= 14; ++t) EXPECT_EQ(codec.Response(t, {}), W(t) + "s?<+3!") << t;
    EXPECT_EQ(codec.Response(15, {}), W(177) + "s?<+3!");
    for (int16_t t = 16; t < 100; ++t) EXPECT_EQ(codec.Response(t, {}), "s?<+3!") << t;
    for (int32_t t = 0; t <= 14; ++t) EXPECT_EQ(CDataProtocol::SystemWord(t), W(t)) << t;
    EXPECT_EQ(CDataProtocol::SystemWord(15), W(177));
    for (int32_t t : {16, 50, 99}) EXPECT_EQ(CDataProtocol::SystemWord(t), "") << t;
    for (int32_t t : {-1, 100})
        EXPECT_EQ(ErrorNumberOf([&] { CDataProtocol::SystemWord(t); }),
                  runtime::errc::SubscriptOutOfRange);
}

TEST_F(Codec, BuildsMessagesByteForByte) {
    std::vector<std::string> fifty;
    std::string fiftyList;
    for (int i = 1; i <= 51; ++i) {
        fifty.push_back(std::to_string(i));
        if (i <= 50) fiftyList += "G)_" + std::to_string(i);
    }
    const std::vector<std::pair<std::string, std::string>> cases = {
        {codec.Parameters({NS, "x"}), ""},
        {codec.Parameters({"a", NS, "c"}), "G)_a"},
        {codec.Parameters({}), ""},
        {codec.Parameters({"", "b"}), "G)_G)_b"},
        {codec.Parameters({"!&NS&!x", "!&ns&!"}), "G)_!&NS&!xG)_!&ns&!"},
        {codec.Parameters(fifty), fiftyList},
        {codec.Request(1, {"a", "b", NS, NS}), W(1) + "s?<-1&h,G)_aG)_b+3!"},
        {codec.Request(107, {}), W(107) + "s?<-1&h,+3!"},
        {codec.Request(15, {"x"}), W(177) + "s?<-1&h,G)_x+3!"},
        {codec.Response(4, {"x", "y"}), W(4) + "s?<G)_xG)_y+3!"},
        {codec.Response(3, {NS, "y"}), W(3) + "s?<+3!"},
        {codec.Error(-501), W(5) + "s?<G)_-501+3!"},
        {codec.Request(16, {"a"}), "s?<-1&h,G)_a+3!"},
        {codec.Request(99, {}), "s?<-1&h,+3!"},
        {codec.Request(-1, {}), W(0) + "s?<-1&h,+3!"},
        {codec.Request(400, {}), W(0) + "s?<-1&h,+3!"},  // the dictionary raises
        {codec.Request(130, {}), W(0) + "s?<-1&h,+3!"},  // the dictionary has no word for it
    };
    for (const auto& [built, expected] : cases) EXPECT_EQ(built, expected);

    codec.setSID(42);
    EXPECT_EQ(codec.Request(4, {"v"}), W(4) + "s?<42&h,G)_v+3!");
    codec.setSID(-7);
    EXPECT_EQ(codec.Request(4, {}), W(4) + "s?<-7&h,+3!");
}

TEST(CodecWithoutDictionary, FallsBackToWordZeroWhenBuildingAndRaisesWhenReading) {
    CDataProtocol codec;
    EXPECT_EQ(codec.Request(107, {}), W(0) + "s?<-1&h,+3!");
    EXPECT_EQ(codec.Request(5, {}), W(5) + "s?<-1&h,+3!");
    EXPECT_EQ(ErrorNumberOf([&] { codec.TokenID(W(5) + "s?<"); }), 91);
    EXPECT_EQ(ErrorNumberOf([&] { codec.TokenPublicDesc(5); }), 91);

    auto failing = std::make_shared<FakeTokens>();
    failing->fail = true;
    codec.setTokens(failing);
    EXPECT_EQ(codec.Request(107, {}), W(0) + "s?<-1&h,+3!");
}

TEST_F(Codec, ReadsTheTokenThroughTheGeneralDictionary) {
    const std::vector<std::pair<std::string, int16_t>> cases = {
        {"", 0},
        {"no marker at all", 0},
        {W(0) + "s?<G)_x", 0},
        {W(1) + "s?<-1&h,", 1},
        {W(311) + "s?<G)_x", 311},
        {W(177) + "s?<", 177},  // the system word 15 is the table's word 177
        {"unknown s?<G)_x", 0},
        {"s?<G)_x", 0},
        {W(12) + "x" + "s?<", 0},
    };
    for (const auto& [cmd, token] : cases) EXPECT_EQ(codec.TokenID(cmd), token) << cmd;
}

TEST(CodecWithOwnDictionary, TheDictionaryWinsAndNegativeAnswersFallBackToSystemWords) {
    struct Case {
        std::string cmd;
        int16_t unknown;  // the dictionary's answer for words it does not list
        std::map<std::string, int16_t> ids;
        int16_t token;
    };
    const std::vector<Case> cases = {
        {W(5) + "s?<", -1, {}, 5},
        {W(177) + "s?<", -1, {}, 15},
        {W(1) + "s?<", -1, {}, 1},
        {W(0) + "s?<", -1, {}, 0},
        {"stranger s?<", -1, {}, 0},
        {"no marker", -1, {}, 0},
        {W(5) + "s?<", 0, {}, 0},  // 0 from the dictionary wins over the system word
        {W(5) + "s?<", -1, {{W(5), 250}}, 250},
        {"abc s?<", -1, {{"abc ", 200}}, 200},
        {"abc s?<",
         0,
         {{W(0), 9}},
         9},  // an unknown word becomes word 0, which the dictionary maps
        {W(0) + "s?<", -4, {}, 0},
    };
    for (const auto& c : cases) {
        auto tokens = std::make_shared<FakeTokens>();
        tokens->unknown = c.unknown;
        tokens->ids = c.ids;
        CDataProtocol codec;
        codec.setTokens(tokens);
        EXPECT_EQ(codec.TokenID(c.cmd), c.token) << c.cmd << " unknown=" << c.unknown;
    }
}

TEST_F(Codec, ReadsTheSessionIdOfARequest) {
    const std::vector<std::pair<std::string, int32_t>> cases = {
        {W(1) + "s?<42&h,G)_a", 42},
        {W(1) + "s?<&h,G)_a", -100},
        {W(4) + "s?<G)_x", -100},
        {"x&h,y", -100},
        {"&h,s?<5&h,", -100},  // the first "&h," lies in front of "s?<"
        {"s?< 4 2&h,", 42},
        {"s?<2.5&h,", 2},
        {"s?<3.5&h,", 4},
        {"s?<abc&h,", 0},
        {"s?<-1&h,", -1},
        {"s?<12abc&h,", 12},
        {"s?<" + std::string(40000, ' ') + "7&h,", 7},  // markers far beyond 16-bit positions
        {std::string(40000, 'x') + "s?<8&h,", 8},
    };
    for (const auto& [cmd, sid] : cases) EXPECT_EQ(codec.RequestSID(cmd), sid) << cmd.substr(0, 40);
    EXPECT_EQ(ErrorNumberOf([&] { codec.RequestSID("s?<99999999999&h,"); }), 6);
}

TEST_F(Codec, ReadsParameters) {
    struct Case {
        std::string cmd;
        int64_t index;
        std::string value;
    };
    const std::vector<Case> cases = {
        {W(4) + "s?<G)_a", 1, "a"},
        {W(4) + "s?<G)_a", 2, "%$#InVaLID"},
        {W(4) + "s?<G)_a", 0, ""},
        {W(4) + "s?<", 1, "%$#InVaLID"},
        {W(4) + "s?<", -1, "%$#InVaLID"},
        {W(4) + "s?<G)_G)_v", 1, ""},
        {W(4) + "s?<G)_G)_v", 2, "v"},
        {W(4) + "s?<G)_a+3!", 1, "a+3!"},  // a message not cut by SplitBuffer
        {W(1) + "s?<5&h,G)_userG)_pass", 2, "pass"},
        {"G)_x", 1, "x"},
    };
    for (const auto& c : cases) EXPECT_EQ(codec.ParameterValue(c.cmd, c.index), c.value) << c.cmd;
    EXPECT_EQ(ErrorNumberOf([&] { codec.ParameterValue(W(4) + "s?<G)_a", -1); }), 9);

    // The same buffer changed in place between two reads.
    std::string reused = W(4) + "s?<G)_aG)_b";
    EXPECT_EQ(codec.ParameterValue(reused, 2), "b");
    reused.back() = 'c';
    EXPECT_EQ(codec.ParameterValue(reused, 2), "c");
    reused[reused.size() - 3] = 'x';  // "G)_c" is now "Gx_c"
    EXPECT_EQ(codec.ParameterValue(reused, 1), "aGx_c");
    EXPECT_EQ(codec.ParameterValue(reused, 2), "%$#InVaLID");

    std::string many = W(4) + "s?<";
    for (int i = 1; i <= 40000; ++i) many += "G)_" + std::to_string(i);
    EXPECT_EQ(codec.ParameterValue(many, 40000), "40000");
    EXPECT_EQ(codec.ParameterValue(many, 40001), "%$#InVaLID");
}

TEST_F(Codec, ErrorTextsAndConstants) {
    EXPECT_EQ(codec.ErrorMSG(-500), "Invalid session ID");
    EXPECT_EQ(codec.ErrorMSG(-501), "Undefined command");
    EXPECT_EQ(codec.ErrorMSG(-502), "Invalid paramenter");
    EXPECT_EQ(codec.ErrorMSG(-503), "");
    EXPECT_EQ(codec.InvalidParameter(), "%$#InVaLID");
    EXPECT_EQ(codec.ParameterDefaultValue(), "!&NS&!");
    EXPECT_EQ(codec.TokenPublicDesc(107), "New market order");
    EXPECT_EQ(CDataProtocol().SID(), -1);
}

// Feeds inputs one call at a time; each call's messages and the pending tail.
struct SplitStep {
    std::string input;
    std::vector<std::string> messages;
};

TEST_F(Codec, CutsTheStreamIntoMessages) {
    const std::vector<std::vector<SplitStep>> scripts = {
        {{"", {}}},
        {{"abc", {}}, {"+3!def+3!gh", {"abc", "def"}}, {"+3!", {"gh"}}},
        {{"+3!x+3!", {"x"}}},
        {{"+3!+3!x+3!", {"", "x"}}},
        {{"+3!", {}}, {"y+3!", {"y"}}},
        {{"ab+", {}}, {"3!cd+3", {"ab"}}, {"!", {"cd"}}},
        {{"ab+3", {}}, {"!", {"ab"}}},
        {{"x+3!", {"x"}}, {"+3!y+3!", {"y"}}},  // a leading end marker is dropped once
        {{"x+3!+3!y+3!", {"x", "", "y"}}},
        {{"+3!+3!+3!", {"", ""}}},
        {{"a+3+3!", {"a+3"}}},
        {{"a++3!!", {"a+"}}, {"+3!", {"!"}}},
    };
    for (const auto& script : scripts) {
        CDataProtocol c;
        std::vector<std::string> rows = {"stale", "stale", "stale", "stale", "stale"};
        std::string trace;
        for (const auto& step : script) {
            trace += "[" + step.input + "]";
            const size_t n = c.SplitBuffer(step.input, rows);
            ASSERT_EQ(n, step.messages.size()) << trace;
            ASSERT_EQ(rows.size(), n + 2) << trace;
            EXPECT_EQ(rows[0], "") << trace;
            EXPECT_EQ(rows[n + 1], "") << trace;
            for (size_t i = 0; i < n; ++i) EXPECT_EQ(rows[i + 1], step.messages[i]) << trace;
        }
    }
}

TEST_F(Codec, ClearBufferDropsTheIncompleteTail) {
    std::vector<std::string> rows;
    EXPECT_EQ(codec.SplitBuffer("abc+", rows), 0u);
    codec.ClearBuffer();
    ASSERT_EQ(codec.SplitBuffer("3!def+3!", rows), 1u);
    EXPECT_EQ(rows[1], "3!def");
}

std::vector<std::string> SampleMessages(size_t count) {
    std::vector<std::string> messages;
    for (size_t i = 0; i < count; ++i) {
        std::string m = W(static_cast<int32_t>(243 + i % 20)) + "s?<";
        if (i % 3 == 0) m = W(4) + "s?<" + std::to_string(i) + "&h,";
        for (size_t p = 0; p < i % 9; ++p)
            m += "G)_" + std::string(p * 3 % 17, char('a' + p)) + "+3";
        messages.push_back(m);
    }
    return messages;
}

TEST_F(Codec, CutsTheSameMessagesWhateverTheReadSizes) {
    const auto messages = SampleMessages(300);
    std::string stream;
    for (const auto& m : messages) stream += m + "+3!";
    for (size_t chunk : {1u, 2u, 3u, 4u, 7u, 64u, 1000u, 100000u}) {
        CDataProtocol c;
        std::vector<std::string> got, rows;
        for (size_t at = 0; at < stream.size(); at += chunk) {
            const size_t n = c.SplitBuffer(std::string_view(stream).substr(at, chunk), rows);
            for (size_t i = 1; i <= n; ++i) got.push_back(rows[i]);
        }
        EXPECT_EQ(got, messages) << "reads of " << chunk;
    }
}

TEST_F(Codec, LongMessagesInSmallReadsAndHugeBuffers) {
    std::vector<std::string> rows;
    const std::string big(4 << 20, 'q');
    for (size_t at = 0; at < big.size(); at += 1024)
        ASSERT_EQ(codec.SplitBuffer(std::string_view(big).substr(at, 1024), rows), 0u);
    ASSERT_EQ(codec.SplitBuffer("+3!", rows), 1u);
    EXPECT_EQ(rows[1].size(), big.size());

    const std::string huge(64 << 20, 'z');
    EXPECT_EQ(codec.SplitBuffer(huge, rows), 0u);
    EXPECT_EQ(codec.SplitBuffer("+3!tail", rows), 1u);
    EXPECT_EQ(rows[1].size(), huge.size());
}

}  // namespace
