#pragma once
// Errors carry the classic run-time error numbers so callers can branch on them.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace runtime {

namespace errc {
constexpr int32_t InvalidProcedureCall = 5;
constexpr int32_t Overflow = 6;
constexpr int32_t OutOfMemory = 7;
constexpr int32_t SubscriptOutOfRange = 9;
constexpr int32_t DivisionByZero = 11;
constexpr int32_t TypeMismatch = 13;
constexpr int32_t BadFileName = 52;
constexpr int32_t FileNotFound = 53;
constexpr int32_t BadFileMode = 54;
constexpr int32_t InputPastEnd = 62;
constexpr int32_t PathFileAccess = 75;
constexpr int32_t PathNotFound = 76;
constexpr int32_t ObjectVariableNotSet = 91;
constexpr int32_t InvalidPattern = 93;  // Like with an unclosed "["
constexpr int32_t InvalidUseOfNull = 94;
constexpr int32_t ObjectRequired = 424;
constexpr int32_t ObjectDoesNotSupport = 438;
constexpr int32_t DuplicateKey = 457;
}  // namespace errc

class Error : public std::runtime_error {
public:
    Error(int32_t number, std::string description);
    explicit Error(int32_t number);  // standard description for the number

    int32_t Number() const noexcept { return number_; }
    const std::string& Description() const noexcept { return description_; }

    // The standard description of a classic error number ("Overflow", "Type mismatch", ...).
    static std::string DescriptionOf(int32_t number);

private:
    int32_t number_;
    std::string description_;
};

}  // namespace runtime
