#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "archive/Archive.h"
#include "archive/Endian.h"
#include "archive/FileHandleCache.h"
#include "heaptool/Manifest.h"
#include "heaptool/PictureBuilder.h"
#include "platform/png/PngImage.h"
#include "support/TempDir.h"

namespace wordlark::heaptool {
namespace {

using archive::readLe16;
using archive::readLe32;
using Bytes = std::vector<std::uint8_t>;

std::int32_t field(const Bytes& content, int index)
{
    return static_cast<std::int32_t>(readLe32(content.data() + 8 + 4 * index));
}

std::uint16_t paletteColour(const std::uint8_t* content, int index)
{
    return readLe16(content + 32 + 2 * index);
}

// The colour a palettised content shows at pixel i.
std::uint16_t shownColour(const std::uint8_t* content, std::size_t i)
{
    return paletteColour(content, content[544 + i]);
}

platform::PngImage solid(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    platform::PngImage image(width, height);
    for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
        image.rgba[i] = r;
        image.rgba[i + 1] = g;
        image.rgba[i + 2] = b;
        image.rgba[i + 3] = 255;
    }
    return image;
}

RgbaView view(const platform::PngImage& image)
{
    return {image.rgba.data(), image.width, image.height};
}

TEST(PictureBuilder, ColourConversionRoundTripsEveryRgb565Value)
{
    for (std::uint32_t colour = 0; colour < 0x10000; ++colour) {
        std::uint8_t r = 0, g = 0, b = 0;
        rgb888(static_cast<std::uint16_t>(colour), &r, &g, &b);
        ASSERT_EQ(rgb565(r, g, b), colour);
    }
    std::uint8_t r = 0, g = 0, b = 0;
    rgb888(0xFFFF, &r, &g, &b);
    EXPECT_EQ(r + g + b, 3 * 255);
}

TEST(PictureBuilder, PalettisedLayoutHeaderPaletteAndRows)
{
    const Bytes content = PictureBuilder::palettised("fon0", {-5, 7, 2, -3}, 3, 2, {0x1234, 0xF800},
                                                     {0, 1, 1, 1, 0, 0});
    ASSERT_EQ(content.size(), 544u + 6u);
    EXPECT_EQ(std::string(content.begin(), content.begin() + 4), "fon0");
    EXPECT_EQ(field(content, 0), -5);
    EXPECT_EQ(field(content, 1), 7);
    EXPECT_EQ(field(content, 2), 2);
    EXPECT_EQ(field(content, 3), -3);
    EXPECT_EQ(field(content, 4), 3);
    EXPECT_EQ(field(content, 5), 2);
    EXPECT_EQ(paletteColour(content.data(), 0), 0x1234);
    EXPECT_EQ(paletteColour(content.data(), 1), 0xF800);
    EXPECT_EQ(paletteColour(content.data(), 255), 0);
    EXPECT_EQ(Bytes(content.begin() + 544, content.end()), (Bytes{0, 1, 1, 1, 0, 0}));

    const Bytes direct = PictureBuilder::direct({1, 2, 3, 4}, 2, 1, {0xABCD, 0x0001});
    ASSERT_EQ(direct.size(), 32u + 4u);
    EXPECT_EQ(std::string(direct.begin(), direct.begin() + 4), "fon6");
    EXPECT_EQ(readLe16(direct.data() + 32), 0xABCD);
    EXPECT_EQ(readLe16(direct.data() + 34), 0x0001);
}

TEST(PictureBuilder, TransparentPixelsGetColourZeroAndVisibleBlackIsNudged)
{
    platform::PngImage image = solid(4, 1, 0, 0, 0);  // opaque black
    image.pixel(1, 0)[3] = 0;                         // transparent, whatever its colour
    image.pixel(1, 0)[0] = 200;
    image.pixel(2, 0)[0] = 255;  // red
    image.pixel(3, 0)[3] = 1;    // barely visible black still counts as visible
    Bytes content;
    std::string error;
    ASSERT_TRUE(PictureBuilder::palettisedFromRgba("gla0", {}, view(image), &content, &error))
        << error;
    EXPECT_EQ(shownColour(content.data(), 1), 0x0000);
    EXPECT_EQ(content[544 + 1], 0) << "the transparent colour takes index 0";
    for (std::size_t i : {0u, 3u}) {
        EXPECT_NE(shownColour(content.data(), i), 0x0000);
        EXPECT_LE(shownColour(content.data(), i), 0x0020) << "black stays near black";
    }
    EXPECT_EQ(shownColour(content.data(), 2), 0xF800);
}

TEST(PictureBuilder, ManyColoursAreQuantisedKeepingTransparency)
{
    // 64 x 64 with 4096 distinct colours and a transparent border.
    platform::PngImage image(64, 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            std::uint8_t* p = image.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(x * 4);
            p[1] = static_cast<std::uint8_t>(y * 4);
            p[2] = static_cast<std::uint8_t>((x + y) * 2);
            p[3] = (x == 0 || y == 0) ? 0 : 255;
        }
    }
    Bytes content;
    std::string error;
    ASSERT_TRUE(PictureBuilder::palettisedFromRgba("gla0", {}, view(image), &content, &error))
        << error;
    ASSERT_EQ(content.size(), 544u + 64u * 64u);
    long totalError = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const std::uint16_t colour = shownColour(content.data(), y * 64 + x);
            if (x == 0 || y == 0) {
                ASSERT_EQ(colour, 0x0000) << x << "," << y;
                continue;
            }
            ASSERT_NE(colour, 0x0000) << "an opaque pixel became transparent at " << x << "," << y;
            std::uint8_t r = 0, g = 0, b = 0;
            rgb888(colour, &r, &g, &b);
            const std::uint8_t* p = image.pixel(x, y);
            totalError += std::abs(r - p[0]) + std::abs(g - p[1]) + std::abs(b - p[2]);
        }
    }
    EXPECT_LT(totalError / (63 * 63), 24) << "mean error over three channels";
}

