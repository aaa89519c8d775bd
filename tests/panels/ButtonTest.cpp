#include "panels/Button.h"

#include <gtest/gtest.h>

#include "PanelsFixture.h"
#include "graphics/ImageResource.h"

namespace wordlark::panels {
namespace {

using platform::WM_LBUTTONDOWN;
using platform::WM_LBUTTONUP;
using platform::WM_MOUSEMOVE;

class ButtonTest : public test::ScreensTest {
protected:
    void SetUp() override
    {
        test::ScreensTest::SetUp();
        for (int b = 0; b < 3; ++b) {
            buttons_.push_back(
                std::make_unique<Button>(*host_, "b" + std::to_string(b), "vek.heap", 10 + b));
            buttons_.back()->loadImage();
        }
    }

    // Every message goes to every button, as a panel hands them out.
    void send(platform::MessageId message)
    {
        for (auto& button : buttons_) {
            button->handleMouse(message);
        }
    }
    void moveTo(std::int32_t x, std::int32_t y)
    {
        host_->setPointer(x, y);
        send(WM_MOUSEMOVE);
    }
    void moveToButton(int b) { moveTo(buttonX(b), kButtonY); }
    // One drawing pass of every button; returns what each shows.
    std::vector<int> pass()
    {
        clearFrame();
        std::vector<int> shown;
        for (std::size_t b = 0; b < buttons_.size(); ++b) {
            buttons_[b]->tick();
            shown.push_back(shownFrame(static_cast<int>(b)));
        }
        return shown;
    }

    std::vector<std::unique_ptr<Button>> buttons_;
};

TEST_F(ButtonTest, AClickIsAPressAndReleaseOverTheSameButton)
{
    EXPECT_EQ(pass(), (std::vector<int>{-1, -1, -1}));  // idle buttons are not drawn
    moveToButton(0);
    EXPECT_TRUE(buttons_[0]->hover());
    EXPECT_EQ(pass(), (std::vector<int>{0, -1, -1}));

    // Press on 0, move onto 1, release: nothing posted, no highlight anywhere.
    send(WM_LBUTTONDOWN);
    EXPECT_TRUE(host_->buttonHeld());
    EXPECT_EQ(host_->pressedButton(), buttons_[0].get());
    EXPECT_EQ(capture(), window_);
    EXPECT_EQ(pass(), (std::vector<int>{1, -1, -1}));
    moveToButton(1);  // held: no highlighting
    EXPECT_FALSE(buttons_[1]->hover());
    EXPECT_EQ(pass(), (std::vector<int>{1, -1, -1}));
    send(WM_LBUTTONUP);
    EXPECT_FALSE(host_->buttonHeld());
    EXPECT_EQ(capture(), platform::kNoWindow);
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(pass(), (std::vector<int>{-1, -1, -1}));

    // Press on 1, leave it while holding, come back, release: one command.
    send(WM_LBUTTONDOWN);
    moveTo(5, 5);
    moveToButton(1);
    send(WM_LBUTTONUP);
    EXPECT_EQ(commands(), (std::vector<std::int32_t>{11}));
    EXPECT_TRUE(buttons_[1]->hover());
    EXPECT_EQ(pass(), (std::vector<int>{-1, 0, -1}));

    // The release is tested against the last move, not where it happens.
    send(WM_LBUTTONDOWN);
    moveTo(500, 400);
    send(WM_LBUTTONUP);
    EXPECT_EQ(commands().size(), 1U);
}

TEST_F(ButtonTest, DisabledButtonsShowTheirThirdFrameAndIgnoreTheMouse)
{
    Button& button = *buttons_[2];
    moveToButton(2);
    ASSERT_TRUE(button.hover());
    button.setEnabled(false);
    EXPECT_EQ(pass()[2], 2);
    EXPECT_EQ(pass()[2], 2);
    moveTo(0, 0);
    EXPECT_TRUE(button.hover());  // ignored
    moveToButton(2);
    send(WM_LBUTTONDOWN);
    send(WM_LBUTTONUP);
    EXPECT_FALSE(host_->buttonHeld());
    EXPECT_TRUE(commands().empty());

    // Enabling touches neither the frame nor the highlight; owners clear it themselves.
    button.setEnabled(true);
    EXPECT_TRUE(button.hover());
    EXPECT_EQ(pass()[2], 2);
    button.setHover(false);
    EXPECT_EQ(pass()[2], -1);
    moveToButton(2);
    EXPECT_EQ(pass()[2], 0);
}

TEST_F(ButtonTest, AutoRepeatPostsWhileHeld)
{
    Button& button = *buttons_[0];
    button.setAutoRepeat(true);
    moveToButton(0);
    send(WM_LBUTTONDOWN);
    for (int p = 1; p <= 10; ++p) {
        pass();
        EXPECT_EQ(commands().size(), p < 6 ? 0U : static_cast<std::size_t>(p - 5)) << "pass " << p;
    }
    // Still repeating when the pointer leaves; the release off the button adds nothing.
    moveTo(0, 0);
    pass();
    EXPECT_EQ(commands().size(), 6U);
    moveToButton(0);
    send(WM_LBUTTONUP);
    EXPECT_EQ(commands().size(), 7U);
    EXPECT_EQ(button.repeatCount(), 0);
    pass();
    EXPECT_EQ(commands().size(), 7U);  // released: shows frame 0, no repeat
}

TEST_F(ButtonTest, ConstructionResetsTheHeldValueAndMissingPicturesAreInert)
{
    moveToButton(0);
    send(WM_LBUTTONDOWN);
    ASSERT_TRUE(host_->buttonHeld());
    Button missing(*host_, "nothing", "vek.heap", 7);
    EXPECT_FALSE(host_->buttonHeld());
    EXPECT_EQ(missing.image(), nullptr);
    missing.loadImage();
    missing.setPosition(1, 2);
    missing.setEnabled(false);
    missing.handleMouse(WM_LBUTTONDOWN);
    missing.tick();
    Button other(*host_, "b0", "other.heap", 8);
    EXPECT_EQ(other.image(), nullptr);

    // A destroyed button leaves no identity behind for a later one to inherit.
    buttons_[0].reset();
    EXPECT_EQ(host_->pressedButton(), nullptr);
}

TEST_F(ButtonTest, GameButtonsArePlacedBySetPosition)
{
    Button& button = *buttons_[1];
    button.setPosition(400, 300);
    moveTo(410, 310);
    EXPECT_TRUE(button.hover());
    clearFrame();
    button.tick();
    EXPECT_EQ(pixel(410, 310), test::buttonColour(1, 0));
}

}  // namespace
}  // namespace wordlark::panels
