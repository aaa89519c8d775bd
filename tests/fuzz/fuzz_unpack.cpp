// fuzz_unpack -- packed streams of any content: unpack must stay inside its buffers and end.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "archive/Unpacker.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3) {
        return 0;
    }
    // The first two bytes choose the destination size: up to 32 KiB, or in steps of 8 bytes
    // up to 256 KiB (room for several blocks of 65536 symbols) when the top bit is set. The
    // rest is fed as it is, then behind each method byte, so that every decoder sees it.
    std::size_t destSize = (std::size_t{data[0]} | std::size_t{data[1]} << 8) & 0x7FFF;
    if (data[1] & 0x80) {
        destSize <<= 3;
    }
    const std::uint8_t* stored = data + 2;
    const std::size_t storedSize = size - 2;

    const std::unique_ptr<std::uint8_t[]> dest(new std::uint8_t[destSize + 1]);
    std::size_t n = wordlark::archive::unpack(dest.get(), destSize, stored, storedSize);
    if (n > destSize) {
        __builtin_trap();
    }

    // An exact-size copy, so a read one byte past the stored bytes is caught.
    const std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[storedSize]);
    std::memcpy(copy.get(), stored, storedSize);
    for (std::uint8_t first : {std::uint8_t{1}, std::uint8_t{2}, std::uint8_t{0}}) {
        copy[0] = first;
        n = wordlark::archive::unpack(dest.get(), destSize, copy.get(), storedSize);
        if (n > destSize) {
            __builtin_trap();
        }
    }
    return 0;
}
