#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "general/common/CDataProtocol.h"
#include "general/common/CTokens.h"
#include "general/common/Enums.h"
#include "general/common/ISessionTag.h"
#include "general/common/MCommandMessage.h"
#include "general/common/MGenerals.h"
#include "general/common/MTokens.h"
#include "runtime/Error.h"
#include "tests/support/ErrorNumber.h"

namespace {

using testsupport::ErrorNumberOf;

using namespace OrbanelGeneral10;

std::string W(int32_t token) {
    return std::string(TokenWord(token));
}

// The filled slots of the protocol, by range.
std::set<int32_t> ExpectedFilledSlots() {
    const std::vector<std::pair<int32_t, int32_t>> ranges = {
        {0, 14},    {101, 129}, {131, 135}, {137, 142}, {145, 145}, {153, 194}, {201, 231},
        {243, 243}, {245, 245}, {248, 257}, {259, 269}, {272, 314}, {317, 317}};
    std::set<int32_t> slots;
    for (auto [first, last] : ranges)
        for (int32_t t = first; t <= last; ++t) slots.insert(t);
    return slots;
}

// Every word has 26 characters except these.
const std::map<int32_t, size_t> kOtherLengths = {{179, 9},  {186, 22}, {187, 22}, {188, 31},
                                                 {189, 29}, {193, 22}, {194, 22}, {225, 27},
                                                 {299, 21}, {300, 22}, {301, 28}, {317, 24}};

TEST(TokenTable, FillsExactlyTheProtocolsSlotsWithWordsOfTheirLengths) {
    const std::set<int32_t> expected = ExpectedFilledSlots();
    ASSERT_EQ(expected.size(), 196u);
    for (int32_t t = 0; t < kTokenSlots; ++t) {
        SCOPED_TRACE(t);
        const std::string word = W(t);
        if (!expected.count(t)) {
            EXPECT_TRUE(word.empty());
            continue;
        }
        auto other = kOtherLengths.find(t);
        EXPECT_EQ(word.size(), other == kOtherLengths.end() ? 26u : other->second);
        for (char c : word) {
            EXPECT_GE(static_cast<unsigned char>(c), 33) << word;
            EXPECT_LE(static_cast<unsigned char>(c), 126) << word;
        }
        EXPECT_FALSE(TokenDescriptionText(t).empty());
    }
    EXPECT_TRUE(W(-1).empty());
    EXPECT_TRUE(W(kTokenSlots).empty());
}

TEST(TokenTable, WordsAreUniqueAndNeverConfuseTheParser) {
    std::set<std::string> seen;
    for (int32_t t = 0; t < kTokenSlots; ++t) {
        const std::string word = W(t);
        if (word.empty()) continue;
        SCOPED_TRACE(word);
        EXPECT_TRUE(seen.insert(word).second) << "duplicate word";
        for (const char* marker : {"s?<", "&h,", "G)_", "+3!", "R,@", "!&NS&!", "%$#InVaLID"})
            EXPECT_EQ(word.find(marker), std::string::npos) << marker;
        // The word's own end must not complete a marker with what follows it.
        EXPECT_EQ(wire::Find(word + "s?<", wire::kSessionMarker), word.size());
        EXPECT_EQ(FindTokenWord(word), t);
    }
    EXPECT_EQ(seen.size(), 196u);
}

TEST(TokenTable, OnlyTheLoginAndDemoWordsStartTheirMessages) {
    // A connection may open only with these two; they are recognised by prefix.
    for (int32_t opener :
         {static_cast<int32_t>(LOGIN_TOKEN), static_cast<int32_t>(GENERATE_DEMO_ACCOUNT)}) {
        for (int32_t t = 0; t < kTokenSlots; ++t) {
            if (t == opener || W(t).empty()) continue;
            EXPECT_FALSE(W(t).starts_with(W(opener))) << opener << " prefixes " << t;
        }
    }
}

TEST(TokenTable, EnumerationMembersNameTheirSlots) {
    const std::vector<std::pair<TokensEnum, int32_t>> cases = {
        {UNDEFINED, 0},           {ROUT_SERVER_TOKEN, 14},           {GET_PRICES_TOKEN, 101},
        {NEW_ORDER_TOKEN, 107},   {GENERATE_DEMO_ACCOUNT, 177},      {TRANSFER_DEALER_TOKEN, 179},
        {MARKET_DATA_TOKEN, 243}, {CLEARE_HISTORY_FILES_TOKEN, 275}, {MW_DATA_TOKEN, 317}};
    for (auto [member, value] : cases) {
        EXPECT_EQ(static_cast<int32_t>(member), value);
        EXPECT_FALSE(W(member).empty());
    }
}

TEST(TokenTable, TestUniqunessReportsNothingForTheShippedTable) {
    std::vector<std::string> shown;
    SetMessageNotifier([&](const std::string& text) { shown.push_back(text); });
    CDataProtocol().TestUniquness();
    SetMessageNotifier(nullptr);
    EXPECT_TRUE(shown.empty());
}

TEST(GeneralCodec, PublicDescriptions) {
    const std::vector<std::pair<int32_t, std::string>> cases = {
        {1, "Logging on"},
        {135, "Update open position"},
        {255, "Update open position"},
        {166, "Delete close position"},
        {257, "Delete close position"},
        {264, "Client parameter"},
        {305, "Client parameter"},
        {317, "MW Data"},
        {0, "UNDEFINED"},
        {15, "UNDEFINED"},
        {130, "UNDEFINED"},
        {275, "UNDEFINED"},
        {318, "UNDEFINED"},
        {350, "UNDEFINED"},
        {-1, "UNDEFINED"},
        {100000, "UNDEFINED"},
    };
    CDataProtocol codec;
    CTokens tokens;
    for (const auto& [token, text] : cases) {
        EXPECT_EQ(codec.TokenPublicDesc(token), text) << token;
        if (token >= INT16_MIN && token <= INT16_MAX) {
            EXPECT_EQ(tokens.TokenPublicDescription(static_cast<int16_t>(token)), text) << token;
        }
    }
}

TEST(GeneralCodec, CommandWordsBySlot) {
    CDataProtocol codec;
    CTokens tokens;
    EXPECT_EQ(codec.TokenDescription(311), W(311));
    EXPECT_EQ(codec.TokenDescription(130), "");
    EXPECT_EQ(tokens.TokenDescription(0), W(0));
    for (int32_t bad : {-1, 351, 1000}) {
        EXPECT_EQ(ErrorNumberOf([&] { codec.TokenDescription(bad); }), 9) << bad;
        EXPECT_EQ(ErrorNumberOf([&] { codec.Request(bad, {}); }), 9) << bad;
        EXPECT_EQ(ErrorNumberOf([&] { codec.Response(bad, {}); }), 9) << bad;
        EXPECT_EQ(ErrorNumberOf([&] { tokens.TokenDescription(static_cast<int16_t>(bad)); }), 9);
    }
}

TEST(GeneralCodec, TokenOfAMessage) {
    const std::vector<std::pair<std::string, int32_t>> cases = {
        {"", 0},
        {"no session marker", 0},
        {W(1), 0},  // a word alone is not a message
        {W(0) + "s?<G)_x", 0},
        {W(311) + "s?<G)_x", 311},
        {W(177) + "s?<-1&h,", 177},
        {W(1) + "s?<-1&h,G)_user", 1},
        {W(179) + "s?<", 179},
        {"unknown-words?<G)_x", 0},
        {"s?<" + W(5), 0},
        {W(5) + "~s?<", 0},
        {W(5).substr(0, 25) + "s?<", 0},
    };
    CDataProtocol codec;
    for (const auto& [cmd, token] : cases) EXPECT_EQ(codec.TokenID(cmd), token) << cmd;
}

TEST(GeneralCodec, DictionaryLooksUpABareWordAsTheCodecReadsIt) {
    CDataProtocol codec;
    CTokens tokens;
    std::vector<std::string> words = {"", "garbage", W(5) + "s?<tail", "s?<", W(0)};
    for (int32_t t = 0; t < kTokenSlots; ++t)
        if (!W(t).empty()) words.push_back(W(t));
    for (const auto& word : words)
        EXPECT_EQ(tokens.TokenID(word), codec.TokenID(word + codec.TokenEnd())) << word;
}

TEST(GeneralCodec, BuildsWithFiftyOneParameters) {
    CDataProtocol codec;
    std::vector<std::string> p;
    std::string list;
    for (int i = 1; i <= 52; ++i) {
        p.push_back("v" + std::to_string(i));
        if (i <= 51) list += "G)_v" + std::to_string(i);
    }
    EXPECT_EQ(codec.Request(107, p), W(107) + "s?<-1&h," + list + "+3!");
    codec.setSid(42);
    EXPECT_EQ(codec.Request(4, {"a", "", "b"}), W(4) + "s?<42&h,G)_aG)_G)_b+3!");
    EXPECT_EQ(codec.Request(4, {"!&NS&!", "b"}), W(4) + "s?<42&h,+3!");
    EXPECT_EQ(codec.Response(4, {"a", "!&NS&!", "b"}), W(4) + "s?<G)_a+3!");
    EXPECT_EQ(codec.Response(130, {"a"}), "s?<G)_a+3!");  // an empty slot has an empty word
    EXPECT_EQ(codec.ParamValue("x G)_ y"), "x G)_ y");
}

TEST(GeneralCodec, OnlyLoginAndDemoRequestsMayOpenAConnection) {
    CDataProtocol codec;
    const std::vector<std::pair<std::string, bool>> cases = {
        {codec.Request(LOGIN_TOKEN, {"user", "pass"}), true},
        {codec.Request(GENERATE_DEMO_ACCOUNT, {"a"}), true},
        {W(1), true},
        {codec.Request(ERROR_TOKEN, {"a"}), false},
        {codec.Request(GET_PRICES_TOKEN, {}), false},
        {"", false},
        {W(1).substr(0, 25), false},
        {" " + W(1), false},
    };
    for (const auto& [cmd, valid] : cases) EXPECT_EQ(codec.IsValidFirstCommand(cmd), valid) << cmd;
}

struct Session : ISessionTag {
    explicit Session(int32_t id) : id(id) {}
    int32_t SID() const override { return id; }
    int32_t id;
};

TEST(GeneralCodec, SessionDescriptionOfASocket) {
    CDataProtocol codec;
    EXPECT_EQ(codec.SessionDescription(nullptr), "");
    auto socket = std::make_shared<platform::TcpSocket>();
    EXPECT_EQ(codec.SessionDescription(socket), "");  // no session in the tag
    socket->Tag = runtime::Variant(std::string("not a session"));
    EXPECT_EQ(codec.SessionDescription(socket), "");
    socket->Tag =
        runtime::Variant(std::static_pointer_cast<runtime::Object>(std::make_shared<Session>(7)));
    EXPECT_EQ(codec.SessionDescription(socket), "<7> (0)");
}

TEST(GeneralCodec, DeallocateReleasesTheRowAndKeepsTheCodecUsable) {
    CDataProtocol codec;
    std::weak_ptr<CRow> row = codec.RowString();
    ASSERT_FALSE(row.expired());
    codec.Deallocate();
    codec.Deallocate();
    EXPECT_TRUE(row.expired());
    EXPECT_EQ(codec.RowString(), nullptr);
    EXPECT_EQ(codec.Response(4, {"a"}), W(4) + "s?<G)_a+3!");
}

}  // namespace
