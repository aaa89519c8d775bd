#include "heaptool/Lh5Encoder.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <functional>
#include <queue>
#include <utility>

#include "heaptool/MatchFinder.h"

namespace wordlark::heaptool {

namespace {

constexpr unsigned kWindow = 8192;
constexpr unsigned kLiteralSymbols = 512;
constexpr unsigned kLengthSymbols = 19;
constexpr unsigned kDistanceClasses = 14;
constexpr unsigned kLongestCode = 16;
constexpr unsigned kMatchBase = 253;  // symbol = length + 253

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    // Appends the low `count` bits of value (count <= 32), most significant first.
    void put(unsigned count, std::uint32_t value)
    {
        if (count == 0) {
            return;
        }
        acc_ = acc_ << count | (value & ((std::uint64_t{1} << count) - 1));
        pending_ += count;
        while (pending_ >= 8) {
            pending_ -= 8;
            out_.push_back(static_cast<std::uint8_t>(acc_ >> pending_));
        }
    }

    // Pads the last byte with zero bits.
    void finish()
    {
        if (pending_ > 0) {
            out_.push_back(static_cast<std::uint8_t>(acc_ << (8 - pending_)));
            pending_ = 0;
        }
    }

private:
    std::vector<std::uint8_t>& out_;
    std::uint64_t acc_ = 0;
    unsigned pending_ = 0;
};

// Huffman code lengths of at most maxLength bits for the used symbols (non-zero frequency).
// With fewer than two used symbols every length stays 0: the stream then names the one
// symbol instead. Codes that come out too long are made again from flattened frequencies.
void buildLengths(const std::uint32_t* freq, unsigned symbols, unsigned maxLength,
                  std::uint8_t* lengths)
{
    std::fill_n(lengths, symbols, 0);
    std::vector<unsigned> used;
    std::vector<std::uint64_t> weight;
    for (unsigned s = 0; s < symbols; ++s) {
        if (freq[s] != 0) {
            used.push_back(s);
            weight.push_back(freq[s]);
        }
    }
    const std::size_t leaves = used.size();
    if (leaves < 2) {
        return;
    }
    std::vector<std::size_t> parent(2 * leaves - 1);
    std::vector<unsigned> depth(2 * leaves - 1);
    for (;;) {
        using Node = std::pair<std::uint64_t, std::size_t>;
        std::priority_queue<Node, std::vector<Node>, std::greater<Node>> queue;
        for (std::size_t i = 0; i < leaves; ++i) {
            queue.push({weight[i], i});
        }
        std::size_t next = leaves;
        while (queue.size() > 1) {
            const Node a = queue.top();
            queue.pop();
            const Node b = queue.top();
            queue.pop();
            parent[a.second] = next;
            parent[b.second] = next;
            queue.push({a.first + b.first, next++});
        }
        // Parents are made after their children, so one backward pass gives every depth.
        depth[next - 1] = 0;
        unsigned deepest = 0;
        for (std::size_t node = next - 1; node-- > 0;) {
            depth[node] = depth[parent[node]] + 1;
            if (node < leaves) {
                deepest = std::max(deepest, depth[node]);
            }
        }
        if (deepest <= maxLength) {
            for (std::size_t i = 0; i < leaves; ++i) {
                lengths[used[i]] = static_cast<std::uint8_t>(depth[i]);
            }
            return;
        }
        for (std::uint64_t& w : weight) {
            w = (w + 1) / 2;
        }
    }
}

// Canonical codes for the lengths: consecutive within a length, in symbol order, shorter
// lengths first.
void makeCodes(const std::uint8_t* lengths, unsigned symbols, std::uint16_t* codes)
{
    unsigned count[kLongestCode + 1] = {};
    for (unsigned s = 0; s < symbols; ++s) {
        ++count[lengths[s]];
    }
    count[0] = 0;
    unsigned next[kLongestCode + 1] = {};
    unsigned code = 0;
    for (unsigned len = 1; len <= kLongestCode; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = code;
    }
    for (unsigned s = 0; s < symbols; ++s) {
        codes[s] = lengths[s] ? static_cast<std::uint16_t>(next[lengths[s]]++) : 0;
    }
}

unsigned usedCount(const std::uint32_t* freq, unsigned symbols, unsigned* last)
{
    unsigned used = 0;
    *last = 0;
    for (unsigned s = 0; s < symbols; ++s) {
        if (freq[s] != 0) {
            ++used;
            *last = s;
        }
    }
    return used;
}

unsigned trimmedCount(const std::uint8_t* lengths, unsigned symbols)
{
    unsigned k = symbols;
    while (k > 0 && lengths[k - 1] == 0) {
        --k;
    }
    return k;
}

// Lengths of the code-length code and of the distance classes: 3 bits each, or for 7 and
// above three 1 bits, length - 7 more 1 bits and a 0. After the symbol at `special` a 2-bit
// count of the zero lengths that follow (up to three) is skipped over.
void writeSmallLengths(BitWriter& bits, const std::uint8_t* lengths, unsigned symbols,
                       unsigned countBits, unsigned special)
{
    const unsigned k = trimmedCount(lengths, symbols);
    bits.put(countBits, k);
    for (unsigned i = 0; i < k;) {
        const unsigned len = lengths[i++];
        if (len <= 6) {
            bits.put(3, len);
        } else {
            bits.put(len - 3, (1u << (len - 3)) - 2);
        }
        if (i == special) {
            unsigned zeros = 0;
            while (zeros < 3 && i + zeros < symbols && lengths[i + zeros] == 0) {
                ++zeros;
            }
            bits.put(2, zeros);
            i += zeros;
        }
    }
}

unsigned distanceClass(unsigned distance)
{
    return static_cast<unsigned>(std::bit_width(distance - 1));
}

struct LengthItem {
    std::uint8_t symbol;  // 0: one zero; 1: 3..18 zeros; 2: 20..531 zeros; n + 2: length n
    std::uint16_t extra;
};

// The literal/length code lengths as code-length symbols, runs of zeros folded.
std::vector<LengthItem> lengthItems(const std::uint8_t* lengths, unsigned k)
{
    std::vector<LengthItem> items;
    for (unsigned i = 0; i < k;) {
        if (lengths[i] != 0) {
            items.push_back({static_cast<std::uint8_t>(lengths[i] + 2), 0});
            ++i;
            continue;
        }
        unsigned run = 0;
        while (i + run < k && lengths[i + run] == 0) {
            ++run;
        }
        i += run;
        while (run > 0) {
            if (run <= 2) {
                items.push_back({0, 0});
                --run;
            } else if (run <= 18) {
                items.push_back({1, static_cast<std::uint16_t>(run - 3)});
                run = 0;
            } else if (run == 19) {
                items.push_back({0, 0});
                items.push_back({1, 15});
                run = 0;
            } else {
                const unsigned take = std::min(run, 531u);
                items.push_back({2, static_cast<std::uint16_t>(take - 20)});
                run -= take;
            }
        }
    }
    return items;
}

void writeBlock(BitWriter& bits, const LzToken* tokens, std::size_t count)
{
    std::uint32_t literalFreq[kLiteralSymbols] = {};
    std::uint32_t distanceFreq[kDistanceClasses] = {};
    for (std::size_t t = 0; t < count; ++t) {
        if (tokens[t].length == 0) {
            ++literalFreq[tokens[t].value];
        } else {
            ++literalFreq[tokens[t].length + kMatchBase];
            ++distanceFreq[distanceClass(tokens[t].value)];
        }
    }

    std::uint8_t literalLengths[kLiteralSymbols];
    std::uint16_t literalCodes[kLiteralSymbols];
    buildLengths(literalFreq, kLiteralSymbols, kLongestCode, literalLengths);
    makeCodes(literalLengths, kLiteralSymbols, literalCodes);

    bits.put(16, static_cast<std::uint32_t>(count));
    unsigned onlyLiteral = 0;
    if (usedCount(literalFreq, kLiteralSymbols, &onlyLiteral) >= 2) {
        const unsigned k = trimmedCount(literalLengths, kLiteralSymbols);
        const std::vector<LengthItem> items = lengthItems(literalLengths, k);
        std::uint32_t itemFreq[kLengthSymbols] = {};
        for (const LengthItem& item : items) {
            ++itemFreq[item.symbol];
        }
        std::uint8_t itemLengths[kLengthSymbols];
        std::uint16_t itemCodes[kLengthSymbols];
        buildLengths(itemFreq, kLengthSymbols, kLongestCode, itemLengths);
        makeCodes(itemLengths, kLengthSymbols, itemCodes);
        unsigned onlyItem = 0;
        if (usedCount(itemFreq, kLengthSymbols, &onlyItem) >= 2) {
            writeSmallLengths(bits, itemLengths, kLengthSymbols, 5, 3);
        } else {
            bits.put(5, 0);
            bits.put(5, onlyItem);
        }
        bits.put(9, k);
        for (const LengthItem& item : items) {
            bits.put(itemLengths[item.symbol], itemCodes[item.symbol]);
            if (item.symbol == 1) {
                bits.put(4, item.extra);
            } else if (item.symbol == 2) {
                bits.put(9, item.extra);
            }
        }
    } else {
        // One symbol only: it takes no bits at all.
        bits.put(5, 0);
        bits.put(5, 0);
        bits.put(9, 0);
        bits.put(9, onlyLiteral);
    }

    std::uint8_t distanceLengths[kDistanceClasses];
    std::uint16_t distanceCodes[kDistanceClasses];
    buildLengths(distanceFreq, kDistanceClasses, kLongestCode, distanceLengths);
    makeCodes(distanceLengths, kDistanceClasses, distanceCodes);
    unsigned onlyDistance = 0;
    if (usedCount(distanceFreq, kDistanceClasses, &onlyDistance) >= 2) {
        writeSmallLengths(bits, distanceLengths, kDistanceClasses, 4, 0);
    } else {
        bits.put(4, 0);
        bits.put(4, onlyDistance);
    }

    for (std::size_t t = 0; t < count; ++t) {
        const LzToken& token = tokens[t];
        if (token.length == 0) {
            bits.put(literalLengths[token.value], literalCodes[token.value]);
            continue;
        }
        const unsigned symbol = token.length + kMatchBase;
        bits.put(literalLengths[symbol], literalCodes[symbol]);
        const unsigned j = distanceClass(token.value);
        bits.put(distanceLengths[j], distanceCodes[j]);
        if (j > 1) {
            bits.put(j - 1, token.value - 1 - (1u << (j - 1)));
        }
    }
}

}  // namespace

std::vector<std::uint8_t> Lh5Encoder::encode(std::span<const std::uint8_t> data,
                                             const Options& options)
{
    MatchFinder::Settings settings;
    settings.window = kWindow;
    // The 9-bit count of literal/length code lengths reaches symbol 510 at most, so the
    // longest match with a code of its own is 257 bytes.
    settings.maxLength = options.lhaCompatible ? 256 : 257;
    settings.maxChain = std::max(options.maxChain, 1u);
    settings.farShort = 4096;
    const std::vector<LzToken> tokens = MatchFinder::parse(data, settings);

    const std::size_t perBlock = std::clamp(options.blockSymbols, 1u, 65535u);
    std::vector<std::uint8_t> out;
    out.reserve(data.size() / 2 + 16);
    BitWriter bits(out);
    for (std::size_t start = 0; start < tokens.size(); start += perBlock) {
        writeBlock(bits, tokens.data() + start, std::min(perBlock, tokens.size() - start));
    }
    bits.finish();
    return out;
}

}  // namespace wordlark::heaptool
