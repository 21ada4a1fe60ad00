#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Locale.h"
#include "runtime/Variant.h"

using namespace runtime;

namespace {

struct Thing : Object {};

template <class F>
int32_t ErrorNumberOf(F&& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.Number();
    }
    return 0;
}

TEST(Variant, KindsAndTests) {
    const struct {
        Variant v;
        VarType type;
        bool number, nullOrEmptyText;
    } cases[] = {
        {Variant(), VarType::Empty, false, true},
        {Variant(Null), VarType::Null, false, true},
        {Variant(""), VarType::String, false, true},
        {Variant(" "), VarType::String, false, false},
        {Variant("0"), VarType::String, false, false},
        {Variant(int16_t{0}), VarType::Integer, true, false},
        {Variant(0), VarType::Long, true, false},
        {Variant(0.0), VarType::Double, true, false},
        {Variant(false), VarType::Boolean, true, false},
        {Variant(Date(0)), VarType::Date, false, false},
        {Variant(std::make_shared<Thing>()), VarType::Object, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.v.Type(), c.type);
        EXPECT_EQ(c.v.IsNumber(), c.number) << static_cast<int>(c.type);
        EXPECT_EQ(c.v.IsNullOrEmptyText(), c.nullOrEmptyText) << static_cast<int>(c.type);
    }
}

TEST(Variant, EqualityNeedsSameKindAndValue) {
    EXPECT_EQ(Variant(), Variant());
    EXPECT_EQ(Variant(Null), Variant(Null));
    EXPECT_EQ(Variant("a"), Variant(std::string("a")));
    EXPECT_EQ(Variant(2.5), Variant(2.5));
    EXPECT_EQ(Variant(Date(3)), Variant(Date(3)));
    EXPECT_FALSE(Variant() == Variant(Null));
    EXPECT_FALSE(Variant() == Variant(""));
    EXPECT_FALSE(Variant(int16_t{1}) == Variant(1));
    EXPECT_FALSE(Variant(1.0) == Variant(Date(1)));
    EXPECT_FALSE(Variant("a") == Variant("A"));
    auto thing = std::make_shared<Thing>();
    EXPECT_EQ(Variant(thing), Variant(std::static_pointer_cast<Object>(thing)));
    EXPECT_FALSE(Variant(thing) == Variant(std::make_shared<Thing>()));
}

TEST(Variant, Conversions) {
    EXPECT_EQ(Variant(true).ToDouble(), -1);
    EXPECT_EQ(Variant().ToDouble(), 0);
    EXPECT_EQ(Variant(Date(1.5)).ToDouble(), 1.5);
    EXPECT_EQ(Variant(" 1,000.5 ").ToDouble(), 1000.5);
    EXPECT_EQ(Variant(int32_t{70000}).ToLong(), 70000);
    EXPECT_EQ(Variant(2.5).ToInteger(), 2);
    EXPECT_TRUE(Variant("true").ToBool());
    EXPECT_FALSE(Variant(" False ").ToBool());
    EXPECT_TRUE(Variant("-2").ToBool());
    EXPECT_FALSE(Variant("0").ToBool());
    EXPECT_FALSE(Variant().ToBool());
    EXPECT_TRUE(Variant(0.1).ToBool());
    EXPECT_EQ(Variant(true).ToString(), "True");
    EXPECT_EQ(Variant(int16_t{-7}).ToString(), "-7");
    EXPECT_EQ(Variant(0.1 + 0.2).ToString(), "0.3");
    EXPECT_EQ(Variant().ToString(), "");
    EXPECT_EQ(Variant(Date(45356.5)).ToString(), "05/03/2024 12:00:00");
    EXPECT_EQ(Variant("05/03/2024").ToDate().value, 45356);
    EXPECT_EQ(Variant(45356.25).ToDate().value, 45356.25);
    EXPECT_EQ(Variant().ToDate().value, 0);
    EXPECT_EQ(Variant().ToObject(), nullptr);
    EXPECT_EQ(CDate(Variant(CStr(Variant(Date(45356.5))))).value, 45356.5);
}

TEST(Variant, ConversionErrors) {
    EXPECT_EQ(ErrorNumberOf([] { Variant(Null).ToString(); }), errc::InvalidUseOfNull);
    EXPECT_EQ(ErrorNumberOf([] { Variant(Null).ToLong(); }), errc::InvalidUseOfNull);
    EXPECT_EQ(ErrorNumberOf([] { Variant(Null).ToBool(); }), errc::InvalidUseOfNull);
    EXPECT_EQ(ErrorNumberOf([] { Variant(Null).ToDate(); }), errc::InvalidUseOfNull);
    EXPECT_EQ(ErrorNumberOf([] { Variant("x").ToDouble(); }), errc::TypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { Variant("yes").ToBool(); }), errc::TypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { Variant("31/02/2024").ToDate(); }), errc::TypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { Variant(1e10).ToDate(); }), errc::Overflow);
    EXPECT_EQ(ErrorNumberOf([] { Variant(40000.0).ToInteger(); }), errc::Overflow);
    EXPECT_EQ(ErrorNumberOf([] { Variant(1).StringRef(); }), errc::TypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { Variant(1).ToObject(); }), errc::TypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { Variant(std::make_shared<Thing>()).ToDouble(); }),
              errc::TypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { Variant(std::make_shared<Thing>()).ToString(); }),
              errc::TypeMismatch);
}

TEST(Error, StandardDescriptions) {
    const struct {
        int32_t number;
        const char* description;
    } cases[] = {
        {5, "Invalid procedure call or argument"},
        {6, "Overflow"},
        {7, "Out of memory"},
        {9, "Subscript out of range"},
        {11, "Division by zero"},
        {13, "Type mismatch"},
        {52, "Bad file name or number"},
        {53, "File not found"},
        {54, "Bad file mode"},
        {62, "Input past end of file"},
        {75, "Path/File access error"},
        {76, "Path not found"},
        {91, "Object variable or With block variable not set"},
        {94, "Invalid use of Null"},
        {424, "Object required"},
        {438, "Object doesn't support this property or method"},
        {457, "This key is already associated with an element of this collection"},
        {12345, "Application-defined or object-defined error"},
    };
    for (const auto& c : cases) {
        const Error e(c.number);
        EXPECT_EQ(e.Number(), c.number);
        EXPECT_EQ(e.Description(), c.description);
        EXPECT_STREQ(e.what(), c.description);
    }
    const Error custom(75, "cannot write x.txt");
    EXPECT_EQ(custom.Number(), 75);
    EXPECT_EQ(custom.Description(), "cannot write x.txt");
}

}  // namespace
