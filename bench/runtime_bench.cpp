// Costs of the conversions that run per quote and per message, each beside
// the C library routine it replaces (the baseline).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/StringList.h"
#include "runtime/Convert.h"
#include "runtime/Format.h"

namespace {

void BM_Val(benchmark::State& state) {
    const std::string text = "1.23456";
    for (auto _ : state) benchmark::DoNotOptimize(runtime::Val(text));
}
BENCHMARK(BM_Val);

void BM_Strtod(benchmark::State& state) {
    const std::string text = "1.23456";
    for (auto _ : state) benchmark::DoNotOptimize(std::strtod(text.c_str(), nullptr));
}
BENCHMARK(BM_Strtod);

void BM_NumberToText(benchmark::State& state) {
    double x = 1.23456789;
    for (auto _ : state) {
        benchmark::DoNotOptimize(runtime::NumberToText(x));
        x += 1e-7;
    }
}
BENCHMARK(BM_NumberToText);

void BM_Snprintf15g(benchmark::State& state) {
    double x = 1.23456789;
    char buf[32];
    for (auto _ : state) {
        std::snprintf(buf, sizeof buf, "%.15g", x);
        benchmark::DoNotOptimize(std::string(buf));
        x += 1e-7;
    }
}
BENCHMARK(BM_Snprintf15g);

void BM_FormatPrice(benchmark::State& state) {
    double x = 1.234445;
    for (auto _ : state) {
        benchmark::DoNotOptimize(runtime::FormatNumber(x, "0.00000"));
        x += 1e-7;
    }
}
BENCHMARK(BM_FormatPrice);

void BM_FormatMoney(benchmark::State& state) {
    double x = 1234567.126;
    for (auto _ : state) {
        benchmark::DoNotOptimize(runtime::FormatNumber(x, "###,###,###,###,###,##0.00"));
        x += 0.01;
    }
}
BENCHMARK(BM_FormatMoney);

void BM_RoundHalfAway(benchmark::State& state) {
    double x = 2.675;
    for (auto _ : state) {
        benchmark::DoNotOptimize(runtime::RoundHalfAway(x, 2));
        x += 1e-9;
    }
}
BENCHMARK(BM_RoundHalfAway);

void BM_StringListLoad(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 30; ++i) text += "EURUSD R,@1.23456R,@1.23476R,@";
    platform::StringList list;
    list.SetDelimiter("R,@");
    for (auto _ : state) {
        list.Load(text);
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_StringListLoad);

}  // namespace

BENCHMARK_MAIN();
