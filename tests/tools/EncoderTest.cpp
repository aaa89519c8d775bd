#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "archive/Endian.h"
#include "archive/Unpacker.h"
#include "heaptool/Lh5Encoder.h"
#include "heaptool/LzhMember.h"
#include "heaptool/Packer.h"
#include "support/TempDir.h"

namespace wordlark::heaptool {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes englishLike(std::size_t size, std::uint32_t seed)
{
    static const char* const kWords[] = {
        "the",    "quick",   "brown",   "fox",    "jumps",  "over",    "lazy",   "dog",
        "letter", "word",    "game",    "player", "score",  "round",   "tile",   "board",
        "and",    "of",      "to",      "in",     "is",     "that",    "with",   "for",
        "lark",   "evening", "whisper", "garden", "window", "morning", "silver", "river"};
    std::mt19937 rng(seed);
    Bytes out;
    while (out.size() < size) {
        const std::string w = kWords[rng() % 32];
        out.insert(out.end(), w.begin(), w.end());
        out.push_back(rng() % 9 == 0 ? '\n' : ' ');
    }
    out.resize(size);
    return out;
}

Bytes randomBytes(std::size_t size, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes out(size);
    for (auto& b : out) {
        b = static_cast<std::uint8_t>(rng());
    }
    return out;
}

// Little-endian records with small fields, like the game's tables and pictures.
Bytes records(std::size_t size, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes out;
    for (std::uint32_t i = 0; out.size() < size; ++i) {
        const std::uint32_t v = rng() % 700;
        for (std::uint8_t b : {std::uint8_t(i), std::uint8_t(i >> 8), std::uint8_t(v),
                               std::uint8_t(v >> 8), std::uint8_t(rng() % 4), std::uint8_t(0)}) {
            out.push_back(b);
        }
    }
    out.resize(size);
    return out;
}

Bytes runs(std::size_t size, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes out;
    while (out.size() < size) {
        out.insert(out.end(), 1 + rng() % 900, static_cast<std::uint8_t>(rng()));
    }
    out.resize(size);
    return out;
}

Bytes periodic(std::size_t size, std::size_t period, std::uint32_t seed)
{
    const Bytes block = randomBytes(period, seed);
    Bytes out(size);
    for (std::size_t i = 0; i < size; ++i) {
        out[i] = block[i % period];
    }
    return out;
}

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

Bytes unpackAll(const Bytes& stream, std::size_t size)
{
    Bytes out(size);
    out.resize(archive::unpack(out.data(), out.size(), stream.data(), stream.size()));
    return out;
}

void expectRoundTrip(int method, const Bytes& data, const std::string& what)
{
    const Bytes stream = packStream(method, data);
    ASSERT_GE(stream.size(), 5u) << what;
    EXPECT_EQ(stream[0], method) << what;
    EXPECT_EQ(archive::readLe32(&stream[1]), data.size()) << what;
    EXPECT_TRUE(unpackAll(stream, data.size()) == data) << what << ", method " << method;
}

TEST(Encoder, EveryMethodRoundTripsVariedInputs)
{
    const std::vector<std::pair<std::string, Bytes>> inputs = {
        {"empty", {}},
        {"one byte", {0x42}},
        {"two bytes", {1, 2}},
        {"text", englishLike(120000, 1)},
        {"records", records(70000, 2)},
        {"runs", runs(200000, 3)},
        {"random", randomBytes(50000, 4)},
        {"zeros", Bytes(300000, 0)},
        {"period 4096", periodic(40000, 4096, 5)},
        {"period 8192", periodic(50000, 8192, 6)},
        {"period 3", periodic(10000, 3, 7)},
        {"mixed", concat({englishLike(30000, 8), randomBytes(9000, 9), runs(40000, 10),
                          records(20000, 11), Bytes(600, 'z'), englishLike(5000, 12)})},
    };
    for (int method : {1, 2, 3}) {
        for (const auto& [name, data] : inputs) {
            expectRoundTrip(method, data, name);
        }
    }
    EXPECT_TRUE(packStream(0, inputs[3].second).empty());
    EXPECT_TRUE(packStream(4, inputs[3].second).empty());
}

TEST(Encoder, CompressesAndReachesAcrossTheWholeWindow)
{
    const Bytes prose = englishLike(200000, 21);
    EXPECT_LT(packStream(1, prose).size(), prose.size() / 2);
    EXPECT_LT(packStream(2, prose).size(), prose.size() * 3 / 5);

    // Random blocks repeating at exactly the window size compress only through matches that
    // reach a whole window back.
    const Bytes ring4096 = periodic(100000, 4096, 22);
    EXPECT_LT(packStream(2, ring4096).size(), ring4096.size() / 10);
    const Bytes ring8192 = periodic(100000, 8192, 23);
    EXPECT_LT(packStream(1, ring8192).size(), ring8192.size() / 5);

    // Random bytes barely grow.
    const Bytes noise = randomBytes(100000, 24);
    EXPECT_LT(packStream(1, noise).size(), noise.size() + noise.size() / 50);
    EXPECT_LT(packStream(2, noise).size(), noise.size() + noise.size() / 7);
}

TEST(Encoder, LargeInputsSpanManyBlocks)
{
    const Bytes big = concat({englishLike(1200000, 31), records(600000, 32), runs(600000, 33),
                              randomBytes(300000, 34), englishLike(400000, 35)});
    const Bytes stream = packStream(1, big);
    EXPECT_TRUE(unpackAll(stream, big.size()) == big);
    // The first block holds 16384 symbols: far fewer than three megabytes need.
    EXPECT_EQ(stream[5] << 8 | stream[6], 16384);
    EXPECT_LT(stream.size(), big.size() * 6 / 10);
    expectRoundTrip(2, big, "big");

    Lh5Encoder::Options small;
    small.blockSymbols = 1000;
    const Bytes coded = Lh5Encoder::encode(big, small);
    EXPECT_EQ(coded[0] << 8 | coded[1], 1000);
    Bytes smallBlocks(5, 1);
    archive::writeLe32(&smallBlocks[1], static_cast<std::uint32_t>(big.size()));
    smallBlocks.insert(smallBlocks.end(), coded.begin(), coded.end());
    EXPECT_TRUE(unpackAll(smallBlocks, big.size()) == big);
}

TEST(Encoder, LhaCompatibleOutputIsAGenuineLh5Member)
{
    const Bytes data = concat({englishLike(150000, 41), Bytes(5000, 'r'), randomBytes(20000, 42),
                               runs(100000, 43), records(60000, 44), periodic(40000, 8192, 45)});
    Lh5Encoder::Options options;
    options.lhaCompatible = true;
    const Bytes payload = Lh5Encoder::encode(data, options);

    Bytes stream(5, 1);
    archive::writeLe32(&stream[1], static_cast<std::uint32_t>(data.size()));
    stream.insert(stream.end(), payload.begin(), payload.end());
    ASSERT_TRUE(unpackAll(stream, data.size()) == data);

    const Bytes lzh = LzhMember::makeArchive("data.bin", "-lh5-", payload, data);
    std::string error;
    const auto member = LzhMember::readFirst(lzh, &error);
    ASSERT_TRUE(member) << error;
    EXPECT_EQ(member->headerLevel, 0);
    EXPECT_EQ(member->originalSize, data.size());
    EXPECT_EQ(member->dataSize, payload.size());
    EXPECT_FALSE(LzhMember::readFirst(Bytes(lzh.begin(), lzh.begin() + 30), &error));
    EXPECT_FALSE(error.empty());

    std::FILE* probe = ::popen("command -v lhasa", "r");
    char path[512] = {};
    const bool haveLhasa = probe && std::fgets(path, sizeof path, probe) != nullptr;
    if (probe) {
        ::pclose(probe);
    }
    if (!haveLhasa) {
        GTEST_SKIP() << "lhasa is not installed";
    }
    const test::TempDir dir;
    dir.write("data.lzh", lzh);
    const std::string command = "lhasa pq '" + dir.file("data.lzh") + "'";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    Bytes decoded;
    std::uint8_t buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        decoded.insert(decoded.end(), buffer, buffer + n);
    }
    EXPECT_EQ(::pclose(pipe), 0);
    EXPECT_TRUE(decoded == data) << "lhasa produced " << decoded.size() << " bytes";
}

}  // namespace
}  // namespace wordlark::heaptool
