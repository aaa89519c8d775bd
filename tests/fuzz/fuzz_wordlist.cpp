// The bytes as a player's word list scanned behind a tiny dictionary, and as heaptool's text
// word list.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/ArchiveRegistry.h"
#include "heaptool/WordList.h"
#include "support/TempDir.h"
#include "support/TestArchive.h"
#include "words/Dictionary.h"

using namespace wordlark;

namespace {

struct Setting {
    test::TempDir dir;
    std::unique_ptr<archive::ArchiveRegistry> registry;
    std::unique_ptr<words::Dictionary> dictionary;

    Setting()
    {
        std::filesystem::create_directory(dir.file("save"));
        std::vector<std::uint8_t> records(4 * words::kWordSize, 0);
        const char* stored[] = {"CAT", "HORSE", "DOG", "ABCDEFGHIJKLMNOP"};  // last one uncut
        for (std::size_t i = 0; i < 4; ++i) {
            const std::string_view word(stored[i]);
            std::copy_n(word.begin(), std::min(word.size(), words::kWordSize),
                        records.begin() + static_cast<std::ptrdiff_t>(i * words::kWordSize));
        }
        test::writeArchive(dir, "vek.heap", {{"words", "wrds", records}});
        registry = std::make_unique<archive::ArchiveRegistry>(dir.folder());
        dictionary = std::make_unique<words::Dictionary>(dir.folder(), [] { return "P"; });
        if (!dictionary->load(*registry)) {
            std::abort();
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Setting setting;
    words::Dictionary& dictionary = *setting.dictionary;
    dictionary.playerList().close();
    setting.dir.write("save/P.dic", std::vector<std::uint8_t>(data, data + size));

    words::WordBuffer word;
    std::vector<std::string> tokens;
    for (bool more = dictionary.firstWord(word); more; more = dictionary.nextWord(word)) {
        if (tokens.size() < 64) {
            tokens.emplace_back(word);
        }
    }
    for (std::size_t length = 0; length <= words::kWordSize; ++length) {
        dictionary.setSearchCursor(static_cast<std::uint32_t>(length % 5));
        for (int step = 0; step < 8 && dictionary.nextWordOfLength(length, word); ++step) {
        }
    }
    for (const std::string& token : tokens) {
        dictionary.setSearchCursor(static_cast<std::uint32_t>(token.size() % 5));
        if (!dictionary.isWord(token)) {
            std::abort();  // every listed word must be found again
        }
    }
    dictionary.isWord("ZZZ");

    std::vector<std::uint8_t> records;
    std::string error;
    heaptool::wordRecordsFromText(std::string_view(reinterpret_cast<const char*>(data), size),
                                  &records, &error);
    return 0;
}
