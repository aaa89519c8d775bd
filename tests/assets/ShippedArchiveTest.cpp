// The built vek.heap against the coordinates the game draws and clicks at.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "archive/ArchiveRegistry.h"
#include "archive/FourCC.h"
#include "graphics/AnimationResource.h"
#include "graphics/ImageResource.h"
#include "graphics/PictureClasses.h"
#include "words/Dictionary.h"

namespace wordlark::graphics {
namespace {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;  // inclusive
    bool overlaps(const Rect& o) const
    {
        return left <= o.right && o.left <= right && top <= o.bottom && o.top <= bottom;
    }
};

// Where a loaded picture lands: its stored position plus its displacement.
Rect placed(const ImageResource& picture)
{
    const ImageHeader h = picture.header();
    const int left = h.x() + h.dx();
    const int top = h.y() + h.dy();
    return {left, top, left + h.width() - 1, top + h.height() - 1};
}

// The buttons of each screen, which must not overlap one another.
const std::map<std::string, std::vector<std::string>> kScreens = {
    {"game", {"minimize", "close", "start", "demand", "pass", "analyze", "sort", "clear", "menub"}},
    {"menu", {"m_new", "m_exit", "m_about", "m_help", "m_stat", "m_top10", "m_levels"}},
    {"players", {"ng_ok", "ng_cansel", "ng_up", "ng_down", "ng_delete"}},
    {"password", {"ep_ok", "ep_cansel"}},
    {"statistics", {"st_ok", "st_up", "st_down"}},
    {"topten", {"top_ok"}},
    {"about", {"ab_ok"}},
    {"question", {"yn_ok", "yn_no"}},
    {"saveword", {"sw_ok", "sw_cansel"}},
    {"analysis", {"an_up", "an_down", "an_close", "an_sortlen", "an_sortname"}},
};

const std::vector<std::string> kPictures = {
    "fon1",   "asterisk", "Selchars", "menu",   "lv_fon", "lv_down", "ng_fon",
    "ep_fon", "st_fon",   "top_fon",  "ab_fon", "yn_fon", "sw_fon",  "an_fon",
};

const std::map<std::string, std::pair<int, int>> kGameButtonPositions = {
    {"minimize", {590, 31}}, {"close", {622, 31}},  {"start", {587, 167}},
    {"demand", {587, 263}},  {"pass", {587, 359}},  {"analyze", {472, 399}},
    {"sort", {472, 118}},    {"clear", {472, 215}}, {"menub", {588, 404}},
};

class ShippedArchive : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registerPictureClasses(); }

    ImageResource* picture(const std::string& name)
    {
        auto* object = registry.acquireObject(name, "vek.heap");
        auto* image = dynamic_cast<ImageResource*>(object);
        if (image) {
            image->load();
            taken.push_back(image);
        } else if (object) {
            registry.releaseObject(object);
        }
        return image && image->isLoaded() ? image : nullptr;
    }
    AnimationResource* animation(const std::string& name)
    {
        return dynamic_cast<AnimationResource*>(picture(name));
    }
    void TearDown() override
    {
        for (ImageResource* image : taken) {
            registry.releaseObject(image);
        }
    }

    archive::ArchiveRegistry registry{std::string(WORDLARK_BUILD_DIR) + "/"};
    std::vector<ImageResource*> taken;
};

