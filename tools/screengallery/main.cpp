// screengallery -- every panel of vek.heap over a game screen, drawn by the game's own picture
// and text routines on the headless backend, as PNG files for reviewing the art.
//
//   screengallery PROGRAM_FOLDER BASE.png OUT_DIR
//
// BASE.png is a 640 x 480 shot of the game screen (a replay's), which each panel is drawn over.
// The texts are samples in the fields and at the places where the game writes its own, in its
// text style, so a field too small or too dark for them shows at once.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/ArchiveRegistry.h"
#include "graphics/AnimationResource.h"
#include "graphics/Display.h"
#include "graphics/ImageResource.h"
#include "graphics/PictureClasses.h"
#include "platform/PngImage.h"
#include "platform/headless/HeadlessVideo.h"

namespace {

using namespace wordlark;

// One thing drawn, in order: a picture, a button in its look under the pointer, or a text.
struct Step {
    enum class Kind { Picture, Button, Text } kind = Kind::Picture;
    std::string what;  // a picture's name or the text
    bool at = false;   // a picture drawn at (x, y) rather than at its stored place
    int x = 0;
    int y = 0;
    int boxWidth = 0;  // a text centred in a box of this size when not 0
    int boxHeight = 0;
};

Step picture(std::string name)
{
    return {Step::Kind::Picture, std::move(name)};
}
Step pictureAt(std::string name, int x, int y)
{
    return {Step::Kind::Picture, std::move(name), true, x, y};
}
Step hovered(std::string button)
{
    return {Step::Kind::Button, std::move(button)};
}
Step text(int x, int y, std::string text)
{
    return {Step::Kind::Text, std::move(text), false, x, y};
}
Step centred(int x, int y, int width, int height, std::string text)
{
    return {Step::Kind::Text, std::move(text), false, x, y, width, height};
}

struct Screen {
    std::string file;
    std::vector<Step> steps;
};

std::vector<Screen> screens()
{
    std::vector<Screen> all;
    all.push_back({"menu.png", {picture("menu"), hovered("m_stat"), picture("menumask")}});
    Screen levels{
        "menu-levels.png",
        {pictureAt("lv_fon", 459, 297), centred(387, 272, 144, 22, "Level 2"), picture("lv_down")}};
    for (int k = 1; k <= 10; ++k) {
        levels.steps.push_back(
            centred(387, 292 + 16 * (k - 1), 144, 16, "level " + std::to_string(k)));
    }
    for (const Step& step : {picture("menu"), hovered("m_levels"), picture("menumask")}) {
        levels.steps.push_back(step);
    }
    all.push_back(levels);

    const std::vector<std::string> players = {"Anna", "Bert", "Lark", "Wordsmith", "Anonim"};
    Screen selection{"players.png", {picture("ng_fon"), hovered("ng_ok"), text(165, 125, "Lark_")}};
    for (std::size_t i = 0; i < players.size(); ++i) {
        selection.steps.push_back(text(165, 173 + 20 * static_cast<int>(i), players[i]));
    }
    all.push_back(selection);
    // The password dialog sits over the selection, whose name field then shows no cursor.
    Screen password = selection;
    password.file = "password.png";
    password.steps[1] = picture("ng_fon");
    password.steps[2] = text(165, 125, "Lark");
    for (const Step& step : {picture("ep_fon"), hovered("ep_ok"), text(172, 180, "*****_")}) {
        password.steps.push_back(step);
    }
    all.push_back(password);

    Screen statistics{"statistics.png", {picture("st_fon"), hovered("st_ok")}};
    const std::vector<std::string> lines = {"Rating: III cathegory (412)",
                                            "Victories: 31",
                                            "Defeats: 12",
                                            "Tie ups: 4",
                                            "Skipped games: 2",
                                            "Total games: 49"};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        statistics.steps.push_back(text(190, 220 + 20 * static_cast<int>(i), lines[i]));
    }
    all.push_back(statistics);

    Screen top{"topten.png", {picture("top_fon"), hovered("top_ok")}};
    const std::vector<std::string> names = {"Wordsmith", "Lark", "Anna",   "Bert",  "Computer",
                                            "Quill",     "Ink",  "Vellum", "Glyph", "Anonim"};
    for (int i = 0; i < 10; ++i) {
        top.steps.push_back(text(160, 114 + 22 * i, names[static_cast<std::size_t>(i)]));
        top.steps.push_back(centred(359, 114 + 22 * i, 56, 22, std::to_string(1104 - 61 * i)));
    }
    all.push_back(top);

    all.push_back({"about.png", {picture("ab_fon"), hovered("ab_ok")}});
    all.push_back({"question.png", {picture("yn_fon"), hovered("yn_ok")}});
    all.push_back({"saveword.png", {picture("sw_fon"), hovered("sw_ok")}});

