#pragma once
// The project's one demo book: three users, one account each with open
// positions, ten quoting symbols with a margin per lot and a commission, one
// account that re-quotes market orders and holds closes for the dealer, and
// one whose deposit runs out of margin after a few lots.
#include <cstdint>
#include <string>
#include <vector>

#include "simserver/Book.h"

namespace simserver {

Book DemoBook();

// The first account number of AddNumberedTraders.
constexpr int32_t kFirstNumberedAccount = 20001;

// `count` more traders, numbered i = 1..count: user TRADERi, password PASSi,
// client and account kFirstNumberedAccount + i - 1, each with `positionsEach`
// open positions of 0.1 lots over the book's quoting symbols in turn.
void AddNumberedTraders(Book& book, int32_t count, int32_t positionsEach);

// One "USER PASSWORD ACCOUNT" line per account a user of the book sees.
std::vector<std::string> CredentialLines(const Book& book);

}  // namespace simserver
