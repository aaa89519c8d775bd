// The bytes as a player's history: each line parsed alone, and the whole read from the save
// folder as the progress screen and the export read it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <vector>

#include "game/GameHistory.h"
#include "game/HistoryEntry.h"
#include "game/HistoryFile.h"
#include "support/TempDir.h"

using namespace wordlark;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static test::TempDir dir;
    static const bool made = std::filesystem::create_directories(dir.file("save"));
    (void)made;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // A line that parses is one the game writes, byte for byte (a CR before its end aside, and
    // the empty deal number that lines written before deals had numbers lack).
    std::size_t parsed = 0;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (const auto entry = game::parseHistoryLine(line)) {
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            std::string written = game::formatHistoryLine(*entry);
            written.pop_back();
            const bool older = std::count(line.begin(), line.end(), '\t') == 10;
            if (written != (older ? std::string(line) + '\t' : std::string(line)) ||
                !(game::parseHistoryLine(written) == entry)) {
                std::abort();
            }
            if (end < text.size()) {
                ++parsed;
            }
        }
        start = end + 1;
    }

    // Read from the file, the same lines count, wholly and from a tail that starts anywhere.
    dir.write("save/P.his", std::vector<std::uint8_t>(data, data + size));
    std::size_t read = 0;
    game::HistoryFile(dir.folder(), "P").read([&read](const game::HistoryEntry&) { ++read; });
    const game::GameHistory history = game::GameHistory::load(dir.folder(), "P");
    if (read != parsed || history.games() != parsed || history.bestRun() < history.currentRun()) {
        std::abort();
    }
    std::size_t tail = 0;
    game::HistoryFile(dir.folder(), "P")
        .read([&tail](const game::HistoryEntry&) { ++tail; }, size / 2);
    if (tail > read) {
        std::abort();
    }
    return 0;
}
