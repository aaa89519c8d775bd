// LzhPayloadTool -- turns the first -lh5- member of an .lzh file into a packed stream that
// unpack() reads: the method byte, the 32-bit little-endian original size, the member's bytes.
//
// Usage: LzhPayloadTool ARCHIVE.lzh OUT [METHOD]   (METHOD 1 or 3, default 1)

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive/Endian.h"
#include "heaptool/LzhMember.h"

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: %s ARCHIVE.lzh OUT [METHOD]\n", argv[0]);
        return 2;
    }
    const int method = argc == 4 ? std::atoi(argv[3]) : 1;
    if (method != 1 && method != 3) {
        std::fprintf(stderr, "%s: method must be 1 or 3\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: cannot open %s\n", argv[0], argv[1]);
        return 1;
    }
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
    std::string error;
    const auto member = wordlark::heaptool::LzhMember::readFirst(file, &error);
    if (!member) {
        std::fprintf(stderr, "%s: %s: %s\n", argv[0], argv[1], error.c_str());
        return 1;
    }
    if (member->method != "-lh5-") {
        std::fprintf(stderr, "%s: %s: first member is %s, not -lh5-\n", argv[0], argv[1],
                     member->method.c_str());
        return 1;
    }
    std::vector<std::uint8_t> stream(5);
    stream[0] = static_cast<std::uint8_t>(method);
    wordlark::archive::writeLe32(&stream[1], member->originalSize);
    const auto data = file.begin() + static_cast<std::ptrdiff_t>(member->dataOffset);
    stream.insert(stream.end(), data, data + static_cast<std::ptrdiff_t>(member->dataSize));

    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(stream.data()),
              static_cast<std::streamsize>(stream.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
