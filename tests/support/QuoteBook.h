#pragma once
// The smallest book a desk can trade EURUSD on: the account currency USD (id 1,
// quoted 1, unused, contract size 1) and EURUSD (id 2) at the given quotes. The
// caller adds its own clients, users, accounts and further symbols.
#include "simserver/Book.h"

namespace testsupport {

simserver::Book QuoteBook(double bid, double ask, double high = 0, double low = 0);

}  // namespace testsupport
