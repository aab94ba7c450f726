// Speed of the object runtime's hash table and String operations, each beside
// the standard library doing the same work.
#include "core/lang/String.h"
#include "core/util/Hashtable.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// Names like those the data manifest, the rooms and the text items use.
std::vector<std::string> makeKeys(int n)
{
    static const char* const prefixes[] = {"Door", "WallItem_", "+iCursor_", "Hilite", "STR_HINT_", "Sprite"};
    std::vector<std::string> keys;
    for (int i = 0; static_cast<int>(keys.size()) < n; ++i)
        keys.push_back(prefixes[i % 6] + std::to_string(i / 6));
    return keys;
}

void BM_HashtableGetByString(benchmark::State& state)
{
    std::vector<std::string> keys = makeKeys(int(state.range(0)));
    lang::Object value;
    {
        util::Hashtable table;
        table.setStringKeys(true);
        std::vector<std::unique_ptr<lang::String>> queries;
        for (const std::string& k : keys) {
            table.put(k.c_str(), &value);
            queries.emplace_back(new lang::String(k.c_str()));
        }
        size_t i = 0;
        for (auto _ : state) {
            benchmark::DoNotOptimize(table.get(queries[i].get()));
            if (++i == queries.size())
                i = 0;
        }
    }
}
BENCHMARK(BM_HashtableGetByString)->Arg(64)->Arg(1024);

void BM_UnorderedMapGetByString(benchmark::State& state)
{
    std::vector<std::string> keys = makeKeys(int(state.range(0)));
    lang::Object value;
    std::unordered_map<std::string, lang::Object*> map;
    std::vector<std::string> queries;
    for (const std::string& k : keys) {
        map.emplace(k, &value);
        queries.push_back(k);
    }
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(map.find(queries[i]));
        if (++i == queries.size())
            i = 0;
    }
}
BENCHMARK(BM_UnorderedMapGetByString)->Arg(64)->Arg(1024);

// Builds a 1,000-byte text from 4-byte pieces.
void BM_StringAppend(benchmark::State& state)
{
    for (auto _ : state) {
        lang::String s;
        for (int i = 0; i < 250; ++i)
            s.append("abcd");
        benchmark::DoNotOptimize(s.c_str());
    }
}
BENCHMARK(BM_StringAppend);

void BM_StdStringAppend(benchmark::State& state)
{
    for (auto _ : state) {
        std::string s;
        for (int i = 0; i < 250; ++i)
            s.append("abcd");
        benchmark::DoNotOptimize(s.data());
    }
}
BENCHMARK(BM_StdStringAppend);

void BM_StringFromInt(benchmark::State& state)
{
    int v = -123456;
    for (auto _ : state) {
        lang::String s(v);
        benchmark::DoNotOptimize(s.c_str());
        v += 7919;
    }
}
BENCHMARK(BM_StringFromInt);

void BM_StdToString(benchmark::State& state)
{
    int v = -123456;
    for (auto _ : state) {
        std::string s = std::to_string(v);
        benchmark::DoNotOptimize(s.data());
        v += 7919;
    }
}
BENCHMARK(BM_StdToString);

void BM_StringFromDouble(benchmark::State& state)
{
    double v = 0.001;
    for (auto _ : state) {
        lang::String s(v);
        benchmark::DoNotOptimize(s.c_str());
        v = v * 1.37 + 0.5;
        if (v > 1e12)
            v = 0.001;
    }
}
BENCHMARK(BM_StringFromDouble);

void BM_SnprintfDouble(benchmark::State& state)
{
    double v = 0.001;
    char buffer[32];
    for (auto _ : state) {
        std::snprintf(buffer, sizeof buffer, "%.9g", v);
        benchmark::DoNotOptimize(buffer);
        v = v * 1.37 + 0.5;
        if (v > 1e12)
            v = 0.001;
    }
}
BENCHMARK(BM_SnprintfDouble);

// A name and a number, then a second text: "WallItem_" + i, then + "Hilite".
void BM_StringConcat(benchmark::State& state)
{
    lang::String prefix("WallItem_");
    lang::String suffix("Hilite");
    int i = 0;
    for (auto _ : state) {
        lang::String s = (prefix + i) + suffix;
        benchmark::DoNotOptimize(s.c_str());
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_StringConcat);

void BM_StdStringConcat(benchmark::State& state)
{
    std::string prefix("WallItem_");
    std::string suffix("Hilite");
    int i = 0;
    for (auto _ : state) {
        std::string s = (prefix + std::to_string(i)) + suffix;
        benchmark::DoNotOptimize(s.data());
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_StdStringConcat);

} // namespace

BENCHMARK_MAIN();
