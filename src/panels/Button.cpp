#include "panels/Button.h"

#include "archive/FourCC.h"
#include "graphics/ImageResource.h"
#include "panels/ImageReferences.h"
#include "panels/PanelHost.h"
#include "platform/Desktop.h"

namespace wordlark::panels {

using archive::commandCode;

namespace {
bool held = false;
const Button* pressed = nullptr;
}  // namespace

bool& buttonHeld()
{
    return held;
}

const Button*& pressedButton()
{
    return pressed;
}

Button::Button(std::string_view imageName, std::string_view archiveFile, std::int32_t commandId)
    : commandId_(commandId), image_(acquireImage(imageName, archiveFile))
{
    buttonHeld() = false;
}

Button::~Button()
{
    // A later button made at the same address must not inherit this one's press.
    if (pressedButton() == this) {
        pressedButton() = nullptr;
    }
}

void Button::loadImage()
{
    if (image_) {
        image_->load();
    }
}

void Button::setPosition(std::int32_t x, std::int32_t y)
{
    if (image_) {
        image_->setPosition(x, y);
    }
}

void Button::setEnabled(bool flag)
{
    if (flag == enabled_) {
        return;
    }
    enabled_ = flag;
    if (!enabled_) {
        showFrame(kFrameDisabled);
    }
}

bool Button::pointerOnImage() const
{
    return image_ && image_->hitTest(pointerX(), pointerY()) != nullptr;
}

void Button::showFrame(std::int32_t frame)
{
    if (image_) {
        image_->command(commandCode("Faze"), frame);
    }
}

void Button::postCommand() const
{
    platform::postMessage(platform::mainWindow(), platform::WM_BUTTON_COMMAND,
                          static_cast<platform::WParam>(commandId_), 0);
}

void Button::handleMouse(platform::MessageId message)
{
    if (!enabled_) {
        return;
    }
    switch (message) {
        case platform::WM_MOUSEMOVE:
            if (buttonHeld()) {
                return;
            }
            if (pointerOnImage()) {
                showFrame(kFrameHighlighted);
                hover_ = true;
            } else {
                hover_ = false;
            }
            return;
        case platform::WM_LBUTTONDOWN:
            if (pointerOnImage()) {
                platform::setCapture(platform::mainWindow());
                showFrame(kFramePressed);
                hover_ = true;
                buttonHeld() = true;
                repeatCount_ = 0;
                pressedButton() = this;
            } else if (!buttonHeld()) {
                hover_ = false;
            }
            return;
        case platform::WM_LBUTTONUP:
            platform::releaseCapture();
            if (pointerOnImage() && pressedButton() == this) {
                showFrame(kFrameHighlighted);
                hover_ = true;
                postCommand();
                repeatCount_ = 0;
            } else {
                hover_ = false;
                showFrame(kFrameHighlighted);
            }
            buttonHeld() = false;
            return;
        default:
            return;
    }
}

void Button::tick()
{
    if (!image_) {
        return;
    }
    if (hover_ || !enabled_) {
        image_->draw();
    }
    if (autoRepeat_ && image_->command(commandCode("FGet"), 0) == kFramePressed) {
        ++repeatCount_;
        if (repeatCount_ > kRepeatDelay) {
            postCommand();
            repeatCount_ = kRepeatDelay;
        }
    }
}

}  // namespace wordlark::panels
