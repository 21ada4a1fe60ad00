#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "general/common/MGenerals.h"
#include "runtime/Date.h"
#include "runtime/Locale.h"

namespace {

using namespace OrbanelGeneral10;

struct Plain {
    explicit Plain(int* destroyed) : destroyed(destroyed) {}
    ~Plain() { ++*destroyed; }
    int* destroyed;
};

struct Base {
    virtual ~Base() = default;
};

struct Safe : Base, ISafeObject {
    void Deallocate() override { ++deallocations; }
    int deallocations = 0;
};

TEST(SafeRelease, EmptiesTheReferenceAndDeallocatesOnlySafeObjects) {
    std::shared_ptr<Plain> none;
    SafeRelease(none);
    EXPECT_EQ(none, nullptr);

    int destroyed = 0;
    auto plain = std::make_shared<Plain>(&destroyed);
    SafeRelease(plain);
    EXPECT_EQ(plain, nullptr);
    EXPECT_EQ(destroyed, 1);

    auto safe = std::make_shared<Safe>();
    auto keep = safe;
    std::shared_ptr<Base> asBase = safe;  // seen through a type that does not show the interface
    SafeRelease(asBase);
    EXPECT_EQ(asBase, nullptr);
    EXPECT_EQ(keep->deallocations, 1);
    SafeRelease(safe);
    EXPECT_EQ(safe, nullptr);
    EXPECT_EQ(keep->deallocations, 2);
}

class SafeFormatTest : public ::testing::Test {
protected:
    void SetUp() override { saved = runtime::Locale(); }
    void TearDown() override { runtime::SetLocale(saved); }
    runtime::LocaleSettings saved;
};

TEST_F(SafeFormatTest, KeepsSlashAndColonWhateverTheLocaleSeparators) {
    runtime::LocaleSettings other = saved;
    other.date = "-";
    other.time = ".";
    runtime::SetLocale(other);
    const runtime::Variant when(runtime::DateTimeSerial(2024, 3, 5, 14, 7, 9));
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"dd/mm/yyyy hh:nn:ss", "05/03/2024 14:07:09"},
        {"yyyy/mm/dd", "2024/03/05"},
        {"hh:nn", "14:07"},
        {"dd&&mm", "05/03"},
        {"hh__nn", "14:07"},
    };
    for (const auto& [pattern, text] : cases) EXPECT_EQ(SafeFormat(when, pattern), text) << pattern;
}

TEST(MessageNotifier, ReachesTheHostOrNobody) {
    ShowMessage("dropped quietly");
    std::vector<std::string> shown;
    SetMessageNotifier([&](const std::string& text) { shown.push_back(text); });
    ShowMessage("duplicate word");
    SetMessageNotifier(nullptr);
    ShowMessage("dropped again");
    EXPECT_EQ(shown, std::vector<std::string>{"duplicate word"});
}

}  // namespace
