#include "archive/Unpacker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "archive/Endian.h"
#include "heaptool/LzhMember.h"
#include "heaptool/Packer.h"

namespace wordlark::archive {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kGuard = 0xEE;
constexpr std::size_t kGuardSize = 64;

Bytes streamHeader(int method, std::uint32_t outputSize)
{
    Bytes b(5);
    b[0] = static_cast<std::uint8_t>(method);
    writeLe32(&b[1], outputSize);
    return b;
}

// Decodes into a buffer of destSize followed by guard bytes, checks that the guard is intact
// and returns what unpack() reported as produced.
Bytes decode(const Bytes& stored, std::size_t destSize)
{
    // The stored bytes get a buffer of their exact size, so any read past them is caught
    // by the address sanitizer.
    const std::unique_ptr<std::uint8_t[]> src(new std::uint8_t[stored.size() + 1]);
    std::copy(stored.begin(), stored.end(), src.get());
    Bytes dest(destSize + kGuardSize, kGuard);
    const std::size_t n = unpack(dest.data(), destSize, src.get(), stored.size());
    EXPECT_LE(n, destSize);
    for (std::size_t i = destSize; i < dest.size(); ++i) {
        EXPECT_EQ(dest[i], kGuard) << "written past the destination at " << i;
    }
    dest.resize(std::min(n, destSize));
    return dest;
}

Bytes text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Writes bit fields most significant bit first, as the Huffman methods read them.
class BitSink {
public:
    void put(unsigned count, std::uint32_t value)
    {
        for (unsigned i = count; i-- > 0;) {
            if (used_ % 8 == 0) {
                bytes_.push_back(0);
            }
            bytes_.back() |= static_cast<std::uint8_t>(((value >> i) & 1) << (7 - used_ % 8));
            ++used_;
        }
    }
    // A block whose codes are all single symbols: no bits per symbol.
    void singleSymbolBlock(std::uint16_t count, unsigned literal, unsigned distanceClass)
    {
        put(16, count);
        put(5, 0);
        put(5, 0);
        put(9, 0);
        put(9, literal);
        put(4, 0);
        put(4, distanceClass);
    }
    Bytes stream(int method, std::uint32_t outputSize) const
    {
        Bytes b = streamHeader(method, outputSize);
        b.insert(b.end(), bytes_.begin(), bytes_.end());
        return b;
    }

private:
    Bytes bytes_;
    unsigned used_ = 0;
};

TEST(Unpacker, BytesThatAreNotAPackedStreamAreCopied)
{
    for (std::uint8_t first : {0, 4, 0x7F, 0xFF}) {
        const Bytes stored = {first, 2, 0, 0, 0, 9, 8};
        EXPECT_EQ(decode(stored, stored.size()), stored);
        EXPECT_EQ(decode(stored, 3), Bytes(stored.begin(), stored.begin() + 3));
        EXPECT_FALSE(packedOutputSize(stored.data(), stored.size()));
    }
    EXPECT_EQ(unpack(nullptr, 0, nullptr, 0), 0u);
    std::uint8_t out[4] = {};
    EXPECT_EQ(unpack(out, sizeof out, nullptr, 10), 0u);

    const Bytes packed = {3, 0x10, 0x20, 0, 0};
    EXPECT_EQ(packedOutputSize(packed.data(), packed.size()), 0x2010u);
    EXPECT_FALSE(packedOutputSize(packed.data(), 4));
}

TEST(Unpacker, LzssLiteralsAndMatchesByRingPosition)
{
    Bytes s = streamHeader(2, 3);
    s.insert(s.end(), {0x00, 0x61, 0x62, 0x63});
    EXPECT_EQ(decode(s, 3), text("abc"));

    // "abcd", then ring position 1 for three bytes: the position is absolute, not a distance.
    s = streamHeader(2, 7);
    s.insert(s.end(), {0x10, 'a', 'b', 'c', 'd', 0x01, 0x00});
    EXPECT_EQ(decode(s, 7), text("abcdbcd"));

    // The byte just produced repeats for the whole match; code 15 takes an extension byte.
    s = streamHeader(2, 1 + 18);
    s.insert(s.end(), {0x02, 'x', 0x00, 0x0F, 0x00});
    EXPECT_EQ(decode(s, 19), Bytes(19, 'x'));
    s = streamHeader(2, 1 + 273);
    s.insert(s.end(), {0x02, 'x', 0x00, 0x0F, 0xFF});
    EXPECT_EQ(decode(s, 274), Bytes(274, 'x'));

    // Position 0x4AB in the high nibble, after the ring has gone round once: the write
    // position 0 itself names the byte produced 4096 bytes earlier.
    Bytes expected;
    s = streamHeader(2, 4096 + 3 + 3);
    for (int group = 0; group < 512; ++group) {
        s.push_back(0x00);
        for (int i = 0; i < 8; ++i) {
            const auto b = static_cast<std::uint8_t>((group * 8 + i) * 7 / 3);
            s.push_back(b);
            expected.push_back(b);
        }
    }
    s.insert(s.end(), {0x03, 0x00, 0x00, 0xAB, 0x40});
    for (std::size_t i : {0, 1, 2}) {
        expected.push_back(expected[i]);
    }
    for (std::size_t i : {0x4AB, 0x4AC, 0x4AD}) {
        expected.push_back(expected[i]);
    }
    EXPECT_EQ(decode(s, expected.size()), expected);
}

TEST(Unpacker, OutputStopsAtTheSmallerOfStreamSizeAndDestination)
{
    Bytes s = streamHeader(2, 274);
    s.insert(s.end(), {0x02, 'y', 0x00, 0x0F, 0xFF});
    EXPECT_EQ(decode(s, 10), Bytes(10, 'y'));
    EXPECT_EQ(decode(s, 0), Bytes());

    // The stream announces fewer bytes than the destination holds: the rest is left alone.
    writeLe32(&s[1], 5);
    Bytes dest(20, kGuard);
    EXPECT_EQ(unpack(dest.data(), dest.size(), s.data(), s.size()), 5u);
    EXPECT_EQ(Bytes(dest.begin(), dest.begin() + 5), Bytes(5, 'y'));
    EXPECT_EQ(dest[5], kGuard);

    // A last match running past the output size is cut, for Huffman streams too.
    BitSink bits;
    bits.singleSymbolBlock(1, 'q', 0);
    bits.singleSymbolBlock(1, 511, 0);  // length 258 at distance 1
    EXPECT_EQ(decode(bits.stream(1, 100), 1000), Bytes(100, 'q'));
    EXPECT_EQ(decode(bits.stream(3, 100), 7), Bytes(7, 'q'));
}

TEST(Unpacker, SingleSymbolBlocksTakeNoBitsPerSymbol)
{
    BitSink bits;
    bits.singleSymbolBlock(5, 'A', 0);
    bits.singleSymbolBlock(2, 'B', 0);
    bits.singleSymbolBlock(1, 'C', 0);
    bits.singleSymbolBlock(2, 257, 0);  // length 4 at distance 1, twice
    for (int method : {1, 3}) {
        EXPECT_EQ(decode(bits.stream(method, 16), 16), text("AAAAABBCCCCCCCCC"));
    }
}

TEST(Unpacker, ACodeThatDoesNotFillTheCodeSpaceKeepsThePreviousTable)
{
    // Block 2 sends its literal lengths through a single-symbol code-length code: every
    // length comes out as (symbol - 2) without bits.
    auto stream = [](unsigned lengthSymbol, unsigned count) {
        BitSink bits;
        bits.singleSymbolBlock(1, 'A', 0);
        bits.put(16, 3);
        bits.put(5, 0);
        bits.put(5, lengthSymbol);
        bits.put(9, count);
        bits.put(4, 0);
        bits.put(4, 0);
        bits.put(3, 0b101);  // three symbols if the code is built
        return bits.stream(1, 4);
    };
    // Two lengths of 1 make a complete code: 0 -> byte 0, 1 -> byte 1.
    EXPECT_EQ(decode(stream(3, 2), 4), Bytes({'A', 1, 0, 1}));
    // One length of 1 leaves half the code space empty; 29 is beyond the longest code.
    EXPECT_EQ(decode(stream(3, 1), 4), text("AAAA"));
    EXPECT_EQ(decode(stream(31, 2), 4), text("AAAA"));
}

TEST(Unpacker, PositionsNotWrittenInThisStreamReadAsZero)
{
    // Fill the window with something an earlier stream could leak.
    const Bytes filler(20000, 'Z');
    const Bytes packedFiller = heaptool::packStream(1, filler);
    ASSERT_EQ(decode(packedFiller, filler.size()), filler);

    Bytes lzss = streamHeader(2, 4);
    lzss.insert(lzss.end(), {0x02, 'k', 0x64, 0x00});  // position 100, not yet written
    EXPECT_EQ(decode(lzss, 4), Bytes({'k', 0, 0, 0}));

    BitSink bits;
    bits.singleSymbolBlock(1, 'k', 0);
    bits.singleSymbolBlock(1, 258, 5);  // length 5 from 17 + extra back
    bits.put(4, 0);
    EXPECT_EQ(decode(bits.stream(3, 6), 6), Bytes({'k', 0, 0, 0, 0, 0}));
}

TEST(Unpacker, GenuineLh5MembersDecodeAsMethodsOneAndThree)
{
    for (const char* name : {"text.txt", "table.bin", "runs.bin"}) {
        const std::string base = std::string(WORDLARK_TEST_DATA) + "/lh5/" + name;
        const Bytes original = readFile(base);
        const Bytes lzh = readFile(base.substr(0, base.rfind('.')) + ".lzh");
        std::string error;
        const auto member = heaptool::LzhMember::readFirst(lzh, &error);
        ASSERT_TRUE(member) << name << ": " << error;
        ASSERT_EQ(member->method, "-lh5-");
        ASSERT_EQ(member->originalSize, original.size());
        for (int method : {1, 3}) {
            // The member's bytes end exactly where the stored bytes end, so the last
            // symbols are decoded with the reader looking at filler.
            Bytes stored = streamHeader(method, member->originalSize);
            stored.insert(stored.end(), lzh.begin() + member->dataOffset,
                          lzh.begin() + member->dataOffset + member->dataSize);
            EXPECT_EQ(decode(stored, original.size()), original) << name << " method " << method;
        }
    }
}

TEST(Unpacker, DamagedStreamsStayInsideTheirBuffersAndEnd)
{
    std::mt19937 rng(20240607);
    std::uniform_int_distribution<int> byte(0, 255);

    // Short headers read filler for the missing bytes.
    EXPECT_EQ(decode(Bytes{2}, 100), Bytes());
    EXPECT_EQ(decode(Bytes{2, 5}, 100), Bytes(5, 0));
    EXPECT_EQ(decode(Bytes{1, 3}, 100).size(), 3u);

    // An enormous announced size ends at the destination.
    Bytes huge = {1, 0xFF, 0xFF, 0xFF, 0xFF, 0x12, 0x34};
    EXPECT_EQ(decode(huge, 5000).size(), 5000u);
    huge[0] = 2;
    EXPECT_EQ(decode(huge, 5000).size(), 5000u);

    // Random coded data of every method.
    for (int round = 0; round < 600; ++round) {
        Bytes s = streamHeader(1 + round % 3, static_cast<std::uint32_t>(rng() % 70000));
        const std::size_t length = rng() % 400;
        for (std::size_t i = 0; i < length; ++i) {
            s.push_back(static_cast<std::uint8_t>(byte(rng)));
        }
        const std::size_t destSize = rng() % 70000;
        EXPECT_EQ(decode(s, destSize).size(), std::min<std::size_t>(destSize, readLe32(&s[1])));
    }

    // Valid streams cut short, and with bytes flipped.
    Bytes sample;
    for (int i = 0; i < 30000; ++i) {
        sample.push_back(static_cast<std::uint8_t>(i % 251 < 120 ? 'a' + i % 7 : byte(rng)));
    }
    for (int method : {1, 2}) {
        const Bytes packed = heaptool::packStream(method, sample);
        for (std::size_t cut = 5; cut < packed.size(); cut += 1 + packed.size() / 97) {
            const Bytes shortened(packed.begin(), packed.begin() + cut);
            EXPECT_EQ(decode(shortened, sample.size()).size(), sample.size());
        }
        for (int flip = 0; flip < 60; ++flip) {
            Bytes damaged = packed;
            damaged[5 + rng() % (damaged.size() - 5)] ^= static_cast<std::uint8_t>(1 << (flip % 8));
            EXPECT_EQ(decode(damaged, sample.size()).size(), sample.size());
        }
    }
}

TEST(Unpacker, AStreamDecodesTheSameWhateverCameBefore)
{
    std::mt19937 rng(77);
    Bytes garbage = streamHeader(1, 30000);
    for (int i = 0; i < 3000; ++i) {
        garbage.push_back(static_cast<std::uint8_t>(rng()));
    }
    const Bytes first = decode(garbage, 30000);
    const Bytes before = heaptool::packStream(3, Bytes(50000, 0xA5));
    decode(before, 50000);
    EXPECT_EQ(decode(garbage, 30000), first);
    garbage[0] = 2;
    const Bytes lzss = decode(garbage, 30000);
    decode(before, 50000);
    EXPECT_EQ(decode(garbage, 30000), lzss);
}

}  // namespace
}  // namespace wordlark::archive