TEST_F(ShippedArchive, EveryPictureLoadsAndEveryButtonKeepsItsPlaceInEveryFrame)
{
    archive::Archive* heap = registry.openArchive("vek.heap");
    ASSERT_NE(heap, nullptr);
    const std::vector<std::uint32_t> stills = {archive::fileTag("gla0"), archive::fileTag("fon0"),
                                               archive::fileTag("fon6")};
    for (const std::string& name : kPictures) {
        EXPECT_NE(picture(name), nullptr) << name;
        EXPECT_NE(std::find(stills.begin(), stills.end(), heap->entryTag(name)), stills.end())
            << name;
    }
    for (const char* name : {"chars", "chardrop"}) {
        EXPECT_EQ(heap->entryTag(name), archive::fileTag("ani0")) << name;
    }
    auto* mask = picture("menumask");
    ASSERT_NE(mask, nullptr);
    const std::uint32_t maskTag = heap->entryTag("menumask");
    EXPECT_TRUE(maskTag == archive::fileTag("bitm") || maskTag == archive::fileTag("bit6"));

    for (const auto& [screen, buttons] : kScreens) {
        std::vector<std::pair<std::string, Rect>> rects;
        for (const std::string& name : buttons) {
            AnimationResource* button = animation(name);
            ASSERT_NE(button, nullptr) << name;
            EXPECT_EQ(heap->entryTag(name), archive::fileTag("ani0")) << name;
            ASSERT_GE(button->frameCount(), 3) << name;
            button->setFrame(0);
            const int x = button->header().x();
            const int y = button->header().y();
            const Rect first = placed(*button);
            for (int f = 1; f < button->frameCount(); ++f) {
                button->setFrame(f);
                ASSERT_EQ(button->currentFrame(), f) << name;
                EXPECT_EQ(button->header().x(), x) << name << " frame " << f;
                EXPECT_EQ(button->header().y(), y) << name << " frame " << f;
            }
            if (const auto it = kGameButtonPositions.find(name); it != kGameButtonPositions.end()) {
                EXPECT_EQ(std::make_pair(x, y), it->second) << name;
            }
            for (const auto& [other, rect] : rects) {
                EXPECT_FALSE(first.overlaps(rect)) << screen << ": " << name << " and " << other;
            }
            rects.emplace_back(name, first);
        }
    }
}

TEST_F(ShippedArchive, TheWordListLoadsAsTheDictionary)
{
    words::Dictionary dictionary(std::string(WORDLARK_BUILD_DIR) + "/", [] { return "Anonim"; });
    ASSERT_TRUE(dictionary.load(registry));
    EXPECT_GT(dictionary.count(), 50000u);
    EXPECT_TRUE(dictionary.isWord("LARK"));
    EXPECT_FALSE(dictionary.isWord("LRAK"));
}

TEST_F(ShippedArchive, TilesFitTheirColumnsAndTheStripItsCells)
{
    AnimationResource* tiles = animation("chars");
    ASSERT_NE(tiles, nullptr);
    EXPECT_EQ(tiles->frameCount(), 27);
    AnimationResource* roll = animation("chardrop");
    ASSERT_NE(roll, nullptr);
    EXPECT_GE(roll->frameCount(), 53);

    for (AnimationResource* strip : {tiles, roll}) {
        for (int f = 0; f < strip->frameCount(); ++f) {
            strip->setFrame(f);
            for (int i = 0; i < 12; ++i) {
                strip->setPosition(37 + 42 * i, 161);
                const Rect r = placed(*strip);
                EXPECT_GE(r.left, 16 + 42 * i) << strip->entryName() << " frame " << f;
                EXPECT_LE(r.right, 57 + 42 * i) << strip->entryName() << " frame " << f;
                EXPECT_GE(r.top, 119) << strip->entryName() << " frame " << f;
                EXPECT_LE(r.bottom, 161) << strip->entryName() << " frame " << f;
            }
        }
    }

    ImageResource* letters = picture("Selchars");
    ASSERT_NE(letters, nullptr);
    letters->setPosition(280, 290);
    const Rect strip = placed(*letters);
    for (int k = 0; k < 26; ++k) {
        const Rect cell{20 + 20 * k, 272, 39 + 20 * k, 289};
        EXPECT_TRUE(strip.left <= cell.left && cell.right <= strip.right && strip.top <= cell.top &&
                    cell.bottom <= strip.bottom)
            << "cell " << k;
        EXPECT_NE(letters->hitTest(30 + 20 * k, 280), nullptr) << "cell " << k;
    }
}

TEST_F(ShippedArchive, CaptionButtonsAndTheMenuSitWhereTheGameLooks)
{
    ImageResource* minimize = picture("minimize");
    ImageResource* close = picture("close");
    ASSERT_NE(minimize, nullptr);
    ASSERT_NE(close, nullptr);
    EXPECT_TRUE(minimize->hitTest(600, 10) != nullptr || close->hitTest(600, 10) != nullptr);

    ImageResource* menu = picture("menu");
    ASSERT_NE(menu, nullptr);
    menu->setPosition(588, 405);
    const Rect rest = placed(*menu);
    EXPECT_GE(rest.left, 0);
    EXPECT_GE(rest.top, 0);
    EXPECT_LE(rest.right, 639);
    EXPECT_LE(rest.bottom, 479);
}

}  // namespace
}  // namespace wordlark::graphics
