#include "heaptool/LzssEncoder.h"

#include <cstddef>

#include "heaptool/MatchFinder.h"

namespace wordlark::heaptool {

std::vector<std::uint8_t> LzssEncoder::encode(std::span<const std::uint8_t> data)
{
    MatchFinder::Settings settings;
    settings.window = kWindow;
    settings.maxLength = kMaxMatch;
    const std::vector<LzToken> tokens = MatchFinder::parse(data, settings);

    std::vector<std::uint8_t> out;
    out.reserve(data.size() / 2 + 16);
    std::size_t flagAt = 0;
    unsigned item = 0;
    std::size_t produced = 0;  // bytes the decoder has written so far; its ring position too
    for (const LzToken& t : tokens) {
        if (item % 8 == 0) {
            flagAt = out.size();
            out.push_back(0);
        }
        if (t.length == 0) {
            out.push_back(static_cast<std::uint8_t>(t.value));
            ++produced;
        } else {
            // The decoder names the source by ring position: the byte `distance` back sits at
            // (write position - distance) modulo the ring, even when that is the write
            // position itself (a whole ring back).
            out[flagAt] |= static_cast<std::uint8_t>(1u << (item % 8));
            const auto position = static_cast<unsigned>((produced - t.value) & (kWindow - 1));
            const unsigned code = t.length - 3u;
            const unsigned lengthField = code < 15 ? code : 15;
            out.push_back(static_cast<std::uint8_t>(position));
            out.push_back(static_cast<std::uint8_t>((position >> 8) << 4 | lengthField));
            if (code >= 15) {
                out.push_back(static_cast<std::uint8_t>(code - 15));
            }
            produced += t.length;
        }
        ++item;
    }
    return out;
}

}  // namespace wordlark::heaptool
