#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/Paths.h"
#include "protocol/CFileProcess.h"
#include "protocol/CGenerals.h"
#include "protocol/CLogFile.h"
#include "protocol/CStringValues.h"
#include "runtime/Date.h"
#include "runtime/Error.h"
#include "runtime/Format.h"
#include "runtime/Locale.h"
#include "tests/support/ErrorNumber.h"
#include "tests/support/TempProgramFolder.h"

namespace {

using testsupport::ErrorNumberOf;

namespace fs = std::filesystem;
using runtime::Variant;

std::string Stamp(runtime::Date d) {
    return runtime::FormatDate(d, "yyyy-mm-dd hh:nn:ss");
}

runtime::LocaleSettings DotLocale() {
    runtime::LocaleSettings l;
    l.date = ".";
    l.time = ".";
    return l;
}

TEST(ProtocolHelpers, GetLineReturnsTheLineOrRaises) {
    testsupport::TempProgramFolder folder("helpers");
    const std::string pattern = folder.Path().string();

    KVGeneralDLL10::CFileProcess f;
    // The journal's folder is the desk's to create.
    EXPECT_NE(f.PutEntry("first", "\\History\\JN1.his", KVGeneralDLL10::APPEND_TYPE), "");
    fs::create_directory(fs::path(pattern) / "History");
    EXPECT_EQ(f.PutEntry("first", "\\History\\JN1.his", KVGeneralDLL10::APPEND_TYPE), "");
    EXPECT_EQ(f.PutEntry("second", "\\History\\JN1.his", KVGeneralDLL10::APPEND_TYPE), "");
    EXPECT_EQ(f.GetLine("\\History\\JN1.his", 2), "second");
    EXPECT_EQ(f.GetLine("\\History\\JN1.his", 0), "");
    EXPECT_EQ(ErrorNumberOf([&] { f.GetLine("\\History\\JN1.his", 3); }),
              runtime::errc::InputPastEnd);
    EXPECT_EQ(ErrorNumberOf([&] { f.GetLine("\\History\\JN2.his", 1); }),
              runtime::errc::FileNotFound);
    EXPECT_EQ(f.NumberOfLinesInFile("\\History\\JN1.his"), 2);
}

TEST(ProtocolHelpers, NumbersAndCurrencyMatchTheGeneralLibrary) {
    KVGeneralDLL10::CStringValues sv;
    EXPECT_DOUBLE_EQ(sv.StringToNumber(Variant("1,234.5")), 1234.5);
    EXPECT_DOUBLE_EQ(sv.StringToNumber(Variant(" 7 ")), 7);
    EXPECT_DOUBLE_EQ(sv.StringToNumber(Variant("abc")), 0);
    EXPECT_DOUBLE_EQ(sv.StringToNumber(Variant(runtime::Null)), 0);
    EXPECT_EQ(sv.NumberToVariant(Variant("1,234.5")), Variant(1234.5));
    // The desk's open-positions view formats through this library.
    EXPECT_EQ(sv.ToCurrencyVal(Variant(2.675)), "2.68");
    EXPECT_EQ(sv.ToCurrencyVal(Variant("1,234.5")), "1,234.50");
    EXPECT_EQ(sv.BooleanToString(true), "TRUE");
    EXPECT_EQ(sv.DeCode(sv.Code("ACCOUNT 1001")), "ACCOUNT 1001");
}

TEST(ProtocolHelpers, OlderDateParsers) {
    KVGeneralDLL10::CStringValues sv;
    EXPECT_EQ(Stamp(sv.ToDate(" 05/03/2024 ")), "2024-03-05 00:00:00");
    EXPECT_EQ(Stamp(sv.ToDate("5-3-24", "-")), "2024-03-05 00:00:00");
    EXPECT_EQ(Stamp(sv.ToDateTime("05/03/2024 14:07:09")), "2024-03-05 14:07:09");
    EXPECT_EQ(Stamp(sv.ToDateTime("")), "1900-01-01 00:00:00");

    const std::vector<std::pair<std::string, int32_t>> bad = {
        {"", runtime::errc::InvalidProcedureCall},  // ToDate has no empty case
        {"05032024", runtime::errc::InvalidProcedureCall},
        {"05/03/2024 10:00", runtime::errc::TypeMismatch},  // a time is not part of a year
    };
    for (const auto& [text, error] : bad)
        EXPECT_EQ(ErrorNumberOf([&, &text = text] { sv.ToDate(text); }), error) << text;
    for (const char* text : {"05/03/2024", "05/03/2024 14:07", "05/03/2024 14"}) {
        EXPECT_NE(ErrorNumberOf([&] { sv.ToDateTime(text); }), 0) << text;
    }
}

TEST(ProtocolHelpers, DateTextsFollowTheLocaleSeparators) {
    runtime::ScopedLocale locale(DotLocale());
    const runtime::Date d = runtime::DateTimeSerial(2024, 4, 3, 14, 5, 9);
    KVGeneralDLL10::CGenerals kv;
    OrbanelGeneral10::CGenerals general;
    EXPECT_EQ(kv.HourMinuteSecond(d), "14.05.09");
    EXPECT_EQ(general.HourMinuteSecond(d), "14:05:09");
    EXPECT_EQ(kv.MonthDayYearTime(d), "03-04-24 14.05.09");
    KVGeneralDLL10::CStringValues sv;
    EXPECT_EQ(sv.DateToString(Variant(d)), "03.04.2024");
    EXPECT_EQ(sv.DateToString(Variant("no date")), "");

    // The log file keeps its own stamp format in both libraries.
    static_assert(std::is_same_v<KVGeneralDLL10::CLogFile, OrbanelGeneral10::CLogFile>);
}

TEST(ProtocolHelpers, SplitKeepsEveryPiece) {
    KVGeneralDLL10::CGenerals g;
    std::vector<std::string> parts{"stale"};
    g.Split("a,,b,", parts);
    EXPECT_EQ(parts, (std::vector<std::string>{"", "a", "", "b", ""}));
    g.Split("", parts);
    EXPECT_EQ(parts, (std::vector<std::string>{"", ""}));
    g.Split("aR,@b", parts, "R,@");
    EXPECT_EQ(parts, (std::vector<std::string>{"", "a", "b"}));
    g.Split("a,b", parts, "");
    EXPECT_EQ(parts, (std::vector<std::string>{"", "a,b"}));
    EXPECT_EQ(g.NVL(Variant(runtime::Null), Variant(int32_t{0})), Variant(int32_t{0}));
}

}  // namespace
