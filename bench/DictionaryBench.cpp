// Dictionary scans on the shipped word list: isWord of present and absent words, and the
// search step the deals are made of.
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
#include "words/Dictionary.h"

using namespace wordlark;

namespace {

// A program folder holding vek.heap made from the shipped list, and a player's list.
class Fixture {
public:
    Fixture()
    {
        // 200 saved words, none of them in the dictionary.
        std::ofstream list(folder_.saveFolder() / "PLAYER.dic");
        for (int i = 0; i < 200; ++i) {
            list << "QX" << static_cast<char>('A' + i % 26) << static_cast<char>('A' + i / 26)
                 << "Z\n";
        }
        registry_ = std::make_unique<archive::ArchiveRegistry>(folder_.folder());
        dictionary_ =
            std::make_unique<words::Dictionary>(folder_.folder(), [this] { return player_; });
        if (!dictionary_->load(*registry_)) {
            std::cerr << "cannot load the word list\n";
            std::exit(1);
        }
    }
    ~Fixture()
    {
        dictionary_.reset();
        registry_.reset();
    }

    words::Dictionary& dictionary(bool withPlayerList)
    {
        player_ = withPlayerList ? "PLAYER" : "";
        return *dictionary_;
    }

private:
    bench::ShippedWordsFolder folder_;
    std::string player_;
    std::unique_ptr<archive::ArchiveRegistry> registry_;
    std::unique_ptr<words::Dictionary> dictionary_;
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

// The game's own generator shape: deterministic cursors spread over the list.
std::uint32_t nextCursor(std::uint32_t* state, std::uint32_t count)
{
    *state = *state * 214013u + 2531011u;
    return static_cast<std::uint32_t>((std::uint64_t{(*state >> 16) & 0x7FFF} * count) / 32768);
}

void BM_IsWordPresent(benchmark::State& state)
{
    words::Dictionary& dictionary = fixture().dictionary(state.range(0) != 0);
    std::vector<std::string> present;
    for (std::uint32_t i = 0; i < dictionary.count(); i += dictionary.count() / 64) {
        present.emplace_back(dictionary.wordAt(i));
    }
    std::uint32_t seed = 1;
    std::size_t next = 0;
    for (auto _ : state) {
        dictionary.setSearchCursor(nextCursor(&seed, dictionary.count()));
        const bool found = dictionary.isWord(present[next++ % present.size()]);
        if (!found) {
            state.SkipWithError("a stored word was not found");
            break;
        }
    }
}
BENCHMARK(BM_IsWordPresent)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_IsWordAbsent(benchmark::State& state)
{
    const auto length = static_cast<std::size_t>(state.range(0));
    words::Dictionary& dictionary = fixture().dictionary(state.range(1) != 0);
    const std::string absent = "QZX" + std::string(length - 3, 'Q');
    std::uint32_t seed = 1;
    for (auto _ : state) {
        dictionary.setSearchCursor(nextCursor(&seed, dictionary.count()));
        benchmark::DoNotOptimize(dictionary.isWord(absent));
    }
}
BENCHMARK(BM_IsWordAbsent)
    ->ArgsProduct({{3, 5, 7, 12}, {0, 1}})
    ->ArgNames({"length", "list"})
    ->Unit(benchmark::kMicrosecond);

void BM_NextWordOfLength(benchmark::State& state)
{
    const auto length = static_cast<std::size_t>(state.range(0));
    words::Dictionary& dictionary = fixture().dictionary(false);
    std::uint32_t seed = 1;
    words::WordBuffer word;
    for (auto _ : state) {
        dictionary.setSearchCursor(nextCursor(&seed, dictionary.count()));
        benchmark::DoNotOptimize(dictionary.nextWordOfLength(length, word));
    }
}
BENCHMARK(BM_NextWordOfLength)->Arg(3)->Arg(7)->Arg(12)->Arg(14)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
