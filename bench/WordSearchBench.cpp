// Word searches on the shipped word list: the computer's answer at each level's target
// lengths, the deal, and the analysis list of every word a 12-letter set allows.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "ShippedWordsFolder.h"
#include "archive/ArchiveRegistry.h"
#include "platform/Random.h"
#include "words/Dictionary.h"
#include "words/UsedWordList.h"
#include "words/WordSearch.h"

using namespace wordlark;

namespace {

// A program folder holding vek.heap made from the shipped list; no player's list.
class Fixture {
public:
    Fixture()
    {
        registry_ = std::make_unique<archive::ArchiveRegistry>(folder_.folder());
        dictionary_ =
            std::make_unique<words::Dictionary>(folder_.folder(), [] { return std::string(); });
        if (!dictionary_->load(*registry_)) {
            std::cerr << "cannot load the word list\n";
            std::exit(1);
        }
        // Deals as the game makes them, the joker included.
        platform::Random random(20240607);
        for (int i = 0; i < 256; ++i) {
            words::LetterSet letters;
            words::dealLetters(*dictionary_, random, letters);
            deals_.emplace_back(letters);
        }
    }
    ~Fixture()
    {
        dictionary_.reset();
        registry_.reset();
    }

    words::Dictionary& dictionary() { return *dictionary_; }
    const std::vector<std::string>& deals() const { return deals_; }

private:
    bench::ShippedWordsFolder folder_;
    std::unique_ptr<archive::ArchiveRegistry> registry_;
    std::unique_ptr<words::Dictionary> dictionary_;
    std::vector<std::string> deals_;
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

// The computer's answer on random deals, at one target length (levels 1 to 4 ask for 3 to
// 6). The used list holds a few words, as it does after some verdicts.
void BM_FindComputerWord(benchmark::State& state)
{
    words::Dictionary& dictionary = fixture().dictionary();
    const auto& deals = fixture().deals();
    const int longest = static_cast<int>(state.range(0));
    words::UsedWordList used;
    for (const char* word : {"TEA", "RATE", "STARE", "ALERTS"}) {
        used.add(word);
    }
    platform::Random random(1);
    std::size_t next = 0;
    std::int64_t found = 0;
    for (auto _ : state) {
        words::WordBuffer out;
        words::findComputerWord(dictionary, random, used, deals[next++ % deals.size()], out,
                                longest);
        found += out[0] != '\0';
        benchmark::DoNotOptimize(out);
    }
    state.counters["found"] =
        benchmark::Counter(static_cast<double>(found) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_FindComputerWord)->DenseRange(3, 6)->Unit(benchmark::kMicrosecond);

// The slowest answer: nothing of the asked length exists, so the whole list is passed over.
void BM_FindComputerWordWholePass(benchmark::State& state)
{
    words::Dictionary& dictionary = fixture().dictionary();
    words::UsedWordList used;
    platform::Random random(1);
    for (auto _ : state) {
        words::WordBuffer out;
        words::findComputerWord(dictionary, random, used, "QXQXQXQXZZJJ", out, 6);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_FindComputerWordWholePass)->Unit(benchmark::kMicrosecond);

void BM_DealLetters(benchmark::State& state)
{
    words::Dictionary& dictionary = fixture().dictionary();
    platform::Random random(1);
    for (auto _ : state) {
        words::LetterSet letters;
        words::dealLetters(dictionary, random, letters);
        benchmark::DoNotOptimize(letters);
    }
}
BENCHMARK(BM_DealLetters)->Unit(benchmark::kMicrosecond);

// The analysis list: every word of the listing the set allows.
void BM_MakeableWords(benchmark::State& state)
{
    words::Dictionary& dictionary = fixture().dictionary();
    const auto& deals = fixture().deals();
    std::size_t next = 0;
    std::int64_t listed = 0;
    for (auto _ : state) {
        const auto words = words::makeableWords(dictionary, deals[next++ % deals.size()]);
        listed += static_cast<std::int64_t>(words.size());
        benchmark::DoNotOptimize(words.data());
    }
    state.counters["words"] =
        benchmark::Counter(static_cast<double>(listed) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_MakeableWords)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
