#include "runtime/Variant.h"

#include <cmath>

#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"
#include "runtime/detail/Calendar.h"
#include "runtime/detail/Text.h"

namespace runtime {

namespace {
template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

[[noreturn]] void ThrowNull() {
    throw Error(errc::InvalidUseOfNull);
}
[[noreturn]] void ThrowMismatch() {
    throw Error(errc::TypeMismatch);
}

// Numeric text in the locale, else a type mismatch.
double NumberFromText(const std::string& s) {
    auto v = ParseNumber(s);
    if (!v) ThrowMismatch();
    return *v;
}

Date DateFromNumber(double x) {
    const double whole = std::trunc(x);
    if (!(whole >= static_cast<double>(detail::kMinSerialDay) &&
          whole <= static_cast<double>(detail::kMaxSerialDay)))
        throw Error(errc::Overflow);
    return Date(x);
}
}  // namespace

VarType Variant::Type() const noexcept {
    static constexpr VarType kTypes[] = {VarType::Empty,   VarType::Null,   VarType::Boolean,
                                         VarType::Integer, VarType::Long,   VarType::Double,
                                         VarType::Date,    VarType::String, VarType::Object};
    return kTypes[v_.index()];
}

bool Variant::IsNumber() const noexcept {
    return std::holds_alternative<bool>(v_) || std::holds_alternative<int16_t>(v_) ||
           std::holds_alternative<int32_t>(v_) || std::holds_alternative<double>(v_);
}

bool Variant::IsNullOrEmptyText() const noexcept {
    if (IsEmpty() || IsNull()) return true;
    const auto* s = std::get_if<std::string>(&v_);
    return s && s->empty();
}

bool Variant::ToBool() const {
    return std::visit(
        Overloaded{[](std::monostate) { return false; }, [](NullValue) -> bool { ThrowNull(); },
                   [](bool b) { return b; }, [](int16_t i) { return i != 0; },
                   [](int32_t l) { return l != 0; }, [](double d) { return d != 0; },
                   [](Date d) { return d.value != 0; },
                   [](const std::string& s) {
                       const std::string t = Trim(s);
                       if (EqualsNoCase(t, "True")) return true;
                       if (EqualsNoCase(t, "False")) return false;
                       return NumberFromText(s) != 0;
                   },
                   [](const std::shared_ptr<Object>&) -> bool { ThrowMismatch(); }},
        v_);
}

double Variant::ToDouble() const {
    return std::visit(
        Overloaded{
            [](std::monostate) { return 0.0; }, [](NullValue) -> double { ThrowNull(); },
            [](bool b) { return b ? -1.0 : 0.0; }, [](int16_t i) { return static_cast<double>(i); },
            [](int32_t l) { return static_cast<double>(l); }, [](double d) { return d; },
            [](Date d) { return d.value; }, [](const std::string& s) { return NumberFromText(s); },
            [](const std::shared_ptr<Object>&) -> double { ThrowMismatch(); }},
        v_);
}

int16_t Variant::ToInteger() const {
    return CInt(ToDouble());
}

int32_t Variant::ToLong() const {
    return CLng(ToDouble());
}

Date Variant::ToDate() const {
    return std::visit(
        Overloaded{[](std::monostate) { return Date(); }, [](NullValue) -> Date { ThrowNull(); },
                   [](bool b) { return Date(b ? -1.0 : 0.0); }, [](int16_t i) { return Date(i); },
                   [](int32_t l) { return DateFromNumber(l); },
                   [](double d) { return DateFromNumber(d); }, [](Date d) { return d; },
                   [](const std::string& s) {
                       auto d = ParseDateText(s);
                       if (!d) ThrowMismatch();
                       return *d;
                   },
                   [](const std::shared_ptr<Object>&) -> Date { ThrowMismatch(); }},
        v_);
}

std::string Variant::ToString() const {
    return std::visit(
        Overloaded{[](std::monostate) { return std::string(); },
                   [](NullValue) -> std::string { ThrowNull(); },
                   [](bool b) { return std::string(b ? "True" : "False"); },
                   [](int16_t i) { return std::to_string(i); },
                   [](int32_t l) { return std::to_string(l); },
                   [](double d) { return NumberToLocaleText(d); },
                   [](Date d) { return detail::GeneralDateText(d); },
                   [](const std::string& s) { return s; },
                   [](const std::shared_ptr<Object>&) -> std::string { ThrowMismatch(); }},
        v_);
}

std::shared_ptr<Object> Variant::ToObject() const {
    if (IsEmpty()) return nullptr;
    const auto* o = std::get_if<std::shared_ptr<Object>>(&v_);
    if (!o) ThrowMismatch();
    return *o;
}

const std::string& Variant::StringRef() const {
    const auto* s = std::get_if<std::string>(&v_);
    if (!s) ThrowMismatch();
    return *s;
}

bool Variant::operator==(const Variant& other) const {
    return v_ == other.v_;
}

}  // namespace runtime
