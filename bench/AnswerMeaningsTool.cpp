// AnswerMeaningsTool -- how many of the computer's answers the definitions entry explains, at
// each level, and a sample of them with their first meaning (for answer-meanings.sh).
//
// Usage: AnswerMeaningsTool DATA_FOLDER [DEALS] [SEED]
// Reads DATA_FOLDER/vek.heap. At each level from 1 to 10, deals DEALS deals (1000 by default)
// as the game does, from a generator seeded with SEED + level, and takes the computer's first
// answer of each (its word length drawn for the level, nothing played yet). Prints one line a
// level, "level L: A answers, M with a meaning (P %)", then every 500th answer of the run with
// the first line of its meanings: the same sample for the same archive, deals and seed.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "archive/ArchiveRegistry.h"
#include "game/Deal.h"
#include "platform/Random.h"
#include "words/Definitions.h"
#include "words/Dictionary.h"
#include "words/UsedWordList.h"
#include "words/WordBuffer.h"
#include "words/WordSearch.h"

using namespace wordlark;

namespace {

constexpr std::int32_t kLevels = 10;
constexpr int kSampleEvery = 500;

int fail(const std::string& message)
{
    std::cerr << "AnswerMeaningsTool: " << message << "\n";
    return 1;
}

int run(int argc, char** argv)
{
    if (argc < 2 || argc > 4) {
        return fail("usage: AnswerMeaningsTool DATA_FOLDER [DEALS] [SEED]");
    }
    const std::string folder = std::string(argv[1]) + "/";
    const int deals = argc > 2 ? std::atoi(argv[2]) : 1000;
    const auto seed = argc > 3 ? static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10))
                               : std::uint32_t{2026};
    if (deals < 1) {
        return fail("DEALS must be at least 1");
    }
    archive::ArchiveRegistry registry(folder);
    // No player: the answers come from the shipped words alone.
    words::Dictionary dictionary(folder, [] { return std::string(); });
    if (!dictionary.load(registry)) {
        return fail("cannot load the word list of " + folder + "vek.heap");
    }
    words::Definitions definitions(registry);
    if (!definitions.load()) {
        return fail(folder + "vek.heap has no readable definitions entry");
    }

    const words::UsedWordList nothingPlayed;
    std::vector<std::string> sample;
    int answered = 0;
    for (std::int32_t level = 1; level <= kLevels; ++level) {
        platform::Random random(seed + static_cast<std::uint32_t>(level));
        int answers = 0;
        int explained = 0;
        for (int i = 0; i < deals; ++i) {
            words::LetterSet letters{};
            words::dealLetters(dictionary, random, letters);
            const std::int32_t length = game::computerWordLength(level, random);
            words::WordBuffer found{};
            words::findComputerWord(dictionary, random, nothingPlayed, letters, found, length);
            const std::string word(found);
            if (word.empty()) {
                continue;
            }
            ++answers;
            const std::vector<std::string> lines = definitions.senseLines(word);
            if (!lines.empty()) {
                ++explained;
            }
            if (answered++ % kSampleEvery == 0) {
                sample.push_back(lines.empty() ? word + ": no definition in the dictionary"
                                               : lines.front());
            }
        }
        std::printf("level %d: %d answers, %d with a meaning (%.1f %%)\n", level, answers,
                    explained, answers > 0 ? 100.0 * explained / answers : 0.0);
    }
    std::printf("a sample of the answers (every %dth), with their first meaning:\n", kSampleEvery);
    for (const std::string& line : sample) {
        std::printf("  %s\n", line.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
}