    Screen analysis{"analysis.png",
                    {picture("an_fon"), hovered("an_sortlen"), text(183, 130, "EXTRACTS"),
                     text(183, 176, "TAB"), centred(421, 100, 84, 22, "57")}};
    const std::vector<std::string> words = {"EXTRACTS", "RETRACTS", "STARTER", "TRACTS",
                                            "EXTRA",    "ROAST",    "STAR",    "ART"};
    for (std::size_t k = 0; k < words.size(); ++k) {
        analysis.steps.push_back(text(183, 223 + 22 * static_cast<int>(k), words[k]));
    }
    all.push_back(analysis);
    return all;
}

// The game's text style: black, 16 pixels high, on a transparent background.
void setTextStyle(graphics::Display& display)
{
    display.setTextColor(0x000000);
    display.setBackMode(graphics::kBackTransparent);
    display.setFontParameter(0, 16);
    display.setFontParameter(1, 6);
}

bool fillFrom(const platform::PngImage& base, graphics::SurfaceRecord& frame)
{
    if (base.width != graphics::kFrameWidth || base.height != graphics::kFrameHeight) {
        return false;
    }
    for (std::int32_t y = 0; y < base.height; ++y) {
        auto* row = reinterpret_cast<std::uint16_t*>(frame.pixels + y * frame.pitch);
        for (std::int32_t x = 0; x < base.width; ++x) {
            const std::uint8_t* p = base.rgba.data() + 4 * (static_cast<std::size_t>(y) * 640 + x);
            row[x] =
                static_cast<std::uint16_t>(((p[0] >> 3) << 11) | ((p[1] >> 2) << 5) | (p[2] >> 3));
        }
    }
    return true;
}

// Pictures taken from the registry, given back when the gallery is done.
using Taken = std::vector<graphics::ImageResource*>;

graphics::ImageResource* take(archive::ArchiveRegistry& registry, Taken& taken,
                              const std::string& name)
{
    auto* image = dynamic_cast<graphics::ImageResource*>(registry.acquireObject(name, "vek.heap"));
    if (image == nullptr) {
        return nullptr;
    }
    taken.push_back(image);
    image->load();
    return image->isLoaded() ? image : nullptr;
}

bool drawStep(archive::ArchiveRegistry& registry, Taken& taken, const Step& step)
{
    graphics::Display& display = graphics::display();
    if (step.kind == Step::Kind::Text) {
        setTextStyle(display);
        if (step.boxWidth != 0) {
            display.drawTextBox(step.x, step.y, step.boxWidth, step.boxHeight, step.what,
                                graphics::kTextCenter);
        } else {
            display.drawText(step.x, step.y, step.what);
        }
        return true;
    }
    graphics::ImageResource* image = take(registry, taken, step.what);
    auto* button = dynamic_cast<graphics::AnimationResource*>(image);
    if (image == nullptr || (step.kind == Step::Kind::Button && button == nullptr)) {
        std::fprintf(stderr, "screengallery: no picture \"%s\"\n", step.what.c_str());
        return false;
    }
    if (button != nullptr && step.kind == Step::Kind::Button) {
        button->setFrame(0);  // the look under the pointer
    }
    if (step.at) {
        image->drawAt(step.x, step.y);
    } else {
        image->draw();
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: screengallery PROGRAM_FOLDER BASE.png OUT_DIR\n");
        return 2;
    }
    std::string folder = argv[1];
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    const std::string out = std::string(argv[3]) + "/";
    platform::PngImage base;
    std::string error;
    if (!platform::readPng(argv[2], base, &error)) {
        std::fprintf(stderr, "screengallery: %s: %s\n", argv[2], error.c_str());
        return 1;
    }
    std::error_code ignored;
    std::filesystem::create_directories(out, ignored);

    graphics::registerPictureClasses();
    graphics::Display& display = graphics::display();
    if (!display.open(1)) {
        std::fprintf(stderr, "screengallery: the headless display did not open\n");
        return 1;
    }
    archive::ArchiveRegistry registry(folder);
    if (registry.openArchive("vek.heap") == nullptr) {
        std::fprintf(stderr, "screengallery: %svek.heap cannot be read\n", folder.c_str());
        return 1;
    }
    int failures = 0;
    Taken taken;
    // The menu's mask copies the game screen's own pixels, which the game always holds.
    take(registry, taken, "fon1");
    for (const Screen& screen : screens()) {
        if (!fillFrom(base, display.backBuffer())) {
            std::fprintf(stderr, "screengallery: %s is not 640 x 480\n", argv[2]);
            return 1;
        }
        bool drawn = true;
        for (const Step& step : screen.steps) {
            drawn = drawStep(registry, taken, step) && drawn;
        }
        display.present();
        if (!drawn || !platform::headless::headlessVideo().capture(out + screen.file, &error)) {
            std::fprintf(stderr, "screengallery: %s not written %s\n", screen.file.c_str(),
                         error.c_str());
            ++failures;
            continue;
        }
        std::printf("%s%s\n", out.c_str(), screen.file.c_str());
    }
    for (graphics::ImageResource* image : taken) {
        registry.releaseObject(image);
    }
    display.close();
    return failures == 0 ? 0 : 1;
}
