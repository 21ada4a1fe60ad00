#include "tests/support/QuoteBook.h"

namespace testsupport {

simserver::Book QuoteBook(double bid, double ask, double high, double low) {
    simserver::Book b;
    simserver::Symbol usd;
    usd.id = 1, usd.name = "USD", usd.bid = usd.ask = 1, usd.used = false, usd.contractSize = 1;
    b.AddSymbol(usd);
    simserver::Symbol eur;
    eur.id = 2, eur.name = "EURUSD", eur.bid = bid, eur.ask = ask;
    eur.high = high, eur.low = low;
    b.AddSymbol(eur);
    return b;
}

}  // namespace testsupport
