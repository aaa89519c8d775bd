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
    TestPanel(ButtonRow* table, bool closesOnEscape) : ButtonPanel("back", table, closesOnEscape)
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
    ClosingPanel() : Panel("back") {}
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

// The game's side of the contract: one modal slot.
class Slot : public PanelHost {
public:
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

class ButtonPanelTest : public test::ScreensTest {
protected:
    void SetUp() override
    {
        test::ScreensTest::SetUp();
        setPanelHost(&slot_);
    }
    void TearDown() override
    {
        slot_.modal.reset();
        test::ScreensTest::TearDown();
    }
    bool input(platform::MessageId message, platform::WParam wParam = 0)
    {
        return slot_.modal->handleInput(message, wParam, 0);
    }
    void moveTo(std::int32_t x, std::int32_t y)
    {
        pointerX() = x;
        pointerY() = y;
        input(WM_MOUSEMOVE);
    }

    Slot slot_;
};

TEST_F(ButtonPanelTest, BuildsButtonsFromTheTableAndDeletesThem)
{
    slot_.modal = std::make_unique<TestPanel>(threeButtons, true);
    auto& panel = static_cast<TestPanel&>(*slot_.modal);
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

    slot_.modal.reset();
    for (int b = 0; b < 3; ++b) {
        EXPECT_EQ(threeButtons[b].button, nullptr);
    }
    // The pictures stay in the archive's cache for the next panel.
    slot_.modal = std::make_unique<TestPanel>(threeButtons, true);
    EXPECT_TRUE(threeButtons[0].button->image()->isLoaded());
}

TEST_F(ButtonPanelTest, EscapeClosesOnlyPanelsThatCloseOnEscape)
{
    slot_.modal = std::make_unique<TestPanel>(threeButtons, false);
    moveTo(buttonX(0), kButtonY);
    EXPECT_TRUE(input(WM_KEYDOWN, VK_ESCAPE));
    EXPECT_EQ(slot_.closes, 0);
    ASSERT_NE(slot_.modal, nullptr);
    EXPECT_TRUE(threeButtons[0].button->hover());

    // Replacing the panel makes the new one before the old one goes: each keeps its own.
    slot_.modal = std::make_unique<TestPanel>(threeButtons, true);
    ASSERT_NE(threeButtons[0].button, nullptr);
    EXPECT_EQ(threeButtons[0].button, static_cast<TestPanel&>(*slot_.modal).buttonFor(21));
    EXPECT_TRUE(input(WM_KEYDOWN, 'A'));
    EXPECT_EQ(TestPanel::alive, 1);
    EXPECT_FALSE(input(WM_KEYDOWN, VK_ESCAPE));
    EXPECT_EQ(slot_.closes, 1);
    EXPECT_EQ(slot_.modal, nullptr);
    EXPECT_EQ(TestPanel::alive, 0);
}

TEST_F(ButtonPanelTest, AnEmptyTableGivesNoButtons)
{
    noButtons[1].button = nullptr;
    slot_.modal = std::make_unique<TestPanel>(noButtons, true);
    EXPECT_EQ(noButtons[1].button, nullptr);
    clearFrame();
    slot_.modal->draw();
    EXPECT_EQ(shownFrame(0), -1);
    EXPECT_TRUE(input(WM_LBUTTONDOWN));
}

TEST_F(ButtonPanelTest, ThePlainCloseRequestAlwaysAnswersTrue)
{
    slot_.modal = std::make_unique<ClosingPanel>();
    EXPECT_TRUE(input(WM_KEYDOWN, 'X'));
    EXPECT_TRUE(input(WM_MOUSEMOVE));
    EXPECT_NE(slot_.modal, nullptr);
    // Closing itself from inside its own handler (checked under the address sanitizer).
    EXPECT_TRUE(input(WM_LBUTTONUP));
    EXPECT_EQ(slot_.modal, nullptr);

    // Without a host the request is harmless.
    setPanelHost(nullptr);
    ClosingPanel loose;
    EXPECT_TRUE(loose.handleInput(WM_KEYDOWN, VK_ESCAPE, 0));
}

TEST_F(ButtonPanelTest, ImageReferencesNeedAPictureEntry)
{
    graphics::ImageResource* first = acquireImage("b1");
    graphics::ImageResource* second = acquireImage("b1", "VEK.HEAP");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(acquireImage("missing"), nullptr);
    EXPECT_EQ(acquireImage("word"), nullptr);  // not a picture
    EXPECT_EQ(acquireImage("b1", "absent.heap"), nullptr);
    first->load();
    releaseImage(second);
    EXPECT_TRUE(first->isLoaded());
    releaseImage(first);
    releaseImage(nullptr);

    setImageRegistry(nullptr);
    EXPECT_EQ(acquireImage("b1"), nullptr);
    // A panel whose background cannot be had still works, showing nothing of it.
    slot_.modal = std::make_unique<TestPanel>(threeButtons, true);
    EXPECT_EQ(slot_.modal->background(), nullptr);
    slot_.modal->draw();
}

}  // namespace
}  // namespace wordlark::panels
