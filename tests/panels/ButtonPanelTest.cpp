#include "panels/ButtonPanel.h"

#include <gtest/gtest.h>

#include "PanelsFixture.h"
#include "graphics/ImageResource.h"
#include "panels/Button.h"

namespace wordlark::panels {
namespace {

using platform::VK_ESCAPE;
using platform::WM_KEYDOWN;
using platform::WM_LBUTTONDOWN;
using platform::WM_LBUTTONUP;
using platform::WM_MOUSEMOVE;

ButtonRow threeButtons[] = {
    {21, "b0", nullptr}, {22, "b1", nullptr}, {23, "b2", nullptr}, {-1, "", nullptr}};
ButtonRow noButtons[] = {{-1, "", nullptr}, {5, "b0", nullptr}};

class TestPanel : public ButtonPanel {
public:
    TestPanel(PanelHost& host, ButtonRow* table, bool closesOnEscape)
        : ButtonPanel(host, "back", table, closesOnEscape)
    {
        ++alive;
    }
    ~TestPanel() override { --alive; }
    std::string_view className() const override { return "TestPanel"; }
    static inline int alive = 0;
};

// A plain panel that closes itself on a click, through the close request.
class ClosingPanel : public Panel {
public:
    explicit ClosingPanel(PanelHost& host) : Panel(host, "back") {}
    bool handleInput(platform::MessageId message, platform::WParam wParam,
                     platform::LParam lParam) override
    {
        if (message == WM_LBUTTONUP) {
            return closeSelf();
        }
        return Panel::handleInput(message, wParam, lParam);
    }
    void draw() override {}
    std::string_view className() const override { return "ClosingPanel"; }
};

class ButtonPanelTest : public test::ScreensTest {
protected:
    void SetUp() override { test::ScreensTest::SetUp(); }
    void TearDown() override { test::ScreensTest::TearDown(); }
    bool input(platform::MessageId message, platform::WParam wParam = 0)
    {
        return host_->modal->handleInput(message, wParam, 0);
    }
    void moveTo(std::int32_t x, std::int32_t y)
    {
        host_->setPointer(x, y);
        input(WM_MOUSEMOVE);
    }
};

TEST_F(ButtonPanelTest, BuildsButtonsFromTheTableAndDeletesThem)
{
    host_->modal = std::make_unique<TestPanel>(*host_, threeButtons, true);
    auto& panel = static_cast<TestPanel&>(*host_->modal);
    for (int b = 0; b < 3; ++b) {
        ASSERT_NE(threeButtons[b].button, nullptr);
        EXPECT_EQ(threeButtons[b].button->commandId(), 21 + b);
        ASSERT_NE(threeButtons[b].button->image(), nullptr);
        EXPECT_TRUE(threeButtons[b].button->image()->isLoaded());
    }
    EXPECT_EQ(threeButtons[3].button, nullptr);
    EXPECT_EQ(panel.buttonFor(22), threeButtons[1].button);
    EXPECT_EQ(panel.buttonFor(99), nullptr);
    ASSERT_NE(panel.background(), nullptr);
    EXPECT_TRUE(panel.background()->isLoaded());

    // Drawing: the background, then the buttons in table order.
    moveTo(buttonX(2), kButtonY);
    threeButtons[0].button->setEnabled(false);
    clearFrame();
    panel.draw();
    EXPECT_EQ(pixel(5, 5), 0x1234);
    EXPECT_EQ(shownFrame(0), 2);
    EXPECT_EQ(shownFrame(1), -1);
    EXPECT_EQ(shownFrame(2), 0);

    // A click reaches the right button through the panel.
    input(WM_LBUTTONDOWN);
    EXPECT_TRUE(input(WM_LBUTTONUP));
    EXPECT_EQ(commands(), (std::vector<std::int32_t>{23}));

    host_->modal.reset();
    for (int b = 0; b < 3; ++b) {
        EXPECT_EQ(threeButtons[b].button, nullptr);
    }
    // The pictures stay in the archive's cache for the next panel.
    host_->modal = std::make_unique<TestPanel>(*host_, threeButtons, true);
    EXPECT_TRUE(threeButtons[0].button->image()->isLoaded());
}

TEST_F(ButtonPanelTest, EscapeClosesOnlyPanelsThatCloseOnEscape)
{
    host_->modal = std::make_unique<TestPanel>(*host_, threeButtons, false);
    moveTo(buttonX(0), kButtonY);
    EXPECT_TRUE(input(WM_KEYDOWN, VK_ESCAPE));
    EXPECT_EQ(host_->closes, 0);
    ASSERT_NE(host_->modal, nullptr);
    EXPECT_TRUE(threeButtons[0].button->hover());

    // Replacing the panel makes the new one before the old one goes: each keeps its own.
    host_->modal = std::make_unique<TestPanel>(*host_, threeButtons, true);
    ASSERT_NE(threeButtons[0].button, nullptr);
    EXPECT_EQ(threeButtons[0].button, static_cast<TestPanel&>(*host_->modal).buttonFor(21));
    EXPECT_TRUE(input(WM_KEYDOWN, 'A'));
    EXPECT_EQ(TestPanel::alive, 1);
    EXPECT_FALSE(input(WM_KEYDOWN, VK_ESCAPE));
    EXPECT_EQ(host_->closes, 1);
    EXPECT_EQ(host_->modal, nullptr);
    EXPECT_EQ(TestPanel::alive, 0);
}

TEST_F(ButtonPanelTest, AnEmptyTableGivesNoButtons)
{
    noButtons[1].button = nullptr;
    host_->modal = std::make_unique<TestPanel>(*host_, noButtons, true);
    EXPECT_EQ(noButtons[1].button, nullptr);
    clearFrame();
    host_->modal->draw();
    EXPECT_EQ(shownFrame(0), -1);
    EXPECT_TRUE(input(WM_LBUTTONDOWN));
}

TEST_F(ButtonPanelTest, ThePlainCloseRequestAlwaysAnswersTrue)
{
    host_->modal = std::make_unique<ClosingPanel>(*host_);
    EXPECT_TRUE(input(WM_KEYDOWN, 'X'));
    EXPECT_TRUE(input(WM_MOUSEMOVE));
    EXPECT_NE(host_->modal, nullptr);
    // Closing itself from inside its own handler (checked under the address sanitizer).
    EXPECT_TRUE(input(WM_LBUTTONUP));
    EXPECT_EQ(host_->modal, nullptr);
}

TEST_F(ButtonPanelTest, ImageReferencesNeedAPictureEntry)
{
    graphics::ImageResource* first = host_->images().acquire("b1");
    graphics::ImageResource* second = host_->images().acquire("b1", "VEK.HEAP");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(host_->images().acquire("missing"), nullptr);
    EXPECT_EQ(host_->images().acquire("word"), nullptr);  // not a picture
    EXPECT_EQ(host_->images().acquire("b1", "absent.heap"), nullptr);
    first->load();
    host_->images().release(second);
    EXPECT_TRUE(first->isLoaded());
    host_->images().release(first);
    host_->images().release(nullptr);

    // Without an archive to take them from, a panel still works, showing nothing.
    wordlark::test::TempDir empty;
    archive::ArchiveRegistry none(empty.folder());
    test::TestHost bare(none);
    EXPECT_EQ(bare.images().acquire("b1"), nullptr);
    bare.modal = std::make_unique<TestPanel>(bare, threeButtons, true);
    EXPECT_EQ(bare.modal->background(), nullptr);
    bare.modal->draw();
}

}  // namespace
}  // namespace wordlark::panels
