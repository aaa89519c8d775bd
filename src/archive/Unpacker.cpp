#include "archive/Unpacker.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

#include "archive/Endian.h"

namespace wordlark::archive {

namespace {

constexpr std::size_t kLzssWindow = 4096;
constexpr std::size_t kHuffmanWindow = 8192;
constexpr std::size_t kLongestMatch = 258;
constexpr unsigned kLongestLzssMatch = 273;

// Where the bit reader and the byte reader run past the input they read this instead.
constexpr std::uint8_t kFiller = 0;

inline std::uint64_t loadBigEndian64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::little) {
        v = __builtin_bswap64(v);
    }
    return v;
}

// Produces `length` bytes at out[o], each a copy of the byte `distance` back (which may be one
// this same copy has just written). Bytes before the stream's start read as zero; nothing is
// written at or beyond `limit`.
inline void copyMatch(std::uint8_t* out, std::size_t& o, std::size_t limit, std::size_t distance,
                      std::size_t length)
{
    if (distance <= o && length + 16 <= limit - o) {
        // Room to spare: whole chunks may run past the match into bytes not produced yet.
        std::uint8_t* d = out + o;
        const std::uint8_t* s = d - distance;
        if (distance >= 16) {
            for (std::size_t i = 0; i < length; i += 16) {
                std::memcpy(d + i, s + i, 16);
            }
        } else if (distance == 1) {
            std::memset(d, *s, length);
        } else if (distance >= 8) {
            for (std::size_t i = 0; i < length; i += 8) {
                std::memcpy(d + i, s + i, 8);
            }
        } else {
            for (std::size_t i = 0; i < length; ++i) {
                d[i] = s[i];
            }
        }
        o += length;
        return;
    }
    const std::size_t end = o + std::min(length, limit - o);
    for (; o < end; ++o) {
        out[o] = o >= distance ? out[o - distance] : 0;
    }
}

}  // namespace

std::size_t unpack(std::uint8_t* dest, std::size_t destSize, const std::uint8_t* src,
                   std::size_t srcSize)
{
    // The decoder's tables live on the stack for one stream: nothing is shared between
    // callers and nothing is allocated.
    Unpacker decoder{};
    return decoder.run(dest, destSize, src, srcSize);
}

std::optional<std::uint32_t> packedOutputSize(const std::uint8_t* src, std::size_t srcSize)
{
    if (src == nullptr || srcSize < 5 || src[0] < 1 || src[0] > 3) {
        return std::nullopt;
    }
    return readLe32(src + 1);
}

std::size_t Unpacker::run(std::uint8_t* dest, std::size_t destSize, const std::uint8_t* src,
                          std::size_t srcSize)
{
    if (src == nullptr || srcSize == 0 || dest == nullptr) {
        return 0;
    }
    const std::uint8_t method = src[0];
    if (method < 1 || method > 3) {
        const std::size_t n = std::min(srcSize, destSize);
        std::memcpy(dest, src, n);
        return n;
    }
    // A header cut short takes filler bytes for its missing size bytes.
    std::uint8_t header[4] = {kFiller, kFiller, kFiller, kFiller};
    std::memcpy(header, src + 1, std::min<std::size_t>(srcSize - 1, 4));
    const std::size_t outputSize = readLe32(header);
    const std::size_t limit = std::min(outputSize, destSize);

    in_ = src + std::min<std::size_t>(srcSize, 5);
    inEnd_ = src + srcSize;
    return method == 2 ? decodeLzss(dest, limit) : decodeHuffman(dest, limit);
}

