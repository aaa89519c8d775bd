// Unpacker.h -- decoding of packed streams: raw copy, LZSS (method 2), static Huffman LZ77 (1, 3).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace wordlark::archive {

// Decodes the stored bytes src[0..srcSize) into dest[0..destSize) and returns the number of
// bytes produced. A first byte of 1, 2 or 3 starts a packed stream (method byte, 32-bit
// little-endian output size, coded data); any other first byte means the stored bytes are
// the data themselves and are copied. Whatever the stored bytes hold, nothing is read or
// written outside the two buffers and decoding always ends. No allocation.
std::size_t unpack(std::uint8_t* dest, std::size_t destSize, const std::uint8_t* src,
                   std::size_t srcSize);

// The output size a packed stream announces in its header; none when the bytes are not a
// packed stream (first byte not 1..3, or fewer than five bytes).
std::optional<std::uint32_t> packedOutputSize(const std::uint8_t* src, std::size_t srcSize);

// The decoder state behind unpack(): bit reader and code tables, about 14 KiB, made on the
// stack for each stream so that unpack() never allocates and holds nothing between calls.
//
// The destination doubles as the window. It holds every byte produced so far, so the byte a
// window position names is the output byte `distance` back, and a position the stream has
// not written yet reads as zero, as it would from a window cleared at the stream's start.
// Nothing of an earlier stream can reach a later one.
class Unpacker {
public:
    // Runs one packed stream (first byte 1..3) or the raw copy; the result is what unpack()
    // returns.
    std::size_t run(std::uint8_t* dest, std::size_t destSize, const std::uint8_t* src,
                    std::size_t srcSize);

private:
    // A code table entry: a leaf (symbol, code length) or, with kNode set, a tree node index.
    using Entry = std::uint16_t;
    static constexpr Entry kNode = 0x8000;
    static constexpr unsigned kLengthShift = 10;
    static constexpr Entry kSymbolMask = 0x3FF;

    static constexpr unsigned kLiteralSymbols = 512;
    static constexpr unsigned kLiteralTableBits = 12;
    static constexpr unsigned kSmallTableBits = 8;
    static constexpr unsigned kLongestCode = 16;

    // One prefix code: a lookup on the top tableBits bits, then a binary tree for longer codes.
    template <unsigned TableBits, unsigned Symbols>
    struct Code {
        Entry table[1u << TableBits];
        Entry left[2 * Symbols];
        Entry right[2 * Symbols];
    };

    std::size_t decodeLzss(std::uint8_t* out, std::size_t limit);
    std::size_t decodeHuffman(std::uint8_t* out, std::size_t limit);
    // Symbols of the current block while input and output have room to spare; returns the
    // new output position.
    std::size_t decodeHuffmanRun(std::uint8_t* out, std::size_t o, std::size_t limit);

    void refill();
    std::uint32_t peekBits(unsigned n) const;
    void dropBits(unsigned n);
    std::uint32_t getBits(unsigned n);

    void readBlockHeader();
    void readSmallLengths(unsigned symbols, unsigned countBits, unsigned special,
                          std::uint8_t* lengths);
    template <unsigned TableBits, unsigned Symbols>
    void readSmallCode(Code<TableBits, Symbols>& code, unsigned symbols, unsigned countBits,
                       unsigned special);
    void readLiteralCode();

    template <unsigned TableBits, unsigned Symbols>
    static void setSingle(Code<TableBits, Symbols>& code, unsigned symbol);
    template <unsigned TableBits, unsigned Symbols>
    static bool build(Code<TableBits, Symbols>& code, const std::uint8_t* lengths);
    template <unsigned TableBits, unsigned Symbols>
    unsigned decode(const Code<TableBits, Symbols>& code);
    // Follows the tree below a table entry for a code longer than the table's width.
    template <unsigned TableBits, unsigned Symbols>
    static Entry walk(const Code<TableBits, Symbols>& code, Entry e, std::uint64_t bits);

    const std::uint8_t* in_ = nullptr;
    const std::uint8_t* inEnd_ = nullptr;
    std::uint64_t bits_ = 0;  // next input bits, most significant first
    unsigned bitCount_ = 0;   // valid bits at the top of bits_
    std::uint32_t blockLeft_ = 0;

    Code<kLiteralTableBits, kLiteralSymbols> literal_;
    Code<kSmallTableBits, 32> lengthCode_;
    Code<kSmallTableBits, 16> distance_;
};

}  // namespace wordlark::archive