TEST(PictureBuilder, MaskBitsStrideAndSourceName)
{
    // 10 x 2: row 0 inside at columns 4-9, row 1 inside at column 0 only.
    std::vector<std::uint8_t> shape(20, 0);
    for (int x = 4; x < 10; ++x) {
        shape[x] = 1;
    }
    shape[10] = 1;
    Bytes content =
        PictureBuilder::mask("bitm", {-3, 4, 1, 1}, 10, 2, shape, "a-very-long-source-name");
    ASSERT_EQ(content.size(), 52u + 2u * 2u);
    EXPECT_EQ(std::string(content.begin(), content.begin() + 4), "bitm");
    EXPECT_EQ(field(content, 0), -3);
    EXPECT_EQ(field(content, 4), 10);
    EXPECT_EQ(readLe32(content.data() + 32), 2u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(content.data() + 36)), "a-very-long-sou");
    EXPECT_EQ(content[51], 0);
    EXPECT_EQ(content[52], 0xF0);  // columns 0-3 outside
    EXPECT_EQ(content[53], 0x3F);  // columns 8-9 inside, padding bits outside
    EXPECT_EQ(content[54], 0x7F);
    EXPECT_EQ(content[55], 0xFF);

    content = PictureBuilder::mask("bit6", {}, 10, 2, shape, "src", 4);
    ASSERT_EQ(content.size(), 52u + 2u * 4u);
    EXPECT_EQ(Bytes(content.begin() + 52, content.begin() + 56), (Bytes{0xF0, 0x3F, 0xFF, 0xFF}));

    // A stride too narrow for the width keeps what fits.
    content = PictureBuilder::mask("bitm", {}, 10, 2, shape, "src", 1);
    ASSERT_EQ(content.size(), 52u + 2u);
    EXPECT_EQ(content[52], 0xF0);
    EXPECT_EQ(content[53], 0x7F);
}

