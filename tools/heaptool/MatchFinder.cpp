#include "heaptool/MatchFinder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace wordlark::heaptool {

MatchFinder::MatchFinder(std::span<const std::uint8_t> data, const Settings& settings)
    : data_(data),
      settings_(settings),
      chainMask_(std::bit_ceil(std::size_t{settings.window}) - 1),
      head_(std::size_t{1} << kHashBits, 0),
      chain_(chainMask_ + 1, 0)
{
}

unsigned MatchFinder::hashAt(std::size_t pos) const
{
    const std::uint32_t v = static_cast<std::uint32_t>(data_[pos]) << 16 |
                            static_cast<std::uint32_t>(data_[pos + 1]) << 8 | data_[pos + 2];
    return (v * 2654435761u) >> (32 - kHashBits);
}

void MatchFinder::insert(std::size_t pos)
{
    if (pos + 3 > data_.size()) {
        return;
    }
    const unsigned h = hashAt(pos);
    chain_[pos & chainMask_] = head_[h];
    head_[h] = static_cast<std::uint32_t>(pos + 1);
}

unsigned MatchFinder::matchLength(std::size_t from, std::size_t pos, unsigned limit) const
{
    const std::uint8_t* a = data_.data() + from;
    const std::uint8_t* b = data_.data() + pos;
    unsigned n = 0;
    while (n + 8 <= limit) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        if (x != y) {
            if constexpr (std::endian::native == std::endian::little) {
                return n + static_cast<unsigned>(std::countr_zero(x ^ y)) / 8;
            } else {
                return n + static_cast<unsigned>(std::countl_zero(x ^ y)) / 8;
            }
        }
        n += 8;
    }
    while (n < limit && a[n] == b[n]) {
        ++n;
    }
    return n;
}

MatchFinder::Match MatchFinder::longest(std::size_t pos) const
{
    const std::size_t avail = data_.size() - pos;
    const unsigned limit = static_cast<unsigned>(std::min<std::size_t>(settings_.maxLength, avail));
    Match best;
    if (limit < settings_.minLength || limit < 3) {
        return best;
    }
    std::uint32_t candidate = head_[hashAt(pos)];
    for (unsigned chain = settings_.maxChain; candidate != 0 && chain > 0; --chain) {
        const std::size_t from = candidate - 1;
        const std::size_t distance = pos - from;
        if (distance > settings_.window) {
            break;
        }
        if (data_[from + best.length] == data_[pos + best.length]) {
            const unsigned length = matchLength(from, pos, limit);
            if (length > best.length) {
                best = {length, static_cast<unsigned>(distance)};
                if (length == limit) {
                    break;
                }
            }
        }
        candidate = chain_[from & chainMask_];
    }
    if (best.length < settings_.minLength ||
        (best.length == settings_.minLength && settings_.farShort != 0 &&
         best.distance > settings_.farShort)) {
        return {};
    }
    return best;
}

std::vector<LzToken> MatchFinder::parse(std::span<const std::uint8_t> data,
                                        const Settings& settings)
{
    MatchFinder finder(data, settings);
    std::vector<LzToken> tokens;
    tokens.reserve(data.size() / 3 + 16);
    // Matches this long are taken at once; looking one byte further rarely pays for them.
    const unsigned goodEnough = std::min(settings.maxLength, 64u);
    Match m;
    bool known = false;
    std::size_t pos = 0;
    while (pos < data.size()) {
        if (!known) {
            m = finder.longest(pos);
        }
        known = false;
        finder.insert(pos);
        if (m.length == 0) {
            tokens.push_back({0, data[pos]});
            ++pos;
            continue;
        }
        if (m.length < goodEnough && pos + 1 < data.size()) {
            const Match next = finder.longest(pos + 1);
            if (next.length > m.length) {
                tokens.push_back({0, data[pos]});
                ++pos;
                m = next;
                known = true;
                continue;
            }
        }
        tokens.push_back(
            {static_cast<std::uint16_t>(m.length), static_cast<std::uint16_t>(m.distance)});
        for (unsigned i = 1; i < m.length; ++i) {
            finder.insert(pos + i);
        }
        pos += m.length;
    }
    return tokens;
}

}  // namespace wordlark::heaptool
