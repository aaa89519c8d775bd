// The bytes as a player's record file: decoded directly, loaded from the save folder, and
// scanned among other players' files.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <span>
#include <vector>

#include "game/PlayerRecord.h"
#include "game/RecordFile.h"
#include "support/TempDir.h"

using namespace wordlark;

namespace {

struct Setting {
    test::TempDir dir;

    Setting()
    {
        std::filesystem::create_directory(dir.file("save"));
        game::PlayerRecord other;
        other.setName("Other");
        other.rating = 250;
        if (!game::saveRecord(dir.folder(), other)) {
            std::abort();
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Setting setting;
    // A valid checksum is out of a fuzzer's reach by chance: for inputs with an odd first
    // byte, pad to a whole file and put the right one in, so that records of arbitrary
    // fields get loaded too. With the next bit set as well, the record is named after its
    // file, as only such a record loads.
    std::vector<std::uint8_t> file(data, data + size);
    if (size > 0 && (data[0] & 1) != 0) {
        file.resize(std::max(size, game::kRecordFileSize));
        if ((data[0] & 2) != 0) {
            file[0] = 'P';
            file[1] = static_cast<std::uint8_t>('P' ^ 1);  // a NUL after it
        }
        std::uint32_t sum = file[0];
        for (std::size_t i = 1; i < game::PlayerRecord::kSize; ++i) {
            sum += static_cast<std::uint8_t>(file[i] ^ file[i - 1] ^ (i & 0xFF));
        }
        for (std::size_t k = 0; k < 4; ++k) {
            file[game::PlayerRecord::kSize + k] = static_cast<std::uint8_t>(sum >> (8 * k));
        }
    }
    const std::span<const std::uint8_t> bytes(file);

    // A file that decodes must be exactly what encoding its record gives back.
    game::PlayerRecord decoded;
    const bool decodes = game::decodeRecordFile(bytes, &decoded);
    if (decodes && std::memcmp(game::encodeRecordFile(decoded).data(), file.data(),
                               game::kRecordFileSize) != 0) {
        std::abort();
    }

    // Only a record that names its own file loads, its name spelt as the file's and its
    // fields held to their range.
    const bool own = decodes && (decoded.nameView() == "P" || decoded.nameView() == "p");
    game::PlayerRecord expectedLoad = decoded;
    expectedLoad.setName("P");
    expectedLoad.holdInRange();
    if (own && (expectedLoad.level < game::PlayerRecord::kMinLevel ||
                expectedLoad.level > game::PlayerRecord::kMaxLevel || expectedLoad.games < 0 ||
                expectedLoad.ties > game::PlayerRecord::kMaxMagnitude)) {
        std::abort();
    }

    setting.dir.write("save/P.sav", file);
    game::PlayerRecord loaded = game::PlayerRecord::anonymous();
    loaded.setName("P");
    const game::PlayerRecord before = loaded;
    const bool loads = static_cast<bool>(game::loadRecord(setting.dir.folder(), loaded));
    if (loads != own || (loads ? !(loaded == expectedLoad) : !(loaded == before))) {
        std::abort();
    }

    // The scan sees this file among the others, unless it is the current player's.
    const std::uint32_t best = game::scanBestOtherRating(setting.dir.folder(), "Nobody");
    const std::uint32_t expected =
        own ? std::max<std::uint32_t>(250, static_cast<std::uint32_t>(expectedLoad.rating)) : 250;
    if (best != expected || game::scanBestOtherRating(setting.dir.folder(), "p") != 250) {
        std::abort();
    }
    return 0;
}