std::size_t Unpacker::decodeLzss(std::uint8_t* out, std::size_t limit)
{
    auto next = [this]() -> std::uint8_t { return in_ < inEnd_ ? *in_++ : kFiller; };
    // A match names an absolute window position; the byte there is the one produced
    // `distance` bytes back, where a position equal to the write position means a whole
    // window back.
    auto distanceOf = [](std::size_t o, unsigned lo, unsigned hi) {
        const std::size_t position = lo | (hi >> 4) << 8;
        return ((o - position - 1) & (kLzssWindow - 1)) + 1;
    };

    std::size_t o = 0;
    while (o < limit) {
        // A group of eight items takes at most 25 input bytes; with that much input left and
        // room for eight longest matches, no item needs a bounds check.
        if (inEnd_ - in_ >= 25 && limit - o >= 8 * kLongestLzssMatch + 16) {
            unsigned flags = *in_++;
            if (flags == 0) {
                std::memcpy(out + o, in_, 8);
                in_ += 8;
                o += 8;
                continue;
            }
            for (int item = 0; item < 8; ++item, flags >>= 1) {
                if ((flags & 1) == 0) {
                    out[o++] = *in_++;
                    continue;
                }
                const unsigned lo = in_[0];
                const unsigned hi = in_[1];
                in_ += 2;
                std::size_t length = (hi & 15) + 3;
                if (length == 18) {
                    length += *in_++;
                }
                copyMatch(out, o, limit, distanceOf(o, lo, hi), length);
            }
            continue;
        }
        // The flag byte is read only when an item follows it.
        unsigned flags = next();
        for (int item = 0; item < 8 && o < limit; ++item, flags >>= 1) {
            if ((flags & 1) == 0) {
                out[o++] = next();
                continue;
            }
            const unsigned lo = next();
            const unsigned hi = next();
            std::size_t length = (hi & 15) + 3;
            if (length == 18) {
                length += next();
            }
            copyMatch(out, o, limit, distanceOf(o, lo, hi), length);
        }
    }
    return o;
}

inline void Unpacker::refill()
{
    if (inEnd_ - in_ >= 8) {
        // Bits below bitCount_ already hold these same input bits or zeros, so OR-ing the
        // whole word in is exact; only whole bytes count as taken.
        bits_ |= loadBigEndian64(in_) >> bitCount_;
        in_ += (63 - bitCount_) >> 3;
        bitCount_ |= 56;
        return;
    }
    while (bitCount_ < 56) {
        const std::uint64_t byte = in_ < inEnd_ ? *in_++ : kFiller;
        bits_ |= byte << (56 - bitCount_);
        bitCount_ += 8;
    }
}

inline std::uint32_t Unpacker::peekBits(unsigned n) const
{
    return static_cast<std::uint32_t>((bits_ >> 1) >> (63 - n));
}

inline void Unpacker::dropBits(unsigned n)
{
    bits_ <<= n;
    bitCount_ -= n;
}

inline std::uint32_t Unpacker::getBits(unsigned n)
{
    const std::uint32_t v = peekBits(n);
    dropBits(n);
    return v;
}

template <unsigned TableBits, unsigned Symbols>
void Unpacker::setSingle(Code<TableBits, Symbols>& code, unsigned symbol)
{
    std::fill(std::begin(code.table), std::end(code.table), static_cast<Entry>(symbol));
}

