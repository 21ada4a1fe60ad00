// The forms' port suite on the fake desk; the real forms run it in the program tests.
#include "tests/support/desk/FakeDesk.h"
#include "tests/support/desk/FormPortContracts.h"

namespace testsupport::contracts {
INSTANTIATE_TYPED_TEST_SUITE_P(FakeDesk, FormPortContract, testsupport::FakeDesk);
}  // namespace testsupport::contracts
