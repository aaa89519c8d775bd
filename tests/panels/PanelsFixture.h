// PanelsFixture.h -- a small picture archive, an open display and a recording desktop for
// the panel and button tests; buttons post to a headless window that records commands.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/ArchiveRegistry.h"
#include "graphics/Display.h"
#include "graphics/PictureClasses.h"
#include "heaptool/ArchiveWriter.h"
#include "heaptool/PictureBuilder.h"
#include "panels/ImageReferences.h"
#include "panels/Panel.h"
#include "panels/PanelHost.h"
#include "platform/Desktop.h"
#include "platform/headless/HeadlessDesktop.h"
#include "platform/headless/HeadlessVideo.h"
#include "support/TempDir.h"
#include "support/TestBackends.h"

namespace wordlark::panels::test {

// The game's side of the contract: one modal slot and one menu slot.
class TestHost : public PanelHost {
public:
    using PanelHost::PanelHost;
    void closeModalPanel() override
    {
        ++closes;
        modal.reset();
    }
    void closeMenuOverlay() override { menu.reset(); }
    void openModalPanel(std::unique_ptr<Panel> panel) override { modal = std::move(panel); }
    std::unique_ptr<Panel> modal;
    std::unique_ptr<Panel> menu;
    int closes = 0;
};

inline constexpr std::int32_t kButtonSide = 20;

// The colour a button picture shows in frame k: button b's frames are 0x0800 * (b + 1) + k.
inline std::uint16_t buttonColour(int button, int frame)
{
    return static_cast<std::uint16_t>(0x0800 * (button + 1) + frame);
}

// Buttons "b0", "b1", "b2" are 4-frame animations of 20 x 20 squares at (100 + 100 b, 100);
// "back" is a 10 x 10 square at (0, 0); "word" is a word list, not a picture.
class ScreensTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        graphics::registerPictureClasses();
        heaptool::ArchiveWriter writer;
        for (int b = 0; b < 3; ++b) {
            heaptool::AnimationWriter animation(writer);
            for (int k = 0; k < 4; ++k) {
                std::vector<std::uint16_t> palette(256, 0);
                palette[1] = buttonColour(b, k);
                animation.addFrame(heaptool::PictureBuilder::palettised(
                    "gla0", heaptool::PicturePlacement{100 + 100 * b, 100, 0, 0}, kButtonSide,
                    kButtonSide, palette, std::vector<std::uint8_t>(kButtonSide * kButtonSide, 1)));
            }
            animation.finish("b" + std::to_string(b));
        }
        std::vector<std::uint16_t> palette(256, 0x1234);
        writer.addEntry(
            "back", "gla0",
            heaptool::PictureBuilder::palettised("gla0", heaptool::PicturePlacement{}, 10, 10,
                                                 palette, std::vector<std::uint8_t>(100, 1)),
            heaptool::Storage::Plain);
        writer.addEntry("word", "wrds", {'x'}, heaptool::Storage::Plain);
        dir_.write("vek.heap", writer.build("vek.heap"));
        registry_ = std::make_unique<archive::ArchiveRegistry>(dir_.folder());
        host_ = std::make_unique<TestHost>(*registry_);

        platform::setDesktop(&desktop_);
        window_ = desktop_.createWindow(
            "panels", 0, 0, 640, 480,
            [this](platform::WindowId, platform::MessageId message, platform::WParam wParam,
                   platform::LParam lParam) -> platform::LResult {
                if (message == platform::WM_BUTTON_COMMAND) {
                    EXPECT_EQ(lParam, 0);
                    commands_.push_back(static_cast<std::int32_t>(wParam));
                }
                return 0;
            });
        platform::setMainWindow(window_);
        wordlark::test::headlessVideo().reset();
        wordlark::test::headlessVideo().setDesktop(16, 1280, 1024);
        ASSERT_TRUE(graphics::display().open(window_));
        host_->setPointer(0, 0);
    }

    void TearDown() override
    {
        graphics::display().close();
        wordlark::test::headlessVideo().reset();
        platform::setMainWindow(platform::kNoWindow);
        // The test program's own desktop is current again for the next test.
        platform::setDesktop(&wordlark::test::headlessDesktop());
        host_->modal.reset();
        host_->menu.reset();
    }

    // The centre of button b.
    static std::int32_t buttonX(int b) { return 110 + 100 * b; }
    static constexpr std::int32_t kButtonY = 110;

    void clearFrame()
    {
        platform::Surface& frame = graphics::display().backBuffer();
        for (std::int32_t y = 0; y < frame.height; ++y) {
            auto* row = reinterpret_cast<std::uint16_t*>(frame.pixels + y * frame.pitch);
            std::fill(row, row + frame.width, std::uint16_t{0});
        }
    }
    std::uint16_t pixel(std::int32_t x, std::int32_t y) const
    {
        const platform::Surface& frame = graphics::display().backBuffer();
        return reinterpret_cast<const std::uint16_t*>(frame.pixels + y * frame.pitch)[x];
    }
    // The frame button b shows in the back buffer, -1 when it is not drawn.
    int shownFrame(int b) const
    {
        const std::uint16_t colour = pixel(buttonX(b), kButtonY);
        for (int k = 0; k < 4; ++k) {
            if (colour == buttonColour(b, k)) {
                return k;
            }
        }
        return -1;
    }

    // The commands the buttons have posted to the window so far, in order.
    std::vector<std::int32_t> commands()
    {
        desktop_.pump();
        return commands_;
    }
    platform::WindowId capture() const { return desktop_.captureWindow(); }

    wordlark::test::TempDir dir_;
    std::unique_ptr<archive::ArchiveRegistry> registry_;
    std::unique_ptr<TestHost> host_;
    platform::headless::HeadlessDesktop desktop_;
    platform::WindowId window_ = platform::kNoWindow;
    std::vector<std::int32_t> commands_;
};

}  // namespace wordlark::panels::test
