#pragma once
// A value of any of the classic variant kinds. Conversions follow the classic
// rules: numeric text is read in the current locale, integer conversions round
// halves to even and overflow with error 6, wrong kinds raise error 13.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "runtime/Date.h"

namespace runtime {

// Base of every object a Variant may hold.
class Object {
public:
    virtual ~Object() = default;
};

struct NullValue {
    constexpr bool operator==(const NullValue&) const = default;
};
inline constexpr NullValue Null{};

enum class VarType : int16_t {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Double = 5,
    Date = 7,
    String = 8,
    Object = 9,
    Boolean = 11,
};

class Variant {
public:
    Variant() = default;  // Empty
    Variant(NullValue) : v_(NullValue{}) {}
    Variant(bool b) : v_(b) {}
    Variant(int16_t i) : v_(i) {}
    Variant(int32_t l) : v_(l) {}
    Variant(double d) : v_(d) {}
    Variant(Date d) : v_(d) {}
    Variant(std::string s) : v_(std::move(s)) {}
    Variant(std::string_view s) : v_(std::string(s)) {}
    Variant(const char* s) : v_(std::string(s)) {}
    Variant(std::shared_ptr<Object> o) : v_(std::move(o)) {}

    VarType Type() const noexcept;
    bool IsEmpty() const noexcept { return v_.index() == 0; }
    bool IsNull() const noexcept { return v_.index() == 1; }
    bool IsString() const noexcept { return std::holds_alternative<std::string>(v_); }
    bool IsObject() const noexcept { return std::holds_alternative<std::shared_ptr<Object>>(v_); }
    // Boolean, Integer, Long, Double (a Date is not a number here).
    bool IsNumber() const noexcept;

    // Null, or compares equal to the empty text (Empty does too). A numeric 0 does not.
    bool IsNullOrEmptyText() const noexcept;

    // Strict conversions (CBool, CInt, CLng, CDbl, CDate, CStr). Null raises 94;
    // objects and text that is not a number (a date, "True"/"False" for ToBool) raise 13;
    // a number outside the date range raises 6 in ToDate. Booleans read as -1 and 0.
    bool ToBool() const;
    int16_t ToInteger() const;
    int32_t ToLong() const;
    double ToDouble() const;
    Date ToDate() const;
    std::string ToString() const;              // Null raises 94; Empty gives ""
    std::shared_ptr<Object> ToObject() const;  // raises 13 unless an object (Empty gives nullptr)

    // Direct access; raises 13 when the kind differs.
    const std::string& StringRef() const;

    // Same kind and value (Empty == Empty, Null == Null); no conversions.
    bool operator==(const Variant& other) const;

    using Storage = std::variant<std::monostate, NullValue, bool, int16_t, int32_t, double, Date,
                                 std::string, std::shared_ptr<Object>>;
    const Storage& Raw() const noexcept { return v_; }

private:
    Storage v_;
};

}  // namespace runtime