template <unsigned TableBits, unsigned Symbols>
bool Unpacker::build(Code<TableBits, Symbols>& code, const std::uint8_t* lengths)
{
    // Canonical codes: each length's codes are consecutive, in symbol order, shorter lengths
    // first. `next` holds each length's next code, left-aligned in 16 bits.
    std::uint32_t count[kLongestCode + 1] = {};
    for (unsigned s = 0; s < Symbols; ++s) {
        if (lengths[s] > kLongestCode) {
            return false;
        }
        ++count[lengths[s]];
    }
    std::uint32_t next[kLongestCode + 1] = {};
    std::uint32_t total = 0;
    for (unsigned len = 1; len <= kLongestCode; ++len) {
        next[len] = total;
        total += count[len] << (kLongestCode - len);
    }
    if (total != 1u << kLongestCode) {
        return false;  // not a complete code: the previous table stays
    }

    // Stale node entries of the previous table must not be taken for this one's.
    std::fill(std::begin(code.table), std::end(code.table), Entry{0});
    unsigned nodes = 0;
    for (unsigned s = 0; s < Symbols; ++s) {
        const unsigned len = lengths[s];
        if (len == 0) {
            continue;
        }
        const std::uint32_t start = next[len];
        next[len] += 1u << (kLongestCode - len);
        const Entry leaf = static_cast<Entry>(s | len << kLengthShift);
        const std::uint32_t index = start >> (kLongestCode - TableBits);
        if (len <= TableBits) {
            std::fill_n(code.table + index, std::size_t{1} << (TableBits - len), leaf);
            continue;
        }
        Entry* slot = &code.table[index];
        for (unsigned bit = TableBits; bit < len; ++bit) {
            if ((*slot & kNode) == 0) {
                if (nodes == 2 * Symbols) {
                    return false;  // cannot happen for a complete code; never overrun
                }
                code.left[nodes] = 0;
                code.right[nodes] = 0;
                *slot = static_cast<Entry>(kNode | nodes++);
            }
            const unsigned node = *slot & ~kNode;
            slot = (start >> (kLongestCode - 1 - bit)) & 1 ? &code.right[node] : &code.left[node];
        }
        *slot = leaf;
    }
    return true;
}

template <unsigned TableBits, unsigned Symbols>
inline Unpacker::Entry Unpacker::walk(const Code<TableBits, Symbols>& code, Entry e,
                                      std::uint64_t bits)
{
    unsigned depth = TableBits;
    do {
        const unsigned node = e & ~kNode;
        e = (bits << depth) >> 63 ? code.right[node] : code.left[node];
        ++depth;
    } while ((e & kNode) && depth < kLongestCode);
    // A tree deeper than the longest code is never built; stay bounded anyway.
    return (e & kNode) ? Entry{0} : e;
}

template <unsigned TableBits, unsigned Symbols>
inline unsigned Unpacker::decode(const Code<TableBits, Symbols>& code)
{
    Entry e = code.table[bits_ >> (64 - TableBits)];
    if (e & kNode) {
        e = walk(code, e, bits_);
    }
    dropBits(e >> kLengthShift);
    return e & kSymbolMask;
}

void Unpacker::readSmallLengths(unsigned symbols, unsigned countBits, unsigned special,
                                std::uint8_t* lengths)
{
    const unsigned k = getBits(countBits);
    for (unsigned i = 0; i < k;) {
        refill();
        unsigned c = peekBits(3);
        if (c == 7) {
            // A run of 1 bits lengthens the code; it is counted within the 16 bits the
            // reader looks at, so a run that fills them ends there.
            c += std::min(std::countl_one(bits_ << 3), 13);
            dropBits(c - 3);
        } else {
            dropBits(3);
        }
        if (i < symbols) {
            lengths[i] = static_cast<std::uint8_t>(c);
        }
        ++i;
        if (i == special) {
            i += getBits(2);
        }
    }
}

template <unsigned TableBits, unsigned Symbols>
void Unpacker::readSmallCode(Code<TableBits, Symbols>& code, unsigned symbols, unsigned countBits,
                             unsigned special)
{
    refill();
    if (peekBits(countBits) == 0) {
        dropBits(countBits);
        setSingle(code, getBits(countBits));
        return;
    }
    std::uint8_t lengths[Symbols] = {};
    // Counts above the alphabet are read through; their extra lengths are dropped.
    readSmallLengths(symbols, countBits, special, lengths);
    build(code, lengths);
}

