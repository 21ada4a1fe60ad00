#pragma once
// Command messages as a server side reads and writes them, with the general
// library's codec and token table. Token numbers are the general table's
// (OrbanelGeneral10::TokensEnum). Shared by the simulated server and the
// scripted test peer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace simserver {

// "LOGIN_TOKEN(1)" for a token of the table, "token 999" otherwise.
std::string TokenName(int32_t token);

// Printable form of wire text: control and non-ASCII bytes as \xNN, cut after
// `max` characters.
std::string Printable(std::string_view text, size_t max = 200);

// One command message received from a client.
struct Received {
    size_t connection = 0;  // accept order, from 1
    int32_t token = 0;      // 0 for an unknown command word
    int32_t sid = -100;     // -100 for a message without a session id
    std::vector<std::string> params;
    std::string text;  // as cut from the stream, without the end marker

    // "LOGIN_TOKEN(1) sid=-1 [dealer|secret|CLIENTAPI]"
    std::string Describe() const;
};

// Reads one message cut from the stream (no end marker). Never throws.
Received ParseMessage(std::string_view text);

// The wire text of a server message (no session id), end marker included;
// any number of parameters.
std::string RenderMessage(int32_t token, const std::vector<std::string>& params);

// Cells joined by the row-cell delimiter "R,@".
std::string JoinCells(const std::vector<std::string>& cells);
// The cells of a row so joined.
std::vector<std::string> SplitCells(std::string_view row);

}  // namespace simserver
