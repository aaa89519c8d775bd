// UnpackBench -- decoding throughput of each method, in bytes of output per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "archive/Unpacker.h"
#include "heaptool/Packer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// About 8 MB of what archives hold: prose, little-endian records, runs and some noise.
const Bytes& mixedInput()
{
    static const Bytes input = [] {
        static const char* const kWords[] = {
            "the",   "letter", "of",     "word",   "and",  "player", "round", "a",
            "score", "tile",   "to",     "board",  "in",   "lark",   "is",    "garden",
            "that",  "it",     "window", "silver", "with", "river",  "for",   "evening"};
        std::mt19937 rng(4242);
        Bytes out;
        out.push_back(0);  // not a method byte: the raw-copy case can use the bytes as they are
        while (out.size() < 8u << 20) {
            switch (rng() % 4) {
                case 0:
                case 1:
                    for (int i = 0; i < 3000; ++i) {
                        const std::string w = kWords[rng() % 24];
                        out.insert(out.end(), w.begin(), w.end());
                        out.push_back(rng() % 10 == 0 ? '\n' : ' ');
                    }
                    break;
                case 2:
                    for (std::uint32_t i = 0; i < 2000; ++i) {
                        const std::uint32_t v = rng() % 1000;
                        for (std::uint8_t b :
                             {std::uint8_t(i), std::uint8_t(i >> 8), std::uint8_t(v),
                              std::uint8_t(v >> 8), std::uint8_t(rng() % 3)}) {
                            out.push_back(b);
                        }
                    }
                    break;
                default:
                    for (int i = 0; i < 20; ++i) {
                        out.insert(out.end(), 1 + rng() % 500, static_cast<std::uint8_t>(rng()));
                        for (int j = 0; j < 40; ++j) {
                            out.push_back(static_cast<std::uint8_t>(rng()));
                        }
                    }
                    break;
            }
        }
        return out;
    }();
    return input;
}

void decodeStream(benchmark::State& state, const Bytes& stored)
{
    const Bytes& input = mixedInput();
    Bytes out(input.size());
    for (auto _ : state) {
        const std::size_t n =
            wordlark::archive::unpack(out.data(), out.size(), stored.data(), stored.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
        if (n != input.size()) {
            state.SkipWithError("short output");
            return;
        }
    }
    if (out != input) {
        state.SkipWithError("output differs from the input");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(input.size()));
    state.counters["ratio"] =
        static_cast<double>(stored.size()) / static_cast<double>(input.size());
}

void BM_UnpackMethod1(benchmark::State& state)
{
    static const Bytes stored = wordlark::heaptool::packStream(1, mixedInput());
    decodeStream(state, stored);
}

void BM_UnpackMethod2(benchmark::State& state)
{
    static const Bytes stored = wordlark::heaptool::packStream(2, mixedInput());
    decodeStream(state, stored);
}

void BM_UnpackRawCopy(benchmark::State& state)
{
    decodeStream(state, mixedInput());
}

}  // namespace

BENCHMARK(BM_UnpackMethod1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnpackMethod2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnpackRawCopy)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
