// The definitions entry of the built vek.heap: its first-use load (open, read, unpack), a
// lookup with the text the game shows, and the entry's sizes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "archive/ArchiveRegistry.h"
#include "words/Definitions.h"

using namespace wordlark;

namespace {

const std::string kFolder = std::string(WORDLARK_BUILD_DIR) + "/";

// Every 97th word of the shipped list: a spread of defined words and a few without an entry.
std::vector<std::string> sampleWords()
{
    std::ifstream in(std::string(WORDLARK_SOURCE_DIR) + "/assets/words.txt");
    std::vector<std::string> words;
    std::string word;
    for (int i = 0; std::getline(in, word); ++i) {
        if (i % 97 == 0) {
            words.push_back(word);
        }
    }
    return words;
}

void BM_DefinitionsFirstUse(benchmark::State& state)
{
    for (auto _ : state) {
        archive::ArchiveRegistry registry(kFolder);
        words::Definitions definitions(registry);
        if (!definitions.load()) {
            state.SkipWithError("build/vek.heap has no definitions entry");
            return;
        }
        benchmark::DoNotOptimize(definitions.size());
    }
    state.SetLabel("open vek.heap, read and unpack the entry");
}
BENCHMARK(BM_DefinitionsFirstUse)->Unit(benchmark::kMillisecond);

void BM_DefinitionsLookup(benchmark::State& state)
{
    archive::ArchiveRegistry registry(kFolder);
    words::Definitions definitions(registry);
    if (!definitions.load()) {
        state.SkipWithError("build/vek.heap has no definitions entry");
        return;
    }
    const std::vector<std::string> words = sampleWords();
    std::size_t i = 0;
    std::size_t defined = 0;
    for (auto _ : state) {
        const std::string text = definitions.text(words[i]);
        defined += text.empty() ? 0 : 1;
        benchmark::DoNotOptimize(text.data());
        i = (i + 1) % words.size();
    }
    const archive::DirectoryRecord* record =
        registry.openArchive("vek.heap")->findEntry(words::kDefinitionsEntry);
    state.counters["entry_unpacked_bytes"] = static_cast<double>(record->unpackedSize);
    state.counters["entry_stored_bytes"] = static_cast<double>(record->storedSize);
    state.counters["defined_share"] =
        static_cast<double>(defined) / static_cast<double>(state.iterations());
    state.SetLabel("text of one word, found by binary search");
}
BENCHMARK(BM_DefinitionsLookup)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