TEST(AnimationWriter, FramesArePiecesTheTableFindsInTheArchive)
{
    test::TempDir dir;
    ArchiveWriter writer;
    writer.addEntry("before", "raw0", Bytes(100, 7), Storage::Plain);
    AnimationWriter animation(writer);
    std::vector<Bytes> frames;
    const Storage storages[] = {Storage::Plain, Storage::Method1, Storage::Method2};
    for (int i = 0; i < 3; ++i) {
        frames.push_back(PictureBuilder::palettised("gla0", {i, 2 * i, 0, 0}, 8, 8 + i, {0, 0x07E0},
                                                    Bytes(64 + 8 * i, 1)));
        animation.addFrame(frames.back(), storages[i]);
    }
    animation.finish("button");
    ASSERT_TRUE(writer.error().empty()) << writer.error();
    std::string error;
    ASSERT_TRUE(writer.write(dir.file("a.heap"), "a.heap", &error)) << error;

    archive::FileHandleCache files;
    auto archive = archive::Archive::open(dir.file("a.heap"), files);
    ASSERT_TRUE(archive);
    const archive::DirectoryRecord* record = archive->findEntry("button");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->unpackedSize, 12u + 3u * 12u);
    std::uint32_t tag = 0;
    const std::uint8_t* table = archive->loadEntry("button", &tag);
    ASSERT_TRUE(table);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&tag), 4), "ani0");
    ASSERT_EQ(readLe32(table + 8), 3u);
    for (int i = 0; i < 3; ++i) {
        const std::uint8_t* r = table + 12 + 12 * i;
        ASSERT_EQ(readLe32(r + 4), frames[i].size());
        if (i == 0) {
            EXPECT_EQ(readLe32(r + 8), readLe32(r + 4)) << "a plain frame";
        } else {
            EXPECT_LT(readLe32(r + 8), readLe32(r + 4)) << "a packed frame";
        }
        Bytes data(frames[i].size());
        ASSERT_EQ(archive->readEntry(readLe32(r), data.data(), readLe32(r + 4), readLe32(r + 8)),
                  frames[i].size());
        EXPECT_EQ(data, frames[i]) << "frame " << i;
    }
    archive->unloadEntry("button");
}

// Writes the PNG sources of a small picture set into dir.
void writeSources(const test::TempDir& dir)
{
    platform::PngImage tile = solid(4, 3, 255, 255, 255);
    tile.pixel(0, 0)[3] = 0;
    ASSERT_TRUE(platform::writePng(dir.file("tile.png"), tile));
    ASSERT_TRUE(platform::writePng(dir.file("back.png"), solid(6, 5, 0, 0, 255)));
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(platform::writePng(dir.file("btn" + std::to_string(i) + ".png"),
                                       solid(2 + i, 2, static_cast<std::uint8_t>(80 * i), 0, 0)));
    }
    platform::PngImage shape(3, 2);
    shape.pixel(1, 0)[3] = 255;
    shape.pixel(2, 1)[3] = 200;
    shape.pixel(0, 1)[3] = 100;  // below half: outside
    ASSERT_TRUE(platform::writePng(dir.file("shape.png"), shape));
}

