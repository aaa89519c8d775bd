// Lh5Encoder.h -- methods 1 and 3: LZ77 over an 8192-byte window in static-Huffman blocks.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace wordlark::heaptool {

class Lh5Encoder {
public:
    struct Options {
        // Keeps to what LHA's -lh5- decoders accept: matches of at most 256 bytes, so at most
        // 510 literal/length symbols. The game's decoder reads either form.
        bool lhaCompatible = false;
        // Symbols per block (1 to 65535).
        unsigned blockSymbols = 16384;
        // Candidates the match finder examines per position.
        unsigned maxChain = 128;
    };

    // The coded data (without the stream header): blocks of a 16-bit symbol count, the
    // code-length code, the literal/length code lengths, the distance-class code, then the
    // symbols, all most significant bit first.
    static std::vector<std::uint8_t> encode(std::span<const std::uint8_t> data,
                                            const Options& options);
    static std::vector<std::uint8_t> encode(std::span<const std::uint8_t> data)
    {
        return encode(data, Options{});
    }
};

}  // namespace wordlark::heaptool
