// AnagramTool -- lists every word of a word list that can be laid out of each of N dealt
// 12-letter sets, with the time our enumeration takes per set (for compare-anagram.sh).
//
// Usage: AnagramTool WORDLIST SETS SEED OUTDIR
// Deals SETS sets without a joker (the tools we compare against know none) from a generator
// seeded with SEED, writes the words of set i to OUTDIR/i.ours, one a line, and prints one
// line per set: "i LETTERS MICROSECONDS COUNT". Loading the list is not timed.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "archive/ArchiveRegistry.h"
#include "heaptool/ArchiveWriter.h"
#include "heaptool/WordList.h"
#include "platform/Random.h"
#include "words/Dictionary.h"
#include "words/WordSearch.h"

using namespace wordlark;

namespace {

int fail(const std::string& message)
{
    std::cerr << "AnagramTool: " << message << "\n";
    return 1;
}

int run(int argc, char** argv);

}  // namespace

int main(int argc, char** argv)
{
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
}

namespace {

int run(int argc, char** argv)
{
    if (argc != 5) {
        return fail("usage: AnagramTool WORDLIST SETS SEED OUTDIR");
    }
    const std::filesystem::path outDir = argv[4];
    const int sets = std::atoi(argv[2]);
    const auto seed = static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10));

    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        return fail(std::string("cannot read ") + argv[1]);
    }
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    std::vector<std::uint8_t> records;
    std::string error;
    if (!heaptool::wordRecordsFromText(text, &records, &error)) {
        return fail(std::string(argv[1]) + ": " + error);
    }
    // The program folder of the dictionary: a plain archive in OUTDIR, no player's list.
    const std::string folder = outDir.string() + "/";
    std::filesystem::create_directories(outDir / "save");
    heaptool::ArchiveWriter writer;
    writer.addEntry("words", "wrds", std::move(records), heaptool::Storage::Plain);
    if (!writer.write(folder + "vek.heap", "vek.heap", &error)) {
        return fail(error);
    }
    archive::ArchiveRegistry registry(folder);
    words::Dictionary dictionary(folder, [] { return std::string(); });
    if (!dictionary.load(registry)) {
        return fail("cannot load the word list");
    }

    platform::Random random(seed);
    for (int i = 0; i < sets; ++i) {
        words::LetterSet letters;
        do {
            words::dealLetters(dictionary, random, letters);
        } while (letters[words::kLetterSetSize - 1] == words::kJoker);

        // Repeated until 50 ms have passed, for a steady figure.
        using Clock = std::chrono::steady_clock;
        std::vector<std::string> listed;
        int runs = 0;
        const auto start = Clock::now();
        auto elapsed = Clock::duration::zero();
        do {
            listed = words::makeableWords(dictionary, letters);
            ++runs;
            elapsed = Clock::now() - start;
        } while (elapsed < std::chrono::milliseconds(50));
        const double micros =
            std::chrono::duration<double, std::micro>(elapsed).count() / static_cast<double>(runs);

        std::ofstream out(outDir / (std::to_string(i) + ".ours"));
        for (const std::string& word : listed) {
            out << word << "\n";
        }
        if (!out) {
            return fail("cannot write to " + outDir.string());
        }
        std::printf("%d %s %.1f %zu\n", i, letters, micros, listed.size());
    }
    return 0;
}

}  // namespace
