#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "archive/Endian.h"
#include "heaptool/ArchiveWriter.h"
#include "heaptool/PictureBuilder.h"
#include "heaptool/PictureExporter.h"
#include "platform/png/PngImage.h"
#include "support/TempDir.h"

namespace wordlark::heaptool {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string readText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::uint16_t colourAt(const platform::PngImage& image, int x, int y)
{
    const std::uint8_t* p = image.pixel(x, y);
    return rgb565(p[0], p[1], p[2]);
}

// A small palettised picture: index 0 is colour 0x0000, index 1 red, index 2 green.
Bytes smallPicture(std::string_view tag, const PicturePlacement& placement, int width, int height)
{
    Bytes indices(static_cast<std::size_t>(width * height));
    for (std::size_t i = 0; i < indices.size(); ++i) {
        indices[i] = static_cast<std::uint8_t>(i % 3);
    }
    return PictureBuilder::palettised(tag, placement, width, height, {0x0000, 0xF800, 0x07E0},
                                      indices);
}

TEST(PictureExport, WritesEveryPictureFrameHeaderAndTheSheet)
{
    test::TempDir dir;
    ArchiveWriter writer;
    writer.addEntry("words", "wrds", Bytes(32, 'A'));  // not a picture: passed over
    writer.addEntry("tile", "gla0", smallPicture("gla0", {37, 161, -21, -42}, 3, 2));
    writer.addEntry("panel", "fons", smallPicture("fon0", {}, 3, 2), Storage::Method1);
    writer.addEntry("back", "fon6",
                    PictureBuilder::direct({0, 0, 0, 0}, 2, 2, {0x0000, 0x001F, 0xFFFF, 0x1234}));
    AnimationWriter animation(writer);
    for (int i = 0; i < 3; ++i) {
        animation.addFrame(smallPicture("gla0", {587, 167, i, i}, 2 + i, 1), Storage::Method2);
    }
    animation.finish("button");
    // Cut from "back" a rectangle reaching one column left of it: that column is uncovered.
    writer.addEntry("cut", "bit6",
                    PictureBuilder::mask("bit6", {-1, 0, 0, 0}, 3, 2, {1, 1, 0, 1, 1, 1}, "back"));
    std::string error;
    ASSERT_TRUE(writer.write(dir.file("p.heap"), "p.heap", &error)) << error;

    const std::string out = dir.file("out");
    ASSERT_TRUE(PictureExporter::exportArchive(dir.file("p.heap"), out, &error)) << error;

    const auto image = [&](const std::string& name) {
        platform::PngImage picture;
        EXPECT_TRUE(platform::readPng(out + "/" + name, picture, &error)) << name << error;
        return picture;
    };
    const platform::PngImage tile = image("tile.png");
    ASSERT_EQ(tile.width, 3);
    ASSERT_EQ(tile.height, 2);
    EXPECT_EQ(tile.pixel(0, 0)[3], 0) << "gla0's colour 0x0000 is transparent";
    EXPECT_EQ(tile.pixel(1, 0)[3], 255);
    EXPECT_EQ(colourAt(tile, 1, 0), 0xF800);
    EXPECT_EQ(colourAt(tile, 2, 1), 0x07E0);

    const platform::PngImage panel = image("panel.png");
    EXPECT_EQ(panel.pixel(0, 0)[3], 255) << "fon0 draws its black";
    EXPECT_EQ(colourAt(panel, 0, 0), 0x0000);

    const platform::PngImage back = image("back.png");
    EXPECT_EQ(colourAt(back, 1, 0), 0x001F);
    EXPECT_EQ(colourAt(back, 1, 1), 0x1234);

    for (int i = 0; i < 3; ++i) {
        const platform::PngImage frame = image("button.f00" + std::to_string(i) + ".png");
        EXPECT_EQ(frame.width, 2 + i);
        EXPECT_EQ(frame.pixel(0, 0)[3], 0);
    }
    EXPECT_FALSE(std::filesystem::exists(out + "/words.png"));

    const platform::PngImage cut = image("cut.png");
    ASSERT_EQ(cut.width, 3);
    EXPECT_EQ(cut.pixel(2, 0)[3], 0) << "outside the shape";
    EXPECT_EQ(cut.pixel(0, 0)[3], 255);
    EXPECT_EQ(cut.pixel(0, 0)[0], 0x80) << "left of the source: uncovered grey";
    EXPECT_EQ(colourAt(cut, 1, 0), 0x0000) << "back's pixel (0, 0)";
    EXPECT_EQ(colourAt(cut, 2, 1), 0x1234) << "back's pixel (1, 1)";

    const std::string headers = readText(out + "/headers.txt");
    for (const char* line :
         {"tile gla0 tile.png content=gla0 x=37 y=161 dx=-21 dy=-42 width=3 height=2\n",
          "panel fons panel.png content=fon0 x=0 y=0 dx=0 dy=0 width=3 height=2\n",
          "button ani0 frames=3\n",
          "button ani0 button.f002.png frame=2 x=587 y=167 dx=2 dy=2 width=4 height=1\n",
          "cut bit6 cut.png content=bit6 x=-1 y=0 dx=0 dy=0 width=3 height=2 stride=1 "
          "source=back\n"}) {
        EXPECT_NE(headers.find(line), std::string::npos) << line << "in\n" << headers;
    }
    EXPECT_EQ(headers.find("words"), std::string::npos);
    EXPECT_EQ(headers.find("damaged"), std::string::npos);

    const platform::PngImage sheet = image("contact-sheet.png");
    EXPECT_EQ(sheet.width, 1280);
    EXPECT_GT(sheet.height, 0);
}

TEST(PictureExport, DamagedPicturesAreNotedAndTheRestStillWritten)
{
    test::TempDir dir;
    ArchiveWriter writer;
    Bytes shortPicture = smallPicture("gla0", {}, 4, 4);
    shortPicture.resize(544 + 15);  // one pixel missing
    writer.addEntry("short", "gla0", shortPicture);
    Bytes shortPalette = smallPicture("fon0", {}, 1, 1);
    shortPalette.resize(100);
    writer.addEntry("nopal", "fon0", shortPalette);
    Bytes wide = PictureBuilder::direct({}, 2, 2, {1, 2, 3, 4});
    archive::writeLe32(wide.data() + 24, 0x7FFFFFFF);  // width far beyond the content
    writer.addEntry("wide", "fon6", wide);
    Bytes negative = smallPicture("gla0", {}, 2, 2);
    archive::writeLe32(negative.data() + 28, 0xFFFFFFFE);
    writer.addEntry("negative", "gla0", negative);
    Bytes mask = PictureBuilder::mask("bitm", {}, 16, 4, Bytes(64, 1), "good");
    archive::writeLe32(mask.data() + 32, 0x40000000);  // a stride beyond the content
    writer.addEntry("mask", "bitm", mask);
    Bytes negativeStride = PictureBuilder::mask("bitm", {}, 16, 4, Bytes(64, 1), "good");
    archive::writeLe32(negativeStride.data() + 32, 0xFFFFFFFF);
    writer.addEntry("mask2", "bitm", negativeStride);
    writer.addEntry("good", "gla0", smallPicture("gla0", {}, 2, 2));

    AnimationWriter animation(writer);
    animation.addFrame(smallPicture("gla0", {}, 2, 2), Storage::Plain);
    animation.addRecord({0xFFFFFF00u, 600, 600});                    // outside the archive
    animation.addRecord({0, 0xFFFFFFFFu, 10});                       // an absurd size
    animation.addRecord(animation.records()[0]);                     // fine again
    animation.addRecord({animation.records()[0].offset, 100, 100});  // too short to be a frame
    Bytes table = animation.table();
    archive::writeLe32(table.data() + 8, 50);  // more frames than the table holds
    writer.addEntry("anim", "ani0", table);
    writer.addEntry("tiny", "ani0", Bytes{'a', 'n', 'i'});
    std::string error;
    ASSERT_TRUE(writer.write(dir.file("d.heap"), "d.heap", &error)) << error;

    const std::string out = dir.file("out");
    EXPECT_FALSE(PictureExporter::exportArchive(dir.file("d.heap"), out, &error));
    EXPECT_NE(error.find("damaged"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);

    EXPECT_TRUE(std::filesystem::exists(out + "/good.png"));
    EXPECT_TRUE(std::filesystem::exists(out + "/anim.f000.png"));
    EXPECT_TRUE(std::filesystem::exists(out + "/anim.f003.png"));
    EXPECT_TRUE(std::filesystem::exists(out + "/contact-sheet.png"));
    for (const char* missing : {"short.png", "nopal.png", "wide.png", "negative.png", "mask.png",
                                "mask2.png", "anim.f001.png", "anim.f002.png", "anim.f004.png"}) {
        EXPECT_FALSE(std::filesystem::exists(out + "/" + missing)) << missing;
    }
    const std::string headers = readText(out + "/headers.txt");
    for (const char* noted :
         {"short gla0 damaged", "nopal fon0 damaged", "wide fon6 damaged", "negative gla0 damaged",
          "mask bitm damaged", "mask2 bitm damaged", "anim #1 damaged", "anim #2 damaged",
          "anim #4 damaged", "anim ani0 damaged: 45 frames have no record", "tiny ani0 damaged"}) {
        EXPECT_NE(headers.find(noted), std::string::npos) << noted << " in\n" << headers;
    }
}

TEST(PictureExport, RefusesWhatItCannotOpenOrWrite)
{
    test::TempDir dir;
    std::string error;
    EXPECT_FALSE(PictureExporter::exportArchive(dir.file("none.heap"), dir.file("out"), &error));
    EXPECT_NE(error.find("none.heap"), std::string::npos);

    ArchiveWriter writer;
    writer.addEntry("good", "gla0", smallPicture("gla0", {}, 2, 2));
    ASSERT_TRUE(writer.write(dir.file("g.heap"), "g.heap", &error));
    dir.writeText("file", "not a folder");
    EXPECT_FALSE(PictureExporter::exportArchive(dir.file("g.heap"), dir.file("file"), &error));
    EXPECT_NE(error.find("file"), std::string::npos);
}

}  // namespace
}  // namespace wordlark::heaptool