void Unpacker::readLiteralCode()
{
    refill();
    const unsigned k = getBits(9);
    if (k == 0) {
        setSingle(literal_, getBits(9));
        return;
    }
    std::uint8_t lengths[kLiteralSymbols] = {};
    for (unsigned i = 0; i < k;) {
        refill();
        const unsigned c = decode(lengthCode_);
        if (c == 0) {
            ++i;
        } else if (c == 1) {
            i += getBits(4) + 3;
        } else if (c == 2) {
            i += getBits(9) + 20;
        } else {
            // Lengths above the longest code (from a damaged single-symbol code) make the
            // set invalid, so build() keeps the previous table.
            lengths[i++] = static_cast<std::uint8_t>(c - 2);
        }
    }
    build(literal_, lengths);
}

void Unpacker::readBlockHeader()
{
    refill();
    // A count of 0 wraps on the first symbol: 65536 symbols.
    blockLeft_ = getBits(16);
    if (blockLeft_ == 0) {
        blockLeft_ = 0x10000;
    }
    readSmallCode(lengthCode_, 19, 5, 3);
    readLiteralCode();
    readSmallCode(distance_, 14, 4, 0);
}

std::size_t Unpacker::decodeHuffmanRun(std::uint8_t* out, std::size_t o, std::size_t limit)
{
    // The bit reader lives in locals here: stores to the output may alias any member, which
    // would otherwise send the reader's state through memory on every symbol.
    std::uint64_t bits = bits_;
    unsigned count = bitCount_;
    const std::uint8_t* in = in_;
    const std::uint8_t* const end = inEnd_;
    std::uint32_t left = blockLeft_;
    while (left != 0 && limit - o >= kLongestMatch + 16 && end - in >= 8) {
        --left;
        bits |= loadBigEndian64(in) >> count;
        in += (63 - count) >> 3;
        count |= 56;

        Entry e = literal_.table[bits >> (64 - kLiteralTableBits)];
        if (e & kNode) {
            e = walk(literal_, e, bits);
        }
        unsigned used = e >> kLengthShift;
        bits <<= used;
        count -= used;
        const unsigned c = e & kSymbolMask;
        if (c < 256) {
            out[o++] = static_cast<std::uint8_t>(c);
            continue;
        }
        e = distance_.table[bits >> (64 - kSmallTableBits)];
        if (e & kNode) {
            e = walk(distance_, e, bits);
        }
        used = e >> kLengthShift;
        bits <<= used;
        count -= used;
        const unsigned j = e & kSymbolMask;
        std::uint32_t d = 0;
        if (j != 0) {
            d = (1u << (j - 1)) + static_cast<std::uint32_t>((bits >> 1) >> (64 - j));
            bits <<= j - 1;
            count -= j - 1;
        }
        copyMatch(out, o, limit, (d & (kHuffmanWindow - 1)) + 1, c - 253);
    }
    bits_ = bits;
    bitCount_ = count;
    in_ = in;
    blockLeft_ = left;
    return o;
}

std::size_t Unpacker::decodeHuffman(std::uint8_t* out, std::size_t limit)
{
    bits_ = 0;
    bitCount_ = 0;
    blockLeft_ = 0;
    // A damaged first block keeps the tables it finds: every code word gives symbol 0.
    setSingle(literal_, 0);
    setSingle(lengthCode_, 0);
    setSingle(distance_, 0);

    std::size_t o = 0;
    while (o < limit) {
        if (blockLeft_ == 0) {
            readBlockHeader();
        }
        o = decodeHuffmanRun(out, o, limit);
        if (blockLeft_ == 0 || o == limit) {
            continue;
        }
        // Near the end of the input or of the output: one symbol with every check.
        --blockLeft_;
        // 56 bits cover the longest symbol: 16 + 16 for the codes, 14 extra distance bits.
        refill();
        const unsigned c = decode(literal_);
        if (c < 256) {
            out[o++] = static_cast<std::uint8_t>(c);
            continue;
        }
        const unsigned j = decode(distance_);
        const std::uint32_t d = j == 0 ? 0 : (1u << (j - 1)) + getBits(j - 1);
        copyMatch(out, o, limit, (d & (kHuffmanWindow - 1)) + 1, c - 253);
    }
    return o;
}

}  // namespace wordlark::archive
