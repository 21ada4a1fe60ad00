#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "general/common/CDataProtocol.h"
#include "general/common/CTokens.h"
#include "general/common/MTokens.h"
#include "protocol/CDataProtocol.h"
#include "protocol/CProcess.h"

namespace {

std::string W(int32_t token) {
    return std::string(OrbanelGeneral10::TokenWord(token));
}

// Values a request really carries, the awkward ones included.
std::vector<std::string> Values(size_t count) {
    const std::vector<std::string> kinds = {"EURUSD", "", "1.23450", "a b", "-7", "x,y", "R,@"};
    std::vector<std::string> values;
    for (size_t i = 0; i < count; ++i)
        values.push_back(kinds[i % kinds.size()] + std::to_string(i % 3));
    return values;
}

// Cuts one built message out of a stream, as the receiving side does.
template <class Codec>
std::string Received(Codec& codec, const std::string& built) {
    std::vector<std::string> rows;
    EXPECT_EQ(codec.SplitBuffer(built, rows), 1u) << built;
    return rows.size() > 1 ? rows[1] : std::string();
}

// What the general library reads back from a request the protocol framework built.
int32_t ExpectedThroughGeneral(int32_t token) {
    if (token >= 0 && token <= 14) return token;
    if (token == 15) return 177;  // the protocol's demo-account word is the table's 177
    if (token >= 100 && !W(token).empty()) return token;
    return 0;  // an empty word (16-99) and word 0 (tokens without a word) read as 0
}

TEST(RoundTrip, ProtocolRequestsReadBackThroughTheGeneralCodec) {
    KVGeneralDLL10::CDataProtocol sender;
    sender.setTokens(std::make_shared<OrbanelGeneral10::CTokens>());
    sender.setSID(123456);
    OrbanelGeneral10::CDataProtocol receiver;
    const auto values = Values(50);
    for (int32_t token = -3; token <= 360; ++token) {
        SCOPED_TRACE(token);
        const std::string built = sender.Request(static_cast<int16_t>(token), values);
        if (token >= 16 && token <= 99) {
            EXPECT_TRUE(built.starts_with("s?<"));  // no word at all
        } else if (token < 0 || (token >= 100 && W(token).empty())) {
            EXPECT_TRUE(built.starts_with(W(0) + "s?<"));
        }
        const std::string cmd = Received(receiver, built);
        EXPECT_EQ(receiver.TokenID(cmd), ExpectedThroughGeneral(token));
        EXPECT_EQ(receiver.RequestSID(cmd), 123456);
        for (size_t i = 0; i < values.size(); ++i)
            ASSERT_EQ(receiver.ParameterValue(cmd, static_cast<int64_t>(i + 1)), values[i]);
        EXPECT_EQ(receiver.ParameterValue(cmd, 51), "%$#InVaLID");
    }
}

TEST(RoundTrip, GeneralMessagesReadBackThroughTheProtocolFramework) {
    OrbanelGeneral10::CDataProtocol sender;
    sender.setSid(-1);
    KVGeneralDLL10::CDataProtocol receiver;
    receiver.setTokens(std::make_shared<OrbanelGeneral10::CTokens>());
    KVGeneralDLL10::CProcess process;
    process.setTokens(receiver.Tokens());
    const auto values = Values(51);
    int filled = 0;
    for (int32_t token = 0; token < OrbanelGeneral10::kTokenSlots; ++token) {
        if (W(token).empty()) continue;
        ++filled;
        SCOPED_TRACE(token);
        const std::string request = Received(receiver, sender.Request(token, values));
        EXPECT_EQ(receiver.TokenID(request), token);
        EXPECT_EQ(receiver.RequestSID(request), -1);
        process.DefineProcessByCommand(5, request);
        EXPECT_EQ(process.TokenID(), token);
        EXPECT_EQ(process.CommandSID(), -1);
        if (token == 0) {
            EXPECT_EQ(process.Parameters(), 0u);  // token 0 is not read further
        } else {
            ASSERT_EQ(process.Parameters(), values.size());
            for (size_t i = 0; i < values.size(); ++i)
                ASSERT_EQ(process.ParameterValue(static_cast<int64_t>(i + 1)), values[i]);
        }

        const std::string response = Received(receiver, sender.Response(token, {"only"}));
        EXPECT_EQ(receiver.TokenID(response), token);
        EXPECT_EQ(receiver.RequestSID(response), -100);
        EXPECT_EQ(receiver.ParameterValue(response, 1), "only");
    }
    EXPECT_EQ(filled, 196);
}

}  // namespace