TEST(PictureManifest, BuildsEveryPictureKindFromPngSources)
{
    test::TempDir dir;
    writeSources(dir);
    dir.writeText("manifest.txt",
                  "gla0 tile   gla0 tile.png  x=37 y=161 dx=-21 dy=-42\n"
                  "fon0 panel  fons back.png  store=plain\n"
                  "fon6 back   fon6 back.png  x=1 y=2\n"
                  "ani0 button ani0 btn{n}.png frames=3 x=587 y=167 dx.1=1 dy.1=1 store=2\n"
                  "ani0 pair   ani0 btn2.png,btn0.png\n"
                  "bitm cut    bitm shape.png source=tile x=1 y=1 stride=3\n"
                  "bit6 cut6   bit6 shape.png source=back\n");
    std::string error;
    ASSERT_TRUE(Manifest::buildArchive(dir.file("manifest.txt"), dir.file("t.heap"), &error))
        << error;
    archive::FileHandleCache files;
    auto archive = archive::Archive::open(dir.file("t.heap"), files);
    ASSERT_TRUE(archive);
    std::uint32_t tag = 0;

    const std::uint8_t* tile = archive->loadEntry("tile", &tag);
    ASSERT_TRUE(tile);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(tile), 4), "gla0");
    EXPECT_EQ(static_cast<std::int32_t>(readLe32(tile + 8)), 37);
    EXPECT_EQ(static_cast<std::int32_t>(readLe32(tile + 20)), -42);
    EXPECT_EQ(readLe32(tile + 24), 4u);
    EXPECT_EQ(shownColour(tile, 0), 0x0000);
    EXPECT_EQ(shownColour(tile, 1), 0xFFFF);

    const std::uint8_t* panel = archive->loadEntry("panel", &tag);
    ASSERT_TRUE(panel);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&tag), 4), "fons");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(panel), 4), "fon0");

    const std::uint8_t* back = archive->loadEntry("back", &tag);
    ASSERT_TRUE(back);
    EXPECT_EQ(archive->findEntry("back")->unpackedSize, 32u + 2u * 30u);
    EXPECT_EQ(readLe16(back + 32 + 2 * 29), 0x001F);

    const std::uint8_t* table = archive->loadEntry("button", &tag);
    ASSERT_TRUE(table);
    ASSERT_EQ(readLe32(table + 8), 3u);
    for (std::uint32_t i = 0; i < 3; ++i) {
        const std::uint8_t* r = table + 12 + 12 * i;
        Bytes frame(readLe32(r + 4));
        ASSERT_EQ(archive->readEntry(readLe32(r), frame.data(), readLe32(r + 4), readLe32(r + 8)),
                  frame.size());
        EXPECT_EQ(static_cast<std::int32_t>(readLe32(frame.data() + 8)), 587);
        EXPECT_EQ(static_cast<std::int32_t>(readLe32(frame.data() + 16)), i == 1 ? 1 : 0);
        EXPECT_EQ(readLe32(frame.data() + 24), 2 + i) << "each frame keeps its own size";
    }
    EXPECT_EQ(archive->findEntry("pair")->unpackedSize, 12u + 2u * 12u);

    const std::uint8_t* cut = archive->loadEntry("cut", &tag);
    ASSERT_TRUE(cut);
    EXPECT_EQ(readLe32(cut + 32), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(cut + 36)), "tile");
    EXPECT_EQ(cut[52], 0xBF);  // only column 1 inside
    EXPECT_EQ(cut[55], 0xDF);  // only column 2 inside
    const std::uint8_t* cut6 = archive->loadEntry("cut6", &tag);
    ASSERT_TRUE(cut6);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(cut6), 4), "bit6");
    EXPECT_EQ(readLe32(cut6 + 32), 1u);
}

TEST(PictureManifest, RefusesWrongPictureLinesWithTheirLineNumber)
{
    test::TempDir dir;
    writeSources(dir);
    const std::pair<const char*, const char*> cases[] = {
        {"bitm m bitm shape.png\n", "needs source="},
        {"gla0 t gla0 tile.png\nbitm m bitm shape.png source=nothing\n", "not an entry"},
        {"gla0 t gla0 tile.png\nbit6 m bit6 shape.png source=t\n", "cannot cut from"},
        {"fon6 b fon6 back.png\nbitm m bitm shape.png source=b\n", "cannot cut from"},
        {"gla0 t gla0 tile.png x=ten\n", "needs an integer"},
        {"gla0 t gla0 tile.png frames=2\n", "does not apply"},
        {"gla0 t gla0 tile.png dx.1=2\n", "does not apply"},
        {"ani0 a ani0 btn.png frames=2\n", "{n}"},
        {"ani0 a ani0 btn{n}.png frames=0\n", "frames="},
        {"ani0 a ani0 btn{n}.png frames=4\n", "btn3.png"},
        {"gla0 t gla0 missing.png\n", "missing.png"},
        {"fon0 t fon0 manifest.txt\n", "manifest.txt"},
    };
    for (const auto& [text, reason] : cases) {
        dir.writeText("manifest.txt", std::string("raw w wrds tile.png\n") + text);
        std::string error;
        EXPECT_FALSE(Manifest::buildArchive(dir.file("manifest.txt"), dir.file("t.heap"), &error))
            << text;
        EXPECT_NE(error.find(reason), std::string::npos) << text << " -> " << error;
        // The faulty line is the case's last; the word list line comes first.
        const auto lastLine = 1 + std::count(text, text + std::strlen(text), '\n');
        EXPECT_NE(error.find("line " + std::to_string(lastLine) + ": "), std::string::npos)
            << text << " -> " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace wordlark::heaptool
