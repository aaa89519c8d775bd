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
    // fields get loaded too.
    std::vector<std::uint8_t> file(data, data + size);
    if (size > 0 && (data[0] & 1) != 0) {
        file.resize(std::max(size, game::kRecordFileSize));
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

    setting.dir.write("save/P.sav", file);
    game::PlayerRecord loaded = game::PlayerRecord::anonymous();
    loaded.setName("P");
    const game::PlayerRecord before = loaded;
    const bool loads = game::loadRecord(setting.dir.folder(), loaded);
    if (loads != decodes || (loads ? !(loaded == decoded) : !(loaded == before))) {
        std::abort();
    }

    // The scan sees this file among the others, unless it is the current player's.
    const std::uint32_t best = game::scanBestOtherRating(setting.dir.folder(), "Nobody");
    const std::uint32_t expected =
        decodes ? std::max<std::uint32_t>(250, static_cast<std::uint32_t>(decoded.rating)) : 250;
    if (best != expected || game::scanBestOtherRating(setting.dir.folder(), "p") != 250) {
        std::abort();
    }
    return 0;
}
