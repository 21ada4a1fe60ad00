#pragma once
// The project's one demo book: three users, one account each with open
// positions, ten quoting symbols, and one account that re-quotes market orders.
#include <string>
#include <vector>

#include "simserver/Book.h"

namespace simserver {

Book DemoBook();

// One "USER PASSWORD ACCOUNT" line per account a user of the book sees.
std::vector<std::string> CredentialLines(const Book& book);

}  // namespace simserver
